#pragma once
// Text drawing and measuring on any LICE_IBitmap with a system font.
// User-interface thread only.

#include "lice/LICE_IBitmap.h"

// GDI's font handle type, declared as <windows.h> declares it.
struct HFONT__;
using LICE_HFONT = HFONT__*;

// Font flags (AttachSystemFont).
enum : int {
  kLiceFontVertical = 0x1,        // maps turned a quarter; pen moves down
  kLiceFontBottomUp = 0x2,        // with kLiceFontVertical: pen moves up
  kLiceFontFixedSet = 0x4,        // render 0..127 at once and never add others
  kLiceFontBlur = 0x10,
  kLiceFontInvert = 0x20,         // coverage 255 - value
  kLiceFontMonochrome = 0x40,     // coverage above 130 is ink, the rest none
  kLiceFontShadow = 0x80,
  kLiceFontOutline = 0x100,
  kLiceFontOwnsSystemFont = 0x200,
  kLiceFontPreferNative = 0x400,
};

// Text format flags (RenderText); the GDI values where GDI has them.
enum : unsigned int {
  kLiceTextCentre = 0x1,
  kLiceTextRight = 0x2,
  kLiceTextVCentre = 0x4,
  kLiceTextBottom = 0x8,
  kLiceTextSingleLine = 0x20,
  kLiceTextNoClip = 0x100,
  kLiceTextCalcRect = 0x400,
  kLiceTextUseColourAlpha = 0x40000000,  // weight the text by its colour's alpha
  kLiceTextNeverNative = 0x80000000,
};

// Background modes (the GDI values).
enum : int { kLiceBackgroundTransparent = 1, kLiceBackgroundOpaque = 2 };

class LICE_IFont {
public:
  virtual ~LICE_IFont() = default;

  virtual void AttachSystemFont(LICE_HFONT font, int flags) = 0;
  // Each setter answers the previous value.
  virtual LICE_pixel SetTextColour(LICE_pixel colour) = 0;
  virtual LICE_pixel SetBackgroundColour(LICE_pixel colour) = 0;
  virtual LICE_pixel SetEffectColour(LICE_pixel colour) = 0;
  virtual int SetBackgroundMode(int mode) = 0;
  virtual void SetCombine(int mode, float alpha) = 0;
  // Draws (or with kLiceTextCalcRect measures into rect) len bytes of UTF-8
  // text, or up to the terminator when len is negative. Answers the text
  // height (width for vertical fonts), 0 when nothing was drawn.
  virtual int RenderText(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format) = 0;
  virtual LICE_pixel TextColour() const = 0;
  virtual LICE_HFONT SystemFont() const = 0;
  virtual int LineHeight() const = 0;
};
