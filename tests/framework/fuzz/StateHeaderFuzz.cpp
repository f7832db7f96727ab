// The header read and the bounded reads under it: every answer must match the
// read rules computed in 64 bits, for positions and lengths taken from the input.
#include <climits>
#include <string>

#include "tests/framework/fuzz/FuzzSupport.h"

namespace {

int32_t IntAt(const uint8_t* data, size_t at) {
  int32_t v;
  std::memcpy(&v, data + at, 4);
  return v;
}

void CheckHeader(const IStateBuffer& buffer, const uint8_t* data, size_t size) {
  int32_t version = -7;
  const int start = ReadStateHeader(buffer, &version);
  const bool magic = size >= 4 && IntAt(data, 0) == kStateMagic;
  if (magic && size >= 8) {
    FUZZ_CHECK(start == 8 && version == IntAt(data, 4));
  } else if (magic) {
    FUZZ_CHECK(start == -1 && version == 0);
  } else {
    FUZZ_CHECK(start == 0 && version == 0);
  }
}

// Where a read of width bytes at p must end, or -1.
int64_t ExpectedEnd(int64_t p, int64_t width, int64_t size) {
  return p >= 0 && p + width <= size ? p + width : -1;
}

void CheckReadsAt(const IStateBuffer& buffer, int position) {
  const int64_t size = buffer.Size();
  int32_t i = 0;
  double d = 0.0;
  bool b = false;
  FUZZ_CHECK(buffer.ReadInt(&i, position) == ExpectedEnd(position, 4, size));
  FUZZ_CHECK(buffer.ReadDouble(&d, position) == ExpectedEnd(position, 8, size));
  FUZZ_CHECK(buffer.ReadBool(&b, position) == ExpectedEnd(position, 1, size));

  std::string text = "\x01untouched";
  const int next = buffer.ReadText(&text, position);
  if (ExpectedEnd(position, 4, size) < 0) {
    FUZZ_CHECK(next == -1 && text == "\x01untouched");
    return;
  }
  int32_t length = 0;
  buffer.ReadInt(&length, position);
  const int64_t end = static_cast<int64_t>(position) + 4 + length;
  FUZZ_CHECK(next == (end > INT_MAX ? INT_MAX : end));
  if (end > size) {
    FUZZ_CHECK(text == "\x01untouched");
  } else {
    FUZZ_CHECK(static_cast<int64_t>(text.size()) <= (length < 0 ? 0 : length));
    FUZZ_CHECK(text.find('\0') == std::string::npos);
    if (length > 0) FUZZ_CHECK(std::memcmp(text.data(), buffer.Data() + position + 4, text.size()) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IStateBuffer buffer = BufferOf(data, size);
  CheckHeader(buffer, data, size);
  // Every small position, then positions the input spells out as integers.
  for (int p = -4; p <= static_cast<int>(size) + 4 && p < 64; ++p) CheckReadsAt(buffer, p);
  for (size_t at = 0; at + 4 <= size && at < 64; at += 4) CheckReadsAt(buffer, IntAt(data, at));
  return 0;
}
