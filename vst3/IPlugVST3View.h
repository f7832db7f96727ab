#pragma once
// The editor view a VST 3 host embeds in a window of its own: a thin object
// that forwards to the plug-in's editor, opening its window inside the host's
// and carrying the plug-in's size requests back to the host's frame. The
// editor's size is the plug-in's to choose; the host cannot resize the view.

#include "vst3/sdk/CPluginView.h"

class IPlugVST3;

class IPlugVST3View : public vst3::CPluginView {
public:
  // UI thread (createView), no lock. Holds a reference on the plug-in until
  // the view is destroyed.
  explicit IPlugVST3View(IPlugVST3* plug);
  // UI thread (the host's last release), takes the instance lock to close the
  // window if the host never removed the view; then leaves the plug-in's open
  // views and gives back the reference on the plug-in.
  ~IPlugVST3View() override;

  VST3_OBJECT_TYPE(IPlugVST3View, CPluginView)

  // UI thread, no lock: kResultTrue for "HWND" when the plug-in has an
  // editor, else kResultFalse.
  vst3::tresult PLUGIN_API isPlatformTypeSupported(vst3::FIDString type) override;
  // UI thread, takes the instance lock: opens the editor's window inside
  // parent (an HWND) and tells the plug-in.
  // kResultFalse without an editor, for any other type, or when no window
  // could be opened there. Attaching again moves the one window.
  vst3::tresult PLUGIN_API attached(void* parent, vst3::FIDString type) override;
  // UI thread, takes the instance lock: tells the plug-in and closes the
  // window, if this view holds it.
  vst3::tresult PLUGIN_API removed() override;
  // UI thread, no lock: the editor's full size from (0, 0); kResultFalse
  // without an editor.
  vst3::tresult PLUGIN_API getSize(vst3::ViewRect* size) override;
  // UI thread, takes the instance lock to report a resize: stores the host's
  // rectangle; answers a resize the plug-in asked for.
  vst3::tresult PLUGIN_API onSize(vst3::ViewRect* newSize) override;

  // UI thread, under the instance lock (ApplyEditorSize): the host's frame is
  // asked to resize this view. False without a frame or when the host refuses.
  bool RequestSize(int width, int height);
  bool ResizePending() const { return resizePending_; }

private:
  // Closes the editor's window if this view holds it.
  void ReleaseWindow();

  IPlugVST3* plug_;
  bool resizePending_ = false;
};
