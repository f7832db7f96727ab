// The system bitmap on GDI: a top-down 32-bit DIB section selected into a
// memory device context compatible with the screen.
#include <windows.h>

#include "lice/LICE_SysBitmap.h"

LICE_SysBitmap::LICE_SysBitmap(int width, int height) {
  dc_ = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() {
  ReleaseSurface();
  if (dc_) DeleteDC(dc_);
}

void LICE_SysBitmap::ReleaseSurface() {
  if (dib_) {
    SelectObject(dc_, static_cast<HGDIOBJ>(previous_));
    DeleteObject(dib_);
  }
  dib_ = nullptr;
  previous_ = nullptr;
  bits_ = nullptr;
}

bool LICE_SysBitmap::CreateSurface() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = allocWidth_;
  // Negative height: rows top-down, as every bitmap of the library stores them.
  info.bmiHeader.biHeight = RowsBottomUp() ? allocHeight_ : -allocHeight_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib_ || !bits) {
    if (dib_) DeleteObject(dib_);
    dib_ = nullptr;
    return false;
  }
  bits_ = static_cast<LICE_pixel*>(bits);
  previous_ = SelectObject(dc_, dib_);
  return true;
}
