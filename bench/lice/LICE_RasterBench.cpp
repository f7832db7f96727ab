// Throughput of the raster operations the editor leans on, and the time to
// decode a panel-sized PNG. Run: build/linux/bench/lice/LICE_RasterBench
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "lice/LICE_Raster.h"
#include "lice/LICE_SysBitmap.h"
#include "tests/lice/PngEncode.h"

namespace {

constexpr int kPanelWidth = 1002;
constexpr int kPanelHeight = 476;

void RandomPixels(LICE_IBitmap& bm, unsigned seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x) bm.PixelData()[static_cast<size_t>(y) * bm.RowSpan() + x] = rng();
}

void ReportMegapixels(benchmark::State& state, long long pixelsPerIteration) {
  state.counters["MP/s"] = benchmark::Counter(static_cast<double>(pixelsPerIteration) * state.iterations() / 1e6,
                                              benchmark::Counter::kIsRate);
}

// A panel-sized image onto the back buffer, as the editor paints a full frame.
void BlitPanel(benchmark::State& state, int mode, float alpha) {
  LICE_SysBitmap dst(kPanelWidth, kPanelHeight);
  LICE_MemBitmap src(kPanelWidth, kPanelHeight, 3);
  RandomPixels(dst, 1);
  RandomPixels(src, 2);
  for (auto _ : state) {
    BlitBitmap(&dst, &src, 0, 0, nullptr, alpha, mode);
    benchmark::ClobberMemory();
  }
  ReportMegapixels(state, static_cast<long long>(kPanelWidth) * kPanelHeight);
}

void BM_BlitSourceAlpha(benchmark::State& state) { BlitPanel(state, kLiceUseSourceAlpha, 1.0f); }
void BM_BlitCopy(benchmark::State& state) { BlitPanel(state, kLiceCopy, 1.0f); }
void BM_BlitCopyWeighted(benchmark::State& state) { BlitPanel(state, kLiceCopy, 0.3f); }

void FillPanel(benchmark::State& state, float alpha) {
  LICE_SysBitmap bm(kPanelWidth, kPanelHeight);
  RandomPixels(bm, 3);
  for (auto _ : state) {
    FillArea(&bm, 0, 0, kPanelWidth, kPanelHeight, 0x80336699, alpha, kLiceCopy);
    benchmark::ClobberMemory();
  }
  ReportMegapixels(state, static_cast<long long>(kPanelWidth) * kPanelHeight);
}

void BM_FillOpaque(benchmark::State& state) { FillPanel(state, 1.0f); }
void BM_FillHalf(benchmark::State& state) { FillPanel(state, 0.5f); }
void BM_FillWeighted(benchmark::State& state) { FillPanel(state, 0.3f); }

// Smooth gradients with a little noise compress about as well as panel art.
std::vector<unsigned char> PanelPng() {
  testing_lice::PngImage s;
  s.width = kPanelWidth;
  s.height = kPanelHeight;
  std::mt19937 rng(4);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      const int noise = static_cast<int>(rng() % 8);
      s.samples.push_back(static_cast<std::uint16_t>((x / 4 + noise) & 0xFF));
      s.samples.push_back(static_cast<std::uint16_t>((y / 2 + noise) & 0xFF));
      s.samples.push_back(static_cast<std::uint16_t>(((x + y) / 8) & 0xFF));
      s.samples.push_back(static_cast<std::uint16_t>(x < 500 ? 255 : (x + noise) & 0xFF));
    }
  return testing_lice::EncodePng(s);
}

void BM_DecodePanelPng(benchmark::State& state) {
  const std::vector<unsigned char> file = PanelPng();
  for (auto _ : state) {
    std::unique_ptr<LICE_MemBitmap> bm(DecodePngImage(file.data(), static_cast<int>(file.size())));
    if (!bm) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(bm.get());
  }
  state.counters["file bytes"] = static_cast<double>(file.size());
}

}  // namespace

BENCHMARK(BM_BlitSourceAlpha)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlitCopyWeighted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillOpaque)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillHalf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillWeighted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodePanelPng)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
