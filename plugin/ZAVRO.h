#pragma once
// The equaliser: its identity, its 27 parameters and the copies of their values
// that the processing reads.

#include <array>
#include <cstdint>
#include <cstring>

#include "plugin/FilterSections.h"
#include "plugin/ParamSmoother.h"
#include "plugin/ZAVROBinding.h"
#include "plugin/ZAVROParams.h"

// A value's bits, as the caches compare them: -0 is not +0, a NaN equals itself.
inline uint64_t BitsOf(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

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

  // The parameter table, one row per index: how the parameter is declared
  // (no name: never declared), the copy that mirrors its value (none where
  // the processing reads the parameter itself), and whether the editor is
  // shown the change (the bypass and HPF copies feed only the processing).
  struct ParamRow {
    const char* name;
    bool isSwitch;
    double defaultValue, min, max, step;
    double ZAVRO::*copy;
    bool shown;
  };
  static const std::array<ParamRow, kParamCount> kParamTable;
  // The parameter's copy, or null for an index without one.
  double* CopyFor(int paramIdx);

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

  // A channel group's processing state, member by member.
  struct GroupState {
    ParamSmoother ZAVRO::*hpfSmoother;
    BiquadSection ZAVRO::*highPass;
    CookbookSection ZAVRO::*shelves[2];  // low, high
    PeakSection ZAVRO::*bells[2];        // low-mid, high-mid
    double ZAVRO::*bellQ[2];
    ParamSmoother ZAVRO::*trimSmoother;
    double ZAVRO::*hpfTarget;
  };
  static const GroupState kGroupStates[kGroupCount];

private:
  // Every value that exists only so that work is not repeated. The invariant:
  // each entry is exactly what doing the work again would give, because the
  // inputs it was made from are recorded beside it and compared, bit for bit,
  // before it is used; the glides' rest flags hold for the targets recorded
  // with them. Whatever changes what an entry rests on behind those
  // comparisons calls Invalidate(): a new sample rate, a block without frames
  // (nothing ran under the settings it made), and clearing non-finite state. After Invalidate() everything is worked
  // out afresh; no entry ever changes an output bit. Parameter changes, state
  // loads and host resets need no call: they reach the processing only
  // through parameter values, copies and the sample rate, which are compared.
  struct Cache {
    // The inputs a design last ran on; the designs are pure functions of them.
    struct DesignKey {
      std::array<uint64_t, 3> bits = {};
      bool valid = false;
      // True when the inputs are those of the last run; remembers them either way.
      bool Unchanged(double v0, double v1, double v2 = 0.0) {
        const std::array<uint64_t, 3> now = {BitsOf(v0), BitsOf(v1), BitsOf(v2)};
        const bool same = valid && now == bits;
        bits = now, valid = true;
        return same;
      }
    };
    // A glide that gave back its own state at its last step, and the target it
    // rested at: under the same target (and sample rate) it stays there.
    struct RestingGlide {
      uint64_t target = 0;
      bool resting = false;
      // Whether the glide is still at rest towards this target; remembers it.
      bool Resumes(double newTarget) {
        const bool same = resting && BitsOf(newTarget) == target;
        target = BitsOf(newTarget);
        return same;
      }
    };
    // The last input sample of a channel and what conditioning made of it.
    struct ConditionerMemo {
      double raw = 0.0, conditioned = 0.0;
      bool valid = false;
    };
    struct Group {
      DesignKey shelves[2];  // low, high
      CookbookQuotients shelfQuotients[2];
      DesignKey bells[2];  // low-mid, high-mid
      bool highPassDesigned = false;  // from the current corner
      double trimFactor = 1.0, trimFactorOf = 0.0;  // 10^(z/20) and its z
      RestingGlide hpfRest, trimRest;
    };

    double sampleRate = 0.0;  // of everything below; 0 before the first block
    bool smoothersTuned = false;
    // Every parameter value and copy the standing settings were made from,
    // once a block with frames made them; the per-block settings are
    // functions of these alone, so the same bits leave them all standing.
    uint64_t blockInputs[2 * kParamCount] = {};
    bool blockInputsValid = false;
    // The switches as the settings last read them (after Link).
    bool linked = false, midSide = false;
    bool lmEngaged = true, rsEngaged = true, masterEngaged = true;
    Group groups[kGroupCount];
    RestingGlide masterRest;
    ConditionerMemo conditioner[2];  // left, right input

    void Invalidate() { *this = Cache{}; }
  };
  Cache cache_;

  // One group's chain for the frames of a block; built from the group's index.
  friend struct GroupChain;
  // Calls visit(i, bits) for every block input, i counting from 0.
  template <typename Visit>
  void ForEachBlockInput(Visit visit) const;
  bool SettingsStand() const;
  void PrepareBlock(double fs);
  // With the settings standing, only the editor is shown the linked values.
  void LinkRSToLM(bool settingsStand);
  void DesignShelves(int which, double fs);
  void DesignBells(double fs);
  void ChooseHpfTargets();
  // Up to kChunkFrames frames of input, raw and conditioned.
  struct InputChunk;
  // Reads n frames from start (n <= kChunkFrames) before any is written, as
  // the outputs may be the inputs, and conditions them.
  void ReadChunk(double** inputs, int start, int n, InputChunk& chunk);
  // The frames of a block; the chunk holds its first frames already read.
  void ProcessFrames(double** inputs, double** outputs, int nFrames, double fs, InputChunk& chunk);
  void ClearNonFiniteState();
  template <typename Visit>
  void ForEachSmoother(Visit visit);

  void InitParameters();
  void PushToEditor(int paramIdx, double plainValue);
};

inline constexpr std::array<ZAVRO::ParamRow, kParamCount> ZAVRO::kParamTable = [] {
  auto gain = [](const char* name, double ZAVRO::*copy) {
    return ParamRow{name, false, 0.0, -15.0, 15.0, 0.1, copy, true};
  };
  auto control = [](const char* name, double def, double min, double max, double step, double ZAVRO::*copy) {
    return ParamRow{name, false, def, min, max, step, copy, true};
  };
  auto toggle = [](const char* name, int defaultValue, int max, double ZAVRO::*copy = nullptr) {
    return ParamRow{name, true, double(defaultValue), 0.0, double(max), 1.0, copy, false};
  };
  std::array<ParamRow, kParamCount> t{};
  t[kLMLowGain] = gain("L/M Low Gain", &ZAVRO::lmLowGain);
  t[kLMLowFreq] = control("L/M Low Freq.", 120.0, 50.0, 400.0, 1.0, &ZAVRO::lmLowFreq);
  t[kLMLowMidGain] = gain("L/M Low Mid Gain", &ZAVRO::lmLowMidGain);
  t[kLMLowMidFreq] = control("L/M Low Mid Freq.", 360.0, 60.0, 1000.0, 1.0, &ZAVRO::lmLowMidFreq);
  t[kLMHighMidGain] = gain("L/M High Mid Gain", &ZAVRO::lmHighMidGain);
  t[kLMHighMidFreq] = control("L/M High Mid Freq.", 3200.0, 1000.0, 7500.0, 1.0, &ZAVRO::lmHighMidFreq);
  t[kLMHighGain] = gain("L/M High Gain", &ZAVRO::lmHighGain);
  t[kLMHighFreq] = control("L/M High Freq.", 5.0, 3.0, 10.0, 0.01, &ZAVRO::lmHighFreq);
  t[kRSHighGain] = gain("R/S High Gain", &ZAVRO::rsHighGain);
  t[kRSHighFreq] = control("R/S High Freq.", 5.0, 3.0, 10.0, 0.01, &ZAVRO::rsHighFreq);
  t[kRSLowGain] = gain("R/S Low Gain", &ZAVRO::rsLowGain);
  t[kRSLowFreq] = control("R/S Low Greq.", 120.0, 50.0, 400.0, 1.0, &ZAVRO::rsLowFreq);
  t[kRSLowMidGain] = gain("R/S Low Mid Gain", &ZAVRO::rsLowMidGain);
  t[kRSLowMidFreq] = control("R/S Low Mid Freq.", 360.0, 60.0, 1000.0, 1.0, &ZAVRO::rsLowMidFreq);
  t[kRSHighMidGain] = gain("R/S High Mid Gain", &ZAVRO::rsHighMidGain);
  t[kRSHighMidFreq] = control("R/S High Mid Freq.", 3200.0, 1000.0, 7500.0, 1.0, &ZAVRO::rsHighMidFreq);
  t[kLMOutput] = gain("L/M Output", &ZAVRO::lmOutputDb);
  t[kRSOutput] = gain("R/S Output", &ZAVRO::rsOutputDb);
  t[kMasterOutput] = gain("Master Output", &ZAVRO::masterGain);  // kept as a linear factor
  t[kLink] = toggle("Link", 1, 1);
  t[kMode] = toggle("Mode LR/MS", 0, 1);
  t[kLMBypass] = toggle("L/M Bypass", 1, 1, &ZAVRO::lmBypass);
  t[kRSBypass] = toggle("R/S", 1, 1);
  t[kMasterBypass] = toggle("Master Bypass", 1, 1);
  t[kLMHPF] = toggle("L/M HPF", 0, 2, &ZAVRO::lmHpfPosition);
  t[kRSHPF] = toggle("R/S HPF", 0, 2, &ZAVRO::rsHpfPosition);
  return t;
}();

inline double* ZAVRO::CopyFor(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= kParamCount || !kParamTable[paramIdx].copy) return nullptr;
  return &(this->*kParamTable[paramIdx].copy);
}
