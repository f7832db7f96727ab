// Text between the framework's bytes and the host's 16-bit fields: bounded by
// the destination, bytes and units one to one.
#include <gtest/gtest.h>

#include <string>

#include "vst3/sdk/Vst3String.h"

using namespace vst3;

TEST(Vst3String, WideningKeepsEveryByteValueAndStopsAtTheLastUnit) {
  String128 field;
  std::fill(std::begin(field), std::end(field), u'?');
  // Bytes above 0x7F are characters 0x80..0xFF, not sign-extended units.
  WidenText(field, 128, "dB\xB0\xFF");
  EXPECT_EQ(std::u16string(field), std::u16string(u"dB\u00B0\u00FF"));

  const std::string longText(200, 'x');
  WidenText(field, 128, longText.c_str());
  EXPECT_EQ(std::u16string(field), std::u16string(127, u'x'));
  WidenText(field, 128, nullptr);
  EXPECT_EQ(field[0], 0);
}

TEST(Vst3String, NarrowingKeepsTheLowByteAndReadsNoFurtherThanTheSource) {
  char text[8];
  const char16_t wide[] = {u'a', 0x00E9, 0x20AC, 0};
  NarrowText(text, sizeof(text), wide, 4);
  EXPECT_EQ(std::string(text), std::string("a\xE9\xAC"));

  // An unterminated source is read only up to its capacity.
  const char16_t unterminated[2] = {u'o', u'k'};
  NarrowText(text, sizeof(text), unterminated, 2);
  EXPECT_EQ(std::string(text), "ok");
  NarrowText(text, 3, u"long", 5);
  EXPECT_EQ(std::string(text), "lo");
}

TEST(Vst3String, RecordFieldsAreZeroPaddedAndUnterminatedWhenFull) {
  char field[4] = {'?', '?', '?', '?'};
  CopyField(field, 4, "ab");
  EXPECT_EQ(std::string(field, 4), std::string("ab\0\0", 4));
  CopyField(field, 4, "abcdef");
  EXPECT_EQ(std::string(field, 4), "abcd");

  char16_t wide[4] = {u'?', u'?', u'?', u'?'};
  WidenField(wide, 4, "\xC3");
  EXPECT_EQ(std::u16string(wide, 4), std::u16string(u"\u00C3\0\0\0", 4));
}
