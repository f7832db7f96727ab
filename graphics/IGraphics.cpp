#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "framework/IPlugBase.h"
#include "graphics/IGraphicsCaches.h"
#include "lice/LICE_IFont.h"
#include "lice/LICE_Raster.h"

namespace {

// Blit mode of each blend method; anything unknown draws with source alpha.
int BlitMode(const IBlendSpec* blend) {
  if (!blend) return kLiceUseSourceAlpha;
  switch (blend->method) {
    case kBlendOpaque:
      return kLiceCopy;
    case kBlendAdd:
      return kLiceUseSourceAlpha | kLiceAdd;
    case kBlendDodge:
      return kLiceUseSourceAlpha | kLiceDodge;
    default:
      return kLiceUseSourceAlpha;
  }
}

unsigned int TextFlags(const ITextStyle& style) {
  unsigned int flags = kLiceTextNoClip;
  if (style.colour.a != 255) flags |= kLiceTextUseColourAlpha;
  if (style.alignment == kAlignCentre) {
    flags |= kLiceTextCentre;
  } else if (style.alignment != kAlignLeft) {
    flags |= kLiceTextRight;
  }
  return flags;
}

// The control list is walked by SetParamFromPlug on whatever thread changed a
// parameter, always under the plug-in's instance lock: the list changes under
// it too. Edit gestures reach the host under it, as every call to the host does.
std::unique_lock<std::recursive_mutex> LockInstance(IPlugBase* plug) {
  return plug ? std::unique_lock<std::recursive_mutex>(plug->InstanceLock())
              : std::unique_lock<std::recursive_mutex>();
}

// A plain parameter value in the parameter's normalised form.
double NormalizedChoice(const IParamDef& param, double plain) {
  return param.NormalizeValue(std::clamp(plain, param.Min(), param.Max()));
}

// The value a text entry names: a display text of a boolean or enumeration,
// else the number the text starts with (negated where the display is). The
// entry of a boolean without texts takes digits, so they are read too.
bool ParseEntry(const IParamDef& param, const char* text, double* plain) {
  if (param.Kind() == ParamKind::Boolean || param.Kind() == ParamKind::Enumerated) {
    for (int i = 0; i < param.DisplayTextCount(); ++i) {
      if (std::strcmp(param.DisplayTextAt(i).text, text) == 0) {
        *plain = param.DisplayTextAt(i).value;
        return true;
      }
    }
  }
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || !std::isfinite(v)) return false;
  *plain = param.NegateDisplay() ? -v : v;
  return true;
}

}  // namespace

void PlaceMeasuredText(IBounds& rect, int w, int h, int alignment) {
  if (alignment == kAlignLeft) {
    rect.right = rect.left + w;
  } else if (alignment == kAlignCentre) {
    rect.left = static_cast<int>(static_cast<float>(rect.left + rect.right) * 0.5f) - w / 2;
    rect.right = rect.left + w;
  } else {
    rect.left = rect.right - w;
  }
  rect.bottom = rect.top + h;
}

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug), width_(std::max(width, 0)), height_(std::max(height, 0)), frameRate_(frameRate) {}

IGraphics::~IGraphics() {
  keyCatcher_.reset();
  DeleteControls();
  backBuffer_.reset();
}

bool IGraphics::MeasureText(const ITextStyle& style, const char* text, IBounds& rect) {
  ITextStyle copy = style;
  return DrawTextIn(copy, text, rect, true);
}

void IGraphics::ResizeEditor(int width, int height) {
  if (width < 1 || height < 1) return;
  width_ = width;
  height_ = height;
  ResetMouseState();
  hovered_ = -1;
  {
    auto lock = LockInstance(plug_);
    DeleteControls();
  }
  backBuffer_.reset();
  CreateSurfaces();
  // The host hears the new size under the lock, like every call to it.
  auto lock = LockInstance(plug_);
  if (plug_) plug_->ApplyEditorSize(width, height);
}

// --- Panel -----------------------------------------------------------------

int IGraphics::AddControl(IControl* control) {
  if (!control) return -1;
  auto lock = LockInstance(plug_);
  controls_.emplace_back(control);
  return ControlCount() - 1;
}

void IGraphics::InsertBackground(const IImageStrip& strip) {
  auto lock = LockInstance(plug_);
  controls_.emplace(controls_.begin(), new IBitmapControl(plug_, 0, 0, -1, strip, kBlendOpaque));
}

IImageStrip IGraphics::LoadImageStrip(int id, const char* fileName, int frames) {
  LICE_IBitmap* image = BitmapCache::Find(id);
  if (!image) {
    std::unique_ptr<LICE_IBitmap> loaded(LoadImageResource(id, fileName));
    if (loaded) image = BitmapCache::Add(id, std::move(loaded));
  }
  IImageStrip strip;
  strip.image = image;
  strip.width = image ? image->Width() : 0;
  strip.height = image ? image->Height() : 0;
  strip.frames = frames;
  return strip;
}

IControl* IGraphics::GetControl(int i) const {
  return i >= 0 && i < ControlCount() ? controls_[static_cast<size_t>(i)].get() : nullptr;
}

void IGraphics::SetKeyCatcher(IControl* catcher) { keyCatcher_.reset(catcher); }

void IGraphics::DeleteControls() {
  while (!controls_.empty()) controls_.pop_back();
}

// --- Drawing ---------------------------------------------------------------

void IGraphics::CreateSurfaces() { backBuffer_ = std::make_unique<LICE_SysBitmap>(width_, height_); }

bool IGraphics::CollectDirtyArea(IBounds& area) const {
  area = IBounds{};
  bool any = false;
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (!control->NeedsRedraw()) continue;
    any = true;
    const IBounds& r = control->Rect();
    if (r.Void()) continue;
    area = area.Empty() ? r : area.Union(r);
  }
  return any;
}

bool IGraphics::PaintRegion(const IBounds& region) {
  if (controls_.empty()) return true;
  if (strictDrawing_) {
    PaintStrict(region);
  } else {
    PaintChanged();
  }
  return PresentRegion(region);
}

// Everything meeting the region, in list order; then every control is clean.
void IGraphics::PaintStrict(const IBounds& region) {
  paintArea_ = region;
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (!control->IsHidden() && region.Intersects(control->Rect())) control->Paint(*this);
  }
  for (const std::unique_ptr<IControl>& control : controls_) control->ClearDirty();
}

// Each changed control's own rectangle, with whatever covers it; a changed
// background repaints everything once.
void IGraphics::PaintChanged() {
  IControl& background = *controls_.front();
  if (background.NeedsRedraw()) {
    paintArea_ = background.Rect();
    for (size_t j = 0; j < controls_.size(); ++j) {
      IControl& c = *controls_[j];
      if (j != 0 && c.IsHidden()) continue;
      c.Paint(*this);
      c.ClearDirty();
    }
    return;
  }
  for (size_t i = 1; i < controls_.size(); ++i) {
    IControl& changed = *controls_[i];
    if (!changed.NeedsRedraw()) continue;
    paintArea_ = changed.Rect();
    for (size_t j = 0; j < controls_.size(); ++j) {
      IControl& c = *controls_[j];
      if (!c.IsHidden() && (j == i || c.Rect().Intersects(paintArea_))) c.Paint(*this);
    }
    changed.ClearDirty();
  }
}

bool IGraphics::DrawImageFrame(const IImageStrip& strip, const IBounds& dest, int sx, int sy,
                               const IBlendSpec* blend) {
  const IBounds clip = dest.Intersects(paintArea_) ? dest.Intersection(paintArea_) : IBounds{};
  if (!strip.image || !backBuffer_ || clip.Width() <= 0 || clip.Height() <= 0) return true;
  LICE_Rect src;
  src.left = sx + clip.left - dest.left;
  src.top = sy + clip.top - dest.top;
  src.right = sx + clip.right - dest.left;
  src.bottom = sy + clip.bottom - dest.top;
  BlitBitmap(backBuffer_.get(), strip.image, clip.left, clip.top, &src, blend ? blend->weight : 1.0f,
             BlitMode(blend));
  return true;
}

bool IGraphics::DrawTextIn(ITextStyle& style, const char* text, IBounds& rect, bool measure) {
  if (!text || !text[0]) return true;
  LICE_IFont* font = style.cachedFont ? style.cachedFont : FindOrCreateFont(style);
  if (!font) return false;
  font->SetTextColour(style.colour.Packed());
  const unsigned int flags = TextFlags(style);
  if (!measure) {
    LICE_Rect r{rect.left, rect.top, rect.right, rect.bottom};
    if (backBuffer_) font->RenderText(backBuffer_.get(), text, -1, &r, flags);
    return true;
  }
  LICE_Rect extent;
  font->RenderText(backBuffer_.get(), text, -1, &extent, flags | kLiceTextCalcRect);
  PlaceMeasuredText(rect, extent.right - extent.left, extent.bottom - extent.top, style.alignment);
  return true;
}

LICE_IFont* IGraphics::FindOrCreateFont(ITextStyle& style) {
  style.cachedFont = FontCache::FindOrCreate(style);
  return style.cachedFont;
}

// --- Values ----------------------------------------------------------------

void IGraphics::SetParamFromPlug(int paramIdx, double value, bool normalized) {
  if (std::isnan(value)) return;
  if (plug_) {
    const IParamDef* param = plug_->GetParam(paramIdx);
    if (!param) return;
    if (!normalized) value = param->NormalizeValue(value);
  } else if (!normalized) {
    return;
  }
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (control->ParamIdx() == paramIdx) control->ApplyPlugValue(value);
    for (int b = 0; b < control->AuxBindingCount(); ++b) {
      if (control->AuxBinding(b)->paramIdx == paramIdx) {
        control->ApplyAuxPlugValue(b, value);
        break;
      }
    }
  }
}

void IGraphics::PromptForParamValue(IControl* control, const IParamDef* param, const IBounds* rect) {
  if (!control || !param || !rect) return;
  // The audio thread may be setting the parameter: read it once, under the lock.
  char current[kParamTextSize];
  double v = 0.0;
  {
    auto lock = LockInstance(plug_);
    v = param->Value();
  }
  param->FormatForHost(v, false, current, true);
  const bool choice = param->Kind() == ParamKind::Enumerated ||
                      (param->Kind() == ParamKind::Boolean && param->DisplayTextCount() > 0);
  if (choice) {
    IChoiceMenu menu;
    for (int i = 0; i < param->DisplayTextCount(); ++i) {
      const char* text = param->FindDisplayText(i);
      if (!text) text = "";
      menu.AddItem(text, std::strcmp(text, current) == 0 ? kMenuItemChecked : 0);
    }
    // Only an item of this menu is a value; anything else is no choice.
    if (ShowPopupMenu(menu, *rect) == &menu && menu.chosenIndex >= 0 && menu.chosenIndex < menu.ItemCount()) {
      control->ApplyUserValue(NormalizedChoice(*param, menu.chosenIndex));
    }
    // The menu took the release of a press that opened it: that press's
    // gesture ends here, after the chosen value.
    EndEditGesture();
    return;
  }
  char initial[kParamTextSize];
  if (param->NegateDisplay()) v = -v;
  if (param->DisplayPrecision() > 0) {
    std::snprintf(initial, sizeof initial, "%.*f", param->DisplayPrecision(), v);
  } else {
    std::snprintf(initial, sizeof initial, "%d",
                  static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0)));
  }
  ShowTextEntry(control, control->TextStyle(), *rect, initial, param);
}

void IGraphics::CommitEnteredText(IControl* control, const IParamDef* param, const char* text) {
  if (!control) return;
  if (!text) text = "";
  if (!param) {
    control->ReceiveEnteredText(text);
    return;
  }
  double plain = 0.0;
  if (!ParseEntry(*param, text, &plain)) return;
  control->ApplyUserValue(NormalizedChoice(*param, plain));
}

// --- Input -----------------------------------------------------------------

int IGraphics::RouteTarget(MouseEvent kind, int x, int y) const {
  const bool followsCapture = kind == MouseEvent::Up || kind == MouseEvent::Wheel ||
                              kind == MouseEvent::Over || kind == MouseEvent::Key;
  if (followsCapture && GetControl(capture_)) return capture_;
  for (int i = ControlCount() - 1; i >= 0; --i) {
    const IControl& c = *controls_[static_cast<size_t>(i)];
    if (c.IsHidden()) continue;
    if (c.IsGreyed() && !(kind == MouseEvent::Over && c.MouseOverWhenGreyed())) continue;
    if (c.HitTest(x, y)) return i;
  }
  return -1;
}

int IGraphics::FindControlAt(int x, int y) const { return RouteTarget(MouseEvent::Down, x, y); }

void IGraphics::ResetMouseState() {
  capture_ = -1;
  lastX_ = -1;
  lastY_ = -1;
}

void IGraphics::HandleMouseDown(int x, int y, const IMouseKeys& keys) {
  ResetMouseState();
  EndEditGesture();  // its release never came
  const int i = RouteTarget(MouseEvent::Down, x, y);
  IControl* control = GetControl(i);
  if (!control) return;
  capture_ = i;
  lastX_ = x;
  lastY_ = y;
  const int p = control->ParamIdx();
  const bool bound = plug_ && plug_->IsValidParam(p);
  if (bound && keys.right && plug_->GetPluginApi() == PluginApi::Vst3) {
    // The host's own menu for the parameter; the control sees nothing. The
    // menu stays open while the user chooses: the instance lock is not held,
    // so processing does not wait for it.
    ResetMouseState();
    plug_->ShowHostContextMenu(p, x, y);
    return;
  }
  if (bound) {
    auto lock = LockInstance(plug_);
    plug_->BeginParameterEdit(p);
    editParam_ = p;
  }
  control->MouseDown(x, y, keys);
}

void IGraphics::HandleMouseUp(int x, int y, const IMouseKeys& keys) {
  const int i = RouteTarget(MouseEvent::Up, x, y);
  ResetMouseState();
  if (IControl* control = GetControl(i)) control->MouseUp(x, y, keys);
  EndEditGesture();
}

// Only the gesture a press began is ended, so the host sees pairs.
void IGraphics::EndEditGesture() {
  const int p = editParam_;
  editParam_ = -1;
  if (p < 0 || !plug_) return;
  auto lock = LockInstance(plug_);
  plug_->EndParameterEdit(p);
}

void IGraphics::HandleDoubleClick(int x, int y, const IMouseKeys& keys) {
  ResetMouseState();
  const int i = RouteTarget(MouseEvent::DoubleClick, x, y);
  IControl* control = GetControl(i);
  if (!control) return;
  if (control->DoubleClickAsPress()) {
    capture_ = i;
    lastX_ = x;
    lastY_ = y;
    control->MouseDown(x, y, keys);
  } else {
    control->MouseDoubleClick(x, y, keys);
  }
}

void IGraphics::HandleMouseDrag(int x, int y, const IMouseKeys& keys) {
  IControl* control = GetControl(capture_);
  if (!control || (x == lastX_ && y == lastY_)) return;
  const int dx = x - lastX_;
  const int dy = y - lastY_;
  lastX_ = x;
  lastY_ = y;
  control->MouseDrag(x, y, dx, dy, keys);
}

void IGraphics::HandleWheel(int x, int y, const IMouseKeys& keys, int notches) {
  if (IControl* control = GetControl(RouteTarget(MouseEvent::Wheel, x, y)))
    control->MouseWheel(x, y, keys, notches);
}

bool IGraphics::HandleMouseOver(int x, int y, const IMouseKeys& keys) {
  if (!hoverHandling_) return false;
  const int i = RouteTarget(MouseEvent::Over, x, y);
  IControl* target = GetControl(i);
  if (!target) return true;
  lastX_ = x;
  lastY_ = y;
  target->MouseOver(x, y, keys);
  if (hovered_ != i) {
    if (IControl* previous = GetControl(hovered_)) previous->MouseOut();
  }
  hovered_ = i;
  return true;
}

void IGraphics::HandleMouseOut() {
  for (const std::unique_ptr<IControl>& control : controls_) control->MouseOut();
  hovered_ = -1;
}

bool IGraphics::HandleKeyDown(int x, int y, int keyCode) {
  const int i = RouteTarget(MouseEvent::Key, x, y);
  IControl* control = i > 0 ? GetControl(i) : keyCatcher_.get();
  return control && control->KeyDown(x, y, keyCode);
}
