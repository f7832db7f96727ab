#include <gtest/gtest.h>

#include <cstdint>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_SysBitmap.h"

namespace {

bool Aligned64(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 64 == 0; }

TEST(LICE_MemBitmap, RowSpanRoundsWidthUpToTheMask) {
  const struct { int width, mask, span; } cases[] = {{5, 3, 8}, {8, 3, 8}, {1002, 3, 1004}, {5, 0, 5}, {33, 31, 64}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " mask " << c.mask);
    LICE_MemBitmap bm(c.width, 2, c.mask);
    EXPECT_EQ(bm.RowSpan(), c.span);
    EXPECT_EQ(bm.AllocatedBytes(), c.span * 2 * 4);
    EXPECT_TRUE(Aligned64(bm.PixelData()));
  }
}

TEST(LICE_MemBitmap, GrowsWithQuarterHeadroomAndKeepsStorageWithinIt) {
  LICE_MemBitmap bm(10, 10);
  EXPECT_EQ(bm.AllocatedBytes(), 400);
  EXPECT_TRUE(bm.Resize(20, 10));
  EXPECT_EQ(bm.AllocatedBytes(), 1000);  // 800 needed, / 4 * 5
  EXPECT_TRUE(Aligned64(bm.PixelData()));
  LICE_pixel* before = bm.PixelData();
  EXPECT_TRUE(bm.Resize(25, 10));  // exactly the headroom
  EXPECT_EQ(bm.AllocatedBytes(), 1000);
  EXPECT_EQ(bm.PixelData(), before);
  EXPECT_TRUE(bm.Resize(2, 2));  // shrinking keeps the block
  EXPECT_EQ(bm.AllocatedBytes(), 1000);
  EXPECT_EQ(bm.Width(), 2);
}

TEST(LICE_MemBitmap, ResizeReportsOnlyChanges) {
  LICE_MemBitmap bm(4, 4);
  EXPECT_FALSE(bm.Resize(4, 4));
  EXPECT_TRUE(bm.Resize(4, 5));
  EXPECT_EQ(bm.Height(), 5);
}

TEST(LICE_MemBitmap, ZeroNegativeOrUnrepresentableSizesLeaveNoPixels) {
  const struct { int w, h; } cases[] = {{0, 10}, {10, 0}, {-3, 4}, {4, -3}, {65536, 65536}, {2147483647, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h);
    LICE_MemBitmap bm(8, 8, 3);
    EXPECT_TRUE(bm.Resize(c.w, c.h));
    EXPECT_EQ(bm.PixelData(), nullptr);
    EXPECT_EQ(bm.Width(), 0);
    EXPECT_EQ(bm.Height(), 0);
    EXPECT_EQ(bm.AllocatedBytes(), 0);
  }
}

TEST(LICE_MemBitmap, InterfaceDefaults) {
  LICE_MemBitmap bm(3, 3);
  LICE_IBitmap& base = bm;
  EXPECT_FALSE(base.RowsBottomUp());
  EXPECT_EQ(base.DeviceContext(), nullptr);
  EXPECT_EQ(base.ExtendedQuery(0x59555678, nullptr), 0);
}

TEST(LICE_SysBitmap, ShrinkKeepsTheAllocationAndItsRowSpan) {
  LICE_SysBitmap bm(100, 100);
  LICE_pixel* pixels = bm.PixelData();
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(bm.Resize(50, 50));
  EXPECT_EQ(bm.Width(), 50);
  EXPECT_EQ(bm.Height(), 50);
  EXPECT_EQ(bm.RowSpan(), 100);
  EXPECT_EQ(bm.PixelData(), pixels);
  EXPECT_TRUE(bm.Resize(100, 100));  // back within the allocation
  EXPECT_EQ(bm.PixelData(), pixels);
}

TEST(LICE_SysBitmap, GrowingReallocatesWithWidthRoundedToFour) {
  LICE_SysBitmap bm(10, 10);
  EXPECT_EQ(bm.RowSpan(), 12);
  EXPECT_TRUE(bm.Resize(13, 20));
  EXPECT_EQ(bm.RowSpan(), 16);
  EXPECT_EQ(bm.AllocatedHeight(), 20);
  EXPECT_TRUE(bm.Resize(13, 9));
  EXPECT_EQ(bm.AllocatedHeight(), 20);
  // Growing one way reallocates at the new size, not the larger of the two.
  EXPECT_TRUE(bm.Resize(30, 5));
  EXPECT_EQ(bm.RowSpan(), 32);
  EXPECT_EQ(bm.AllocatedHeight(), 5);
  EXPECT_FALSE(bm.Resize(30, 5));
}

TEST(LICE_SysBitmap, EmptySizesHaveNoPixelsAndReportNoSize) {
  LICE_SysBitmap bm(8, 8);
  EXPECT_FALSE(bm.Resize(0, 8));
  EXPECT_EQ(bm.PixelData(), nullptr);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 0);
  EXPECT_FALSE(bm.Resize(-4, -4));
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_TRUE(bm.Resize(3, 3));
  EXPECT_NE(bm.PixelData(), nullptr);
  LICE_SysBitmap none;
  EXPECT_EQ(none.PixelData(), nullptr);
}

TEST(LICE_SysBitmap, DeviceContextOnlyWhereGdiDraws) {
  LICE_SysBitmap bm(4, 4);
#ifdef _WIN32
  EXPECT_NE(bm.DeviceContext(), nullptr);
#else
  EXPECT_EQ(bm.DeviceContext(), nullptr);
#endif
  EXPECT_FALSE(bm.RowsBottomUp());
}

}  // namespace
