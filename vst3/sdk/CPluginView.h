#pragma once
// The base of an editor view: its size, the host window it is attached to and
// the host's frame. A real view answers which window systems it supports and
// fills the hooks; the base supports none.

#include "vst3/interface/Vst3View.h"
#include "vst3/sdk/FObject.h"

namespace vst3 {

class CPluginView : public FObject, public IPlugView {
public:
  // Zero-sized unless a rectangle is given.
  explicit CPluginView(const ViewRect* rect = nullptr);
  ~CPluginView() override = default;

  VST3_OBJECT_TYPE(CPluginView, FObject)
  VST3_REFCOUNT_METHODS(FObject)

  // --- Host entries: UI thread ---------------------------------------------------
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  // Supports no window system here.
  tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
  // Records the parent window, then attachedToParent.
  tresult PLUGIN_API attached(void* parent, FIDString type) override;
  // Forgets the parent window, then removedFromParent.
  tresult PLUGIN_API removed() override;
  tresult PLUGIN_API onWheel(float distance) override;
  tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
  tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
  tresult PLUGIN_API getSize(ViewRect* size) override;
  tresult PLUGIN_API onSize(ViewRect* newSize) override;
  tresult PLUGIN_API onFocus(TBool state) override;
  // The frame is borrowed: the host keeps it alive while the view is attached.
  tresult PLUGIN_API setFrame(IPlugFrame* frame) override;
  tresult PLUGIN_API canResize() override;
  tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;

  const ViewRect& getRect() const { return rect_; }
  void setRect(const ViewRect& rect) { rect_ = rect; }
  void* getSystemWindow() const { return systemWindow_; }
  IPlugFrame* getFrame() const { return frame_; }

protected:
  // UI thread, inside attached/removed.
  virtual void attachedToParent() {}
  virtual void removedFromParent() {}

private:
  ViewRect rect_{};
  void* systemWindow_ = nullptr;
  IPlugFrame* frame_ = nullptr;
};

}  // namespace vst3
