#pragma once
// Test signals and bit comparisons shared by the suites.

#include <cstdint>
#include <cstring>
#include <vector>

// Deterministic noise, uniform in -level .. level; the same seed gives the same samples.
template <typename Sample = double>
std::vector<Sample> Noise(int n, uint32_t seed, double level = 1.0) {
  std::vector<Sample> v(static_cast<size_t>(n));
  for (Sample& s : v) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<Sample>(level * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0));
  }
  return v;
}

// A value's bits, so that comparisons tell -0 from +0 and see NaNs as equal.
inline uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
inline uint32_t Bits(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
