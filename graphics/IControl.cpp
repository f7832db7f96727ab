#include "graphics/IControl.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"

namespace {

// The prompt box of a parameter without display texts, around the control's centre.
constexpr int kPromptHalfWidth = 20;
constexpr int kPromptHalfHeight = 8;
// A switch that has stepped past its last frame (allowing for rounding) wraps.
constexpr double kSwitchWrap = 1.001;
// Fine adjustment: drags ten times slower, wheel notches of 0.001 instead of 0.01.
constexpr double kFineGearing = 10.0;
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;

// Texts cut to this many characters join a value display's text.
constexpr size_t kDisplayPieceLength = 32;

IBounds StripFrameRect(int x, int y, const IImageStrip& strip) {
  return {x, y, x + strip.FrameWidth(), y + strip.FrameHeight()};
}

// The 1-based frame of an n-frame strip that shows value v.
int FrameForValue(int n, double v) {
  if (n <= 1) return 1;
  const double t = (n - 1) * v + 0.5;
  if (!(t >= 0.0)) return 1;
  if (t >= n) return n;
  const int f = static_cast<int>(t) + 1;
  return f > n ? n : f;
}

// Offset of frame f along a strip extent of n frames.
int FrameOffset(int extent, int f, int n) {
  return static_cast<int>(static_cast<double>(extent) * (f - 1) / n + 0.5);
}

}  // namespace

IControl::IControl(IPlugBase* plug, const IBounds& rect, int paramIdx, const IBlendSpec& blend)
    : plug_(plug), rect_(rect), paramIdx_(paramIdx), blend_(blend) {}

IControl::~IControl() = default;

void IControl::MouseDown(int, int, const IMouseKeys& keys) {
  if (keys.right) PromptUserInput();
}

void IControl::MouseUp(int, int, const IMouseKeys&) {}

void IControl::MouseDrag(int, int, int, int, const IMouseKeys&) {}

void IControl::MouseDoubleClick(int, int, const IMouseKeys&) {
  if (DefaultValue() < 0.0) return;
  SetValue(DefaultValue());
  MarkDirty(true);
}

void IControl::MouseWheel(int, int, const IMouseKeys&, int) {}

bool IControl::KeyDown(int, int, int) { return false; }

void IControl::MouseOver(int, int, const IMouseKeys&) {}

void IControl::MouseOut() {}

void IControl::ApplyPlugValue(double value) {
  if (DefaultValue() < 0.0) {
    defaultValue_.store(value, std::memory_order_relaxed);
    SetValue(value);
    return;
  }
  if (value != Value()) {
    SetValue(value);
    MarkDirty(false);
    redrawPending_.store(true, std::memory_order_relaxed);
  }
}

void IControl::ApplyUserValue(double value) {
  if (value != Value()) {
    SetValue(value);
    MarkDirty(true);
    redrawPending_.store(true, std::memory_order_relaxed);
  }
}

void IControl::ReceiveEnteredText(const char*) {}

void IControl::SetHidden(bool hidden) {
  hidden_ = hidden;
  redrawPending_.store(true, std::memory_order_relaxed);
  MarkDirty(false);
}

void IControl::SetGreyed(bool greyed) {
  greyed_ = greyed;
  blend_.weight = greyed ? kGreyedWeight : 1.0f;
  MarkDirty(false);
}

bool IControl::HitTest(int x, int y) const { return rect_.Contains(x, y); }

void IControl::MarkDirty(bool push) {
  const double v = Value();
  // Written as "not at or above" so that a value that is no number clamps low.
  SetValue(!(v >= clampLow_) ? clampLow_ : std::min(v, clampHigh_));
  dirty_.store(true, std::memory_order_relaxed);
  if (!push || !plug_ || paramIdx_ < 0) return;
  plug_->SetParameterFromEditor(paramIdx_, Value());
  const IParamDef* param = Param();
  if (!param) return;
  if (valueDisplay_) {
    char value[kParamTextSize];
    const char* label;
    {
      IMutexLock lock(plug_->InstanceLock());
      param->FormatForHost(param->Value(), false, value, true);
      label = param->LabelForHost();
    }
    std::string text(value, std::min(std::strlen(value), kDisplayPieceLength));
    text += ' ';
    text.append(label, std::min(std::strlen(label), kDisplayPieceLength));
    valueDisplay_->SetTextFromPlug(text.c_str());
  }
  if (nameDisplay_) nameDisplay_->SetTextFromPlug(param->Name());
}

void IControl::ClearDirty() {
  dirty_.store(redrawPending_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  redrawPending_.store(false, std::memory_order_relaxed);
}

bool IControl::NeedsRedraw() const { return dirty_.load(std::memory_order_relaxed); }

void IControl::ApplyAuxPlugValue(int bindingIdx, double value) {
  IAuxBinding* binding = AuxBinding(bindingIdx);
  if (!binding || binding->value.load(std::memory_order_relaxed) == value) return;
  binding->value.store(value, std::memory_order_relaxed);
  MarkDirty(false);
  redrawPending_.store(true, std::memory_order_relaxed);
}

IAuxBinding* IControl::AuxBinding(int i) {
  return i >= 0 && i < AuxBindingCount() ? &auxBindings_[static_cast<size_t>(i)] : nullptr;
}

IParamDef* IControl::Param() const { return plug_ && paramIdx_ >= 0 ? plug_->GetParam(paramIdx_) : nullptr; }

void IControl::PromptUserInput() {
  IParamDef* param = Param();
  IGraphics* editor = plug_ ? plug_->Editor() : nullptr;
  if (!param || promptDisabled_ || !editor) return;
  IBounds box = rect_;
  if (param->DisplayTextCount() == 0) {
    const int cx = static_cast<int>(static_cast<float>(rect_.left + rect_.right) * 0.5f);
    const int cy = static_cast<int>(static_cast<float>(rect_.top + rect_.bottom) * 0.5f);
    box = {cx - kPromptHalfWidth, cy - kPromptHalfHeight, cx + kPromptHalfWidth, cy + kPromptHalfHeight};
  }
  editor->PromptForParamValue(this, param, &box);
  redrawPending_.store(true, std::memory_order_relaxed);
}

bool IControl::PaintFrame(IGraphics& graphics, const IImageStrip& strip) {
  const int n = strip.FrameCount();
  const int f = FrameForValue(n, Value());
  int sx = 0;
  int sy = 0;
  if (f > 1) {
    if (strip.horizontal) {
      sx = FrameOffset(strip.width, f, n);
    } else {
      sy = FrameOffset(strip.height, f, n);
    }
  }
  return graphics.DrawImageFrame(strip, rect_, sx, sy, &blend_);
}

// --- Bitmap and switch -------------------------------------------------------

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IImageStrip& strip,
                               int blendMethod)
    : IControl(plug, StripFrameRect(x, y, strip), paramIdx, IBlendSpec{blendMethod, 1.0f}), strip_(strip) {}

bool IBitmapControl::Paint(IGraphics& graphics) { return PaintFrame(graphics, strip_); }

void ISwitchControl::MouseDown(int, int, const IMouseKeys&) {
  const int n = strip_.FrameCount();
  double v = Value() + (n > 1 ? 1.0 / (n - 1) : 1.0);
  if (v > kSwitchWrap) v = 0.0;
  SetValue(v);
  MarkDirty(true);
}

void ISwitchControl::MouseDoubleClick(int x, int y, const IMouseKeys& keys) { MouseDown(x, y, keys); }

// --- Knobs -------------------------------------------------------------------

IKnobControl::IKnobControl(IPlugBase* plug, const IBounds& rect, int paramIdx, int direction, double gearing)
    : IControl(plug, rect, paramIdx), direction_(direction), gearing_(gearing) {}

void IKnobControl::MouseDrag(int, int, int dx, int dy, const IMouseKeys& keys) {
  const double gearing = keys.Fine() ? gearing_ * kFineGearing : gearing_;
  // Upwards raises a vertical knob: the span runs from bottom to top.
  const int span = direction_ == kKnobVertical ? rect_.top - rect_.bottom : rect_.right - rect_.left;
  const int delta = direction_ == kKnobVertical ? dy : dx;
  // A knob of no extent along its direction, or without gearing, cannot be dragged.
  if (span == 0 || !(gearing > 0.0)) return;
  SetValue(Value() + static_cast<double>(delta) / span / gearing);
  MarkDirty(true);
}

void IKnobControl::MouseWheel(int, int, const IMouseKeys& keys, int notches) {
  SetValue(Value() + notches * (keys.Fine() ? kFineWheelStep : kWheelStep));
  MarkDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IImageStrip& strip,
                                     int direction, double gearing)
    : IKnobControl(plug, StripFrameRect(x, y, strip), paramIdx, direction, gearing), strip_(strip) {}

bool IKnobMultiControl::Paint(IGraphics& graphics) { return PaintFrame(graphics, strip_); }

// --- Text --------------------------------------------------------------------

ITextControl::ITextControl(IPlugBase* plug, const IBounds& rect, const ITextStyle& style, const char* text)
    : IControl(plug, rect), text_(text ? text : "") {
  textStyle_ = style;
}

ITextControl::~ITextControl() = default;

bool ITextControl::Paint(IGraphics& graphics) {
  if (text_.empty()) return true;
  IBounds r = rect_;
  return graphics.DrawTextIn(textStyle_, text_.c_str(), r, false);
}

void ITextControl::SetTextFromPlug(const char* text) {
  if (!text) text = "";
  if (text_ == text) return;
  MarkDirty(false);
  text_ = text;
}

ICaptionControl::ICaptionControl(IPlugBase* plug, const IBounds& rect, int paramIdx, const ITextStyle& style,
                                 bool showLabel)
    : ITextControl(plug, rect, style, ""), showLabel_(showLabel) {
  paramIdx_ = paramIdx;
  promptDisabled_ = false;
}

ICaptionControl::~ICaptionControl() = default;

void ICaptionControl::MouseDown(int, int, const IMouseKeys& keys) {
  if (keys.left || keys.right) PromptUserInput();
}

void ICaptionControl::MouseDoubleClick(int, int, const IMouseKeys&) { PromptUserInput(); }

bool ICaptionControl::Paint(IGraphics& graphics) {
  if (const IParamDef* param = Param()) {
    char value[kParamTextSize];
    const char* label;
    {
      // The audio thread may be setting the value (linked groups).
      IMutexLock lock(plug_->InstanceLock());
      param->FormatForHost(param->Value(), false, value, true);
      label = param->LabelForHost();
    }
    text_ = value;
    if (showLabel_) {
      text_ += ' ';
      text_ += label;
    }
  }
  return ITextControl::Paint(graphics);
}
