#pragma once
// Helpers shared by the raster tests: pixel access that honours bottom-up rows,
// a bottom-up bitmap, seeded random content and channel arithmetic for the
// per-pixel reference.

#include <cstdint>
#include <random>
#include <vector>

#include "lice/LICE_IBitmap.h"

namespace testing_lice {

inline LICE_pixel* PixelAddress(const LICE_IBitmap& bm, int x, int y) {
  const int row = bm.RowsBottomUp() ? bm.Height() - 1 - y : y;
  return bm.PixelData() + static_cast<long long>(row) * bm.RowSpan() + x;
}
inline LICE_pixel GetPixel(const LICE_IBitmap& bm, int x, int y) { return *PixelAddress(bm, x, y); }
inline void PutPixel(LICE_IBitmap& bm, int x, int y, LICE_pixel p) { *PixelAddress(bm, x, y) = p; }

// Rows stored last row first, with padding, to prove the operations go
// through RowSpan and RowsBottomUp rather than assuming a layout.
class BottomUpBitmap : public LICE_IBitmap {
public:
  BottomUpBitmap(int w, int h, int padding) { Reallocate(w, h, padding); }
  LICE_pixel* PixelData() const override { return pixels_.empty() ? nullptr : const_cast<LICE_pixel*>(pixels_.data()); }
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  int RowSpan() const override { return w_ + padding_; }
  bool RowsBottomUp() const override { return true; }
  bool Resize(int w, int h) override {
    if (w == w_ && h == h_) return false;
    Reallocate(w, h, padding_);
    return true;
  }

private:
  void Reallocate(int w, int h, int padding) {
    w_ = w;
    h_ = h;
    padding_ = padding;
    pixels_.assign(static_cast<size_t>((w + padding) * h), 0xDEADBEEF);
  }
  std::vector<LICE_pixel> pixels_;
  int w_ = 0, h_ = 0, padding_ = 0;
};

inline void FillRandom(LICE_IBitmap& bm, std::mt19937& rng) {
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) PutPixel(bm, x, y, static_cast<LICE_pixel>(rng()));
}

// Every stored word, padding included, so writes outside the pixels show up.
inline std::vector<LICE_pixel> AllWords(const LICE_IBitmap& bm) {
  const size_t n = static_cast<size_t>(bm.RowSpan()) * static_cast<size_t>(bm.Height());
  return std::vector<LICE_pixel>(bm.PixelData(), bm.PixelData() + n);
}

inline int Chan(LICE_pixel p, int c) { return static_cast<int>((p >> (8 * c)) & 0xFF); }
inline LICE_pixel FromChannels(const int (&c)[4]) {
  return static_cast<LICE_pixel>(c[0] & 0xFF) | static_cast<LICE_pixel>(c[1] & 0xFF) << 8 |
         static_cast<LICE_pixel>(c[2] & 0xFF) << 16 | static_cast<LICE_pixel>(c[3] & 0xFF) << 24;
}

}  // namespace testing_lice
