// A bank chunk as a host hands it over, read by ZAVRO and by a three-slot
// plug-in: every parameter stays in range, and a bank that loaded saves to
// bytes that load to the same values, names and programs.
#include "plugin/ZAVRO.h"
#include "tests/framework/fuzz/FuzzSupport.h"

namespace {

template <typename Plug>
void LoadAndCheck(const IStateBuffer& chunk, int start) {
  Plug plug;
  const int end = plug.UnserializePresets(chunk, start);
  CheckInRange(plug);
  for (int i = 0; i < plug.NPresets(); ++i) {
    FUZZ_CHECK(plug.GetPreset(i)->name.size() <= IPresetSlot::kMaxNameLength);
  }
  if (end < 0) return;
  // A negative name length may move the end before the start, never past the data.
  FUZZ_CHECK(start >= 0 && end <= chunk.Size());

  IStateBuffer saved;
  FUZZ_CHECK(plug.SerializePresets(saved));
  Plug again;
  FUZZ_CHECK(again.UnserializePresets(saved, 0) == saved.Size());
  CheckInRange(again);
  CheckSameValues(plug, again);
  CheckSamePresets(plug, again);
  IStateBuffer savedAgain;
  FUZZ_CHECK(again.SerializePresets(savedAgain) && SameBytes(saved, savedAgain));
}

struct Product : ZAVRO {
  Product() : ZAVRO(IPlugInstanceInfo{}) {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IStateBuffer chunk = BufferOf(data, size);
  int32_t version = 0;
  const int start = ReadStateHeader(chunk, &version);
  LoadAndCheck<Product>(chunk, start);
  LoadAndCheck<MultiSlotPlug>(chunk, start);
  return 0;
}
