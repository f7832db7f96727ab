#pragma once
// Writes PNG files into memory with libpng's writer, so tests and benchmarks
// can make images of any colour type and bit depth.

#include <png.h>

#include <cstdint>
#include <vector>

namespace testing_lice {

struct PngImage {
  int width = 1;
  int height = 1;
  int colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;  // tRNS of a palette image
  bool hasTransparentColour = false;   // tRNS of a grey or RGB image
  png_color_16 transparentColour{};
  bool writeEnd = true;
  // One entry per sample, row by row, up to 16 bits each.
  std::vector<std::uint16_t> samples;
};

inline int SamplesPerPixel(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // palette index
  }
}

inline void AppendToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

inline void NoFlush(png_structp) {}

// Empty on failure.
inline std::vector<unsigned char> EncodePng(const PngImage& image) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return out;
  }
  const int spp = SamplesPerPixel(image.colourType);
  const int bytesPerSample = image.bitDepth == 16 ? 2 : 1;
  std::vector<std::vector<png_byte>> rows(static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    std::vector<png_byte>& row = rows[static_cast<size_t>(y)];
    for (int i = 0; i < image.width * spp; ++i) {
      const std::uint16_t v = image.samples[static_cast<size_t>(y * image.width * spp + i)];
      if (bytesPerSample == 2) row.push_back(static_cast<png_byte>(v >> 8));
      row.push_back(static_cast<png_byte>(v & 0xFF));
    }
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendToVector, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
               image.bitDepth, image.colourType, image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!image.palette.empty())
    png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
  if (!image.paletteAlpha.empty())
    png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()), nullptr);
  if (image.hasTransparentColour) png_set_tRNS(png, info, nullptr, 0, &image.transparentColour);
  png_write_info(png, info);
  if (image.bitDepth < 8) png_set_packing(png);  // rows hold one sample per byte
  png_write_image(png, pointers.data());
  if (image.writeEnd) png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace testing_lice
