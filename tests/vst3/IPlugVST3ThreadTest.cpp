// The equaliser on its VST 3 binding under a host that processes on one thread
// (with automation queues and bypass) while its UI thread reads and sets
// parameters, asks for texts and saves and restores the state. The instance
// lock must serialise them (this suite also runs under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "tests/vst3/Vst3TestHost.h"
#include "vst3/IPlugVST3.h"
#include "vst3/IPlugVST3Create.h"

using namespace vst3;
using namespace vst3test;

namespace {
constexpr int kBlock = 64;
constexpr ParamID kAutomated = 19;  // master output, also changed by the UI thread

// Until the UI thread is done, so that the two really overlap.
void ProcessBlocks(IPlugVST3* plug, const std::atomic<bool>& stop, bool* finite) {
  BusBuffers<float> in(2, kBlock, 0.1f), out(2, kBlock, 0.0f);
  for (int b = 0; !stop; ++b) {
    ParamChanges changes;
    changes.Add(kAutomated, {{0, (b % 7) / 6.0}});
    changes.Add(BypassParamId, {{0, b % 50 == 0 ? 1.0 : 0.0}});
    ProcessData data = Data(&in, &out, kBlock, &changes);
    plug->process(data);
    for (float v : out.data[1]) *finite = *finite && std::isfinite(v);
  }
}

void UseController(IPlugVST3* plug, int rounds, bool* restored) {
  String128 text;
  for (int round = 0; round < rounds; ++round) {
    const ParamID id = static_cast<ParamID>(round % 27);
    plug->setParamNormalized(id, (round % 11) / 10.0);
    (void)plug->getParamNormalized(id);
    (void)plug->getParamNormalized(BypassParamId);
    plug->getParamStringByValue(id, 0.3, text);
    if (round % 50 == 0) {
      MemoryStream state;
      plug->getEditorState(&state);
      state.pos = 0;
      *restored = *restored && plug->setEditorState(&state) == kResultOk;
    }
  }
}
}  // namespace

TEST(IPlugVST3Threads, ProcessingAndControllerCallsFromTwoThreadsAreSerialised) {
  auto* plug = static_cast<IPlugVST3*>(static_cast<IAudioProcessor*>(CreateVst3Plugin()));
  ASSERT_NE(plug, nullptr);
  ASSERT_EQ(StartProcessing(plug, nullptr, kSample32, kBlock), kResultOk);

  bool finite = true, restored = true;
  std::atomic<bool> stop{false};
  std::thread audio([&] { ProcessBlocks(plug, stop, &finite); });
  UseController(plug, 20000, &restored);
  stop = true;
  audio.join();
  EXPECT_TRUE(finite);
  EXPECT_TRUE(restored);
  plug->setActive(false);
  plug->terminate();
  plug->release();
}
