#include <windows.h>

#include <gtest/gtest.h>

#include "lice/LICE_SysBitmap.h"
#include "tests/lice/PixelTestSupport.h"

using namespace testing_lice;

namespace {

// GDI draws through the device context; the pixels must show it top-down at
// the same place, in the library's word order.
void ExpectGdiPixelLands(LICE_SysBitmap& bm, int x, int y) {
  SetPixelV(bm.DeviceContext(), x, y, RGB(10, 20, 30));
  GdiFlush();
  EXPECT_EQ(GetPixel(bm, x, y) & 0x00FFFFFF, 0x000A141Eu);
}

TEST(LICE_SysBitmapGdi, GdiDrawsIntoTheSamePixelsTopDown) {
  LICE_SysBitmap bm(13, 7);
  ASSERT_NE(bm.DeviceContext(), nullptr);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) PutPixel(bm, x, y, 0);
  ExpectGdiPixelLands(bm, 3, 1);
  ExpectGdiPixelLands(bm, 12, 6);
  EXPECT_EQ(bm.RowSpan(), 16);
}

TEST(LICE_SysBitmapGdi, DeviceContextFollowsEveryReallocation) {
  LICE_SysBitmap bm(8, 8);
  bm.Resize(4, 4);  // kept
  ExpectGdiPixelLands(bm, 3, 3);
  bm.Resize(40, 30);  // a new DIB section, selected in place of the old
  ExpectGdiPixelLands(bm, 39, 29);
  bm.Resize(0, 0);
  EXPECT_EQ(bm.PixelData(), nullptr);
  bm.Resize(5, 5);
  ExpectGdiPixelLands(bm, 4, 4);
}

TEST(LICE_SysBitmapGdi, ManySurfacesReleaseTheirGdiObjects) {
  // Each surface holds a device context and two DIB sections in turn; leaking
  // either would exhaust GDI's handle table (at most 65536 handles) before
  // this loop ends.
  for (int i = 0; i < 70000; ++i) {
    LICE_SysBitmap bm(16, 16);
    bm.Resize(32, 32);
    ASSERT_NE(bm.PixelData(), nullptr) << i;
  }
}

}  // namespace
