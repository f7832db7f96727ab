#pragma once
// Making the system fonts a LICE_CachedFont draws with. Windows only.

#include "lice/LICE_IFont.h"

struct LICE_FontRequest {
  int height = 0;  // character height in pixels
  int angle = 0;   // degrees, counter-clockwise
  bool bold = false;
  bool italic = false;
  int quality = 0;  // 0 default, 1 not antialiased, 2 antialiased, 3 ClearType
  const char* face = "";
};

// A GDI font for the request, or null when the system cannot make one. The
// caller owns it (hand it to a font with kLiceFontOwnsSystemFont).
LICE_HFONT LICE_CreateSystemFont(const LICE_FontRequest& request);
