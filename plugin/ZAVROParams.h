#pragma once
// The equaliser's parameters by index: the order hosts, stored state and the
// panel's layout all address them by; and the two channel groups' twins.

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

// The two channel groups: L/M (left or mid) and R/S (right or side).
enum EGroup { kLMGroup = 0, kRSGroup, kGroupCount };

// The parameters of a channel group. Entries in the same column are twins,
// and Link copies them column by column in this order.
enum EGroupParam { kGroupOutput = 0, kGroupLowGain, kGroupLowFreq, kGroupLowMidGain, kGroupLowMidFreq,
                   kGroupHighMidGain, kGroupHighMidFreq, kGroupHighGain, kGroupHighFreq, kGroupHpf, kGroupBypass,
                   kGroupParamCount };
inline constexpr int kGroupParams[kGroupCount][kGroupParamCount] = {
    {kLMOutput, kLMLowGain, kLMLowFreq, kLMLowMidGain, kLMLowMidFreq, kLMHighMidGain, kLMHighMidFreq,
     kLMHighGain, kLMHighFreq, kLMHPF, kLMBypass},
    {kRSOutput, kRSLowGain, kRSLowFreq, kRSLowMidGain, kRSLowMidFreq, kRSHighMidGain, kRSHighMidFreq,
     kRSHighGain, kRSHighFreq, kRSHPF, kRSBypass},
};
