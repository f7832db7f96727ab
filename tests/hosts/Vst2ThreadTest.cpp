// The built module under a host that processes on one thread while another
// changes and reads parameters and asks for texts and state, as hosts do with
// automation and generic editors. The instance lock must serialise them (this
// suite also runs under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/hosts/Vst2Module.h"
#include "tests/support/Vst2TestHost.h"

namespace {
constexpr int kParams = 27;
constexpr int kBlock = 128;
constexpr int kAutomated = 19;  // master output, written by the audio thread too

AEffect* Create(Vst2Module& module, Vst2TestHost& host) {
  Vst2Entry entry = module.Find("VSTPluginMain");
  if (!entry) return nullptr;
  AEffect* e = host.Create(entry);
  if (!e) return nullptr;
  Dispatch(e, effOpen);
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(e, effSetBlockSize, 0, kBlock);
  Dispatch(e, effMainsChanged, 0, 1);
  return e;
}

void ProcessBlocks(AEffect* e, int blocks, const std::atomic<bool>& stop) {
  std::vector<float> l(kBlock, 0.1f), r(kBlock, -0.1f), ol(kBlock), orr(kBlock);
  std::vector<double> dl(kBlock, 0.1), dr(kBlock, -0.1), dol(kBlock), dor(kBlock);
  float* in[2] = {l.data(), r.data()};
  float* out[2] = {ol.data(), orr.data()};
  double* din[2] = {dl.data(), dr.data()};
  double* dout[2] = {dol.data(), dor.data()};
  for (int b = 0; b < blocks && !stop; ++b) {
    // Automation playback and meter-style polling from the audio thread.
    if (b % 4 == 0) e->setParameter(e, kAutomated, static_cast<float>(b % 7) / 6.0f);
    (void)e->getParameter(e, b % kParams);
    switch (b % 3) {
      case 0: e->processReplacing(e, in, out, kBlock); break;
      case 1: e->processDoubleReplacing(e, din, dout, kBlock); break;
      default: e->process(e, in, out, kBlock / 2); break;
    }
  }
}

void ChangeParameters(AEffect* e, int rounds) {
  char text[64];
  for (int round = 0; round < rounds; ++round) {
    const int idx = round % kParams;
    const float value = static_cast<float>(round % 11) / 10.0f;
    e->setParameter(e, idx, value);
    (void)e->getParameter(e, idx);
    Dispatch(e, effGetParamDisplay, idx, 0, text);
    if (round % 50 == 0) {
      void* data = nullptr;
      const VstIntPtr size = Dispatch(e, effGetChunk, 1, 0, &data);
      std::vector<char> copy(static_cast<char*>(data), static_cast<char*>(data) + size);
      Dispatch(e, effSetChunk, 1, size, copy.data());
    }
  }
}
}  // namespace

TEST(Vst2HostThreads, ProcessingAndParameterChangesFromTwoThreadsAreSerialised) {
  Vst2Module module(ZAVRO_VST2_MODULE_PATH);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  Vst2TestHost hostA, hostB;
  AEffect* a = Create(module, hostA);
  AEffect* b = Create(module, hostB);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    ProcessBlocks(a, 600, stop);
    ProcessBlocks(b, 600, stop);
  });
  std::thread ui([&] {
    ChangeParameters(a, 400);
    ChangeParameters(b, 400);
  });
  ui.join();
  audio.join();

  // Both instances end with the last values the UI thread set. (The second
  // group may follow the first through Link, so only the first group and the
  // master section are compared.)
  const int checked[] = {0, 1, 2, 3, 4, 5, 6, 7, 21, 24, 25};
  for (AEffect* e : {a, b}) {
    Vst2TestHost reference;
    AEffect* fresh = Create(module, reference);
    ASSERT_NE(fresh, nullptr);
    for (int idx : checked) {
      SCOPED_TRACE(idx);
      int last = idx;
      while (last + kParams < 400) last += kParams;
      const float value = static_cast<float>(last % 11) / 10.0f;
      fresh->setParameter(fresh, idx, value);
      EXPECT_EQ(e->getParameter(e, idx), fresh->getParameter(fresh, idx));
    }
    Dispatch(fresh, effClose);
  }
  Dispatch(a, effClose);
  Dispatch(b, effClose);
}
