#include "graphics/IGraphicsHeadless.h"

IGraphicsHeadless::~IGraphicsHeadless() = default;

bool IGraphicsHeadless::PresentRegion(const IBounds& region) {
  presented.push_back(region);
  return true;
}

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type) {
  messageBoxes.push_back({text ? text : "", caption ? caption : "", type});
  return messageBoxAnswer;
}

IChoiceMenu* IGraphicsHeadless::ShowPopupMenu(IChoiceMenu& menu, const IBounds& rect) {
  // A menu takes the mouse: a press in progress is over.
  ResetMouseState();
  MenuShown shown;
  for (const IChoiceMenuItem& item : menu.items) {
    shown.texts.push_back(item.text);
    shown.flags.push_back(item.flags);
  }
  shown.rect = rect;
  menus.push_back(std::move(shown));
  if (menuChoice < 0 || menuChoice >= menu.ItemCount()) return nullptr;
  menu.chosenIndex = menuChoice;
  return &menu;
}

void IGraphicsHeadless::ShowTextEntry(IControl* control, const ITextStyle&, const IBounds& rect,
                                      const char* initialText, const IParamDef* param) {
  if (!control || textEntryOpen) return;
  textEntries.push_back({control, param, rect, initialText ? initialText : ""});
  textEntryOpen = true;
}

void IGraphicsHeadless::CommitTextEntry(const char* text) {
  if (!textEntryOpen) return;
  textEntryOpen = false;
  const TextEntryShown& entry = textEntries.back();
  CommitEnteredText(entry.control, entry.param, text);
}

bool IGraphicsHeadless::ReadClipboardText(std::string& text) {
  text = clipboard;
  return !text.empty();
}

LICE_IBitmap* IGraphicsHeadless::LoadImageResource(int id, const char*) {
  imagesRequested.push_back(id);
  auto it = images_.find(id);
  if (it == images_.end()) return nullptr;
  LICE_IBitmap* image = it->second.release();
  images_.erase(it);
  return image;
}

void IGraphicsHeadless::ProvideImage(int id, std::unique_ptr<LICE_IBitmap> image) {
  images_[id] = std::move(image);
}

bool IGraphicsHeadless::Tick() {
  IBounds area;
  if (!CollectDirtyArea(area)) return false;
  PaintRegion(area);
  return true;
}
