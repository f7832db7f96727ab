#pragma once
// The drawing library's pixel surface. Pixels are 32-bit words
// alpha<<24 | red<<16 | green<<8 | blue (bytes blue, green, red, alpha in
// memory), not premultiplied. Rows are RowSpan() pixels apart.
//
// Bitmaps are used on the editor's user-interface thread only.

#include <cstdint>

// GDI's device-context handle type, declared the way <windows.h> declares it so
// that portable code can pass it around without the Windows headers.
struct HDC__;
using LICE_HDC = HDC__*;

using LICE_pixel = std::uint32_t;

class LICE_IBitmap {
public:
  virtual ~LICE_IBitmap() = default;

  // First byte of the pixel memory, or null. That is row 0, unless the rows
  // are stored bottom-up (then row 0 is the last row in memory).
  virtual LICE_pixel* PixelData() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pixels from one row to the next.
  virtual int RowSpan() const = 0;
  virtual bool RowsBottomUp() const { return false; }
  // True when the size changed. Pixel contents afterwards are unspecified.
  virtual bool Resize(int width, int height) = 0;
  // The GDI device context drawing into these pixels, or null.
  virtual LICE_HDC DeviceContext() const { return nullptr; }
  virtual std::intptr_t ExtendedQuery(int code, void* data) {
    (void)code;
    (void)data;
    return 0;
  }
};

// A rectangle with exclusive right and bottom edges.
struct LICE_Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Row access that honours bottom-up storage; every raster operation goes
// through it.
struct LICE_Rows {
  LICE_pixel* first = nullptr;  // row 0
  long long step = 0;           // pixels from row y to row y + 1

  explicit LICE_Rows(const LICE_IBitmap& bm) {
    LICE_pixel* bits = bm.PixelData();
    if (!bits) return;
    step = bm.RowSpan();
    first = bits;
    if (bm.RowsBottomUp() && bm.Height() > 0) {
      first = bits + step * (bm.Height() - 1);
      step = -step;
    }
  }
  LICE_pixel* Row(int y) const { return first + step * y; }
};
