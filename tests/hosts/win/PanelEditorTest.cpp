// The built modules' editor, shown as hosts show it. VST 3: the view asked
// for, attached into a window the suite owns, read back from the screen,
// dragged and right-clicked through window messages, removed and released.
// VST 2.4: the same panel opened and closed through the dispatcher.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVROLayout.h"
#include "tests/lice/FileBytes.h"
#include "tests/lice/PixelTestSupport.h"
#include "tests/hosts/Vst2Module.h"
#include "tests/support/Vst2TestHost.h"
#include "tests/vst3/Vst3TestHost.h"
#include "vst3/tools/Vst3ModuleLoader.h"

using namespace vst3;
using namespace vst3test;

namespace {

constexpr char kEditorClass[] = "IPlugWndClass";
constexpr int kWidth = ZAVROLayout::kEditorWidth;
constexpr int kHeight = ZAVROLayout::kEditorHeight;

// The host's frame: this editor never asks to be resized.
class HostFrame : public HostObject<IPlugFrame> {
public:
  tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }
};

// A top-level window large enough to show the whole panel, for the suite's life.
HWND HostWindow() {
  static HWND window = [] {
    WNDCLASSA host = {};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = GetModuleHandleA(nullptr);
    host.lpszClassName = "ZavroVst3TestHost";
    RegisterClassA(&host);
    return CreateWindowExA(0, host.lpszClassName, "host", WS_POPUP | WS_VISIBLE, 0, 0, kWidth + 40, kHeight + 40,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }();
  return window;
}

// Dispatches every message for about ms milliseconds, or until done answers
// true (checked between batches: a loaded machine may need more ticks).
template <class Done>
void PumpUntil(Done done, int ms = 3000) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return;
    Sleep(5);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}
void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

// The window's pixels as 0x00RRGGBB, row by row.
std::vector<std::uint32_t> Capture(HWND window) {
  std::vector<std::uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
  GdiFlush();
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<const std::uint32_t*>(bits)[i] & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

// The committed background image, decoded.
std::unique_ptr<LICE_MemBitmap> Background() {
  const std::vector<unsigned char> bytes =
      testing_lice::ReadFileBytes(std::string(ZAVRO_SOURCE_DIR) + "/" + ZAVROLayout::StripOf(101).fileName);
  return std::unique_ptr<LICE_MemBitmap>(DecodePngImage(bytes.data(), static_cast<int>(bytes.size())));
}

struct Box {
  int left, top, right, bottom;
  bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
};

// Every rectangle of a control drawn over the background, from the layout.
std::vector<Box> ControlBoxes() {
  std::vector<Box> boxes;
  for (const auto& c : ZAVROLayout::kBitmapControls) {
    if (c.kind == ZAVROLayout::ControlKind::Background) continue;
    const auto& strip = ZAVROLayout::StripOf(c.resourceId);
    boxes.push_back({c.left, c.top, c.left + strip.frameWidth, c.top + strip.frameHeight});
  }
  for (const auto& c : ZAVROLayout::kCaptions) boxes.push_back({c.left, c.top, c.right, c.bottom});
  return boxes;
}

// What differs from the whole panel on screen: pixels off the background
// where no control lies, and the controls not drawn over it (1-based).
struct PanelDifferences {
  int backgroundMismatches = 0;
  std::vector<int> undrawn;
  bool None() const { return backgroundMismatches == 0 && undrawn.empty(); }
};

PanelDifferences CompareWithPanel(HWND editor, const LICE_MemBitmap& bg) {
  const std::vector<std::uint32_t> shown = Capture(editor);
  auto bgAt = [&](int x, int y) { return testing_lice::GetPixel(bg, x, y) & 0xFFFFFF; };
  auto shownAt = [&](int x, int y) { return shown[static_cast<size_t>(y) * kWidth + x]; };
  const std::vector<Box> boxes = ControlBoxes();
  PanelDifferences d;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool covered = false;
      for (const Box& b : boxes) covered = covered || b.Contains(x, y);
      if (!covered) d.backgroundMismatches += shownAt(x, y) != bgAt(x, y);
    }
  }
  for (size_t i = 0; i < boxes.size(); ++i) {
    int drawn = 0;
    for (int y = boxes[i].top; y < boxes[i].bottom; ++y)
      for (int x = boxes[i].left; x < boxes[i].right; ++x) drawn += shownAt(x, y) != bgAt(x, y);
    if (drawn <= 4) d.undrawn.push_back(static_cast<int>(i) + 1);
  }
  return d;
}

// The editor's first timer ticks paint the whole panel: the background exact
// wherever no control lies, and all 45 controls and captions drawn over it.
void ExpectWholePanel(HWND editor) {
  const std::unique_ptr<LICE_MemBitmap> bg = Background();
  ASSERT_NE(bg, nullptr);
  ASSERT_EQ(ControlBoxes().size(), 45u);
  PanelDifferences d;
  PumpUntil([&] { return (d = CompareWithPanel(editor, *bg)).None(); });
  EXPECT_EQ(d.backgroundMismatches, 0);
  EXPECT_EQ(d.undrawn, std::vector<int>{});
}

class Vst3Editor : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Loaded()) << module_.Error();
    factory_ = module_.Enter();
    ASSERT_NE(factory_, nullptr);
    PClassInfo info{};
    ASSERT_EQ(factory_->getClassInfo(0, &info), kResultOk);
    void* obj = nullptr;
    ASSERT_EQ(factory_->createInstance(info.cid, IAudioProcessor::iid.data, &obj), kResultOk);
    processor_ = static_cast<IAudioProcessor*>(obj);
    ASSERT_EQ(processor_->queryInterface(IEditController::iid.data, &obj), kResultOk);
    controller_ = static_cast<IEditController*>(obj);
    ASSERT_EQ(controller_->initialize(&host_), kResultOk);
    handler_.menus = &menus_;
    ASSERT_EQ(controller_->setComponentHandler(&handler_), kResultOk);
    ASSERT_NE(HostWindow(), nullptr);
  }
  void TearDown() override {
    if (controller_) {
      controller_->setComponentHandler(nullptr);
      controller_->terminate();
      controller_->release();
    }
    // The last reference: nothing (no view) holds the instance any longer.
    if (processor_) {
      EXPECT_EQ(processor_->release(), 0u);
    }
    if (factory_) factory_->release();
    module_.Exit();
  }

  HWND EditorWindow() { return FindWindowExA(HostWindow(), nullptr, kEditorClass, nullptr); }

  Vst3ModuleLoader module_{ZAVRO_VST3_MODULE_PATH};
  IPluginFactory* factory_ = nullptr;
  IAudioProcessor* processor_ = nullptr;
  IEditController* controller_ = nullptr;
  HostApplication host_{"ZAVRO editor test"};
  ComponentHandler handler_;
  MenuHandler menus_;
  HostFrame frame_;
};

}  // namespace

TEST_F(Vst3Editor, OpensPaintsTakesGesturesAndCloses) {
  IPlugView* view = controller_->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultTrue);
  ViewRect size{};
  EXPECT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.right - size.left, kWidth);
  EXPECT_EQ(size.bottom - size.top, kHeight);
  EXPECT_EQ(view->setFrame(&frame_), kResultOk);
  ASSERT_EQ(view->attached(HostWindow(), "HWND"), kResultOk);
  HWND editor = EditorWindow();
  ASSERT_NE(editor, nullptr);
  ExpectWholePanel(editor);

  // Up by the low gain knob's whole height (59) at gearing 4: 0.5 + 0.25.
  const auto& knob = ZAVROLayout::kBitmapControls[6];
  const int x = knob.left + 29;
  const int y = knob.top + 29;
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y - 59));
  PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(x, y - 59));
  PumpUntil([&] { return handler_.calls.size() >= 3; });
  EXPECT_EQ(handler_.calls, (std::vector<std::string>{"begin 0", "perform 0 0.750000", "end 0"}));

  // The right button asks the host for its menu of the parameter, at the pointer.
  PostMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
  PostMessageA(editor, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
  PumpUntil([&] { return !menus_.menu.popups.empty(); });
  ASSERT_EQ(menus_.requests.size(), 1u);
  EXPECT_EQ(menus_.requests[0].first, view);
  EXPECT_EQ(menus_.requests[0].second, 0u);
  EXPECT_EQ(menus_.menu.popups, (std::vector<std::pair<int, int>>{{x, y}}));

  EXPECT_EQ(view->removed(), kResultOk);
  Pump(20);
  EXPECT_EQ(EditorWindow(), nullptr);
  EXPECT_EQ(view->release(), 0u);
}

TEST(Vst2Editor, OpensTheWholePanelInTheHostsWindowAndClosesIt) {
  Vst2Module module(ZAVRO_VST2_MODULE_PATH);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  Vst2TestHost host;
  AEffect* effect = host.Create(module.Find("VSTPluginMain"));
  ASSERT_NE(effect, nullptr);
  Dispatch(effect, effOpen);
  EXPECT_EQ(Dispatch(effect, effEditOpen, 0, 0, HostWindow()), 1);
  HWND editor = FindWindowExA(HostWindow(), nullptr, kEditorClass, nullptr);
  ASSERT_NE(editor, nullptr);
  ExpectWholePanel(editor);
  Dispatch(effect, effEditClose);
  Pump(20);
  EXPECT_EQ(FindWindowExA(HostWindow(), nullptr, kEditorClass, nullptr), nullptr);
  Dispatch(effect, effClose);
}
