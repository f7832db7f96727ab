#pragma once
// Unscaled blits, rectangle fills and the in-place blur, over any LICE_IBitmap.
// Everything is clipped to both bitmaps; nothing outside their pixels is read
// or written. User-interface thread only.

#include "lice/LICE_IBitmap.h"

// Combine mode words of BlitBitmap and FillArea. The low byte picks the
// combine; kLiceUseSourceAlpha weights it by the source pixel's alpha (for a
// fill, by the colour's alpha). Other bits are ignored.
enum : int {
  kLiceCopy = 0,
  kLiceAdd = 1,
  kLiceDodge = 2,
  kLiceMultiply = 3,
  kLiceOverlay = 4,
  kLiceHueAdjust = 5,
  // 0xF0 | dst << 2 | src: copy one channel (0 blue, 1 green, 2 red, 3 alpha).
  kLiceChannelCopy = 0xF0,
  kLiceUseSourceAlpha = 0x10000,
};

// Blits the source rectangle (all of src when null) of src to (dx, dy) of dst
// with weight alpha (0..1) in the given mode.
void BlitBitmap(LICE_IBitmap* dst, LICE_IBitmap* src, int dx, int dy, const LICE_Rect* srcRect,
                float alpha, int mode);

// Fills w x h pixels at (x, y) with colour at weight alpha in the given mode.
void FillArea(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour, float alpha, int mode);

// Blurs the top-left w x h pixels of bm in place.
void BlurArea(LICE_IBitmap* bm, int w, int h);
