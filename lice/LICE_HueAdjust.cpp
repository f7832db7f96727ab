// Hue/saturation/value adjust. Hue is a circle of 384 steps (six sectors of
// 64); the forward conversion divides through a reciprocal table, the way back
// works in 0x4000 fixed point. Rounding: every fixed-point product is rounded
// to nearest, and a table entry is used as floor(65536 / x), i.e. entry + 1.
#include <array>
#include <cstddef>

#include "lice/LICE_Combine.h"

namespace lice {
namespace {

constexpr int kSector = 64;
constexpr int kHueSteps = 6 * kSector;
constexpr int kOne = 0x4000;  // 1.0 of the way back

// Entry x is floor(65536 / x) - 1 so that entry 1 still fits 16 bits.
const std::array<int, 256>& Reciprocals() {
  static const std::array<int, 256> table = [] {
    std::array<int, 256> t{};
    for (int x = 1; x < 256; ++x) t[static_cast<std::size_t>(x)] = 65536 / x - 1;
    return t;
  }();
  return table;
}

// Rounded n / x for 0 <= n and 1 <= x <= 255, n * 65536 within int.
int DivideByTable(int n, int x) {
  const long long inverse = Reciprocals()[static_cast<std::size_t>(x)] + 1;
  return static_cast<int>((n * inverse + 0x8000) >> 16);
}

int SignedDivideByTable(int n, int x) { return n < 0 ? -DivideByTable(-n, x) : DivideByTable(n, x); }

int RoundedScale(int v, int factor) { return (v * factor + kOne / 2) >> 14; }

}  // namespace

LICE_HSV ToHSV(int r, int g, int b) {
  const int v = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const int delta = v - lo;
  if (delta == 0) return {0, 0, v};
  const int s = DivideByTable(delta * 255, v);
  int h;
  if (r == v)
    h = SignedDivideByTable((g - b) * kSector, delta);
  else if (g == v)
    h = 2 * kSector + SignedDivideByTable((b - r) * kSector, delta);
  else
    h = 4 * kSector + SignedDivideByTable((r - g) * kSector, delta);
  if (h < 0) h += kHueSteps;
  return {h, s, v};
}

void FromHSV(const LICE_HSV& hsv, int& r, int& g, int& b) {
  const int v = hsv.v;
  const int sector = hsv.h / kSector;
  const int fraction = (hsv.h % kSector) * (kOne / kSector);
  const int s = (hsv.s * kOne + 127) / 255;
  const int p = RoundedScale(v, kOne - s);
  const int q = RoundedScale(v, kOne - RoundedScale(s, fraction));
  const int t = RoundedScale(v, kOne - RoundedScale(s, kOne - fraction));
  switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
}

LICE_pixel HueAdjust(LICE_pixel d, LICE_pixel s, int w, int alphaOut) {
  LICE_HSV hsv = ToHSV(Red(d), Green(d), Blue(d));
  const int sr = Red(s);
  hsv.h = (hsv.h + w * (sr / 2 + sr - 192) / 256) % kHueSteps;
  if (hsv.h < 0) hsv.h += kHueSteps;
  hsv.s = Clamp255(hsv.s + w * (Green(s) - 128) / 128);
  hsv.v = Clamp255(hsv.v + w * (Blue(s) - 128) / 128);
  int r, g, b;
  FromHSV(hsv, r, g, b);
  return Pack(b, g, r, alphaOut);
}

}  // namespace lice
