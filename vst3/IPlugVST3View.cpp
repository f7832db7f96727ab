// IPlugVST3View, and the plug-in's side of its views: createView, the list of
// open views and the editor size requests that go through them.
#include "vst3/IPlugVST3View.h"

#include <algorithm>
#include <cstring>

#include "graphics/IGraphics.h"
#include "vst3/IPlugVST3.h"

using namespace vst3;

namespace {
bool IsHwnd(FIDString type) { return type && std::strcmp(type, kPlatformTypeHWND) == 0; }
}  // namespace

// --- The view -----------------------------------------------------------------

IPlugVST3View::IPlugVST3View(IPlugVST3* plug) : plug_(plug) { plug_->addRef(); }

IPlugVST3View::~IPlugVST3View() {
  ReleaseWindow();
  plug_->ForgetView(this);
  plug_->release();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
  return plug_->Editor() && IsHwnd(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) {
  IGraphics* editor = plug_->Editor();
  // Only a Win32 parent can take the editor's window; reporting an editor as
  // open without one would be a success that shows nothing.
  if (!editor || !IsHwnd(type) || !parent) return kResultFalse;
  IMutexLock lock(plug_->InstanceLock());
  // The editor has one window: whoever held it hears it close before it moves here.
  if (plug_->WindowView() && editor->HasWindow()) plug_->OnEditorClosed();
  plug_->SetWindowView(nullptr);
  if (!editor->OpenWindow(parent)) {
    editor->CloseWindow();
    return kResultFalse;
  }
  // The editor keeps its own window handle; the base's system window stays unset.
  plug_->SetWindowView(this);
  plug_->OnEditorOpened();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::removed() {
  ReleaseWindow();
  return CPluginView::removed();
}

void IPlugVST3View::ReleaseWindow() {
  if (plug_->WindowView() != this) return;
  IMutexLock lock(plug_->InstanceLock());
  plug_->OnEditorClosed();
  if (IGraphics* editor = plug_->Editor()) editor->CloseWindow();
  plug_->SetWindowView(nullptr);
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
  const IGraphics* editor = plug_->Editor();
  if (!editor) return kResultFalse;
  if (!size) return kInvalidArgument;
  *size = ViewRect{0, 0, editor->Width(), editor->Height()};
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
  CPluginView::onSize(newSize);
  if (resizePending_) {
    resizePending_ = false;
    // Hosts answer a resize request later as often as at once.
    IMutexLock lock(plug_->InstanceLock());
    plug_->OnEditorResized();
  }
  return kResultOk;
}

bool IPlugVST3View::RequestSize(int width, int height) {
  IPlugFrame* frame = getFrame();
  if (!frame) return false;
  resizePending_ = true;
  ViewRect rect{0, 0, width, height};
  if (frame->resizeView(this, &rect) == kResultTrue) return true;
  // Refused: no onSize answers this request, so none may report it later.
  resizePending_ = false;
  return false;
}

// --- The plug-in's views ------------------------------------------------------

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name) {
  // A plug-in without an editor (the Linux modules) offers no view, so the host
  // shows its own parameter view rather than an empty window.
  if (!Editor() || !name || std::strcmp(name, kEditorViewType) != 0) return nullptr;
  IPlugVST3View* view = nullptr;
  try {
    openViews_.reserve(openViews_.size() + 1);  // the push below cannot fail
    view = new IPlugVST3View(this);
  } catch (...) {
    return nullptr;  // nothing may leave towards the host
  }
  openViews_.push_back(view);
  return view;
}

void IPlugVST3::ForgetView(IPlugVST3View* view) {
  // Only the destroyed view leaves the list: another view the host still holds
  // stays usable for size requests and menus.
  openViews_.erase(std::remove(openViews_.begin(), openViews_.end(), view), openViews_.end());
  if (windowView_ == view) windowView_ = nullptr;
}

void IPlugVST3::ApplyEditorSize(int width, int height) {
  if (!Editor() || openViews_.empty()) return;
  openViews_.front()->RequestSize(width, height);
}
