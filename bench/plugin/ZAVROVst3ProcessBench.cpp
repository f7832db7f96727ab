// What the VST 3 binding adds to the audio path: ns per stereo frame of the
// equaliser on its VST 3 binding at 48 kHz, 64-frame blocks, one parameter
// change per block (a gain stepping between two values), in two ways:
//   ProcessBlockAlone  the change set on the parameter and the product's
//                      ProcessBlock on double buffers, under the lock and the
//                      flush-to-zero mode every host call holds;
//   Vst3Process        the same change as a host's queue and the block as
//                      32-bit host buffers through IPlugVST3::process.
// Built apart from ZAVROProcessBench: the product is compiled once per binding.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "framework/IFlushToZeroScope.h"
#include "plugin/ZAVRO.h"
#include "tests/vst3/Vst3TestHost.h"
#include "vst3/IPlugVST3Create.h"

namespace {
using namespace vst3;

constexpr int kBlock = 64;
constexpr double kRate = 48000.0;
constexpr double kGainSteps[2] = {0.45, 0.55};

// The equaliser as a host has set it up: initialised, 32-bit, buses active.
ZAVRO* NewSetUpPlugin() {
  auto* plug = static_cast<ZAVRO*>(static_cast<IAudioProcessor*>(CreateVst3Plugin()));
  vst3test::StartProcessing(plug, nullptr, kSample32, kBlock, kRate);
  return plug;
}

template <typename Sample>
std::vector<Sample> Noise(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  std::vector<Sample> v(kBlock);
  for (Sample& x : v) x = static_cast<Sample>(u(rng));
  return v;
}

void PerFrame(benchmark::State& state) {
  state.counters["frame"] = benchmark::Counter(
      kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ProcessBlockAlone(benchmark::State& state) {
  ZAVRO* plug = NewSetUpPlugin();
  std::vector<double> inL = Noise<double>(1), inR = Noise<double>(2), outL(kBlock), outR(kBlock);
  double* in[2] = {inL.data(), inR.data()};
  double* out[2] = {outL.data(), outR.data()};
  int step = 0;
  for (auto _ : state) {
    IMutexLock lock(plug->InstanceLock());
    IFlushToZeroScope flushToZero;
    plug->GetParam(kLMLowGain)->SetFromNormalized(kGainSteps[step ^= 1]);
    plug->OnParameterChanged(kLMLowGain);
    plug->ProcessBlock(in, out, kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
  plug->terminate();
  plug->release();
}

// Sample is float for the 32-bit call the figures are about; double shows
// what of the difference is the conversion to and from 32 bits.
template <typename Sample>
void Vst3Process(benchmark::State& state) {
  ZAVRO* plug = NewSetUpPlugin();
  if constexpr (sizeof(Sample) == 8) {
    ProcessSetup setup{kRealtime, kSample64, kBlock, kRate};
    plug->setupProcessing(setup);
  }
  vst3test::BusBuffers<Sample> in(2, kBlock, 0), out(2, kBlock, 0);
  for (unsigned c = 0; c < 2; ++c) {
    const std::vector<Sample> noise = Noise<Sample>(c + 1);
    std::copy(noise.begin(), noise.end(), in.data[c].begin());
  }
  vst3test::ParamChanges changes[2];
  for (int i = 0; i < 2; ++i) changes[i].Add(kLMLowGain, {{0, kGainSteps[i]}});
  ProcessData data = vst3test::Data(&in, &out, kBlock);
  int step = 0;
  for (auto _ : state) {
    data.inputParameterChanges = &changes[step ^= 1];
    plug->process(data);
    benchmark::DoNotOptimize(out.data[0].data());
    benchmark::ClobberMemory();
  }
  PerFrame(state);
  plug->terminate();
  plug->release();
}

}  // namespace

BENCHMARK(ProcessBlockAlone);
BENCHMARK_TEMPLATE(Vst3Process, float);
BENCHMARK_TEMPLATE(Vst3Process, double);
BENCHMARK_MAIN();
