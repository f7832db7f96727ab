#pragma once
// A rectangle of the front panel bound (usually) to one parameter: it paints
// itself into the editor's back buffer, reacts to the mouse events the editor
// routes to it, and carries a normalised value between the user and the plug-in.
//
// Every operation runs on the UI thread without a lock, except ApplyPlugValue
// and ApplyAuxPlugValue: the editor's SetParamFromPlug runs them on whatever
// thread changed the parameter (the audio thread included). Those two write
// only atomics (value, default, binding values, dirty and redraw-pending
// flags), which the editor's timer reads on the UI thread. Pushing a value to
// the plug-in takes the instance lock there.

#include <atomic>
#include <string>
#include <vector>

#include "graphics/IGraphicsStructs.h"

class IGraphics;
class IParamDef;
class IPlugBase;
class ITextControl;

// A further parameter a control follows.
struct IAuxBinding {
  std::atomic<double> value{0.0};
  int paramIdx = -1;

  explicit IAuxBinding(int idx) : paramIdx(idx) {}
  IAuxBinding(const IAuxBinding& other)
      : value(other.value.load(std::memory_order_relaxed)), paramIdx(other.paramIdx) {}
};

// Longest text a control's text entry takes unless the panel says otherwise.
constexpr int kDefaultEntryLength = 32;

class IControl {
public:
  IControl(IPlugBase* plug, const IBounds& rect, int paramIdx = -1, const IBlendSpec& blend = {});
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // --- Virtual operations, in slot order ---------------------------------

  virtual ~IControl();
  // UI thread, no lock, like every operation that names no thread. Right
  // button: prompt for the parameter's value.
  virtual void MouseDown(int x, int y, const IMouseKeys& keys);
  virtual void MouseUp(int x, int y, const IMouseKeys& keys);
  virtual void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys);
  // Restores the default value, once one is known.
  virtual void MouseDoubleClick(int x, int y, const IMouseKeys& keys);
  virtual void MouseWheel(int x, int y, const IMouseKeys& keys, int notches);
  virtual bool KeyDown(int x, int y, int keyCode);
  virtual void MouseOver(int x, int y, const IMouseKeys& keys);
  virtual void MouseOut();
  // Draws into the editor's back buffer; false when something could not be drawn.
  virtual bool Paint(IGraphics& graphics) = 0;
  // Any thread, under the instance lock (or on the UI thread): the plug-in's
  // value, already normalised. The first call also fixes the default a
  // double-click restores.
  virtual void ApplyPlugValue(double value);
  // A value the user chose (menu, text entry): sent to the plug-in, which takes
  // the instance lock.
  virtual void ApplyUserValue(double value);
  // A text entry committed for a control without a parameter.
  virtual void ReceiveEnteredText(const char* text);
  virtual void SetHidden(bool hidden);
  virtual void SetGreyed(bool greyed);
  virtual bool HitTest(int x, int y) const;
  // Clamps the value and marks the control dirty; with push, sends the value to
  // the plug-in and refreshes the linked value and name displays.
  virtual void MarkDirty(bool push);
  // Stays dirty for one more paint when a redraw is pending.
  virtual void ClearDirty();
  virtual bool NeedsRedraw() const;
  virtual void ReservedHook() {}
  // Any thread, under the instance lock (or on the UI thread): the plug-in's
  // normalised value of extra binding bindingIdx; an index outside the list is
  // ignored.
  virtual void ApplyAuxPlugValue(int bindingIdx, double value);

  // --- Fields' accessors ---------------------------------------------------
  int EntryLengthLimit() const { return entryLengthLimit_; }
  void SetEntryLengthLimit(int limit) { entryLengthLimit_ = limit; }
  const ITextStyle& TextStyle() const { return textStyle_; }
  ITextStyle& TextStyle() { return textStyle_; }
  IPlugBase* Plug() const { return plug_; }
  const IBounds& Rect() const { return rect_; }
  int ParamIdx() const { return paramIdx_; }
  // Any thread.
  double Value() const { return value_.load(std::memory_order_relaxed); }
  // Sets the value without clamping, marking or pushing; the caller follows
  // with MarkDirty.
  void SetValue(double value) { value_.store(value, std::memory_order_relaxed); }
  double DefaultValue() const { return defaultValue_.load(std::memory_order_relaxed); }
  void SetClamp(double low, double high) {
    clampLow_ = low;
    clampHigh_ = high;
  }
  bool IsHidden() const { return hidden_; }
  bool IsGreyed() const { return greyed_; }
  bool RedrawPending() const { return redrawPending_.load(std::memory_order_relaxed); }
  bool PromptDisabled() const { return promptDisabled_; }
  void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
  bool DoubleClickAsPress() const { return doubleClickAsPress_; }
  void SetDoubleClickAsPress(bool asPress) { doubleClickAsPress_ = asPress; }
  bool MouseOverWhenGreyed() const { return mouseOverWhenGreyed_; }
  void SetMouseOverWhenGreyed(bool receive) { mouseOverWhenGreyed_ = receive; }
  const IBlendSpec& Blend() const { return blend_; }
  // Linked read-outs are not owned and must outlive the control.
  void LinkValueDisplay(ITextControl* display) { valueDisplay_ = display; }
  void LinkNameDisplay(ITextControl* display) { nameDisplay_ = display; }
  const std::string& Tooltip() const { return tooltip_; }
  void SetTooltip(const char* text) { tooltip_ = text ? text : ""; }

  // UI thread, before the editor is attached: the list must not grow while
  // SetParamFromPlug may walk it.
  void AddAuxBinding(int paramIdx) { auxBindings_.emplace_back(paramIdx); }
  int AuxBindingCount() const { return static_cast<int>(auxBindings_.size()); }
  // Null for an index outside the list.
  IAuxBinding* AuxBinding(int i);

protected:
  // The bound parameter, or null without a plug-in or parameter.
  IParamDef* Param() const;
  // Opens the editor's menu or text entry for the bound parameter.
  void PromptUserInput();
  // The frame of a strip that shows this control's value, drawn at rect.
  bool PaintFrame(IGraphics& graphics, const IImageStrip& strip);

  int entryLengthLimit_ = kDefaultEntryLength;
  ITextStyle textStyle_;
  IPlugBase* plug_;
  IBounds rect_;
  int paramIdx_;
  std::vector<IAuxBinding> auxBindings_;
  std::atomic<double> value_{0.0};
  std::atomic<double> defaultValue_{-1.0};  // negative: not known yet
  double clampLow_ = 0.0;
  double clampHigh_ = 1.0;
  std::atomic<bool> dirty_{true};
  bool hidden_ = false;
  bool greyed_ = false;
  std::atomic<bool> redrawPending_{false};
  bool promptDisabled_ = true;
  bool doubleClickAsPress_ = false;
  bool mouseOverWhenGreyed_ = false;
  IBlendSpec blend_;
  ITextControl* valueDisplay_ = nullptr;
  ITextControl* nameDisplay_ = nullptr;
  std::string tooltip_;
};

// A still or multi-frame image; the frame follows the value.
class IBitmapControl : public IControl {
public:
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IImageStrip& strip,
                 int blendMethod = kBlendSourceAlpha);
  bool Paint(IGraphics& graphics) override;
  const IImageStrip& Strip() const { return strip_; }

protected:
  IImageStrip strip_;
};

// Steps through its frames on each press, wrapping to the first.
class ISwitchControl : public IBitmapControl {
public:
  using IBitmapControl::IBitmapControl;
  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void MouseDoubleClick(int x, int y, const IMouseKeys& keys) override;
};

enum : int { kKnobVertical = 0, kKnobHorizontal = 1 };

// Turned by dragging along its direction or by the wheel.
class IKnobControl : public IControl {
public:
  // Gearing divides the drag movement: larger is finer.
  IKnobControl(IPlugBase* plug, const IBounds& rect, int paramIdx, int direction, double gearing);
  void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) override;
  void MouseWheel(int x, int y, const IMouseKeys& keys, int notches) override;

protected:
  int direction_;
  double gearing_;
};

// A knob drawn as one frame of a filmstrip.
class IKnobMultiControl : public IKnobControl {
public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, const IImageStrip& strip,
                    int direction = kKnobVertical, double gearing = 4.0);
  bool Paint(IGraphics& graphics) override;
  const IImageStrip& Strip() const { return strip_; }

protected:
  IImageStrip strip_;
};

// One line of text.
class ITextControl : public IControl {
public:
  ITextControl(IPlugBase* plug, const IBounds& rect, const ITextStyle& style, const char* text);
  ~ITextControl() override;
  bool Paint(IGraphics& graphics) override;
  // UI thread, no lock (the text is not atomic, so the audio thread never sets
  // it). Marks the control dirty only when the text changes.
  void SetTextFromPlug(const char* text);
  const std::string& Text() const { return text_; }

protected:
  std::string text_;
};

// The bound parameter's value as text, rebuilt at every paint.
class ICaptionControl : public ITextControl {
public:
  ICaptionControl(IPlugBase* plug, const IBounds& rect, int paramIdx, const ITextStyle& style,
                  bool showLabel);
  ~ICaptionControl() override;
  // Left or right button: prompt for the value.
  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void MouseDoubleClick(int x, int y, const IMouseKeys& keys) override;
  bool Paint(IGraphics& graphics) override;

protected:
  bool showLabel_;
};
