// The glyph cache of LICE_CachedFont: each character rendered once through
// GDI into a coverage map, trimmed, turned and given its effects, and kept
// in the font's glyph pixels.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"
#include "lice/LICE_SysBitmap.h"
#include "lice/win/LICE_CachedFont.h"
#include "lice/win/LICE_FontParts.h"

using namespace lice;

namespace {

// Shared by every font of the module; see LiveFontCount.
int gLiveFonts = 0;
LICE_SysBitmap* gGlyphScratch = nullptr;
LICE_SysBitmap* gTextScratch = nullptr;

constexpr int kMaxLineHeight = 1023;
constexpr int kEffectCoverage = 128;  // shadow and outline pixels

}  // namespace

LICE_SysBitmap& lice::GlyphScratch(int size) {
  if (!gGlyphScratch) gGlyphScratch = new LICE_SysBitmap();
  const int w = std::max(gGlyphScratch->Width(), size), h = std::max(gGlyphScratch->Height(), size);
  if (gGlyphScratch->Resize(w, h)) {
    HDC dc = gGlyphScratch->DeviceContext();
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
  }
  return *gGlyphScratch;
}

LICE_SysBitmap& lice::TextScratch(int w, int h) {
  if (!gTextScratch) gTextScratch = new LICE_SysBitmap(4, 4);
  if (gTextScratch->Width() < w || gTextScratch->Height() < h)
    gTextScratch->Resize(std::max(gTextScratch->Width(), w), std::max(gTextScratch->Height(), h));
  return *gTextScratch;
}

int LICE_CachedFont::LiveFontCount() { return gLiveFonts; }

LICE_CachedFont::LICE_CachedFont() { ++gLiveFonts; }

LICE_CachedFont::~LICE_CachedFont() {
  if ((flags_ & kLiceFontOwnsSystemFont) && systemFont_) DeleteObject(systemFont_);
  if (--gLiveFonts == 0) {
    delete gGlyphScratch;
    delete gTextScratch;
    gGlyphScratch = gTextScratch = nullptr;
  }
}

void LICE_CachedFont::AttachSystemFont(LICE_HFONT font, int flags) {
  if ((flags_ & kLiceFontOwnsSystemFont) && systemFont_ && systemFont_ != font) DeleteObject(systemFont_);
  flags_ = flags;
  systemFont_ = font;
  if (font) {
    LICE_SysBitmap& scratch = GlyphScratch(256);
    HDC dc = scratch.DeviceContext();
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    lineHeight_ = metrics.tmHeight;
  }
  std::fill(std::begin(table_), std::end(table_), LICE_GlyphRecord{});
  extraGlyphs_.clear();
  glyphPixels_.clear();
  if (flags & kLiceFontFixedSet)
    for (int c = 0; c < 128; ++c) RenderGlyph(c);
}

LICE_GlyphRecord* LICE_CachedFont::FindGlyph(int c) {
  if (c >= 0 && c < 128) return &table_[c];
  auto it = std::lower_bound(extraGlyphs_.begin(), extraGlyphs_.end(), c,
                             [](const LICE_GlyphRecord& g, int code) { return g.code < code; });
  return it != extraGlyphs_.end() && it->code == c ? &*it : nullptr;
}

const LICE_GlyphRecord* LICE_CachedFont::Glyph(int c) {
  LICE_GlyphRecord* g = FindGlyph(c);
  if (!g || g->pixelOffset == 0) g = RenderGlyph(c);
  return g;
}

LICE_GlyphRecord* LICE_CachedFont::RenderGlyph(int c) {
  if (lineHeight_ > kMaxLineHeight || !systemFont_ || c < 0 || c > 0xFFFF) return nullptr;
  LICE_GlyphRecord* g = FindGlyph(c);
  if (!g) {
    if (flags_ & kLiceFontFixedSet) return nullptr;
    extraGlyphs_.push_back(LICE_GlyphRecord{0, 0, 0, 0, c, 0});
    g = &extraGlyphs_.back();
  }
  LICE_GlyphRecord record{0, 0, 0, 0, c, 0};

  const int size = std::max(lineHeight_, 1) * 2 + 8;
  LICE_SysBitmap& scratch = GlyphScratch(size);
  HDC dc = scratch.DeviceContext();
  HGDIOBJ previous = SelectObject(dc, systemFont_);
  const int m = MarginFor(lineHeight_);
  const WCHAR unit = static_cast<WCHAR>(c);
  RECT cell = {0, 0, 0, 0};
  DrawTextW(dc, &unit, 1, &cell, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  int w = cell.right - cell.left, h = cell.bottom - cell.top;
  FillArea(&scratch, 0, 0, w + 2 * m, h, 0, 1.0f, kLiceCopy);
  RECT at = {m, 0, m + w, h};
  DrawTextW(dc, &unit, 1, &at, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  GdiFlush();
  int fullWidth = std::min(w + 2 * m, scratch.Width());
  w = std::min(w, scratch.Width());
  h = std::min(h, scratch.Height());
  SelectObject(dc, previous);

  if (w < 1 || h < 1) {
    record.pixelOffset = -1;
  } else {
    record.advance = w;
    if (flags_ & kLiceFontBlur) BlurArea(&scratch, fullWidth, h);
    record.pixelOffset = static_cast<int>(glyphPixels_.size()) + 1;
    const bool invert = (flags_ & kLiceFontInvert) != 0;
    const LICE_Rows rows(scratch);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < fullWidth; ++x) {
        const int coverage = Red(rows.Row(y)[x]);
        glyphPixels_.push_back(static_cast<unsigned char>(invert ? 255 - coverage : coverage));
      }
    TrimAndStore(record, w, fullWidth, h, m);
  }
  *g = record;
  if (c >= 128) {
    std::sort(extraGlyphs_.begin(), extraGlyphs_.end(),
              [](const LICE_GlyphRecord& a, const LICE_GlyphRecord& b) { return a.code < b.code; });
    g = FindGlyph(c);
  }
  return g;
}

void LICE_CachedFont::TrimAndStore(LICE_GlyphRecord& g, int w, int fullWidth, int h, int m) {
  unsigned char* map = glyphPixels_.data() + g.pixelOffset - 1;
  const auto inked = [&](int x) {
    for (int y = 0; y < h; ++y)
      if (map[y * fullWidth + x]) return true;
    return false;
  };
  int first = std::min(m, fullWidth);
  for (int x = 0; x < std::min(m, fullWidth); ++x)
    if (inked(x)) {
      first = x;
      break;
    }
  int end = std::min(m + w, fullWidth);
  for (int x = fullWidth - 1; x >= m + w; --x)
    if (inked(x)) {
      end = x + 1;
      break;
    }
  if (first > 0 || end < fullWidth) {
    const int kept = end - first;
    for (int y = 0; y < h; ++y) std::memmove(map + y * kept, map + y * fullWidth + first, static_cast<size_t>(kept));
    glyphPixels_.resize(static_cast<size_t>(g.pixelOffset - 1 + kept * h));
  }
  g.width = end - first;
  g.height = h;
  g.leftBearing = m - first;
  if (flags_ & kLiceFontVertical) Rotate(g);
  ApplyEffects(g);
}

// Top-down vertical text turns each map clockwise (its left edge becomes the
// top); bottom-up turns it the other way. Rows of the turned map run top to
// bottom as usual.
void LICE_CachedFont::Rotate(LICE_GlyphRecord& g) {
  unsigned char* map = glyphPixels_.data() + g.pixelOffset - 1;
  const std::vector<unsigned char> old(map, map + g.width * g.height);
  const int w = g.width, h = g.height;  // before turning
  const bool clockwise = (flags_ & kLiceFontBottomUp) == 0;
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < h; ++x) {
      const int sx = clockwise ? y : w - 1 - y;
      const int sy = clockwise ? h - 1 - x : x;
      map[y * h + x] = old[static_cast<size_t>(sy * w + sx)];
    }
  g.width = h;
  g.height = w;
}

// Monochrome, shadow and outline maps: a threshold, then effect pixels (128)
// beside the ink. Only ink (255) neighbours count and effect pixels are never
// ink, so the scan order (rows top to bottom, left to right) does not matter.
void LICE_CachedFont::ApplyEffects(const LICE_GlyphRecord& g) {
  const int effects = kLiceFontMonochrome | kLiceFontShadow | kLiceFontOutline;
  if (!(flags_ & effects)) return;
  unsigned char* map = glyphPixels_.data() + g.pixelOffset - 1;
  const int w = g.width, h = g.height;
  for (int i = 0; i < w * h; ++i) map[i] = map[i] > 130 ? 255 : 0;
  if (!(flags_ & (kLiceFontShadow | kLiceFontOutline))) return;
  const auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && map[y * w + x] == 255; };
  const bool shadow = (flags_ & kLiceFontShadow) != 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (map[y * w + x]) continue;
      const bool touched = shadow ? ink(x - 1, y) || ink(x - 1, y - 1) || ink(x, y - 1)
                                  : ink(x, y - 1) || ink(x, y + 1) || ink(x - 1, y) || ink(x + 1, y);
      if (touched) map[y * w + x] = kEffectCoverage;
    }
}
