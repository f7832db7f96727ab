// IPlugVST3: the state the host stores in its project, through the
// controller's stream: the product's state chunk, then the host bypass flag as
// a 32-bit little-endian integer. No header and no size: the reader takes the
// chunk's size from the product's current state.
#include <cstdint>

#include "vst3/IPlugVST3.h"

using namespace vst3;

namespace {
constexpr int32 kFlagBytes = 4;
}  // namespace

tresult PLUGIN_API IPlugVST3::getEditorState(IBStream* state) {
  if (!state) return kInvalidArgument;
  IMutexLock lock(InstanceLock());
  IStateBuffer buffer;
  if (!SaveState(buffer) || !buffer.AppendInt(IsBypassed() ? 1 : 0)) return kResultFalse;
  int32 written = 0;
  // A stream that refuses the bytes has stored nothing the host can recall.
  return state->write(buffer.Data(), buffer.Size(), &written) == kResultOk ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::setEditorState(IBStream* state) {
  if (!state) return kInvalidArgument;
  IMutexLock lock(InstanceLock());
  // The current state gives the chunk's size and stands in for every byte the
  // stream does not deliver, so a short stream keeps the missing parameters.
  IStateBuffer buffer;
  SaveState(buffer);
  if (buffer.Size() == 0) return kResultFalse;
  int32 nRead = 0;
  state->read(buffer.Data(), buffer.Size(), &nRead);
  LoadState(buffer, 0);

  uint8_t flag[kFlagBytes] = {};
  nRead = 0;
  // A read that does not deliver all four bytes is no flag.
  if (state->read(flag, kFlagBytes, &nRead) != kResultOk || nRead != kFlagBytes) return kResultFalse;
  SetBypassed((flag[0] | flag[1] | flag[2] | flag[3]) != 0);
  RefreshParameterControls();
  return kResultOk;
}
