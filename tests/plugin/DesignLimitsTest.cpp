// Where the section designs stop being sound arithmetic, and what the
// equaliser does there: bells with gains too small to resolve, and every
// design at every sample rate a host may run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "plugin/FilterSections.h"
#include "tests/plugin/ZAVROProbe.h"
#include "tests/support/TestSignals.h"

namespace {

constexpr double kPi = 3.141592653589793;

bool Finite(const PeakSection& s) {
  return std::isfinite(s.b0) && std::isfinite(s.b1) && std::isfinite(s.b2) && std::isfinite(s.a1) &&
         std::isfinite(s.a2);
}

// Distance of the recursion z^2 + a1 z + a2 from instability (the stability
// triangle); positive when both poles lie strictly inside the unit circle.
double StabilityMargin(double a1, double a2) {
  return std::fmin(std::fmin(1.0 + a1 + a2, 1.0 - a1 + a2), 1.0 - std::fabs(a2));
}

double Magnitude(const PeakSection& s, double w) {
  const std::complex<double> z1 = std::polar(1.0, -w);
  const std::complex<double> z2 = z1 * z1;
  return std::abs((s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2));
}

TEST(DesignLimits, BellWithAnUnresolvableGainIsFlat) {
  for (double gainDb : {3.552713678800501e-15, -1.7763568394002505e-15, 7.1e-15, -2e-12, 4e-11, -9e-10}) {
    SCOPED_TRACE(gainDb);
    PeakSection s;
    s.sampleRate = 48000.0;
    s.Design(gainDb, 360.0, 0.1);
    EXPECT_EQ(s.b0, 1.0);
    EXPECT_EQ(s.b1, 0.0);
    EXPECT_EQ(s.b2, 0.0);
    EXPECT_EQ(s.a1, 0.0);
    EXPECT_EQ(s.a2, 0.0);
  }
}

TEST(DesignLimits, BellsFromTheFlatLimitUpAreFiniteStableAndHitTheirGain) {
  // Gains from just above the flat limit to the full range, centre frequencies
  // up to the design bound, and the q range the chain uses (and a little more).
  for (double magnitude = 1.01e-9; magnitude <= 15.0; magnitude *= 1.7) {
    for (double sign : {1.0, -1.0}) {
      const double gainDb = sign * magnitude;
      for (double q : {0.1, 0.2, 0.5, 1.0, 1.3}) {
        for (int k = 1; k <= 45; ++k) {
          const double fraction = 0.01 * k;  // of the sample rate
          PeakSection s;
          s.sampleRate = 48000.0;
          s.Design(gainDb, fraction * 48000.0, q);
          SCOPED_TRACE(::testing::Message() << "gain " << gainDb << " dB, q " << q << ", f/fs " << fraction);
          ASSERT_TRUE(Finite(s));
          ASSERT_GT(StabilityMargin(s.a1, s.a2), 0.0);
          EXPECT_NEAR(Magnitude(s, 0.0), 1.0, 1e-9);
          const double centreDb = 20.0 * std::log10(Magnitude(s, 2.0 * kPi * fraction));
          EXPECT_NEAR(centreDb, gainDb, 1e-6 + 1e-6 * magnitude);
        }
      }
    }
  }
}

TEST(DesignLimits, HostValueNextToTheGainCentreSoundsLikeZeroDb) {
  // One representable step either side of the knob's centre gives gains of a
  // few 1e-15 dB: the chain must sound exactly as at 0 dB.
  const std::vector<double> in = Noise(4096, 7, 0.3);
  for (int band : {kLMLowMidGain, kLMHighMidGain}) {
    for (double normalized : {0.5000000000000001, 0.49999999999999994}) {
      SCOPED_TRACE(::testing::Message() << "parameter " << band << ", normalised " << normalized);
      ZAVROProbe centred(48000.0), offCentre(48000.0);
      offCentre.SetNormalized(band, normalized);
      ASSERT_NE(offCentre.GetParam(band)->Value(), 0.0);
      std::vector<double> refL, refR, outL, outR;
      centred.Process(in, in, refL, refR);
      offCentre.Process(in, in, outL, outR);
      for (size_t n = 0; n < in.size(); ++n) {
        ASSERT_EQ(refL[n], outL[n]) << "frame " << n;
        ASSERT_EQ(refR[n], outR[n]) << "frame " << n;
      }
    }
  }
}

// The rates of a host conformance sweep, and two low ones that sessions use.
const double kHostRates[] = {1234.5678, 8000.0,  16000.0,  22050.0,  32000.0,  44100.0,
                             48000.0,   88200.0, 96000.0,  192000.0, 384000.0, 1234567.8};

// Runs the per-block design steps only.
void Design(ZAVROProbe& plug) {
  double* none[2] = {nullptr, nullptr};
  plug.ProcessBlock(none, none, 0);
}

float UnguardedOmega(double frequency, double fs) {
  const float sampleRate = static_cast<float>(fs);
  const float f = std::min(static_cast<float>(frequency), kMaxDesignFractionF * sampleRate);
  return f * 6.2831855f / sampleRate;
}

TEST(DesignLimits, ShelvesStayStableAtEveryHostRate) {
  for (double fs : kHostRates) {
    SCOPED_TRACE(::testing::Message() << "fs " << fs);
    ZAVROProbe plug(fs);
    for (double gainDb = -15.0; gainDb <= 15.0; gainDb += 0.7) {
      plug.SetPlain(kLMLowGain, gainDb);
      plug.SetPlain(kLMHighGain, -gainDb);
      for (double step = 0.0; step <= 1.0; step += 0.0625) {
        plug.SetPlain(kLMLowFreq, 50.0 + 350.0 * step);
        plug.SetPlain(kLMHighFreq, 3.0 + 7.0 * step);
        Design(plug);
        SCOPED_TRACE(::testing::Message() << "gain " << gainDb << ", step " << step);
        ASSERT_TRUE(plug.lmLowShelf.RecursionStable());
        ASSERT_TRUE(plug.lmHighShelf.RecursionStable());
        ASSERT_TRUE(plug.rsLowShelf.RecursionStable());
      }
    }
  }
}

TEST(DesignLimits, ShelfGuardLeavesSoundDesignsAlone) {
  // Up to 384 kHz no setting needs the guard: every shelf keeps the omega of
  // its (Nyquist-bounded) frequency.
  for (double fs : kHostRates) {
    if (fs > 384000.0) continue;
    SCOPED_TRACE(::testing::Message() << "fs " << fs);
    ZAVROProbe plug(fs);
    for (double gainDb = -15.0; gainDb <= 15.0; gainDb += 1.1) {
      plug.SetPlain(kLMLowGain, gainDb);
      plug.SetPlain(kLMHighGain, gainDb);
      for (double frequency = 50.0; frequency <= 400.0; frequency += 11.0) {
        plug.SetPlain(kLMLowFreq, frequency);
        plug.SetPlain(kLMHighFreq, 3.0 + (frequency - 50.0) / 50.0);
        Design(plug);
        ASSERT_EQ(plug.lmLowShelf.omega, UnguardedOmega(frequency, fs)) << "gain " << gainDb;
        const double highHz = (3.0 + (frequency - 50.0) / 50.0) * 1000.0 - 1000.0;
        ASSERT_EQ(plug.lmHighShelf.omega, UnguardedOmega(highHz, fs)) << "gain " << gainDb;
      }
    }
  }
}

TEST(DesignLimits, UnstableLowShelfAtTheTopRateMovesToItsLowestStableFrequency) {
  const double fs = 1234567.8;
  ZAVROProbe plug(fs);
  int guarded = 0;
  for (double frequency = 50.0; frequency <= 150.0; frequency += 1.0) {
    for (double gainDb = -15.0; gainDb <= 15.0; gainDb += 0.5) {
      plug.SetPlain(kLMLowFreq, frequency);
      plug.SetPlain(kLMLowGain, gainDb);
      Design(plug);
      if (plug.lmLowShelf.omega == UnguardedOmega(frequency, fs)) continue;
      ++guarded;
      const float sampleRate = static_cast<float>(fs);
      ASSERT_EQ(plug.lmLowShelf.omega, sampleRate / 4096.0f * 6.2831855f / sampleRate);
      // The shelf keeps the settings it was given.
      ASSERT_EQ(plug.lmLowShelf.frequency, static_cast<float>(frequency));
      ASSERT_EQ(plug.lmLowShelf.gainDb, static_cast<float>(gainDb));
    }
  }
  // Hundreds of these settings round to an unstable recursion at this rate.
  EXPECT_GT(guarded, 50);
}

TEST(DesignLimits, RandomSettingsGiveFiniteOutputAtEveryHostRate) {
  const std::vector<double> in = Noise(2048, 11, 0.3);
  unsigned x = 12345u;
  auto next = [&x] {
    x = x * 1664525u + 1013904223u;
    return static_cast<double>(x >> 8) / 16777216.0;
  };
  for (double fs : kHostRates) {
    SCOPED_TRACE(::testing::Message() << "fs " << fs);
    ZAVROProbe plug(fs);
    for (int round = 0; round < 12; ++round) {
      for (int i = 0; i < kParamCount; ++i) {
        if (i != kMasterBypass) plug.SetNormalized(i, next());
      }
      std::vector<double> outL, outR;
      for (int block = 0; block < 4; ++block) {
        plug.Process(in, in, outL, outR);
        for (size_t n = 0; n < in.size(); ++n) {
          ASSERT_TRUE(std::isfinite(outL[n]) && std::isfinite(outR[n])) << "round " << round << ", frame " << n;
        }
      }
    }
  }
}

}  // namespace
