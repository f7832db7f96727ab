// A program chunk as a host hands it over: the header read, then the program
// from where the header says, and the headerless reading from byte 0.
#include "plugin/ZAVRO.h"
#include "tests/framework/fuzz/FuzzSupport.h"

namespace {

void LoadAndCheck(const IStateBuffer& chunk, int start) {
  ZAVRO plug{IPlugInstanceInfo{}};
  const int end = plug.LoadState(chunk, start);
  CheckInRange(plug);
  if (end < 0) return;
  FUZZ_CHECK(start >= 0 && end == start + kParamCount * 8);

  // What loaded saves to bytes that load to the same values.
  IStateBuffer saved;
  FUZZ_CHECK(plug.SaveState(saved) && saved.Size() == kParamCount * 8);
  ZAVRO again{IPlugInstanceInfo{}};
  FUZZ_CHECK(again.LoadState(saved, 0) == saved.Size());
  CheckSameValues(plug, again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IStateBuffer chunk = BufferOf(data, size);
  int32_t version = 0;
  LoadAndCheck(chunk, ReadStateHeader(chunk, &version));
  LoadAndCheck(chunk, 0);
  return 0;
}
