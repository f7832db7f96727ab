#include "plugin/ZAVRO.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plugin/ZAVROLayout.h"
#include "plugin/ZAVROPanel.h"

namespace {
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
  // Index 10 is left as the base created it.
  for (int i = 0; i < kParamCount; ++i) {
    const ParamRow& p = kParamTable[i];
    if (!p.name) continue;
    if (p.isSwitch) {
      GetParam(i)->InitInteger(p.name, static_cast<int>(p.defaultValue), static_cast<int>(p.min),
                               static_cast<int>(p.max));
    } else {
      GetParam(i)->InitContinuous(p.name, p.defaultValue, p.min, p.max, p.step, 1.0);
      GetParam(i)->SetShape(1.0);
    }
  }
}

void ZAVRO::PushToEditor(int paramIdx, double plainValue) {
  if (IGraphics* editor = Editor()) editor->SetParamFromPlug(paramIdx, plainValue, false);
}

void ZAVRO::OnParameterChanged(int paramIdx) {
  IMutexLock lock(InstanceLock());
  const IParamDef* param = GetParam(paramIdx);
  double* copy = CopyFor(paramIdx);
  if (!param || !copy) return;
  const double value = param->Value();
  *copy = paramIdx == kMasterOutput ? std::pow(10.0, value / 20.0) : value;
  if (kParamTable[paramIdx].shown) PushToEditor(paramIdx, value);
}
