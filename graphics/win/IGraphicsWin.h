#pragma once
// The editor on Win32: a child window inside the host's window, driven by a
// redraw timer, turning window messages into the core's handling operations
// and copying the back buffer to the screen; plus the platform services the
// core asks for (text entry, menus, tooltips, dialogs, folders, clipboard,
// cursor, PNG resources of the module).
//
// Everything here runs on the thread that owns the editor window (the host's
// user-interface thread). The Windows headers stay inside this folder's
// sources: window handles are declared the way <windows.h> declares them.

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/IGraphics.h"

struct HWND__;
struct HINSTANCE__;
struct HFONT__;

class IParamDef;

// What a text entry is waiting for; the timer tick acts on it.
enum class TextEntryState : int32_t {
  Idle = 0,             // no request
  Editing = 1,          // the entry has the keyboard focus
  Repainted = 2,        // the panel was repainted around an open entry
  CancelRequested = 3,
  CommitRequested = 4,
};

class IGraphicsWin : public IGraphics {
public:
  // moduleInstance: the plug-in module's handle, for the window class and the
  // PNG resources.
  IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance);
  // Closes the window (and an open entry) first.
  ~IGraphicsWin() override;

  // --- Back-end operations of the core ---------------------------------------
  bool PresentRegion(const IBounds& region) override;
  void CancelTextEntry() override;
  void ResizeEditor(int width, int height) override;
  bool HasWindow() const override { return window_ != nullptr; }
  const char* BackendName() const override { return "Windows GDI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IChoiceMenu* ShowPopupMenu(IChoiceMenu& menu, const IBounds& rect) override;
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* initialText,
                     const IParamDef* param) override;
  void HostExecutablePath(std::string& path) override;
  void PluginModulePath(std::string& path) override;
  void DesktopPath(std::string& path) override;
  void AppDataPath(std::string& path, bool systemWide) override;
  void UserAppDataPath(std::string& path) override;
  void PromptForFile(std::string& fileName, int action, std::string& folder, const char* extensions) override;
  bool PromptForColour(IColorARGB& colour, const char* prompt) override;
  bool OpenUrl(const char* address, const char* caption, const char* confirmText, const char* errorText) override;
  // UI thread, under the instance lock (the host's open request): opens the
  // editor window inside the parent; null when the parent is no window or the
  // window cannot be made. A window already open is replaced, keeping its place
  // relative to the new parent.
  void* OpenWindow(void* parent) override;
  // UI thread, under the instance lock when the host asks; also from the
  // window's own close message. Closes an open entry without using its text.
  void CloseWindow() override;
  void* WindowHandle() const override { return window_; }
  bool ReadClipboardText(std::string& text) override;
  void ConcealCursor() override;
  void RevealCursor() override;
  void ReservedBackendHook() override {}
  LICE_IBitmap* LoadImageResource(int resourceId, const char* fileName) override;

  // UI thread, without the instance lock (parameter changes made here take it):
  // the window procedures, with the Win32 parameter types spelled portably.
  static std::intptr_t __stdcall WindowProc(HWND__* window, unsigned message, std::uintptr_t wParam,
                                             std::intptr_t lParam);
  static std::intptr_t __stdcall EntryProc(HWND__* entry, unsigned message, std::uintptr_t wParam,
                                            std::intptr_t lParam);

private:
  // A message handled here answers a result; one passed on asks the window
  // procedure to hand it to the host's top-level window and the default
  // procedure (done there, since passing it on may close this editor).
  struct MessageResult {
    std::intptr_t value = 0;
    bool handled = true;
  };

  // The live editor behind a window, or null (before it is stored, after it is gone).
  static IGraphicsWin* FromWindow(HWND__* window);

  void OnCreate(HWND__* window);
  void OnDestroyedElsewhere();
  void ReleaseWindowParts();
  MessageResult HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
  void OnPaint();
  void OnTimerTick();
  MessageResult OnKeyDown(std::uintptr_t virtualKey);
  void OnMouseMove(int x, int y, const IMouseKeys& keys);
  MessageResult OnButtonUp(int x, int y, const IMouseKeys& keys);
  void OnButtonDown(int x, int y, const IMouseKeys& keys);
  void OnWheel(std::intptr_t screenPos, const IMouseKeys& keys, int delta);
  void OnHover();
  std::intptr_t OnEntryColour(void* deviceContext);

  bool OpenTooltips();
  void HideTooltip();
  void SetToolText(const char* text);
  void UnregisterClassIfLast();

  // Text entry (IGraphicsWinEntry.cpp).
  std::intptr_t HandleEntryMessage(HWND__* entry, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam);
  void CommitTextEntry();
  void CloseTextEntry();

  HINSTANCE__* moduleInstance_;
  HWND__* window_ = nullptr;
  HWND__* entryWindow_ = nullptr;
  HWND__* tooltipWindow_ = nullptr;
  IControl* entryControl_ = nullptr;
  const IParamDef* entryParam_ = nullptr;
  std::intptr_t entryPreviousProc_ = 0;
  TextEntryState entryState_ = TextEntryState::Idle;
  bool tooltipShown_ = false;
  int tooltipControl_ = -1;
  std::unique_ptr<unsigned long[]> customColours_;  // COLORREF[16], made on first use
  HWND__* parentWindow_ = nullptr;
  HWND__* messageBoxOwner_ = nullptr;
  std::string ownerClassName_;
  HFONT__* entryFont_ = nullptr;  // released when the entry closes
  ITextStyle entryStyle_;         // colours of the open entry
};
