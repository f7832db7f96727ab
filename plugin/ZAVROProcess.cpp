// The equaliser's audio path: per-block settings, then the per-frame chain.
//
// Every result here is bit-for-bit what the straightforward per-frame
// evaluation gives. The speed comes from not repeating work whose inputs have
// not changed (no settings work at all for a block that starts from the last
// one's settings inputs, pure coefficient functions rerun only for new inputs, a
// smoother at its fixed point left standing, the shelves' quotients formed
// once per design instead of once per sample) and from running the two
// groups' chains side by side in the two lanes of one register, each lane
// doing exactly the scalar arithmetic.

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

bool SameBits(double a, double b) { return Bits(a) == Bits(b); }

// x - x is +0 for every finite value and a NaN for an infinity or a NaN, and
// a sum of such terms is +0 exactly when every term is. No branch per value.
float NonFiniteTerms(float a, float b, float c, float d) { return ((a - a) + (b - b)) + ((c - c) + (d - d)); }
double NonFiniteTerms(double a, double b, double c, double d) {
  return ((a - a) + (b - b)) + ((c - c) + (d - d));
}

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
  if (s.RecursionStable()) return;
  const float raised = std::max(f, kMinShelfFractionF * s.sampleRate);
  s.omega = raised * 6.2831855f / s.sampleRate;
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
  const CookbookQuotients& lowShelfQuotients;
  const CookbookQuotients& highShelfQuotients;
  const double hpfTarget;
  const double trimTargetDb;
  const double fs;
  // A smoother whose step gave back its own state stays there for the block.
  bool hpfSettled = false;
  bool trimSettled = false;

  bool Settled() const { return hpfSettled && trimSettled; }
};

// Per-frame high-pass step: glide the corner, redesign when it moved.
void StepHighPass(Chain& c) {
  const double before = c.hpfSmoother.z;
  c.hpfSmoother.Step(c.hpfTarget);
  const double fc = c.hpfSmoother.z / c.fs;
  if (c.highPassDesigned && SameBits(fc, c.highPass.fc)) {
    if (SameBits(c.hpfSmoother.z, before)) c.hpfSettled = true;
    return;
  }
  c.highPass.type = kHighPassType;
  c.highPass.q = kHighPassQ;
  c.highPass.peakGainDb = 0.0;
  c.highPass.fc = fc;
  c.highPass.UpdateHighPassCoefficients();
  c.highPassDesigned = true;
}

// Per-frame trim step: the factor 10^(z/20) only changes with z.
void StepTrim(Chain& c) {
  const double before = c.trimSmoother.z;
  c.trimSmoother.Step(c.trimTargetDb);
  if (SameBits(c.trimSmoother.z, before)) c.trimSettled = true;
  if (!SameBits(c.trimSmoother.z, c.trimFactorOf)) {
    c.trimFactor = std::pow(10.0, c.trimSmoother.z / 20.0);
    c.trimFactorOf = c.trimSmoother.z;
  }
}

// One frame of one group through its chain and trim, every step taken.
double ChainFrame(Chain& c, double x) {
  if (!c.hpfSettled) StepHighPass(c);
  // Each step's precision is part of the sound.
  const double afterHighPass = c.highPass.Process(static_cast<float>(x));
  const float afterLowShelf = c.lowShelf.Process(static_cast<float>(afterHighPass), c.lowShelfQuotients);
  const double afterBells = c.highMid.Process(c.lowMid.Process(afterLowShelf));
  const double afterHighShelf = c.highShelf.Process(static_cast<float>(afterBells), c.highShelfQuotients);
  if (!c.trimSettled) StepTrim(c);
  return c.trimFactor * afterHighShelf;
}

#if defined(__SSE2__)
// Both groups' chains once nothing glides any more: the two groups share no
// state, so they run side by side in the two lanes of one register (lane 0
// L/M, lane 1 R/S). Each lane's arithmetic is the scalar arithmetic, operation
// for operation, so every result is the same to the bit.
struct LanePair {
  using Reg = __m128d;
  Reg v;
  static LanePair Of(double lm, double rs) { return {_mm_set_pd(rs, lm)}; }
  void Store(double& lm, double& rs) const {
    _mm_storel_pd(&lm, v);
    _mm_storeh_pd(&rs, v);
  }
  static Reg Add(Reg a, Reg b) { return _mm_add_pd(a, b); }
  static Reg Sub(Reg a, Reg b) { return _mm_sub_pd(a, b); }
  static Reg Mul(Reg a, Reg b) { return _mm_mul_pd(a, b); }
};
struct FloatLanePair {
  using Reg = __m128;
  Reg v;  // lanes 2 and 3 unused
  static FloatLanePair Of(float lm, float rs) { return {_mm_set_ps(0.0f, 0.0f, rs, lm)}; }
  void Store(float& lm, float& rs) const {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    lm = lanes[0];
    rs = lanes[1];
  }
  static Reg Add(Reg a, Reg b) { return _mm_add_ps(a, b); }
  static Reg Sub(Reg a, Reg b) { return _mm_sub_ps(a, b); }
  static Reg Mul(Reg a, Reg b) { return _mm_mul_ps(a, b); }
};

// The settings of one frame that glide, lane 0 L/M, lane 1 R/S: the
// high-pass coefficients and the trim factor.
struct GlideSettings {
  __m128d b0, b1, b2, a1, a2, trim;
};

struct PairedBiquad {
  __m128d z1, z2;
  PairedBiquad(const BiquadSection& l, const BiquadSection& r)
      : z1(LanePair::Of(l.z1, r.z1).v), z2(LanePair::Of(l.z2, r.z2).v) {}
  __m128d Process(__m128d x, const GlideSettings& c) {
    const __m128d y = _mm_add_pd(_mm_mul_pd(c.b0, x), z1);
    z1 = _mm_sub_pd(_mm_add_pd(_mm_mul_pd(c.b1, x), z2), _mm_mul_pd(c.a1, y));
    z2 = _mm_sub_pd(_mm_mul_pd(c.b2, x), _mm_mul_pd(c.a2, y));
    return y;
  }
  void StoreHistory(BiquadSection& l, BiquadSection& r) const {
    LanePair{z1}.Store(l.z1, r.z1);
    LanePair{z2}.Store(l.z2, r.z2);
  }
};

// A direct-form-I section of each group, a0 = 1: the bells as they are, the
// shelves through their per-design quotients (in single precision).
template <typename Lanes>
struct PairedDirectForm {
  using Reg = typename Lanes::Reg;
  Reg b0, b1, b2, a1, a2, x1, x2, y1, y2;
  template <typename Section, typename Coefficients>
  PairedDirectForm(const Section& l, const Coefficients& kl, const Section& r, const Coefficients& kr)
      : b0(Lanes::Of(kl.b0, kr.b0).v), b1(Lanes::Of(kl.b1, kr.b1).v),
        b2(Lanes::Of(kl.b2, kr.b2).v), a1(Lanes::Of(kl.a1, kr.a1).v),
        a2(Lanes::Of(kl.a2, kr.a2).v), x1(Lanes::Of(l.x1, r.x1).v),
        x2(Lanes::Of(l.x2, r.x2).v), y1(Lanes::Of(l.y1, r.y1).v),
        y2(Lanes::Of(l.y2, r.y2).v) {}
  Reg Process(Reg x) {
    Reg y = Lanes::Add(Lanes::Mul(b0, x), Lanes::Mul(b1, x1));
    y = Lanes::Add(y, Lanes::Mul(b2, x2));
    y = Lanes::Sub(y, Lanes::Mul(a1, y1));
    y = Lanes::Sub(y, Lanes::Mul(a2, y2));
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
  template <typename Section>
  void StoreHistory(Section& l, Section& r) const {
    Lanes{x1}.Store(l.x1, r.x1);
    Lanes{x2}.Store(l.x2, r.x2);
    Lanes{y1}.Store(l.y1, r.y1);
    Lanes{y2}.Store(l.y2, r.y2);
  }
};
using PairedCookbook = PairedDirectForm<FloatLanePair>;
using PairedPeak = PairedDirectForm<LanePair>;

GlideSettings CurrentGlideSettings(const Chain& lm, const Chain& rs) {
  const BiquadSection& l = lm.highPass;
  const BiquadSection& r = rs.highPass;
  return {LanePair::Of(l.b0, r.b0).v, LanePair::Of(l.b1, r.b1).v, LanePair::Of(l.b2, r.b2).v,
          LanePair::Of(l.a1, r.a1).v, LanePair::Of(l.a2, r.a2).v,
          LanePair::Of(lm.trimFactor, rs.trimFactor).v};
}

// Steps both groups' glides through n frames ahead of the filtering, which
// they do not depend on, and notes each frame's settings.
void StepGlides(Chain& lm, Chain& rs, GlideSettings* settings, int n) {
  for (int i = 0; i < n; ++i) {
    for (Chain* c : {&lm, &rs}) {
      if (!c->hpfSettled) StepHighPass(*c);
      if (!c->trimSettled) StepTrim(*c);
    }
    settings[i] = CurrentGlideSettings(lm, rs);
  }
}

// Runs n frames of both groups through their chains and trims, with the
// glides' settings of every frame given, or (kAtRest) one for all frames.
template <bool kAtRest>
void PairedChains(Chain& lm, Chain& rs, const GlideSettings* settings, double* p, double* s, int n) {
  auto settingsOf = [settings](int frame) -> const GlideSettings& {
    return settings[kAtRest ? 0 : frame];
  };
  PairedBiquad highPass(lm.highPass, rs.highPass);
  PairedCookbook lowShelf(lm.lowShelf, lm.lowShelfQuotients, rs.lowShelf, rs.lowShelfQuotients);
  PairedPeak lowMid(lm.lowMid, lm.lowMid, rs.lowMid, rs.lowMid);
  PairedPeak highMid(lm.highMid, lm.highMid, rs.highMid, rs.highMid);
  PairedCookbook highShelf(lm.highShelf, lm.highShelfQuotients, rs.highShelf, rs.highShelfQuotients);
  // Skewed by one frame per section: at step i the high-pass takes frame i,
  // the low shelf frame i - 1, and so on, so the five sections' work within
  // a step is independent. Each section still sees its frames in order.
  __m128 afterHighPass = _mm_setzero_ps();
  __m128d afterLowShelf = _mm_setzero_pd();
  __m128d afterLowMid = _mm_setzero_pd();
  __m128 afterHighMid = _mm_setzero_ps();
  constexpr int kStages = 5;
  for (int i = 0; i < n + kStages - 1; ++i) {
    if (i >= 4) {
      const __m128d afterHighShelf = _mm_cvtps_pd(highShelf.Process(afterHighMid));
      LanePair{_mm_mul_pd(settingsOf(i - 4).trim, afterHighShelf)}.Store(p[i - 4], s[i - 4]);
    }
    if (i >= 3 && i - 3 < n) afterHighMid = _mm_cvtpd_ps(highMid.Process(afterLowMid));
    if (i >= 2 && i - 2 < n) afterLowMid = lowMid.Process(afterLowShelf);
    if (i >= 1 && i - 1 < n) afterLowShelf = _mm_cvtps_pd(lowShelf.Process(afterHighPass));
    if (i < n) {
      const __m128d x = _mm_cvtps_pd(_mm_cvtpd_ps(LanePair::Of(p[i], s[i]).v));
      afterHighPass = _mm_cvtpd_ps(highPass.Process(x, settingsOf(i)));
    }
  }
  highPass.StoreHistory(lm.highPass, rs.highPass);
  lowShelf.StoreHistory(lm.lowShelf, rs.lowShelf);
  lowMid.StoreHistory(lm.lowMid, rs.lowMid);
  highMid.StoreHistory(lm.highMid, rs.highMid);
  highShelf.StoreHistory(lm.highShelf, rs.highShelf);
}
#endif

// Both groups' chains over n frames, in place: the paired kernel with the
// glides stepped ahead, or frame by frame where loading it would cost more.
void RunChains(Chain& lm, Chain& rs, double* p, double* s, int n) {
#if defined(__SSE2__)
  constexpr int kPairedMinFrames = 8;
  if (n >= kPairedMinFrames) {
    assert(n <= ZAVRO::kChunkFrames);
    if (lm.Settled() && rs.Settled()) {
      const GlideSettings atRest = CurrentGlideSettings(lm, rs);
      PairedChains<true>(lm, rs, &atRest, p, s, n);
      return;
    }
    GlideSettings settings[ZAVRO::kChunkFrames];
    StepGlides(lm, rs, settings, n);
    PairedChains<false>(lm, rs, settings, p, s, n);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) {
    p[i] = ChainFrame(lm, p[i]);
    s[i] = ChainFrame(rs, s[i]);
  }
}

}  // namespace

double ZAVRO::InputConditioner(double sample) {
  const double x = sample + kDcOffset;
  const double x3 = (x * x) * x;
  const double x8 = x3 * x * x * x * x * x;
  return x + 0.2 * (0.005 * std::tanh(x3) - 0.0005 * std::tanh(x8) + 0.001 * (x * x));
}

void ZAVRO::ConditionChunk(int channel, const double* raw, double* conditioned, int n) {
  // A few samples have too little work to overlap for the staging to pay.
  constexpr int kStagedMinFrames = 4;
  if (n < kStagedMinFrames) {
    for (int i = 0; i < n; ++i) {
      const double x = raw[i] + kDcOffset;
      if (!lastRawValid_[channel] || !SameBits(raw[i], lastRaw_[channel])) {
        const double x3 = (x * x) * x;
        const double x8 = x3 * x * x * x * x * x;
        lastTanhX3_[channel] = std::tanh(x3);
        lastTanhX8_[channel] = std::tanh(x8);
        lastRaw_[channel] = raw[i];
        lastRawValid_[channel] = true;
      }
      conditioned[i] = x + 0.2 * (0.005 * lastTanhX3_[channel] - 0.0005 * lastTanhX8_[channel] +
                                  0.001 * (x * x));
    }
    return;
  }
  double x[kChunkFrames], x3[kChunkFrames], x8[kChunkFrames];
  for (int i = 0; i < n; ++i) {
    x[i] = raw[i] + kDcOffset;
    x3[i] = (x[i] * x[i]) * x[i];
    x8[i] = x3[i] * x[i] * x[i] * x[i] * x[i] * x[i];
  }
  double tanhX3[kChunkFrames], tanhX8[kChunkFrames];
  double previous = lastRaw_[channel];
  bool previousValid = lastRawValid_[channel];
  double previousTanhX3 = lastTanhX3_[channel];
  double previousTanhX8 = lastTanhX8_[channel];
  for (int i = 0; i < n; ++i) {
    if (!previousValid || !SameBits(raw[i], previous)) {
      previousTanhX3 = std::tanh(x3[i]);
      previousTanhX8 = std::tanh(x8[i]);
      previous = raw[i];
      previousValid = true;
    }
    tanhX3[i] = previousTanhX3;
    tanhX8[i] = previousTanhX8;
  }
  lastRaw_[channel] = previous;
  lastRawValid_[channel] = previousValid;
  lastTanhX3_[channel] = previousTanhX3;
  lastTanhX8_[channel] = previousTanhX8;
  for (int i = 0; i < n; ++i) {
    conditioned[i] = x[i] + 0.2 * (0.005 * tanhX3[i] - 0.0005 * tanhX8[i] + 0.001 * (x[i] * x[i]));
  }
}

template <typename Visit>
void ZAVRO::ForEachBlockInput(double fs, Visit visit) const {
  const IParamDef* params = GetParam(0);
  assert(params);
  int n = 0;
  visit(n++, Bits(fs));
  for (int i = 0; i < kParamCount; ++i) visit(n++, Bits(params[i].Value()));
  for (double copy : {lmLowGain, lmLowFreq, lmLowMidGain, lmLowMidFreq, lmHighMidGain, lmHighMidFreq,
                      lmHighGain, lmHighFreq, rsHighGain, rsHighFreq, rsLowGain, rsLowFreq,
                      rsLowMidGain, rsLowMidFreq, rsHighMidGain, rsHighMidFreq, lmOutputDb,
                      rsOutputDb, masterGain, lmBypass, lmHpfPosition, rsHpfPosition}) {
    visit(n++, Bits(copy));
  }
  assert(n == kBlockInputCount);
}

void ZAVRO::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const double fs = SampleRate();
  if (nFrames <= 0) {
    PrepareBlock(fs);
    // No frames ran, so the glides' rest checks were not made from these settings.
    blockInputsValid_ = false;
    ClearNonFiniteState();
    return;
  }
  assert(inputs && inputs[0] && inputs[1] && outputs && outputs[0] && outputs[1]);
  // Conditioning depends on the input alone, so the first frames are
  // conditioned before the settings are made: the tangents' latency then
  // overlaps with that work, which matters for short blocks.
  InputChunk chunk;
  ReadChunk(inputs, 0, std::min(nFrames, kChunkFrames), chunk);
  uint64_t differ = blockInputsValid_ ? 0 : 1;
  ForEachBlockInput(fs, [&](int i, uint64_t bits) { differ |= bits ^ blockInputs_[i]; });
  const bool settingsStand = differ == 0;
  if (settingsStand) {
    if (linked_ && Editor()) LinkRSToLM(true);
  } else {
    PrepareBlock(fs);
  }
  ProcessFrames(inputs, outputs, nFrames, fs, chunk, settingsStand);
  if (!settingsStand) {
    // The frames change no parameter or copy, so these are the settings' inputs.
    ForEachBlockInput(fs, [this](int i, uint64_t bits) { blockInputs_[i] = bits; });
    blockInputsValid_ = true;
  }
  ClearNonFiniteState();
}

void ZAVRO::ReadChunk(double** inputs, int start, int n, InputChunk& chunk) {
  // The whole chunk is read before any of it is written: outputs may be inputs.
  for (int i = 0; i < n; ++i) {
    chunk.rawL[i] = inputs[0][start + i];
    chunk.rawR[i] = inputs[1][start + i];
  }
  ConditionChunk(0, chunk.rawL, chunk.conditionedL, n);
  ConditionChunk(1, chunk.rawR, chunk.conditionedR, n);
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
  linked_ = GetParam(kLink)->IntValue() == 1;
  if (linked_) LinkRSToLM(false);
  DesignShelves(fs);
  DesignBells(fs);
  ChooseHpfTargets();
  // Read once per block, after Link; nothing in the block changes them. A
  // value outside a switch's range (which a clamped parameter cannot hold)
  // counts as L/R, and as engaged for the bypass switches.
  midSide_ = GetParam(kMode)->IntValue() == 1;
  lmEngaged_ = GetParam(kLMBypass)->IntValue() != 0;
  rsEngaged_ = GetParam(kRSBypass)->IntValue() != 0;
  masterEngaged_ = GetParam(kMasterBypass)->IntValue() != 0;
}

void ZAVRO::LinkRSToLM(bool settingsStand) {
  // In this order; the bypass twin has no copy of its own.
  static constexpr struct {
    int rsIdx;
    double ZAVRO::*source;
    double ZAVRO::*copy;
  } kPairs[] = {
      {kRSOutput, &ZAVRO::lmOutputDb, &ZAVRO::rsOutputDb},
      {kRSLowGain, &ZAVRO::lmLowGain, &ZAVRO::rsLowGain},
      {kRSLowFreq, &ZAVRO::lmLowFreq, &ZAVRO::rsLowFreq},
      {kRSLowMidGain, &ZAVRO::lmLowMidGain, &ZAVRO::rsLowMidGain},
      {kRSLowMidFreq, &ZAVRO::lmLowMidFreq, &ZAVRO::rsLowMidFreq},
      {kRSHighMidGain, &ZAVRO::lmHighMidGain, &ZAVRO::rsHighMidGain},
      {kRSHighMidFreq, &ZAVRO::lmHighMidFreq, &ZAVRO::rsHighMidFreq},
      {kRSHighGain, &ZAVRO::lmHighGain, &ZAVRO::rsHighGain},
      {kRSHighFreq, &ZAVRO::lmHighFreq, &ZAVRO::rsHighFreq},
      {kRSHPF, &ZAVRO::lmHpfPosition, &ZAVRO::rsHpfPosition},
      {kRSBypass, &ZAVRO::lmBypass, nullptr},
  };
  // The host is not told: with Link on, the R/S settings are derived ones.
  const bool hasEditor = Editor() != nullptr;
  // Standing settings mean every value and copy already holds what the
  // writes would give it; the controls are still shown the values, as a
  // control moved by hand may show another.
  for (const auto& pair : kPairs) {
    const double source = this->*pair.source;
    if (!settingsStand) {
      IParamDef* param = GetParam(pair.rsIdx);
      const double clamped = std::clamp(source, param->Min(), param->Max());
      if (!SameBits(param->Value(), clamped)) param->SetClamped(clamped);
      if (pair.copy) this->*pair.copy = source;
    }
    if (hasEditor) PushToEditor(pair.rsIdx, source);
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

void ZAVRO::ProcessFrames(double** inputs, double** outputs, int nFrames, double fs,
                          InputChunk& chunk, bool settingsStand) {
  const bool midSide = midSide_;
  const bool lmEngaged = lmEngaged_;
  const bool rsEngaged = rsEngaged_;
  const bool masterEngaged = masterEngaged_;

  Chain lm{lmHpfSmoother, lmHighPass, lmHighPassDesigned_, lmLowShelf, lmLowMid, lmHighMid,
           lmHighShelf, lmTrimSmoother, lmTrimFactor_, lmTrimFactorOf_, shelfQuotients_[0],
           shelfQuotients_[2], lmHpfTarget, lmOutputDb, fs};
  Chain rs{rsHpfSmoother, rsHighPass, rsHighPassDesigned_, rsLowShelf, rsLowMid, rsHighMid,
           rsHighShelf, rsTrimSmoother, rsTrimFactor_, rsTrimFactorOf_, shelfQuotients_[1],
           shelfQuotients_[3], rsHpfTarget, rsOutputDb, fs};
  ParamSmoother master = masterSmoother;
  bool masterSettled;
  if (settingsStand) {
    // The rest checks' settings are those the last block checked and remembered.
    lm.hpfSettled = lmHpfRest_.resting && lmHighPassDesigned_;
    rs.hpfSettled = rsHpfRest_.resting && rsHighPassDesigned_;
    lm.trimSettled = lmTrimRest_.resting;
    rs.trimSettled = rsTrimRest_.resting;
    masterSettled = masterRest_.resting;
  } else {
    lm.hpfSettled = lmHpfRest_.Resumes(lmHpfTarget, lmHpfSmoother, fs) && lmHighPassDesigned_;
    rs.hpfSettled = rsHpfRest_.Resumes(rsHpfTarget, rsHpfSmoother, fs) && rsHighPassDesigned_;
    lm.trimSettled = lmTrimRest_.Resumes(lmOutputDb, lmTrimSmoother, 0.0);
    rs.trimSettled = rsTrimRest_.Resumes(rsOutputDb, rsTrimSmoother, 0.0);
    masterSettled = masterRest_.Resumes(masterGain, masterSmoother, 0.0);
  }

  double* outL = outputs[0];
  double* outR = outputs[1];
  for (int start = 0; start < nFrames; start += kChunkFrames) {
    const int n = std::min(kChunkFrames, nFrames - start);
    if (start > 0) ReadChunk(inputs, start, n, chunk);
    const double* rawL = chunk.rawL;
    const double* rawR = chunk.rawR;
    const double* yl = chunk.conditionedL;
    const double* yr = chunk.conditionedR;
    double p[kChunkFrames], s[kChunkFrames];
    if (midSide) {
      for (int i = 0; i < n; ++i) {
        p[i] = (yr[i] + yl[i]) / kSqrt2;
        s[i] = (yl[i] - yr[i]) / kSqrt2;
      }
    } else {
      for (int i = 0; i < n; ++i) {
        p[i] = yl[i];
        s[i] = yr[i] + kDcOffset;
      }
    }
    RunChains(lm, rs, p, s, n);
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
  lmHpfRest_.resting = lm.hpfSettled;
  rsHpfRest_.resting = rs.hpfSettled;
  lmTrimRest_.resting = lm.trimSettled;
  rsTrimRest_.resting = rs.trimSettled;
  masterRest_.resting = masterSettled;
}

void ZAVRO::ClearNonFiniteState() {
  // A NaN or infinity from the host (or a sample so large that its square
  // overflows) would otherwise stay in the recursions for ever; input at any
  // sane level never gets here. One pass without branches covers the
  // usual case of nothing to clear.
  const float shelves = NonFiniteTerms(lmLowShelf.x1, lmLowShelf.x2, lmLowShelf.y1, lmLowShelf.y2) +
                       NonFiniteTerms(rsLowShelf.x1, rsLowShelf.x2, rsLowShelf.y1, rsLowShelf.y2) +
                       (NonFiniteTerms(lmHighShelf.x1, lmHighShelf.x2, lmHighShelf.y1, lmHighShelf.y2) +
                        NonFiniteTerms(rsHighShelf.x1, rsHighShelf.x2, rsHighShelf.y1, rsHighShelf.y2));
  const double bells = NonFiniteTerms(lmLowMid.x1, lmLowMid.x2, lmLowMid.y1, lmLowMid.y2) +
                       NonFiniteTerms(rsLowMid.x1, rsLowMid.x2, rsLowMid.y1, rsLowMid.y2) +
                       (NonFiniteTerms(lmHighMid.x1, lmHighMid.x2, lmHighMid.y1, lmHighMid.y2) +
                        NonFiniteTerms(rsHighMid.x1, rsHighMid.x2, rsHighMid.y1, rsHighMid.y2));
  const double rest = NonFiniteTerms(lmHighPass.z1, lmHighPass.z2, rsHighPass.z1, rsHighPass.z2) +
                      NonFiniteTerms(lmTrimSmoother.z, rsTrimSmoother.z, masterSmoother.z, lmHpfSmoother.z) +
                      (rsHpfSmoother.z - rsHpfSmoother.z);
  if (static_cast<double>(shelves) + (bells + rest) == 0.0) return;

  // What is cleared starts its glide again.
  for (RestingGlide* r : {&lmHpfRest_, &rsHpfRest_, &lmTrimRest_, &rsTrimRest_, &masterRest_}) {
    r->resting = false;
  }
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
