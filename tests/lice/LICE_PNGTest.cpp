#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "tests/lice/FileBytes.h"
#include "tests/lice/PngEncode.h"
#include "tests/lice/PixelTestSupport.h"

using namespace testing_lice;

namespace {

std::unique_ptr<LICE_MemBitmap> Decode(const std::vector<unsigned char>& file) {
  return std::unique_ptr<LICE_MemBitmap>(DecodePngImage(file.data(), static_cast<int>(file.size())));
}

LICE_pixel Argb(int a, int r, int g, int b) {
  return static_cast<LICE_pixel>(a) << 24 | static_cast<LICE_pixel>(r) << 16 | static_cast<LICE_pixel>(g) << 8 |
         static_cast<LICE_pixel>(b);
}

// A sample of the given depth widened to 8 bits: the high byte of 16-bit
// samples, bit replication for grey depths below 8.
int To8(int v, int depth) {
  switch (depth) {
    case 16: return v >> 8;
    case 4: return v * 17;
    case 2: return v * 85;
    case 1: return v * 255;
    default: return v;
  }
}

struct ImageCase {
  const char* name;
  int colourType;
  int bitDepth;
  bool interlaced;
  bool transparency;  // tRNS: palette alphas or one transparent colour
};

// The pixel a decoder must produce for pixel i of the image.
LICE_pixel ExpectedPixel(const PngImage& s, size_t i) {
  const int d = s.bitDepth;
  const auto at = [&](size_t k) { return static_cast<int>(s.samples[k]); };
  switch (s.colourType) {
    case PNG_COLOR_TYPE_PALETTE: {
      const size_t index = static_cast<size_t>(at(i));
      const png_color& c = s.palette[index];
      const int a = index < s.paletteAlpha.size() ? s.paletteAlpha[index] : 255;
      return Argb(a, c.red, c.green, c.blue);
    }
    case PNG_COLOR_TYPE_GRAY: {
      const int v = at(i);
      const int a = s.hasTransparentColour && v == s.transparentColour.gray ? 0 : 255;
      return Argb(a, To8(v, d), To8(v, d), To8(v, d));
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA: {
      const int v = To8(at(2 * i), d);
      return Argb(To8(at(2 * i + 1), d), v, v, v);
    }
    case PNG_COLOR_TYPE_RGB: {
      const int r = at(3 * i), g = at(3 * i + 1), b = at(3 * i + 2);
      const bool clear = s.hasTransparentColour && r == s.transparentColour.red &&
                         g == s.transparentColour.green && b == s.transparentColour.blue;
      return Argb(clear ? 0 : 255, To8(r, d), To8(g, d), To8(b, d));
    }
    default:
      return Argb(To8(at(4 * i + 3), d), To8(at(4 * i), d), To8(at(4 * i + 1), d), To8(at(4 * i + 2), d));
  }
}

PngImage RandomImage(const ImageCase& c, std::mt19937& rng) {
  PngImage s;
  s.width = 13;
  s.height = 7;
  s.colourType = c.colourType;
  s.bitDepth = c.bitDepth;
  s.interlaced = c.interlaced;
  const int maxSample = (1 << c.bitDepth) - 1;
  const int spp = SamplesPerPixel(c.colourType);
  const size_t pixels = static_cast<size_t>(s.width * s.height);
  if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i <= maxSample; ++i)
      s.palette.push_back(png_color{static_cast<png_byte>(rng()), static_cast<png_byte>(rng()),
                                    static_cast<png_byte>(rng())});
    // Fewer alphas than entries: the rest are opaque.
    if (c.transparency)
      for (int i = 0; i < (maxSample + 2) / 2; ++i) s.paletteAlpha.push_back(static_cast<png_byte>(rng()));
  }
  for (size_t i = 0; i < pixels * spp; ++i) s.samples.push_back(static_cast<std::uint16_t>(rng() % (maxSample + 1)));
  if (c.transparency && c.colourType != PNG_COLOR_TYPE_PALETTE) {
    s.hasTransparentColour = true;
    // The colour of pixel 0, and also that of every fourth pixel.
    for (size_t p = 4; p < pixels; p += 4)
      for (int k = 0; k < spp; ++k) s.samples[p * spp + k] = s.samples[static_cast<size_t>(k)];
    if (c.colourType == PNG_COLOR_TYPE_GRAY) {
      s.transparentColour.gray = s.samples[0];
    } else {
      s.transparentColour.red = s.samples[0];
      s.transparentColour.green = s.samples[1];
      s.transparentColour.blue = s.samples[2];
    }
  }
  return s;
}

class PngColourTypes : public ::testing::TestWithParam<ImageCase> {};

TEST_P(PngColourTypes, DecodesEveryPixelToTheLibraryWord) {
  const ImageCase& c = GetParam();
  std::mt19937 rng(0x9A6 + c.colourType * 100 + c.bitDepth);
  const PngImage image = RandomImage(c, rng);
  const std::vector<unsigned char> file = EncodePng(image);
  ASSERT_FALSE(file.empty());
  const std::unique_ptr<LICE_MemBitmap> bm = Decode(file);
  ASSERT_NE(bm, nullptr);
  ASSERT_EQ(bm->Width(), image.width);
  ASSERT_EQ(bm->Height(), image.height);
  EXPECT_EQ(bm->RowSpan(), 16);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const size_t i = static_cast<size_t>(y * image.width + x);
      ASSERT_EQ(GetPixel(*bm, x, y), ExpectedPixel(image, i)) << c.name << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, PngColourTypes,
    ::testing::Values(ImageCase{"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false, false},
                      ImageCase{"palette 8 with alphas", PNG_COLOR_TYPE_PALETTE, 8, false, true},
                      ImageCase{"palette 4 with alphas", PNG_COLOR_TYPE_PALETTE, 4, false, true},
                      ImageCase{"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false, false},
                      ImageCase{"palette 1 interlaced", PNG_COLOR_TYPE_PALETTE, 1, true, true},
                      ImageCase{"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, false},
                      ImageCase{"grey 2", PNG_COLOR_TYPE_GRAY, 2, false, false},
                      ImageCase{"grey 4", PNG_COLOR_TYPE_GRAY, 4, false, false},
                      ImageCase{"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, false},
                      ImageCase{"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, false},
                      ImageCase{"grey 2 transparent colour", PNG_COLOR_TYPE_GRAY, 2, false, true},
                      ImageCase{"grey 8 transparent colour", PNG_COLOR_TYPE_GRAY, 8, false, true},
                      ImageCase{"grey 16 transparent colour interlaced", PNG_COLOR_TYPE_GRAY, 16, true, true},
                      ImageCase{"grey alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
                      ImageCase{"grey alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
                      ImageCase{"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false},
                      ImageCase{"rgb 8 transparent colour", PNG_COLOR_TYPE_RGB, 8, false, true},
                      ImageCase{"rgb 16", PNG_COLOR_TYPE_RGB, 16, false, false},
                      ImageCase{"rgb 16 transparent colour", PNG_COLOR_TYPE_RGB, 16, false, true},
                      ImageCase{"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
                      ImageCase{"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
                      ImageCase{"rgba 8 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false},
                      ImageCase{"grey 2 interlaced", PNG_COLOR_TYPE_GRAY, 2, true, false}));

// The panel background's shape: 1002 x 476 RGBA, rows padded to 1004.
TEST(DecodePngImage, PanelSizedImageKeepsWordOrderAndRowSpan) {
  PngImage s;
  s.width = 1002;
  s.height = 476;
  s.samples.assign(static_cast<size_t>(s.width * s.height * 4), 0);
  const size_t at = (static_cast<size_t>(300) * s.width + 1001) * 4;
  s.samples[at] = 10, s.samples[at + 1] = 20, s.samples[at + 2] = 30, s.samples[at + 3] = 128;
  const std::unique_ptr<LICE_MemBitmap> bm = Decode(EncodePng(s));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->Width(), 1002);
  EXPECT_EQ(bm->Height(), 476);
  EXPECT_EQ(bm->RowSpan(), 1004);
  EXPECT_EQ(GetPixel(*bm, 1001, 300), 0x800A141Eu);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(PixelAddress(*bm, 1001, 300));
  EXPECT_EQ(bytes[0], 30);  // blue first in memory
  EXPECT_EQ(bytes[3], 128);
  EXPECT_EQ(GetPixel(*bm, 0, 0), 0u);
}

TEST(DecodePngImage, TwoBitGreyReplicatesBits) {
  PngImage s;
  s.width = 4;
  s.colourType = PNG_COLOR_TYPE_GRAY;
  s.bitDepth = 2;
  s.samples = {0, 1, 2, 3};
  const std::unique_ptr<LICE_MemBitmap> bm = Decode(EncodePng(s));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(GetPixel(*bm, 0, 0), 0xFF000000u);
  EXPECT_EQ(GetPixel(*bm, 1, 0), 0xFF555555u);
  EXPECT_EQ(GetPixel(*bm, 2, 0), 0xFFAAAAAAu);
  EXPECT_EQ(GetPixel(*bm, 3, 0), 0xFFFFFFFFu);
}

TEST(DecodePngImage, SixteenBitSamplesKeepTheHighByteUnrounded) {
  PngImage s;
  s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.bitDepth = 16;
  s.samples = {0x12FF, 0x3480, 0x567F, 0xFFFF};
  const std::unique_ptr<LICE_MemBitmap> bm = Decode(EncodePng(s));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(GetPixel(*bm, 0, 0), 0xFF123456u);
}

PngImage SmallRgba() {
  PngImage s;
  s.width = 40;
  s.height = 30;
  std::mt19937 rng(7);
  for (int i = 0; i < 40 * 30 * 4; ++i) s.samples.push_back(static_cast<std::uint16_t>(rng() % 256));
  return s;
}

TEST(DecodePngImage, FileWithoutEndChunkStillDecodes) {
  PngImage s = SmallRgba();
  s.writeEnd = false;
  const std::vector<unsigned char> file = EncodePng(s);
  const std::unique_ptr<LICE_MemBitmap> bm = Decode(file);
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(GetPixel(*bm, 39, 29), ExpectedPixel(s, 40 * 30 - 1));
}

// Offset of the first byte of the IDAT chunk's data.
size_t ImageDataOffset(const std::vector<unsigned char>& file) {
  for (size_t i = 8; i + 8 <= file.size(); ++i)
    if (std::string(file.begin() + i + 4, file.begin() + i + 8) == "IDAT") return i + 8;
  return 0;
}

TEST(DecodePngImage, ShortOrForeignBlocksGiveNull) {
  const std::vector<unsigned char> file = EncodePng(SmallRgba());
  EXPECT_EQ(DecodePngImage(file.data(), 7), nullptr);
  EXPECT_EQ(DecodePngImage(file.data(), 0), nullptr);
  EXPECT_EQ(DecodePngImage(file.data(), -5), nullptr);
  EXPECT_EQ(DecodePngImage(nullptr, 100), nullptr);
  std::vector<unsigned char> badSignature = file;
  badSignature[7] ^= 0xFF;
  EXPECT_EQ(Decode(badSignature), nullptr);
  const std::vector<unsigned char> signatureOnly(file.begin(), file.begin() + 8);
  EXPECT_EQ(Decode(signatureOnly), nullptr);
}

TEST(DecodePngImage, TruncatedStreamsGiveNullAndLeakNothing) {
  const std::vector<unsigned char> file = EncodePng(SmallRgba());
  const size_t idat = ImageDataOffset(file);
  ASSERT_GT(idat, 0u);
  // Inside the header, at the start of and inside the image data, and just
  // before the image data's checksum.
  for (size_t cut : {size_t{12}, size_t{30}, idat - 4, idat + 1, idat + 50, file.size() - 16}) {
    SCOPED_TRACE(cut);
    const std::vector<unsigned char> part(file.begin(), file.begin() + static_cast<long>(cut));
    EXPECT_EQ(Decode(part), nullptr);
  }
}

TEST(DecodePngImage, CorruptedStreamsGiveNull) {
  const std::vector<unsigned char> file = EncodePng(SmallRgba());
  const size_t idat = ImageDataOffset(file);
  const struct { const char* name; size_t at; } cases[] = {
      {"header field", 17}, {"header checksum", 30}, {"image data", idat + 20}, {"chunk length", idat - 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<unsigned char> bad = file;
    bad[c.at] ^= 0x5A;
    EXPECT_EQ(Decode(bad), nullptr);
  }
}

TEST(ImageNameExtension, TakesTheTextAfterTheLastDot) {
  EXPECT_STREQ(ImageNameExtension("resources/img/BG.png"), "png");
  EXPECT_STREQ(ImageNameExtension("a.b.c"), "c");
  EXPECT_STREQ(ImageNameExtension("noext"), "oext");  // from the second character on
  EXPECT_STREQ(ImageNameExtension("x"), "");
  EXPECT_STREQ(ImageNameExtension(""), "");
  EXPECT_TRUE(IsPngImageName("resources/img/BG.png"));
  EXPECT_TRUE(IsPngImageName("KNOB.PNG"));
  EXPECT_TRUE(IsPngImageName("knob.pNg"));
  EXPECT_FALSE(IsPngImageName("knob.png.bak"));
  EXPECT_FALSE(IsPngImageName("knob.pn"));
  EXPECT_FALSE(IsPngImageName("knob.pngx"));
  EXPECT_FALSE(IsPngImageName("png"));
  EXPECT_FALSE(IsPngImageName(""));
  EXPECT_FALSE(IsPngImageName(nullptr));
}

#ifdef ZAVRO_PNGSUITE_DIR
std::pair<int, int> HeaderSize(const std::vector<unsigned char>& f) {
  const auto be32 = [&](size_t i) { return f[i] << 24 | f[i + 1] << 16 | f[i + 2] << 8 | f[i + 3]; };
  return {be32(16), be32(20)};
}

// libpng's copy of the PNG test suite: every image decodes at its header's
// size, and each interlaced twin ("i" + name) decodes to the same pixels.
TEST(DecodePngImage, TestSuiteImagesDecodeAndInterlacedTwinsMatch) {
  const std::string dir = ZAVRO_PNGSUITE_DIR;
  if (ReadFileBytes(dir + "/basn0g01.png").empty()) GTEST_SKIP() << "the PNG test suite is not unpacked";
  const char* names[] = {"basn0g01", "basn0g02", "basn0g04", "basn0g08", "basn0g16", "basn2c08", "basn2c16",
                         "basn3p01", "basn3p02", "basn3p04", "basn3p08", "basn4a08", "basn4a16", "basn6a08",
                         "basn6a16", "ftbbn0g01", "ftbbn0g02", "ftbbn0g04", "ftbbn2c16", "ftbbn3p08",
                         "ftbgn2c16", "ftbgn3p08", "ftbrn2c08", "ftbwn0g16", "ftbwn3p08", "ftbyn3p08",
                         "ftp0n0g08", "ftp0n2c08", "ftp0n3p08", "ftp1n3p08"};
  int twins = 0;
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::vector<unsigned char> file = ReadFileBytes(dir + "/" + name + ".png");
    ASSERT_FALSE(file.empty());
    const std::unique_ptr<LICE_MemBitmap> bm = Decode(file);
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(std::make_pair(bm->Width(), bm->Height()), HeaderSize(file));
    std::vector<unsigned char> twin = ReadFileBytes(dir + "/i" + name + ".png");
    if (twin.empty()) twin = ReadFileBytes(dir + "/interlaced/i" + name + ".png");
    if (twin.empty()) continue;
    ++twins;
    const std::unique_ptr<LICE_MemBitmap> other = Decode(twin);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(other->Width(), bm->Width());
    ASSERT_EQ(other->Height(), bm->Height());
    for (int y = 0; y < bm->Height(); ++y)
      for (int x = 0; x < bm->Width(); ++x) ASSERT_EQ(GetPixel(*other, x, y), GetPixel(*bm, x, y)) << x << "," << y;
  }
  EXPECT_GE(twins, 20);
}
#endif

}  // namespace
