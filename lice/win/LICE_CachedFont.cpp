#include "lice/win/LICE_CachedFont.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"
#include "lice/LICE_SysBitmap.h"

using namespace lice;

namespace {

// Shared by every font of the module; see LiveFontCount.
int gLiveFonts = 0;
LICE_SysBitmap* gGlyphScratch = nullptr;
LICE_SysBitmap* gTextScratch = nullptr;
int gRunningUnderWine = -1;  // -1 not yet tested

constexpr int kMaxLineHeight = 1023;
constexpr unsigned int kAlignmentBits = kLiceTextCentre | kLiceTextRight | kLiceTextVCentre | kLiceTextBottom;
constexpr unsigned int kOwnBits = kLiceTextUseColourAlpha | kLiceTextNeverNative;  // never reach GDI
constexpr int kEffectFlags = 0x1F7;  // every flag the native way cannot draw
constexpr int kNoNativeQuery = 0x59555678;  // bitmaps that refuse GDI text answer non-zero
constexpr int kEffectCoverage = 128;        // shadow and outline pixels

bool RunningUnderWine() {
  if (gRunningUnderWine < 0) {
    HKEY key = nullptr;
    gRunningUnderWine = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (gRunningUnderWine) RegCloseKey(key);
  }
  return gRunningUnderWine == 1;
}

COLORREF ToColorRef(LICE_pixel c) { return RGB(Red(c), Green(c), Blue(c)); }

// Glyph margins: room for overhangs left and right of the measured cell.
int MarginFor(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }

LICE_SysBitmap& GlyphScratch(int size) {
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

LICE_SysBitmap& TextScratch(int w, int h) {
  if (!gTextScratch) gTextScratch = new LICE_SysBitmap(4, 4);
  if (gTextScratch->Width() < w || gTextScratch->Height() < h)
    gTextScratch->Resize(std::max(gTextScratch->Width(), w), std::max(gTextScratch->Height(), h));
  return *gTextScratch;
}

// One character of the cached way's UTF-8: false at the end of the text.
bool NextCharacter(const unsigned char*& p, const unsigned char* end, int& code) {
  const auto available = [&](int n) { return end ? end - p >= n : true; };
  const auto continuation = [&](int i) { return p[i] >= 0x80 && p[i] <= 0xBF; };
  if (!available(1) || p[0] == 0) return false;
  const unsigned char b = p[0];
  if (b >= 0xC2 && b <= 0xDF && available(2) && continuation(1)) {
    code = (b & 0x1F) << 6 | (p[1] & 0x3F);
    p += 2;
  } else if (b >= 0xE0 && b <= 0xEF && available(3) && continuation(1) && continuation(2)) {
    code = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    p += 3;
  } else if (b >= 0xF0 && b <= 0xF4 && available(4) && continuation(1) && continuation(2) && continuation(3)) {
    code = ' ';  // beyond one UTF-16 unit: drawn as a space
    p += 4;
  } else {
    code = b;
    p += 1;
  }
  return true;
}

const unsigned char* TextEnd(const char* text, int len) {
  return len < 0 ? nullptr : reinterpret_cast<const unsigned char*>(text) + len;
}

// Whether the bytes hold a well-formed UTF-8 multi-byte sequence, which makes
// the native way draw them as UTF-16 rather than ANSI.
bool HasMultiByteSequence(const char* text, int len) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = TextEnd(text, len);
  const auto more = [&](const unsigned char* q) { return end ? q < end : *q != 0; };
  const auto continuation = [&](const unsigned char* q) { return more(q) && *q >= 0x80 && *q <= 0xBF; };
  for (; more(p); ++p) {
    if (*p >= 0xC2 && *p <= 0xDF && continuation(p + 1)) return true;
    if (*p >= 0xE0 && *p <= 0xF4 && continuation(p + 1) && continuation(p + 2)) return true;
  }
  return false;
}

bool IntersectRects(const LICE_Rect& a, const LICE_Rect& b, LICE_Rect& out) {
  out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out.left < out.right && out.top < out.bottom;
}

}  // namespace

void LICE_OverrideWineDetection(int answer) { gRunningUnderWine = answer < 0 ? -1 : (answer ? 1 : 0); }

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

LICE_pixel LICE_CachedFont::SetTextColour(LICE_pixel colour) { return std::exchange(textColour_, colour); }
LICE_pixel LICE_CachedFont::SetBackgroundColour(LICE_pixel colour) {
  return std::exchange(backgroundColour_, colour);
}
LICE_pixel LICE_CachedFont::SetEffectColour(LICE_pixel colour) { return std::exchange(effectColour_, colour); }
int LICE_CachedFont::SetBackgroundMode(int mode) { return std::exchange(backgroundMode_, mode); }

void LICE_CachedFont::SetCombine(int mode, float alpha) {
  combineMode_ = mode;
  combineAlpha_ = alpha;
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

bool LICE_CachedFont::UseNativeWay(LICE_IBitmap* dst, unsigned int format, bool neverNative) const {
  if (dst && dst->ExtendedQuery(kNoNativeQuery, nullptr) != 0) return false;
  if (lineHeight_ >= 256) return true;
  return (flags_ & kLiceFontPreferNative) && systemFont_ && !neverNative && !RunningUnderWine() &&
         !(format & kLiceTextUseColourAlpha) && !(flags_ & kEffectFlags) &&
         (lineSpacingAdjust_ == 0 || (format & kLiceTextSingleLine));
}

int LICE_CachedFont::RenderText(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format) {
  if (!text || !rect) return 0;
  if (!dst && !(format & kLiceTextCalcRect)) return 0;
  const bool neverNative = (format & kLiceTextNeverNative) != 0;
  format &= ~kLiceTextNeverNative;
  if (UseNativeWay(dst, format, neverNative)) return RenderNative(dst, text, len, rect, format);
  return RenderCached(dst, text, len, rect, format, neverNative);
}

int LICE_CachedFont::DrawNative(LICE_HDC dc, const char* text, int len, LICE_Rect* rect, unsigned int format) {
  HGDIOBJ previous = SelectObject(dc, systemFont_);
  SetTextColor(dc, ToColorRef(textColour_));
  SetBkMode(dc, backgroundMode_);
  if (backgroundMode_ == kLiceBackgroundOpaque) SetBkColor(dc, ToColorRef(backgroundColour_));
  RECT r = {rect->left, rect->top, rect->right, rect->bottom};
  const UINT gdiFormat = (format & ~kOwnBits) | DT_NOPREFIX;
  int result = 0;
  constexpr int kStackUnits = 1024;
  WCHAR onStack[kStackUnits];
  std::unique_ptr<WCHAR[]> onHeap;
  int units = 0;
  WCHAR* wide = nullptr;
  if (HasMultiByteSequence(text, len)) {
    units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, nullptr, 0);
    wide = onStack;
    if (units >= 1000) {
      onHeap.reset(new WCHAR[static_cast<size_t>(units) + 32]);
      wide = onHeap.get();
    }
    const int capacity = units >= 1000 ? units + 32 : kStackUnits;
    if (units <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, wide, capacity) <= 0)
      wide = nullptr;
  }
  if (wide)
    result = DrawTextW(dc, wide, len < 0 ? -1 : units, &r, gdiFormat);
  else
    result = DrawTextA(dc, text, len, &r, gdiFormat);
  GdiFlush();
  if (format & kLiceTextCalcRect) *rect = {r.left, r.top, r.right, r.bottom};
  SelectObject(dc, previous);
  return result;
}

int LICE_CachedFont::RenderNative(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format) {
  if (dst && dst->DeviceContext()) return DrawNative(dst->DeviceContext(), text, len, rect, format);

  // No device context: measure and draw on the text scratch, then copy back.
  LICE_SysBitmap& scratch = TextScratch(4, 4);
  LICE_Rect measured = {0, 0, 0, 0};
  DrawNative(scratch.DeviceContext(), text, len, &measured, (format & ~kAlignmentBits) | kLiceTextCalcRect);
  const int w = measured.right - measured.left, h = measured.bottom - measured.top;
  if (format & kLiceTextCalcRect) {
    *rect = {rect->left, rect->top, rect->left + w, rect->top + h};
    return h;
  }
  const int x = format & kLiceTextRight ? rect->right - w
                : format & kLiceTextCentre ? (rect->left + rect->right - w) / 2 : rect->left;
  const int y = format & kLiceTextBottom ? rect->bottom - h
                : format & kLiceTextVCentre ? (rect->top + rect->bottom - h) / 2 : rect->top;
  LICE_Rect box;
  if (!IntersectRects({x, y, x + w, y + h}, {0, 0, dst->Width(), dst->Height()}, box)) return 0;
  if (!(format & kLiceTextNoClip) && !IntersectRects(box, *rect, box)) return 0;
  box.left -= std::max(0, std::min(box.left, MarginFor(lineHeight_)));
  LICE_SysBitmap& canvas = TextScratch(box.right - box.left, box.bottom - box.top);
  BlitBitmap(&canvas, dst, 0, 0, &box, 1.0f, kLiceCopy);
  LICE_Rect at = {x - box.left, y - box.top, x - box.left + w, y - box.top + h};
  const int result = DrawNative(canvas.DeviceContext(), text, len, &at, format & ~kAlignmentBits);
  const LICE_Rect back = {0, 0, box.right - box.left, box.bottom - box.top};
  BlitBitmap(dst, &canvas, box.left, box.top, &back, combineAlpha_, kLiceCopy);
  return result;
}

// Walks the text of the cached way: calls step(glyph, c, x, y) with the pen
// position, relative to the start, of every character that has pixels.
template <class Step>
static void LayOut(LICE_CachedFont& font, const char* text, int len, unsigned int format, int lineStep,
                   bool vertical, bool bottomUp, Step step) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = TextEnd(text, len);
  int x = 0, y = 0, c = 0;
  while (NextCharacter(p, end, c)) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!(format & kLiceTextSingleLine)) {
        if (vertical) x += lineStep, y = 0;
        else y += lineStep, x = 0;
        continue;
      }
      c = ' ';
    }
    const LICE_GlyphRecord* g = font.Glyph(c);
    if (!g || g->pixelOffset <= 0) continue;
    step(*g, c, x, y);
    if (!vertical) x += g->advance;
    else y += bottomUp ? -g->advance : g->advance;
  }
}

int LICE_CachedFont::Measure(const char* text, int len, LICE_Rect* rect, unsigned int format) {
  int width = 0, height = 0;
  const bool bottomUp = (flags_ & kLiceFontBottomUp) != 0;
  LayOut(*this, text, len, format, lineHeight_ + lineSpacingAdjust_, Vertical(), bottomUp,
         [&](const LICE_GlyphRecord& g, int, int x, int y) {
           if (!Vertical()) {
             width = std::max({width, x + g.advance, x + g.width - g.leftBearing});
             height = std::max(height, y + g.height);
           } else {
             const int along = bottomUp ? -y : y;
             height = std::max({height, along + g.advance, along + g.height - g.leftBearing});
             width = std::max(width, x + g.width);
           }
         });
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
  return Vertical() ? width : height;
}

int LICE_CachedFont::RenderCached(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect,
                                  unsigned int format, bool neverNative) {
  if (format & kLiceTextCalcRect) return Measure(text, len, rect, format);

  float alpha = combineAlpha_;
  if (format & kLiceTextUseColourAlpha) alpha *= static_cast<float>(Alpha(textColour_)) / 255.0f;
  if (alpha == 0.0f) return 0;
  int x = rect->left, y = rect->top;
  const bool bottomUp = Vertical() && (flags_ & kLiceFontBottomUp);
  if (format & kAlignmentBits) {
    LICE_Rect size = {0, 0, 0, 0};
    RenderText(nullptr, text, len, &size,
               kLiceTextCalcRect | (format & kLiceTextSingleLine) | (neverNative ? kLiceTextNeverNative : 0u));
    const int w = size.right - size.left, h = size.bottom - size.top;
    if (format & kLiceTextCentre) x += (rect->right - w - rect->left) / 2;
    if (format & kLiceTextRight) x = rect->right - w;
    if (format & kLiceTextVCentre) y += (rect->bottom - h - rect->top) / 2;
    if (format & kLiceTextBottom) y = rect->bottom - h;
    if (bottomUp) y += h;
  }
  const LICE_Rect whole = {0, 0, dst->Width(), dst->Height()};
  LICE_Rect clip = whole;
  if (!(format & kLiceTextNoClip) && !IntersectRects(*rect, whole, clip)) return 0;
  if (clip.left >= clip.right || clip.top >= clip.bottom) return 0;

  const float saved = combineAlpha_;
  combineAlpha_ = alpha;
  int extent = 0;
  LayOut(*this, text, len, format, lineHeight_ + lineSpacingAdjust_, Vertical(), bottomUp,
         [&](const LICE_GlyphRecord& g, int c, int px, int py) {
           DrawGlyph(dst, c, x + px, y + py, &clip);
           extent = Vertical() ? std::max(extent, px + g.width) : std::max(extent, py + g.height);
         });
  combineAlpha_ = saved;
  return extent;
}

namespace {

// Composes the covered pixels of a clipped glyph cell; kernel(D, k) answers the new word.
template <class Kernel>
void ComposeCell(LICE_IBitmap& dst, const unsigned char* map, int mapWidth, int mapX, int mapY, const LICE_Rect& cell,
                 Kernel kernel) {
  const LICE_Rows rows(dst);
  for (int y = cell.top; y < cell.bottom; ++y) {
    LICE_pixel* d = rows.Row(y);
    const unsigned char* coverage = map + (mapY + y - cell.top) * mapWidth + mapX;
    for (int x = cell.left; x < cell.right; ++x) {
      const int k = coverage[x - cell.left];
      if (k) d[x] = kernel(d[x], k);
    }
  }
}

// The blit's combines with an opaque source of colour c at weight w.
LICE_pixel BlendOpaque(LICE_pixel d, LICE_pixel c, int w, int mode) {
  const LICE_pixel s = c | 0xFF000000;
  const auto each = [&](auto channel) {
    return Pack(channel(Blue(d), Blue(s)), channel(Green(d), Green(s)), channel(Red(d), Red(s)),
                channel(Alpha(d), 255));
  };
  switch (mode & 0xFF) {
    case kLiceCopy: return each([w](int dc, int sc) { return Mix(sc, dc, w); });
    case kLiceAdd: return each([w](int dc, int sc) { return AddChannel(dc, sc, w); });
    case kLiceDodge: return each([w](int dc, int sc) { return DodgeChannel(dc, sc, w); });
    case kLiceMultiply: return each([w](int dc, int sc) { return MultiplyChannel(dc, sc, w); });
    case kLiceOverlay: return each([w](int dc, int sc) { return OverlayChannel(dc, sc, w); });
    case kLiceHueAdjust: return HueAdjust(d, s, w, 255);
    default: return d;
  }
}

// Copy of colour c over d, keeping g/256 of the destination; alpha rises toward opaque.
LICE_pixel CopyKeeping(LICE_pixel d, LICE_pixel c, int g) {
  return Pack(Blue(c) + (Blue(d) - Blue(c)) * g / 256, Green(c) + (Green(d) - Green(c)) * g / 256,
              Red(c) + (Red(d) - Red(c)) * g / 256, (Alpha(d) - 255) * g / 256 - 1);
}

}  // namespace

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* dst, int c, int x, int y, const LICE_Rect* clip) {
  LICE_GlyphRecord* g = FindGlyph(c);
  if (!dst || !clip || !g || g->pixelOffset <= 0) return false;
  if (!Vertical())
    x -= g->leftBearing;
  else
    y += (flags_ & kLiceFontBottomUp) ? g->leftBearing : -g->leftBearing;

  LICE_Rect limit;
  if (!IntersectRects(*clip, {0, 0, dst->Width(), dst->Height()}, limit)) return false;
  if (x >= limit.right || y >= limit.bottom || x + g->width <= limit.left || y + g->height <= limit.top) return false;
  LICE_Rect cell;
  IntersectRects({x, y, x + g->width, y + g->height}, limit, cell);
  if (!dst->PixelData()) return false;

  const float alpha = combineAlpha_;
  if (backgroundMode_ == kLiceBackgroundOpaque)
    FillArea(dst, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, backgroundColour_, alpha,
             combineMode_ & ~kLiceUseSourceAlpha);
  const int w = WeightOf(alpha);
  if (w == 0) return true;

  const unsigned char* map = glyphPixels_.data() + g->pixelOffset - 1;
  const int mapX = cell.left - x, mapY = cell.top - y;
  const LICE_pixel colour = textColour_, effect = effectColour_;
  const int mode = combineMode_ & 0xFF;
  const auto compose = [&](auto kernel) { ComposeCell(*dst, map, g->width, mapX, mapY, cell, kernel); };

  if (flags_ & (kLiceFontMonochrome | kLiceFontShadow | kLiceFontOutline)) {
    // Ink in the text colour, effect pixels in the effect colour.
    const auto colourOf = [colour, effect](int k) { return k == 255 ? colour : effect; };
    if (alpha == 1.0f && mode == kLiceCopy)
      compose([&](LICE_pixel, int k) { return colourOf(k); });
    else if (mode == kLiceCopy)
      compose([&](LICE_pixel d, int k) { return CopyKeeping(d, colourOf(k), 256 - w); });
    else
      compose([&](LICE_pixel d, int k) { return BlendOpaque(d, colourOf(k), w, mode); });
    return true;
  }
  // Anti-aliased coverage: the weight follows the coverage.
  const auto weightOf = [w](int k) { return w == 256 ? k + 1 : std::min(w * k / 256, 256); };
  switch (mode) {
    case kLiceCopy:
      if (w == 256)
        compose([&](LICE_pixel d, int k) {
          const int f = 255 - k;
          return Pack((Blue(d) - Blue(colour)) * f / 256 + Blue(colour),
                      (Green(d) - Green(colour)) * f / 256 + Green(colour),
                      (Red(d) - Red(colour)) * f / 256 + Red(colour), (f * (Alpha(d) - 255)) / 256 - 1);
        });
      else
        compose([&](LICE_pixel d, int k) { return CopyKeeping(d, colour, w * k < 65792 ? 256 - w * k / 256 : 0); });
      return true;
    case kLiceMultiply:
      compose([&](LICE_pixel d, int k) {
        const int f = weightOf(k);
        const auto mul = [f](int dc, int cc) { return ((cc * f + (256 - f) * 256) * dc) >> 16; };
        const int a = w == 256 ? ((65535 - k) * Alpha(d)) >> 16 : ((65536 - f) * Alpha(d)) >> 16;
        return Pack(mul(Blue(d), Blue(colour)), mul(Green(d), Green(colour)), mul(Red(d), Red(colour)), a);
      });
      return true;
    default:
      compose([&](LICE_pixel d, int k) { return BlendOpaque(d, colour, weightOf(k), mode); });
      return true;
  }
}
