// The front panel's costs, on the committed strips:
//   DecodeStrips    the 27 PNG strips decoded, as the first editor of a
//                   process decodes them (later editors take them from the cache);
//   FullPanelPaint  every control of the composed panel painted into the back
//                   buffer, as the first timer tick after the window opens does.
// Natively there are no system fonts: captions cost their text and font look-up
// but draw no glyphs.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVRO.h"
#include "plugin/ZAVROLayout.h"

namespace {

std::vector<std::vector<char>> StripFiles() {
  std::vector<std::vector<char>> files;
  for (const ZAVROLayout::StripDef& strip : ZAVROLayout::kStrips) {
    std::ifstream file(std::string(ZAVRO_SOURCE_DIR) + "/" + strip.fileName, std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return files;
}

void DecodeStrips(benchmark::State& state) {
  const std::vector<std::vector<char>> files = StripFiles();
  for (auto _ : state) {
    for (const std::vector<char>& bytes : files) {
      std::unique_ptr<LICE_MemBitmap> image(DecodePngImage(bytes.data(), static_cast<int>(bytes.size())));
      if (!image) state.SkipWithError("a strip did not decode");
      benchmark::DoNotOptimize(image.get());
    }
  }
}
BENCHMARK(DecodeStrips)->Unit(benchmark::kMillisecond);

void FullPanelPaint(benchmark::State& state) {
  ZAVRO plug{IPlugInstanceInfo{true}};
  IGraphics* editor = plug.Editor();
  const IBounds all{0, 0, editor->Width(), editor->Height()};
  for (auto _ : state) editor->PaintRegion(all);
}
BENCHMARK(FullPanelPaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
