// Feeds arbitrary bytes to the PNG decoder: it must answer a bitmap or null,
// never read outside the block, crash or leak.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  // Keep the fuzzer's memory limit for real faults: skip headers declaring more
  // than 4 megapixels, which decode correctly but slowly and hugely.
  if (size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0) {
    const auto be32 = [&](size_t i) {
      return static_cast<std::uint64_t>(data[i]) << 24 | data[i + 1] << 16 | data[i + 2] << 8 | data[i + 3];
    };
    if (be32(16) * be32(20) > (4u << 20)) return 0;
  }
  // An exact-size heap copy, so any read past the end is caught.
  std::uint8_t* copy = new std::uint8_t[size ? size : 1];
  if (size) std::memcpy(copy, data, size);
  LICE_MemBitmap* bm = DecodePngImage(copy, static_cast<int>(size));
  if (bm) {
    // Touch every pixel so a short or misplaced row shows up.
    volatile LICE_pixel sum = 0;
    for (int y = 0; y < bm->Height(); ++y)
      for (int x = 0; x < bm->Width(); ++x) sum = sum + bm->PixelData()[static_cast<size_t>(y) * bm->RowSpan() + x];
  }
  delete bm;
  delete[] copy;
  return 0;
}
