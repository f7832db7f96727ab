#pragma once
// A font that draws either through GDI (native way) or from coverage maps it
// renders once per character and composes itself (cached way). Windows only.
// User-interface thread only; fonts and the module-wide scratch bitmaps take
// no lock.

#include <vector>

#include "lice/LICE_IFont.h"

class LICE_SysBitmap;

// One character's coverage map inside the font's glyph pixels.
struct LICE_GlyphRecord {
  int pixelOffset;  // 1-based start in the glyph pixels; 0 not rendered; -1 no pixels
  int width;
  int height;
  int advance;      // pixels to the next character
  int code;         // sort key of the extra glyphs
  int leftBearing;  // pixels the map starts left of the pen
};

class LICE_CachedFont : public LICE_IFont {
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void AttachSystemFont(LICE_HFONT font, int flags) override;
  LICE_pixel SetTextColour(LICE_pixel colour) override;
  LICE_pixel SetBackgroundColour(LICE_pixel colour) override;
  LICE_pixel SetEffectColour(LICE_pixel colour) override;
  int SetBackgroundMode(int mode) override;
  void SetCombine(int mode, float alpha) override;
  int RenderText(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format) override;
  LICE_pixel TextColour() const override { return textColour_; }
  LICE_HFONT SystemFont() const override { return systemFont_; }
  int LineHeight() const override { return lineHeight_; }
  // Composes one rendered character with its pen at (x, y) inside clip; false
  // when it has no map or lies outside the clip.
  virtual bool DrawGlyph(LICE_IBitmap* dst, int c, int x, int y, const LICE_Rect* clip);

  // The character's record, rendering it first if needed; null when it cannot be made.
  const LICE_GlyphRecord* Glyph(int c);
  void SetLineSpacingAdjust(int pixels) { lineSpacingAdjust_ = pixels; }

  // Fonts alive in the module; the scratch bitmaps live while it is above 0.
  static int LiveFontCount();

private:
  LICE_GlyphRecord* FindGlyph(int c);
  LICE_GlyphRecord* RenderGlyph(int c);
  void TrimAndStore(LICE_GlyphRecord& g, int w, int fullWidth, int h, int margin);
  void Rotate(LICE_GlyphRecord& g);
  void ApplyEffects(const LICE_GlyphRecord& g);
  bool UseNativeWay(LICE_IBitmap* dst, unsigned int format, bool neverNative) const;
  int RenderNative(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format);
  int DrawNative(LICE_HDC dc, const char* text, int len, LICE_Rect* rect, unsigned int format);
  int RenderCached(LICE_IBitmap* dst, const char* text, int len, LICE_Rect* rect, unsigned int format,
                   bool neverNative);
  int Measure(const char* text, int len, LICE_Rect* rect, unsigned int format);
  bool Vertical() const { return (flags_ & kLiceFontVertical) != 0; }

  LICE_pixel textColour_ = 0;
  LICE_pixel backgroundColour_ = 0xFFFFFFFF;
  LICE_pixel effectColour_ = 0xFFFFFFFF;
  int backgroundMode_ = kLiceBackgroundTransparent;
  int combineMode_ = 0;
  float combineAlpha_ = 1.0f;
  int flags_ = 0;
  int lineHeight_ = 0;
  int lineSpacingAdjust_ = 0;
  LICE_GlyphRecord table_[128] = {};
  std::vector<LICE_GlyphRecord> extraGlyphs_;
  std::vector<unsigned char> glyphPixels_;
  LICE_HFONT systemFont_ = nullptr;
};

// Test seam: answer for the one-time Wine test (0 no, 1 yes; -1 tests the
// registry again on next use). Under Wine the cached way runs by default;
// setting 0 lets tests run the native way there too.
void LICE_OverrideWineDetection(int answer);
