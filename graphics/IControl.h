#pragma once
// A rectangle of the front panel bound (usually) to one parameter; it carries a
// normalised value between the user and the plug-in.
//
// ApplyPlugValue and ApplyAuxPlugValue may run on whatever thread changed the
// parameter (the audio thread included); they write only atomics, which the
// editor's timer reads on the user-interface thread. Everything else runs on
// the user-interface thread.

#include <atomic>
#include <cstddef>
#include <vector>

class IGraphics;
class IPlugBase;

// A rectangle in editor pixels; right and bottom are exclusive for hit tests.
struct IBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// A further parameter a control follows.
struct IAuxBinding {
  std::atomic<double> value{0.0};
  int paramIdx = -1;

  explicit IAuxBinding(int idx) : paramIdx(idx) {}
  IAuxBinding(const IAuxBinding& other) : value(other.value.load()), paramIdx(other.paramIdx) {}
};

class IControl {
public:
  IControl(IPlugBase* plug, const IBounds& rect, int paramIdx = -1)
      : plug_(plug), rect_(rect), paramIdx_(paramIdx) {}
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual bool Paint(IGraphics& graphics) = 0;
  // The plug-in's value, already normalised. The first call also fixes the default.
  virtual void ApplyPlugValue(double value);
  virtual void ApplyUserValue(double value);
  // Clamps the value, marks the control dirty and, when push is set, sends the
  // value to the plug-in.
  virtual void MarkDirty(bool push);
  virtual void ClearDirty();
  virtual bool NeedsRedraw() const { return dirty_.load(std::memory_order_relaxed); }
  virtual void ApplyAuxPlugValue(int bindingIdx, double value);

  int ParamIdx() const { return paramIdx_; }
  double Value() const { return value_.load(std::memory_order_relaxed); }
  double DefaultValue() const { return defaultValue_.load(std::memory_order_relaxed); }
  const IBounds& Rect() const { return rect_; }
  bool RedrawPending() const { return redrawPending_.load(std::memory_order_relaxed); }

  void AddAuxBinding(int paramIdx) { auxBindings_.emplace_back(paramIdx); }
  int AuxBindingCount() const { return static_cast<int>(auxBindings_.size()); }
  IAuxBinding& AuxBinding(int i) { return auxBindings_[static_cast<size_t>(i)]; }

protected:
  IPlugBase* plug_;
  IBounds rect_;
  int paramIdx_;
  std::vector<IAuxBinding> auxBindings_;
  std::atomic<double> value_{0.0};
  std::atomic<double> defaultValue_{-1.0};  // negative: not set yet
  double clampLow_ = 0.0;
  double clampHigh_ = 1.0;
  std::atomic<bool> dirty_{true};
  std::atomic<bool> redrawPending_{false};
};
