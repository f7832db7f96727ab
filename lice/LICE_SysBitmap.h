#pragma once
// A bitmap GDI can draw into: the editor's back buffer and the font code's
// scratch surfaces. On Windows the pixels are a top-down 32-bit DIB section
// selected into a memory device context; elsewhere they are plain memory and
// there is no device context, with the same sizing rules.
//
// The surface only grows: shrinking keeps the allocation, and RowSpan() stays
// the allocated width. User-interface thread only.

#include "lice/LICE_IBitmap.h"

struct HBITMAP__;

class LICE_SysBitmap : public LICE_IBitmap {
public:
  explicit LICE_SysBitmap(int width = 0, int height = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* PixelData() const override { return bits_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return allocWidth_; }
  bool Resize(int width, int height) override;
  LICE_HDC DeviceContext() const override { return dc_; }

  int AllocatedHeight() const { return allocHeight_; }

private:
  void ReleaseSurface();
  bool CreateSurface();

  int width_ = 0;
  int height_ = 0;
  LICE_HDC dc_ = nullptr;
  LICE_pixel* bits_ = nullptr;
  int allocWidth_ = 0;
  int allocHeight_ = 0;
  HBITMAP__* dib_ = nullptr;
  void* previous_ = nullptr;  // the object the DIB section displaced from dc_
};
