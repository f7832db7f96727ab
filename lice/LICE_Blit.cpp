#include <algorithm>
#include <cstring>

#include "lice/LICE_Combine.h"
#include "lice/LICE_Raster.h"

using namespace lice;

namespace {

// The clipped area: w x h pixels from source (sx, sy) to destination (dx, dy).
struct BlitArea {
  LICE_Rows dst;
  LICE_Rows src;
  int dx, dy, sx, sy, w, h;
};

// Runs the kernel over the area, rows outer; the kernel maps (dst, src) to the
// new destination word.
template <class Kernel>
void ForEachPixel(const BlitArea& a, Kernel kernel) {
  for (int y = 0; y < a.h; ++y) {
    LICE_pixel* d = a.dst.Row(a.dy + y) + a.dx;
    const LICE_pixel* s = a.src.Row(a.sy + y) + a.sx;
    for (int x = 0; x < a.w; ++x) d[x] = kernel(d[x], s[x]);
  }
}

// The same combine on all four channels.
template <class Channel>
LICE_pixel EachChannel(LICE_pixel d, LICE_pixel s, Channel channel) {
  return Pack(channel(Blue(d), Blue(s)), channel(Green(d), Green(s)), channel(Red(d), Red(s)),
              channel(Alpha(d), Alpha(s)));
}

// Source alpha scales the weight; one more than alpha so 255 reaches the full weight.
int AlphaWeight(int w, LICE_pixel s) { return w * (Alpha(s) + 1) / 256; }

void CopyRows(const BlitArea& a) {
  for (int y = 0; y < a.h; ++y)
    std::memmove(a.dst.Row(a.dy + y) + a.dx, a.src.Row(a.sy + y) + a.sx, sizeof(LICE_pixel) * a.w);
}

void ChannelCopy(const BlitArea& a, int mode) {
  const int srcShift = (mode & 3) * 8;
  const int dstShift = ((mode >> 2) & 3) * 8;
  const LICE_pixel keep = ~(LICE_pixel{0xFF} << dstShift);
  ForEachPixel(a, [=](LICE_pixel d, LICE_pixel s) {
    return (d & keep) | ((s >> srcShift) & 0xFF) << dstShift;
  });
}

LICE_pixel CopyWithSourceAlpha(LICE_pixel d, LICE_pixel s, int w) {
  const int as = Alpha(s);
  if (as == 0) return d;
  if (w == 256 && as == 255) return s;
  // At full weight the colour follows alpha directly; otherwise the scaled weight.
  const int a = w == 256 ? as : AlphaWeight(w, s);
  const int keep = w == 256 ? 255 - as : 256 - a;
  const auto mixed = [keep](int dc, int sc) { return sc + (dc - sc) * keep / 256; };
  return Pack(mixed(Blue(d), Blue(s)), mixed(Green(d), Green(s)), mixed(Red(d), Red(s)),
              std::min(Alpha(d) + a, 255));
}

void Combine(const BlitArea& a, int mode, int w) {
  switch (mode) {
    case kLiceCopy:
      if (w == 256) return CopyRows(a);
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        return EachChannel(d, s, [w](int dc, int sc) { return Mix(sc, dc, w); });
      });
    case kLiceAdd:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        return EachChannel(d, s, [w](int dc, int sc) { return AddChannel(dc, sc, w); });
      });
    case kLiceDodge:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        return EachChannel(d, s, [w](int dc, int sc) { return DodgeChannel(dc, sc, w); });
      });
    case kLiceMultiply:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        return EachChannel(d, s, [w](int dc, int sc) { return MultiplyChannel(dc, sc, w); });
      });
    case kLiceOverlay:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        return EachChannel(d, s, [w](int dc, int sc) { return OverlayChannel(dc, sc, w); });
      });
    case kLiceHueAdjust:
    case kLiceHueAdjust | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) { return HueAdjust(d, s, w, Alpha(s)); });
    case kLiceCopy | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) { return CopyWithSourceAlpha(d, s, w); });
    case kLiceAdd | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        if (Alpha(s) == 0) return d;
        const int aw = AlphaWeight(w, s);
        return EachChannel(d, s, [aw](int dc, int sc) { return AddChannel(dc, sc, aw); });
      });
    case kLiceDodge | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        const int aw = AlphaWeight(w, s);
        return EachChannel(d, s, [aw](int dc, int sc) { return DodgeChannel(dc, sc, aw); });
      });
    case kLiceMultiply | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        if (Alpha(s) == 0) return d;
        const int aw = AlphaWeight(w, s);
        return EachChannel(d, s, [aw](int dc, int sc) { return MultiplyChannel(dc, sc, aw); });
      });
    case kLiceOverlay | kLiceUseSourceAlpha:
      return ForEachPixel(a, [w](LICE_pixel d, LICE_pixel s) {
        const int aw = AlphaWeight(w, s);
        return EachChannel(d, s, [aw](int dc, int sc) { return OverlayChannel(dc, sc, aw); });
      });
    default:
      return;  // unknown combines draw nothing
  }
}

// Clips the blit to both bitmaps; false when nothing remains.
bool ClipBlit(LICE_IBitmap& dst, LICE_IBitmap& src, long long dx, long long dy, const LICE_Rect* r,
              BlitArea& area) {
  long long sx = 0, sy = 0, sr = src.Width(), sb = src.Height();
  if (r) {
    sx = r->left;
    sy = r->top;
    if (r->left < 0) {
      dx -= r->left;
      sx = 0;
    }
    if (r->top < 0) {
      dy -= r->top;
      sy = 0;
    }
    sr = std::min<long long>(r->right, src.Width());
    sb = std::min<long long>(r->bottom, src.Height());
  }
  if (dx < 0) sx -= dx;
  if (dy < 0) sy -= dy;
  const long long dx0 = std::max(dx, 0LL), dy0 = std::max(dy, 0LL);
  if (sr <= sx || sb <= sy || dx0 >= dst.Width() || dy0 >= dst.Height()) return false;
  sr = std::min(sr, dst.Width() - dx0 + sx);
  sb = std::min(sb, dst.Height() - dy0 + sy);
  if (sr <= sx || sb <= sy) return false;
  if (!dst.PixelData() || !src.PixelData()) return false;
  area.dx = static_cast<int>(dx0);
  area.dy = static_cast<int>(dy0);
  area.sx = static_cast<int>(sx);
  area.sy = static_cast<int>(sy);
  area.w = static_cast<int>(sr - sx);
  area.h = static_cast<int>(sb - sy);
  return true;
}

}  // namespace

void BlitBitmap(LICE_IBitmap* dst, LICE_IBitmap* src, int dx, int dy, const LICE_Rect* srcRect,
                float alpha, int mode) {
  if (!dst || !src || alpha == 0.0f) return;
  BlitArea area{LICE_Rows(*dst), LICE_Rows(*src), 0, 0, 0, 0, 0, 0};
  if (!ClipBlit(*dst, *src, dx, dy, srcRect, area)) return;

  if ((mode & 0xFF) >= kLiceChannelCopy) return ChannelCopy(area, mode);
  mode &= 0xFF | kLiceUseSourceAlpha;
  if (mode == kLiceCopy && alpha == 1.0f) return CopyRows(area);
  if (mode == kLiceCopy && alpha == 0.5f) {
    return ForEachPixel(area, [](LICE_pixel d, LICE_pixel s) {
      return ((d >> 1) & 0x7F7F7F7F) + ((s >> 1) & 0x7F7F7F7F);
    });
  }
  const int w = WeightOf(alpha);
  if (w == 0) return;
  Combine(area, mode, w);
}
