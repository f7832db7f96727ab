#pragma once
// The module-wide caches of decoded images and fonts, shared by every editor of
// every plug-in instance in the module. Each has its own lock, held only while
// searching or appending; images and fonts are made outside it. Both only grow
// while the module is loaded and free everything when it is unloaded.

#include <memory>

#include "graphics/IGraphicsStructs.h"

class LICE_IFont;

class BitmapCache {
public:
  // Any thread: the image stored for the resource id, or null.
  static LICE_IBitmap* Find(int id);
  // Any thread: stores the image for id and answers the one kept. Should
  // another editor have stored one meanwhile, that one is kept and image freed.
  static LICE_IBitmap* Add(int id, std::unique_ptr<LICE_IBitmap> image);
  static int Count();
};

class FontCache {
public:
  // Any thread: the font for the style's size, orientation, style and face
  // (quality does not tell fonts apart), made on first use; null when the
  // system cannot make it. Without GDI there are no fonts.
  static LICE_IFont* FindOrCreate(const ITextStyle& style);
  static int Count();
};
