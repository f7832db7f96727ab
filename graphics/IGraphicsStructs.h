#pragma once
// Records shared by the editor core, the controls, the window back ends and the
// panel layout: rectangles, filmstrip images, colours, text styles, blends,
// mouse state and choice menus.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_IBitmap.h"

class LICE_IFont;

// A rectangle in editor pixels (origin top-left, y downwards); right and bottom
// are exclusive for hit tests. All four 0 is the empty rectangle. A rectangle
// turned inside out (right < left or bottom < top) has no area: like the empty
// one it never intersects, is never hit and never joins a union.
struct IBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool Inverted() const { return right < left || bottom < top; }
  // Empty or inverted: nothing of it is painted, hit or unioned.
  bool Void() const { return Empty() || Inverted(); }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }

  // This rectangle's right and bottom edges count as touching the other's left
  // and top (>=), the other's do not (<): a region repaints a control that
  // meets it only along the region's right or bottom edge.
  bool Intersects(const IBounds& b) const {
    return !Void() && !b.Void() && right >= b.left && left < b.right && bottom >= b.top && top < b.bottom;
  }
  // Overlap of two intersecting rectangles.
  IBounds Intersection(const IBounds& b) const {
    return {std::max(left, b.left), std::max(top, b.top), std::min(right, b.right),
            std::min(bottom, b.bottom)};
  }
  // Smallest rectangle holding both.
  IBounds Union(const IBounds& b) const {
    return {std::min(left, b.left), std::min(top, b.top), std::max(right, b.right),
            std::max(bottom, b.bottom)};
  }
  bool Contains(int x, int y) const { return !Void() && left <= x && x < right && top <= y && y < bottom; }
  bool operator==(const IBounds& b) const {
    return left == b.left && top == b.top && right == b.right && bottom == b.bottom;
  }
  bool operator!=(const IBounds& b) const { return !(*this == b); }
};

// An image of one or more equal frames, stacked or side by side. The image
// belongs to the module-wide bitmap cache, never to the strip.
struct IImageStrip {
  LICE_IBitmap* image = nullptr;
  int width = 0;
  int height = 0;
  int frames = 1;
  bool horizontal = false;

  // A strip declaring no frames (0 or fewer) is taken as one still image.
  int FrameCount() const { return std::max(frames, 1); }
  int FrameWidth() const { return horizontal ? width / FrameCount() : width; }
  int FrameHeight() const { return horizontal ? height : height / FrameCount(); }
};

struct IColorARGB {
  int a = 255;
  int r = 0;
  int g = 0;
  int b = 0;

  // The drawing library's pixel word; components outside 0..255 are clamped so
  // one cannot spill into its neighbour.
  LICE_pixel Packed() const {
    auto c = [](int v) { return static_cast<LICE_pixel>(std::clamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
  }
};

constexpr int kFaceNameSize = 32;

enum : int { kTextNormal = 0, kTextBold = 1, kTextItalic = 2 };
enum : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
enum : int { kQualityDefault = 0, kQualityPlain = 1, kQualityAntialiased = 2, kQualityClearType = 3 };

struct ITextStyle {
  char face[kFaceNameSize] = "Verdana";
  int size = 12;  // character height in pixels
  IColorARGB colour;
  IColorARGB entryBackground{255, 255, 255, 255};
  IColorARGB entryForeground;
  int style = kTextNormal;
  int alignment = kAlignCentre;
  int orientation = 0;  // degrees, counter-clockwise
  int quality = kQualityDefault;
  LICE_IFont* cachedFont = nullptr;  // filled on first use; owned by the font cache
};

enum : int { kBlendSourceAlpha = 0, kBlendOpaque = 1, kBlendAdd = 2, kBlendDodge = 3 };

struct IBlendSpec {
  int method = kBlendSourceAlpha;
  float weight = 1.0f;  // overall opacity; greyed controls draw at kGreyedWeight
};

constexpr float kGreyedWeight = 0.25f;

struct IMouseKeys {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;

  // Control or shift asks the controls for fine adjustment.
  bool Fine() const { return control || shift; }
};

// Key codes the back end maps platform keys to.
enum : int {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,    // digits 0 to 9: 5 to 14
  kKeyLetterA = 15,  // letters A to Z: 15 to 40
};

struct IChoiceMenu;

enum : int { kMenuItemGreyed = 1, kMenuItemDisabled = 2, kMenuItemChecked = 4, kMenuItemSeparator = 8 };

struct IChoiceMenuItem {
  std::string text;
  std::unique_ptr<IChoiceMenu> nested;  // a submenu, or none
  int flags = 0;
};

// What the back end shows as a popup menu. Prefix styles 1, 2 and 3 put the
// item's 1-based number before its text ("%1d: %s", "%02d: %s", "%03d: %s").
struct IChoiceMenu {
  int prefixStyle = 0;
  int chosenIndex = -1;  // set by the back end
  std::vector<IChoiceMenuItem> items;

  void AddItem(const char* text, int flags = 0) {
    IChoiceMenuItem item;
    item.text = text ? text : "";
    item.flags = flags;
    items.push_back(std::move(item));
  }
  int ItemCount() const { return static_cast<int>(items.size()); }
};
