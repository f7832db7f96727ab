// The equaliser's audio path: per-block settings, then the per-frame chain.
//
// Every result here is bit-for-bit what the straightforward per-frame
// evaluation gives. The speed comes only from not repeating work whose inputs
// have not changed: pure coefficient functions are rerun only for new inputs,
// a smoother that has reached its fixed point is left standing, and the
// shelves' quotients are formed once per design instead of once per sample.

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "plugin/ZAVRO.h"

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
// Keeps silence off exact zeros in the recursive filters; removed at the end.
constexpr double kDcOffset = 1e-10;
constexpr int32_t kLowShelfType = 5;
constexpr int32_t kHighShelfType = 6;
constexpr int32_t kHighPassType = 1;
constexpr float kLowShelfQ = 0.504f;
constexpr float kHighShelfQ = 0.44f;
constexpr double kHighPassQ = 0.707;
// Frames per pass through the chains; bounds the stack scratch.
constexpr int kChunkFrames = 64;

uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

bool SameBits(double a, double b) { return Bits(a) == Bits(b); }

// Shelf settings in single precision, then its coefficients.
void DesignShelf(CookbookSection& s, int32_t type, float q, double gainDb, float frequency,
                 double fs) {
  s.type = type;
  s.gainDb = static_cast<float>(gainDb);
  s.amplitude = std::pow(10.0f, s.gainDb / 40.0f);
  s.q = q;
  s.sampleRate = static_cast<float>(fs);
  s.frequency = frequency;
  const float f = std::min(s.frequency, kMaxDesignFractionF * s.sampleRate);
  s.omega = f * 6.2831855f / s.sampleRate;
  s.alpha = std::sin(s.omega) / (s.q + s.q);
  s.UpdateCoefficients();
}

// A bell narrows as its boost or cut grows; exactly 0.0001 keeps the last q.
double BellQ(double gainParam, double gainCopy, double base, double divisor, double previous) {
  if (gainParam < 0.0001) return base - gainCopy / divisor;
  if (gainParam > 0.0001) return gainCopy / divisor + base;
  return previous;
}

// One channel group's chain for one block: the member state it works on, the
// block's settings, and what it learnt about its smoothers so far this block.
struct Chain {
  ParamSmoother& hpfSmoother;
  BiquadSection& highPass;
  bool& highPassDesigned;
  CookbookSection& lowShelf;
  PeakSection& lowMid;
  PeakSection& highMid;
  CookbookSection& highShelf;
  ParamSmoother& trimSmoother;
  double& trimFactor;
  double& trimFactorOf;
  const CookbookQuotients lowShelfQuotients;
  const CookbookQuotients highShelfQuotients;
  const double hpfTarget;
  const double trimTargetDb;
  const double fs;
  // A smoother whose step gave back its own state stays there for the block.
  bool hpfSettled = false;
  bool trimSettled = false;
};

// Per-frame high-pass step: glide the corner, redesign when it moved.
void StepHighPass(Chain& c, ParamSmoother& smoother, BiquadSection& highPass) {
  const double before = smoother.z;
  smoother.Step(c.hpfTarget);
  const double fc = smoother.z / c.fs;
  if (c.highPassDesigned && SameBits(fc, highPass.fc)) {
    if (SameBits(smoother.z, before)) c.hpfSettled = true;
    return;
  }
  highPass.type = kHighPassType;
  highPass.q = kHighPassQ;
  highPass.peakGainDb = 0.0;
  highPass.fc = fc;
  highPass.UpdateCoefficients();
  c.highPassDesigned = true;
}

// Per-frame trim step: the factor 10^(z/20) only changes with z.
void StepTrim(Chain& c, ParamSmoother& smoother) {
  const double before = smoother.z;
  smoother.Step(c.trimTargetDb);
  if (SameBits(smoother.z, before)) c.trimSettled = true;
  if (!SameBits(smoother.z, c.trimFactorOf)) {
    c.trimFactor = std::pow(10.0, smoother.z / 20.0);
    c.trimFactorOf = smoother.z;
  }
}

// Runs n frames of one group's signal through its chain and trim, in place.
// The state works on local copies so that it stays in registers.
void RunChain(Chain& c, double* signal, int n) {
  ParamSmoother hpfSmoother = c.hpfSmoother;
  ParamSmoother trimSmoother = c.trimSmoother;
  BiquadSection highPass = c.highPass;
  CookbookSection lowShelf = c.lowShelf;
  PeakSection lowMid = c.lowMid;
  PeakSection highMid = c.highMid;
  CookbookSection highShelf = c.highShelf;
  const CookbookQuotients lowQ = c.lowShelfQuotients;
  const CookbookQuotients highQ = c.highShelfQuotients;
  for (int i = 0; i < n; ++i) {
    if (!c.hpfSettled) StepHighPass(c, hpfSmoother, highPass);
    // Each step's precision is part of the sound.
    const double afterHighPass = highPass.Process(static_cast<float>(signal[i]));
    const float afterLowShelf = lowShelf.Process(static_cast<float>(afterHighPass), lowQ);
    const double afterBells = highMid.Process(lowMid.Process(afterLowShelf));
    const double afterHighShelf = highShelf.Process(static_cast<float>(afterBells), highQ);
    if (!c.trimSettled) StepTrim(c, trimSmoother);
    signal[i] = c.trimFactor * afterHighShelf;
  }
  c.hpfSmoother = hpfSmoother;
  c.trimSmoother = trimSmoother;
  c.highPass = highPass;
  c.lowShelf = lowShelf;
  c.lowMid = lowMid;
  c.highMid = highMid;
  c.highShelf = highShelf;
}

}  // namespace

bool ZAVRO::DesignInputs::Unchanged(double v0, double v1, double v2, double v3) {
  const uint64_t now[4] = {Bits(v0), Bits(v1), Bits(v2), Bits(v3)};
  if (valid && std::equal(now, now + 4, bits)) return true;
  std::copy(now, now + 4, bits);
  valid = true;
  return false;
}

double ZAVRO::InputConditioner(double sample) {
  const double x = sample + kDcOffset;
  const double x3 = (x * x) * x;
  const double x8 = x3 * x * x * x * x * x;
  return x + 0.2 * (0.005 * std::tanh(x3) - 0.0005 * std::tanh(x8) + 0.001 * (x * x));
}

double ZAVRO::Condition(int channel, double sample) {
  if (lastConditionedValid_[channel] && SameBits(sample, lastRaw_[channel])) {
    return lastConditioned_[channel];
  }
  lastRaw_[channel] = sample;
  lastConditioned_[channel] = InputConditioner(sample);
  lastConditionedValid_[channel] = true;
  return lastConditioned_[channel];
}

void ZAVRO::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const double fs = SampleRate();
  PrepareBlock(fs);
  if (nFrames > 0) {
    assert(inputs && inputs[0] && inputs[1] && outputs && outputs[0] && outputs[1]);
    ProcessFrames(inputs, outputs, nFrames, fs);
  }
  ClearNonFiniteState();
}

void ZAVRO::PrepareBlock(double fs) {
  if (!smootherInputs_.Unchanged(fs, 0.0, 0.0, 0.0)) {
    ParamSmoother corner;
    corner.SetCorner10Hz(fs);
    for (ParamSmoother* s :
         {&lmTrimSmoother, &rsTrimSmoother, &masterSmoother, &lmHpfSmoother, &rsHpfSmoother}) {
      s->a = corner.a;
      s->b = corner.b;
    }
  }
  if (GetParam(kLink)->IntValue() == 1) LinkRSToLM();
  DesignShelves(fs);
  DesignBells(fs);
  ChooseHpfTargets();
}

void ZAVRO::LinkRSToLM() {
  // In this order; the bypass twin has no copy of its own.
  const struct {
    int rsIdx;
    double source;
    double* copy;
  } pairs[] = {
      {kRSOutput, lmOutputDb, &rsOutputDb},
      {kRSLowGain, lmLowGain, &rsLowGain},
      {kRSLowFreq, lmLowFreq, &rsLowFreq},
      {kRSLowMidGain, lmLowMidGain, &rsLowMidGain},
      {kRSLowMidFreq, lmLowMidFreq, &rsLowMidFreq},
      {kRSHighMidGain, lmHighMidGain, &rsHighMidGain},
      {kRSHighMidFreq, lmHighMidFreq, &rsHighMidFreq},
      {kRSHighGain, lmHighGain, &rsHighGain},
      {kRSHighFreq, lmHighFreq, &rsHighFreq},
      {kRSHPF, lmHpfPosition, &rsHpfPosition},
      {kRSBypass, lmBypass, nullptr},
  };
  // The host is not told: with Link on, the R/S settings are derived ones.
  for (const auto& pair : pairs) {
    GetParam(pair.rsIdx)->SetClamped(pair.source);
    if (pair.copy) *pair.copy = pair.source;
    PushToEditor(pair.rsIdx, pair.source);
  }
}

void ZAVRO::DesignShelves(double fs) {
  struct Shelf {
    CookbookSection& section;
    int32_t type;
    float q;
    double gainDb;
    double setting;  // Hz for the low shelves, the 3..10 scale for the high ones
  };
  Shelf shelves[4] = {
      {lmLowShelf, kLowShelfType, kLowShelfQ, lmLowGain, lmLowFreq},
      {rsLowShelf, kLowShelfType, kLowShelfQ, rsLowGain, rsLowFreq},
      {lmHighShelf, kHighShelfType, kHighShelfQ, lmHighGain, lmHighFreq},
      {rsHighShelf, kHighShelfType, kHighShelfQ, rsHighGain, rsHighFreq},
  };
  for (int i = 0; i < 4; ++i) {
    const Shelf& s = shelves[i];
    if (shelfInputs_[i].Unchanged(s.gainDb, s.setting, fs, 0.0)) continue;
    const float frequency = s.type == kHighShelfType ? static_cast<float>(s.setting * 1000.0 - 1000.0)
                                                     : static_cast<float>(s.setting);
    DesignShelf(s.section, s.type, s.q, s.gainDb, frequency, fs);
    shelfQuotients_[i] = s.section.Quotients();
  }
}

void ZAVRO::DesignBells(double fs) {
  lmLowMidQ = BellQ(GetParam(kLMLowMidGain)->Value(), lmLowMidGain, 0.1, 13.0, lmLowMidQ);
  rsLowMidQ = BellQ(GetParam(kRSLowMidGain)->Value(), rsLowMidGain, 0.1, 13.0, rsLowMidQ);
  lmHighMidQ = BellQ(GetParam(kLMHighMidGain)->Value(), lmHighMidGain, 0.2, 14.0, lmHighMidQ);
  rsHighMidQ = BellQ(GetParam(kRSHighMidGain)->Value(), rsHighMidGain, 0.2, 14.0, rsHighMidQ);
  struct Bell {
    PeakSection& section;
    double gainDb, frequency, q;
  };
  Bell bells[4] = {
      {lmLowMid, lmLowMidGain, lmLowMidFreq, lmLowMidQ},
      {rsLowMid, rsLowMidGain, rsLowMidFreq, rsLowMidQ},
      {lmHighMid, lmHighMidGain, lmHighMidFreq, lmHighMidQ},
      {rsHighMid, rsHighMidGain, rsHighMidFreq, rsHighMidQ},
  };
  for (int i = 0; i < 4; ++i) {
    Bell& b = bells[i];
    b.section.sampleRate = fs;
    if (bellInputs_[i].Unchanged(b.gainDb, b.frequency, b.q, fs)) continue;
    b.section.Design(b.gainDb, b.frequency, b.q);
  }
}

void ZAVRO::ChooseHpfTargets() {
  // Exact matches only: a position between the steps keeps the last corner.
  for (auto [position, target] :
       {std::pair{lmHpfPosition, &lmHpfTarget}, std::pair{rsHpfPosition, &rsHpfTarget}}) {
    if (position == 0.0) *target = 10.0;
    else if (position == 1.0) *target = 80.0;
    else if (position == 2.0) *target = 140.0;
  }
}

void ZAVRO::ProcessFrames(double** inputs, double** outputs, int nFrames, double fs) {
  // Switches are read once per block; nothing in the block changes them. A
  // value outside a switch's range (which a clamped parameter cannot hold)
  // counts as L/R, and as engaged for the bypass switches.
  const bool midSide = GetParam(kMode)->IntValue() == 1;
  const bool lmEngaged = GetParam(kLMBypass)->IntValue() != 0;
  const bool rsEngaged = GetParam(kRSBypass)->IntValue() != 0;
  const bool masterEngaged = GetParam(kMasterBypass)->IntValue() != 0;

  Chain lm{lmHpfSmoother, lmHighPass, lmHighPassDesigned_, lmLowShelf, lmLowMid, lmHighMid,
           lmHighShelf, lmTrimSmoother, lmTrimFactor_, lmTrimFactorOf_, shelfQuotients_[0],
           shelfQuotients_[2], lmHpfTarget, lmOutputDb, fs};
  Chain rs{rsHpfSmoother, rsHighPass, rsHighPassDesigned_, rsLowShelf, rsLowMid, rsHighMid,
           rsHighShelf, rsTrimSmoother, rsTrimFactor_, rsTrimFactorOf_, shelfQuotients_[1],
           shelfQuotients_[3], rsHpfTarget, rsOutputDb, fs};
  ParamSmoother master = masterSmoother;
  bool masterSettled = false;

  const double* inL = inputs[0];
  const double* inR = inputs[1];
  double* outL = outputs[0];
  double* outR = outputs[1];
  for (int start = 0; start < nFrames; start += kChunkFrames) {
    const int n = std::min(kChunkFrames, nFrames - start);
    // The whole chunk is read before any of it is written: outputs may be inputs.
    double rawL[kChunkFrames], rawR[kChunkFrames], p[kChunkFrames], s[kChunkFrames];
    std::copy(inL + start, inL + start + n, rawL);
    std::copy(inR + start, inR + start + n, rawR);
    for (int i = 0; i < n; ++i) {
      const double yl = Condition(0, rawL[i]);
      const double yr = Condition(1, rawR[i]);
      if (midSide) {
        p[i] = (yr + yl) / kSqrt2;
        s[i] = (yl - yr) / kSqrt2;
      } else {
        p[i] = yl;
        s[i] = yr + kDcOffset;
      }
    }
    RunChain(lm, p, n);
    RunChain(rs, s, n);
    for (int i = 0; i < n; ++i) {
      double left = midSide ? (s[i] + p[i]) / kSqrt2 : p[i];
      double right = midSide ? (p[i] - s[i]) / kSqrt2 : s[i];
      // Group bypass passes the raw input, unconditioned and without offset.
      if (!lmEngaged) left = rawL[i];
      if (!rsEngaged) right = rawR[i];
      if (!masterEngaged) {
        outL[start + i] = rawL[i];
        outR[start + i] = rawR[i];
        continue;
      }
      // Two smoother steps per frame; the right channel gets the second.
      double gainL = master.z;
      double gainR = master.z;
      if (!masterSettled) {
        gainL = master.Step(masterGain);
        gainR = master.Step(masterGain);
        masterSettled = SameBits(gainR, gainL);
      }
      outL[start + i] = (left - kDcOffset) * gainL;
      outR[start + i] = (right - kDcOffset) * gainR;
    }
  }
  masterSmoother = master;
}

void ZAVRO::ClearNonFiniteState() {
  // A NaN or infinity from the host would otherwise stay in the recursions for
  // ever; finite input never gets here.
  for (CookbookSection* s : {&lmLowShelf, &rsLowShelf, &lmHighShelf, &rsHighShelf}) {
    if (!s->HistoryFinite()) s->ClearHistory();
  }
  for (PeakSection* s : {&lmLowMid, &rsLowMid, &lmHighMid, &rsHighMid}) {
    if (!s->HistoryFinite()) s->ClearHistory();
  }
  for (BiquadSection* s : {&lmHighPass, &rsHighPass}) {
    if (!s->HistoryFinite()) s->ClearHistory();
  }
  for (ParamSmoother* s :
       {&lmTrimSmoother, &rsTrimSmoother, &masterSmoother, &lmHpfSmoother, &rsHpfSmoother}) {
    if (!s->StateFinite()) s->ClearState();
  }
}
