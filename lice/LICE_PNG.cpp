#include "lice/LICE_PNG.h"

#include <png.h>

#include <cstring>
#include <new>

#include "lice/LICE_MemBitmap.h"

namespace {

const unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

struct MemoryReader {
  const unsigned char* next;
  size_t left;
};

// Past the end the stream reads as zeros, so a truncated file fails on its
// checksums or chunk structure rather than here.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
  MemoryReader* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  std::memset(out, 0, n);
  const size_t taken = n < reader->left ? n : reader->left;
  if (taken) std::memcpy(out, reader->next, taken);
  reader->next += taken;
  reader->left -= taken;
}

// Every image arrives as 8-bit samples in the order alpha, red, green, blue.
void RequestArgb(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

// Bytes a, r, g, b become the pixel word (bytes b, g, r, a in memory).
void ToPixelWords(LICE_MemBitmap& bm) {
  for (int y = 0; y < bm.Height(); ++y) {
    LICE_pixel* row = bm.PixelData() + static_cast<size_t>(y) * bm.RowSpan();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(row);
    for (int x = 0; x < bm.Width(); ++x, bytes += 4) {
      row[x] = static_cast<LICE_pixel>(bytes[0]) << 24 | static_cast<LICE_pixel>(bytes[1]) << 16 |
               static_cast<LICE_pixel>(bytes[2]) << 8 | bytes[3];
    }
  }
}

}  // namespace

LICE_MemBitmap* DecodePngImage(const void* data, int length) {
  if (!data || length < 8 || std::memcmp(data, kSignature, sizeof kSignature) != 0) return nullptr;

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  // libpng reports errors by jumping back here: nothing between this point and
  // the end may rely on destructors, and what the jump must release is volatile.
  LICE_MemBitmap* volatile bitmap = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete[] rows;
    delete bitmap;
    return nullptr;
  }

  MemoryReader reader{static_cast<const unsigned char*>(data), static_cast<size_t>(length)};
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  RequestArgb(png, info);

  bitmap = new (std::nothrow) LICE_MemBitmap(0, 0, 3);
  if (bitmap && width > 0 && height > 0 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF)
    bitmap->Resize(static_cast<int>(width), static_cast<int>(height));
  if (!bitmap || static_cast<png_uint_32>(bitmap->Width()) != width ||
      static_cast<png_uint_32>(bitmap->Height()) != height || width == 0 || height == 0) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete bitmap;
    return nullptr;
  }

  rows = new (std::nothrow) png_bytep[height];
  if (!rows) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete bitmap;
    return nullptr;
  }
  for (png_uint_32 i = 0; i < height; ++i)
    rows[i] = reinterpret_cast<png_bytep>(bitmap->PixelData() + static_cast<size_t>(i) * bitmap->RowSpan());
  // The chunks after the image data are never read: a file without them decodes.
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);

  LICE_MemBitmap* result = bitmap;
  ToPixelWords(*result);
  delete[] rows;
  return result;
}

const char* ImageNameExtension(const char* fileName) {
  const size_t n = std::strlen(fileName);
  if (n == 0) return fileName;
  const char* p = fileName + n - 1;
  while (p > fileName && *p != '.') --p;
  return p + 1;
}

bool IsPngImageName(const char* fileName) {
  if (!fileName) return false;
  const char* ext = ImageNameExtension(fileName);
  return std::strlen(ext) == 3 && (ext[0] | 0x20) == 'p' && (ext[1] | 0x20) == 'n' && (ext[2] | 0x20) == 'g';
}
