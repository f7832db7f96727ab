// The front panel's costs, on the committed strips:
//   DecodeStrips    the 27 PNG strips decoded, as the first editor of a
//                   process decodes them (later editors take them from the cache).
// The composed panel's painting is measured by bench/graphics/IGraphicsBench.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PNG.h"
#include "plugin/ZAVROLayout.h"
#include "tests/lice/FileBytes.h"

namespace {

std::vector<std::vector<unsigned char>> StripFiles() {
  std::vector<std::vector<unsigned char>> files;
  for (const ZAVROLayout::StripDef& strip : ZAVROLayout::kStrips)
    files.push_back(testing_lice::ReadFileBytes(std::string(ZAVRO_SOURCE_DIR) + "/" + strip.fileName));
  return files;
}

void DecodeStrips(benchmark::State& state) {
  const std::vector<std::vector<unsigned char>> files = StripFiles();
  for (auto _ : state) {
    for (const std::vector<unsigned char>& bytes : files) {
      std::unique_ptr<LICE_MemBitmap> image(DecodePngImage(bytes.data(), static_cast<int>(bytes.size())));
      if (!image) state.SkipWithError("a strip did not decode");
      benchmark::DoNotOptimize(image.get());
    }
  }
}
BENCHMARK(DecodeStrips)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
