#pragma once
// The host's 128-unit text fields: at most 127 units of text, always terminated.

#include "vst3/interface/Vst3Types.h"

namespace vst3 {

// Copies up to the source's terminator but at most 127 units, and zeroes the
// rest of the field, so equal texts give equal records. A null source gives "".
inline void CopyString128(TChar* dest, const TChar* src) {
  constexpr int32 kUnits = 128;
  int32 n = 0;
  if (src) {
    for (; n < kUnits - 1 && src[n] != 0; ++n) dest[n] = src[n];
  }
  for (; n < kUnits; ++n) dest[n] = 0;
}

}  // namespace vst3
