// A small plug-in on the VST 2.4 binding whose editor is the test panel: a
// background, two filmstrip knobs, a switch, a caption and an image that the
// module does not carry. Built as its own module for the window suite.
#include "graphics/win/IGraphicsWin.h"
#include "tests/graphics/win/TestPanel.h"
#include "vst2/IPlugVST.h"

namespace {

using namespace test_panel;

IPlugConfig TestPanelConfig() {
  IPlugConfig config;
  config.nParams = kParamCount;
  config.channelIOText = "2-2";
  config.nPresets = 1;
  config.effectName = "Test Panel";
  config.productName = "Test Panel";
  config.vendorName = "ZAVRO tests";
  config.version = 0x10000;
  config.uniqueId = FourCharCode('Z', 't', 'p', 'n');
  config.manufacturerId = FourCharCode('Z', 't', 's', 't');
  return config;
}

IBounds Bounds(const Place& p) { return IBounds{p.left, p.top, p.right, p.bottom}; }

// Fills an empty editor with the panel.
void BuildPanel(IPlugBase* plug, IGraphics& editor) {
  editor.InsertBackground(editor.LoadImageStrip(kBackgroundImageId, "background.png", 1));
  const IImageStrip knob = editor.LoadImageStrip(kKnobImageId, "knob.png", kKnobFrames);
  editor.AddControl(new IKnobMultiControl(plug, kGainKnob.left, kGainKnob.top, kGain, knob));
  editor.AddControl(new IKnobMultiControl(plug, kTrimKnob.left, kTrimKnob.top, kTrim, knob));
  editor.AddControl(new ISwitchControl(plug, kSwitch.left, kSwitch.top, kOnOff,
                                       editor.LoadImageStrip(kSwitchImageId, "switch.png", 2)));
  ITextStyle captionStyle;
  captionStyle.colour = IColorARGB{255, 255, 255, 255};
  editor.AddControl(new ICaptionControl(plug, Bounds(kGainCaption), kGain, captionStyle, false));
  editor.AddControl(new ICaptionControl(plug, Bounds(kModeCaption), kMode, captionStyle, false));
  editor.AddControl(new IBitmapControl(plug, kMissingImage.left, kMissingImage.top, -1,
                                       editor.LoadImageStrip(kMissingImageId, "missing.png", 1)));
}

// Keys no control takes: kResizeKey grows the editor and rebuilds the panel.
class ResizeKey : public IControl {
public:
  ResizeKey(IPlugBase* plug, IGraphics& editor) : IControl(plug, IBounds{}), editor_(editor) {}
  bool Paint(IGraphics&) override { return true; }
  bool KeyDown(int, int, int keyCode) override {
    if (keyCode != kResizeKey) return false;
    editor_.ResizeEditor(editor_.Width() + kGrowth, editor_.Height() + kGrowth);
    BuildPanel(Plug(), editor_);
    Plug()->RefreshParameterControls();
    return true;
  }

private:
  IGraphics& editor_;
};

class TestPanelPlugin : public IPlugVST {
public:
  explicit TestPanelPlugin(const IPlugInstanceInfo& info) : IPlugVST(info, TestPanelConfig()) {
    GetParam(kGain)->InitContinuous("Gain", 0.0, -12.0, 12.0, 0.1);
    GetParam(kOnOff)->InitInteger("On", 0, 0, 1);
    GetParam(kTrim)->InitContinuous("Trim", 0.0, -6.0, 6.0, 0.1);
    GetParam(kMode)->InitEnum("Mode", 0, 3);
    for (int i = 0; i < 3; ++i) GetParam(kMode)->AddDisplayText(i, kModeTexts[i]);

    auto* editor = new IGraphicsWin(this, kWidth, kHeight, kFrameRate, Vst2ModuleHandle());
    BuildPanel(this, *editor);
    editor->SetKeyCatcher(new ResizeKey(this, *editor));
    AttachEditor(editor);
  }
};

}  // namespace

IPlugVST* CreateVst2Plugin(const IPlugInstanceInfo& instanceInfo) { return new TestPanelPlugin(instanceInfo); }
