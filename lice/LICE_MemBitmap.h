#pragma once
// A bitmap in heap memory: decoded images live in these.

#include "lice/LICE_IBitmap.h"

class LICE_MemBitmap : public LICE_IBitmap {
public:
  // alignMask + 1 is the multiple rows are padded to (0: rows exactly width
  // pixels apart); it must be one less than a power of two.
  explicit LICE_MemBitmap(int width = 0, int height = 0, int alignMask = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* PixelData() const override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return (width_ + alignMask_) & ~alignMask_; }
  bool Resize(int width, int height) override;

  // Bytes of pixel storage held (without the alignment slack).
  int AllocatedBytes() const { return allocated_; }

private:
  void* storage_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int allocated_ = 0;
  int alignMask_;
};
