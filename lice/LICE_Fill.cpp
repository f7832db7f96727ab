#include <algorithm>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"

using namespace lice;

namespace {

struct FillRect {
  LICE_Rows rows;
  int x, y, w, h;
};

template <class Kernel>
void ForEachPixel(const FillRect& f, Kernel kernel) {
  for (int y = 0; y < f.h; ++y) {
    LICE_pixel* d = f.rows.Row(f.y + y) + f.x;
    for (int x = 0; x < f.w; ++x) d[x] = kernel(d[x]);
  }
}

// Colour channels combine with the colour; alpha combines with the weight
// itself, as if the colour were drawn at that opacity.
template <class Channel>
LICE_pixel ColourAndWeight(LICE_pixel d, LICE_pixel c, int k, Channel channel) {
  return Pack(channel(Blue(d), Blue(c)), channel(Green(d), Green(c)), channel(Red(d), Red(c)),
              channel(Alpha(d), k));
}

// Whole-word fills at weights 1, 1/2, 1/4 and 3/4; false for other weights.
bool FillWholeWords(const FillRect& f, LICE_pixel c, int k) {
  const LICE_pixel half = (c >> 1) & 0x7F7F7F7F, quarter = (c >> 2) & 0x3F3F3F3F;
  switch (k) {
    case 256:
      ForEachPixel(f, [c](LICE_pixel) { return c; });
      return true;
    case 128:
      ForEachPixel(f, [half](LICE_pixel d) { return half + ((d >> 1) & 0x7F7F7F7F); });
      return true;
    case 64:
      ForEachPixel(f, [quarter](LICE_pixel d) {
        return ((d >> 1) & 0x7F7F7F7F) + quarter + ((d >> 2) & 0x3F3F3F3F);
      });
      return true;
    case 192:
      ForEachPixel(f, [quarter, half](LICE_pixel d) { return quarter + ((d >> 2) & 0x3F3F3F3F) + half; });
      return true;
    default:
      return false;
  }
}

void FillCombine(const FillRect& f, LICE_pixel c, int k, int mode) {
  switch (mode & 0xFF) {
    case kLiceCopy:
      return ForEachPixel(f, [c, k](LICE_pixel d) {
        return Pack(Mix(Blue(c), Blue(d), k), Mix(Green(c), Green(d), k), Mix(Red(c), Red(d), k),
                    Mix(k, Alpha(d), k));
      });
    case kLiceAdd:
      return ForEachPixel(f, [c, k](LICE_pixel d) {
        return ColourAndWeight(d, c, k, [k](int dc, int sc) { return AddChannel(dc, sc, k); });
      });
    case kLiceDodge:
      return ForEachPixel(f, [c, k](LICE_pixel d) {
        return ColourAndWeight(d, c, k, [k](int dc, int sc) { return DodgeChannel(dc, sc, k); });
      });
    case kLiceMultiply:
      return ForEachPixel(f, [c, k](LICE_pixel d) {
        const auto mul = [k](int dc, int sc) { return (dc * (k * sc + (256 - k) * 256)) >> 16; };
        return ColourAndWeight(d, c, k, mul);
      });
    case kLiceOverlay:
      return ForEachPixel(f, [c, k](LICE_pixel d) {
        return ColourAndWeight(d, c, k, [k](int dc, int sc) { return OverlayChannel(dc, sc, k); });
      });
    case kLiceHueAdjust:
      return ForEachPixel(f, [c, k](LICE_pixel d) { return HueAdjust(d, c, k, k & 0xFF); });
    default:
      return;  // unknown combines draw nothing
  }
}

}  // namespace

void FillArea(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour, float alpha, int mode) {
  if (!bm) return;
  if (mode & kLiceUseSourceAlpha) alpha *= static_cast<float>(Alpha(colour)) / 255.0f;
  if (alpha == 0.0f || !bm->PixelData() || bm->RowSpan() == 0) return;

  long long left = x, top = y, width = w, height = h;
  if (left < 0) {
    width += left;
    left = 0;
  }
  if (width < 1) return;
  if (top < 0) {
    height += top;
    top = 0;
  }
  if (height < 1) return;
  if (left >= bm->Width() || top >= bm->Height()) return;
  const FillRect f{LICE_Rows(*bm), static_cast<int>(left), static_cast<int>(top),
                   static_cast<int>(std::min(width, bm->Width() - left)),
                   static_cast<int>(std::min(height, bm->Height() - top))};

  const int k = WeightOf(alpha);
  if (k == 0) return;
  if ((mode & 0xFF) == kLiceCopy && FillWholeWords(f, colour, k)) return;
  FillCombine(f, colour, k, mode);
}
