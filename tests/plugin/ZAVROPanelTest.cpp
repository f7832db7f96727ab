// The equaliser's front panel as its constructor composes it, on the committed
// strips: what sits where, bound to what, and which frames and texts it shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/IGraphicsHeadless.h"
#include "plugin/ZAVRO.h"
#include "tests/lice/FileBytes.h"
#include "tests/lice/PixelTestSupport.h"
#include "tests/lice/PngEncode.h"

namespace {

enum Class { kBitmap, kSwitch, kKnob, kCaption };

struct Expected {
  Class cls;
  IBounds rect;
  int param;
  int frames;           // 0 for captions
  int dragAxis;         // kKnobVertical / kKnobHorizontal, -1 none
  double quarterOrWhole;  // value moved by a drag over the knob's full extent
};

// Written out from the panel's drawing, independently of the layout table.
const Expected kPanel[] = {
    {kBitmap, {0, 0, 1002, 476}, -1, 1, -1, 0},
    {kSwitch, {890, 249, 942, 275}, 20, 2, -1, 0},
    {kSwitch, {888, 206, 944, 230}, 21, 2, -1, 0},
    {kSwitch, {889, 336, 942, 360}, 22, 2, -1, 0},
    {kSwitch, {888, 379, 942, 404}, 23, 2, -1, 0},
    {kSwitch, {890, 293, 941, 317}, 24, 2, -1, 0},
    {kKnob, {81, 54, 140, 113}, 0, 101, kKnobVertical, 0.25},
    {kKnob, {164, 135, 224, 194}, 1, 101, kKnobVertical, 0.25},
    {kKnob, {81, 259, 139, 318}, 11, 101, kKnobVertical, 0.25},
    {kKnob, {166, 341, 223, 399}, 12, 101, kKnobVertical, 0.25},
    {kKnob, {249, 54, 308, 113}, 2, 101, kKnobVertical, 0.25},
    {kKnob, {333, 135, 393, 194}, 3, 101, kKnobVertical, 0.25},
    {kKnob, {417, 54, 475, 112}, 4, 101, kKnobVertical, 0.25},
    {kKnob, {501, 136, 559, 194}, 5, 101, kKnobVertical, 0.25},
    {kKnob, {584, 55, 642, 112}, 6, 101, kKnobVertical, 0.25},
    {kKnob, {668, 135, 726, 193}, 7, 101, kKnobVertical, 0.25},
    {kKnob, {584, 259, 642, 317}, 8, 101, kKnobVertical, 0.25},
    {kKnob, {668, 340, 727, 399}, 9, 101, kKnobVertical, 0.25},
    {kKnob, {249, 259, 308, 318}, 13, 101, kKnobVertical, 0.25},
    {kKnob, {334, 340, 393, 399}, 14, 101, kKnobVertical, 0.25},
    {kKnob, {416, 259, 475, 317}, 15, 101, kKnobVertical, 0.25},
    {kKnob, {502, 341, 559, 399}, 16, 101, kKnobVertical, 0.25},
    {kKnob, {751, 54, 809, 113}, 17, 101, kKnobVertical, 0.25},
    {kKnob, {751, 260, 809, 318}, 18, 101, kKnobVertical, 0.25},
    {kKnob, {886, 55, 945, 112}, 19, 101, kKnobVertical, 0.25},
    {kKnob, {765, 175, 825, 202}, 25, 3, kKnobHorizontal, 1.0},
    {kKnob, {765, 380, 824, 407}, 26, 3, kKnobHorizontal, 1.0},
    {kCaption, {85, 35, 138, 56}, 0, 0, -1, 0},
    {kCaption, {169, 116, 222, 137}, 1, 0, -1, 0},
    {kCaption, {85, 240, 138, 261}, 11, 0, -1, 0},
    {kCaption, {169, 321, 222, 342}, 12, 0, -1, 0},
    {kCaption, {253, 35, 306, 56}, 2, 0, -1, 0},
    {kCaption, {338, 116, 391, 137}, 3, 0, -1, 0},
    {kCaption, {253, 240, 306, 261}, 13, 0, -1, 0},
    {kCaption, {338, 321, 391, 342}, 14, 0, -1, 0},
    {kCaption, {420, 35, 473, 56}, 4, 0, -1, 0},
    {kCaption, {504, 116, 557, 137}, 5, 0, -1, 0},
    {kCaption, {420, 240, 473, 261}, 15, 0, -1, 0},
    {kCaption, {504, 321, 557, 342}, 16, 0, -1, 0},
    {kCaption, {588, 35, 641, 56}, 6, 0, -1, 0},
    {kCaption, {672, 116, 725, 137}, 7, 0, -1, 0},
    {kCaption, {588, 240, 641, 261}, 8, 0, -1, 0},
    {kCaption, {672, 321, 725, 342}, 9, 0, -1, 0},
    {kCaption, {755, 35, 808, 56}, 17, 0, -1, 0},
    {kCaption, {755, 240, 808, 261}, 18, 0, -1, 0},
    {kCaption, {890, 35, 943, 56}, 19, 0, -1, 0},
};

// The product opened as a host opens it, its panel on the window-less editor.
struct PanelPlug : ZAVRO {
  PanelPlug() : ZAVRO(IPlugInstanceInfo{true}) {
    for (int i = 0; i < kParamCount; ++i) OnParameterChanged(i);
  }
  IGraphicsHeadless& Panel() { return *static_cast<IGraphicsHeadless*>(Editor()); }
  void RunBlock(int frames = 16) {
    std::vector<double> l(static_cast<size_t>(frames), 0.0), r(l);
    double* io[2] = {l.data(), r.data()};
    ProcessBlock(io, io, frames);
  }
};

const IImageStrip* StripOf(const IControl* c) {
  if (auto* k = dynamic_cast<const IKnobMultiControl*>(c)) return &k->Strip();
  if (auto* b = dynamic_cast<const IBitmapControl*>(c)) return &b->Strip();
  return nullptr;
}

Class ClassOf(const IControl* c) {
  if (dynamic_cast<const ICaptionControl*>(c)) return kCaption;
  if (dynamic_cast<const IKnobMultiControl*>(c)) return kKnob;
  if (dynamic_cast<const ISwitchControl*>(c)) return kSwitch;
  return kBitmap;
}

LICE_pixel Pixel(const IGraphics& g, int x, int y) { return testing_lice::GetPixel(*g.BackBuffer(), x, y); }

// The control's pixels that no caption box covers (captions draw after knobs).
std::vector<LICE_pixel> ControlPixels(const IGraphics& g, const IBounds& r) {
  std::vector<LICE_pixel> pixels;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      bool covered = false;
      for (const Expected& e : kPanel) covered = covered || (e.cls == kCaption && e.rect.Contains(x, y));
      if (!covered) pixels.push_back(Pixel(g, x, y));
    }
  }
  return pixels;
}

// The pixels control c shows with frame index f of its strip over the
// background; the last paint left the whole panel as the paint area.
std::vector<LICE_pixel> FramePixels(IGraphics& g, const IControl* c, int f) {
  const IImageStrip& strip = *StripOf(c);
  g.GetControl(0)->Paint(g);
  g.DrawImageFrame(strip, c->Rect(), 0, f * strip.FrameHeight(), &c->Blend());
  return ControlPixels(g, c->Rect());
}

// The back buffer as an RGBA PNG file.
bool WritePng(const IGraphics& g, const char* path) {
  testing_lice::PngImage image;
  image.width = g.Width();
  image.height = g.Height();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const LICE_pixel p = Pixel(g, x, y);
      image.samples.insert(image.samples.end(), {static_cast<std::uint16_t>(p >> 16 & 0xFF),
                                                 static_cast<std::uint16_t>(p >> 8 & 0xFF),
                                                 static_cast<std::uint16_t>(p & 0xFF), 255});
    }
  }
  return testing_lice::WriteFileBytes(path, testing_lice::EncodePng(image));
}

}  // namespace

TEST(ZAVROPanel, HoldsTheFortySixControlsInOrderWithTheirImagesAndBindings) {
  PanelPlug plug;
  IGraphics& g = plug.Panel();
  EXPECT_EQ(g.Width(), 1002);
  EXPECT_EQ(g.Height(), 476);
  EXPECT_EQ(g.FrameRate(), 25);
  ASSERT_EQ(g.ControlCount(), 46);
  for (int i = 0; i < g.ControlCount(); ++i) {
    SCOPED_TRACE("control " + std::to_string(i));
    const Expected& e = kPanel[i];
    IControl* c = g.GetControl(i);
    EXPECT_EQ(ClassOf(c), e.cls);
    EXPECT_EQ(c->Rect(), e.rect);
    EXPECT_EQ(c->ParamIdx(), e.param);
    EXPECT_EQ(c->PromptDisabled(), e.cls != kCaption);
    if (e.cls == kCaption) {
      const ITextStyle& s = c->TextStyle();
      EXPECT_STREQ(s.face, "Futura");
      EXPECT_EQ(s.size, 13);
      EXPECT_EQ(s.colour.Packed(), 0xFFC9BAB9u);
      EXPECT_EQ(s.alignment, kAlignCentre);
      EXPECT_EQ(s.style, kTextNormal);
      continue;
    }
    // The committed strip, one frame the size of the rectangle.
    const IImageStrip* strip = StripOf(c);
    ASSERT_NE(strip->image, nullptr);
    EXPECT_EQ(strip->FrameCount(), e.frames);
    EXPECT_EQ(strip->FrameWidth(), e.rect.Width());
    EXPECT_EQ(strip->FrameHeight() * e.frames, strip->height);
    EXPECT_EQ(strip->FrameHeight(), e.rect.Height());
    EXPECT_EQ(c->Blend().method, i == 0 ? kBlendOpaque : kBlendSourceAlpha);
    EXPECT_EQ(c->Blend().weight, 1.0f);
    if (e.dragAxis < 0) continue;
    // A drag over the whole extent along the knob's axis (up, or right).
    c->SetValue(0.0);
    const bool vertical = e.dragAxis == kKnobVertical;
    c->MouseDrag(0, 0, vertical ? 0 : e.rect.Width(), vertical ? -e.rect.Height() : 0, IMouseKeys{});
    EXPECT_DOUBLE_EQ(c->Value(), e.quarterOrWhole);
  }
}

TEST(ZAVROPanel, KnobsAndSelectorsShowTheFrameOfTheirValueOnTheCommittedStrips) {
  PanelPlug plug;
  IGraphics& g = plug.Panel();
  const IBounds all{0, 0, 1002, 476};
  const struct {
    int control, param;
    double normalized;
    int frame;
  } cases[] = {{6, kLMLowGain, 0.5, 50}, {25, kLMHPF, 0.5, 1}, {26, kRSHPF, 1.0, 2}, {9, kRSLowFreq, 0.0, 0}};
  for (const auto& k : cases) {
    SCOPED_TRACE("control " + std::to_string(k.control));
    IControl* c = g.GetControl(k.control);
    g.SetParamFromPlug(k.param, k.normalized, true);
    g.PaintRegion(all);
    const std::vector<LICE_pixel> shown = ControlPixels(g, c->Rect());
    EXPECT_EQ(shown, FramePixels(g, c, k.frame));
    // Neighbouring frames differ, so the comparison tells them apart.
    EXPECT_NE(shown, FramePixels(g, c, k.frame == 0 ? 1 : k.frame - 1));
  }
}

TEST(ZAVROPanel, LinkMovesTheRSKnobAndCaptionAtTheNextBlock) {
  PanelPlug plug;
  IGraphicsHeadless& g = plug.Panel();
  ASSERT_EQ(plug.GetParam(kLink)->Value(), 1.0);
  IControl* lmKnob = g.GetControl(6);
  IControl* rsKnob = g.GetControl(8);
  auto* rsCaption = static_cast<ICaptionControl*>(g.GetControl(29));
  ASSERT_EQ(rsKnob->ParamIdx(), kRSLowGain);
  ASSERT_EQ(rsCaption->ParamIdx(), kRSLowGain);

  // The user drags the L/M low gain knob up by a fifth of its height.
  const IBounds r = lmKnob->Rect();
  g.HandleMouseDown(r.left + 5, r.top + 30, IMouseKeys{true});
  g.HandleMouseDrag(r.left + 5, r.top + 30 - r.Height() / 5, IMouseKeys{true});
  g.HandleMouseUp(r.left + 5, r.top + 30 - r.Height() / 5, IMouseKeys{true});
  const double moved = plug.GetParam(kLMLowGain)->Value();
  ASSERT_GT(moved, 0.5);
  EXPECT_EQ(rsKnob->Value(), 0.5);  // not before the block

  plug.RunBlock();
  EXPECT_EQ(plug.GetParam(kRSLowGain)->Value(), moved);
  EXPECT_DOUBLE_EQ(rsKnob->Value(), lmKnob->Value());
  g.Tick();
  char text[kParamTextSize];
  plug.GetParam(kLMLowGain)->FormatForHost(moved, false, text, true);
  EXPECT_EQ(rsCaption->Text(), std::string(text) + " ");
  EXPECT_NE(rsCaption->Text(), "0.0 ");
}

TEST(ZAVROPanel, CaptionsShowTheDisplayTextAndABlank) {
  PanelPlug plug;
  IGraphicsHeadless& g = plug.Panel();
  auto* highFreq = static_cast<ICaptionControl*>(g.GetControl(40));
  auto* lowGain = static_cast<ICaptionControl*>(g.GetControl(27));
  ASSERT_EQ(highFreq->ParamIdx(), kLMHighFreq);
  plug.GetParam(kLMHighFreq)->SetClamped(5.0);
  g.Tick();
  EXPECT_EQ(highFreq->Text(), "5.00 ");
  EXPECT_EQ(lowGain->Text(), "0.0 ");
}

// The panel as a user first sees it: the first timer tick paints everything
// at its default. With ZAVRO_PANEL_SCREENSHOT naming a file, the painted back
// buffer is saved there (the README's picture comes from the Windows build,
// where the captions have a system font to draw with).
TEST(ZAVROPanel, FirstFullPaintShowsTheDefaultFramesAndCaptionText) {
  PanelPlug plug;
  IGraphicsHeadless& g = plug.Panel();
  ASSERT_TRUE(g.Tick());
  ASSERT_EQ(g.PaintArea(), (IBounds{0, 0, 1002, 476}));
  if (const char* path = std::getenv("ZAVRO_PANEL_SCREENSHOT")) {
    EXPECT_TRUE(WritePng(g, path)) << path;
  }
#ifdef _WIN32
  // "0.0 " in the caption's colour, its glyphs' cores fully covered.
  const IBounds box = g.GetControl(27)->Rect();
  int textPixels = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) textPixels += (Pixel(g, x, y) & 0xFFFFFF) == 0xC9BAB9;
  EXPECT_GT(textPixels, 4);
#endif
  // Gains at 0 dB show the middle frame; the HPF selectors their first.
  const std::vector<LICE_pixel> lowGain = ControlPixels(g, g.GetControl(6)->Rect());
  const std::vector<LICE_pixel> hpf = ControlPixels(g, g.GetControl(25)->Rect());
  EXPECT_EQ(lowGain, FramePixels(g, g.GetControl(6), 50));
  EXPECT_EQ(hpf, FramePixels(g, g.GetControl(25), 0));
}
