#include "graphics/IGraphicsCaches.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "framework/IParamDef.h"
#include "lice/LICE_IFont.h"
#ifdef _WIN32
#include "lice/LICE_SystemFont.h"
#include "lice/win/LICE_CachedFont.h"
#endif

namespace {

struct BitmapEntry {
  int id;
  std::unique_ptr<LICE_IBitmap> image;
};

struct FontEntry {
  int size;
  int orientation;
  int style;
  char face[kFaceNameSize];
  std::unique_ptr<LICE_IFont> font;

  bool Matches(const ITextStyle& s) const {
    return size == s.size && orientation == s.orientation && style == s.style &&
           std::strncmp(face, s.face, kFaceNameSize - 1) == 0;
  }
};

// Function-local statics: made on first use, destroyed when the module unloads
// (entries from the last to the first, as vectors free them).
template <class Entry>
struct Cache {
  std::mutex lock;
  std::vector<Entry> entries;

  static Cache& Instance() {
    static Cache cache;
    return cache;
  }
  ~Cache() {
    while (!entries.empty()) entries.pop_back();
  }
};

using Bitmaps = Cache<BitmapEntry>;
using Fonts = Cache<FontEntry>;

LICE_IBitmap* FindBitmap(Bitmaps& bitmaps, int id) {
  for (const BitmapEntry& e : bitmaps.entries) {
    if (e.id == id) return e.image.get();
  }
  return nullptr;
}

LICE_IFont* FindFont(Fonts& fonts, const ITextStyle& style) {
  for (const FontEntry& e : fonts.entries) {
    if (e.Matches(style)) return e.font.get();
  }
  return nullptr;
}

// A new font for the style, or null.
std::unique_ptr<LICE_IFont> MakeFont(const ITextStyle& style) {
#ifdef _WIN32
  LICE_FontRequest request;
  request.height = style.size;
  request.angle = style.orientation;
  request.bold = style.style == kTextBold;
  request.italic = style.style == kTextItalic;
  request.quality = style.quality;
  char face[kFaceNameSize];
  CopyText(face, style.face, kFaceNameSize);  // a face filled to the end is cut, not overrun
  request.face = face;
  LICE_HFONT system = LICE_CreateSystemFont(request);
  if (!system) return nullptr;
  auto font = std::make_unique<LICE_CachedFont>();
  font->AttachSystemFont(system, kLiceFontOwnsSystemFont | kLiceFontPreferNative);
  return font;
#else
  (void)style;
  return nullptr;
#endif
}

}  // namespace

LICE_IBitmap* BitmapCache::Find(int id) {
  Bitmaps& bitmaps = Bitmaps::Instance();
  std::lock_guard<std::mutex> hold(bitmaps.lock);
  return FindBitmap(bitmaps, id);
}

LICE_IBitmap* BitmapCache::Add(int id, std::unique_ptr<LICE_IBitmap> image) {
  if (!image) return nullptr;
  Bitmaps& bitmaps = Bitmaps::Instance();
  std::lock_guard<std::mutex> hold(bitmaps.lock);
  // Another editor may have stored the same image meanwhile: the first one stays.
  if (LICE_IBitmap* found = FindBitmap(bitmaps, id)) return found;
  bitmaps.entries.push_back({id, std::move(image)});
  return bitmaps.entries.back().image.get();
}

int BitmapCache::Count() {
  Bitmaps& bitmaps = Bitmaps::Instance();
  std::lock_guard<std::mutex> hold(bitmaps.lock);
  return static_cast<int>(bitmaps.entries.size());
}

LICE_IFont* FontCache::FindOrCreate(const ITextStyle& style) {
  Fonts& fonts = Fonts::Instance();
  {
    std::lock_guard<std::mutex> hold(fonts.lock);
    if (LICE_IFont* found = FindFont(fonts, style)) return found;
  }
  std::unique_ptr<LICE_IFont> made = MakeFont(style);
  if (!made) return nullptr;
  std::lock_guard<std::mutex> hold(fonts.lock);
  // Another editor may have made the same font meanwhile: the first one stays.
  if (LICE_IFont* found = FindFont(fonts, style)) return found;
  FontEntry entry{style.size, style.orientation, style.style, {}, std::move(made)};
  CopyText(entry.face, style.face, kFaceNameSize);
  fonts.entries.push_back(std::move(entry));
  return fonts.entries.back().font.get();
}

int FontCache::Count() {
  Fonts& fonts = Fonts::Instance();
  std::lock_guard<std::mutex> hold(fonts.lock);
  return static_cast<int>(fonts.entries.size());
}
