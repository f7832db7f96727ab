// The product's audio path against the plain reference, bit for bit, over long
// seeded runs: random parameter changes between blocks (as a host makes them),
// random block sizes including 0 and 1, in-place and separate buffers, both
// modes, Link on and off, every switch position, sample-rate changes, and quiet
// stretches long enough for every glide to settle (where the product skips
// the most work). Between blocks the host also does what can leave a cache
// behind the settings: changes the rate of a settled run, changes settings
// for a block without frames and back, restores saved states, resets, sets
// R/S twins that Link takes back, and sends non-finite samples.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "framework/IFlushToZeroScope.h"
#include "tests/plugin/ZAVROProbe.h"
#include "tests/support/TestSignals.h"
#include "tests/support/ZAVROReference.h"

#ifndef ZAVRO_EXACTNESS_FRAMES
#define ZAVRO_EXACTNESS_FRAMES 4000000
#endif

namespace {

bool IsSwitch(int i) { return i >= kLink || i == kReserved10; }
bool IsGain(int i) {
  return i == kLMLowGain || i == kLMLowMidGain || i == kLMHighMidGain || i == kLMHighGain ||
         i == kRSHighGain || i == kRSLowGain || i == kRSLowMidGain || i == kRSHighMidGain ||
         i == kLMOutput || i == kRSOutput || i == kMasterOutput;
}

class ExactnessRun {
public:
  ExactnessRun(uint64_t seed, double sampleRate) : rng_(seed), plug_(sampleRate), fs_(sampleRate) {
    for (int i = 0; i < kParamCount; ++i) ReferenceFollow(ref_, plug_, i);
  }

  // Runs phases until about `frames` frames went through; stops at the first
  // difference.
  void Run(long frames) {
    while (processed_ < frames && !::testing::Test::HasFailure()) {
      if (Uniform(0, 4) == 0) ChangeSampleRate();
      if (Uniform(0, 3) == 0) HostEvent();
      if (Uniform(0, 2) == 0) Busy();
      else Quiet();
    }
  }

private:
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

  void ChangeSampleRate() {
    static const double kRates[] = {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
    fs_ = Uniform(0, 3) == 0 ? Real(44100.0, 192000.0) : kRates[Uniform(0, 5)];
    plug_.SetSampleRate(fs_);
    if (Uniform(0, 1) == 0) plug_.OnReset();
  }

  // Something a host does between blocks, other than a plain parameter change.
  void HostEvent() {
    switch (Uniform(0, 5)) {
      case 0: {  // a visit to another rate, then back
        const double before = fs_;
        ChangeSampleRate();
        for (int b = Uniform(0, 2); b > 0; --b) Block(Uniform(1, 64));
        fs_ = before;
        plug_.SetSampleRate(fs_);
        break;
      }
      case 1: Excursion(); break;
      case 2: RestoreState(); break;
      case 3: {  // an R/S twin set while Link may be on: Link takes it back
        static const int kTwins[] = {kRSOutput, kRSLowGain, kRSLowFreq, kRSLowMidGain, kRSLowMidFreq,
                                     kRSHighMidGain, kRSHighMidFreq, kRSHighGain, kRSHighFreq, kRSHPF,
                                     kRSBypass};
        const int i = kTwins[Uniform(0, 10)];
        Set(i, RandomValue(i));
        break;
      }
      case 4: Block(Uniform(1, 300), true); break;
      default: plug_.OnReset(); break;
    }
  }

  // Settings changed for a block without frames, then changed back: the
  // next block starts from the values of the last block with frames, while
  // the block in between chose targets and q of its own.
  void Excursion() {
    static const int kLikely[] = {kLMHPF, kRSHPF, kLink, kLMLowMidGain, kLMHighMidGain};
    std::vector<std::pair<int, double>> before;
    for (int c = Uniform(1, 3); c > 0; --c) {
      const int i = Uniform(0, 1) == 0 ? kLikely[Uniform(0, 4)] : Uniform(0, kParamCount - 1);
      before.emplace_back(i, plug_.GetParam(i)->Value());
      Set(i, RandomValue(i));
    }
    Block(0);
    for (auto it = before.rbegin(); it != before.rend(); ++it) Set(it->first, it->second);
  }

  // A state saved earlier (or just now) loaded again, as a host does on undo
  // or when it reopens a project.
  void RestoreState() {
    if (saved_.Size() == 0 || Uniform(0, 2) == 0) {
      saved_.Clear();
      plug_.SaveState(saved_);
    }
    plug_.LoadState(saved_, 0);
    for (int i = 0; i < kParamCount; ++i) ReferenceFollow(ref_, plug_, i);
  }

  // Many short blocks with frequent changes.
  void Busy() {
    const int blocks = Uniform(20, 200);
    for (int b = 0; b < blocks && !::testing::Test::HasFailure(); ++b) {
      const int changes = Uniform(0, 3) == 0 ? Uniform(1, 6) : 0;
      for (int c = 0; c < changes; ++c) ChangeParameter();
      if (Uniform(0, 30) == 0) HostEvent();
      const int size = Uniform(0, 5) == 0 ? Uniform(0, 1) : Uniform(2, 300);
      Block(size);
    }
  }

  // A few changes, then a second or more of audio without any, in larger blocks.
  void Quiet() {
    const int changes = Uniform(0, 8);
    for (int c = 0; c < changes; ++c) ChangeParameter();
    const long frames = static_cast<long>(fs_ * Real(0.5, 1.5));
    long done = 0;
    while (done < frames && !::testing::Test::HasFailure()) {
      if (Uniform(0, 150) == 0) HostEvent();
      const int size = Uniform(0, 9) == 0 ? Uniform(0, 1) : Uniform(32, 4096);
      Block(size);
      done += size;
    }
  }

  double RandomValue(int i) {
    const IParamDef* p = plug_.GetParam(i);
    if (IsSwitch(i)) {
      // Mostly whole positions; sometimes a value between the steps, which a
      // host can set through text or restored state.
      return Uniform(0, 5) == 0 ? Real(p->Min(), p->Max()) : Uniform(static_cast<int>(p->Min()),
                                                                         static_cast<int>(p->Max()));
    }
    switch (Uniform(0, 7)) {
      case 0: return p->Min();
      case 1: return p->Max();
      case 2: return IsGain(i) ? 0.0 : p->Default();
      case 3: return IsGain(i) ? 0.0001 : p->Min();  // the bell q keeps its value at exactly 0.0001
      default: return Real(p->Min(), p->Max());
    }
  }

  void ChangeParameter() {
    const int i = Uniform(0, kParamCount - 1);
    if (Uniform(0, 3) == 0) plug_.SetNormalized(i, Real(0.0, 1.0));
    else plug_.SetPlain(i, RandomValue(i));
    ReferenceFollow(ref_, plug_, i);
  }

  void Set(int i, double plain) {
    plug_.SetPlain(i, plain);
    ReferenceFollow(ref_, plug_, i);
  }

  void FillInput(std::vector<double>& x) {
    const int kind = Uniform(0, 6);
    const double level = std::vector<double>{1e-6, 0.01, 0.3, 1.0, 2.5}[Uniform(0, 4)];
    const double w = Real(1e-4, 2.5);
    const int hold = Uniform(1, 40);
    double held = 0.0;
    for (size_t n = 0; n < x.size(); ++n) {
      switch (kind) {
        case 0: x[n] = Real(-level, level); break;
        case 1: x[n] = level * std::sin(w * static_cast<double>(phase_++)); break;
        case 2: x[n] = 0.0; break;
        case 3: x[n] = level; break;
        case 4: x[n] = Uniform(0, 50) == 0 ? Real(-level, level) : 0.0; break;
        default:  // repeated samples
          if (n % static_cast<size_t>(hold) == 0) held = Real(-level, level);
          x[n] = held;
          break;
      }
    }
  }

  // poisoned: one sample is a NaN or an infinity, overflows the conditioner,
  // or overflows single precision further down the chain.
  void Block(int size, bool poisoned = false) {
    std::vector<double> inL(static_cast<size_t>(size)), inR(static_cast<size_t>(size));
    FillInput(inL);
    FillInput(inR);
    if (poisoned && size > 0) {
      static const double kBad[] = {std::numeric_limits<double>::quiet_NaN(),
                                    -std::numeric_limits<double>::infinity(), 1e300, -1e21, 1.2e21};
      (Uniform(0, 1) == 0 ? inL : inR)[static_cast<size_t>(Uniform(0, size - 1))] = kBad[Uniform(0, 4)];
    }
    std::vector<double> refL(inL.size()), refR(inR.size());
    double* refIn[2] = {inL.data(), inR.data()};
    double* refOut[2] = {refL.data(), refR.data()};
    ReferenceProcessBlock(ref_, fs_, refIn, refOut, size);

    std::vector<double> outL, outR;
    if (Uniform(0, 1) == 0) {
      plug_.Process(inL, inR, outL, outR);
    } else {  // in place
      outL = inL;
      outR = inR;
      double* io[2] = {outL.data(), outR.data()};
      plug_.ProcessBlock(io, io, size);
    }
    processed_ += size;
    ++blocks_;
    if (poisoned) {
      ComparePoisoned(refL, outL, size);
      ComparePoisoned(refR, outR, size);
      return;
    }
    Compare(refL, outL, "left", size);
    Compare(refR, outR, "right", size);
    for (int i = 0; i < kParamCount; ++i) {
      ASSERT_EQ(Bits(ref_.value[i]), Bits(plug_.GetParam(i)->Value()))
          << "parameter " << i << " after block " << blocks_;
    }
    ASSERT_EQ(Bits(ref_.rsLowGain), Bits(plug_.Copy(kRSLowGain)));
    ASSERT_EQ(Bits(ref_.rsHighMidFreq), Bits(plug_.Copy(kRSHighMidFreq)));
    ASSERT_EQ(Bits(ref_.rsOutputDb), Bits(plug_.Copy(kRSOutput)));
    ASSERT_EQ(Bits(ref_.rsHpfPosition), Bits(plug_.Copy(kRSHPF)));
  }

  // A NaN's sign is not heard and may differ: NaN in the same frames, the
  // same bits everywhere else. The blocks after must agree bit for bit again.
  void ComparePoisoned(const std::vector<double>& expected, const std::vector<double>& actual, int size) {
    for (int n = 0; n < size; ++n) {
      const bool nan = std::isnan(expected[n]);
      ASSERT_EQ(nan, std::isnan(actual[n])) << "frame " << n << " of block " << blocks_;
      if (!nan) {
        ASSERT_EQ(Bits(expected[n]), Bits(actual[n])) << "frame " << n << " of block " << blocks_;
      }
    }
  }

  void Compare(const std::vector<double>& expected, const std::vector<double>& actual,
               const char* channel, int size) {
    for (int n = 0; n < size; ++n) {
      if (Bits(expected[n]) != Bits(actual[n])) {
        ADD_FAILURE() << channel << " frame " << n << " of block " << blocks_ << " (size " << size
                      << ", fs " << fs_ << ", after " << processed_ << " frames): reference "
                      << expected[n] << ", product " << actual[n];
        return;
      }
    }
  }

  std::mt19937_64 rng_;
  IStateBuffer saved_;
  ZAVROProbe plug_;
  ZAVROReference ref_;
  double fs_;
  long processed_ = 0;
  long blocks_ = 0;
  long phase_ = 0;
};

class ZAVROExactness : public ::testing::TestWithParam<double> {};

TEST_P(ZAVROExactness, ProductMatchesReferenceBitForBit) {
  // The product runs in the mode every host call sets up.
  IFlushToZeroScope flushToZero;
  const double fs = GetParam();
  ExactnessRun run(0x5eed0000u + static_cast<uint64_t>(fs), fs);
  run.Run(ZAVRO_EXACTNESS_FRAMES / 4);
}

INSTANTIATE_TEST_SUITE_P(SampleRates, ZAVROExactness,
                         ::testing::Values(44100.0, 48000.0, 96000.0, 192000.0),
                         [](const auto& rate) { return std::to_string(static_cast<int>(rate.param)); });

}  // namespace
