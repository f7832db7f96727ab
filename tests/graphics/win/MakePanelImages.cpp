// Draws the test panel's images into PNG files in the given folder, for the
// build to embed in the test plug-in module.
#include <string>
#include <vector>

#include "tests/graphics/win/TestPanel.h"
#include "tests/lice/FileBytes.h"
#include "tests/lice/PngEncode.h"

namespace {

using namespace test_panel;

// An opaque image of equal frames stacked top to bottom, frame f (from 1) in colour(f).
template <typename Colour>
testing_lice::PngImage Strip(int width, int frameHeight, int frames, Colour colour) {
  testing_lice::PngImage image;
  image.width = width;
  image.height = frameHeight * frames;
  for (int y = 0; y < image.height; ++y) {
    const std::uint32_t rgb = colour(y / frameHeight + 1);
    for (int x = 0; x < width; ++x) {
      for (const int shift : {16, 8, 0}) image.samples.push_back(static_cast<std::uint16_t>((rgb >> shift) & 0xFF));
      image.samples.push_back(0xFF);
    }
  }
  return image;
}

bool Write(const std::string& path, const testing_lice::PngImage& image) {
  return testing_lice::WriteFileBytes(path, testing_lice::EncodePng(image));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = std::string(argv[1]) + "/";
  const bool ok =
      Write(folder + "background.png", Strip(kWidth, kHeight, 1, [](int) { return kBackgroundColour; })) &&
      Write(folder + "knob.png", Strip(kKnobSize, kKnobSize, kKnobFrames, KnobFrameColour)) &&
      Write(folder + "switch.png", Strip(kSwitchWidth, kSwitchHeight, 2, [](int f) {
              return f == 1 ? kSwitchOffColour : kSwitchOnColour;
            }));
  return ok ? 0 : 1;
}
