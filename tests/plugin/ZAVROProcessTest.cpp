// The processing chain as a host and a listener see it: what comes out for
// chosen settings, the per-block settings it derives, Link, the bypass
// switches, buffers shared between input and output, and recovery from
// non-finite input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/IGraphicsHeadless.h"
#include "plugin/InputConditioner.h"
#include "tests/plugin/ZAVROProbe.h"
#include "tests/support/TestSignals.h"

namespace {

constexpr double kPi = 3.141592653589793;

std::vector<double> Sine(int n, double hz, double fs, double level, double phase = 0.0) {
  std::vector<double> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = level * std::sin(2.0 * kPi * hz * i / fs + phase);
  return v;
}

void ExpectBitIdentical(const std::vector<double>& expected, const std::vector<double>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t n = 0; n < expected.size(); ++n) {
    ASSERT_EQ(Bits(expected[n]), Bits(actual[n])) << "frame " << n;
  }
}

// Only the per-block settings.
void RunSettings(ZAVROProbe& plug, int frameCount = 0) {
  double* none[2] = {nullptr, nullptr};
  plug.ProcessBlock(none, none, frameCount);
}

class SampleRates : public ::testing::TestWithParam<double> {};

// ---------------------------------------------------------------- per-block settings

TEST(ZAVROProcess, SmootherCornerIsTenHertzAtEveryRate) {
  for (auto [fs, a] : {std::pair{48000.0, 0.998691859}, std::pair{44100.0, 0.998576256}}) {
    SCOPED_TRACE("fs " + std::to_string(fs));
    ZAVROProbe plug(fs);
    RunSettings(plug);
    for (const ParamSmoother* s : {&plug.lmTrimSmoother, &plug.rsTrimSmoother, &plug.masterSmoother,
                                   &plug.lmHpfSmoother, &plug.rsHpfSmoother}) {
      EXPECT_NEAR(s->a, a, 1e-9);
      EXPECT_EQ(s->b, 1.0 - s->a);
    }
  }
  ZAVROProbe plug(48000.0);
  RunSettings(plug);
  EXPECT_NEAR(plug.masterSmoother.b, 0.001308141, 1e-9);
}

TEST(ZAVROProcess, BellsNarrowAsTheirGainGrows) {
  ZAVROProbe plug;
  RunSettings(plug);
  EXPECT_EQ(plug.lmLowMidQ, 0.1);
  EXPECT_EQ(plug.lmHighMidQ, 0.2);
  for (double gain : {15.0, -15.0}) {
    SCOPED_TRACE("gain " + std::to_string(gain));
    plug.SetPlain(kLMLowMidGain, gain);
    plug.SetPlain(kLMHighMidGain, gain);
    RunSettings(plug);
    EXPECT_NEAR(plug.lmLowMidQ, 1.2538, 1e-4);
    EXPECT_NEAR(plug.lmHighMidQ, 1.2714, 1e-4);
    // Link carries the L/M settings over to the R/S bells.
    EXPECT_EQ(plug.rsLowMidQ, plug.lmLowMidQ);
    EXPECT_EQ(plug.rsHighMidQ, plug.lmHighMidQ);
  }
  // A gain of exactly 0.0001 keeps the q of the block before.
  plug.SetPlain(kLMLowMidGain, 0.0001);
  plug.SetPlain(kLMHighMidGain, 0.0001);
  RunSettings(plug);
  EXPECT_NEAR(plug.lmLowMidQ, 1.2538, 1e-4);
  EXPECT_NEAR(plug.lmHighMidQ, 1.2714, 1e-4);
  plug.SetPlain(kLMLowMidGain, 0.0002);
  RunSettings(plug);
  EXPECT_NEAR(plug.lmLowMidQ, 0.1 + 0.0002 / 13.0, 1e-12);
}

TEST(ZAVROProcess, HighShelfFrequencyIsTheScaleValueLessOneInKilohertz) {
  ZAVROProbe plug;
  for (auto [v, hz] : {std::pair{3.0, 2000.0f}, std::pair{5.0, 4000.0f}, std::pair{10.0, 9000.0f}}) {
    plug.SetPlain(kLMHighFreq, v);
    RunSettings(plug);
    EXPECT_EQ(plug.lmHighShelf.frequency, hz);
    EXPECT_EQ(plug.lmHighShelf.type, 6);
    EXPECT_EQ(plug.lmHighShelf.q, 0.44f);
  }
  plug.SetPlain(kLMLowFreq, 120.7);
  RunSettings(plug);
  EXPECT_EQ(plug.lmLowShelf.frequency, 120.7f);  // continuous: no snapping
  EXPECT_EQ(plug.lmLowShelf.type, 5);
  EXPECT_EQ(plug.lmLowShelf.q, 0.504f);
}

TEST(ZAVROProcess, NoFramesStillRunsEveryPerBlockStep) {
  ZAVROProbe plug;
  plug.SetPlain(kLMLowGain, 6.0);
  plug.SetPlain(kLMHPF, 1.0);
  for (int frameCount : {0, -1, -4096}) {
    SCOPED_TRACE("frames " + std::to_string(frameCount));
    plug.SetPlain(kRSLowGain, -3.0);
    RunSettings(plug, frameCount);
    EXPECT_EQ(plug.GetParam(kRSLowGain)->Value(), 6.0);  // Link ran
    EXPECT_EQ(plug.rsLowShelf.gainDb, 6.0f);             // shelves designed
    EXPECT_EQ(plug.lmHpfTarget, 80.0);
    EXPECT_EQ(plug.rsHpfTarget, 80.0);
    EXPECT_EQ(plug.lmHpfSmoother.z, 0.0);  // but no frame moved a glide
  }
}

TEST(ZAVROProcess, PositionBetweenTheStepsKeepsTheHighPassTarget) {
  ZAVROProbe plug;
  plug.SetPlain(kLink, 0.0);
  plug.SetPlain(kLMHPF, 2.0);
  RunSettings(plug);
  EXPECT_EQ(plug.lmHpfTarget, 140.0);
  plug.SetPlain(kLMHPF, 0.5);  // a host's text or stored state can give this
  RunSettings(plug);
  EXPECT_EQ(plug.lmHpfTarget, 140.0);
}

TEST(ZAVROProcess, TargetChosenInABlockWithoutFramesStartsItsGlide) {
  ZAVROProbe plug;
  plug.SetPlain(kLink, 0.0);  // so that nothing but the target tells the blocks apart
  plug.SetPlain(kLMHPF, 0.5);  // between the steps: 10 Hz stays
  const std::vector<double> in = Noise(4096, 5, 0.1);
  std::vector<double> outL, outR;
  for (int i = 0; i < 40; ++i) plug.Process(in, in, outL, outR);  // every glide at rest
  const double rested = plug.lmHpfSmoother.z;
  ASSERT_NEAR(rested, 10.0, 1e-9);

  // The same settings as before, but the target came from the block in between.
  plug.SetPlain(kLMHPF, 1.0);
  RunSettings(plug);
  plug.SetPlain(kLMHPF, 0.5);
  plug.Process(in, in, outL, outR);
  EXPECT_EQ(plug.lmHpfTarget, 80.0);
  EXPECT_GT(plug.lmHpfSmoother.z, rested + 1.0);
}

// ---------------------------------------------------------------- glides

TEST_P(SampleRates, HighPassCornerGlidesAlongATenHertzOnePole) {
  const double fs = GetParam();
  ZAVROProbe plug(fs);
  std::vector<double> outL, outR;
  const std::vector<double> in = Noise(static_cast<int>(2 * fs), 3, 0.1);
  plug.Process(in, in, outL, outR);  // settle at 10 Hz
  const double start = plug.lmHpfSmoother.z;
  EXPECT_NEAR(start, 10.0, 1e-9);

  plug.SetPlain(kLMHPF, 2.0);
  const double a = std::exp(-2.0 * kPi * 10.0 / fs);
  const std::vector<double> block = Noise(256, 4, 0.1);
  for (int frames = 256; frames <= 256 * 40; frames += 256) {
    plug.Process(block, block, outL, outR);
    const double expected = 140.0 - (140.0 - start) * std::pow(a, frames);
    ASSERT_NEAR(plug.lmHpfSmoother.z, expected, 1e-9 * 140.0) << "after " << frames << " frames";
    // The high-pass was redesigned at the last frame, from the corner of that frame.
    ASSERT_EQ(plug.lmHighPass.fc, plug.lmHpfSmoother.z / fs);
    ASSERT_EQ(plug.rsHpfSmoother.z, plug.lmHpfSmoother.z);  // Link
  }
}

TEST_P(SampleRates, OutputFadesInWithAnEightMillisecondTimeConstant) {
  const double fs = GetParam();
  ZAVROProbe plug(fs);
  // The group bypasses pass the raw input, so only the master gain shapes it.
  plug.SetPlain(kLMBypass, 0.0);
  plug.SetPlain(kRSBypass, 0.0);
  const std::vector<double> dc(static_cast<size_t>(fs / 10), 0.5);
  std::vector<double> outL, outR;
  plug.Process(dc, dc, outL, outR);
  // Two steps of a 10 Hz one-pole per frame: 1 - 1/e at fs / (4 pi 10) frames.
  const double target = (0.5 - 1e-10) * (1.0 - std::exp(-1.0));
  size_t crossing = 0;
  while (crossing < outL.size() && outL[crossing] < target) ++crossing;
  const double tau = static_cast<double>(crossing) / fs;
  EXPECT_NEAR(tau, 1.0 / (4.0 * kPi * 10.0), 1.5 / fs);
  EXPECT_NEAR(1.0 / (4.0 * kPi * 10.0), 0.00796, 1e-5);
  // The right channel is one smoother step further on.
  for (size_t n = 0; n < 100; ++n) ASSERT_GT(outR[n], outL[n]);
}

// ---------------------------------------------------------------- what comes out

TEST(ZAVROProcess, ConditionerAddsItsGentleLevelDependentDistortion) {
  const double x = 0.5;
  EXPECT_NEAR(InputConditioner(x - 1e-10) - x, 0.000174, 5e-7);
  EXPECT_NEAR(InputConditioner(x - 1e-10) - x,
              0.2 * (0.005 * std::tanh(0.125) - 0.0005 * std::tanh(0.00390625) + 0.00025), 1e-15);
  // Odd terms are odd, the even ones are not: a negative half-wave is not a mirror.
  EXPECT_NE(InputConditioner(-x) + InputConditioner(x), 0.0);
  EXPECT_NEAR(InputConditioner(-1e-10), 0.0, 1e-25);
}

TEST_P(SampleRates, DefaultsGiveTheConditionedInputHighPassedAtTenHertz) {
  const double fs = GetParam();
  // Mid/side with flat bands is the same: P and S are the scaled sum and
  // difference, the two chains are alike, and decoding restores left and right.
  for (double mode : {0.0, 1.0}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    ZAVROProbe plug(fs);
    plug.SetPlain(kMode, mode);
    const int n = static_cast<int>(3 * fs);
    const std::vector<double> inL = Sine(n, 997.0, fs, 0.5), inR = Sine(n, 220.0, fs, 0.7, 1.0);
    std::vector<double> outL, outR;
    plug.Process(inL, inR, outL, outR);

    // What a listener should hear: the conditioner, then a settled 10 Hz high-pass.
    BiquadSection hpL, hpR;
    for (BiquadSection* hp : {&hpL, &hpR}) {
      hp->type = 1;
      hp->q = 0.707;
      hp->fc = 10.0 / fs;
      hp->UpdateCoefficients();
    }
    double worst = 0.0;
    for (int i = 0; i < n; ++i) {
      const size_t k = static_cast<size_t>(i);
      const double l = hpL.Process(InputConditioner(inL[k]));
      const double r = hpR.Process(InputConditioner(inR[k]));
      if (i < 2 * fs) continue;  // fade-in and glides
      worst = std::max({worst, std::fabs(outL[k] - l), std::fabs(outR[k] - r)});
    }
    // Even flat, the single-precision low shelf is a recursion with its poles
    // near DC, which lifts its own rounding to about 1e-4 here (-76 dB under
    // the level): audible detail of the design, not a fault of the chain.
    EXPECT_LT(worst, 3e-4);
  }
}

TEST(ZAVROProcess, RightChainGetsAFurtherOffsetInLeftRightModeOnly) {
  // Silence reaches the chains as the offset alone: 1e-10 for L/M, 2e-10 for
  // R/S in L/R mode; in M/S mode the side of silence is exactly zero.
  const std::vector<double> silence(1, 0.0);
  std::vector<double> outL, outR;
  {
    ZAVROProbe plug;
    plug.Process(silence, silence, outL, outR);
    EXPECT_NEAR(plug.lmLowShelf.x1, 1e-10f, 1e-15f);
    EXPECT_NEAR(plug.rsLowShelf.x1, 2e-10f, 1e-15f);
  }
  {
    ZAVROProbe plug;
    plug.SetPlain(kMode, 1.0);
    plug.Process(silence, silence, outL, outR);
    EXPECT_NEAR(plug.lmLowShelf.x1, 1.4142136e-10f, 1e-15f);
    EXPECT_EQ(plug.rsLowShelf.x1, 0.0f);
  }
}

TEST(ZAVROProcess, MasterBypassPassesTheInputBitForBit) {
  ZAVROProbe plug;
  plug.SetPlain(kMasterBypass, 0.0);
  plug.SetPlain(kMode, 1.0);
  plug.SetPlain(kLMLowGain, 12.0);
  plug.SetPlain(kLMHighMidGain, -9.0);
  plug.SetPlain(kMasterOutput, 7.0);
  plug.SetPlain(kLMBypass, 0.0);
  std::vector<double> inL = Noise(3000, 5, 1.5), inR = Noise(3000, 6, 0.01);
  inL[17] = -0.0;
  inR[18] = std::numeric_limits<double>::denorm_min();
  inL[19] = std::numeric_limits<double>::infinity();
  std::vector<double> outL, outR;
  plug.Process(inL, inR, outL, outR);
  ExpectBitIdentical(inL, outL);
  ExpectBitIdentical(inR, outR);
  // The master gain did not move while bypassed.
  EXPECT_EQ(plug.masterSmoother.z, 0.0);
}

TEST(ZAVROProcess, GroupBypassGivesTheRawInputTimesTheMasterGain) {
  const double fs = 44100.0;
  ZAVROProbe plug(fs);
  plug.SetPlain(kLink, 0.0);  // or the R/S group would follow into bypass
  plug.SetPlain(kMasterOutput, -6.0);
  plug.SetPlain(kLMBypass, 0.0);
  plug.SetPlain(kLMLowGain, 9.0);  // whatever the chain does, the left output ignores it
  const std::vector<double> warmUp = Noise(static_cast<int>(2 * fs), 7, 0.5);
  std::vector<double> outL, outR;
  plug.Process(warmUp, warmUp, outL, outR);
  const double gain = plug.masterSmoother.z;
  EXPECT_NEAR(gain, std::pow(10.0, -6.0 / 20.0), 1e-12);

  const std::vector<double> inL = Noise(1000, 8, 0.9), inR = Noise(1000, 9, 0.9);
  plug.Process(inL, inR, outL, outR);
  for (size_t n = 0; n < inL.size(); ++n) {
    ASSERT_EQ(Bits(outL[n]), Bits((inL[n] - 1e-10) * gain)) << "frame " << n;
    // The right group still runs through its chain.
    ASSERT_NE(Bits(outR[n]), Bits((inR[n] - 1e-10) * gain)) << "frame " << n;
  }
}

// ---------------------------------------------------------------- buffers and blocks

TEST(ZAVROProcess, InPlaceAndSplitBlocksGiveTheSameOutput) {
  auto configure = [](ZAVROProbe& p) {
    p.SetPlain(kLink, 0.0);
    p.SetPlain(kMode, 1.0);
    p.SetPlain(kLMLowGain, 4.5);
    p.SetPlain(kRSHighMidGain, -7.5);
    p.SetPlain(kRSHPF, 2.0);
    p.SetPlain(kLMOutput, 3.0);
  };
  ZAVROProbe whole, inPlace, split;
  configure(whole);
  configure(inPlace);
  configure(split);
  const std::vector<double> inL = Noise(20000, 10, 0.7), inR = Noise(20000, 11, 0.7);

  std::vector<double> refL, refR;
  whole.Process(inL, inR, refL, refR);

  std::vector<double> ioL = inL, ioR = inR;
  double* io[2] = {ioL.data(), ioR.data()};
  inPlace.ProcessBlock(io, io, static_cast<int>(ioL.size()));
  ExpectBitIdentical(refL, ioL);
  ExpectBitIdentical(refR, ioR);

  std::vector<double> outL(inL.size()), outR(inR.size());
  size_t done = 0;
  int size = 0;
  while (done < inL.size()) {
    const int n = static_cast<int>(std::min(inL.size() - done, static_cast<size_t>(size)));
    double* in[2] = {const_cast<double*>(inL.data()) + done, const_cast<double*>(inR.data()) + done};
    double* out[2] = {outL.data() + done, outR.data() + done};
    split.ProcessBlock(in, out, n);
    done += static_cast<size_t>(n);
    size = (size * 7 + 3) % 700;  // 0, 3, 24, 171, ... including empty blocks
  }
  ExpectBitIdentical(refL, outL);
  ExpectBitIdentical(refR, outR);
}

TEST(ZAVROProcess, LongSilenceLeavesNoSubnormalsBehind) {
  ZAVROProbe plug;
  plug.SetPlain(kLink, 0.0);
  plug.SetPlain(kLMLowMidGain, 15.0);
  plug.SetPlain(kRSHighGain, -15.0);
  const std::vector<double> silence(48000, 0.0);
  std::vector<double> outL, outR;
  for (int second = 0; second < 5; ++second) plug.Process(silence, silence, outL, outR);
  for (size_t n = 0; n < silence.size(); ++n) {
    ASSERT_NE(std::fpclassify(outL[n]), FP_SUBNORMAL) << "frame " << n;
    ASSERT_NE(std::fpclassify(outR[n]), FP_SUBNORMAL) << "frame " << n;
  }
  for (double v : {plug.lmHighPass.z1, plug.lmHighPass.z2, plug.lmLowMid.y1, plug.rsLowMid.y1}) {
    EXPECT_NE(std::fpclassify(v), FP_SUBNORMAL);
  }
  for (float v : {plug.lmLowShelf.y1, plug.rsHighShelf.y1}) EXPECT_NE(std::fpclassify(v), FP_SUBNORMAL);
}

// ---------------------------------------------------------------- non-finite input

TEST_P(SampleRates, NonFiniteInputIsForgottenByTheNextBlock) {
  const double fs = GetParam();
  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 1e300}) {
    SCOPED_TRACE("sample " + std::to_string(bad));
    for (double mode : {0.0, 1.0}) {
      ZAVROProbe plug(fs);
      plug.SetPlain(kMode, mode);
      plug.SetPlain(kLink, 0.0);
      plug.SetPlain(kRSLowMidGain, 6.0);
      std::vector<double> inL = Noise(512, 12, 0.5), inR = Noise(512, 13, 0.5);
      std::vector<double> outL, outR;
      plug.Process(inL, inR, outL, outR);
      inL[100] = bad;
      plug.Process(inL, inR, outL, outR);
      inL[100] = 0.1;
      for (int block = 0; block < 20; ++block) {
        plug.Process(inL, inR, outL, outR);
        for (size_t n = 0; n < outL.size(); ++n) {
          ASSERT_TRUE(std::isfinite(outL[n]) && std::isfinite(outR[n]))
              << "mode " << mode << ", block " << block << ", frame " << n;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, SampleRates, ::testing::Values(44100.0, 48000.0, 96000.0),
                         [](const auto& rate) { return std::to_string(static_cast<int>(rate.param)); });

// ---------------------------------------------------------------- Link

// A control that only carries its value, as the panel's knobs do.
class ValueControl : public IControl {
public:
  using IControl::IControl;
  bool Paint(IGraphics&) override { return false; }
};

TEST(ZAVROLink, ReturnsAHostSetValueAtTheNextBlockAndShowsIt) {
  ZAVROProbe plug;
  auto* editor = new IGraphicsHeadless(&plug, 1002, 476, 25);
  auto* knob = new ValueControl(&plug, IBounds{0, 0, 10, 10}, kRSLowGain);
  editor->AddControl(knob);
  plug.AttachEditor(editor);
  ASSERT_EQ(knob->Value(), 0.5);  // 0 dB on a -15..15 knob

  plug.SetPlain(kRSLowGain, 5.0);
  EXPECT_DOUBLE_EQ(knob->Value(), 20.0 / 30.0);
  EXPECT_EQ(plug.Copy(kRSLowGain), 5.0);
  plug.calls.clear();

  RunSettings(plug);
  EXPECT_EQ(plug.GetParam(kRSLowGain)->Value(), 0.0);
  EXPECT_EQ(plug.Copy(kRSLowGain), 0.0);
  EXPECT_EQ(knob->Value(), 0.5);
  // The host is not told: the linked value is derived, not automated.
  EXPECT_TRUE(plug.calls.empty());
}

TEST(ZAVROLink, ShowsTheLinkedValueAgainOnAControlMovedByHand) {
  ZAVROProbe plug;
  auto* editor = new IGraphicsHeadless(&plug, 1002, 476, 25);
  auto* bypass = new ValueControl(&plug, IBounds{0, 0, 10, 10}, kRSBypass);
  editor->AddControl(bypass);
  plug.AttachEditor(editor);
  const std::vector<double> in = Noise(64, 6, 0.1);
  std::vector<double> outL, outR;
  for (int i = 0; i < 3; ++i) plug.Process(in, in, outL, outR);
  ASSERT_EQ(bypass->Value(), 1.0);

  // Part-way over, the switch snaps back to where it was: no value changes.
  bypass->ApplyUserValue(0.6);
  ASSERT_EQ(plug.GetParam(kRSBypass)->Value(), 1.0);
  ASSERT_EQ(bypass->Value(), 0.6);
  const std::vector<double> one = Noise(1, 7, 0.1);
  plug.Process(one, one, outL, outR);
  EXPECT_EQ(bypass->Value(), 1.0);
}

TEST(ZAVROLink, CopiesEveryLeftMidSettingAndLeavesTheMasterAlone) {
  ZAVROProbe plug;
  const struct {
    int lm, rs;
    double value;
  } pairs[] = {{kLMLowGain, kRSLowGain, 3.3},      {kLMLowFreq, kRSLowFreq, 321.0},
               {kLMLowMidGain, kRSLowMidGain, -2.2}, {kLMLowMidFreq, kRSLowMidFreq, 777.0},
               {kLMHighMidGain, kRSHighMidGain, 8.8}, {kLMHighMidFreq, kRSHighMidFreq, 5432.0},
               {kLMHighGain, kRSHighGain, -4.4},     {kLMHighFreq, kRSHighFreq, 7.25},
               {kLMOutput, kRSOutput, -1.1},         {kLMBypass, kRSBypass, 0.0},
               {kLMHPF, kRSHPF, 2.0}};
  for (const auto& p : pairs) plug.SetPlain(p.lm, p.value);
  plug.SetPlain(kMasterOutput, -5.0);
  RunSettings(plug);
  for (const auto& p : pairs) {
    SCOPED_TRACE("parameter " + std::to_string(p.rs));
    EXPECT_EQ(plug.GetParam(p.rs)->Value(), p.value);
  }
  EXPECT_EQ(plug.Copy(kRSHighMidFreq), 5432.0);
  EXPECT_EQ(plug.Copy(kRSHPF), 2.0);
  EXPECT_EQ(plug.GetParam(kMasterOutput)->Value(), -5.0);
  EXPECT_EQ(plug.GetParam(kMode)->Value(), 0.0);

  // With Link off a host-set R/S value stays.
  plug.SetPlain(kLink, 0.0);
  plug.SetPlain(kRSLowGain, -9.0);
  RunSettings(plug);
  EXPECT_EQ(plug.GetParam(kRSLowGain)->Value(), -9.0);
  EXPECT_EQ(plug.Copy(kRSLowGain), -9.0);
}

}  // namespace
