// IGraphicsWin: the platform services the editor core asks for — popup menus,
// message boxes, web addresses, file and colour dialogs, folders, the
// clipboard, the cursor and the module's PNG resources.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/IParamDef.h"
#include "graphics/win/IGraphicsWin.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"

namespace {

// Paths and file names are read into buffers of this many characters.
constexpr int kPathSize = 256;
constexpr int kFilterSize = 256;
constexpr int kDefaultExtensionSize = 16;
constexpr int kCustomColourCount = 16;

// --- Menus ---------------------------------------------------------------------
// A menu's items take the next free identifiers in order; the items of its
// submenus are numbered after all of its own. Building and searching walk the
// tree the same way, so the identifiers agree.

std::string MenuItemText(const IChoiceMenu& menu, int position) {
  const std::string& text = menu.items[static_cast<size_t>(position)].text;
  static const char* const kPrefixFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
  if (menu.prefixStyle < 1 || menu.prefixStyle > 3) return text;
  const int size = std::snprintf(nullptr, 0, kPrefixFormats[menu.prefixStyle - 1], position + 1, text.c_str());
  std::string shown(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(&shown[0], shown.size(), kPrefixFormats[menu.prefixStyle - 1], position + 1, text.c_str());
  shown.resize(static_cast<size_t>(size));
  return shown;
}

HMENU BuildMenu(const IChoiceMenu& menu, int& nextId) {
  HMENU built = CreatePopupMenu();
  if (!built) return nullptr;
  const int first = nextId;
  nextId += menu.ItemCount();
  for (int i = 0; i < menu.ItemCount(); ++i) {
    const IChoiceMenuItem& item = menu.items[static_cast<size_t>(i)];
    const std::string text = MenuItemText(menu, i);
    if (item.flags & kMenuItemSeparator) {
      AppendMenuA(built, MF_SEPARATOR, 0, nullptr);
    } else if (item.nested) {
      HMENU sub = BuildMenu(*item.nested, nextId);
      if (sub) AppendMenuA(built, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      // Flag bits 1 and 2 are the Win32 grayed and disabled state bits.
      const UINT state = static_cast<UINT>(item.flags & (MF_GRAYED | MF_DISABLED)) |
                         ((item.flags & kMenuItemChecked) ? MF_CHECKED : MF_UNCHECKED);
      AppendMenuA(built, MF_STRING | state, static_cast<UINT_PTR>(first + i), text.c_str());
    }
  }
  return built;
}

// The menu record holding the item with this identifier, its chosen index set;
// null when no item has it.
IChoiceMenu* ChooseById(IChoiceMenu& menu, int id, int& nextId) {
  const int first = nextId;
  nextId += menu.ItemCount();
  if (id >= first && id < nextId) {
    menu.chosenIndex = id - first;
    return &menu;
  }
  for (IChoiceMenuItem& item : menu.items) {
    if (!item.nested || (item.flags & kMenuItemSeparator)) continue;
    if (IChoiceMenu* found = ChooseById(*item.nested, id, nextId)) return found;
  }
  return nullptr;
}

// --- Message box owner ---------------------------------------------------------

struct OwnerSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchOwner(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<OwnerSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  char name[kPathSize] = {};
  GetClassNameA(window, name, kPathSize);
  if (std::strcmp(name, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// --- Folders -------------------------------------------------------------------

// The folder of a module's file, with its trailing backslash; empty when the
// name has no folder part.
void ModuleFolder(HMODULE module, std::string& path) {
  path.clear();
  char name[kPathSize + 1] = {};
  const DWORD length = GetModuleFileNameA(module, name, kPathSize);
  if (length == 0 || length >= kPathSize) return;
  const char* last = std::strrchr(name, '\\');
  if (last && last[1] != '\0') path.assign(name, static_cast<size_t>(last - name + 1));
}

void ShellFolder(int folderId, std::string& path) {
  path.clear();
  char folder[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, folder))) path = folder;
}

// --- File dialog ---------------------------------------------------------------

// "*.a;*.b" from "a b"; false when the list is empty or the text or the first
// extension do not fit the dialog's buffers.
bool BuildFileFilter(const char* extensions, std::string& patterns, std::string& defaultExtension) {
  patterns.clear();
  defaultExtension.clear();
  const char* p = extensions ? extensions : "";
  while (*p) {
    while (*p == ' ') ++p;
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (end == p) break;
    if (defaultExtension.empty()) defaultExtension.assign(p, static_cast<size_t>(end - p));
    if (!patterns.empty()) patterns += ';';
    patterns += "*.";
    patterns.append(p, static_cast<size_t>(end - p));
    p = end;
  }
  return !patterns.empty() && static_cast<int>(patterns.size()) < kFilterSize &&
         static_cast<int>(defaultExtension.size()) < kDefaultExtensionSize;
}

UINT_PTR CALLBACK TitleFromPrompt(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* choice = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const auto* prompt = reinterpret_cast<const char*>(choice->lCustData);
    if (prompt && *prompt) SetWindowTextA(dialog, prompt);
  }
  return 0;
}

}  // namespace

IChoiceMenu* IGraphicsWin::ShowPopupMenu(IChoiceMenu& menu, const IBounds& rect) {
  ResetMouseState();
  if (!window_) return nullptr;
  int nextId = 0;
  HMENU built = BuildMenu(menu, nextId);
  if (!built) return nullptr;
  POINT corner = {rect.left, rect.bottom};
  ClientToScreen(window_, &corner);
  IChoiceMenu* chosen = nullptr;
  MSG command;
  if (TrackPopupMenu(built, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, corner.x, corner.y, 0, window_, nullptr) &&
      PeekMessageA(&command, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(command.wParam) == 0) {
    int numbering = 0;
    chosen = ChooseById(menu, LOWORD(command.wParam), numbering);
  }
  DestroyMenu(built);
  InvalidateRect(window_, nullptr, FALSE);
  return chosen;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type) {
  // Found once, and again when the host has closed that window since.
  if (!messageBoxOwner_ || !IsWindow(messageBoxOwner_)) {
    messageBoxOwner_ = nullptr;
    if (parentWindow_ && IsWindow(parentWindow_)) {
      messageBoxOwner_ = GetAncestor(parentWindow_, GA_ROOT);
      char name[kPathSize] = {};
      if (messageBoxOwner_ && GetClassNameA(messageBoxOwner_, name, kPathSize)) ownerClassName_ = name;
    } else if (!ownerClassName_.empty()) {
      OwnerSearch search = {ownerClassName_.c_str(), nullptr};
      EnumWindows(&MatchOwner, reinterpret_cast<LPARAM>(&search));
      messageBoxOwner_ = search.found;
    }
  }
  return MessageBoxA(messageBoxOwner_, text ? text : "", caption ? caption : "", static_cast<UINT>(type));
}

bool IGraphicsWin::OpenUrl(const char* address, const char* caption, const char* confirmText,
                           const char* errorText) {
  if (!address) return false;
  if (confirmText && ShowMessageBox(confirmText, caption, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0)) {
    HINSTANCE opened = ShellExecuteA(window_, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    // Results above 32 mean success.
    if (reinterpret_cast<INT_PTR>(opened) > 32) return true;
  }
  if (errorText) ShowMessageBox(errorText, caption, MB_OK);
  return false;
}

void IGraphicsWin::PromptForFile(std::string& fileName, int action, std::string& folder, const char* extensions) {
  std::string patterns;
  std::string defaultExtension;
  if (!window_ || !BuildFileFilter(extensions, patterns, defaultExtension)) {
    fileName.clear();
    return;
  }
  char file[kPathSize] = {};
  CopyText(file, fileName.c_str(), kPathSize);
  std::string initialFolder = folder;
  if (initialFolder.empty()) DesktopPath(initialFolder);
  // One filter entry: description and pattern alike, each ended by a zero,
  // and a second zero ends the list.
  std::string filter = patterns + '\0' + patterns + '\0' + '\0';

  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathSize;
  dialog.lpstrInitialDir = initialFolder.c_str();
  dialog.lpstrDefExt = defaultExtension.c_str();
  BOOL chosen;
  if (action == 1) {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameA(&dialog);
  } else {
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&dialog);
  }
  if (!chosen) {
    fileName.clear();
    return;
  }
  fileName = file;
  char drive[_MAX_DRIVE] = {};
  char directory[_MAX_DIR] = {};
  _splitpath(file, drive, directory, nullptr, nullptr);
  folder = std::string(drive) + directory;
}

bool IGraphicsWin::PromptForColour(IColorARGB& colour, const char* prompt) {
  if (!window_) return false;
  if (!customColours_) {
    customColours_.reset(new unsigned long[kCustomColourCount]);
    for (int i = 0; i < kCustomColourCount; ++i) customColours_[i] = RGB(255, 255, 255);
  }
  CHOOSECOLORA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window_;
  dialog.rgbResult = RGB(colour.r, colour.g, colour.b);
  dialog.lpCustColors = reinterpret_cast<COLORREF*>(customColours_.get());
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
  dialog.lCustData = reinterpret_cast<LPARAM>(prompt);
  dialog.lpfnHook = &TitleFromPrompt;
  if (!ChooseColorA(&dialog)) return false;
  colour.r = GetRValue(dialog.rgbResult);
  colour.g = GetGValue(dialog.rgbResult);
  colour.b = GetBValue(dialog.rgbResult);
  return true;
}

void IGraphicsWin::HostExecutablePath(std::string& path) { ModuleFolder(nullptr, path); }

void IGraphicsWin::PluginModulePath(std::string& path) { ModuleFolder(moduleInstance_, path); }

void IGraphicsWin::DesktopPath(std::string& path) { ShellFolder(CSIDL_DESKTOP, path); }

void IGraphicsWin::AppDataPath(std::string& path, bool systemWide) {
  ShellFolder(systemWide ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA, path);
}

void IGraphicsWin::UserAppDataPath(std::string& path) { AppDataPath(path, false); }

bool IGraphicsWin::ReadClipboardText(std::string& text) {
  text.clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window_)) return false;
  bool read = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (size > 0) {
        text.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], size, nullptr, nullptr);
        text.resize(static_cast<size_t>(size - 1));  // the terminator
        read = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return read;
}

void IGraphicsWin::ConcealCursor() {
  if (cursorHidden_) return;
  POINT position = {};
  GetCursorPos(&position);
  savedCursorX_ = position.x;
  savedCursorY_ = position.y;
  ShowCursor(FALSE);
  cursorHidden_ = true;
}

void IGraphicsWin::RevealCursor() {
  if (!cursorHidden_) return;
  SetCursorPos(savedCursorX_, savedCursorY_);
  ShowCursor(TRUE);
  cursorHidden_ = false;
}

LICE_IBitmap* IGraphicsWin::LoadImageResource(int resourceId, const char* fileName) {
  if (!fileName || !IsPngImageName(fileName)) return nullptr;
  HRSRC resource = FindResourceA(moduleInstance_, MAKEINTRESOURCEA(resourceId & 0xFFFF), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(moduleInstance_, resource);
  HGLOBAL loaded = LoadResource(moduleInstance_, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  // Fewer bytes than a PNG signature cannot be an image.
  if (!bytes || size <= 7) return nullptr;
  return DecodePngImage(bytes, static_cast<int>(size));
}
