#include "graphics/IGraphics.h"

#include "framework/IPlugBase.h"

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug), width_(width), height_(height), frameRate_(frameRate) {}

IGraphics::~IGraphics() {
  // Controls go from the last to the first.
  while (!controls_.empty()) controls_.pop_back();
  backBuffer_.reset();
}

int IGraphics::AddControl(IControl* control) {
  controls_.emplace_back(control);
  return ControlCount() - 1;
}

IControl* IGraphics::GetControl(int i) const {
  return i >= 0 && i < ControlCount() ? controls_[static_cast<size_t>(i)].get() : nullptr;
}

void IGraphics::CreateSurfaces() { backBuffer_ = std::make_unique<LICE_SysBitmap>(width_, height_); }

void IGraphics::SetParamFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IParamDef* param = plug_ ? plug_->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->NormalizeValue(value);
  }
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (control->ParamIdx() == paramIdx) control->ApplyPlugValue(value);
    for (int b = 0; b < control->AuxBindingCount(); ++b) {
      if (control->AuxBinding(b).paramIdx == paramIdx) {
        control->ApplyAuxPlugValue(b, value);
        break;
      }
    }
  }
}
