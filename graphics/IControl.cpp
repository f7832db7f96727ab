#include "graphics/IControl.h"

#include <algorithm>

#include "framework/IPlugBase.h"

void IControl::ApplyPlugValue(double value) {
  if (DefaultValue() < 0.0) {
    defaultValue_.store(value, std::memory_order_relaxed);
    value_.store(value, std::memory_order_relaxed);
    return;
  }
  if (value != Value()) {
    value_.store(value, std::memory_order_relaxed);
    MarkDirty(false);
    redrawPending_.store(true, std::memory_order_relaxed);
  }
}

void IControl::ApplyUserValue(double value) {
  if (value != Value()) {
    value_.store(value, std::memory_order_relaxed);
    MarkDirty(true);
    redrawPending_.store(true, std::memory_order_relaxed);
  }
}

void IControl::MarkDirty(bool push) {
  const double v = Value();
  value_.store(v < clampLow_ ? clampLow_ : std::min(v, clampHigh_), std::memory_order_relaxed);
  dirty_.store(true, std::memory_order_relaxed);
  if (!push || !plug_ || paramIdx_ < 0) return;
  plug_->SetParameterFromEditor(paramIdx_, Value());
}

void IControl::ClearDirty() {
  dirty_.store(redrawPending_.load(std::memory_order_relaxed), std::memory_order_relaxed);
  redrawPending_.store(false, std::memory_order_relaxed);
}

void IControl::ApplyAuxPlugValue(int bindingIdx, double value) {
  if (bindingIdx < 0 || bindingIdx >= AuxBindingCount()) return;
  IAuxBinding& binding = AuxBinding(bindingIdx);
  if (binding.value.load(std::memory_order_relaxed) != value) {
    binding.value.store(value, std::memory_order_relaxed);
    MarkDirty(false);
    redrawPending_.store(true, std::memory_order_relaxed);
  }
}
