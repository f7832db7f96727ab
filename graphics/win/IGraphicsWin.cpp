// IGraphicsWin: the editor window's life, its window procedure, the redraw
// timer, mouse and keyboard input, and copying the back buffer to the screen.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <type_traits>

#include "framework/IPlugBase.h"
#include "graphics/win/IGraphicsWin.h"

static_assert(std::is_same_v<decltype(&IGraphicsWin::WindowProc), WNDPROC>,
              "the window procedures are declared with the Win32 parameter types");

namespace {

constexpr char kWindowClassName[] = "IPlugWndClass";
constexpr char kWindowTitle[] = "IPlug";
constexpr UINT_PTR kRedrawTimerId = 2;
constexpr int kWheelNotch = WHEEL_DELTA;

// Open editor windows of this module and whether the class is registered: the
// class lives while any window of it does. Used on the user-interface thread only.
int gWindowCount = 0;
bool gClassRegistered = false;
// Set while a key is with the host's top-level window.
bool gPassingKeyOn = false;

bool RegisterWindowClass(HINSTANCE module) {
  if (gClassRegistered) return true;
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &IGraphicsWin::WindowProc;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  // A class left behind by a window the host destroyed is still ours.
  gClassRegistered = RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return gClassRegistered;
}

IMouseKeys KeysFromFlags(WPARAM flags) {
  IMouseKeys keys;
  keys.left = (flags & MK_LBUTTON) != 0;
  keys.right = (flags & MK_RBUTTON) != 0;
  keys.shift = (flags & MK_SHIFT) != 0;
  keys.control = (flags & MK_CONTROL) != 0;
  keys.alt = GetKeyState(VK_MENU) < 0;
  return keys;
}

// The editor's key code for a virtual key, or -1. Letters of either case
// arrive as 'A' to 'Z'; the codes of the lower-case letters belong to the
// numeric keypad and the function keys, which stay unmapped.
int KeyCodeFor(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_SPACE: return kKeySpace;
    case VK_UP: return kKeyUp;
    case VK_DOWN: return kKeyDown;
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    default: break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') return kKeyDigit0 + static_cast<int>(virtualKey - '0');
  if (virtualKey >= 'A' && virtualKey <= 'Z') return kKeyLetterA + static_cast<int>(virtualKey - 'A');
  return -1;
}

RECT ToRect(const IBounds& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

// A child window that is not an MDI child: its parent follows a resize.
bool IsPlainChild(HWND window) {
  return window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) &&
         !(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

void GrowWindow(HWND window, int dw, int dh) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
}

}  // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance)
    : IGraphics(plug, width, height, frameRate), moduleInstance_(static_cast<HINSTANCE>(moduleInstance)) {}

IGraphicsWin::~IGraphicsWin() {
  CloseWindow();
  // The class may outlive a window the host destroyed; this is the last chance.
  UnregisterClassIfLast();
}

// --- Window life ---------------------------------------------------------------

void* IGraphicsWin::OpenWindow(void* parent) {
  HWND parentWindow = static_cast<HWND>(parent);
  if (!parentWindow || !IsWindow(parentWindow)) return nullptr;
  parentWindow_ = parentWindow;
  int x = 0;
  int y = 0;
  int width = Width();
  int height = Height();
  if (window_) {
    // A second open keeps the window's place relative to the new parent's
    // client area, where a child window's position is given.
    RECT own;
    if (GetWindowRect(window_, &own)) {
      width = own.right - own.left;
      height = own.bottom - own.top;
      MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&own), 2);
      x = own.left;
      y = own.top;
    }
    CloseWindow();
  }

  if (gWindowCount++ == 0 && !RegisterWindowClass(moduleInstance_)) {
    --gWindowCount;
    return nullptr;
  }
  HWND created = CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_CHILD | WS_VISIBLE, x, y, width, height,
                                 parentWindow, nullptr, moduleInstance_, this);
  if (!created) {
    window_ = nullptr;
    --gWindowCount;
    UnregisterClassIfLast();
    return nullptr;
  }
  window_ = created;
  for (int i = 0; i < ControlCount(); ++i) GetControl(i)->MarkDirty(false);
  if (TooltipsEnabled() && !OpenTooltips()) SetTooltipsEnabled(false);
  return window_;
}

bool IGraphicsWin::OpenTooltips() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES};
  if (!InitCommonControlsEx(&controls)) return false;
  tooltipWindow_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   moduleInstance_, nullptr);
  if (!tooltipWindow_) return false;
  SetWindowPos(tooltipWindow_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  if (!SendMessageA(tooltipWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
    DestroyWindow(tooltipWindow_);
    tooltipWindow_ = nullptr;
    return false;
  }
  return true;
}

void IGraphicsWin::CloseWindow() {
  if (!window_) {
    UnregisterClassIfLast();
    return;
  }
  ReleaseWindowParts();
  HWND window = window_;
  window_ = nullptr;
  // Messages still on their way (this may run inside one) find no editor.
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  KillTimer(window, kRedrawTimerId);
  if (GetCapture() == window) ReleaseCapture();
  DestroyWindow(window);
  --gWindowCount;
  UnregisterClassIfLast();
}

void IGraphicsWin::UnregisterClassIfLast() {
  if (gWindowCount != 0 || !gClassRegistered) return;
  if (UnregisterClassA(kWindowClassName, moduleInstance_)) gClassRegistered = false;
}

// --- Window procedure ------------------------------------------------------------

IGraphicsWin* IGraphicsWin::FromWindow(HWND window) {
  if (!window) return nullptr;
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return editor && editor->window_ == window ? editor : nullptr;
}

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (auto* editor = static_cast<IGraphicsWin*>(creation->lpCreateParams)) editor->OnCreate(window);
    return 0;
  }
  IGraphicsWin* editor = FromWindow(window);
  if (!editor) return DefWindowProcA(window, message, wParam, lParam);
  const MessageResult result = editor->HandleMessage(message, wParam, lParam);
  if (result.handled) return result.value;
  // The editor may be closed by the host while it handles the key: only the
  // window handle is used from here on.
  if ((message == WM_KEYDOWN || message == WM_KEYUP) && !gPassingKeyOn) {
    HWND topLevel = GetAncestor(window, GA_ROOT);
    if (topLevel && topLevel != window) {
      // A host that hands the key back to the focused window must not start
      // an endless exchange.
      gPassingKeyOn = true;
      SendMessageA(topLevel, message, wParam, lParam);
      gPassingKeyOn = false;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void IGraphicsWin::OnCreate(HWND window) {
  window_ = window;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetTimer(window, kRedrawTimerId, static_cast<UINT>(TimerPeriodMs()), nullptr);
  SetFocus(window);
}

IGraphicsWin::MessageResult IGraphicsWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  if (message == WM_DESTROY) {
    OnDestroyedElsewhere();
    return {};
  }
  if (entryWindow_ && entryState_ == TextEntryState::Editing) {
    // While the entry has the focus the panel takes no input and no redraw;
    // a click on it drops the entry.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      entryState_ = TextEntryState::CancelRequested;
      return {};
    }
    // The release of the press that opened the entry still ends that press:
    // kept, the capture would bring a click into the entry here, dropping it,
    // and the host would stay in the edit gesture.
    if (message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP)
      return OnButtonUp(x, y, KeysFromFlags(wParam));
    return {0, false};
  }
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return {};
    case WM_PAINT: OnPaint(); return {};
    case WM_CLOSE: CloseWindow(); return {};
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_KEYUP: return {0, false};
    case WM_TIMER:
      if (wParam != kRedrawTimerId) return {0, false};
      OnTimerTick();
      return {};
    case WM_CTLCOLOREDIT: return {OnEntryColour(reinterpret_cast<void*>(wParam)), true};
    case WM_MOUSEMOVE: OnMouseMove(x, y, KeysFromFlags(wParam)); return {};
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: OnButtonDown(x, y, KeysFromFlags(wParam)); return {};
    // A middle press is captured and begins a gesture like the others.
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnButtonUp(x, y, KeysFromFlags(wParam));
    case WM_LBUTTONDBLCLK:
      HandleDoubleClick(x, y, KeysFromFlags(wParam));
      // A control taking the double-click as a press holds the capture.
      if (Capture() >= 0) SetCapture(window_);
      return {};
    case WM_MOUSEWHEEL:
      OnWheel(lParam, KeysFromFlags(GET_KEYSTATE_WPARAM(wParam)), GET_WHEEL_DELTA_WPARAM(wParam));
      return {};
    case WM_MOUSEHOVER: OnHover(); return {};
    case WM_MOUSELEAVE:
      HideTooltip();
      HandleMouseOut();
      return {};
    default: return {0, false};
  }
}

// Destroyed by someone else (the host's window went first): forget the window
// so that a later close cannot destroy whatever reuses its handle. The class
// stays until the next close or the editor's destruction, since a window of it
// still exists at this point.
void IGraphicsWin::OnDestroyedElsewhere() {
  ReleaseWindowParts();
  window_ = nullptr;
  --gWindowCount;
}

// What an open window holds besides itself, given back however it closes: the
// text entry and its font, a concealed cursor, and the tooltip, which belongs
// to the host's top-level window and so may outlive ours (or be gone with it).
void IGraphicsWin::ReleaseWindowParts() {
  CloseTextEntry();
  RevealCursor();
  if (tooltipWindow_ && IsWindow(tooltipWindow_)) DestroyWindow(tooltipWindow_);
  tooltipWindow_ = nullptr;
  tooltipShown_ = false;
  tooltipControl_ = -1;
}

void IGraphicsWin::OnPaint() {
  RECT update;
  if (GetUpdateRect(window_, &update, FALSE)) {
    PaintRegion(IBounds{update.left, update.top, update.right, update.bottom});
  }
  // An empty panel presents nothing; the region must not ask again.
  ValidateRect(window_, nullptr);
}

bool IGraphicsWin::PresentRegion(const IBounds& region) {
  LICE_SysBitmap* backBuffer = BackBuffer();
  if (!window_ || !backBuffer || !backBuffer->DeviceContext()) return false;
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window_, &paint);
  if (screen) {
    BitBlt(screen, region.left, region.top, region.Width(), region.Height(), backBuffer->DeviceContext(),
           region.left, region.top, SRCCOPY);
  }
  EndPaint(window_, &paint);
  return screen != nullptr;
}

void IGraphicsWin::OnTimerTick() {
  if (entryWindow_ && entryState_ != TextEntryState::Idle) {
    switch (entryState_) {
      case TextEntryState::CommitRequested:
        CommitTextEntry();
        CloseTextEntry();
        break;
      case TextEntryState::CancelRequested: CloseTextEntry(); break;
      default: entryState_ = TextEntryState::Idle; break;
    }
    return;
  }
  IBounds dirty;
  if (!CollectDirtyArea(dirty)) return;
  const RECT area = ToRect(dirty);
  InvalidateRect(window_, &area, FALSE);
  if (entryWindow_) {
    // The panel must not paint over the open entry.
    const RECT entryArea = ToRect(entryControl_->Rect());
    ValidateRect(window_, &entryArea);
    UpdateWindow(window_);
    entryState_ = TextEntryState::Repainted;
  } else {
    UpdateWindow(window_);
  }
}

// --- Input -------------------------------------------------------------------

IGraphicsWin::MessageResult IGraphicsWin::OnKeyDown(WPARAM virtualKey) {
  const int code = KeyCodeFor(virtualKey);
  if (code < 0) return {0, false};
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(window_, &cursor);
  if (HandleKeyDown(cursor.x, cursor.y, code)) return {};
  return {0, false};
}

void IGraphicsWin::OnMouseMove(int x, int y, const IMouseKeys& keys) {
  if (keys.left || keys.right) {
    if (GetCapture() == window_ && !entryWindow_) HandleMouseDrag(x, y, keys);
    return;
  }
  if (!HandleMouseOver(x, y, keys)) return;
  TRACKMOUSEEVENT tracking = {sizeof(tracking), TME_LEAVE, window_, HOVER_DEFAULT};
  TrackMouseEvent(&tracking);
  if (!TooltipsEnabled() || Hovered() == tooltipControl_) return;
  tooltipControl_ = Hovered();
  if (tooltipControl_ >= 0) {
    tracking.dwFlags = TME_HOVER;
    TrackMouseEvent(&tracking);
  }
  HideTooltip();
}

void IGraphicsWin::OnButtonDown(int x, int y, const IMouseKeys& keys) {
  HideTooltip();
  if (entryWindow_) {
    // The press only commits the open entry.
    entryState_ = TextEntryState::CommitRequested;
    return;
  }
  SetFocus(window_);
  SetCapture(window_);
  HandleMouseDown(x, y, keys);
}

IGraphicsWin::MessageResult IGraphicsWin::OnButtonUp(int x, int y, const IMouseKeys& keys) {
  ReleaseCapture();
  HandleMouseUp(x, y, keys);
  return {};
}

void IGraphicsWin::OnWheel(LPARAM screenPos, const IMouseKeys& keys, int delta) {
  if (entryWindow_) {
    entryState_ = TextEntryState::CancelRequested;
    return;
  }
  RECT own;
  if (!GetWindowRect(window_, &own)) return;
  // Integer division drops the remainder: less than a notch is none.
  HandleWheel(GET_X_LPARAM(screenPos) - own.left, GET_Y_LPARAM(screenPos) - own.top, keys, delta / kWheelNotch);
}

// --- Tooltips ------------------------------------------------------------------

void IGraphicsWin::OnHover() {
  IControl* control = GetControl(tooltipControl_);
  if (!control) return;
  SetToolText(control->Tooltip().c_str());
  tooltipShown_ = true;
}

void IGraphicsWin::HideTooltip() {
  if (!tooltipShown_) return;
  SetToolText(nullptr);
  tooltipShown_ = false;
}

void IGraphicsWin::SetToolText(const char* text) {
  if (!tooltipWindow_) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltipWindow_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

// --- Resizing ----------------------------------------------------------------

void IGraphicsWin::ResizeEditor(int width, int height) {
  if (width == Width() && height == Height()) return;
  const int oldWidth = Width();
  const int oldHeight = Height();
  // The controls are about to be deleted: nothing may keep pointing at one.
  if (entryWindow_) CloseTextEntry();
  HideTooltip();
  tooltipControl_ = -1;
  IGraphics::ResizeEditor(width, height);
  // The core may refuse the size: the window follows what it took.
  const int dw = Width() - oldWidth;
  const int dh = Height() - oldHeight;
  if (!window_ || (dw == 0 && dh == 0)) return;
  GrowWindow(window_, dw, dh);
  // A VST 3 host sizes its own frame; VST 2.4 hosts expect the plug-in to.
  if (Plug() && Plug()->GetPluginApi() == PluginApi::Vst2 && IsPlainChild(window_)) {
    HWND parent = GetParent(window_);
    GrowWindow(parent, dw, dh);
    if (IsPlainChild(parent)) GrowWindow(GetParent(parent), dw, dh);
  }
  InvalidateRect(window_, nullptr, FALSE);
}
