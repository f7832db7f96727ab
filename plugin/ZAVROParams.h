#pragma once
// The equaliser's parameters by index: the order hosts, stored state and the
// panel's layout all address them by.

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
