#pragma once
// The equaliser: its identity, its 27 parameters and the copies of their values
// that the processing reads.

#include "plugin/ZAVROBinding.h"

enum EParams {
  kLMLowGain = 0,
  kLMLowFreq,
  kLMLowMidGain,
  kLMLowMidFreq,
  kLMHighMidGain,
  kLMHighMidFreq,
  kLMHighGain,
  kLMHighFreq,
  kRSHighGain,
  kRSHighFreq,
  kReserved10,  // never declared; kept so stored state keeps its layout
  kRSLowGain,
  kRSLowFreq,
  kRSLowMidGain,
  kRSLowMidFreq,
  kRSHighMidGain,
  kRSHighMidFreq,
  kLMOutput,
  kRSOutput,
  kMasterOutput,
  kLink,
  kMode,
  kLMBypass,
  kRSBypass,
  kMasterBypass,
  kLMHPF,
  kRSHPF,
  kParamCount
};

class ZAVRO : public ZAVROBase {
public:
  explicit ZAVRO(const IPlugInstanceInfo& instanceInfo);
  ~ZAVRO() override;

  // Any thread, under the instance lock: refreshes the copy of the changed value.
  void OnParameterChanged(int paramIdx) override;

  static const IPlugConfig& Config();

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

private:
  void InitParameters();
  // The copy that mirrors a parameter, or null for those without one.
  double* CopyFor(int paramIdx);
  void PushToEditor(int paramIdx, double plainValue);
};
