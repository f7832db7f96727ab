// The stand-in used where there is no GDI: memory with the same sizing rules as
// the DIB section, and no device context.
#include "lice/LICE_SysBitmap.h"

#include <cstdlib>

namespace {
constexpr size_t kAlignment = 64;
}

LICE_SysBitmap::LICE_SysBitmap(int width, int height) { Resize(width, height); }

LICE_SysBitmap::~LICE_SysBitmap() { ReleaseSurface(); }

void LICE_SysBitmap::ReleaseSurface() {
  std::free(bits_);
  bits_ = nullptr;
}

bool LICE_SysBitmap::CreateSurface() {
  const size_t bytes = static_cast<size_t>(allocWidth_) * static_cast<size_t>(allocHeight_) * 4;
  const size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
  bits_ = static_cast<LICE_pixel*>(std::aligned_alloc(kAlignment, rounded));
  return bits_ != nullptr;
}
