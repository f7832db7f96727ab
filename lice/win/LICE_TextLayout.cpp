// The text layout of LICE_CachedFont: which way draws a text (GDI itself, or
// the font's own glyphs), the native way's drawing, and the cached way's walk
// over the characters for measuring and drawing.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"
#include "lice/LICE_SysBitmap.h"
#include "lice/win/LICE_CachedFont.h"
#include "lice/win/LICE_FontParts.h"

using namespace lice;

namespace {

int gRunningUnderWine = -1;  // -1 not yet tested

constexpr unsigned int kAlignmentBits = kLiceTextCentre | kLiceTextRight | kLiceTextVCentre | kLiceTextBottom;
constexpr unsigned int kOwnBits = kLiceTextUseColourAlpha | kLiceTextNeverNative;  // never reach GDI
constexpr int kEffectFlags = 0x1F7;  // every flag the native way cannot draw
constexpr int kNoNativeQuery = 0x59555678;  // bitmaps that refuse GDI text answer non-zero

bool RunningUnderWine() {
  if (gRunningUnderWine < 0) {
    HKEY key = nullptr;
    gRunningUnderWine = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (gRunningUnderWine) RegCloseKey(key);
  }
  return gRunningUnderWine == 1;
}

COLORREF ToColorRef(LICE_pixel c) { return RGB(Red(c), Green(c), Blue(c)); }

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

}  // namespace

void LICE_OverrideWineDetection(int answer) { gRunningUnderWine = answer < 0 ? -1 : (answer ? 1 : 0); }

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
  // With len < 0 the conversion includes the terminator that DrawTextW then looks for.
  std::vector<WCHAR> wide;
  if (HasMultiByteSequence(text, len)) {
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, nullptr, 0);
    wide.resize(static_cast<size_t>(std::max(units, 0)));
    if (units <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, len, wide.data(), units) <= 0)
      wide.clear();
  }
  const int result = wide.empty() ? DrawTextA(dc, text, len, &r, gdiFormat)
                                  : DrawTextW(dc, wide.data(), len < 0 ? -1 : static_cast<int>(wide.size()), &r,
                                              gdiFormat);
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
