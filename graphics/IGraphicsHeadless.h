#pragma once
// An editor without a window. What a window back end would show (presented
// regions, menus, text entries, message boxes) is recorded, and the caller
// answers in the user's place; the caller also plays the redraw timer. The
// native tests and the benchmarks drive the editor through it.
//
// UI thread only, like every back end.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"

class IGraphicsHeadless : public IGraphics {
public:
  struct MenuShown {
    std::vector<std::string> texts;
    std::vector<int> flags;
    IBounds rect;
  };
  struct TextEntryShown {
    IControl* control = nullptr;
    const IParamDef* param = nullptr;
    IBounds rect;
    std::string initialText;
  };
  struct MessageBoxShown {
    std::string text;
    std::string caption;
    int type = 0;
  };

  using IGraphics::IGraphics;
  ~IGraphicsHeadless() override;

  bool PresentRegion(const IBounds& region) override;
  void CancelTextEntry() override { textEntryOpen = false; }
  const char* BackendName() const override { return "Headless"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IChoiceMenu* ShowPopupMenu(IChoiceMenu& menu, const IBounds& rect) override;
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* initialText,
                     const IParamDef* param) override;
  void HostExecutablePath(std::string& path) override { path.clear(); }
  void PluginModulePath(std::string& path) override { path.clear(); }
  void DesktopPath(std::string& path) override { path.clear(); }
  void AppDataPath(std::string& path, bool) override { path.clear(); }
  void UserAppDataPath(std::string& path) override { path.clear(); }
  void PromptForFile(std::string& fileName, int, std::string&, const char*) override { fileName.clear(); }
  bool PromptForColour(IColorARGB&, const char*) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* WindowHandle() const override { return nullptr; }
  bool ReadClipboardText(std::string& text) override;
  void ReservedBackendHook() override {}
  // Hands over the image provided for id, once.
  LICE_IBitmap* LoadImageResource(int id, const char* fileName) override;

  // One tick of the redraw timer: paints the dirty union, if any. Answers
  // whether anything was painted.
  bool Tick();
  // Commits the open text entry as if the user typed text and pressed Return.
  void CommitTextEntry(const char* text);
  // The image LoadImageResource answers for id (ownership passes on).
  void ProvideImage(int id, std::unique_ptr<LICE_IBitmap> image);

  // What the editor showed, in order.
  std::vector<IBounds> presented;
  std::vector<MenuShown> menus;
  std::vector<TextEntryShown> textEntries;
  std::vector<MessageBoxShown> messageBoxes;
  std::vector<int> imagesRequested;
  bool textEntryOpen = false;

  // The user's answers: the menu item chosen (-1 none), the message box
  // button, the clipboard's text (none when empty).
  int menuChoice = -1;
  int messageBoxAnswer = 0;
  std::string clipboard;

private:
  std::map<int, std::unique_ptr<LICE_IBitmap>> images_;
};
