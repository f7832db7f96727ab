#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_Raster.h"
#include "lice/LICE_SysBitmap.h"
#include "lice/win/LICE_CachedFont.h"
#include "tests/lice/PixelTestSupport.h"

using namespace testing_lice;

namespace {

constexpr LICE_pixel kBackground = 0xFF000000;

HFONT MakeSystemFont(int height, int quality = ANTIALIASED_QUALITY) {
  return CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, "DejaVu Sans");
}

std::unique_ptr<LICE_CachedFont> MakeFont(int height, int flags, int quality = ANTIALIASED_QUALITY) {
  auto font = std::make_unique<LICE_CachedFont>();
  font->AttachSystemFont(MakeSystemFont(height, quality), flags | kLiceFontOwnsSystemFont);
  return font;
}

void Clear(LICE_IBitmap& bm, LICE_pixel p) { FillArea(&bm, 0, 0, bm.Width(), bm.Height(), p, 1.0f, kLiceCopy); }

// The smallest rectangle holding every pixel that differs from the background.
LICE_Rect InkBounds(const LICE_IBitmap& bm, LICE_pixel background) {
  LICE_Rect r{bm.Width(), bm.Height(), 0, 0};
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x)
      if (GetPixel(bm, x, y) != background) {
        r.left = std::min(r.left, x), r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1), r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

int MaxRed(const LICE_IBitmap& bm) {
  int m = 0;
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) m = std::max(m, Chan(GetPixel(bm, x, y), 2));
  return m;
}

// Which way RenderText runs: the cached way is what Wine gets by default; the
// native way is reached through the Wine-test seam.
enum class Way { Cached, Native };

class FontWays : public ::testing::TestWithParam<Way> {
protected:
  void SetUp() override { LICE_OverrideWineDetection(GetParam() == Way::Native ? 0 : 1); }
  void TearDown() override { LICE_OverrideWineDetection(-1); }
};

TEST_P(FontWays, MeasuringAbcSpansTheAdvances) {
  auto font = MakeFont(20, kLiceFontPreferNative);
  const LICE_GlyphRecord *a = font->Glyph('a'), *b = font->Glyph('b'), *c = font->Glyph('c');
  ASSERT_TRUE(a && b && c);
  const int advances = a->advance + b->advance + c->advance;
  const int overhang = std::max(0, c->width - c->leftBearing - c->advance);
  LICE_Rect r{10, 20, 10, 20};
  const int height = font->RenderText(nullptr, "abc", -1, &r, kLiceTextCalcRect);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_GE(r.right - r.left, advances);
  EXPECT_LE(r.right - r.left, advances + overhang);
  EXPECT_EQ(height, r.bottom - r.top);
  EXPECT_EQ(height, std::max({a->height, b->height, c->height}));
}

TEST_P(FontWays, AlignmentPlacesTheTextInTheRectangle) {
  auto font = MakeFont(20, kLiceFontPreferNative);
  font->SetTextColour(0xFFFFFFFF);
  LICE_SysBitmap bm(300, 100);
  LICE_Rect size{0, 0, 0, 0};
  font->RenderText(nullptr, "abc", -1, &size, kLiceTextCalcRect);
  const int w = size.right, h = size.bottom;
  const struct { const char* name; unsigned int format; int x, y; } cases[] = {
      {"left top", 0, 50, 10},
      {"right", kLiceTextRight, 250 - w, 10},
      {"centre", kLiceTextCentre, 50 + (200 - w) / 2, 10},
      {"bottom", kLiceTextBottom, 50, 90 - h},
      {"centre both ways", kLiceTextCentre | kLiceTextVCentre, 50 + (200 - w) / 2, 10 + (80 - h) / 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Clear(bm, kBackground);
    LICE_Rect r{50, 10, 250, 90};
    font->RenderText(&bm, "abc", -1, &r, c.format | kLiceTextSingleLine);
    const LICE_Rect ink = InkBounds(bm, kBackground);
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    // Ink sits inside the text's box, give or take the glyph margins.
    EXPECT_NEAR(ink.left, c.x, 3);
    EXPECT_LE(ink.right, c.x + w + 3);
    EXPECT_GE(ink.top, c.y);
    EXPECT_LE(ink.bottom, c.y + h);
  }
}

TEST_P(FontWays, OpaqueColourDrawsFullStrengthAndTranslucentAboutHalf) {
  auto font = MakeFont(40, kLiceFontPreferNative);
  LICE_SysBitmap bm(200, 80);
  Clear(bm, kBackground);
  LICE_Rect r{5, 5, 195, 75};
  font->SetTextColour(0xFFFFFFFF);
  font->RenderText(&bm, "HI", -1, &r, kLiceTextNoClip);
  EXPECT_EQ(MaxRed(bm), 255);
  Clear(bm, kBackground);
  font->SetTextColour(0x80FFFFFF);
  font->RenderText(&bm, "HI", -1, &r, kLiceTextNoClip | kLiceTextUseColourAlpha);
  // Full coverage at weight 128: 255 + (0 - 255) * 129 / 256.
  EXPECT_EQ(MaxRed(bm), 127);
}

TEST_P(FontWays, TranslucentTextLeavesTheNativeWay) {
  auto font = MakeFont(20, kLiceFontPreferNative);
  LICE_SysBitmap bm(100, 40);
  LICE_Rect r{0, 0, 100, 40};
  // GDI's text output leaves the alpha byte alone; the glyph compositor makes
  // covered pixels opaque.
  Clear(bm, 0x00000000);
  font->SetTextColour(0xFFFFFFFF);
  font->RenderText(&bm, "H", -1, &r, 0);
  int opaque = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) opaque += Chan(GetPixel(bm, x, y), 3) == 255;
  if (GetParam() == Way::Native)
    EXPECT_EQ(opaque, 0);
  else
    EXPECT_GT(opaque, 0);
  Clear(bm, 0x00000000);
  font->SetTextColour(0x80FFFFFF);
  font->RenderText(&bm, "H", -1, &r, kLiceTextUseColourAlpha);
  ASSERT_LT(InkBounds(bm, 0x00000000).left, 100) << "nothing drawn";
  // Translucent text always goes through the glyph maps: covered pixels gain alpha.
  EXPECT_NE(Chan(GetPixel(bm, InkBounds(bm, 0).left, InkBounds(bm, 0).top), 3), 0);
}

TEST_P(FontWays, BitmapsWithoutDeviceContextGetTheSameText) {
  auto font = MakeFont(20, kLiceFontPreferNative);
  font->SetTextColour(0xFFFFC040);
  LICE_SysBitmap withDc(120, 40);
  LICE_MemBitmap withoutDc(120, 40, 3);
  Clear(withDc, kBackground);
  Clear(withoutDc, kBackground);
  for (LICE_IBitmap* bm : {static_cast<LICE_IBitmap*>(&withDc), static_cast<LICE_IBitmap*>(&withoutDc)}) {
    LICE_Rect r{6, 4, 120, 40};
    font->RenderText(bm, "Sample", -1, &r, kLiceTextCentre);
  }
  ASSERT_LT(InkBounds(withDc, kBackground).left, 120) << "nothing drawn";
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) ASSERT_EQ(GetPixel(withoutDc, x, y), GetPixel(withDc, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(BothWays, FontWays, ::testing::Values(Way::Cached, Way::Native),
                         [](const ::testing::TestParamInfo<Way>& i) {
                           return std::string(i.param == Way::Native ? "Native" : "Cached");
                         });

TEST(CachedFontNativeWay, Utf8TextMeasuresAsItsCharactersAtAnyLength) {
  LICE_OverrideWineDetection(0);
  auto font = MakeFont(20, kLiceFontPreferNative);
  const auto width = [&](const std::string& text, int len) {
    LICE_Rect r{0, 0, 0, 0};
    font->RenderText(nullptr, text.c_str(), len, &r, kLiceTextCalcRect | kLiceTextSingleLine);
    return r.right - r.left;
  };
  const std::string one = "\xC3\xA9";  // one character, two bytes
  std::string many;
  for (int i = 0; i < 1000; ++i) many += one;
  const int w = width(one, -1);
  ASSERT_NE(font->Glyph(0xE9), nullptr);
  EXPECT_EQ(w, font->Glyph(0xE9)->advance);  // not two ANSI characters
  EXPECT_EQ(width(one, 2), w);
  EXPECT_EQ(width(many, -1), 1000 * w);
  EXPECT_EQ(width(many, static_cast<int>(many.size())), 1000 * w);
  LICE_OverrideWineDetection(-1);
}

TEST(CachedFontWineTest, RegistryKeyUnderWineRulesOutTheNativeWay) {
  LICE_OverrideWineDetection(-1);  // ask the registry, as a fresh module does
  auto font = MakeFont(20, kLiceFontPreferNative);
  font->SetTextColour(0xFFFFFFFF);
  LICE_SysBitmap bm(60, 40);
  Clear(bm, 0x00000000);
  LICE_Rect r{0, 0, 60, 40};
  font->RenderText(&bm, "H", -1, &r, 0);
  // Opaque covered pixels: the glyph compositor drew, not GDI.
  bool composed = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) composed |= GetPixel(bm, x, y) == 0xFFFFFFFF;
  EXPECT_TRUE(composed);
}

// The cached way's own text handling.
class CachedText : public ::testing::Test {
protected:
  void SetUp() override { font_ = MakeFont(20, 0); }
  int Width(const char* text, unsigned int format = kLiceTextSingleLine) {
    LICE_Rect r{0, 0, 0, 0};
    font_->RenderText(nullptr, text, -1, &r, format | kLiceTextCalcRect);
    return r.right;
  }
  int Height(const char* text, unsigned int format) {
    LICE_Rect r{0, 0, 0, 0};
    font_->RenderText(nullptr, text, -1, &r, format | kLiceTextCalcRect);
    return r.bottom;
  }
  std::unique_ptr<LICE_CachedFont> font_;
};

TEST_F(CachedText, LineFeedIsASpaceOnOneLineAndANewLineOtherwise) {
  EXPECT_EQ(Width("a\nb"), Width("a b"));
  EXPECT_EQ(Height("a\nb", kLiceTextSingleLine), Height("a b", kLiceTextSingleLine));
  const int b = font_->Glyph('b')->height;
  EXPECT_EQ(Height("a\nb", 0), font_->LineHeight() + b);
  font_->SetLineSpacingAdjust(3);
  EXPECT_EQ(Height("a\nb", 0), font_->LineHeight() + 3 + b);
  // The pen went back to the line start; carriage returns are skipped.
  const int wider = std::max(Width("a", 0), Width("b", 0));
  EXPECT_EQ(Width("a\nb", 0), wider);
  EXPECT_EQ(Width("a\r\r\nb", 0), wider);
  EXPECT_LT(wider, Width("ab", 0));
}

TEST_F(CachedText, LineFeedDrawsTheNextLineLower) {
  LICE_MemBitmap bm(120, 80);
  Clear(bm, kBackground);
  font_->SetTextColour(0xFFFFFFFF);
  LICE_Rect r{0, 0, 120, 80};
  font_->RenderText(&bm, "\n_", -1, &r, 0);
  LICE_MemBitmap one(120, 80);
  Clear(one, kBackground);
  font_->RenderText(&one, "_", -1, &r, 0);
  EXPECT_EQ(InkBounds(bm, kBackground).top, InkBounds(one, kBackground).top + font_->LineHeight());
}

TEST_F(CachedText, FourByteCharacterIsASpace) {
  EXPECT_EQ(Width("a\xF0\x9F\x98\x80" "b"), Width("a b"));
  // A broken four-byte sequence is four single bytes instead.
  EXPECT_NE(Width("a\xF0\x9F\x98" "b"), Width("a b"));
}

TEST_F(CachedText, TwoAndThreeByteCharactersAreOneGlyphEach) {
  ASSERT_NE(font_->Glyph(0xE9), nullptr);
  ASSERT_NE(font_->Glyph(0x20AC), nullptr);
  EXPECT_EQ(Width("\xC3\xA9"), font_->Glyph(0xE9)->advance + std::max(0, font_->Glyph(0xE9)->width -
                                                                                font_->Glyph(0xE9)->leftBearing -
                                                                                font_->Glyph(0xE9)->advance));
  EXPECT_GE(Width("\xE2\x82\xAC\xE2\x82\xAC"), 2 * font_->Glyph(0x20AC)->advance);
}

TEST_F(CachedText, ZeroSizeCharactersDoNotMoveThePen) {
  int zeroSize = 0;
  for (int c : {0x200B, 0x200C, 0x200D, 0xFEFF, 0x2060}) {
    const LICE_GlyphRecord* g = font_->Glyph(c);
    if (g && g->pixelOffset == -1) {
      zeroSize = c;
      break;
    }
  }
  if (!zeroSize) GTEST_SKIP() << "the font gives every candidate a size";
  char utf8[4] = {static_cast<char>(0xE0 | zeroSize >> 12), static_cast<char>(0x80 | ((zeroSize >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (zeroSize & 0x3F)), 0};
  const std::string text = std::string("a") + utf8 + "b";
  EXPECT_EQ(Width(text.c_str()), Width("ab"));
  LICE_MemBitmap with(100, 40), without(100, 40);
  Clear(with, kBackground);
  Clear(without, kBackground);
  font_->SetTextColour(0xFFFFFFFF);
  LICE_Rect r{2, 2, 100, 40};
  font_->RenderText(&with, text.c_str(), -1, &r, 0);
  font_->RenderText(&without, "ab", -1, &r, 0);
  EXPECT_EQ(AllWords(with), AllWords(without));
}

TEST_F(CachedText, LengthLimitsTheText) {
  LICE_Rect r{0, 0, 0, 0};
  font_->RenderText(nullptr, "abcdef", 2, &r, kLiceTextCalcRect | kLiceTextSingleLine);
  EXPECT_EQ(r.right, Width("ab"));
}

TEST_F(CachedText, RefusesMissingDestinationOrEmptyClip) {
  LICE_Rect r{0, 0, 50, 50};
  EXPECT_EQ(font_->RenderText(nullptr, "abc", -1, &r, 0), 0);
  EXPECT_EQ(font_->RenderText(nullptr, nullptr, -1, &r, kLiceTextCalcRect), 0);
  LICE_MemBitmap bm(20, 20);
  Clear(bm, kBackground);
  LICE_Rect outside{30, 30, 60, 60};
  font_->SetTextColour(0xFFFFFFFF);
  EXPECT_EQ(font_->RenderText(&bm, "abc", -1, &outside, 0), 0);
  LICE_Rect inside{0, 0, 20, 20};
  font_->SetTextColour(0x00FFFFFF);
  EXPECT_EQ(font_->RenderText(&bm, "abc", -1, &inside, kLiceTextUseColourAlpha), 0);
  EXPECT_EQ(InkBounds(bm, kBackground).left, 20);
}

// Monochrome maps hold only 0 and 255, so every composed pixel has one exact value.
class MonochromeGlyphs : public ::testing::Test {
protected:
  static constexpr LICE_pixel kDst = 0x80102030;
  static constexpr LICE_pixel kColour = 0x12345678;
  void Draw(int flags, float alpha, int mode = kLiceCopy) {
    font_ = MakeFont(24, flags, NONANTIALIASED_QUALITY);
    font_->SetTextColour(kColour);
    font_->SetEffectColour(0x0000FF00);
    font_->SetCombine(mode, alpha);
    Clear(bm_, kDst);
    LICE_Rect r{4, 4, 156, 56};
    font_->RenderText(&bm_, "Hx", -1, &r, 0);
  }
  int Count(LICE_pixel p) const {
    int n = 0;
    for (int y = 0; y < bm_.Height(); ++y)
      for (int x = 0; x < bm_.Width(); ++x) n += GetPixel(bm_, x, y) == p;
    return n;
  }
  LICE_pixel At(int x, int y) const {
    return x < 0 || y < 0 || x >= bm_.Width() || y >= bm_.Height() ? kDst : GetPixel(bm_, x, y);
  }
  std::unique_ptr<LICE_CachedFont> font_;
  LICE_MemBitmap bm_{160, 60};
};

TEST_F(MonochromeGlyphs, FullAlphaCopyWritesTheColourWord) {
  Draw(kLiceFontMonochrome, 1.0f);
  EXPECT_GT(Count(kColour), 20);
  EXPECT_EQ(Count(kColour) + Count(kDst), 160 * 60);
}

TEST_F(MonochromeGlyphs, HalfAlphaCopyBlendsEveryInkPixelAlike) {
  Draw(kLiceFontMonochrome, 0.5f);
  // b 120 + (48 - 120) * 128 / 256, g 86 - 27, r 52 - 18; a (128 - 255) * 128 / 256 - 1 = -64.
  const LICE_pixel blended = 0xC0223B54;
  EXPECT_GT(Count(blended), 20);
  EXPECT_EQ(Count(blended) + Count(kDst), 160 * 60);
}

TEST_F(MonochromeGlyphs, AddModeUsesTheOpaqueBlitFormula) {
  Draw(kLiceFontMonochrome, 1.0f, kLiceAdd);
  // D + C at weight 256 with source alpha 255: b 48+120, g 32+86, r 16+52, a 255.
  const LICE_pixel added = 0xFF4476A8;
  EXPECT_GT(Count(added), 20);
  EXPECT_EQ(Count(added) + Count(kDst), 160 * 60);
}

TEST_F(MonochromeGlyphs, OutlineSurroundsInkWithTheEffectColour) {
  Draw(kLiceFontOutline, 1.0f);
  int effect = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 160; ++x) {
      if (At(x, y) != 0x0000FF00) continue;
      ++effect;
      const bool besideInk = At(x - 1, y) == kColour || At(x + 1, y) == kColour || At(x, y - 1) == kColour ||
                             At(x, y + 1) == kColour;
      ASSERT_TRUE(besideInk) << x << "," << y;
    }
  EXPECT_GT(effect, 20);
  EXPECT_EQ(Count(kColour) + Count(kDst) + effect, 160 * 60);
}

TEST_F(MonochromeGlyphs, ShadowFallsBelowAndRightOfInk) {
  Draw(kLiceFontShadow, 1.0f);
  int effect = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 160; ++x) {
      if (At(x, y) != 0x0000FF00) continue;
      ++effect;
      const bool afterInk = At(x - 1, y) == kColour || At(x - 1, y - 1) == kColour || At(x, y - 1) == kColour;
      ASSERT_TRUE(afterInk) << x << "," << y;
    }
  EXPECT_GT(effect, 10);
}

TEST(CachedFontGlyphs, MultiplyModeDarkensFullCoverageExactly) {
  auto font = MakeFont(40, 0);
  font->SetTextColour(0xFF808080);
  font->SetCombine(kLiceMultiply, 1.0f);
  LICE_MemBitmap bm(120, 60);
  Clear(bm, 0xFFC8C8C8);
  LICE_Rect r{5, 5, 120, 60};
  font->RenderText(&bm, "H", -1, &r, 0);
  // Coverage 255 at full weight: f = 256, ((128 * 256) * 200) >> 16 = 100;
  // alpha (65535 - 255) * 255 >> 16 = 254. Nothing gets darker than that.
  int full = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      const LICE_pixel p = GetPixel(bm, x, y);
      full += p == 0xFE646464;
      ASSERT_GE(Chan(p, 0), 100) << x << "," << y;
    }
  EXPECT_GT(full, 20);
}

TEST(CachedFontGlyphs, AddModeAddsTheColourInProportionToCoverage) {
  auto font = MakeFont(40, 0);
  font->SetTextColour(0xFF203040);
  font->SetCombine(kLiceAdd, 1.0f);
  LICE_MemBitmap bm(120, 60);
  Clear(bm, 0xFF101010);
  LICE_Rect r{5, 5, 120, 60};
  font->RenderText(&bm, "H", -1, &r, 0);
  // Coverage 255 adds all of the colour: b 0x10 + 0x40, g 0x10 + 0x30, r 0x10 + 0x20;
  // the anti-aliased edges add part of it.
  int full = 0, partial = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      const LICE_pixel p = GetPixel(bm, x, y);
      full += p == 0xFF304050;
      partial += Chan(p, 0) > 0x10 && Chan(p, 0) < 0x50;
      ASSERT_LE(Chan(p, 0), 0x50) << x << "," << y;
    }
  EXPECT_GT(full, 20);
  EXPECT_GT(partial, 0);
}

TEST(CachedFontGlyphs, OpaqueBackgroundFillsEachGlyphCell) {
  auto font = MakeFont(20, 0);
  font->SetTextColour(0xFFFFFFFF);
  font->SetBackgroundColour(0xFF0000FF);
  font->SetBackgroundMode(kLiceBackgroundOpaque);
  LICE_MemBitmap bm(100, 40);
  Clear(bm, kBackground);
  LICE_Rect r{10, 5, 100, 40};
  font->RenderText(&bm, "o", -1, &r, 0);
  const LICE_GlyphRecord* o = font->Glyph('o');
  // The cell's corner stays uncovered by the round letter: background colour.
  EXPECT_EQ(GetPixel(bm, 10 - o->leftBearing, 5), 0xFF0000FFu);
  EXPECT_EQ(GetPixel(bm, 10 - o->leftBearing - 1, 5), kBackground);
}

TEST(CachedFontGlyphs, VerticalFontTurnsItsMaps) {
  auto flat = MakeFont(20, 0);
  auto down = MakeFont(20, kLiceFontVertical);
  const LICE_GlyphRecord *a = flat->Glyph('W'), *b = down->Glyph('W');
  ASSERT_TRUE(a && b);
  EXPECT_EQ(b->width, a->height);
  EXPECT_EQ(b->height, a->width);
  LICE_Rect r{0, 0, 0, 0};
  down->RenderText(nullptr, "WW", -1, &r, kLiceTextCalcRect);
  EXPECT_GE(r.bottom, 2 * a->advance);
  EXPECT_EQ(r.right, a->height);
}

TEST(CachedFontGlyphs, FixedSetRendersAsciiAtOnceAndNothingElse) {
  auto font = MakeFont(16, kLiceFontFixedSet);
  EXPECT_EQ(font->Glyph(0xE9), nullptr);
  const LICE_GlyphRecord* a = font->Glyph('a');
  ASSERT_NE(a, nullptr);
  EXPECT_GT(a->pixelOffset, 0);
}

TEST(CachedFontLifetime, ScratchSurfacesLiveWhileAnyFontDoes) {
  const int before = LICE_CachedFont::LiveFontCount();
  {
    LICE_CachedFont one, two;
    EXPECT_EQ(LICE_CachedFont::LiveFontCount(), before + 2);
  }
  EXPECT_EQ(LICE_CachedFont::LiveFontCount(), before);
  // Owned system fonts are deleted with the font or on a change of font;
  // leaking them would exhaust GDI's handle table (65536) before the end.
  LICE_CachedFont keeper;  // keeps the scratch surfaces alive between rounds
  for (int i = 0; i < 70000; ++i) {
    LICE_CachedFont owner;
    owner.AttachSystemFont(MakeSystemFont(12), kLiceFontOwnsSystemFont);
    owner.AttachSystemFont(MakeSystemFont(13), kLiceFontOwnsSystemFont);
    ASSERT_GT(owner.LineHeight(), 0) << i;
  }
  // Attaching another system font discards the glyphs made with the first.
  auto font = MakeFont(12, 0);
  const int small = font->Glyph('M')->height;
  font->AttachSystemFont(MakeSystemFont(30), kLiceFontOwnsSystemFont);
  EXPECT_GT(font->Glyph('M')->height, small);
}

}  // namespace
