#pragma once
// The VST 3 host interface, declared by the project itself: scalar types,
// result codes, the calling convention and the 16-byte identifiers. Every
// width is pinned by a static assertion, so a wrong type fails to compile
// instead of failing inside a host.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
// Accepted and ignored on x64; spelled out so both toolchains agree on intent.
#define PLUGIN_API __stdcall
#else
#define PLUGIN_API
#endif

// Windows hosts compare identifiers in the COM image of a GUID, others in
// four big-endian words.
#if defined(_WIN32)
#define VST3_COM_COMPATIBLE 1
#else
#define VST3_COM_COMPATIBLE 0
#endif

namespace vst3 {

using int8 = char;
using uint8 = unsigned char;
using int16 = short;
using uint16 = unsigned short;
using int32 = int;
using uint32 = unsigned int;
using int64 = long long;
using uint64 = unsigned long long;

using TSize = int64;
using tresult = int32;
using TBool = uint8;
using TPtrInt = uint64;

using char8 = char;
// One UTF-16 unit on every target; wchar_t is 4 bytes on Linux, so never that.
using char16 = char16_t;
using tchar = char16;
using TChar = char16;
using String128 = TChar[128];
using FIDString = const char8*;
using UCoord = int32;

using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;
using KnobMode = int32;
using ParamID = uint32;
using ParamValue = double;
using CtrlNumber = int16;
using TQuarterNotes = double;
using TSamples = int64;
using ColorSpec = uint32;
using Sample32 = float;
using Sample64 = double;
using SampleRate = double;
using SpeakerArrangement = uint64;
using Speaker = uint64;

static_assert(sizeof(int32) == 4 && sizeof(int64) == 8 && sizeof(int16) == 2);
static_assert(sizeof(TBool) == 1 && sizeof(TChar) == 2 && sizeof(String128) == 256);
static_assert(sizeof(void*) == 8, "only the 64-bit targets are declared");

// The numbers differ per platform: HRESULTs on Windows, small integers elsewhere.
// Success is kResultOk exactly; never test the sign.
#if defined(_WIN32)
enum : tresult {
  kNoInterface = static_cast<tresult>(0x80004002u),
  kResultOk = 0,
  kResultTrue = kResultOk,
  kResultFalse = 1,
  kInvalidArgument = static_cast<tresult>(0x80070057u),
  kNotImplemented = static_cast<tresult>(0x80004001u),
  kInternalError = static_cast<tresult>(0x80004005u),
  kNotInitialized = static_cast<tresult>(0x8000FFFFu),
  kOutOfMemory = static_cast<tresult>(0x8007000Eu),
};
#else
enum : tresult {
  kNoInterface = -1,
  kResultOk = 0,
  kResultTrue = kResultOk,
  kResultFalse = 1,
  kInvalidArgument = 2,
  kNotImplemented = 3,
  kInternalError = 4,
  kNotInitialized = 5,
  kOutOfMemory = 6,
};
#endif

// A class or interface identifier: 16 bytes, compared as bytes.
using TUID = int8[16];

struct Uid {
  TUID data;

  // Where each byte of the four-word notation, most significant first, sits
  // in this platform's byte image: COM order swaps the bytes of the first
  // word and of each half of the second.
#if VST3_COM_COMPATIBLE
  static constexpr int kImageIndex[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
#else
  static constexpr int kImageIndex[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
#endif

  // The four-word notation turned into this platform's byte image.
  static constexpr Uid FromWords(uint32 w1, uint32 w2, uint32 w3, uint32 w4) {
    Uid uid{};
    const uint32 words[4] = {w1, w2, w3, w4};
    for (int n = 0; n < 16; ++n) uid.data[kImageIndex[n]] = static_cast<int8>(words[n / 4] >> (24 - 8 * (n % 4)));
    return uid;
  }
};
static_assert(sizeof(Uid) == 16);

// True when the two 16-byte identifiers are the same; null matches nothing.
inline bool IidEqual(const void* a, const void* b) {
  return a && b && std::memcmp(a, b, sizeof(TUID)) == 0;
}

}  // namespace vst3
