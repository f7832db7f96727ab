// Feeds arbitrary bytes to the equaliser's controller state, as a host
// restoring a damaged project would, through a stream that may deliver them in
// short reads: nothing may read or write out of bounds, and whatever was loaded
// must save, load and save again to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/vst3/Vst3TestHost.h"
#include "vst3/IPlugVST3.h"
#include "vst3/IPlugVST3Create.h"

namespace {
// Hands out at most `limit` bytes per read (0: no limit).
class ShortReadStream : public vst3test::MemoryStream {
public:
  explicit ShortReadStream(int32_t limit) : limit_(limit) {}
  vst3::tresult PLUGIN_API read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override {
    return MemoryStream::read(buffer, limit_ > 0 ? std::min(numBytes, limit_) : numBytes, numBytesRead);
  }

private:
  int32_t limit_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ShortReadStream hostile(data[0] % 16);
  hostile.bytes.assign(data + 1, data + size);

  auto* plug = static_cast<IPlugVST3*>(static_cast<vst3::IAudioProcessor*>(CreateVst3Plugin()));
  if (!plug || plug->initialize(nullptr) != vst3::kResultOk) std::abort();
  plug->setEditorState(&hostile);

  vst3test::MemoryStream saved, again;
  if (plug->getEditorState(&saved) != vst3::kResultOk) std::abort();
  saved.pos = 0;
  if (plug->setEditorState(&saved) != vst3::kResultOk) std::abort();
  // Values as loaded are within their ranges: a second save gives the same bytes.
  if (plug->getEditorState(&again) != vst3::kResultOk || again.bytes != saved.bytes) std::abort();
  plug->terminate();
  plug->release();
  return 0;
}
