#pragma once
// What the state fuzz targets share: a fatal check (the fuzzer reports the
// input), the range invariant, and comparisons of whole instances.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/IPlugBase.h"
#include "tests/support/IPlugTest.h"

#define FUZZ_CHECK(cond)                                                   \
  do {                                                                     \
    if (!(cond)) {                                                         \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                        \
    }                                                                      \
  } while (0)

inline IStateBuffer BufferOf(const uint8_t* data, size_t size) {
  IStateBuffer buffer;
  FUZZ_CHECK(buffer.AppendBytes(data, static_cast<int>(size)));
  return buffer;
}

// Every parameter inside its range; NaN fails this too.
inline void CheckInRange(const IPlugBase& plug) {
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParamDef* p = plug.GetParam(i);
    FUZZ_CHECK(p->Value() >= p->Min() && p->Value() <= p->Max());
  }
}

inline bool SameBytes(const IStateBuffer& a, const IStateBuffer& b) {
  return a.Size() == b.Size() && (a.Size() == 0 || std::memcmp(a.Data(), b.Data(), static_cast<size_t>(a.Size())) == 0);
}

inline void CheckSameValues(const IPlugBase& a, const IPlugBase& b) {
  FUZZ_CHECK(a.NParams() == b.NParams());
  for (int i = 0; i < a.NParams(); ++i) FUZZ_CHECK(a.GetParam(i)->Value() == b.GetParam(i)->Value());
}

inline void CheckSamePresets(IPlugBase& a, IPlugBase& b) {
  FUZZ_CHECK(a.NPresets() == b.NPresets());
  for (int i = 0; i < a.NPresets(); ++i) {
    const IPresetSlot* x = a.GetPreset(i);
    const IPresetSlot* y = b.GetPreset(i);
    FUZZ_CHECK(x->name == y->name);
    FUZZ_CHECK(x->name.size() <= IPresetSlot::kMaxNameLength);
    FUZZ_CHECK(x->initialised == y->initialised);
    if (x->initialised) FUZZ_CHECK(SameBytes(x->state, y->state));
  }
}

// Three presets and four parameters of every kind, so that bank reads cross
// slots (ZAVRO has one).
class MultiSlotPlug : public IPlugTest {
public:
  static IPlugConfig MakeConfig() {
    IPlugConfig c;
    c.nParams = 4;
    c.channelIOText = "2-2";
    c.nPresets = 3;
    return c;
  }
  MultiSlotPlug() : IPlugTest(IPlugInstanceInfo{}, MakeConfig()) {
    GetParam(0)->InitContinuous("gain", 0.0, -15.0, 15.0, 0.1);
    GetParam(1)->InitContinuous("freq", 120.0, 50.0, 400.0, 1.0);
    GetParam(2)->InitInteger("mode", 1, 0, 2);
    // Parameter 3 stays as the base created it.
    FillDefaultPresets("-", 1);
  }
};
