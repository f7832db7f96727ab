#pragma once
// The VST 3 editor view and the host's frame around it; on Linux also the
// host's run loop, through which a view gets its timers and file-descriptor
// callbacks.

#include "vst3/interface/Vst3Base.h"

namespace vst3 {

constexpr FIDString kPlatformTypeHWND = "HWND";
constexpr FIDString kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
constexpr FIDString kEditorViewType = "editor";  // the only name createView is given

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
  int32 getWidth() const { return right - left; }
  int32 getHeight() const { return bottom - top; }
};

class IPlugFrame;

class IPlugView : public FUnknown {
public:
  virtual tresult PLUGIN_API isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult PLUGIN_API attached(void* parent, FIDString type) = 0;
  virtual tresult PLUGIN_API removed() = 0;
  virtual tresult PLUGIN_API onWheel(float distance) = 0;
  virtual tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult PLUGIN_API getSize(ViewRect* size) = 0;
  virtual tresult PLUGIN_API onSize(ViewRect* newSize) = 0;
  virtual tresult PLUGIN_API onFocus(TBool state) = 0;
  virtual tresult PLUGIN_API setFrame(IPlugFrame* frame) = 0;
  virtual tresult PLUGIN_API canResize() = 0;
  virtual tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) = 0;
  static constexpr Uid iid = Uid::FromWords(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

protected:
  ~IPlugView() = default;
};

class IPlugFrame : public FUnknown {
public:
  virtual tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
  static constexpr Uid iid = Uid::FromWords(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

protected:
  ~IPlugFrame() = default;
};

#if !defined(_WIN32)
namespace Linux {
class IEventHandler : public FUnknown {
public:
  virtual void PLUGIN_API onFDIsSet(int fd) = 0;
  static constexpr Uid iid = Uid::FromWords(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

protected:
  ~IEventHandler() = default;
};

class ITimerHandler : public FUnknown {
public:
  virtual void PLUGIN_API onTimer() = 0;
  static constexpr Uid iid = Uid::FromWords(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

protected:
  ~ITimerHandler() = default;
};

// Offered by the host's frame object.
class IRunLoop : public FUnknown {
public:
  virtual tresult PLUGIN_API registerEventHandler(IEventHandler* handler, int fd) = 0;
  virtual tresult PLUGIN_API unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult PLUGIN_API registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
  virtual tresult PLUGIN_API unregisterTimer(ITimerHandler* handler) = 0;
  static constexpr Uid iid = Uid::FromWords(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

protected:
  ~IRunLoop() = default;
};
}  // namespace Linux
#endif

static_assert(sizeof(ViewRect) == 16 && alignof(ViewRect) == 4);
static_assert(offsetof(ViewRect, top) == 4 && offsetof(ViewRect, right) == 8 && offsetof(ViewRect, bottom) == 12);

}  // namespace vst3
