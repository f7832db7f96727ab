#include "plugin/ZAVRO.h"

#include <cmath>
#include <iterator>

#include "graphics/IGraphics.h"
#include "plugin/ZAVROLayout.h"
#include "plugin/ZAVROPanel.h"

namespace {
constexpr double kGainMin = -15.0;
constexpr double kGainMax = 15.0;
constexpr double kGainStep = 0.1;

IPlugConfig MakeConfig() {
  IPlugConfig c;
  c.nParams = kParamCount;
  c.channelIOText = "1-1 2-2";
  c.nPresets = 1;
  c.effectName = "Z318ME";
  c.productName = "";
  c.vendorName = "Quillumbra";
  c.version = 0x00050000;
  c.uniqueId = FourCharCode('Z', '3', '1', '8');
  c.manufacturerId = FourCharCode('Q', 'l', 'm', 'b');
  c.latency = 0;
  c.doesMidi = false;
  c.doesStateChunks = false;
  c.isInstrument = false;
  return c;
}
}  // namespace

const IPlugConfig& ZAVRO::Config() {
  static const IPlugConfig config = MakeConfig();
  return config;
}

ZAVRO::ZAVRO(const IPlugInstanceInfo& instanceInfo) : ZAVROBase(instanceInfo, Config()) {
  // The processing state starts from its member initialisers.
  InitParameters();
  // The front panel, where this build has a window to show it in.
  if (IGraphics* editor = CreatePanelEditor(this, instanceInfo, ZAVROLayout::kEditorWidth,
                                            ZAVROLayout::kEditorHeight, ZAVROLayout::kFrameRate)) {
    ComposePanel(*editor);
    AttachEditor(editor);
  }
  // The one factory preset "-" holds the defaults.
  FillDefaultPresets("-", 1);
}

ZAVRO::~ZAVRO() = default;

void ZAVRO::InitParameters() {
  struct Continuous {
    int idx;
    const char* name;
    double defaultValue, min, max, step;
  };
  static const Continuous kContinuous[] = {
      {kLMLowGain, "L/M Low Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kLMLowFreq, "L/M Low Freq.", 120.0, 50.0, 400.0, 1.0},
      {kLMLowMidGain, "L/M Low Mid Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kLMLowMidFreq, "L/M Low Mid Freq.", 360.0, 60.0, 1000.0, 1.0},
      {kLMHighMidGain, "L/M High Mid Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kLMHighMidFreq, "L/M High Mid Freq.", 3200.0, 1000.0, 7500.0, 1.0},
      {kLMHighGain, "L/M High Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kLMHighFreq, "L/M High Freq.", 5.0, 3.0, 10.0, 0.01},
      {kRSHighGain, "R/S High Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kRSHighFreq, "R/S High Freq.", 5.0, 3.0, 10.0, 0.01},
      {kRSLowGain, "R/S Low Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kRSLowFreq, "R/S Low Greq.", 120.0, 50.0, 400.0, 1.0},
      {kRSLowMidGain, "R/S Low Mid Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kRSLowMidFreq, "R/S Low Mid Freq.", 360.0, 60.0, 1000.0, 1.0},
      {kRSHighMidGain, "R/S High Mid Gain", 0.0, kGainMin, kGainMax, kGainStep},
      {kRSHighMidFreq, "R/S High Mid Freq.", 3200.0, 1000.0, 7500.0, 1.0},
      {kLMOutput, "L/M Output", 0.0, kGainMin, kGainMax, kGainStep},
      {kRSOutput, "R/S Output", 0.0, kGainMin, kGainMax, kGainStep},
      {kMasterOutput, "Master Output", 0.0, kGainMin, kGainMax, kGainStep},
  };
  struct Switch {
    int idx;
    const char* name;
    int defaultValue, min, max;
  };
  static const Switch kSwitches[] = {
      {kLink, "Link", 1, 0, 1},
      {kMode, "Mode LR/MS", 0, 0, 1},
      {kLMBypass, "L/M Bypass", 1, 0, 1},
      {kRSBypass, "R/S", 1, 0, 1},
      {kMasterBypass, "Master Bypass", 1, 0, 1},
      {kLMHPF, "L/M HPF", 0, 0, 2},
      {kRSHPF, "R/S HPF", 0, 0, 2},
  };

  // Declared in index order; index 10 is left as the base created it.
  int c = 0;
  int s = 0;
  for (int i = 0; i < kParamCount; ++i) {
    if (c < static_cast<int>(std::size(kContinuous)) && kContinuous[c].idx == i) {
      const Continuous& p = kContinuous[c++];
      GetParam(i)->InitContinuous(p.name, p.defaultValue, p.min, p.max, p.step, 1.0);
      GetParam(i)->SetShape(1.0);
    } else if (s < static_cast<int>(std::size(kSwitches)) && kSwitches[s].idx == i) {
      const Switch& p = kSwitches[s++];
      GetParam(i)->InitInteger(p.name, p.defaultValue, p.min, p.max);
    }
  }
}

double* ZAVRO::CopyFor(int paramIdx) {
  switch (paramIdx) {
    case kLMLowGain: return &lmLowGain;
    case kLMLowFreq: return &lmLowFreq;
    case kLMLowMidGain: return &lmLowMidGain;
    case kLMLowMidFreq: return &lmLowMidFreq;
    case kLMHighMidGain: return &lmHighMidGain;
    case kLMHighMidFreq: return &lmHighMidFreq;
    case kLMHighGain: return &lmHighGain;
    case kLMHighFreq: return &lmHighFreq;
    case kRSHighGain: return &rsHighGain;
    case kRSHighFreq: return &rsHighFreq;
    case kRSLowGain: return &rsLowGain;
    case kRSLowFreq: return &rsLowFreq;
    case kRSLowMidGain: return &rsLowMidGain;
    case kRSLowMidFreq: return &rsLowMidFreq;
    case kRSHighMidGain: return &rsHighMidGain;
    case kRSHighMidFreq: return &rsHighMidFreq;
    case kLMOutput: return &lmOutputDb;
    case kRSOutput: return &rsOutputDb;
    case kLMBypass: return &lmBypass;
    case kLMHPF: return &lmHpfPosition;
    case kRSHPF: return &rsHpfPosition;
    default: return nullptr;
  }
}

void ZAVRO::PushToEditor(int paramIdx, double plainValue) {
  if (IGraphics* editor = Editor()) editor->SetParamFromPlug(paramIdx, plainValue, false);
}

void ZAVRO::OnParameterChanged(int paramIdx) {
  IMutexLock lock(InstanceLock());
  const IParamDef* param = GetParam(paramIdx);
  if (!param) return;
  const double value = param->Value();
  if (paramIdx == kMasterOutput) {
    masterGain = std::pow(10.0, value / 20.0);
    PushToEditor(paramIdx, value);
    return;
  }
  double* copy = CopyFor(paramIdx);
  if (!copy) return;
  *copy = value;
  // The bypass and HPF copies feed only the processing; their controls are not pushed.
  if (paramIdx != kLMBypass && paramIdx != kLMHPF && paramIdx != kRSHPF) PushToEditor(paramIdx, value);
}
