#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVROLayout.h"
#include "tests/lice/FileBytes.h"
#include "tests/lice/PixelTestSupport.h"

using namespace ZAVROLayout;
using testing_lice::Chan;
using testing_lice::GetPixel;

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

// WCAG relative luminance of an 8-bit sRGB colour.
double Luminance(int r, int g, int b) {
  const auto linear = [](int c) {
    const double v = c / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

// The committed images, decoded once for the suite, in the strips' order.
class ZAVROArtworkTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    for (const StripDef& strip : kStrips) {
      const std::vector<unsigned char> file = testing_lice::ReadFileBytes(std::string(ZAVRO_SOURCE_DIR "/") + strip.fileName);
      images().emplace_back(DecodePngImage(file.data(), static_cast<int>(file.size())));
    }
  }
  static void TearDownTestSuite() { images().clear(); }

  static std::vector<std::unique_ptr<LICE_MemBitmap>>& images() {
    static std::vector<std::unique_ptr<LICE_MemBitmap>> decoded;
    return decoded;
  }
  static const LICE_MemBitmap* Image(int resourceId) {
    return images()[static_cast<size_t>(resourceId - kFirstResourceId)].get();
  }
};

TEST_F(ZAVROArtworkTest, EveryStripDecodesAtItsLayoutSize) {
  for (const StripDef& strip : kStrips) {
    SCOPED_TRACE(strip.fileName);
    const LICE_MemBitmap* image = Image(strip.resourceId);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), strip.frameWidth);
    EXPECT_EQ(image->Height(), strip.frameHeight * strip.frames);
  }
}

// The tables agree with each other: ids without gaps, every strip shown by
// exactly one control, every control and caption inside the editor, every
// caption over a knob of the same parameter.
TEST_F(ZAVROArtworkTest, LayoutTablesAgree) {
  std::multiset<int> shown;
  for (int i = 0; i < kStripCount; ++i) EXPECT_EQ(kStrips[i].resourceId, kFirstResourceId + i);
  for (const BitmapControlDef& c : kBitmapControls) {
    SCOPED_TRACE(c.resourceId);
    ASSERT_GE(c.resourceId, kFirstResourceId);
    ASSERT_LT(c.resourceId, kFirstResourceId + kStripCount);
    shown.insert(c.resourceId);
    const StripDef& strip = StripOf(c.resourceId);
    EXPECT_LE(c.left + strip.frameWidth, kEditorWidth);
    EXPECT_LE(c.top + strip.frameHeight, kEditorHeight);
    EXPECT_EQ(c.direction != kNoDrag, c.kind == ControlKind::Knob);
    EXPECT_EQ(c.paramIdx == kNoParam, c.kind == ControlKind::Background);
  }
  for (int id = kFirstResourceId; id < kFirstResourceId + kStripCount; ++id) EXPECT_EQ(shown.count(id), 1u) << id;
  EXPECT_EQ(kBitmapControls[0].kind, ControlKind::Background);

  for (const CaptionDef& caption : kCaptions) {
    SCOPED_TRACE(caption.paramIdx);
    EXPECT_LE(caption.right, kEditorWidth);
    EXPECT_LE(caption.bottom, kEditorHeight);
    EXPECT_TRUE(std::any_of(std::begin(kBitmapControls), std::end(kBitmapControls), [&](const BitmapControlDef& c) {
      return c.kind == ControlKind::Knob && c.paramIdx == caption.paramIdx;
    }));
  }
}

// The plug-in prints its captions in light grey into these boxes: the panel
// leaves them empty and dark, and no control's image covers them.
TEST_F(ZAVROArtworkTest, CaptionWindowsAreDarkAndEmpty) {
  const LICE_MemBitmap& bg = *Image(kBitmapControls[0].resourceId);
  const double text = Luminance(kCaptionText.red, kCaptionText.green, kCaptionText.blue);
  for (const CaptionDef& box : kCaptions) {
    SCOPED_TRACE(box.paramIdx);
    int lowest = 255;
    int highest = 0;
    double worstContrast = 1e9;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) {
        const LICE_pixel p = GetPixel(bg, x, y);
        for (int c : {0, 1, 2}) {
          lowest = std::min(lowest, Chan(p, c));
          highest = std::max(highest, Chan(p, c));
        }
        const double l = Luminance(Chan(p, 2), Chan(p, 1), Chan(p, 0));
        worstContrast = std::min(worstContrast, (text + 0.05) / (l + 0.05));
      }
    }
    EXPECT_GE(worstContrast, 7.0);     // small text, highest contrast grade
    EXPECT_LE(highest - lowest, 16);   // nothing printed inside

    for (int i = 1; i < kBitmapControlCount; ++i) {
      const BitmapControlDef& c = kBitmapControls[i];
      const StripDef& strip = StripOf(c.resourceId);
      const LICE_MemBitmap& image = *Image(c.resourceId);
      const int left = std::max(box.left, c.left), right = std::min(box.right, c.left + strip.frameWidth);
      const int top = std::max(box.top, c.top), bottom = std::min(box.bottom, c.top + strip.frameHeight);
      for (int f = 0; f < strip.frames; ++f) {
        for (int y = top; y < bottom; ++y) {
          for (int x = left; x < right; ++x) {
            ASSERT_EQ(Chan(GetPixel(image, x - c.left, y - c.top + f * strip.frameHeight), 3), 0)
                << strip.fileName << " frame " << f << " covers the caption at " << x << "," << y;
          }
        }
      }
    }
  }
}

// A knob turns and a switch changes from each frame to the next: no frame
// repeats the one before it.
TEST_F(ZAVROArtworkTest, EveryFrameDiffersFromTheNext) {
  for (const StripDef& strip : kStrips) {
    SCOPED_TRACE(strip.fileName);
    const LICE_MemBitmap& image = *Image(strip.resourceId);
    const size_t rowBytes = static_cast<size_t>(strip.frameWidth) * sizeof(LICE_pixel);
    for (int f = 0; f + 1 < strip.frames; ++f) {
      bool same = true;
      for (int y = 0; y < strip.frameHeight && same; ++y) {
        same = std::memcmp(testing_lice::PixelAddress(image, 0, f * strip.frameHeight + y),
                           testing_lice::PixelAddress(image, 0, (f + 1) * strip.frameHeight + y), rowBytes) == 0;
      }
      EXPECT_FALSE(same) << "frames " << f << " and " << f + 1;
    }
  }
}

// Where the pointer of frame f points: the mean position of the near-white
// pixels on the knob's skirt (the ring outside its cap), in degrees clockwise
// from twelve o'clock.
double PointerAngle(const LICE_MemBitmap& image, const StripDef& strip, int f) {
  const double cx = strip.frameWidth / 2.0, cy = strip.frameHeight / 2.0;
  const double half = std::min(strip.frameWidth, strip.frameHeight) / 2.0;
  double sx = 0.0, sy = 0.0;
  for (int y = 0; y < strip.frameHeight; ++y) {
    for (int x = 0; x < strip.frameWidth; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, r = std::hypot(dx, dy);
      const LICE_pixel p = GetPixel(image, x, f * strip.frameHeight + y);
      const bool white = Chan(p, 3) >= 250 && Chan(p, 2) >= 200 && Chan(p, 1) >= 200 && Chan(p, 0) >= 200;
      if (white && r > 0.7 * half && r < 0.9 * half) {
        sx += dx;
        sy += dy;
      }
    }
  }
  return std::atan2(sx, -sy) / kDegree;
}

// Brightest background pixel just outside a knob's frame circle, along the
// direction given (degrees clockwise from twelve o'clock), give or take 1.5 degrees.
int ScaleInkAt(const LICE_MemBitmap& bg, const BitmapControlDef& c, double degrees) {
  const StripDef& strip = StripOf(c.resourceId);
  const double cx = c.left + strip.frameWidth / 2.0, cy = c.top + strip.frameHeight / 2.0;
  const double half = std::min(strip.frameWidth, strip.frameHeight) / 2.0;
  int brightest = 0;
  for (double d = degrees - 1.5; d <= degrees + 1.5; d += 0.5) {
    const double a = d * kDegree;
    for (double r = half; r <= half + 8.0; r += 0.25) {
      const LICE_pixel p =
          GetPixel(bg, static_cast<int>(cx + r * std::sin(a)), static_cast<int>(cy - r * std::cos(a)));
      brightest = std::max(brightest, Chan(p, 1));
    }
  }
  return brightest;
}

// Knobs turn clockwise as their value rises, from lower left to lower right,
// and the first and last frames point at the ends of the scale printed around
// them on the background.
TEST_F(ZAVROArtworkTest, KnobPointersSweepTheirPrintedScales) {
  const LICE_MemBitmap& bg = *Image(kBitmapControls[0].resourceId);
  for (const BitmapControlDef& c : kBitmapControls) {
    const StripDef& strip = StripOf(c.resourceId);
    if (c.kind != ControlKind::Knob || strip.frames != 101) continue;
    SCOPED_TRACE(strip.fileName);
    const LICE_MemBitmap& image = *Image(c.resourceId);
    double last = -180.0;
    for (int f = 0; f < strip.frames; f += 10) {
      const double angle = PointerAngle(image, strip, f);
      EXPECT_GT(angle, last) << "frame " << f;
      last = angle;
    }
    const double first = PointerAngle(image, strip, 0), end = PointerAngle(image, strip, strip.frames - 1);
    EXPECT_LT(first, -90.0);
    EXPECT_GT(end, 90.0);
    EXPECT_GE(ScaleInkAt(bg, c, first), 120) << "no scale mark under the first frame's pointer";
    EXPECT_GE(ScaleInkAt(bg, c, end), 120) << "no scale mark under the last frame's pointer";
  }
}

}  // namespace
