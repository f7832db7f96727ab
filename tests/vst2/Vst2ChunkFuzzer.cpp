// Feeds arbitrary bytes to the equaliser's effSetChunk, as a host restoring a
// damaged project would: nothing may read or write out of bounds, and whatever
// was loaded must save and load again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "vst2/IPlugVST.h"

namespace {
VstIntPtr Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  return e->dispatcher(e, opcode, index, value, ptr, 0.0f);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses a bank (even) or a program (odd).
  const VstInt32 index = data[0] % 2 == 0 ? 0 : 1;
  std::vector<uint8_t> chunk(data + 1, data + size);

  IPlugVST* plug = CreateVst2Plugin(IPlugInstanceInfo{});
  AEffect* e = plug->Effect();
  Dispatch(e, effOpen, 0, 0, nullptr);
  Dispatch(e, effSetChunk, index, static_cast<VstIntPtr>(chunk.size()), chunk.data());

  void* saved = nullptr;
  const VstIntPtr savedSize = Dispatch(e, effGetChunk, index, 0, &saved);
  if (savedSize <= 0) std::abort();
  std::vector<uint8_t> copy(static_cast<uint8_t*>(saved), static_cast<uint8_t*>(saved) + savedSize);
  if (Dispatch(e, effSetChunk, index, savedSize, copy.data()) != 1) std::abort();
  // Values as loaded are within their ranges: a second save gives the same bytes.
  void* again = nullptr;
  const VstIntPtr againSize = Dispatch(e, effGetChunk, index, 0, &again);
  if (againSize != savedSize) std::abort();
  for (VstIntPtr i = 0; i < againSize; ++i) {
    if (static_cast<uint8_t*>(again)[i] != copy[static_cast<size_t>(i)]) std::abort();
  }
  Dispatch(e, effClose, 0, 0, nullptr);
  return 0;
}
