// The editor view of IPlugVST3, driven as a host drives it: which views exist,
// what they answer, how the editor's window follows attached and removed, and
// how the plug-in's size requests travel through the host's frame.
#include "vst3/IPlugVST3View.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "tests/vst3/Vst3TestHost.h"
#include "vst3/IPlugVST3.h"

using namespace vst3;
using namespace vst3test;

namespace {

// A window-less editor that pretends its window opens inside any parent.
class WindowEditor : public IGraphicsHeadless {
public:
  WindowEditor(IPlugBase* plug, std::vector<std::string>* log) : IGraphicsHeadless(plug, 300, 200, 25), log_(log) {}
  void* OpenWindow(void* parent) override {
    log_->push_back("open");
    window_ = parent;
    return window_;
  }
  void CloseWindow() override {
    if (window_) log_->push_back("close");
    window_ = nullptr;
  }
  bool HasWindow() const override { return window_ != nullptr; }
  void* WindowHandle() const override { return window_; }

private:
  std::vector<std::string>* log_;
  void* window_ = nullptr;
};

IPlugConfig TestConfig() {
  IPlugConfig c;
  c.nParams = 1;
  c.channelIOText = "2-2";
  c.nPresets = 1;
  return c;
}

class ViewProduct : public IPlugVST3 {
public:
  explicit ViewProduct(bool withEditor) : IPlugVST3(IPlugInstanceInfo{}, TestConfig()) {
    GetParam(0)->InitContinuous("Gain", 0.0, -15.0, 15.0, 0.1);
    if (withEditor) AttachEditor(new WindowEditor(this, &log));
  }
  void OnEditorOpened() override { log.push_back("opened"); }
  void OnEditorClosed() override { log.push_back("closed"); }
  // Reported under the instance lock, which another thread then cannot take.
  void OnEditorResized() override {
    bool locked = false;
    std::thread([&] {
      locked = !InstanceLock().try_lock();
      if (!locked) InstanceLock().unlock();
    }).join();
    log.push_back(locked ? "resized" : "resized without the lock");
  }
  std::vector<std::string> log;
};

// A host frame that answers a resize request by resizing the view at once.
class HostFrame : public HostObject<IPlugFrame> {
public:
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override {
    requests.push_back(*newSize);
    if (refuse) return kResultFalse;
    view->onSize(newSize);
    return kResultTrue;
  }
  std::vector<ViewRect> requests;
  bool refuse = false;
};

bool Same(const ViewRect& a, const ViewRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int kParentWindow = 0;
void* const kParent = &kParentWindow;

}  // namespace

TEST(IPlugVST3View, ViewsExistOnlyForTheEditorNameOfAPlugInWithAnEditor) {
  auto* plug = new ViewProduct(true);
  // Before initialize, too.
  IPlugView* view = plug->createView("editor");
  ASSERT_NE(view, nullptr);
  for (const char* other : {"Editor", "editor2", "edit", ""}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(plug->createView(other), nullptr);
  }
  EXPECT_EQ(plug->createView(nullptr), nullptr);
  ASSERT_EQ(plug->OpenViews().size(), 1u);

  void* asked = nullptr;
  EXPECT_EQ(view->queryInterface(IPlugView::iid.data, &asked), kResultOk);
  EXPECT_EQ(asked, view);
  EXPECT_EQ(view->release(), 1u);
  EXPECT_EQ(view->release(), 0u);
  EXPECT_TRUE(plug->OpenViews().empty());
  // The view's reference on the plug-in was given back: this is the last one.
  EXPECT_EQ(plug->release(), 0u);

  // Without an editor (the Linux modules) there is no view to embed.
  auto* bare = new ViewProduct(false);
  EXPECT_EQ(bare->createView("editor"), nullptr);
  bare->release();
}

TEST(IPlugVST3View, AnswersForHWNDAndTheEditorsFixedSize) {
  auto* plug = new ViewProduct(true);
  IPlugView* view = plug->createView("editor");
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultTrue);
  for (const char* other : {"NSView", "X11EmbedWindowID", "hwnd", ""}) {
    EXPECT_EQ(view->isPlatformTypeSupported(other), kResultFalse) << other;
  }
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
  ViewRect size{1, 2, 3, 4};
  EXPECT_EQ(view->getSize(&size), kResultOk);  // before attached
  EXPECT_TRUE(Same(size, ViewRect{0, 0, 300, 200}));
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->checkSizeConstraint(&size), kResultFalse);
  EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
  EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);
  EXPECT_EQ(view->onKeyUp(u'a', 0, 0), kResultFalse);
  EXPECT_EQ(view->onFocus(true), kResultFalse);
  view->release();
  plug->release();
}

TEST(IPlugVST3View, AttachedAndRemovedOpenAndCloseTheOneWindowInPairs) {
  auto* plug = new ViewProduct(true);
  IPlugView* view = plug->createView("editor");
  // Removed before anything was attached, and refused attachments: nothing happens.
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(view->attached(kParent, "NSView"), kResultFalse);
  EXPECT_EQ(view->attached(nullptr, "HWND"), kResultFalse);
  EXPECT_TRUE(plug->log.empty());

  EXPECT_EQ(view->attached(kParent, "HWND"), kResultOk);
  EXPECT_EQ(plug->Editor()->WindowHandle(), kParent);
  // Attached again: the one window moves, the plug-in hears close before open.
  EXPECT_EQ(view->attached(kParent, "HWND"), kResultOk);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(plug->log, (std::vector<std::string>{"open", "opened", "closed", "open", "opened", "closed", "close"}));
  EXPECT_FALSE(plug->Editor()->HasWindow());

  // After the host terminated the plug-in, the view still attaches and removes.
  HostApplication host{"Host"};
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  plug->terminate();
  plug->log.clear();
  EXPECT_EQ(view->attached(kParent, "HWND"), kResultOk);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(plug->log, (std::vector<std::string>{"open", "opened", "closed", "close"}));
  view->release();
  plug->release();
}

TEST(IPlugVST3View, SizeRequestsTravelThroughTheFirstViewsFrame) {
  auto* plug = new ViewProduct(true);
  plug->ApplyEditorSize(400, 300);  // no view: nothing
  IPlugView* view = plug->createView("editor");
  plug->ApplyEditorSize(400, 300);  // no frame: nothing
  EXPECT_FALSE(plug->OpenViews().front()->ResizePending());

  HostFrame frame;
  EXPECT_EQ(view->setFrame(&frame), kResultTrue);
  // A host resize the plug-in did not ask for is stored, not reported.
  ViewRect hostRect{0, 0, 10, 20};
  EXPECT_EQ(view->onSize(&hostRect), kResultOk);
  EXPECT_EQ(view->onSize(nullptr), kResultOk);
  EXPECT_TRUE(plug->log.empty());

  plug->ApplyEditorSize(400, 300);
  ASSERT_EQ(frame.requests.size(), 1u);
  EXPECT_TRUE(Same(frame.requests[0], ViewRect{0, 0, 400, 300}));
  EXPECT_EQ(plug->log, (std::vector<std::string>{"resized"}));
  EXPECT_TRUE(Same(plug->OpenViews().front()->getRect(), ViewRect{0, 0, 400, 300}));

  // A refused request leaves nothing pending for a later, unrelated onSize.
  frame.refuse = true;
  plug->ApplyEditorSize(500, 300);
  view->onSize(&hostRect);
  EXPECT_EQ(plug->log, (std::vector<std::string>{"resized"}));
  EXPECT_EQ(frame.refs, 1) << "the frame is borrowed, never counted";
  view->release();
  plug->release();
}

TEST(IPlugVST3View, DestroyingOneViewLeavesTheOtherUsable) {
  auto* plug = new ViewProduct(true);
  ComponentHandler handler;
  MenuHandler menus;
  handler.menus = &menus;
  plug->setComponentHandler(&handler);
  IPlugView* first = plug->createView("editor");
  IPlugView* second = plug->createView("editor");
  HostFrame firstFrame, secondFrame;
  first->setFrame(&firstFrame);
  second->setFrame(&secondFrame);
  ASSERT_EQ(first->attached(kParent, "HWND"), kResultOk);

  // The host lets go of the first view without removing it: its window closes.
  first->release();
  EXPECT_EQ(plug->OpenViews().size(), 1u);
  EXPECT_FALSE(plug->Editor()->HasWindow());
  EXPECT_EQ(plug->log, (std::vector<std::string>{"open", "opened", "closed", "close"}));

  plug->ApplyEditorSize(320, 240);
  EXPECT_TRUE(firstFrame.requests.empty());
  EXPECT_EQ(secondFrame.requests.size(), 1u);
  plug->ShowHostContextMenu(0, 5, 6);
  ASSERT_EQ(menus.requests.size(), 1u);
  EXPECT_EQ(menus.requests[0].first, second);
  EXPECT_EQ(second->attached(kParent, "HWND"), kResultOk);
  EXPECT_EQ(second->removed(), kResultOk);
  second->release();
  EXPECT_TRUE(plug->OpenViews().empty());
  plug->setComponentHandler(nullptr);
  plug->release();
}
