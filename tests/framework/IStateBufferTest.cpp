#include "framework/IStateBuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> BytesOf(const IStateBuffer& buffer) {
  return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

IStateBuffer BufferOf(const std::vector<uint8_t>& bytes) {
  IStateBuffer buffer;
  buffer.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  return buffer;
}

// A length field followed by the given bytes.
IStateBuffer TextBlock(int32_t length, const std::string& bytes) {
  IStateBuffer buffer;
  buffer.AppendInt(length);
  buffer.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  return buffer;
}

}  // namespace

TEST(IStateBuffer, AppendsAreLittleEndianWithoutPadding) {
  IStateBuffer buffer;
  ASSERT_TRUE(buffer.AppendInt(0x01020304));
  ASSERT_TRUE(buffer.AppendInt(-2));
  ASSERT_TRUE(buffer.AppendDouble(1.0));
  ASSERT_TRUE(buffer.AppendBool(true));
  ASSERT_TRUE(buffer.AppendBool(false));
  ASSERT_TRUE(buffer.AppendText("ab"));
  ASSERT_TRUE(buffer.AppendText(""));
  const std::vector<uint8_t> expected = {
      0x04, 0x03, 0x02, 0x01,                          // int
      0xFE, 0xFF, 0xFF, 0xFF,                          // two's complement
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // 1.0
      0x01, 0x00,                                      // bools
      0x02, 0x00, 0x00, 0x00, 'a', 'b',                // text: no terminator
      0x00, 0x00, 0x00, 0x00,                          // empty text
  };
  EXPECT_EQ(BytesOf(buffer), expected);
}

TEST(IStateBuffer, AppendBufferCopiesBytesWithoutLengthAndMayAppendItself) {
  IStateBuffer a = BufferOf({1, 2, 3});
  IStateBuffer b = BufferOf({9});
  ASSERT_TRUE(b.AppendBuffer(a));
  EXPECT_EQ(BytesOf(b), (std::vector<uint8_t>{9, 1, 2, 3}));
  ASSERT_TRUE(b.AppendBuffer(b));
  EXPECT_EQ(BytesOf(b), (std::vector<uint8_t>{9, 1, 2, 3, 9, 1, 2, 3}));
  ASSERT_TRUE(b.AppendBuffer(IStateBuffer{}));
  EXPECT_EQ(b.Size(), 8);
  EXPECT_FALSE(b.AppendBytes(nullptr, 1));
  EXPECT_FALSE(b.AppendBytes("x", -1));
  EXPECT_EQ(b.Size(), 8);
}

TEST(IStateBuffer, ReadsAnswerTheNextPositionAndBoolIsAnyNonZeroByte) {
  IStateBuffer buffer;
  buffer.AppendInt(-123456);
  buffer.AppendDouble(-2.5);
  buffer.AppendBytes("\x07", 1);
  int32_t i = 0;
  double d = 0.0;
  bool b = false;
  EXPECT_EQ(buffer.ReadInt(&i, 0), 4);
  EXPECT_EQ(i, -123456);
  EXPECT_EQ(buffer.ReadDouble(&d, 4), 12);
  EXPECT_EQ(d, -2.5);
  EXPECT_EQ(buffer.ReadBool(&b, 12), 13);
  EXPECT_TRUE(b);
}

// Every position a host or a file can produce, for every small size: a read either
// fits entirely or answers -1 without touching its output.
TEST(IStateBuffer, ReadsStayInsideTheDataForEveryPosition) {
  const std::vector<int> farPositions = {INT_MIN, INT_MIN + 1, -8, -4, -1, INT_MAX - 7, INT_MAX - 3, INT_MAX};
  for (int size = 0; size <= 12; ++size) {
    const IStateBuffer buffer = BufferOf(std::vector<uint8_t>(static_cast<size_t>(size), 0x11));
    std::vector<int> positions = farPositions;
    for (int p = 0; p <= size + 1; ++p) positions.push_back(p);
    for (int p : positions) {
      SCOPED_TRACE("size " + std::to_string(size) + ", position " + std::to_string(p));
      const bool inside = p >= 0 && p <= size;
      int32_t i = 77;
      const int ni = buffer.ReadInt(&i, p);
      EXPECT_EQ(ni, inside && p + 4 <= size ? p + 4 : -1);
      if (ni < 0) {
        EXPECT_EQ(i, 77);
      }
      double d = 77.0;
      const int nd = buffer.ReadDouble(&d, p);
      EXPECT_EQ(nd, inside && p + 8 <= size ? p + 8 : -1);
      if (nd < 0) {
        EXPECT_EQ(d, 77.0);
      }
      bool b = false;
      const int nb = buffer.ReadBool(&b, p);
      EXPECT_EQ(nb, inside && p + 1 <= size ? p + 1 : -1);
      if (nb < 0) {
        EXPECT_FALSE(b);
      }
      std::string text = "kept";
      if (buffer.ReadText(&text, p) < 0) {
        EXPECT_EQ(text, "kept");
      }
    }
  }
}

TEST(IStateBuffer, TextReadFollowsItsLengthField) {
  struct Case {
    const char* what;
    IStateBuffer block;
    int position;
    int expectedPosition;
    std::string expectedText;
  };
  const std::vector<Case> cases = {
      {"whole text", TextBlock(3, "abc"), 0, 7, "abc"},
      {"stops at a zero byte, position still past all N", TextBlock(4, std::string("ab\0d", 4)), 0, 8, "ab"},
      {"zero length", TextBlock(0, "zz"), 0, 4, ""},
      {"negative length moves back", TextBlock(-3, "zzzz"), 0, 1, ""},
      {"negative length below the start", TextBlock(-5, ""), 0, -1, ""},
      {"most negative length", TextBlock(INT_MIN, ""), 0, INT_MIN + 4, ""},
      {"length beyond the end: end position, text untouched", TextBlock(10, "abc"), 0, 14, "kept"},
      {"length ends exactly at the end", TextBlock(3, "abc"), 0, 7, "abc"},
      {"no room for the length", TextBlock(3, "abc"), 4, -1, "kept"},
      {"length near the 32-bit limit does not wrap", TextBlock(INT_MAX, "abc"), 0, INT_MAX, "kept"},
      {"position + 4 + N beyond INT_MAX", TextBlock(INT_MAX - 3, "abc"), 0, INT_MAX, "kept"},
      {"negative position", TextBlock(3, "abc"), -4, -1, "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = "kept";
    EXPECT_EQ(c.block.ReadText(&text, c.position), c.expectedPosition);
    EXPECT_EQ(text, c.expectedText);
  }
}

TEST(IStateBuffer, ResizeKeepsTheFirstBytesAndZeroFillsNewOnes) {
  IStateBuffer buffer = BufferOf({1, 2, 3});
  buffer.Resize(5);
  EXPECT_EQ(BytesOf(buffer), (std::vector<uint8_t>{1, 2, 3, 0, 0}));
  buffer.Resize(2);
  EXPECT_EQ(BytesOf(buffer), (std::vector<uint8_t>{1, 2}));
  buffer.Resize(-1);
  EXPECT_EQ(buffer.Size(), 0);
}

TEST(StateHeader, IsTffpThenVersion) {
  IStateBuffer buffer;
  ASSERT_TRUE(WriteStateHeader(buffer));
  EXPECT_EQ(BytesOf(buffer), (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
  int32_t version = -1;
  EXPECT_EQ(ReadStateHeader(buffer, &version), 8);
  EXPECT_EQ(version, kStateVersion);
}

TEST(StateHeader, ReadsStartAndVersionForEveryShape) {
  const std::vector<uint8_t> magic = {0x74, 0x66, 0x66, 0x70};
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int expectedStart;
    int32_t expectedVersion;
  };
  std::vector<Case> cases = {
      {"empty block is headerless", {}, 0, 0},
      {"three bytes are headerless", {0x74, 0x66, 0x66}, 0, 0},
      {"other first integer is headerless", {0x70, 0x66, 0x66, 0x74, 0, 0, 1, 0}, 0, 0},
      {"older version is still read", {0x74, 0x66, 0x66, 0x70, 0xFF, 0xFF, 0, 0}, 8, 0xFFFF},
  };
  for (int extra = 0; extra < 4; ++extra) {
    std::vector<uint8_t> cut = magic;
    cut.insert(cut.end(), static_cast<size_t>(extra), 0x01);
    cases.push_back({"magic with a version cut short", cut, -1, 0});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.bytes.size()) + " bytes");
    int32_t version = -1;
    EXPECT_EQ(ReadStateHeader(BufferOf(c.bytes), &version), c.expectedStart);
    EXPECT_EQ(version, c.expectedVersion);
  }
}

TEST(IPresetSlot, NamesAreCutTo255Characters) {
  IPresetSlot slot;
  EXPECT_EQ(slot.name, "empty");
  EXPECT_FALSE(slot.initialised);
  slot.SetName(std::string(300, 'a'));
  EXPECT_EQ(slot.name, std::string(255, 'a'));
  // A host's text without a terminator: exactly 255 characters are read, no more.
  std::unique_ptr<char[]> unterminated(new char[255]);
  std::memset(unterminated.get(), 'b', 255);
  slot.SetName(unterminated.get());
  EXPECT_EQ(slot.name, std::string(255, 'b'));
  slot.SetName("short");
  EXPECT_EQ(slot.name, "short");
}
