// The editor's redraw cycle on the headless back end, with a panel of the
// product's shape: a 1002 x 476 background, five switches, nineteen knobs of
// 101 frames, two three-position selectors and nineteen captions (46 controls),
// over generated images.
//   FullRepaint   the whole panel painted and presented;
//   OneKnobMoved  a timer tick after one knob changed: its rectangle repainted;
//   IdleTick      a timer tick with nothing dirty.
// "allocs" counts heap allocations per iteration. Natively there are no system
// fonts, so captions cost their text and font look-up but draw no glyphs.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "plugin/ZAVRO.h"

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

enum Kind { kSwitch, kKnob, kSelector };
struct Placed {
  Kind kind;
  int x, y, w, h, frames, param;
};

// Frame sizes and places of the product's panel.
const Placed kImageControls[] = {
    {kSwitch, 890, 249, 52, 26, 2, 20},   {kSwitch, 888, 206, 56, 24, 2, 21},
    {kSwitch, 889, 336, 53, 24, 2, 22},   {kSwitch, 888, 379, 54, 25, 2, 23},
    {kSwitch, 890, 293, 51, 24, 2, 24},   {kKnob, 81, 54, 59, 59, 101, 0},
    {kKnob, 164, 135, 60, 59, 101, 1},    {kKnob, 81, 259, 58, 59, 101, 11},
    {kKnob, 166, 341, 57, 58, 101, 12},   {kKnob, 249, 54, 59, 59, 101, 2},
    {kKnob, 333, 135, 60, 59, 101, 3},    {kKnob, 417, 54, 58, 58, 101, 4},
    {kKnob, 501, 136, 58, 58, 101, 5},    {kKnob, 584, 55, 58, 57, 101, 6},
    {kKnob, 668, 135, 58, 58, 101, 7},    {kKnob, 584, 259, 58, 58, 101, 8},
    {kKnob, 668, 340, 59, 59, 101, 9},    {kKnob, 249, 259, 59, 59, 101, 13},
    {kKnob, 334, 340, 59, 59, 101, 14},   {kKnob, 416, 259, 59, 58, 101, 15},
    {kKnob, 502, 341, 57, 58, 101, 16},   {kKnob, 751, 54, 58, 59, 101, 17},
    {kKnob, 751, 260, 58, 58, 101, 18},   {kKnob, 886, 55, 59, 57, 101, 19},
    {kSelector, 765, 175, 60, 27, 3, 25}, {kSelector, 765, 380, 59, 27, 3, 26},
};
const int kCaptions[][3] = {{85, 35, 0},    {169, 116, 1},  {85, 240, 11},  {169, 321, 12}, {253, 35, 2},
                            {338, 116, 3},  {253, 240, 13}, {338, 321, 14}, {420, 35, 4},   {504, 116, 5},
                            {420, 240, 15}, {504, 321, 16}, {588, 35, 6},   {672, 116, 7},  {588, 240, 8},
                            {672, 321, 9},  {755, 35, 17},  {755, 240, 18}, {890, 35, 19}};

struct Panel {
  ZAVRO plug{IPlugInstanceInfo{}};
  IGraphicsHeadless* editor = new IGraphicsHeadless(&plug, 1002, 476, 25);
  std::vector<std::unique_ptr<LICE_MemBitmap>> images;
  IControl* firstKnob = nullptr;

  Panel() {
    std::mt19937 rng(3);
    editor->InsertBackground(Strip(1002, 476, 1, rng, true));
    for (const Placed& p : kImageControls) {
      const IImageStrip strip = Strip(p.w, p.h, p.frames, rng, false);
      IControl* c =
          p.kind == kSwitch ? static_cast<IControl*>(new ISwitchControl(&plug, p.x, p.y, p.param, strip))
          : p.kind == kKnob ? new IKnobMultiControl(&plug, p.x, p.y, p.param, strip)
                            : new IKnobMultiControl(&plug, p.x, p.y, p.param, strip, kKnobHorizontal, 1.0);
      editor->AddControl(c);
      if (p.kind == kKnob && !firstKnob) firstKnob = c;
    }
    ITextStyle style;
    CopyText(style.face, "Futura", kFaceNameSize);
    style.size = 13;
    style.colour = {255, 201, 186, 185};
    for (const auto& c : kCaptions) {
      auto* caption = new ICaptionControl(&plug, {c[0], c[1], c[0] + 53, c[1] + 21}, c[2], style, true);
      editor->AddControl(caption);
    }
    plug.AttachEditor(editor);
    editor->Tick();
  }

  // Frames stacked top to bottom; knob and switch pixels of every alpha.
  IImageStrip Strip(int w, int h, int frames, std::mt19937& rng, bool opaque) {
    auto image = std::make_unique<LICE_MemBitmap>(w, h * frames);
    LICE_pixel* px = image->PixelData();
    for (int i = 0; i < w * h * frames; ++i)
      px[i] = static_cast<LICE_pixel>(rng()) | (opaque ? 0xFF000000u : 0u);
    IImageStrip s;
    s.image = image.get();
    s.width = w;
    s.height = h * frames;
    s.frames = frames;
    images.push_back(std::move(image));
    return s;
  }
};

void CountAllocations(benchmark::State& state, long long before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(gAllocations.load() - before),
                                                benchmark::Counter::kAvgIterations);
}

void FullRepaint(benchmark::State& state) {
  Panel panel;
  const long long before = gAllocations.load();
  for (auto _ : state) {
    panel.editor->PaintRegion({0, 0, 1002, 476});
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
