#include <algorithm>
#include <memory>

#include "lice/LICE_Raster.h"

namespace {

// One term of the blur: each channel shifted right, fractions dropped per channel.
LICE_pixel Half(LICE_pixel p) { return (p >> 1) & 0x7F7F7F7F; }
LICE_pixel Quarter(LICE_pixel p) { return (p >> 2) & 0x3F3F3F3F; }
LICE_pixel Eighth(LICE_pixel p) { return (p >> 3) & 0x1F1F1F1F; }

// The horizontal terms: 1/8 each side, or 1/4 from the only neighbour at an edge.
// Channel sums stay below 256, so whole words add without carries.
LICE_pixel Sideways(const LICE_pixel* original, int x, int w) {
  if (x == 0) return Quarter(original[1]);
  if (x == w - 1) return Quarter(original[x - 1]);
  return Eighth(original[x - 1]) + Eighth(original[x + 1]);
}

}  // namespace

void BlurArea(LICE_IBitmap* bm, int w, int h) {
  if (!bm) return;
  w = std::min(w, bm->Width());
  h = std::min(h, bm->Height());
  if (w < 2 || h < 2 || !bm->PixelData()) return;
  const LICE_Rows rows(*bm);

  // The previous and the current row as they were before blurring.
  constexpr int kStackWidth = 1024;
  LICE_pixel onStack[2 * kStackWidth];
  std::unique_ptr<LICE_pixel[]> onHeap;
  LICE_pixel* above = onStack;
  if (w > kStackWidth) {
    onHeap.reset(new LICE_pixel[2 * static_cast<size_t>(w)]);
    above = onHeap.get();
  }
  LICE_pixel* current = above + w;

  for (int y = 0; y < h; ++y) {
    LICE_pixel* row = rows.Row(y);
    std::copy(row, row + w, current);
    const LICE_pixel* below = y + 1 < h ? rows.Row(y + 1) : nullptr;
    for (int x = 0; x < w; ++x) {
      LICE_pixel sum = Half(current[x]) + Sideways(current, x, w);
      if (y == 0)
        sum += Quarter(below[x]);
      else if (y == h - 1)
        sum += Quarter(rows.Row(y - 1)[x]);  // the row above as already blurred
      else
        sum += Eighth(above[x]) + Eighth(below[x]);
      row[x] = sum;
    }
    std::swap(above, current);
  }
}
