#pragma once
// What the cached font's parts (glyph cache, layout, composition) share inside
// the module. Windows only; user-interface thread only.

#include <algorithm>

#include "lice/LICE_IBitmap.h"

class LICE_SysBitmap;

namespace lice {

// Glyph margins: room for overhangs left and right of the measured cell.
inline int MarginFor(int lineHeight) { return lineHeight < 16 ? 2 : lineHeight / 16 + 2; }

inline bool IntersectRects(const LICE_Rect& a, const LICE_Rect& b, LICE_Rect& out) {
  out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out.left < out.right && out.top < out.bottom;
}

// The module's scratch surfaces, grown to at least the size asked for. They
// live while any font does (see LICE_CachedFont::LiveFontCount).
LICE_SysBitmap& GlyphScratch(int size);
LICE_SysBitmap& TextScratch(int w, int h);

}  // namespace lice
