// Text through real system fonts: only Windows has them.
#include <gtest/gtest.h>

#include "graphics/IGraphicsCaches.h"
#include "graphics/IGraphicsHeadless.h"
#include "lice/LICE_Raster.h"
#include "tests/lice/PixelTestSupport.h"

namespace {

constexpr LICE_pixel kPaper = 0xFFFFFFFF;

int InkedPixels(const IGraphics& g, const IBounds& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      n += testing_lice::GetPixel(*g.BackBuffer(), x, y) != kPaper;
  return n;
}

TEST(IGraphicsText, FontsAreSharedAcrossQualities) {
  IGraphicsHeadless g(nullptr, 10, 10, 25);
  ITextStyle plain, smooth, bold;
  plain.size = 17;
  smooth = plain;
  smooth.quality = kQualityClearType;
  bold = plain;
  bold.style = kTextBold;
  LICE_IFont* font = g.FindOrCreateFont(plain);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(plain.cachedFont, font);
  EXPECT_EQ(g.FindOrCreateFont(smooth), font);
  EXPECT_NE(g.FindOrCreateFont(bold), font);
}

TEST(IGraphicsText, DrawsAndMeasuresWithinTheRectangle) {
  IGraphicsHeadless g(nullptr, 300, 60, 25);
  g.CreateSurfaces();
  FillArea(g.BackBuffer(), 0, 0, 300, 60, kPaper, 1.0f, kLiceCopy);
  ITextStyle style;
  style.alignment = kAlignLeft;
  IBounds box{100, 10, 290, 50};
  ASSERT_TRUE(g.MeasureText(style, "Gain 5.00", box));
  EXPECT_EQ(box.left, 100);
  EXPECT_GT(box.Width(), 20);
  EXPECT_GT(box.Height(), 5);

  IBounds where = box;
  ASSERT_TRUE(g.DrawTextIn(style, "Gain 5.00", where, false));
  const int inside = InkedPixels(g, {box.left, box.top, box.right + 1, box.bottom + 1});
  EXPECT_GT(inside, 20);
  EXPECT_EQ(InkedPixels(g, {0, 0, 300, 60}), inside) << "nothing outside the measured extent";
}

}  // namespace
