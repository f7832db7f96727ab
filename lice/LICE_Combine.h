#pragma once
// Per-channel arithmetic of the combine modes, shared by blits, fills and the
// glyph compositor. Channels are ints 0..255; x / 256 truncates toward zero.

#include "lice/LICE_IBitmap.h"

namespace lice {

inline int Blue(LICE_pixel p) { return static_cast<int>(p & 0xFF); }
inline int Green(LICE_pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Red(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Alpha(LICE_pixel p) { return static_cast<int>(p >> 24); }

// Stores each channel in 8 bits, as the pixel format does.
inline LICE_pixel Pack(int b, int g, int r, int a) {
  return static_cast<LICE_pixel>(b & 0xFF) | static_cast<LICE_pixel>(g & 0xFF) << 8 |
         static_cast<LICE_pixel>(r & 0xFF) << 16 | static_cast<LICE_pixel>(a & 0xFF) << 24;
}

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The weight of a combine: alpha in 1/256 steps. Alpha beyond 0..1 (or not a
// number) is limited to that range, so no formula extrapolates past its ends.
inline int WeightOf(float alpha) {
  if (!(alpha > 0.0f)) return 0;
  if (alpha >= 1.0f) return 256;
  return static_cast<int>(alpha * 256.0f);
}

// Moves d toward s by weight w (256: all the way).
inline int Mix(int s, int d, int w) { return s + (d - s) * (256 - w) / 256; }

inline int AddChannel(int d, int s, int w) { return Clamp255(d + s * w / 256); }

inline int DodgeChannel(int d, int s, int w) {
  const int k = s * w / 256;
  return k < 255 ? Clamp255(d * 256 / (256 - k)) : Clamp255(d * 256);
}

inline int MultiplyChannel(int d, int s, int w) { return ((w * (s - 256) + 65536) * d) >> 16; }

inline int OverlayChannel(int d, int s, int w) {
  const int t = s * w + (256 - w) * 128;
  return Clamp255((((32768 - t) * d / 256) + t) * d >> 15);
}

// The hue/saturation/value adjust of d by the source s at weight w; the result's
// alpha byte is alphaOut.
LICE_pixel HueAdjust(LICE_pixel d, LICE_pixel s, int w, int alphaOut);

// Hue 0..383 (six sectors of 64), saturation and value 0..255.
struct LICE_HSV {
  int h;
  int s;
  int v;
};
LICE_HSV ToHSV(int r, int g, int b);
void FromHSV(const LICE_HSV& hsv, int& r, int& g, int& b);

}  // namespace lice
