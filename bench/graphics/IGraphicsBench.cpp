// The editor's redraw cycle on the headless back end, over the product's
// composed panel (its committed strips and 46 controls, 1002 x 476):
//   FullRepaint   the whole panel painted and presented;
//   OneKnobMoved  a timer tick after one knob changed: its rectangle repainted;
//   IdleTick      a timer tick with nothing dirty.
// "allocs" counts heap allocations per iteration. Natively there are no system
// fonts, so captions cost their text and font look-up but draw no glyphs.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "graphics/IGraphicsHeadless.h"
#include "plugin/ZAVRO.h"
#include "plugin/ZAVROLayout.h"

namespace {

std::atomic<long long> gAllocations{0};

}  // namespace

// Counting replacements of the global allocation functions. They pair malloc
// with free; GCC 12 takes the pairs built on them for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct Panel {
  ZAVRO plug{IPlugInstanceInfo{true}};
  IGraphicsHeadless* editor = static_cast<IGraphicsHeadless*>(plug.Editor());
  // "L/M Low Gain", the first knob after the background and the switches.
  IControl* firstKnob = editor->GetControl(6);

  Panel() { editor->Tick(); }
};

void CountAllocations(benchmark::State& state, long long before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(gAllocations.load() - before),
                                                benchmark::Counter::kAvgIterations);
}

void FullRepaint(benchmark::State& state) {
  Panel panel;
  const long long before = gAllocations.load();
  for (auto _ : state) {
    panel.editor->PaintRegion({0, 0, ZAVROLayout::kEditorWidth, ZAVROLayout::kEditorHeight});
    panel.editor->presented.clear();
  }
  CountAllocations(state, before);
}

void OneKnobMoved(benchmark::State& state) {
  Panel panel;
  double v = 0.0;
  const long long before = gAllocations.load();
  for (auto _ : state) {
    v = v > 0.9 ? 0.0 : v + 0.01;
    panel.firstKnob->SetValue(v);
    panel.firstKnob->MarkDirty(false);
    benchmark::DoNotOptimize(panel.editor->Tick());
    panel.editor->presented.clear();
  }
  CountAllocations(state, before);
}

void IdleTick(benchmark::State& state) {
  Panel panel;
  const long long before = gAllocations.load();
  for (auto _ : state) benchmark::DoNotOptimize(panel.editor->Tick());
  CountAllocations(state, before);
}

BENCHMARK(FullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(OneKnobMoved)->Unit(benchmark::kMicrosecond);
BENCHMARK(IdleTick)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
