// The three section kinds measured the way a listener hears them: magnitude
// responses from the coefficients against the analytic values, identity
// cases, impulse responses worked out by hand, and stability at any rate.

#include "plugin/FilterSections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

struct Coefficients {
  double b0, b1, b2, a0, a1, a2;
};

Coefficients Of(const CookbookSection& s) { return {s.b0, s.b1, s.b2, s.a0, s.a1, s.a2}; }
Coefficients Of(const PeakSection& s) { return {s.b0, s.b1, s.b2, 1.0, s.a1, s.a2}; }
Coefficients Of(const BiquadSection& s) { return {s.b0, s.b1, s.b2, 1.0, s.a1, s.a2}; }

// |H(e^jw)| at w radians per sample.
double Magnitude(const Coefficients& c, double w) {
  const std::complex<double> z1 = std::polar(1.0, -w);
  const std::complex<double> z2 = z1 * z1;
  return std::abs((c.b0 + c.b1 * z1 + c.b2 * z2) / (c.a0 + c.a1 * z1 + c.a2 * z2));
}

double Db(double magnitude) { return 20.0 * std::log10(magnitude); }

// Both poles strictly inside the unit circle (second-order stability triangle).
bool Stable(const Coefficients& c) {
  const double a1 = c.a1 / c.a0;
  const double a2 = c.a2 / c.a0;
  return std::isfinite(a1) && std::isfinite(a2) && std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2;
}

bool AllFinite(const Coefficients& c) {
  return std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2) && std::isfinite(c.a0) &&
         std::isfinite(c.a1) && std::isfinite(c.a2);
}

CookbookSection Cookbook(int type, float omega, float q, float gainDb) {
  CookbookSection s;
  s.type = type;
  s.omega = omega;
  s.alpha = std::sin(omega) / (2.0f * q);
  s.amplitude = std::pow(10.0f, gainDb / 40.0f);
  s.UpdateCoefficients();
  return s;
}

PeakSection Peak(double gainDb, double f, double q, double fs) {
  PeakSection s;
  s.sampleRate = fs;
  s.Design(gainDb, f, q);
  return s;
}

BiquadSection Biquad(int type, double fc, double q, double gainDb) {
  BiquadSection s;
  s.type = type;
  s.fc = fc;
  s.q = q;
  s.peakGainDb = gainDb;
  s.UpdateCoefficients();
  return s;
}

// ---------------------------------------------------------------- initial state

TEST(FilterSections, StartValuesAreThoseOfTheTables) {
  const CookbookSection c;
  EXPECT_EQ(c.type, 0);
  EXPECT_EQ(c.sampleRate, 48000.0f);
  EXPECT_EQ(c.frequency, 20.0f);
  EXPECT_EQ(c.q, 0.707f);
  EXPECT_FLOAT_EQ(c.omega, 2.0f * static_cast<float>(kPi) * 20.0f / 48000.0f);
  EXPECT_FLOAT_EQ(c.alpha, std::sin(c.omega) / 1.414f);
  EXPECT_EQ(c.amplitude, 1.0f);
  EXPECT_EQ(c.b0, 1.0f);
  EXPECT_EQ(c.a0, 1.0f);
  EXPECT_EQ(c.b1 + c.b2 + c.a1 + c.a2 + c.x1 + c.x2 + c.y1 + c.y2, 0.0f);

  const PeakSection p;
  EXPECT_EQ(p.b0 + p.b1 + p.b2 + p.a1 + p.a2 + p.sampleRate, 0.0);
  EXPECT_EQ(p.pi, kPi);
  EXPECT_EQ(p.bandwidthDivisor, std::sqrt(2.0));

  const BiquadSection b;
  EXPECT_EQ(b.type, 0);
  EXPECT_EQ(b.b0, 1.0);
  EXPECT_EQ(b.b1 + b.b2 + b.a1 + b.a2 + b.z1 + b.z2 + b.peakGainDb, 0.0);
  EXPECT_EQ(b.fc, 0.5);
  EXPECT_EQ(b.q, 0.707);
}

// ---------------------------------------------------------------- impulse responses

// For b = (1/2, 1/4, 1/8), a = (1, -1/2, 1/4) the impulse response is, by hand,
// 1/2, 1/2, 1/4, 0, -1/16, -1/32: exact in binary, so every structure must
// reproduce it to the bit.
const double kHandImpulse[] = {0.5, 0.5, 0.25, 0.0, -0.0625, -0.03125};

TEST(FilterSections, ImpulseResponsesMatchTheHandComputedOnes) {
  PeakSection peak;
  peak.b0 = 0.5, peak.b1 = 0.25, peak.b2 = 0.125, peak.a1 = -0.5, peak.a2 = 0.25;
  BiquadSection biquad;
  biquad.b0 = 0.5, biquad.b1 = 0.25, biquad.b2 = 0.125, biquad.a1 = -0.5, biquad.a2 = 0.25;
  // Un-normalised: the step divides by a0 = 2 itself.
  CookbookSection cookbook;
  cookbook.b0 = 1.0f, cookbook.b1 = 0.5f, cookbook.b2 = 0.25f;
  cookbook.a0 = 2.0f, cookbook.a1 = -1.0f, cookbook.a2 = 0.5f;
  for (int n = 0; n < 6; ++n) {
    SCOPED_TRACE("sample " + std::to_string(n));
    const double x = n == 0 ? 1.0 : 0.0;
    EXPECT_EQ(peak.Process(x), kHandImpulse[n]);
    EXPECT_EQ(biquad.Process(x), kHandImpulse[n]);
    EXPECT_EQ(cookbook.Process(static_cast<float>(x)), static_cast<float>(kHandImpulse[n]));
  }
}

TEST(FilterSections, CookbookStepWithFormedQuotientsIsTheSameStep) {
  CookbookSection plain = Cookbook(5, 0.05f, 0.504f, 7.3f);
  CookbookSection formed = plain;
  const CookbookQuotients k = formed.Quotients();
  float x = 0.3f;
  for (int n = 0; n < 200; ++n) {
    x = -x * 0.97f + 0.01f;
    ASSERT_EQ(plain.Process(x), formed.Process(x, k)) << "sample " << n;
  }
}

// ---------------------------------------------------------------- CookbookSection

TEST(CookbookSection, ShelvesWithZeroGainAreIdentities) {
  for (int type : {5, 6}) {
    SCOPED_TRACE("type " + std::to_string(type));
    const CookbookSection s = Cookbook(type, 0.3f, 0.504f, 0.0f);
    EXPECT_EQ(s.b0, s.a0);
    EXPECT_EQ(s.b1, s.a1);
    EXPECT_EQ(s.b2, s.a2);
  }
}

TEST(CookbookSection, ShelvesReachTheirPlateauGains) {
  const float w = static_cast<float>(2.0 * kPi * 1000.0 / 48000.0);
  for (float gainDb : {-15.0f, -6.0f, 3.0f, 15.0f}) {
    SCOPED_TRACE("gain " + std::to_string(gainDb));
    const Coefficients low = Of(Cookbook(5, w, 0.504f, gainDb));
    EXPECT_NEAR(Db(Magnitude(low, 0.0)), gainDb, 1e-3);
    EXPECT_NEAR(Db(Magnitude(low, kPi)), 0.0, 1e-3);
    const Coefficients high = Of(Cookbook(6, w, 0.44f, gainDb));
    EXPECT_NEAR(Db(Magnitude(high, 0.0)), 0.0, 1e-3);
    EXPECT_NEAR(Db(Magnitude(high, kPi)), gainDb, 1e-3);
    // Half the gain at the corner.
    EXPECT_NEAR(Db(Magnitude(low, w)), gainDb / 2.0, 1e-3);
    EXPECT_NEAR(Db(Magnitude(high, w)), gainDb / 2.0, 1e-3);
  }
}

TEST(CookbookSection, EveryTypeHasItsCharacteristicResponse) {
  const float w0 = 0.4f;
  const float q = 2.0f;
  const double atW0 = static_cast<double>(w0);
  const Coefficients lowPass = Of(Cookbook(0, w0, q, 0.0f));
  EXPECT_NEAR(Magnitude(lowPass, 0.0), 1.0, 1e-6);
  EXPECT_NEAR(Magnitude(lowPass, kPi), 0.0, 1e-6);
  EXPECT_NEAR(Magnitude(lowPass, atW0), q, 1e-5);
  const Coefficients highPass = Of(Cookbook(1, w0, q, 0.0f));
  EXPECT_NEAR(Magnitude(highPass, 0.0), 0.0, 1e-6);
  EXPECT_NEAR(Magnitude(highPass, kPi), 1.0, 1e-6);
  EXPECT_NEAR(Magnitude(Of(Cookbook(2, w0, q, 0.0f)), atW0), q, 1e-5);  // skirt gain: Q at w0
  EXPECT_NEAR(Magnitude(Of(Cookbook(3, w0, q, 0.0f)), atW0), 1.0, 1e-6);
  EXPECT_NEAR(Magnitude(Of(Cookbook(4, w0, q, 0.0f)), atW0), 0.0, 1e-6);
  const Coefficients bell = Of(Cookbook(7, w0, q, 9.0f));
  EXPECT_NEAR(Db(Magnitude(bell, atW0)), 9.0, 1e-4);
  EXPECT_NEAR(Magnitude(bell, 0.0), 1.0, 1e-6);
  const Coefficients allPass = Of(Cookbook(8, w0, q, 0.0f));
  for (double w : {0.0, 0.1, 0.4, 1.0, 3.0}) EXPECT_NEAR(Magnitude(allPass, w), 1.0, 1e-6);
}

TEST(CookbookSection, TypeOutsideTheTableIsALowPass) {
  const CookbookSection lowPass = Cookbook(0, 0.2f, 0.7f, 4.0f);
  for (int type : {-1, 9, 1000}) {
    SCOPED_TRACE("type " + std::to_string(type));
    const CookbookSection s = Cookbook(type, 0.2f, 0.7f, 4.0f);
    EXPECT_EQ(s.b0, lowPass.b0);
    EXPECT_EQ(s.b1, lowPass.b1);
    EXPECT_EQ(s.b2, lowPass.b2);
    EXPECT_EQ(s.a0, lowPass.a0);
    EXPECT_EQ(s.a1, lowPass.a1);
    EXPECT_EQ(s.a2, lowPass.a2);
  }
}

// ---------------------------------------------------------------- PeakSection

TEST(PeakSection, ZeroGainIsExactlyFlat) {
  PeakSection s = Peak(0.0, 1000.0, 1.0, 48000.0);
  EXPECT_EQ(s.b0, 1.0);
  EXPECT_EQ(s.b1, 0.0);
  EXPECT_EQ(s.b2, 0.0);
  EXPECT_EQ(s.a1, 0.0);
  EXPECT_EQ(s.a2, 0.0);
  for (double x : {0.25, -1.5, 3e-9, 0.0}) EXPECT_EQ(s.Process(x), x);
}

TEST(PeakSection, BoostHasItsGainAtTheCentreUnityAtDcAndThePrescribedNyquistGain) {
  const Coefficients c = Of(Peak(6.0, 1000.0, 1.0, 48000.0));
  const double w0 = 2.0 * kPi * 1000.0 / 48000.0;
  EXPECT_NEAR(Magnitude(c, w0), std::pow(10.0, 6.0 / 20.0), 1e-9);
  EXPECT_NEAR(Magnitude(c, 0.0), 1.0, 1e-12);
  EXPECT_NEAR(Magnitude(c, kPi), 1.00128, 5e-6);
  // The centre is the peak.
  EXPECT_LT(Magnitude(c, w0 * 0.9), Magnitude(c, w0));
  EXPECT_LT(Magnitude(c, w0 * 1.1), Magnitude(c, w0));
}

TEST(PeakSection, BoostAndCutOfTheSameSizeAreMirrorImages) {
  for (double gainDb : {6.0, 1.0, 15.0}) {
    const Coefficients boost = Of(Peak(gainDb, 3200.0, 1.5, 44100.0));
    const Coefficients cut = Of(Peak(-gainDb, 3200.0, 1.5, 44100.0));
    for (double w = 0.0; w <= kPi; w += kPi / 64.0) {
      SCOPED_TRACE("gain " + std::to_string(gainDb) + " w " + std::to_string(w));
      EXPECT_NEAR(Magnitude(boost, w) * Magnitude(cut, w), 1.0, 1e-9);
    }
  }
}

TEST(PeakSection, DesignLeavesTheHistoryAlone) {
  PeakSection s;
  s.sampleRate = 48000.0;
  s.x1 = 1.0, s.x2 = 2.0, s.y1 = 3.0, s.y2 = 4.0;
  s.Design(5.0, 700.0, 0.8);
  EXPECT_EQ(s.x1 + s.x2 + s.y1 + s.y2, 10.0);
}

// ---------------------------------------------------------------- BiquadSection

TEST(BiquadSection, HighPassAtZeroCornerPassesItsInputUnchanged) {
  BiquadSection s = Biquad(1, 0.0, 0.707, 0.0);
  EXPECT_EQ(s.b0, 1.0);
  EXPECT_EQ(s.b1, -2.0);
  EXPECT_EQ(s.b2, 1.0);
  EXPECT_EQ(s.a1, -2.0);
  EXPECT_EQ(s.a2, 1.0);
  for (double x : {1.0, -0.5, 0.125, 0.0, 7.0, 3.0}) EXPECT_EQ(s.Process(x), x);
}

TEST(BiquadSection, HighPassIsThreeDecibelsDownAtItsCorner) {
  for (double f : {10.0, 80.0, 140.0, 1000.0}) {
    SCOPED_TRACE("corner " + std::to_string(f));
    const double fc = f / 48000.0;
    const Coefficients c = Of(Biquad(1, fc, 0.707, 0.0));
    // At the corner a second-order high-pass has magnitude q.
    EXPECT_NEAR(Magnitude(c, 2.0 * kPi * fc), 0.707, 1e-9);
    EXPECT_NEAR(Magnitude(c, kPi), 1.0, 1e-12);
    EXPECT_NEAR(Magnitude(c, 0.0), 0.0, 1e-12);
  }
}

TEST(BiquadSection, EveryTypeHasItsCharacteristicResponse) {
  const double fc = 0.05;
  const double w = 2.0 * kPi * fc;
  const double q = 1.3;
  const Coefficients lowPass = Of(Biquad(0, fc, q, 0.0));
  EXPECT_NEAR(Magnitude(lowPass, 0.0), 1.0, 1e-12);
  EXPECT_NEAR(Magnitude(lowPass, kPi), 0.0, 1e-12);
  EXPECT_NEAR(Magnitude(lowPass, w), q, 1e-9);
  EXPECT_NEAR(Magnitude(Of(Biquad(2, fc, q, 0.0)), w), 1.0, 1e-9);
  EXPECT_NEAR(Magnitude(Of(Biquad(3, fc, q, 0.0)), w), 0.0, 1e-9);
  for (double gainDb : {9.0, -9.0}) {
    SCOPED_TRACE("gain " + std::to_string(gainDb));
    const Coefficients bell = Of(Biquad(4, fc, q, gainDb));
    EXPECT_NEAR(Db(Magnitude(bell, w)), gainDb, 1e-9);
    EXPECT_NEAR(Magnitude(bell, 0.0), 1.0, 1e-12);
    EXPECT_NEAR(Magnitude(bell, kPi), 1.0, 1e-12);
    const Coefficients lowShelf = Of(Biquad(5, fc, q, gainDb));
    EXPECT_NEAR(Db(Magnitude(lowShelf, 0.0)), gainDb, 1e-9);
    EXPECT_NEAR(Magnitude(lowShelf, kPi), 1.0, 1e-12);
    const Coefficients highShelf = Of(Biquad(6, fc, q, gainDb));
    EXPECT_NEAR(Magnitude(highShelf, 0.0), 1.0, 1e-12);
    EXPECT_NEAR(Db(Magnitude(highShelf, kPi)), gainDb, 1e-9);
  }
}

TEST(BiquadSection, TypeOutsideTheTableKeepsTheCoefficients) {
  for (int type : {-1, 7, 99}) {
    SCOPED_TRACE("type " + std::to_string(type));
    BiquadSection s = Biquad(1, 0.01, 0.707, 0.0);
    const BiquadSection before = s;
    s.type = type;
    s.fc = 0.2;
    s.UpdateCoefficients();
    EXPECT_EQ(s.b0, before.b0);
    EXPECT_EQ(s.b1, before.b1);
    EXPECT_EQ(s.b2, before.b2);
    EXPECT_EQ(s.a1, before.a1);
    EXPECT_EQ(s.a2, before.a2);
  }
}

// ---------------------------------------------------------------- the design bound

// Design frequencies at and above the Nyquist frequency, at every rate of the
// conformance sweep and a few more a host may use.
class DesignBound : public ::testing::TestWithParam<double> {};

TEST_P(DesignBound, EverySectionStaysStableAndFiniteAtAnyFrequency) {
  const double fs = GetParam();
  for (double fraction : {0.1, 0.3, 0.449, 0.45, 0.5, 0.51, 0.9, 1.0, 3.0, 100.0}) {
    const double f = fraction * fs;
    SCOPED_TRACE("frequency " + std::to_string(f));
    for (double gainDb : {-15.0, -0.1, 0.1, 6.0, 15.0}) {
      SCOPED_TRACE("gain " + std::to_string(gainDb));
      for (double q : {0.1, 0.2, 1.2714, 10.0}) {
        const Coefficients bell = Of(Peak(gainDb, f, q, fs));
        EXPECT_TRUE(AllFinite(bell) && Stable(bell)) << "bell q " << q;
      }
      CookbookSection shelf;
      shelf.sampleRate = static_cast<float>(fs);
      for (int type : {5, 6}) {
        const float bounded = std::min(static_cast<float>(f), kMaxDesignFractionF * shelf.sampleRate);
        const float omega = bounded * 6.2831855f / shelf.sampleRate;
        const Coefficients c = Of(Cookbook(type, omega, type == 5 ? 0.504f : 0.44f, static_cast<float>(gainDb)));
        EXPECT_TRUE(AllFinite(c) && Stable(c)) << "shelf type " << type;
      }
    }
    const Coefficients highPass = Of(Biquad(1, fraction, 0.707, 0.0));
    EXPECT_TRUE(AllFinite(highPass) && Stable(highPass));
  }
}

TEST_P(DesignBound, AboveTheBoundTheDesignIsTheBoundsOne) {
  const double fs = GetParam();
  const Coefficients atBound = Of(Peak(6.0, kMaxDesignFraction * fs, 1.0, fs));
  const Coefficients above = Of(Peak(6.0, 0.7 * fs, 1.0, fs));
  EXPECT_EQ(atBound.b0, above.b0);
  EXPECT_EQ(atBound.a1, above.a1);
  EXPECT_EQ(Of(Biquad(1, 0.45, 0.707, 0.0)).b0, Of(Biquad(1, 0.8, 0.707, 0.0)).b0);
}

TEST_P(DesignBound, BelowTheBoundTheDesignIsUntouched) {
  const double fs = GetParam();
  // A bell just below the bound still has its full gain where it was asked.
  const double f = 0.44 * fs;
  const Coefficients bell = Of(Peak(6.0, f, 1.0, fs));
  EXPECT_NEAR(Db(Magnitude(bell, 2.0 * kPi * f / fs)), 6.0, 1e-6);
  const Coefficients highPass = Of(Biquad(1, 0.44, 0.707, 0.0));
  EXPECT_NEAR(Magnitude(highPass, 2.0 * kPi * 0.44), 0.707, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(SampleRates, DesignBound,
                         ::testing::Values(1234.5678, 8000.0, 11025.0, 16000.0, 22050.0, 32000.0,
                                           44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0,
                                           1234567.8),
                         [](const auto& rate) {
                           std::string name = std::to_string(rate.param);
                           for (char& ch : name) ch = ch == '.' ? '_' : ch;
                           return name;
                         });

}  // namespace
