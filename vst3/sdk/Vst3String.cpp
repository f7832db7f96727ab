#include "vst3/sdk/Vst3String.h"

namespace vst3 {
namespace {
// A byte as the unit of the same number; char is signed on x86, so not a plain cast.
TChar Widen(char8 c) { return static_cast<TChar>(static_cast<uint8>(c)); }
char8 Narrow(TChar unit) { return static_cast<char8>(static_cast<uint8>(unit & 0xFF)); }
}  // namespace

void WidenText(TChar* dest, int32 capacity, const char8* src) {
  if (!dest || capacity <= 0) return;
  int32 n = 0;
  for (; src && n < capacity - 1 && src[n] != 0; ++n) dest[n] = Widen(src[n]);
  dest[n] = 0;
}

void NarrowText(char8* dest, int32 capacity, const TChar* src, int32 srcCapacity) {
  if (!dest || capacity <= 0) return;
  int32 n = 0;
  for (; src && n < capacity - 1 && n < srcCapacity && src[n] != 0; ++n) dest[n] = Narrow(src[n]);
  dest[n] = 0;
}

void CopyField(char8* dest, int32 size, const char8* src) {
  int32 n = 0;
  for (; src && n < size && src[n] != 0; ++n) dest[n] = src[n];
  for (; n < size; ++n) dest[n] = 0;
}

void WidenField(char16* dest, int32 size, const char8* src) {
  int32 n = 0;
  for (; src && n < size && src[n] != 0; ++n) dest[n] = Widen(src[n]);
  for (; n < size; ++n) dest[n] = 0;
}

}  // namespace vst3
