#pragma once
// The equaliser: its identity, its 27 parameters and the copies of their values
// that the processing reads.

#include <cstdint>
#include <cstring>

#include "plugin/FilterSections.h"
#include "plugin/ParamSmoother.h"
#include "plugin/ZAVROBinding.h"
#include "plugin/ZAVROParams.h"

class ZAVRO : public ZAVROBase {
public:
  explicit ZAVRO(const IPlugInstanceInfo& instanceInfo);
  ~ZAVRO() override;

  // Any thread, under the instance lock: refreshes the copy of the changed value.
  void OnParameterChanged(int paramIdx) override;

  // Audio thread, under the instance lock (so no parameter or copy changes
  // mid-block). Recomputes every setting from the parameters and the current
  // sample rate, then equalises nFrames stereo frames; the outputs may be the
  // inputs. With nFrames <= 0 only the settings are recomputed (Link included).
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;

  static const IPlugConfig& Config();

  // The fixed soft nonlinearity every input sample passes before the filters.
  static double InputConditioner(double sample);

  // Frames per pass through the chains; bounds the processing's stack scratch.
  static constexpr int kChunkFrames = 64;

protected:
  // Copies of the parameter values, written only by OnParameterChanged and,
  // for the R/S group, by the Link step of the processing.
  double lmLowGain = 0.0, lmLowFreq = 0.0, lmLowMidGain = 0.0, lmLowMidFreq = 0.0;
  double lmHighMidGain = 0.0, lmHighMidFreq = 0.0, lmHighGain = 0.0, lmHighFreq = 0.0;
  double rsHighGain = 0.0, rsHighFreq = 0.0;
  double rsLowGain = 0.0, rsLowFreq = 0.0, rsLowMidGain = 0.0, rsLowMidFreq = 0.0;
  double rsHighMidGain = 0.0, rsHighMidFreq = 0.0;
  double lmOutputDb = 0.0, rsOutputDb = 0.0;
  double masterGain = 1.0;  // linear factor
  double lmBypass = 0.0;
  double lmHpfPosition = 0.0, rsHpfPosition = 0.0;

  // Processing state. It carries over from block to block and across changes
  // of sample rate, mode and switches; only non-finite values are cleared.
  ParamSmoother lmTrimSmoother, rsTrimSmoother, masterSmoother, lmHpfSmoother, rsHpfSmoother;
  CookbookSection lmLowShelf, rsLowShelf, lmHighShelf, rsHighShelf;
  PeakSection lmLowMid, rsLowMid, lmHighMid, rsHighMid;
  BiquadSection lmHighPass, rsHighPass;
  // Bell q, recomputed per block; a gain of exactly 0.0001 keeps the last one.
  // The start values are what the rule gives at 0 dB.
  double lmLowMidQ = 0.1, rsLowMidQ = 0.1, lmHighMidQ = 0.2, rsHighMidQ = 0.2;
  // High-pass corners the glides move towards, Hz; a position between the
  // switch steps keeps the last one. 10 Hz is the default position's.
  double lmHpfTarget = 10.0, rsHpfTarget = 10.0;

private:
  // The inputs a coefficient function last ran on. The functions are pure, so
  // the same inputs (bit for bit) mean the coefficients already stand.
  struct DesignInputs {
    uint64_t bits[4] = {};
    bool valid = false;
    // True when the inputs are those of the last run; otherwise remembers them.
    bool Unchanged(double v0, double v1, double v2, double v3) {
      const uint64_t now[4] = {BitsOf(v0), BitsOf(v1), BitsOf(v2), BitsOf(v3)};
      const bool same = valid && ((now[0] ^ bits[0]) | (now[1] ^ bits[1]) | (now[2] ^ bits[2]) |
                                  (now[3] ^ bits[3])) == 0;
      for (int i = 0; i < 4; ++i) bits[i] = now[i];
      valid = true;
      return same;
    }
    static uint64_t BitsOf(double v) {
      uint64_t b;
      std::memcpy(&b, &v, sizeof b);
      return b;
    }
  };
  // A glide that came to rest in an earlier block, and the settings it rests
  // under (target, pole, weight, and the sample rate where it matters): while
  // they stay the same, every step gives back the same state.
  struct RestingGlide {
    DesignInputs settings;
    bool resting = false;
    // Whether the glide is still at rest under these settings; remembers them.
    bool Resumes(double target, const ParamSmoother& s, double fs) {
      const bool same = settings.Unchanged(target, s.a, s.b, fs);
      return resting && same;
    }
  };

  // Up to kChunkFrames frames of input, raw and conditioned.
  struct InputChunk {
    double rawL[kChunkFrames], rawR[kChunkFrames];
    double conditionedL[kChunkFrames], conditionedR[kChunkFrames];
  };

  // Every input of the per-block settings: the sample rate, every parameter
  // value and every copy, each as bits with its index.
  static constexpr int kBlockInputCount = 1 + kParamCount + 22;
  template <typename Visit>
  void ForEachBlockInput(double fs, Visit visit) const;
  void PrepareBlock(double fs);
  // With the settings standing, only the editor is shown the linked values.
  void LinkRSToLM(bool settingsStand);
  void DesignShelves(double fs);
  void DesignBells(double fs);
  void ChooseHpfTargets();
  // Reads and conditions frames start .. start + n - 1 (n <= kChunkFrames).
  void ReadChunk(double** inputs, int start, int n, InputChunk& chunk);
  // The frames of a block; the chunk holds its first frames already read.
  // settingsStand: the block starts from the inputs the last block's settings
  // and rest checks were made from.
  void ProcessFrames(double** inputs, double** outputs, int nFrames, double fs, InputChunk& chunk,
                     bool settingsStand);
  void ClearNonFiniteState();
  // InputConditioner over n samples of one input channel. It forms every
  // sample's powers first and its tangents after, so that independent work
  // overlaps; a sample equal to the one before reuses its tangents, so
  // silence and other held values cost none.
  void ConditionChunk(int channel, const double* raw, double* conditioned, int n);

  // The block inputs the standing settings were made from, once a block with
  // frames made them. Every settings step is a function of these inputs and
  // of what it left itself (kept targets and q), and run again on the same
  // inputs it gives back its own results, so a block that starts from the
  // same bits can leave every setting (and Link's writes) as it is. A block
  // without frames makes settings that no rest check has seen: it clears this.
  uint64_t blockInputs_[kBlockInputCount] = {};
  bool blockInputsValid_ = false;
  // The switches as the settings last read them (after Link).
  bool linked_ = false, midSide_ = false;
  bool lmEngaged_ = true, rsEngaged_ = true, masterEngaged_ = true;

  DesignInputs smootherInputs_;
  DesignInputs shelfInputs_[4];  // lm low, rs low, lm high, rs high
  DesignInputs bellInputs_[4];   // lm low-mid, rs low-mid, lm high-mid, rs high-mid
  CookbookQuotients shelfQuotients_[4] = {};
  // Whether the high-pass coefficients were made from its current settings.
  bool lmHighPassDesigned_ = false, rsHighPassDesigned_ = false;
  // The trim factors 10^(z/20) and the smoother states they were made from.
  double lmTrimFactor_ = 1.0, rsTrimFactor_ = 1.0;
  double lmTrimFactorOf_ = 0.0, rsTrimFactorOf_ = 0.0;
  RestingGlide lmHpfRest_, rsHpfRest_, lmTrimRest_, rsTrimRest_, masterRest_;
  // The last input sample per channel and its two hyperbolic tangents.
  double lastRaw_[2] = {0.0, 0.0};
  double lastTanhX3_[2] = {0.0, 0.0};
  double lastTanhX8_[2] = {0.0, 0.0};
  bool lastRawValid_[2] = {false, false};

  void InitParameters();
  // The copy that mirrors a parameter, or null for those without one.
  double* CopyFor(int paramIdx);
  void PushToEditor(int paramIdx, double plainValue);
};
