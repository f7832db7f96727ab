#pragma once
// The front panel: its size, its images, and where each control and caption
// sits and what it is bound to, in the order the editor creates them. Data
// only; the panel's artwork generator (resources/draw_panel.py) reads these
// tables too, so keep one row per line.

#include "plugin/ZAVROParams.h"

namespace ZAVROLayout {

constexpr int kEditorWidth = 1002;
constexpr int kEditorHeight = 476;
constexpr int kFrameRate = 25;

// One PNG of the panel, a resource of type "PNG" in the Windows modules. Its
// frames are stacked top to bottom, so the image is frameWidth wide and
// frameHeight * frames high.
struct StripDef {
  int resourceId;
  const char* fileName;
  int frames;
  int frameWidth;
  int frameHeight;
};

// By resource id, 101 to 127; the resource script lists the same files.
constexpr StripDef kStrips[] = {
    {101, "resources/img/BG.png", 1, 1002, 476},
    {102, "resources/img/LBY.png", 2, 53, 24},
    {103, "resources/img/LG.png", 101, 59, 59},
    {104, "resources/img/LF.png", 101, 60, 59},
    {105, "resources/img/LMG.png", 101, 59, 59},
    {106, "resources/img/LMF.png", 101, 60, 59},
    {107, "resources/img/HMG.png", 101, 58, 58},
    {108, "resources/img/HMF.png", 101, 58, 58},
    {109, "resources/img/HG.png", 101, 58, 57},
    {110, "resources/img/HF.png", 101, 58, 58},
    {111, "resources/img/LOUT.png", 101, 58, 59},
    {112, "resources/img/RBY.png", 2, 54, 25},
    {113, "resources/img/RLG.png", 101, 58, 59},
    {114, "resources/img/RLF.png", 101, 57, 58},
    {115, "resources/img/RLMG.png", 101, 59, 59},
    {116, "resources/img/RLMF.png", 101, 59, 59},
    {117, "resources/img/RHMG.png", 101, 59, 58},
    {118, "resources/img/RHMF.png", 101, 57, 58},
    {119, "resources/img/RHG.png", 101, 58, 58},
    {120, "resources/img/RHF.png", 101, 59, 59},
    {121, "resources/img/ROUT.png", 101, 58, 58},
    {122, "resources/img/LINK.png", 2, 52, 26},
    {123, "resources/img/MODE.png", 2, 56, 24},
    {124, "resources/img/MOUT.png", 101, 59, 57},
    {125, "resources/img/HPF.png", 3, 60, 27},
    {126, "resources/img/RHPF.png", 3, 59, 27},
    {127, "resources/img/MBY.png", 2, 51, 24},
};
constexpr int kStripCount = static_cast<int>(sizeof kStrips / sizeof kStrips[0]);
constexpr int kFirstResourceId = 101;

// The strip of a resource id (ids run without gaps from kFirstResourceId).
constexpr const StripDef& StripOf(int resourceId) { return kStrips[resourceId - kFirstResourceId]; }

// Which control class draws a bitmap row: the background image, a stepping
// switch or a filmstrip knob.
enum class ControlKind { Background, Switch, Knob };

// Knob drag directions, as the knob control takes them.
constexpr int kDragVertical = 0;
constexpr int kDragHorizontal = 1;
// What a knob row without a drag (background, switch) carries.
constexpr int kNoDrag = -1;
constexpr int kNoParam = -1;

// A control drawn from a strip: its rectangle is its left-top corner plus one
// frame of the strip. Switches and knobs compose with the image's alpha (blend
// method 0); the background is an opaque copy (the editor's background slot).
struct BitmapControlDef {
  ControlKind kind;
  int resourceId;
  int left;
  int top;
  int paramIdx;
  int direction;
  double gearing;
};

constexpr int kImageBlendMethod = 0;

// In creation order, which is the editor's control index and painting order.
constexpr BitmapControlDef kBitmapControls[] = {
    {ControlKind::Background, 101, 0, 0, kNoParam, kNoDrag, 0.0},
    {ControlKind::Switch, 122, 890, 249, kLink, kNoDrag, 0.0},
    {ControlKind::Switch, 123, 888, 206, kMode, kNoDrag, 0.0},
    {ControlKind::Switch, 102, 889, 336, kLMBypass, kNoDrag, 0.0},
    {ControlKind::Switch, 112, 888, 379, kRSBypass, kNoDrag, 0.0},
    {ControlKind::Switch, 127, 890, 293, kMasterBypass, kNoDrag, 0.0},
    {ControlKind::Knob, 103, 81, 54, kLMLowGain, kDragVertical, 4.0},
    {ControlKind::Knob, 104, 164, 135, kLMLowFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 113, 81, 259, kRSLowGain, kDragVertical, 4.0},
    {ControlKind::Knob, 114, 166, 341, kRSLowFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 105, 249, 54, kLMLowMidGain, kDragVertical, 4.0},
    {ControlKind::Knob, 106, 333, 135, kLMLowMidFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 107, 417, 54, kLMHighMidGain, kDragVertical, 4.0},
    {ControlKind::Knob, 108, 501, 136, kLMHighMidFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 109, 584, 55, kLMHighGain, kDragVertical, 4.0},
    {ControlKind::Knob, 110, 668, 135, kLMHighFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 119, 584, 259, kRSHighGain, kDragVertical, 4.0},
    {ControlKind::Knob, 120, 668, 340, kRSHighFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 115, 249, 259, kRSLowMidGain, kDragVertical, 4.0},
    {ControlKind::Knob, 116, 334, 340, kRSLowMidFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 117, 416, 259, kRSHighMidGain, kDragVertical, 4.0},
    {ControlKind::Knob, 118, 502, 341, kRSHighMidFreq, kDragVertical, 4.0},
    {ControlKind::Knob, 111, 751, 54, kLMOutput, kDragVertical, 4.0},
    {ControlKind::Knob, 121, 751, 260, kRSOutput, kDragVertical, 4.0},
    {ControlKind::Knob, 124, 886, 55, kMasterOutput, kDragVertical, 4.0},
    {ControlKind::Knob, 125, 765, 175, kLMHPF, kDragHorizontal, 1.0},
    {ControlKind::Knob, 126, 765, 380, kRSHPF, kDragHorizontal, 1.0},
};
constexpr int kBitmapControlCount = static_cast<int>(sizeof kBitmapControls / sizeof kBitmapControls[0]);

// A value read-out: the parameter's display text and a blank, on the panel
// inside this box. Every caption offers value entry and shows the unit label.
struct CaptionDef {
  int left;
  int top;
  int right;
  int bottom;
  int paramIdx;
};

// Created after the bitmap controls, in this order.
constexpr CaptionDef kCaptions[] = {
    {85, 35, 138, 56, kLMLowGain},
    {169, 116, 222, 137, kLMLowFreq},
    {85, 240, 138, 261, kRSLowGain},
    {169, 321, 222, 342, kRSLowFreq},
    {253, 35, 306, 56, kLMLowMidGain},
    {338, 116, 391, 137, kLMLowMidFreq},
    {253, 240, 306, 261, kRSLowMidGain},
    {338, 321, 391, 342, kRSLowMidFreq},
    {420, 35, 473, 56, kLMHighMidGain},
    {504, 116, 557, 137, kLMHighMidFreq},
    {420, 240, 473, 261, kRSHighMidGain},
    {504, 321, 557, 342, kRSHighMidFreq},
    {588, 35, 641, 56, kLMHighGain},
    {672, 116, 725, 137, kLMHighFreq},
    {588, 240, 641, 261, kRSHighGain},
    {672, 321, 725, 342, kRSHighFreq},
    {755, 35, 808, 56, kLMOutput},
    {755, 240, 808, 261, kRSOutput},
    {890, 35, 943, 56, kMasterOutput},
};
constexpr int kCaptionCount = static_cast<int>(sizeof kCaptions / sizeof kCaptions[0]);
constexpr int kControlCount = kBitmapControlCount + kCaptionCount;
constexpr bool kCaptionShowsLabel = true;
constexpr bool kCaptionPromptDisabled = false;

// The captions' text: centred, plain, opaque light grey; everything else the
// editor's defaults.
struct CaptionTextStyle {
  const char* font;
  int size;
  int alpha;
  int red;
  int green;
  int blue;
  int align;  // 1: centred
  int style;  // 0: plain
};
constexpr CaptionTextStyle kCaptionText = {"Futura", 13, 255, 201, 186, 185, 1, 0};

}  // namespace ZAVROLayout
