// IGraphicsWin: the one-line text entry over a control, its character filter
// and the commit or cancel that the redraw timer carries out.
#include <windows.h>

#include "framework/IParamDef.h"
#include "graphics/win/IGraphicsWin.h"
#include "lice/LICE_SystemFont.h"

namespace {

constexpr int kEntryControlId = 99;
// Characters read back from an entry when it is committed.
constexpr int kEntryTextSize = 32;

DWORD AlignmentStyle(int alignment) {
  switch (alignment) {
    case kAlignCentre: return ES_CENTER;
    case kAlignRight: return ES_RIGHT;
    default: return ES_LEFT;
  }
}

// Numbers are typed as digits and signs; only a continuous parameter takes a point.
bool AcceptsCharacter(ParamKind kind, WPARAM c) {
  if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
  return c == '.' && kind == ParamKind::Continuous;
}

}  // namespace

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect,
                                 const char* initialText, const IParamDef* param) {
  if (!control || entryWindow_ || !window_) return;
  HWND entry = CreateWindowExA(0, "EDIT", initialText ? initialText : "",
                               WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE | AlignmentStyle(style.alignment),
                               rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryControlId)), moduleInstance_,
                               nullptr);
  if (!entry) return;
  LICE_FontRequest font;
  font.height = style.size;
  font.bold = style.style == kTextBold;
  font.italic = style.style == kTextItalic;
  font.face = style.face;
  entryFont_ = LICE_CreateSystemFont(font);
  if (entryFont_) SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);
  SendMessageA(entry, EM_LIMITTEXT, static_cast<WPARAM>(control->EntryLengthLimit()), 0);
  SendMessageA(entry, EM_SETSEL, 0, -1);

  entryWindow_ = entry;
  entryControl_ = control;
  entryParam_ = param;
  entryStyle_ = style;
  // Subclassed before it takes the focus, so that the focus it gets is seen
  // and a click on the panel then drops the entry.
  entryPreviousProc_ =
      SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWin::EntryProc));
  SetFocus(entry);
}

LRESULT CALLBACK IGraphicsWin::EntryProc(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  IGraphicsWin* editor = FromWindow(GetParent(entry));
  if (!editor || editor->entryWindow_ != entry) return DefWindowProcA(entry, message, wParam, lParam);
  return editor->HandleEntryMessage(entry, message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(HWND entry, UINT message, WPARAM wParam, LPARAM lParam) {
  HideTooltip();
  const auto previous = reinterpret_cast<WNDPROC>(entryPreviousProc_);
  switch (message) {
    case WM_SETFOCUS: entryState_ = TextEntryState::Editing; break;
    case WM_KILLFOCUS:
      // Leaving the entry commits it, unless Escape already cancelled it.
      if (entryState_ != TextEntryState::CancelRequested) entryState_ = TextEntryState::CommitRequested;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        entryState_ = TextEntryState::CommitRequested;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        entryState_ = TextEntryState::CancelRequested;
        return 0;
      }
      break;
    case WM_CHAR:
      if (entryParam_ && wParam != VK_BACK && !AcceptsCharacter(entryParam_->Kind(), wParam)) return 0;
      break;
    case WM_GETDLGCODE:
      if (!entryParam_) {
        LRESULT code = CallWindowProcA(previous, entry, message, wParam, lParam);
        const auto* query = reinterpret_cast<const MSG*>(lParam);
        if (query && query->message == WM_KEYDOWN && query->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        entryState_ = TextEntryState::CommitRequested;
        return 0;
      }
      break;
    default: break;
  }
  return CallWindowProcA(previous, entry, message, wParam, lParam);
}

void IGraphicsWin::CancelTextEntry() { entryState_ = TextEntryState::CancelRequested; }

void IGraphicsWin::CommitTextEntry() {
  char text[kEntryTextSize] = {};
  GetWindowTextA(entryWindow_, text, kEntryTextSize);
  CommitEnteredText(entryControl_, entryParam_, text);
}

void IGraphicsWin::CloseTextEntry() {
  if (entryWindow_) {
    SetWindowLongPtrA(entryWindow_, GWLP_WNDPROC, entryPreviousProc_);
    DestroyWindow(entryWindow_);
  }
  if (entryFont_) DeleteObject(entryFont_);
  entryFont_ = nullptr;
  entryWindow_ = nullptr;
  entryControl_ = nullptr;
  entryParam_ = nullptr;
  entryPreviousProc_ = 0;
  entryState_ = TextEntryState::Idle;
}

LRESULT IGraphicsWin::OnEntryColour(void* deviceContext) {
  if (!entryWindow_) return 0;
  HDC dc = static_cast<HDC>(deviceContext);
  const IColorARGB& back = entryStyle_.entryBackground;
  const IColorARGB& fore = entryStyle_.entryForeground;
  SetBkColor(dc, RGB(back.r, back.g, back.b));
  SetTextColor(dc, RGB(fore.r, fore.g, fore.b));
  SetBkMode(dc, OPAQUE);
  // The stock brush fills the rest of the entry in the same background.
  SetDCBrushColor(dc, RGB(back.r, back.g, back.b));
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}
