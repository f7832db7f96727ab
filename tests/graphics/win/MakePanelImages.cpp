// Draws the test panel's images into PNG files in the given folder, for the
// build to embed in the test plug-in module.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/graphics/win/TestPanel.h"
#include "tests/lice/PngEncode.h"

namespace {

using testing_lice::PngImage;
using namespace test_panel;

void Fill(PngImage& image, int top, int bottom, std::uint32_t colour) {
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::uint16_t* p = &image.samples[static_cast<size_t>((y * image.width + x) * 4)];
      p[0] = (colour >> 16) & 0xFF;
      p[1] = (colour >> 8) & 0xFF;
      p[2] = colour & 0xFF;
      p[3] = 0xFF;
    }
  }
}

PngImage Blank(int width, int height) {
  PngImage image;
  image.width = width;
  image.height = height;
  image.samples.assign(static_cast<size_t>(width * height * 4), 0);
  return image;
}

bool Write(const std::string& path, const PngImage& image) {
  const std::vector<unsigned char> bytes = testing_lice::EncodePng(image);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || bytes.empty()) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = std::string(argv[1]) + "/";

  PngImage background = Blank(kWidth, kHeight);
  Fill(background, 0, kHeight, kBackgroundColour);

  PngImage knob = Blank(kKnobSize, kKnobSize * kKnobFrames);
  for (int f = 1; f <= kKnobFrames; ++f) Fill(knob, (f - 1) * kKnobSize, f * kKnobSize, KnobFrameColour(f));

  PngImage toggle = Blank(kSwitchWidth, kSwitchHeight * 2);
  Fill(toggle, 0, kSwitchHeight, kSwitchOffColour);
  Fill(toggle, kSwitchHeight, 2 * kSwitchHeight, kSwitchOnColour);

  const bool ok = Write(folder + "background.png", background) && Write(folder + "knob.png", knob) &&
                  Write(folder + "switch.png", toggle);
  return ok ? 0 : 1;
}
