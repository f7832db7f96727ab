#include "lice/LICE_SysBitmap.h"

// The sizing rules both surfaces share; the constructor, destructor,
// ReleaseSurface and CreateSurface are the platform's.

bool LICE_SysBitmap::Resize(int width, int height) {
#ifdef _WIN32
  if (!dc_) {
    width_ = height_ = 0;
    bits_ = nullptr;
    return false;
  }
#endif
  if (width == width_ && height == height_) return false;
  width_ = width;
  height_ = height;
  if (width > 0 && height > 0 && bits_ && allocWidth_ >= width && allocHeight_ >= height) return true;

  allocHeight_ = height;
  // Rows of a multiple of 4 pixels; a width that cannot be rounded fails.
  allocWidth_ = width > 0 && width <= 0x7FFFFFFC ? (width + 3) & ~3 : 0;
  ReleaseSurface();
  if (allocWidth_ < 1 || height < 1) {
    // No pixels: report no size rather than a size without pixels.
    width_ = height_ = 0;
    return false;
  }
  if (!CreateSurface()) {
    bits_ = nullptr;
    width_ = height_ = 0;
  }
  return true;
}
