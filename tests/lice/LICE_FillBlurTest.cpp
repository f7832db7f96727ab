#include <gtest/gtest.h>

#include <random>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_Raster.h"
#include "tests/lice/PixelTestSupport.h"

using namespace testing_lice;

namespace {

constexpr LICE_pixel kD = 0x80402010;  // a 128, r 64, g 32, b 16
constexpr LICE_pixel kC = 0x40C08020;  // a 64, r 192, g 128, b 32

struct FillCase {
  const char* name;
  int mode;
  float alpha;
  LICE_pixel dst, colour, expected;
};

// Worked out by hand from the fill formulas (alpha combines with the weight k).
const FillCase kFillCases[] = {
    {"copy k 256 writes the colour word", 0x0, 1.0f, kD, kC, kC},
    {"copy k 128", 0x0, 0.5f, kD, kC, 0x60805018},
    // D/2 + C/4 + D/4: 64+16+32, 32+48+16, 16+32+8, 8+8+4
    {"copy k 64", 0x0, 0.25f, kD, kC, 0x70603814},
    // C/4 + D/4 + C/2: 16+32+32, 48+16+96, 32+8+64, 8+4+16
    {"copy k 192", 0x0, 0.75f, kD, kC, 0x50A0681C},
    // k 76: colour as the blit; alpha 76 + 52*180/256 = 76 + 36
    {"copy k 76", 0x0, 0.3f, kD, kC, 0x70663D15},
    // 64/255 * 1.0 -> k 64, the quarter path
    {"copy with colour alpha", 0x10000, 1.0f, kD, kC, 0x70603814},
    {"copy with transparent colour draws nothing", 0x10000, 1.0f, kD, 0x00FFFFFF, kD},
    // alpha: 128 + 128*128/256
    {"add k 128", 0x1, 0.5f, kD, kC, 0xC0A06020},
    // alpha: k 256 as source -> k 256 >= 255 -> clamp(128*256)
    {"dodge k 256", 0x2, 1.0f, kD, kC, 0xFFFF4012},
    // (D*(128 C + 128*256)) >> 16; alpha 128*(128*128 + 128*256) >> 16 = 96
    {"multiply k 128", 0x3, 0.5f, kD, kC, 0x60381809},
    // alpha: t = 65536: ((-32768*128/256) + 65536)*128 >> 15 = 192
    {"overlay k 256", 0x4, 1.0f, kD, kC, 0xC0582004},
    // The alpha byte is the low byte of k: 256 -> 0.
    {"hue adjust k 256", 0x5, 1.0f, 0xFFFF0000, 0x00AB8080, 0x00FFFF00},
    // Half a sector: h 32, t = 255 * (1 - 1/2) = 127.5 in 0x4000 steps, rounded up
    {"hue adjust k 128", 0x5, 0.5f, 0xFFFF0000, 0x00AB8080, 0x80FF8000},
    {"channel copy is not a fill", 0xF3, 1.0f, kD, kC, kD},
    {"alpha 0 draws nothing", 0x1, 0.0f, kD, kC, kD},
};

class FillExact : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillExact, CombinesChosenPixelExactly) {
  const FillCase& c = GetParam();
  SCOPED_TRACE(c.name);
  LICE_MemBitmap bm(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) PutPixel(bm, x, y, c.dst);
  FillArea(&bm, 1, 1, 1, 1, c.colour, c.alpha, c.mode);
  EXPECT_EQ(GetPixel(bm, 1, 1), c.expected) << std::hex << GetPixel(bm, 1, 1);
  EXPECT_EQ(GetPixel(bm, 0, 1), c.dst);
  EXPECT_EQ(GetPixel(bm, 1, 2), c.dst);
}

INSTANTIATE_TEST_SUITE_P(Modes, FillExact, ::testing::ValuesIn(kFillCases));

// The plain per-pixel fill for the whole-word paths: each channel shifted.
LICE_pixel ReferenceWholeWord(int k, LICE_pixel d, LICE_pixel c) {
  int out[4];
  for (int i = 0; i < 4; ++i) {
    const int C = Chan(c, i), D = Chan(d, i);
    out[i] = k == 256 ? C : k == 128 ? (C >> 1) + (D >> 1) : k == 64 ? (D >> 1) + (C >> 2) + (D >> 2)
                                                                       : (C >> 2) + (D >> 2) + (C >> 1);
  }
  return FromChannels(out);
}

class FillRandomised : public ::testing::TestWithParam<float> {};

TEST_P(FillRandomised, WholeWordPathsMatchPerPixelReferenceWithClipping) {
  const float alpha = GetParam();
  const int k = static_cast<int>(alpha * 256);
  std::mt19937 rng(0xF111 + k);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(::testing::Message() << "k " << k << " round " << round);
    const int bw = 1 + rng() % 31, bh = 1 + rng() % 21;
    LICE_MemBitmap mem(bw, bh, rng() % 2 ? 7 : 0);
    BottomUpBitmap up(bw, bh, 3);
    LICE_IBitmap& bm = rng() % 2 ? static_cast<LICE_IBitmap&>(mem) : up;
    FillRandom(bm, rng);
    const int x = static_cast<int>(rng() % 50) - 15, y = static_cast<int>(rng() % 40) - 12;
    const int w = static_cast<int>(rng() % 45) - 3, h = static_cast<int>(rng() % 35) - 3;
    const LICE_pixel colour = static_cast<LICE_pixel>(rng());
    std::vector<LICE_pixel> expected = AllWords(bm);
    for (int py = std::max(y, 0); py < std::min(y + h, bh); ++py)
      for (int px = std::max(x, 0); px < std::min(x + w, bw); ++px) {
        const size_t at = static_cast<size_t>(PixelAddress(bm, px, py) - bm.PixelData());
        expected[at] = ReferenceWholeWord(k, expected[at], colour);
      }
    FillArea(&bm, x, y, w, h, colour, alpha, 0);
    ASSERT_EQ(AllWords(bm), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Weights, FillRandomised, ::testing::Values(1.0f, 0.5f, 0.25f, 0.75f));

TEST(FillClip, OutsideOrEmptyAreasAndMissingBitmapsDrawNothing) {
  LICE_MemBitmap bm(4, 4, 3), empty;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) PutPixel(bm, x, y, kD);
  const std::vector<LICE_pixel> before = AllWords(bm);
  FillArea(&bm, -3, 0, 3, 4, kC, 1.0f, 0);
  FillArea(&bm, 0, -5, 4, 5, kC, 1.0f, 0);
  FillArea(&bm, 4, 0, 1, 1, kC, 1.0f, 0);
  FillArea(&bm, 0, 4, 1, 1, kC, 1.0f, 0);
  FillArea(&bm, 0, 0, 0, 4, kC, 1.0f, 0);
  FillArea(&bm, -2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647, kC, 1.0f, 0);
  FillArea(nullptr, 0, 0, 4, 4, kC, 1.0f, 0);
  FillArea(&empty, 0, 0, 4, 4, kC, 1.0f, 0);
  EXPECT_EQ(AllWords(bm), before);
  FillArea(&bm, -1000, 2, 2147483647, 2147483647, kC, 1.0f, 0);  // oversized on both sides
  EXPECT_EQ(GetPixel(bm, 0, 1), kD);
  EXPECT_EQ(GetPixel(bm, 0, 2), kC);
  EXPECT_EQ(GetPixel(bm, 3, 3), kC);
}

// A single pixel of 248 in every channel at (1, 1): its shares are 124 (1/2),
// 62 (1/4) and 31 (1/8).
constexpr LICE_pixel kBright = 0xF8F8F8F8;
LICE_pixel Grey(int v) { return static_cast<LICE_pixel>(v) * 0x01010101u; }

std::vector<LICE_pixel> BlurOfOneBrightPixel(int w, int h) {
  LICE_MemBitmap bm(w, h, 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) PutPixel(bm, x, y, x == 1 && y == 1 ? kBright : 0);
  BlurArea(&bm, w, h);
  std::vector<LICE_pixel> out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out.push_back(GetPixel(bm, x, y));
  return out;
}

TEST(BlurArea, WeightsAtEdgesAndCorners) {
  // 3 x 3: every pixel is an edge or a corner. Row 0 takes 1/4 from below; the
  // first and last columns take 1/4 from their one neighbour; the last row
  // takes 1/4 of the row above as already blurred (62 -> 15, 124 -> 31).
  const std::vector<LICE_pixel> three = {Grey(0),  Grey(62),  Grey(0),  //
                                         Grey(62), Grey(124), Grey(62),  //
                                         Grey(15), Grey(31),  Grey(15)};
  EXPECT_EQ(BlurOfOneBrightPixel(3, 3), three);
  // 4 x 4: interior pixels take 1/8 from each side, above and below (31).
  const std::vector<LICE_pixel> four = {Grey(0),  Grey(62),  Grey(0),  Grey(0),  //
                                        Grey(62), Grey(124), Grey(31), Grey(0),  //
                                        Grey(0),  Grey(31),  Grey(0),  Grey(0),  //
                                        Grey(0),  Grey(7),   Grey(0),  Grey(0)};
  EXPECT_EQ(BlurOfOneBrightPixel(4, 4), four);
}

TEST(BlurArea, ChannelsShiftSeparatelyAndDropFractions) {
  LICE_MemBitmap bm(2, 2);
  for (int i = 0; i < 4; ++i) PutPixel(bm, i % 2, i / 2, 0x01030507);
  BlurArea(&bm, 2, 2);
  // Row 0: 1/2 + 1/4 + 1/4 per channel: 7 -> 3+1+1, 5 -> 2+1+1, 3 -> 1+0+0, 1 -> 0.
  EXPECT_EQ(GetPixel(bm, 0, 0), 0x00010405u);
  // Last row: the blurred row above counts: 7 -> 3 + (5 >> 2 = 1) + 1 = 5, 5 -> 2+1+1, 3 -> 1+0+0, 1 -> 0.
  EXPECT_EQ(GetPixel(bm, 1, 1), 0x00010405u);
}

TEST(BlurArea, LimitsTheAreaAndSkipsTinyOnes) {
  LICE_MemBitmap bm(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) PutPixel(bm, x, y, x == 1 && y == 1 ? kBright : 0);
  BlurArea(&bm, 1, 3);
  BlurArea(&bm, 3, 1);
  BlurArea(nullptr, 3, 3);
  EXPECT_EQ(GetPixel(bm, 1, 1), kBright);
  BlurArea(&bm, 2, 2);  // only the top-left 2 x 2
  EXPECT_EQ(GetPixel(bm, 1, 1), Grey(124 + 15));  // 1/2 + 1/4 of the blurred (1,0) = 62
  EXPECT_EQ(GetPixel(bm, 2, 1), 0u);
  BlurArea(&bm, 100, 100);  // limited to 3 x 3, stays in bounds
}

// The blur written pixel by pixel, channel by channel, from the weights.
std::vector<LICE_pixel> ReferenceBlur(const LICE_IBitmap& bm, int w, int h) {
  std::vector<LICE_pixel> out(static_cast<size_t>(w * h));
  const auto at = [&](int x, int y) { return GetPixel(bm, x, y); };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int c[4];
      for (int i = 0; i < 4; ++i) {
        int v = Chan(at(x, y), i) >> 1;
        if (x == 0) v += Chan(at(1, y), i) >> 2;
        else if (x == w - 1) v += Chan(at(x - 1, y), i) >> 2;
        else v += (Chan(at(x - 1, y), i) >> 3) + (Chan(at(x + 1, y), i) >> 3);
        if (y == 0) v += Chan(at(x, 1), i) >> 2;
        else if (y == h - 1) v += Chan(out[static_cast<size_t>((y - 1) * w + x)], i) >> 2;
        else v += (Chan(at(x, y - 1), i) >> 3) + (Chan(at(x, y + 1), i) >> 3);
        c[i] = v;
      }
      out[static_cast<size_t>(y * w + x)] = FromChannels(c);
    }
  return out;
}

TEST(BlurArea, MatchesPerPixelReferenceOnNarrowAndWideBitmaps) {
  std::mt19937 rng(0xB1A2);
  const struct { int w, h; } sizes[] = {{2, 2}, {7, 5}, {33, 2}, {1024, 3}, {1500, 4}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(::testing::Message() << s.w << " x " << s.h);
    BottomUpBitmap bm(s.w + 1, s.h + 1, 2);
    FillRandom(bm, rng);
    const std::vector<LICE_pixel> expected = ReferenceBlur(bm, s.w, s.h);
    const LICE_pixel outside = GetPixel(bm, s.w, s.h);
    BlurArea(&bm, s.w, s.h);
    for (int y = 0; y < s.h; ++y)
      for (int x = 0; x < s.w; ++x)
        ASSERT_EQ(GetPixel(bm, x, y), expected[static_cast<size_t>(y * s.w + x)]) << x << "," << y;
    EXPECT_EQ(GetPixel(bm, s.w, s.h), outside);
  }
}

}  // namespace
