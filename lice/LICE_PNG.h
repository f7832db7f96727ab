#pragma once
// PNG decoding into memory bitmaps, and the file-name test the resource loader
// uses to pick the format.

class LICE_MemBitmap;

// Decodes one complete PNG file held in memory into a new bitmap (rows padded
// to 4 pixels) that the caller owns; null on any failure, with nothing left
// allocated. Any thread: calls share nothing.
LICE_MemBitmap* DecodePngImage(const void* data, int length);

// The text after the last "." of the name; a name without one gives everything
// after its first character (the search stops there). Never null for a
// non-null name.
const char* ImageNameExtension(const char* fileName);

// Whether the name selects the PNG decoder (extension "png" in any letter case).
bool IsPngImageName(const char* fileName);
