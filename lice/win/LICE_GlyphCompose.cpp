// The composition of LICE_CachedFont: one rendered glyph laid over a bitmap
// in the font's colours and combine mode, the combine chosen once per glyph.
#include <algorithm>
#include <utility>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"
#include "lice/win/LICE_CachedFont.h"
#include "lice/win/LICE_FontParts.h"

using namespace lice;

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

// Calls use(blend) with the blit's combine of an opaque source for the mode,
// blend(d, c, w) answering d combined with colour c at weight w: the mode is
// decided once per glyph, not at every pixel.
template <class Use>
void WithOpaqueBlend(int mode, Use use) {
  const auto each = [](auto channel) {
    return [channel](LICE_pixel d, LICE_pixel c, int w) {
      return Pack(channel(Blue(d), Blue(c), w), channel(Green(d), Green(c), w), channel(Red(d), Red(c), w),
                  channel(Alpha(d), 255, w));
    };
  };
  switch (mode & 0xFF) {
    case kLiceCopy: return use(each([](int dc, int sc, int w) { return Mix(sc, dc, w); }));
    case kLiceAdd: return use(each(AddChannel));
    case kLiceDodge: return use(each(DodgeChannel));
    case kLiceMultiply: return use(each(MultiplyChannel));
    case kLiceOverlay: return use(each(OverlayChannel));
    case kLiceHueAdjust:
      return use([](LICE_pixel d, LICE_pixel c, int w) { return HueAdjust(d, c | 0xFF000000, w, 255); });
    default: return use([](LICE_pixel d, LICE_pixel, int) { return d; });
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
      WithOpaqueBlend(mode, [&](auto blend) {
        compose([&](LICE_pixel d, int k) { return blend(d, colourOf(k), w); });
      });
    return true;
  }
  // Anti-aliased coverage: the weight follows the coverage.
  const auto weightOf = [w](int k) { return w == 256 ? k + 1 : std::min(w * k / 256, 256); };
  switch (mode) {
    case kLiceCopy:
      if (w == 256)
        compose([&](LICE_pixel d, int k) { return CopyKeeping(d, colour, 255 - k); });
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
      WithOpaqueBlend(mode, [&](auto blend) {
        compose([&](LICE_pixel d, int k) { return blend(d, colour, weightOf(k)); });
      });
      return true;
  }
}
