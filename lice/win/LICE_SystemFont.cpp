#include "lice/LICE_SystemFont.h"

#include <windows.h>

LICE_HFONT LICE_CreateSystemFont(const LICE_FontRequest& request) {
  static const DWORD kQualities[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                     CLEARTYPE_QUALITY};
  const DWORD quality =
      request.quality >= 0 && request.quality < 4 ? kQualities[request.quality] : DEFAULT_QUALITY;
  // GDI angles are tenths of a degree; whole turns are dropped first.
  const int tenths = request.angle % 360 * 10;
  return CreateFontA(request.height, 0, tenths, tenths, request.bold ? FW_BOLD : FW_NORMAL,
                     request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, request.face ? request.face : "");
}
