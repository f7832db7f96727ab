// The editor window of a loaded VST 2.4 module, driven as a host drives it: the
// suite owns top-level windows, asks the module to open its editor inside
// them, pumps their messages, posts mouse, wheel and key messages to the
// editor window and reads what reached the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/graphics/win/TestPanel.h"
#include "tests/hosts/Vst2Module.h"
#include "tests/support/Vst2TestHost.h"

namespace {

using namespace test_panel;

constexpr char kEditorClass[] = "IPlugWndClass";
constexpr char kHostClass[] = "ZavroTestHostWindow";

Vst2Module& Module() {
  static Vst2Module module(ZAVRO_TEST_PANEL_PATH);
  return module;
}

bool EditorClassRegistered() {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA("ZavroTestPanel.dll"), kEditorClass, &info) != 0;
}

// Keys that reached a host window. Like some hosts, it hands every key back
// to the editor inside it.
std::vector<WPARAM> gHostKeys;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    gHostKeys.push_back(wParam);
    HWND editor = FindWindowExA(window, nullptr, kEditorClass, nullptr);
    if (editor) SendMessageA(editor, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Host windows live as long as the suite: under Wine on a display without a
// window manager, destroying a top-level window waits two seconds.
HWND HostWindow(int which = 0) {
  static HWND windows[2] = {};
  static const bool registered = [] {
    WNDCLASSA host = {};
    host.lpfnWndProc = HostWindowProc;
    host.hInstance = GetModuleHandleA(nullptr);
    host.lpszClassName = kHostClass;
    return RegisterClassA(&host) != 0;
  }();
  if (!registered) return nullptr;
  HWND& window = windows[which];
  if (!IsWindow(window)) {
    window = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 50 + 420 * which, 50, 400, 300,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  SetForegroundWindow(window);
  return window;
}

// Dispatches every message for about ms milliseconds; WM_TIMER messages of
// the given window are timed.
void Pump(int ms, HWND timed = nullptr, std::vector<DWORD>* ticks = nullptr) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (ticks && message.hwnd == timed && message.message == WM_TIMER && message.wParam == 2)
        ticks->push_back(message.time);
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

// The ticks needed for any change to reach the screen: two 40 ms periods and slack.
void PumpTicks() { Pump(200); }

COLORREF Colour(std::uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// One plug-in instance with its scripted host and, once opened, its editor.
class PanelInstance {
public:
  PanelInstance() {
    if (Vst2Entry entry = Module().Find("VSTPluginMain")) effect = host.Create(entry);
    if (effect) Dispatch(effect, effOpen);
  }
  ~PanelInstance() {
    if (effect) Dispatch(effect, effClose);
  }
  PanelInstance(const PanelInstance&) = delete;
  PanelInstance& operator=(const PanelInstance&) = delete;

  // The editor window inside parent, or null.
  HWND Open(HWND parent) {
    if (!Dispatch(effect, effEditOpen, 0, 0, parent)) return nullptr;
    return FindWindowExA(parent, nullptr, kEditorClass, nullptr);
  }
  VstIntPtr Close() { return Dispatch(effect, effEditClose); }
  float Param(int index) { return effect->getParameter(effect, index); }

  Vst2TestHost host;
  AEffect* effect = nullptr;
};

class EditorWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Module().Loaded());
    hostWindow = HostWindow();
    ASSERT_NE(hostWindow, nullptr);
    plug = std::make_unique<PanelInstance>();
    ASSERT_NE(plug->effect, nullptr);
    gHostKeys.clear();
    OpenPainted();
    ASSERT_NE(editor, nullptr);
  }
  void TearDown() override {
    plug.reset();
    Pump(20);
    // Every path closes what it opened: no window of the class is left.
    EXPECT_FALSE(EditorClassRegistered());
  }

  // Opens the editor and lets the first ticks paint it.
  void OpenPainted() {
    editor = plug->Open(hostWindow);
    PumpTicks();
  }

  HWND hostWindow = nullptr;
  std::unique_ptr<PanelInstance> plug;
  HWND editor = nullptr;
};

TEST_F(EditorWindowTest, OpensAsChildOfHostWindowAtEditorSize) {
  EXPECT_TRUE(plug->effect->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  ASSERT_EQ(Dispatch(plug->effect, effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, kWidth);
  EXPECT_EQ(rect->bottom - rect->top, kHeight);
  EXPECT_EQ(GetParent(editor), hostWindow);
  EXPECT_TRUE(GetWindowLongPtrA(editor, GWL_STYLE) & WS_CHILD);
  RECT client;
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, kWidth);
  EXPECT_EQ(client.bottom, kHeight);
  char title[16] = {};
  GetWindowTextA(editor, title, sizeof(title));
  EXPECT_STREQ(title, "IPlug");
}

TEST_F(EditorWindowTest, FirstTicksPaintEveryControl) {
  EXPECT_EQ(PixelAt(editor, 2, 2), Colour(kBackgroundColour));
  // Both knobs at 0.5 show frame 6 of 11; the switch is off.
  EXPECT_EQ(PixelAt(editor, kGainKnob.CentreX(), kGainKnob.CentreY()), Colour(KnobFrameColour(6)));
  EXPECT_EQ(PixelAt(editor, kTrimKnob.CentreX(), kTrimKnob.CentreY()), Colour(KnobFrameColour(6)));
  EXPECT_EQ(PixelAt(editor, kSwitch.CentreX(), kSwitch.CentreY()), Colour(kSwitchOffColour));
  // The image the module lacks draws nothing over the background.
  EXPECT_EQ(PixelAt(editor, kMissingImage.left, kMissingImage.top), Colour(kBackgroundColour));
  // The caption's text is drawn in white somewhere within its rectangle.
  int textPixels = 0;
  for (int y = kGainCaption.top; y < kGainCaption.bottom; ++y) {
    for (int x = kGainCaption.left; x < kGainCaption.right; ++x)
      textPixels += PixelAt(editor, x, y) != Colour(kBackgroundColour);
  }
  EXPECT_GT(textPixels, 5);
}

TEST_F(EditorWindowTest, RedrawTimerTicksEvery40MsAt25FramesPerSecond) {
  std::vector<DWORD> ticks;
  Pump(1000, editor, &ticks);
  ASSERT_GE(ticks.size(), 10u);
  std::vector<DWORD> periods;
  for (size_t i = 1; i < ticks.size(); ++i) periods.push_back(ticks[i] - ticks[i - 1]);
  std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
  const DWORD median = periods[periods.size() / 2];
  EXPECT_GE(median, 35u);
  EXPECT_LE(median, 70u);  // slack for a loaded machine
}

TEST_F(EditorWindowTest, KnobDragReachesHostAsAutomationBetweenBeginAndEndEdit) {
  plug->host.ClearCalls();
  const int x = kGainKnob.CentreX();
  const int y = kGainKnob.CentreY();
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  // Up by half the knob's height at gearing 4: +0.125.
  PostMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, At(x, y - kKnobSize / 2));
  PostMessageA(editor, WM_LBUTTONUP, 0, At(x, y - kKnobSize / 2));
  PumpTicks();

  std::vector<Vst2TestHost::Call> edits;
  for (const auto& call : plug->host.Calls()) {
    if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterAutomate ||
        call.opcode == audioMasterEndEdit)
      edits.push_back(call);
  }
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(edits[1].opcode, audioMasterAutomate);
  EXPECT_FLOAT_EQ(edits[1].opt, 0.625f);
  EXPECT_EQ(edits[2].opcode, audioMasterEndEdit);
  for (const auto& call : edits) EXPECT_EQ(call.index, kGain);
  EXPECT_FLOAT_EQ(plug->Param(kGain), 0.625f);
  // 0.625 of ten steps rounds to frame 7.
  EXPECT_EQ(PixelAt(editor, x, y), Colour(KnobFrameColour(7)));
}

TEST_F(EditorWindowTest, WheelMovesKnobByAHundredthPerWholeNotch) {
  POINT knob = {kGainKnob.CentreX(), kGainKnob.CentreY()};
  ClientToScreen(editor, &knob);
  PostMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(knob.x, knob.y));
  Pump(50);
  EXPECT_FLOAT_EQ(plug->Param(kGain), 0.51f);
  PostMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA - 1), At(knob.x, knob.y));
  Pump(50);
  EXPECT_FLOAT_EQ(plug->Param(kGain), 0.51f);
}

TEST_F(EditorWindowTest, CaptionDoubleClickOpensTextEntryReturnCommitsEscapeOrAClickCancels) {
  auto openEntry = [&] {
    PostMessageA(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, At(kGainCaption.CentreX(), kGainCaption.CentreY()));
    Pump(50);
    return FindWindowExA(editor, nullptr, "EDIT", nullptr);
  };
  auto type = [](HWND entry, const char* text) {
    for (const char* c = text; *c; ++c) PostMessageA(entry, WM_CHAR, static_cast<WPARAM>(*c), 0);
    Pump(50);
  };

  HWND entry = openEntry();
  ASSERT_NE(entry, nullptr);
  // The initial text is selected: typing replaces it; a letter is swallowed.
  type(entry, "6x.5");
  char text[32] = {};
  GetWindowTextA(entry, text, sizeof(text));
  EXPECT_STREQ(text, "6.5");
  PostMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  PumpTicks();
  EXPECT_FALSE(IsWindow(entry));
  EXPECT_FLOAT_EQ(plug->Param(kGain), static_cast<float>((6.5 + 12.0) / 24.0));

  // Escape, or a click on the panel while the entry has the focus, drops the
  // text; so does Escape when the focus leaves before the next tick.
  enum class Cancel { Escape, Click, EscapeThenFocusLeaves };
  for (const Cancel how : {Cancel::Escape, Cancel::Click, Cancel::EscapeThenFocusLeaves}) {
    SCOPED_TRACE(static_cast<int>(how));
    entry = openEntry();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GetFocus(), entry);
    type(entry, "3");
    if (how == Cancel::Click) {
      PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    } else {
      SendMessageA(entry, WM_KEYDOWN, VK_ESCAPE, 0);
      if (how == Cancel::EscapeThenFocusLeaves) SetFocus(editor);
    }
    PumpTicks();
    EXPECT_FALSE(IsWindow(entry));
    EXPECT_FLOAT_EQ(plug->Param(kGain), static_cast<float>((6.5 + 12.0) / 24.0));
  }
}

// Every release ends its press: the capture is given back and the host hears
// the end of the gesture, for a middle press and for the press that opened a
// text entry (which has taken the focus by the time the release comes).
TEST_F(EditorWindowTest, EveryReleaseEndsItsPressCaptureAndGesture) {
  const struct {
    UINT down, up;
    WPARAM flags;
    LPARAM at;
  } presses[] = {{WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, At(kGainKnob.CentreX(), kGainKnob.CentreY())},
                 {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, At(kGainCaption.CentreX(), kGainCaption.CentreY())}};
  for (const auto& press : presses) {
    SCOPED_TRACE(press.down);
    plug->host.ClearCalls();
    PostMessageA(editor, press.down, press.flags, press.at);
    PostMessageA(editor, press.up, 0, press.at);
    Pump(50);
    EXPECT_NE(GetCapture(), editor);
    EXPECT_EQ(plug->host.CallsOf(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(plug->host.CallsOf(audioMasterEndEdit).size(), 1u);
  }
  HWND entry = FindWindowExA(editor, nullptr, "EDIT", nullptr);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(GetFocus(), entry);
  SendMessageA(entry, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpTicks();
}

TEST_F(EditorWindowTest, ClickOnAListCaptionChoosesFromAPopupMenu) {
  const LPARAM caption = At(kModeCaption.CentreX(), kModeCaption.CentreY());
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, caption);
  // Taken by the menu's own loop once it is shown: the second item.
  PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(editor, WM_LBUTTONUP, 0, caption);
  PumpTicks();
  EXPECT_FLOAT_EQ(plug->Param(kMode), 0.5f);
}

TEST_F(EditorWindowTest, UnmappedKeyIsPassedToHostTopLevelWindowOnce) {
  PostMessageA(editor, WM_KEYDOWN, VK_F1, 0);
  Pump(50);
  EXPECT_EQ(std::count(gHostKeys.begin(), gHostKeys.end(), VK_F1), 1);
}

TEST_F(EditorWindowTest, ResizedEditorGrowsItsWindowTheHostWindowAndTheEditRectangle) {
  RECT host;
  GetWindowRect(hostWindow, &host);
  // The key goes to the key catcher when the mouse is over no control.
  POINT background = {2, 2};
  ClientToScreen(editor, &background);
  SetCursorPos(background.x, background.y);
  PostMessageA(editor, WM_KEYDOWN, 'R', 0);
  PumpTicks();

  RECT client;
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, kWidth + kGrowth);
  EXPECT_EQ(client.bottom, kHeight + kGrowth);
  RECT grown;
  GetWindowRect(hostWindow, &grown);
  EXPECT_EQ(grown.right - grown.left, host.right - host.left + kGrowth);
  EXPECT_EQ(grown.bottom - grown.top, host.bottom - host.top + kGrowth);
  ERect* rect = nullptr;
  ASSERT_EQ(Dispatch(plug->effect, effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, kWidth + kGrowth);
  // The rebuilt panel is painted.
  EXPECT_EQ(PixelAt(editor, kGainKnob.CentreX(), kGainKnob.CentreY()), Colour(KnobFrameColour(6)));
  EXPECT_TRUE(gHostKeys.empty());
  SetWindowPos(hostWindow, nullptr, 0, 0, host.right - host.left, host.bottom - host.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

// What the editor copies to the screen, and how long the last copy took, seen
// from a subclass of its window.
std::vector<RECT> gPainted;
double gPaintMicroseconds = 0.0;
WNDPROC gEditorProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return CallWindowProcA(gEditorProc, window, message, wParam, lParam);
  gPainted.emplace_back();
  GetUpdateRect(window, &gPainted.back(), FALSE);
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const LRESULT result = CallWindowProcA(gEditorProc, window, message, wParam, lParam);
  QueryPerformanceCounter(&end);
  gPaintMicroseconds = 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  return result;
}

long Area(const RECT& r) { return static_cast<long>(r.right - r.left) * (r.bottom - r.top); }

TEST_F(EditorWindowTest, IdleTicksCopyNothingAndAKnobChangeCopiesOnlyItsRectangle) {
  gEditorProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
  gPainted.clear();
  InvalidateRect(editor, nullptr, FALSE);
  UpdateWindow(editor);
  ASSERT_EQ(gPainted.size(), 1u);
  const long fullArea = Area(gPainted[0]);
  const double fullMicroseconds = gPaintMicroseconds;
  EXPECT_EQ(fullArea, kWidth * kHeight);

  gPainted.clear();
  Pump(400);  // ten ticks with nothing changing
  EXPECT_TRUE(gPainted.empty());

  // A value from the host is painted on the next two ticks, each time only the knob.
  plug->effect->setParameter(plug->effect, kTrim, 1.0f);
  PumpTicks();
  ASSERT_EQ(gPainted.size(), 2u);
  const RECT knob = {kTrimKnob.left, kTrimKnob.top, kTrimKnob.right, kTrimKnob.bottom};
  for (const RECT& r : gPainted) EXPECT_TRUE(EqualRect(&r, &knob));
  EXPECT_EQ(PixelAt(editor, kTrimKnob.CentreX(), kTrimKnob.CentreY()), Colour(KnobFrameColour(kKnobFrames)));
  std::printf("copied per tick: full panel %ld px in %.1f us; one knob %ld px (%.4f of the panel) in %.1f us\n",
              fullArea, fullMicroseconds, Area(knob), static_cast<double>(Area(knob)) / fullArea,
              gPaintMicroseconds);
  SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gEditorProc));
}

TEST_F(EditorWindowTest, ClassLivesWhileAnyEditorWindowOfTheModuleIsOpen) {
  PanelInstance other;
  for (const bool lastOpenedClosesFirst : {true, false}) {
    SCOPED_TRACE(lastOpenedClosesFirst ? "last opened closes first" : "first opened closes first");
    HWND otherEditor = other.Open(HostWindow(1));
    ASSERT_NE(otherEditor, nullptr);
    PanelInstance& first = lastOpenedClosesFirst ? other : *plug;
    PanelInstance& second = lastOpenedClosesFirst ? *plug : other;
    EXPECT_EQ(first.Close(), 1);
    EXPECT_TRUE(EditorClassRegistered());
    Pump(100);
    EXPECT_TRUE(IsWindow(lastOpenedClosesFirst ? editor : otherEditor));
    EXPECT_EQ(second.Close(), 1);
    EXPECT_FALSE(EditorClassRegistered());

    editor = plug->Open(hostWindow);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(EditorClassRegistered());
  }
}

TEST_F(EditorWindowTest, SecondOpenReplacesTheWindowKeepingItsPlace) {
  MoveWindow(editor, 10, 20, kWidth, kHeight, FALSE);
  HWND second = plug->Open(hostWindow);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(FindWindowExA(hostWindow, second, kEditorClass, nullptr), nullptr);
  POINT origin = {0, 0};
  MapWindowPoints(second, hostWindow, &origin, 1);
  EXPECT_EQ(origin.x, 10);
  EXPECT_EQ(origin.y, 20);
}

TEST_F(EditorWindowTest, AParentThatIsNoWindowGetsNoEditor) {
  // The open editor is closed too: the host asked for a new one.
  EXPECT_EQ(Dispatch(plug->effect, effEditOpen, 0, 0, reinterpret_cast<void*>(0x12340)), 0);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(EditorClassRegistered());
}

TEST_F(EditorWindowTest, WindowClosedByItsOwnMessageTheHostsWindowOrTheInstanceLeavesNothingBehind) {
  PostMessageA(editor, WM_CLOSE, 0, 0);
  Pump(100);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(EditorClassRegistered());
  EXPECT_EQ(plug->Close(), 1);

  // The host destroys its window before asking the editor to close.
  OpenPainted();
  ASSERT_NE(editor, nullptr);
  DestroyWindow(hostWindow);
  Pump(100);
  EXPECT_EQ(plug->Close(), 1);
  EXPECT_FALSE(EditorClassRegistered());
  hostWindow = HostWindow();
  OpenPainted();
  ASSERT_NE(editor, nullptr);

  // The instance closes with its editor open.
  plug.reset();
  EXPECT_FALSE(IsWindow(editor));
  Pump(100);  // ticks still queued find no editor
}

}  // namespace
