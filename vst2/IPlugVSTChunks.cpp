// IPlugVST: the program and bank chunks a host stores in its project.
#include <climits>
#include <cstring>
#include <utility>

#include "vst2/IPlugVST.h"

VstIntPtr IPlugVST::GetChunk(bool isBank, void** data) {
  if (!data) return 0;
  IStateBuffer& chunk = isBank ? bankChunk_ : programChunk_;
  chunk.Clear();
  bool ok = WriteStateHeader(chunk);
  if (isBank) {
    // The bank must carry the live values in the current preset.
    ModifyCurrentPreset();
    ok = ok && SerializePresets(chunk);
  } else {
    ok = ok && SaveState(chunk);
  }
  if (!ok || chunk.Size() == 0) return 0;
  *data = chunk.Data();
  return chunk.Size();
}

VstIntPtr IPlugVST::SetChunk(bool isBank, VstIntPtr size, const void* data) {
  // A negative size, or bytes promised behind no pointer, load nothing.
  if (!data || size < 0 || size > INT_MAX) return 0;
  // The bytes are copied before the chunk changes: a host may hand back the very
  // block the last effGetChunk gave it.
  IStateBuffer incoming;
  incoming.Resize(static_cast<int>(size));
  if (size > 0) std::memcpy(incoming.Data(), data, static_cast<size_t>(size));
  IStateBuffer& chunk = isBank ? bankChunk_ : programChunk_;
  chunk = std::move(incoming);

  // A refusal means nothing changed, though the load stops only where the bytes fail.
  const IPlugSnapshot before = TakeSnapshot();
  int32_t version = 0;
  const int start = ReadStateHeader(chunk, &version);
  int position;
  if (isBank && version >= kStateVersion) {
    position = UnserializePresets(chunk, start);
  } else {
    position = LoadState(chunk, start);
    ModifyCurrentPreset();
  }
  if (position < 0) {
    RestoreSnapshot(before);
    return 0;
  }
  RefreshParameterControls();
  return 1;
}
