#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_Raster.h"
#include "tests/lice/PixelTestSupport.h"

using namespace testing_lice;

namespace {

// Destination and source of the chosen-pixel cases: D = (a 128, r 64, g 32,
// b 16), S = (a 64, r 192, g 128, b 32).
constexpr LICE_pixel kD = 0x80402010;
constexpr LICE_pixel kS = 0x40C08020;

struct ExactCase {
  const char* name;
  int mode;
  float alpha;
  LICE_pixel dst, src, expected;
};

// Expected words worked out by hand from the combine formulas; comments give
// the channel arithmetic (a, r, g, b) where it is not obvious.
const ExactCase kExactCases[] = {
    {"copy 1.0 takes the source", 0x0, 1.0f, kD, kS, kS},
    {"copy 0.5 averages shifted bytes", 0x0, 0.5f, kD, kS, 0x60805018},
    // 256 - 64 = 192: 64+64*192/256=112, 192-128*192/256=96, 128-96*192/256=56, 32-16*192/256=20
    {"copy 0.25", 0x0, 0.25f, kD, kS, 0x70603814},
    // w 76, 256 - w = 180: g = 128 + (-17280 / 256 = -67, toward zero) = 61
    {"copy 0.3 truncates toward zero", 0x0, 0.3f, kD, kS, 0x6D663D15},
    {"copy ignores bit 0x100", 0x100, 0.25f, kD, kS, 0x70603814},
    {"add 0.5", 0x1, 0.5f, kD, kS, 0xA0A06020},
    {"add 1.0 clamps red", 0x1, 1.0f, kD, kS, 0xC0FFA030},
    // k = S: 128*256/192=170, 64*256/64 -> 255, 32*256/128=64, 16*256/224=18
    {"dodge 1.0", 0x2, 1.0f, kD, kS, 0xAAFF4012},
    {"dodge at k 255 saturates", 0x2, 1.0f, 0x00000001, 0xFFFFFFFF, 0x000000FF},
    {"multiply 1.0", 0x3, 1.0f, kD, kS, 0x20301002},
    // (128*(S-256)+65536)*D >> 16: 40960*128, 57344*64, 49152*32, 36864*16
    {"multiply 0.5", 0x3, 0.5f, kD, kS, 0x50381809},
    // t = 256 S: ((16384*128/256)+16384)*128>>15 = 96; ((-16384*64/256)+49152)*64>>15 = 88; 32; 4
    {"overlay 1.0", 0x4, 1.0f, kD, kS, 0x60582004},
    // alpha 128+64; colour keeps (255-64)/256: r 192-95 = 97, g 128-71 = 57, b 32-11 = 21
    {"source alpha copy, full weight, translucent", 0x10000, 1.0f, kD, kS, 0xC0613915},
    // a = 128*65/256 = 32: alpha 160, keep 224: 192-112, 128-84, 32-14
    {"source alpha copy, half weight", 0x10000, 0.5f, kD, kS, 0xA0502C12},
    {"source alpha copy, opaque source replaces alpha too", 0x10000, 1.0f, kD, 0xFF102030, 0xFF102030},
    {"source alpha copy, transparent source leaves destination", 0x10000, 1.0f, kD, 0x00FFFFFF, kD},
    {"source alpha copy saturates destination alpha", 0x10000, 1.0f, 0xF0000000, 0x40000000, 0xFF000000},
    // a = 65: 128+16, 64+48, 32+32, 16+8
    {"source alpha add", 0x10001, 1.0f, kD, kS, 0x90704018},
    {"source alpha add skips transparent source", 0x10001, 1.0f, kD, 0x00FFFFFF, kD},
    // a = 65, k = S*65/256 = 16, 48, 32, 8: 32768/240, 16384/208, 8192/224, 4096/248
    {"source alpha dodge", 0x10002, 1.0f, kD, kS, 0x884E2410},
    // ((S*65 + 191*256)*D) >> 16: 53056*128, 61376*64, 57216*32, 50976*16
    {"source alpha multiply", 0x10003, 1.0f, kD, kS, 0x673B1B0C},
    {"source alpha multiply skips transparent source", 0x10003, 1.0f, kD, 0x00000000, kD},
    // t = 65 S + 191*128: 28608, 36928, 32768, 26528
    {"source alpha overlay", 0x10004, 1.0f, kD, kS, 0x7746200D},
    {"channel copy red into alpha", 0xFE, 1.0f, kD, kS, 0xC0402010},
    {"channel copy alpha into blue ignores weight", 0xF3, 0.3f, kD, kS, 0x80402040},
    // Red 171 turns the hue by 85 + 171 - 192 = 64 steps: red becomes yellow.
    {"hue adjust turns a sector", 0x5, 1.0f, 0xFFFF0000, 0xAAAB8080, 0xAAFFFF00},
    {"hue adjust with source alpha bit is the same", 0x10005, 1.0f, 0xFFFF0000, 0xAAAB8080, 0xAAFFFF00},
    {"hue adjust drops value to black", 0x5, 1.0f, 0xFFFF0000, 0x33808000, 0x33000000},
    {"hue adjust drops saturation to grey", 0x5, 1.0f, 0xFFFF0000, 0x33800080, 0x33FFFFFF},
    // (200, 100, 50): s 191, h 21, back in 0x4000 steps gives g 99 (see the
    // rounding notes of the hue adjust).
    {"hue adjust neutral source rounds", 0x5, 1.0f, 0x00C86432, 0x11808080, 0x11C86332},
    {"unknown combine draws nothing", 0x6, 0.5f, kD, kS, kD},
    {"alpha 0 draws nothing", 0x1, 0.0f, kD, kS, kD},
    {"alpha below 1/256 draws nothing", 0x1, 0.003f, kD, kS, kD},
    {"negative alpha draws nothing", 0x0, -0.5f, kD, kS, kD},
    {"alpha above 1 acts as 1", 0x3, 2.0f, kD, kS, 0x20301002},
};

class BlitExact : public ::testing::TestWithParam<ExactCase> {};

TEST_P(BlitExact, CombinesChosenPixelExactly) {
  const ExactCase& c = GetParam();
  SCOPED_TRACE(c.name);
  LICE_MemBitmap dst(3, 1), src(1, 1);
  for (int x = 0; x < 3; ++x) PutPixel(dst, x, 0, c.dst);
  PutPixel(src, 0, 0, c.src);
  BlitBitmap(&dst, &src, 1, 0, nullptr, c.alpha, c.mode);
  EXPECT_EQ(GetPixel(dst, 1, 0), c.expected) << std::hex << GetPixel(dst, 1, 0);
  EXPECT_EQ(GetPixel(dst, 0, 0), c.dst);
  EXPECT_EQ(GetPixel(dst, 2, 0), c.dst);
}

INSTANTIATE_TEST_SUITE_P(Modes, BlitExact, ::testing::ValuesIn(kExactCases));

// Columns of a 4 x 1 source: 0xA0, 0xA1, ...; destination starts zero.
struct Strip {
  LICE_MemBitmap src{4, 1};
  LICE_MemBitmap dst{20, 1};
  Strip() {
    for (int x = 0; x < 4; ++x) PutPixel(src, x, 0, 0xA0 + x);
    for (int x = 0; x < 20; ++x) PutPixel(dst, x, 0, 0);
  }
};

TEST(BlitClip, NegativeSourceLeftMovesTheDestination) {
  Strip s;
  const LICE_Rect r{-10, 0, 4, 1};
  BlitBitmap(&s.dst, &s.src, 2, 0, &r, 1.0f, 0);
  EXPECT_EQ(GetPixel(s.dst, 11, 0), 0u);
  EXPECT_EQ(GetPixel(s.dst, 12, 0), 0xA0u);
  EXPECT_EQ(GetPixel(s.dst, 15, 0), 0xA3u);
  EXPECT_EQ(GetPixel(s.dst, 16, 0), 0u);
}

TEST(BlitClip, NegativeDestinationSkipsSourceColumns) {
  LICE_MemBitmap src(8, 1), dst(8, 1);
  for (int x = 0; x < 8; ++x) PutPixel(src, x, 0, 0xB0 + x), PutPixel(dst, x, 0, 0);
  BlitBitmap(&dst, &src, -5, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(GetPixel(dst, 0, 0), 0xB5u);
  EXPECT_EQ(GetPixel(dst, 2, 0), 0xB7u);
  EXPECT_EQ(GetPixel(dst, 3, 0), 0u);
}

TEST(BlitClip, OversizedRectangleIsLimitedToBothBitmaps) {
  Strip s;
  const LICE_Rect r{1, -3, 1000, 1000};
  BlitBitmap(&s.dst, &s.src, 17, 0, &r, 1.0f, 0);
  // Row -3 of the rectangle lands at y 3, outside the destination.
  for (int x = 0; x < 20; ++x) EXPECT_EQ(GetPixel(s.dst, x, 0), 0u) << x;
  const LICE_Rect r2{1, 0, 1000, 1000};
  BlitBitmap(&s.dst, &s.src, 17, 0, &r2, 1.0f, 0);
  EXPECT_EQ(GetPixel(s.dst, 17, 0), 0xA1u);
  EXPECT_EQ(GetPixel(s.dst, 19, 0), 0xA3u);
}

TEST(BlitClip, NothingHappensOutsideOrWithoutPixels) {
  Strip s;
  LICE_MemBitmap empty;
  const std::vector<LICE_pixel> before = AllWords(s.dst);
  BlitBitmap(&s.dst, &s.src, 20, 0, nullptr, 1.0f, 0);
  BlitBitmap(&s.dst, &s.src, 0, 1, nullptr, 1.0f, 0);
  BlitBitmap(&s.dst, &s.src, -4, 0, nullptr, 1.0f, 0);
  BlitBitmap(&s.dst, &s.src, 0, -1, nullptr, 1.0f, 0);
  BlitBitmap(&s.dst, &s.src, -2147483647, -2147483647, nullptr, 1.0f, 0);
  const LICE_Rect inverted{3, 0, 1, 1};
  BlitBitmap(&s.dst, &s.src, 0, 0, &inverted, 1.0f, 0);
  const LICE_Rect extreme{-2147483647 - 1, 0, 2147483647, 1};
  BlitBitmap(&s.dst, &s.src, 2147483647, 0, &extreme, 1.0f, 0);
  BlitBitmap(&s.dst, &empty, 0, 0, nullptr, 1.0f, 0);
  BlitBitmap(&empty, &s.src, 0, 0, nullptr, 1.0f, 0);
  BlitBitmap(nullptr, &s.src, 0, 0, nullptr, 1.0f, 0);
  BlitBitmap(&s.dst, nullptr, 0, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(AllWords(s.dst), before);
}

// Plain per-pixel reference of the combines, channel by channel (0 blue .. 3 alpha).
LICE_pixel ReferenceCombine(int mode, float alpha, LICE_pixel d, LICE_pixel s) {
  if ((mode & 0xFF) >= 0xF0) {
    int c[4] = {Chan(d, 0), Chan(d, 1), Chan(d, 2), Chan(d, 3)};
    c[(mode >> 2) & 3] = Chan(s, mode & 3);
    return FromChannels(c);
  }
  mode &= 0x100FF;
  const int w = alpha >= 1.0f ? 256 : static_cast<int>(alpha * 256);
  const int as = Chan(s, 3);
  const int a = w * (as + 1) / 256;
  const bool srcAlpha = (mode & 0x10000) != 0;
  if (srcAlpha && as == 0 && mode != 0x10002 && mode != 0x10004) return d;
  const auto clamp = [](int v) { return std::min(255, std::max(0, v)); };
  int out[4];
  for (int i = 0; i < 4; ++i) {
    const int S = Chan(s, i), D = Chan(d, i);
    const int wt = srcAlpha ? a : w;
    switch (mode & 0xFF) {
      case 0:
        if (mode == 0 && alpha == 0.5f) {
          out[i] = (S >> 1) + (D >> 1);
        } else if (mode == 0) {
          out[i] = w == 256 ? S : S + (D - S) * (256 - w) / 256;
        } else if (i == 3) {
          out[i] = std::min(D + (w == 256 ? as : a), 255);
        } else if (w == 256 && as == 255) {
          out[i] = S;
        } else {
          out[i] = S + (D - S) * (w == 256 ? 255 - as : 256 - a) / 256;
        }
        break;
      case 1: out[i] = clamp(D + S * wt / 256); break;
      case 2: {
        const int k = S * wt / 256;
        out[i] = k < 255 ? clamp(D * 256 / (256 - k)) : clamp(D * 256);
        break;
      }
      case 3:
        out[i] = srcAlpha ? ((S * a + (256 - a) * 256) * D) >> 16 : ((w * (S - 256) + 65536) * D) >> 16;
        break;
      case 4: {
        const int t = S * wt + (256 - wt) * 128;
        out[i] = clamp((((32768 - t) * D / 256) + t) * D >> 15);
        break;
      }
      default: return d;
    }
  }
  return FromChannels(out);
}

// The destination each source pixel lands on, found pixel by pixel.
void ReferenceBlit(LICE_IBitmap& dst, const LICE_IBitmap& src, int dx, int dy, const LICE_Rect* r,
                   float alpha, int mode) {
  const LICE_Rect whole{0, 0, src.Width(), src.Height()};
  const LICE_Rect& rect = r ? *r : whole;
  for (int v = std::max(rect.top, 0); v < std::min(rect.bottom, src.Height()); ++v) {
    for (int u = std::max(rect.left, 0); u < std::min(rect.right, src.Width()); ++u) {
      const int x = dx + u - rect.left, y = dy + v - rect.top;
      if (x < 0 || y < 0 || x >= dst.Width() || y >= dst.Height()) continue;
      PutPixel(dst, x, y, ReferenceCombine(mode, alpha, GetPixel(dst, x, y), GetPixel(src, u, v)));
    }
  }
}

LICE_IBitmap* MakeBitmap(std::mt19937& rng, int w, int h) {
  switch (rng() % 4) {
    case 0: return new LICE_MemBitmap(w, h, 0);
    case 1: return new LICE_MemBitmap(w, h, 3);
    case 2: return new LICE_MemBitmap(w, h, 31);
    default: return new BottomUpBitmap(w, h, static_cast<int>(rng() % 5));
  }
}

struct RandomCase {
  const char* name;
  int mode;
  float alpha;  // negative: a random weight per round
};

class BlitRandomised : public ::testing::TestWithParam<RandomCase> {};

TEST_P(BlitRandomised, MatchesPerPixelReferenceWithClipping) {
  const RandomCase& c = GetParam();
  std::mt19937 rng(0x5EED + c.mode);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(::testing::Message() << c.name << " round " << round);
    const int sw = 1 + rng() % 23, sh = 1 + rng() % 17, dw = 1 + rng() % 29, dh = 1 + rng() % 19;
    std::unique_ptr<LICE_IBitmap> src(MakeBitmap(rng, sw, sh));
    std::unique_ptr<LICE_IBitmap> dst(MakeBitmap(rng, dw, dh));
    std::unique_ptr<LICE_IBitmap> expected(MakeBitmap(rng, dw, dh));
    FillRandom(*src, rng);
    FillRandom(*dst, rng);
    if (c.mode & 0x10000) {  // make transparent and opaque source pixels common
      for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
          const LICE_pixel p = GetPixel(*src, x, y);
          const int pick = rng() % 4;
          if (pick == 0) PutPixel(*src, x, y, p & 0x00FFFFFF);
          if (pick == 1) PutPixel(*src, x, y, p | 0xFF000000);
        }
    }
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) PutPixel(*expected, x, y, GetPixel(*dst, x, y));
    const int dx = static_cast<int>(rng() % 50) - 25, dy = static_cast<int>(rng() % 40) - 20;
    LICE_Rect rect{static_cast<int>(rng() % 40) - 15, static_cast<int>(rng() % 30) - 10, 0, 0};
    rect.right = rect.left + static_cast<int>(rng() % 40);
    rect.bottom = rect.top + static_cast<int>(rng() % 30);
    const bool useRect = rng() % 3 != 0;
    const float alpha = c.alpha >= 0 ? c.alpha : static_cast<float>(rng() % 300) / 256.0f;

    const std::vector<LICE_pixel> srcBefore = AllWords(*src);
    std::vector<LICE_pixel> padding = AllWords(*dst);
    ReferenceBlit(*expected, *src, dx, dy, useRect ? &rect : nullptr, alpha, c.mode);
    BlitBitmap(dst.get(), src.get(), dx, dy, useRect ? &rect : nullptr, alpha, c.mode);

    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        ASSERT_EQ(GetPixel(*dst, x, y), GetPixel(*expected, x, y)) << "at " << x << "," << y;
        *PixelAddress(*dst, x, y) = 0;
        padding[static_cast<size_t>(PixelAddress(*dst, x, y) - dst->PixelData())] = 0;
      }
    EXPECT_EQ(AllWords(*dst), padding) << "padding was written";
    EXPECT_EQ(AllWords(*src), srcBefore) << "source was written";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BlitRandomised,
    ::testing::Values(RandomCase{"copy rows", 0, 1.0f}, RandomCase{"copy half", 0, 0.5f},
                      RandomCase{"copy weighted", 0, -1}, RandomCase{"add", 1, -1},
                      RandomCase{"dodge", 2, -1}, RandomCase{"multiply", 3, -1},
                      RandomCase{"overlay", 4, -1}, RandomCase{"alpha copy full", 0x10000, 1.0f},
                      RandomCase{"alpha copy", 0x10000, -1}, RandomCase{"alpha add", 0x10001, -1},
                      RandomCase{"alpha dodge", 0x10002, -1}, RandomCase{"alpha multiply", 0x10003, -1},
                      RandomCase{"alpha overlay", 0x10004, -1}, RandomCase{"channel copy", 0xF9, 0.7f},
                      RandomCase{"channel copy same", 0xFF, 1.0f}));

}  // namespace
