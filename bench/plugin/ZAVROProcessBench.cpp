// ns per stereo frame of ZAVRO's audio path at 48 kHz, for block sizes 1, 64,
// 512 and 4096, in three situations:
//   settled   defaults, after every glide has come to rest;
//   shaped    every band boosted or cut, Link off, mid/side, settled;
//   gliding   high-pass positions and trims switched every 0.1 s, so the
//             corners and trims are always moving.
// "Product" is ZAVRO::ProcessBlock; "Reference" is the plain evaluation the
// product must match bit for bit. The frame counter reads as time per frame.
//
// "Quiet" is the product in 512-frame blocks with every parameter at 0.7
// (mid/side, the L/M high-pass engaged), in steady state on noise, on the
// silence after a noise burst has decayed and on input of +-1e-39, each with
// and without the flush-to-zero mode the host callbacks set: subnormal numbers
// must cost no more than noise.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "framework/IFlushToZeroScope.h"
#include "tests/plugin/ZAVROProbe.h"
#include "tests/support/TestSignals.h"
#include "tests/support/ZAVROReference.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kNoiseFrames = 1 << 16;
enum Situation { kSettled = 0, kShaped = 1, kGliding = 2 };

// The product or the reference, driven the same way.
class Subject {
public:
  explicit Subject(bool reference) : reference_(reference), plug_(kRate) {
    for (int i = 0; i < kParamCount; ++i) ReferenceFollow(ref_, plug_, i);
  }

  void Set(int paramIdx, double value) {
    plug_.SetPlain(paramIdx, value);
    ReferenceFollow(ref_, plug_, paramIdx);
  }

  void Process(double** in, double** out, int n) {
    if (reference_) ReferenceProcessBlock(ref_, kRate, in, out, n);
    else plug_.ProcessBlock(in, out, n);
  }

private:
  bool reference_;
  ZAVROProbe plug_;
  ZAVROReference ref_;
};

// Noise long enough for a block of up to 4096 frames from any of its first kNoiseFrames.
std::vector<double> BenchNoise(uint32_t seed) { return Noise(kNoiseFrames + 4096, seed, 0.3); }

void Shape(Subject& s) {
  s.Set(kLink, 0);
  s.Set(kMode, 1);
  const struct {
    int idx;
    double db;
  } bands[] = {{kLMLowGain, 6.0},   {kLMLowMidGain, -4.5}, {kLMHighMidGain, 9.0},
               {kLMHighGain, -7.0}, {kRSLowGain, 3.5},     {kRSLowMidGain, -9.5},
               {kRSHighMidGain, 12.0}, {kRSHighGain, -3.0}};
  for (const auto& band : bands) s.Set(band.idx, band.db);
  s.Set(kLMOutput, -2.0);
  s.Set(kRSOutput, 1.5);
  s.Set(kMasterOutput, -3.0);
}

void ProcessBench(benchmark::State& state, bool reference) {
  const int block = static_cast<int>(state.range(0));
  const auto situation = static_cast<Situation>(state.range(1));
  Subject subject(reference);
  if (situation == kShaped) Shape(subject);

  const std::vector<double> left = BenchNoise(1), right = BenchNoise(2);
  std::vector<double> outL(4096), outR(4096);
  double* out[2] = {outL.data(), outR.data()};
  long position = 0;
  auto run = [&](int n) {
    double* in[2] = {const_cast<double*>(left.data()) + position,
                     const_cast<double*>(right.data()) + position};
    subject.Process(in, out, n);
    position = (position + n) % kNoiseFrames;
  };

  // Three seconds of audio: every glide of the first two situations is at rest.
  for (int done = 0; done < 3 * static_cast<int>(kRate); done += 4096) run(4096);

  constexpr long kToggleFrames = static_cast<long>(kRate / 10);
  long sinceToggle = 0;
  bool up = false;
  for (auto _ : state) {
    if (situation == kGliding && (sinceToggle += block) >= kToggleFrames) {
      sinceToggle = 0;
      up = !up;
      subject.Set(kLMHPF, up ? 2 : 0);
      subject.Set(kLMOutput, up ? 6.0 : -6.0);
    }
    run(block);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frame"] = benchmark::Counter(static_cast<double>(block),
                                               benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}

enum QuietInput { kNoise = 0, kDecayed = 1, kSubnormal = 2 };

void QuietBench(benchmark::State& state, const QuietInput input) {
  constexpr int kBlock = 512;
  ZAVROProbe plug(kRate);
  for (int i = 0; i < kParamCount; ++i) plug.SetNormalized(i, 0.7);

  const std::vector<double> left = BenchNoise(1), right = BenchNoise(2);
  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  double* in[2] = {inL.data(), inR.data()};
  double* out[2] = {outL.data(), outR.data()};
  std::mt19937 rng(3);
  long position = 0;
  auto fill = [&](QuietInput kind) {
    for (int j = 0; j < kBlock; ++j) {
      switch (kind) {
        case kNoise:
          inL[j] = left[static_cast<size_t>(position + j)];
          inR[j] = right[static_cast<size_t>(position + j)];
          break;
        case kDecayed: inL[j] = inR[j] = 0.0; break;
        case kSubnormal:
          inL[j] = (rng() & 1) ? 1e-39 : -1e-39;
          inR[j] = (rng() & 1) ? 1e-39 : -1e-39;
          break;
      }
    }
    position = (position + kBlock) % kNoiseFrames;
  };
  auto run = [&](QuietInput kind, double seconds) {
    for (long done = 0; done < static_cast<long>(seconds * kRate); done += kBlock) {
      fill(kind);
      plug.ProcessBlock(in, out, kBlock);
    }
  };

  // A second of noise, then ten seconds of the input measured: every glide and
  // every tail has settled into its steady state.
  run(kNoise, 1.0);
  run(input, 10.0);
  fill(input);
  for (auto _ : state) {
    if (input == kNoise) fill(kNoise);
    plug.ProcessBlock(in, out, kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frame"] = benchmark::Counter(
      kBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Quiet(benchmark::State& state) {
  const auto input = static_cast<QuietInput>(state.range(0));
  if (state.range(1) != 0) {
    IFlushToZeroScope flushToZero;
    QuietBench(state, input);
  } else {
    QuietBench(state, input);
  }
}

void Product(benchmark::State& state) { ProcessBench(state, false); }
void Reference(benchmark::State& state) { ProcessBench(state, true); }

void Cases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"block", "situation"});
  for (int situation : {kSettled, kShaped, kGliding}) {
    for (int block : {1, 64, 512, 4096}) b->Args({block, situation});
  }
}

}  // namespace

BENCHMARK(Reference)->Apply(Cases);
BENCHMARK(Product)->Apply(Cases);
BENCHMARK(Quiet)->ArgNames({"input", "flush"})->ArgsProduct({{kNoise, kDecayed, kSubnormal}, {1, 0}});
BENCHMARK_MAIN();
