// The editor requests of IPlugVST against an editor whose window is a flag:
// the product's opened and closed hooks stay paired whatever the host asks.
#include <gtest/gtest.h>

#include <string>

#include "graphics/IGraphicsHeadless.h"
#include "tests/support/Vst2TestHost.h"
#include "vst2/IPlugVST.h"

namespace {

// Any parent but this one takes a window.
char gRefusingParent;

class FlagWindowEditor : public IGraphicsHeadless {
public:
  using IGraphicsHeadless::IGraphicsHeadless;
  void* OpenWindow(void* parent) override {
    if (parent == &gRefusingParent) return nullptr;
    open_ = true;
    return &open_;
  }
  void CloseWindow() override { open_ = false; }
  bool HasWindow() const override { return open_; }

private:
  bool open_ = false;
};

// Writes "O" for each opened and "C" for each closed hook.
class HookProduct : public IPlugVST {
public:
  // No parameters, stereo, one program.
  explicit HookProduct(audioMasterCallback callback)
      : IPlugVST(IPlugInstanceInfo{callback}, IPlugConfig{0, "2-2", 1}) {
    AttachEditor(new FlagWindowEditor(this, 100, 50, 25));
  }
  void OnEditorOpened() override { hooks += 'O'; }
  void OnEditorClosed() override { hooks += 'C'; }
  std::string hooks;
};

TEST(IPlugVSTEditor, OpenedAndClosedHooksStayPairedWhateverTheHostAsks) {
  Vst2TestHost host;
  auto* plug = new HookProduct(&Vst2TestHost::Callback);
  AEffect* effect = plug->Effect();
  effect->resvd1 = reinterpret_cast<VstIntPtr>(&host);
  char parent = 0;

  EXPECT_EQ(Dispatch(effect, effEditOpen), 0) << "no parent window";
  EXPECT_EQ(Dispatch(effect, effEditClose), 1) << "a close without an open";
  EXPECT_EQ(plug->hooks, "");
  EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, &parent), 1) << "a second open replaces the window";
  EXPECT_EQ(plug->hooks, "OCO");
  EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, &gRefusingParent), 0);
  EXPECT_EQ(plug->hooks, "OCOC");
  EXPECT_FALSE(plug->Editor()->HasWindow()) << "a failed open leaves no window";
  EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(Dispatch(effect, effEditClose), 1);
  EXPECT_EQ(Dispatch(effect, effEditClose), 1);
  EXPECT_EQ(plug->hooks, "OCOCOC");
  Dispatch(effect, effClose);
}

}  // namespace
