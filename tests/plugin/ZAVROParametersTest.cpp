#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "graphics/IGraphicsHeadless.h"
#include "plugin/ZAVRO.h"

namespace {

struct Row {
  int idx;
  const char* name;
  ParamKind kind;
  double defaultValue, min, max, step;
  int decimals;
};

const Row kTable[] = {
    {kLMLowGain, "L/M Low Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kLMLowFreq, "L/M Low Freq.", ParamKind::Continuous, 120, 50, 400, 1, 0},
    {kLMLowMidGain, "L/M Low Mid Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kLMLowMidFreq, "L/M Low Mid Freq.", ParamKind::Continuous, 360, 60, 1000, 1, 0},
    {kLMHighMidGain, "L/M High Mid Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kLMHighMidFreq, "L/M High Mid Freq.", ParamKind::Continuous, 3200, 1000, 7500, 1, 0},
    {kLMHighGain, "L/M High Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kLMHighFreq, "L/M High Freq.", ParamKind::Continuous, 5, 3, 10, 0.01, 2},
    {kRSHighGain, "R/S High Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kRSHighFreq, "R/S High Freq.", ParamKind::Continuous, 5, 3, 10, 0.01, 2},
    {kReserved10, "", ParamKind::Unset, 0, 0, 1, 1, 0},
    {kRSLowGain, "R/S Low Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kRSLowFreq, "R/S Low Greq.", ParamKind::Continuous, 120, 50, 400, 1, 0},
    {kRSLowMidGain, "R/S Low Mid Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kRSLowMidFreq, "R/S Low Mid Freq.", ParamKind::Continuous, 360, 60, 1000, 1, 0},
    {kRSHighMidGain, "R/S High Mid Gain", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kRSHighMidFreq, "R/S High Mid Freq.", ParamKind::Continuous, 3200, 1000, 7500, 1, 0},
    {kLMOutput, "L/M Output", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kRSOutput, "R/S Output", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kMasterOutput, "Master Output", ParamKind::Continuous, 0, -15, 15, 0.1, 1},
    {kLink, "Link", ParamKind::Integer, 1, 0, 1, 1, 0},
    {kMode, "Mode LR/MS", ParamKind::Integer, 0, 0, 1, 1, 0},
    {kLMBypass, "L/M Bypass", ParamKind::Integer, 1, 0, 1, 1, 0},
    {kRSBypass, "R/S", ParamKind::Integer, 1, 0, 1, 1, 0},
    {kMasterBypass, "Master Bypass", ParamKind::Integer, 1, 0, 1, 1, 0},
    {kLMHPF, "L/M HPF", ParamKind::Integer, 0, 0, 2, 1, 0},
    {kRSHPF, "R/S HPF", ParamKind::Integer, 0, 0, 2, 1, 0},
};

// Exposes the copies the processing reads.
class Probe : public ZAVRO {
public:
  Probe() : ZAVRO(IPlugInstanceInfo{}) {}
  using ZAVRO::lmBypass;
  using ZAVRO::lmHpfPosition;
  using ZAVRO::lmLowFreq;
  using ZAVRO::lmOutputDb;
  using ZAVRO::masterGain;
  using ZAVRO::rsHighFreq;
  using ZAVRO::rsLowFreq;

  // Like a host: set the plain value, then tell the product.
  void Set(int idx, double value) {
    GetParam(idx)->SetClamped(value);
    OnParameterChanged(idx);
  }
};

// Counts what the product pushes to the editor, one control per parameter.
class Knob : public IControl {
public:
  Knob(IPlugBase* plug, int idx) : IControl(plug, {0, 0, 1, 1}, idx) {}
  bool Paint(IGraphics&) override { return true; }
  void ApplyPlugValue(double value) override {
    ++pushes;
    IControl::ApplyPlugValue(value);
  }
  int pushes = 0;
};

struct PanelProbe : Probe {
  Knob* knobs[kParamCount] = {};
  PanelProbe() {
    auto* editor = new IGraphicsHeadless(this, 10, 10, 25);
    for (int i = 0; i < kParamCount; ++i) {
      knobs[i] = new Knob(this, i);
      editor->AddControl(knobs[i]);
    }
    AttachEditor(editor);
    for (Knob* k : knobs) k->pushes = 0;
  }
};

std::string Display(IPlugBase& plug, int idx) {
  char text[kParamTextSize];
  plug.GetParam(idx)->FormatForHost(plug.GetParam(idx)->Value(), false, text, true);
  return text;
}

}  // namespace

TEST(ZAVROParameters, IdentityAsHostsSeeIt) {
  ZAVRO plug{IPlugInstanceInfo{}};
  EXPECT_STREQ(plug.EffectName(), "Z318ME");
  EXPECT_STREQ(plug.ProductName(), "");
  EXPECT_STREQ(plug.VendorName(), "Quillumbra");
  EXPECT_EQ(plug.UniqueId(), 0x5A333138);        // 'Z318'
  EXPECT_EQ(plug.ManufacturerId(), 0x516C6D62);  // 'Qlmb'
  EXPECT_EQ(plug.Version(), 0x50000);
  EXPECT_EQ(plug.Latency(), 0);
  EXPECT_FALSE(plug.DoesMidi());
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_FALSE(plug.IsInstrument());
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_EQ(plug.NPresets(), 1);
}

TEST(ZAVROParameters, TableMatchesNamesKindsRangesAndDefaults) {
  ZAVRO plug{IPlugInstanceInfo{}};
  ASSERT_EQ(plug.NParams(), 27);
  for (const Row& row : kTable) {
    SCOPED_TRACE(row.idx);
    const IParamDef* p = plug.GetParam(row.idx);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Name(), row.name);
    EXPECT_EQ(p->Kind(), row.kind);
    EXPECT_EQ(p->Value(), row.defaultValue);
    EXPECT_EQ(p->Min(), row.min);
    EXPECT_EQ(p->Max(), row.max);
    EXPECT_EQ(p->Step(), row.step);
    EXPECT_EQ(p->Shape(), 1.0);
    EXPECT_EQ(p->DisplayPrecision(), row.decimals);
    EXPECT_STREQ(p->Label(), "");
    EXPECT_STREQ(p->Group(), "");
    EXPECT_EQ(p->DisplayTextCount(), 0);
  }
}

TEST(ZAVROParameters, DisplayTextsUseTheStepPrecision) {
  Probe plug;
  plug.Set(kLMLowGain, -3.5);
  EXPECT_EQ(Display(plug, kLMLowGain), "-3.5");
  EXPECT_EQ(Display(plug, kLMHighFreq), "5.00");
  plug.Set(kLMLowFreq, 120.7);  // continuous: kept, shown truncated
  EXPECT_EQ(Display(plug, kLMLowFreq), "120");
  EXPECT_DOUBLE_EQ(plug.lmLowFreq, 120.7);
}

TEST(ZAVROParameters, SwitchesSnapFromNormalisedValues) {
  ZAVRO plug{IPlugInstanceInfo{}};
  plug.GetParam(kLMHPF)->SetFromNormalized(0.76);
  EXPECT_EQ(plug.GetParam(kLMHPF)->Value(), 2.0);
  plug.GetParam(kReserved10)->SetFromNormalized(0.7);
  EXPECT_EQ(plug.GetParam(kReserved10)->Value(), 1.0);
  plug.GetParam(kLMLowFreq)->SetFromNormalized(0.5);
  EXPECT_EQ(plug.GetParam(kLMLowFreq)->Value(), 225.0);
}

TEST(ZAVROParameters, ChangeHookFillsTheCopies) {
  Probe plug;
  plug.Set(kMasterOutput, -6.0);
  EXPECT_NEAR(plug.masterGain, 0.501187, 1e-6);
  plug.Set(kMasterOutput, 0.0);
  EXPECT_EQ(plug.masterGain, 1.0);
  plug.Set(kRSLowFreq, 77.0);
  EXPECT_EQ(plug.rsLowFreq, 77.0);
  plug.Set(kRSHighFreq, 9.5);
  EXPECT_EQ(plug.rsHighFreq, 9.5);
  plug.Set(kLMOutput, 4.2);
  EXPECT_EQ(plug.lmOutputDb, 4.2);
  plug.Set(kLMBypass, 0.0);
  EXPECT_EQ(plug.lmBypass, 0.0);
  plug.Set(kLMHPF, 2.0);
  EXPECT_EQ(plug.lmHpfPosition, 2.0);
}

TEST(ZAVROParameters, ChangeHookPushesOnlyTheMirroredValues) {
  PanelProbe plug;
  for (int i = 0; i < kParamCount; ++i) plug.Set(i, plug.GetParam(i)->Max());
  for (int i = 0; i < kParamCount; ++i) {
    SCOPED_TRACE(i);
    const bool pushed = (i <= kRSHighFreq) || (i >= kRSLowGain && i <= kMasterOutput);
    EXPECT_EQ(plug.knobs[i]->pushes, pushed ? 1 : 0);
    if (pushed) {
      EXPECT_EQ(plug.knobs[i]->Value(), 1.0);
    }
  }
}

TEST(ZAVROParameters, PushesReachTheControlsNormalised) {
  PanelProbe plug;
  plug.Set(kLMLowFreq, 225.0);
  EXPECT_DOUBLE_EQ(plug.knobs[kLMLowFreq]->Value(), 0.5);
  plug.Set(kMasterOutput, -15.0);
  EXPECT_EQ(plug.knobs[kMasterOutput]->Value(), 0.0);
}

TEST(ZAVROParameters, AttachingAnEditorGivesEveryControlItsValue) {
  PanelProbe plug;
  EXPECT_DOUBLE_EQ(plug.knobs[kLMLowFreq]->DefaultValue(), (120.0 - 50.0) / 350.0);
  EXPECT_EQ(plug.knobs[kLink]->Value(), 1.0);
  EXPECT_EQ(plug.knobs[kMode]->Value(), 0.0);
}

TEST(ZAVROParameters, TheOnePresetIsDashHoldingTheDefaults) {
  Probe plug;
  const IPresetSlot* slot = plug.GetPreset(0);
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(slot->initialised);
  EXPECT_EQ(slot->name, "-");
  EXPECT_EQ(slot->state.Size(), 27 * 8);
  for (int i = 0; i < kParamCount; ++i) plug.Set(i, plug.GetParam(i)->Min());
  ASSERT_TRUE(plug.RecallPreset(0));
  for (const Row& row : kTable) {
    SCOPED_TRACE(row.idx);
    EXPECT_EQ(plug.GetParam(row.idx)->Value(), row.defaultValue);
  }
  EXPECT_EQ(plug.masterGain, 1.0);
  EXPECT_EQ(plug.lmLowFreq, 120.0);
}
