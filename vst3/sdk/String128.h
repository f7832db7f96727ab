#pragma once
// The host's 128-unit text fields: at most 127 units of text, always terminated.

#include <type_traits>

#include "vst3/interface/Vst3Types.h"

namespace vst3 {

// The capacity of every such field, terminator included.
inline constexpr int32 kString128Units = static_cast<int32>(std::extent_v<String128>);

// Copies up to the source's terminator but at most 127 units, and zeroes the
// rest of the field, so equal texts give equal records. A null source gives "".
inline void CopyString128(TChar* dest, const TChar* src) {
  int32 n = 0;
  if (src) {
    for (; n < kString128Units - 1 && src[n] != 0; ++n) dest[n] = src[n];
  }
  for (; n < kString128Units; ++n) dest[n] = 0;
}

}  // namespace vst3
