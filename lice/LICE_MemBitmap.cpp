#include "lice/LICE_MemBitmap.h"

#include <cassert>
#include <climits>
#include <cstdlib>

namespace {
// Pixel data starts on a cache-line boundary; every block carries the slack.
constexpr long long kAlignment = 64;
constexpr long long kSlack = kAlignment - 1;
}  // namespace

LICE_MemBitmap::LICE_MemBitmap(int width, int height, int alignMask) : alignMask_(alignMask) {
  assert(alignMask >= 0 && (alignMask & (alignMask + 1)) == 0);
  Resize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap() { std::free(storage_); }

LICE_pixel* LICE_MemBitmap::PixelData() const {
  if (!storage_) return nullptr;
  const std::uintptr_t raw = reinterpret_cast<std::uintptr_t>(storage_);
  const std::uintptr_t aligned = (raw + kSlack) & ~static_cast<std::uintptr_t>(kSlack);
  return reinterpret_cast<LICE_pixel*>(aligned);
}

bool LICE_MemBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  long long needed = 0;
  if (width > 0 && height > 0) {
    const long long span = (static_cast<long long>(width) + alignMask_) & ~static_cast<long long>(alignMask_);
    needed = height * span * 4;
  }
  // A size whose bytes do not fit the bookkeeping is an allocation failure.
  const bool representable = needed + kSlack <= INT_MAX;

  if (needed > 0 && representable) {
    if (!storage_) {
      storage_ = std::malloc(static_cast<size_t>(needed + kSlack));
      allocated_ = storage_ ? static_cast<int>(needed) : 0;
    } else if (allocated_ < needed) {
      // Grow with 25 % headroom so a run of small enlargements reallocates rarely.
      const long long roomy = needed / 4 * 5;
      void* grown = roomy + kSlack <= INT_MAX
                        ? std::realloc(storage_, static_cast<size_t>(roomy + kSlack))
                        : nullptr;
      if (grown) {
        storage_ = grown;
        allocated_ = static_cast<int>(roomy);
      } else {
        std::free(storage_);
        storage_ = std::malloc(static_cast<size_t>(needed + kSlack));
        allocated_ = storage_ ? static_cast<int>(needed) : 0;
      }
    }
  } else {
    std::free(storage_);
    storage_ = nullptr;
    allocated_ = 0;
  }
  if (!storage_) {
    width_ = 0;
    height_ = 0;
  }
  return true;
}
