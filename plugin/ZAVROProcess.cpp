// The equaliser's audio path: per-block settings, then the per-frame chain.
//
// Every result here is bit-for-bit what the straightforward per-frame
// evaluation gives. The speed comes from not repeating work whose inputs have
// not changed (everything in ZAVRO::Cache) and from running the two groups'
// chains side by side in the two lanes of one register (PairedSections.h).

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>

#include "plugin/InputConditioner.h"
#include "plugin/PairedSections.h"
#include "plugin/ZAVRO.h"

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
enum { kLow = 0, kHigh = 1 };  // the shelf or bell of a pair

// The shelves' voicing: type and fixed q, and the parameters that set them;
// the low one is set in Hz, the high one on a scale v giving (v - 1) kHz.
struct ShelfVoicing {
  int32_t type;
  float q;
  EGroupParam gain, setting;
};
constexpr ShelfVoicing kShelves[2] = {{5, 0.504f, kGroupLowGain, kGroupLowFreq},
                                      {6, 0.44f, kGroupHighGain, kGroupHighFreq}};

// A bell narrows as its boost or cut grows: q is about baseQ + |gain| / dbPerQ,
// from wide at 0 dB to about 1.25 at 15 dB.
struct BellVoicing {
  double baseQ, dbPerQ;
  EGroupParam gain, frequency;
};
constexpr BellVoicing kBells[2] = {{0.1, 13.0, kGroupLowMidGain, kGroupLowMidFreq},
                                   {0.2, 14.0, kGroupHighMidGain, kGroupHighMidFreq}};

// The high-pass: a Butterworth-like q, and the corner of each switch position, Hz.
constexpr int32_t kHighPassType = 1;
constexpr double kHighPassQ = 0.707;
constexpr double kHpfCornersHz[] = {10.0, 80.0, 140.0};

bool SameBits(double a, double b) { return BitsOf(a) == BitsOf(b); }

// x - x is +0 for every finite value and a NaN for an infinity or a NaN, and
// a sum of such terms is +0 exactly when every term is. No branch per value.
template <typename T>
T NonFiniteTerms(T a, T b, T c, T d) {
  return ((a - a) + (b - b)) + ((c - c) + (d - d));
}

// f(std::integral_constant<size_t, i>) for every i of the sequence, in order.
template <size_t... kIndex, typename F>
void ForEachIndex(std::index_sequence<kIndex...>, F f) {
  (f(std::integral_constant<size_t, kIndex>{}), ...);
}

// Exactly 0.0001 keeps the last q.
double BellQ(double gainParam, double gainCopy, const BellVoicing& v, double previous) {
  if (gainParam < 0.0001) return v.baseQ - gainCopy / v.dbPerQ;
  if (gainParam > 0.0001) return gainCopy / v.dbPerQ + v.baseQ;
  return previous;
}

}  // namespace

// ---------------------------------------------------------------- one group's chain

const ZAVRO::GroupState ZAVRO::kGroupStates[kGroupCount] = {
    {&ZAVRO::lmHpfSmoother, &ZAVRO::lmHighPass, {&ZAVRO::lmLowShelf, &ZAVRO::lmHighShelf},
     {&ZAVRO::lmLowMid, &ZAVRO::lmHighMid}, {&ZAVRO::lmLowMidQ, &ZAVRO::lmHighMidQ},
     &ZAVRO::lmTrimSmoother, &ZAVRO::lmHpfTarget},
    {&ZAVRO::rsHpfSmoother, &ZAVRO::rsHighPass, {&ZAVRO::rsLowShelf, &ZAVRO::rsHighShelf},
     {&ZAVRO::rsLowMid, &ZAVRO::rsHighMid}, {&ZAVRO::rsLowMidQ, &ZAVRO::rsHighMidQ},
     &ZAVRO::rsTrimSmoother, &ZAVRO::rsHpfTarget},
};

// One channel group's chain for one block: the member state it works on, the
// block's settings, and what it learnt about its glides so far this block.
struct GroupChain {
  ParamSmoother& hpfSmoother;
  BiquadSection& highPass;
  CookbookSection& lowShelf;
  PeakSection& lowMid;
  PeakSection& highMid;
  CookbookSection& highShelf;
  ParamSmoother& trimSmoother;
  ZAVRO::Cache::Group& cache;
  const double hpfTarget;
  const double trimTargetDb;
  const double fs;
  // A glide whose step gave back its own state stays there for the block.
  bool hpfSettled;
  bool trimSettled;

  GroupChain(ZAVRO& plug, int group, double sampleRate)
      : GroupChain(plug, ZAVRO::kGroupStates[group], plug.cache_.groups[group],
                   *plug.CopyFor(kGroupParams[group][kGroupOutput]), sampleRate) {}
  GroupChain(ZAVRO& plug, const ZAVRO::GroupState& m, ZAVRO::Cache::Group& groupCache, double trimTarget,
             double sampleRate)
      : hpfSmoother(plug.*m.hpfSmoother), highPass(plug.*m.highPass), lowShelf(plug.*m.shelves[kLow]),
        lowMid(plug.*m.bells[kLow]), highMid(plug.*m.bells[kHigh]), highShelf(plug.*m.shelves[kHigh]),
        trimSmoother(plug.*m.trimSmoother), cache(groupCache), hpfTarget(plug.*m.hpfTarget),
        trimTargetDb(trimTarget), fs(sampleRate),
        hpfSettled(cache.hpfRest.Resumes(hpfTarget) && cache.highPassDesigned),
        trimSettled(cache.trimRest.Resumes(trimTargetDb)) {}

  // What the next block's rest checks start from.
  void RememberRest() {
    cache.hpfRest.resting = hpfSettled;
    cache.trimRest.resting = trimSettled;
  }

  bool Settled() const { return hpfSettled && trimSettled; }

  // Glide the corner; redesign when it moved.
  void StepHighPass() {
    const double before = hpfSmoother.z;
    hpfSmoother.Step(hpfTarget);
    const double fc = hpfSmoother.z / fs;
    if (cache.highPassDesigned && SameBits(fc, highPass.fc)) {
      if (SameBits(hpfSmoother.z, before)) hpfSettled = true;
      return;
    }
    highPass.type = kHighPassType;
    highPass.q = kHighPassQ;
    highPass.peakGainDb = 0.0;
    highPass.fc = fc;
    highPass.UpdateHighPassCoefficients();
    cache.highPassDesigned = true;
  }

  // Glide the trim; the factor 10^(z/20) only changes with z.
  void StepTrim() {
    const double before = trimSmoother.z;
    trimSmoother.Step(trimTargetDb);
    if (SameBits(trimSmoother.z, before)) trimSettled = true;
    if (!SameBits(trimSmoother.z, cache.trimFactorOf)) {
      cache.trimFactor = std::pow(10.0, trimSmoother.z / 20.0);
      cache.trimFactorOf = trimSmoother.z;
    }
  }

  void StepGlides() {
    if (!hpfSettled) StepHighPass();
    if (!trimSettled) StepTrim();
  }

  // One frame through the chain and trim; each step's precision is part of the sound.
  double Frame(double x) {
    StepGlides();
    const double afterHighPass = highPass.Process(static_cast<float>(x));
    const float afterLowShelf = lowShelf.Process(static_cast<float>(afterHighPass), cache.shelfQuotients[kLow]);
    const double afterBells = highMid.Process(lowMid.Process(afterLowShelf));
    const double afterHighShelf = highShelf.Process(static_cast<float>(afterBells), cache.shelfQuotients[kHigh]);
    return cache.trimFactor * afterHighShelf;
  }
};

namespace {

#if defined(ZAVRO_PAIRED_SECTIONS)
// What glides, for one frame of both groups: the high-pass coefficients and the trim factor.
struct GlideSettings {
  PairedBiquadCoefficients highPass;
  __m128d trim;
  static GlideSettings Of(const GroupChain& lm, const GroupChain& rs) {
    return {PairedBiquadCoefficients::Of(lm.highPass, rs.highPass),
            LanePair::Of(lm.cache.trimFactor, rs.cache.trimFactor).v};
  }
};

// Runs n frames of both groups through their chains and trims, with the
// glides' settings of every frame given, or (kAtRest) one for all frames.
template <bool kAtRest>
void PairedChains(GroupChain& lm, GroupChain& rs, const GlideSettings* settings, double* p, double* s, int n) {
  auto settingsOf = [settings](int frame) -> const GlideSettings& { return settings[kAtRest ? 0 : frame]; };
  PairedBiquad highPass(lm.highPass, rs.highPass);
  PairedCookbook lowShelf(lm.lowShelf, lm.cache.shelfQuotients[kLow], rs.lowShelf, rs.cache.shelfQuotients[kLow]);
  PairedPeak lowMid(lm.lowMid, rs.lowMid);
  PairedPeak highMid(lm.highMid, rs.highMid);
  PairedCookbook highShelf(lm.highShelf, lm.cache.shelfQuotients[kHigh], rs.highShelf,
                           rs.cache.shelfQuotients[kHigh]);
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
      LanePair{settingsOf(i - 4).trim * afterHighShelf}.Store(p[i - 4], s[i - 4]);
    }
    if (i >= 3 && i - 3 < n) afterHighMid = _mm_cvtpd_ps(highMid.Process(afterLowMid));
    if (i >= 2 && i - 2 < n) afterLowMid = lowMid.Process(afterLowShelf);
    if (i >= 1 && i - 1 < n) afterLowShelf = _mm_cvtps_pd(lowShelf.Process(afterHighPass));
    if (i < n) {
      const __m128d x = _mm_cvtps_pd(_mm_cvtpd_ps(LanePair::Of(p[i], s[i]).v));
      afterHighPass = _mm_cvtpd_ps(highPass.Process(x, settingsOf(i).highPass));
    }
  }
  highPass.StoreHistory(lm.highPass, rs.highPass);
  lowShelf.StoreHistory(lm.lowShelf, rs.lowShelf);
  lowMid.StoreHistory(lm.lowMid, rs.lowMid);
  highMid.StoreHistory(lm.highMid, rs.highMid);
  highShelf.StoreHistory(lm.highShelf, rs.highShelf);
}
#endif

// Both groups' chains over n frames, in place: paired, with the glides
// stepped ahead of the filtering (which they do not depend on), or frame by
// frame where loading the pair would cost more.
void RunChains(GroupChain& lm, GroupChain& rs, double* p, double* s, int n) {
#if defined(ZAVRO_PAIRED_SECTIONS)
  constexpr int kPairedMinFrames = 8;
  if (n >= kPairedMinFrames) {
    assert(n <= ZAVRO::kChunkFrames);
    if (lm.Settled() && rs.Settled()) {
      const GlideSettings atRest = GlideSettings::Of(lm, rs);
      PairedChains<true>(lm, rs, &atRest, p, s, n);
      return;
    }
    GlideSettings settings[ZAVRO::kChunkFrames];
    for (int i = 0; i < n; ++i) {
      lm.StepGlides();
      rs.StepGlides();
      settings[i] = GlideSettings::Of(lm, rs);
    }
    PairedChains<false>(lm, rs, settings, p, s, n);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) {
    p[i] = lm.Frame(p[i]);
    s[i] = rs.Frame(s[i]);
  }
}

}  // namespace

// ---------------------------------------------------------------- per block

template <typename Visit>
void ZAVRO::ForEachBlockInput(Visit visit) const {
  // Unrolled from the table: it runs at every block, short ones included.
  const IParamDef* params = GetParam(0);
  int n = 0;
  ForEachIndex(std::make_index_sequence<kParamCount>(), [&](auto index) {
    constexpr size_t i = decltype(index)::value;
    visit(n++, BitsOf(params[i].Value()));
    if constexpr (kParamTable[i].copy != nullptr) visit(n++, BitsOf(this->*kParamTable[i].copy));
  });
}

bool ZAVRO::SettingsStand() const {
  uint64_t differ = cache_.blockInputsValid ? 0 : 1;
  ForEachBlockInput([&](int i, uint64_t bits) { differ |= bits ^ cache_.blockInputs[i]; });
  return differ == 0;
}

template <typename Visit>
void ZAVRO::ForEachSmoother(Visit visit) {
  for (ParamSmoother* s : {&lmTrimSmoother, &rsTrimSmoother, &masterSmoother, &lmHpfSmoother, &rsHpfSmoother})
    visit(*s);
}

struct ZAVRO::InputChunk {
  double raw[2][kChunkFrames];
  double conditioned[2][kChunkFrames];
};

void ZAVRO::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const double fs = SampleRate();
  if (!SameBits(fs, cache_.sampleRate)) {
    cache_.Invalidate();
    cache_.sampleRate = fs;
  }
  if (nFrames <= 0) {
    PrepareBlock(fs);
    // Nothing ran under the settings just made; later blocks rest nothing on them.
    cache_.Invalidate();
    ClearNonFiniteState();
    return;
  }
  assert(inputs && inputs[0] && inputs[1] && outputs && outputs[0] && outputs[1]);
  // Conditioning depends on the input alone, so the first frames are
  // conditioned before the settings check: the tangents' latency then
  // overlaps with it, which matters for short blocks.
  InputChunk chunk;
  ReadChunk(inputs, 0, std::min(nFrames, kChunkFrames), chunk);
  if (!SettingsStand()) PrepareBlock(fs);
  else if (cache_.linked && Editor()) LinkRSToLM(true);
  ProcessFrames(inputs, outputs, nFrames, fs, chunk);
  ClearNonFiniteState();
}

void ZAVRO::PrepareBlock(double fs) {
  if (!cache_.smoothersTuned) {
    ParamSmoother corner;
    corner.SetCorner10Hz(fs);
    ForEachSmoother([&](ParamSmoother& s) {
      s.a = corner.a;
      s.b = corner.b;
    });
    cache_.smoothersTuned = true;
  }
  cache_.linked = GetParam(kLink)->IntValue() == 1;
  if (cache_.linked) LinkRSToLM(false);
  DesignShelves(kLow, fs);
  DesignBells(fs);
  DesignShelves(kHigh, fs);
  ChooseHpfTargets();
  // Read once per block, after Link; nothing in the block changes them. A
  // value outside a switch's range (which a clamped parameter cannot hold)
  // counts as L/R, and as engaged for the bypass switches.
  cache_.midSide = GetParam(kMode)->IntValue() == 1;
  cache_.lmEngaged = GetParam(kLMBypass)->IntValue() != 0;
  cache_.rsEngaged = GetParam(kRSBypass)->IntValue() != 0;
  cache_.masterEngaged = GetParam(kMasterBypass)->IntValue() != 0;
  // The frames change no parameter or copy, so these are the settings' inputs.
  ForEachBlockInput([this](int i, uint64_t bits) { cache_.blockInputs[i] = bits; });
  cache_.blockInputsValid = true;
}

void ZAVRO::LinkRSToLM(bool settingsStand) {
  // The host is not told: with Link on, the R/S settings are derived ones.
  // Standing settings mean every value and copy already holds what the
  // writes would give it; the controls are still shown the values, as a
  // control moved by hand may show another.
  const bool hasEditor = Editor() != nullptr;
  for (int k = 0; k < kGroupParamCount; ++k) {
    const int rsIdx = kGroupParams[kRSGroup][k];
    const double source = *CopyFor(kGroupParams[kLMGroup][k]);
    if (!settingsStand) {
      IParamDef* param = GetParam(rsIdx);
      const double clamped = std::clamp(source, param->Min(), param->Max());
      if (!SameBits(param->Value(), clamped)) param->SetClamped(clamped);
      if (double* copy = CopyFor(rsIdx)) *copy = source;  // the bypass twin has none
    }
    if (hasEditor) PushToEditor(rsIdx, source);
  }
}

void ZAVRO::DesignShelves(int which, double fs) {
  const ShelfVoicing& v = kShelves[which];
  for (int g = 0; g < kGroupCount; ++g) {
    const double gainDb = *CopyFor(kGroupParams[g][v.gain]);
    const double setting = *CopyFor(kGroupParams[g][v.setting]);
    Cache::Group& cache = cache_.groups[g];
    if (cache.shelves[which].Unchanged(gainDb, setting)) continue;
    const double hz = which == kHigh ? setting * 1000.0 - 1000.0 : setting;
    CookbookSection& shelf = this->*kGroupStates[g].shelves[which];
    shelf.Design(v.type, static_cast<float>(gainDb), static_cast<float>(hz), v.q, static_cast<float>(fs));
    cache.shelfQuotients[which] = shelf.Quotients();
  }
}

void ZAVRO::DesignBells(double fs) {
  for (int which : {kLow, kHigh}) {
    const BellVoicing& v = kBells[which];
    for (int g = 0; g < kGroupCount; ++g) {
      const int gainIdx = kGroupParams[g][v.gain];
      const double gainDb = *CopyFor(gainIdx);
      const double hz = *CopyFor(kGroupParams[g][v.frequency]);
      double& q = this->*kGroupStates[g].bellQ[which];
      q = BellQ(GetParam(gainIdx)->Value(), gainDb, v, q);
      PeakSection& bell = this->*kGroupStates[g].bells[which];
      bell.sampleRate = fs;
      if (!cache_.groups[g].bells[which].Unchanged(gainDb, hz, q)) bell.Design(gainDb, hz, q);
    }
  }
}

void ZAVRO::ChooseHpfTargets() {
  // Exact matches only: a position between the steps keeps the last corner.
  for (int g = 0; g < kGroupCount; ++g) {
    const double position = *CopyFor(kGroupParams[g][kGroupHpf]);
    for (int step = 0; step < static_cast<int>(std::size(kHpfCornersHz)); ++step) {
      if (position == step) this->*kGroupStates[g].hpfTarget = kHpfCornersHz[step];
    }
  }
}

// ---------------------------------------------------------------- per frame

void ZAVRO::ReadChunk(double** inputs, int start, int n, InputChunk& chunk) {
  for (int c = 0; c < 2; ++c) {
    // A sample equal to the one before is conditioned once, so silence and
    // other held values cost nothing.
    Cache::ConditionerMemo memo = cache_.conditioner[c];
    for (int i = 0; i < n; ++i) {
      const double raw = chunk.raw[c][i] = inputs[c][start + i];
      if (!memo.valid || !SameBits(raw, memo.raw)) memo = {raw, InputConditioner(raw), true};
      chunk.conditioned[c][i] = memo.conditioned;
    }
    cache_.conditioner[c] = memo;
  }
}

void ZAVRO::ProcessFrames(double** inputs, double** outputs, int nFrames, double fs, InputChunk& chunk) {
  const bool midSide = cache_.midSide;
  const bool lmEngaged = cache_.lmEngaged, rsEngaged = cache_.rsEngaged;
  const bool masterEngaged = cache_.masterEngaged;
  GroupChain lm(*this, kLMGroup, fs), rs(*this, kRSGroup, fs);
  ParamSmoother master = masterSmoother;
  bool masterSettled = cache_.masterRest.Resumes(masterGain);

  for (int start = 0; start < nFrames; start += kChunkFrames) {
    const int n = std::min(kChunkFrames, nFrames - start);
    if (start > 0) ReadChunk(inputs, start, n, chunk);
    const double(&raw)[2][kChunkFrames] = chunk.raw;
    const double* yl = chunk.conditioned[0];
    const double* yr = chunk.conditioned[1];
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
      if (!lmEngaged) left = raw[0][i];
      if (!rsEngaged) right = raw[1][i];
      if (!masterEngaged) {
        outputs[0][start + i] = raw[0][i];
        outputs[1][start + i] = raw[1][i];
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
      outputs[0][start + i] = (left - kDcOffset) * gainL;
      outputs[1][start + i] = (right - kDcOffset) * gainR;
    }
  }
  masterSmoother = master;
  lm.RememberRest();
  rs.RememberRest();
  cache_.masterRest.resting = masterSettled;
}

void ZAVRO::ClearNonFiniteState() {
  // A NaN or infinity from the host (or a sample so large that its square
  // overflows) would otherwise stay in the recursions for ever; input at any
  // sane level never gets here. A non-finite output of a section reaches the
  // high shelf in the same frame and stays in its history (no step turns a
  // NaN or an infinity back into a number); of the other states only the
  // high-pass's, formed after its output, and the glides' can hold one alone.
  // So one pass without branches over those covers the usual case.
  const float shelves = NonFiniteTerms(lmHighShelf.x1, lmHighShelf.x2, lmHighShelf.y1, lmHighShelf.y2) +
                        NonFiniteTerms(rsHighShelf.x1, rsHighShelf.x2, rsHighShelf.y1, rsHighShelf.y2);
  const double rest = NonFiniteTerms(lmHighPass.z1, lmHighPass.z2, rsHighPass.z1, rsHighPass.z2) +
                      NonFiniteTerms(lmHpfSmoother.z, rsHpfSmoother.z, lmTrimSmoother.z, rsTrimSmoother.z) +
                      (masterSmoother.z - masterSmoother.z);
  if (static_cast<double>(shelves) + rest == 0.0) return;

  for (const GroupState& g : kGroupStates) {
    for (int which : {kLow, kHigh}) {
      (this->*g.shelves[which]).ForgetNonFiniteHistory();
      (this->*g.bells[which]).ForgetNonFiniteHistory();
    }
    (this->*g.highPass).ForgetNonFiniteHistory();
  }
  ForEachSmoother([](ParamSmoother& s) { s.ForgetNonFiniteState(); });
  // What is cleared starts its glide again.
  cache_.Invalidate();
}
