#pragma once
// Text between the framework's 8-bit strings and the host's 16-bit fields.
// Every copy is bounded by the destination's capacity in units; the bytes of a
// text map to units 0..255 one to one, both ways.

#include "vst3/interface/Vst3Types.h"

namespace vst3 {

// 8 -> 16 bit into a field of `capacity` units: at most capacity - 1 units,
// always terminated. A null source gives the empty text.
void WidenText(TChar* dest, int32 capacity, const char8* src);

// 16 -> 8 bit, keeping each unit's low byte: reads the source up to its
// terminator but never past `srcCapacity` units, writes at most capacity - 1
// bytes, always terminated.
void NarrowText(char8* dest, int32 capacity, const TChar* src, int32 srcCapacity);

// A fixed-size record field: at most `size` bytes (or units) copied, the rest
// zero; a text of `size` or more is cut off without a terminator, as readers
// bound every read by the field size.
void CopyField(char8* dest, int32 size, const char8* src);
void WidenField(char16* dest, int32 size, const char8* src);

}  // namespace vst3
