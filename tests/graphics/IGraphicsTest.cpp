#include <gtest/gtest.h>

#include <random>
#include <set>

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsCaches.h"
#include "lice/LICE_Raster.h"
#include "tests/graphics/EditorTestSupport.h"

using namespace testing_editor;

namespace {

using Log = std::vector<std::string>;

TEST(IBounds, EdgesAndVoidRectangles) {
  const IBounds region{10, 10, 20, 20};
  // The first operand's right and bottom edges touch; the second's do not.
  EXPECT_TRUE(region.Intersects({20, 20, 30, 30}));
  EXPECT_FALSE((IBounds{20, 20, 30, 30}).Intersects(region));
  EXPECT_TRUE((IBounds{0, 0, 10, 10}).Intersects(region));
  EXPECT_FALSE(region.Intersects({0, 0, 10, 10}));
  EXPECT_TRUE(region.Contains(19, 19));
  EXPECT_FALSE(region.Contains(20, 15));
  EXPECT_FALSE(region.Contains(15, 20));
  // Empty and inside-out rectangles take part in nothing.
  for (const IBounds& none : {IBounds{}, IBounds{30, 30, 5, 5}}) {
    EXPECT_FALSE(none.Intersects({-100, -100, 100, 100}));
    EXPECT_FALSE((IBounds{-100, -100, 100, 100}).Intersects(none));
    EXPECT_FALSE(none.Contains(0, 0));
  }
}

class EditorTest : public ::testing::Test {
protected:
  explicit EditorTest(PluginApi api = PluginApi::Vst2) : plug(api) {}
  // Attaching hands every control its first value (which also becomes its
  // default); a first tick paints everything once.
  void Attach() {
    plug.AttachEditor(g);
    g->Tick();
    g->presented.clear();
    log.clear();
  }
  ProbeControl* Add(const IBounds& r, int paramIdx, const char* name) {
    auto* c = new ProbeControl(&plug, r, paramIdx, &log, name);
    g->AddControl(c);
    return c;
  }

  EditorPlug plug;
  IGraphicsHeadless* g = new IGraphicsHeadless(&plug, 200, 100, 25);
  Log log;
};

TEST_F(EditorTest, TimerCoalescesChangesAndRepaintsPlugValuesTwice) {
  Add({0, 0, 200, 100}, -1, "bg");
  ProbeControl* knob = Add({10, 10, 30, 30}, kGain, "knob");
  ProbeControl* nowhere = Add({}, kGain, "nowhere");
  Attach();
  EXPECT_FALSE(g->Tick()) << "nothing changed";

  // Two plug-in changes in one period: one repaint of the knob's rectangle;
  // the pending redraw paints it again on the next tick, then it rests. The
  // control of no area changed too but never widens the union.
  g->SetParamFromPlug(kGain, 0.2, true);
  g->SetParamFromPlug(kGain, 0.3, true);
  EXPECT_TRUE(nowhere->NeedsRedraw());
  EXPECT_TRUE(g->Tick());
  EXPECT_TRUE(g->Tick());
  EXPECT_FALSE(g->Tick());
  EXPECT_EQ(g->presented, (std::vector<IBounds>{{10, 10, 30, 30}, {10, 10, 30, 30}}));
  EXPECT_EQ(std::count(log.begin(), log.end(), "nowhere paint"), 0);

  // A user's change repaints once.
  g->presented.clear();
  knob->SetValue(0.9);
  knob->MarkDirty(true);
  EXPECT_TRUE(g->Tick());
  EXPECT_FALSE(g->Tick());
  EXPECT_EQ(g->presented.size(), 1u);
}

TEST_F(EditorTest, StrictAndChangedOnlyPainting) {
  Add({0, 0, 200, 100}, -1, "bg");
  ProbeControl* a = Add({10, 10, 50, 50}, kGain, "a");
  Add({40, 40, 60, 60}, -1, "cover");
  Add({100, 0, 150, 50}, -1, "far");
  ProbeControl* hidden = Add({10, 10, 50, 50}, -1, "hidden");
  hidden->SetHidden(true);
  Attach();

  // Strict: every shown control meeting the region, in list order; all cleaned.
  a->SetValue(0.7);
  a->MarkDirty(false);
  g->PaintRegion({10, 10, 50, 50});
  EXPECT_EQ(log, (Log{"bg paint", "a paint", "cover paint"}));
  for (int i = 0; i < g->ControlCount(); ++i) EXPECT_FALSE(g->GetControl(i)->NeedsRedraw());

  // Changed-only: the changed control's own rectangle with what covers it;
  // the region handed in is only presented.
  log.clear();
  g->SetStrictDrawing(false);
  a->MarkDirty(false);
  g->PaintRegion({0, 0, 1, 1});
  EXPECT_EQ(log, (Log{"bg paint", "a paint", "cover paint"}));
  EXPECT_EQ(g->PaintArea(), (IBounds{10, 10, 50, 50}));
  EXPECT_EQ(g->presented.back(), (IBounds{0, 0, 1, 1}));
}

TEST_F(EditorTest, MouseGoesToTheTopmostShownUngreyedControl) {
  Add({0, 0, 200, 100}, -1, "bg");
  ProbeControl* lower = Add({10, 10, 50, 50}, kGain, "lower");
  ProbeControl* upper = Add({10, 10, 50, 50}, kMode, "upper");
  Attach();
  const IMouseKeys left{true, false, false, false, false};

  EXPECT_EQ(g->FindControlAt(20, 20), 2);
  upper->SetGreyed(true);
  EXPECT_EQ(g->FindControlAt(20, 20), 1);
  lower->SetHidden(true);
  EXPECT_EQ(g->FindControlAt(20, 20), 0);
  EXPECT_EQ(g->FindControlAt(200, 50), -1);
  lower->SetHidden(false);

  // A press captures: drags and the release follow the control off its rectangle.
  g->HandleMouseDown(20, 20, left);
  g->HandleMouseDrag(20, 20, left);  // no movement
  g->HandleMouseDrag(25, 12, left);
  g->HandleMouseUp(150, 90, left);
  g->HandleWheel(20, 20, left, 0);
  EXPECT_EQ(log, (Log{"lower down", "lower drag 5,-8", "lower up", "lower wheel 0"}));

  // Hover is off by default; when on, a greyed control that asks for hover gets it.
  log.clear();
  EXPECT_FALSE(g->HandleMouseOver(20, 20, {}));
  g->SetHoverHandling(true);
  upper->SetMouseOverWhenGreyed(true);
  EXPECT_TRUE(g->HandleMouseOver(20, 20, {}));
  EXPECT_TRUE(g->HandleMouseOver(100, 90, {}));
  EXPECT_EQ(log, (Log{"upper over", "bg over", "upper out"}));
  EXPECT_EQ(g->Hovered(), 0);
}

TEST_F(EditorTest, EditGesturesOnlyForControlsWithParameters) {
  Add({0, 0, 200, 100}, -1, "bg");
  Add({10, 10, 50, 50}, kGain, "knob");
  Add({60, 10, 80, 30}, 99, "stray");  // bound to no parameter of the plug-in
  Attach();
  plug.calls.clear();
  const IMouseKeys left{true, false, false, false, false};
  for (int x : {150, 20, 70}) {
    g->HandleMouseDown(x, 20, left);
    g->HandleMouseUp(x, 20, left);
  }
  // A release that began no gesture ends none; a press whose release was lost
  // ends its gesture at the next press.
  g->HandleMouseUp(20, 20, left);
  g->HandleMouseDown(20, 20, left);
  g->HandleMouseDown(150, 20, left);
  using C = IPlugTest::HostCall;
  const C begin{C::BeginEdit, kGain, 0.0}, end{C::EndEdit, kGain, 0.0};
  EXPECT_EQ(plug.calls, (std::vector<C>{begin, end, begin, end}));
  EXPECT_EQ(log, (Log{"bg down", "bg up", "knob down", "knob up", "stray down", "stray up", "knob up",
                      "knob down", "bg down"}));
}

// The menu a press opens takes the release with it: the gesture ends as the
// menu closes, after the chosen value.
TEST_F(EditorTest, AMenuOpenedByAPressEndsItsGesture) {
  g->AddControl(new ICaptionControl(&plug, {10, 10, 50, 50}, kMode, ITextStyle{}, true));
  Attach();
  plug.calls.clear();
  g->menuChoice = 2;
  g->HandleMouseDown(20, 20, {true, false, false, false, false});
  using C = IPlugTest::HostCall;
  const std::vector<C> gesture{{C::BeginEdit, kMode, 0.0}, {C::Automate, kMode, 1.0}, {C::EndEdit, kMode, 0.0}};
  EXPECT_EQ(plug.calls, gesture);
  g->HandleMouseUp(20, 20, {});  // a release that does come ends nothing more
  EXPECT_EQ(plug.calls, gesture);
}

TEST_F(EditorTest, KeysGoToTheControlUnderTheMouseElseTheCatcher) {
  Add({0, 0, 200, 100}, -1, "bg");
  Add({10, 10, 50, 50}, kGain, "knob");
  Attach();
  EXPECT_FALSE(g->HandleKeyDown(150, 50, kKeySpace)) << "no catcher: passed on to the host";
  g->SetKeyCatcher(new ProbeControl(&plug, {}, -1, &log, "catcher"));
  EXPECT_TRUE(g->HandleKeyDown(150, 50, kKeyLetterA));
  EXPECT_TRUE(g->HandleKeyDown(20, 20, kKeyUp));
  EXPECT_EQ(log, (Log{"catcher key 15", "knob key 1"}));
}

class Vst3EditorTest : public EditorTest {
protected:
  Vst3EditorTest() : EditorTest(PluginApi::Vst3) {}
};

// The host's menu takes a right press on a parameter control in VST 3; in
// VST 2.4 the control gets it.
TEST_F(Vst3EditorTest, RightPressOnAParameterShowsTheHostsMenu) {
  Add({0, 0, 200, 100}, -1, "bg");
  Add({10, 10, 50, 50}, kGain, "knob");
  Attach();
  plug.calls.clear();
  const IMouseKeys right{false, true, false, false, false};
  g->HandleMouseDown(20, 30, right);
  EXPECT_EQ(plug.hostMenus, (std::vector<std::vector<int>>{{kGain, 20, 30}}));
  EXPECT_EQ(g->Capture(), -1);
  g->HandleMouseDown(150, 30, right);
  EXPECT_EQ(log, (Log{"bg down"}));
  EXPECT_TRUE(plug.calls.empty());
}

TEST_F(EditorTest, RightPressReachesTheControlInVst2) {
  Add({10, 10, 50, 50}, kGain, "knob");
  Attach();
  g->HandleMouseDown(20, 30, {false, true, false, false, false});
  EXPECT_TRUE(plug.hostMenus.empty());
  EXPECT_EQ(log, (Log{"knob down"}));
}

TEST_F(EditorTest, DoubleClickAsPressCapturesWithoutAnEditGesture) {
  ProbeControl* c = Add({10, 10, 50, 50}, kGain, "c");
  Attach();
  plug.calls.clear();
  g->HandleDoubleClick(20, 20, {});
  c->SetDoubleClickAsPress(true);
  g->HandleDoubleClick(20, 20, {});
  EXPECT_EQ(g->Capture(), 0);
  g->HandleMouseUp(20, 20, {});
  EXPECT_EQ(log, (Log{"c double", "c down", "c up"}));
  EXPECT_TRUE(plug.calls.empty());
}

TEST_F(EditorTest, PromptOffersAMenuForChoicesAndATextEntryForNumbers) {
  ProbeControl* mode = Add({10, 10, 50, 50}, kMode, "mode");
  ProbeControl* gain = Add({60, 10, 90, 50}, kGain, "gain");
  ProbeControl* free = Add({100, 10, 140, 50}, -1, "free");
  ProbeControl* power = Add({150, 10, 190, 50}, kOnOff, "power");
  Attach();
  const IBounds box{0, 0, 40, 16};

  g->menuChoice = 2;
  g->PromptForParamValue(mode, plug.GetParam(kMode), &box);
  ASSERT_EQ(g->menus.size(), 1u);
  EXPECT_EQ(g->menus[0].texts, (std::vector<std::string>{"Low", "Mid", "High"}));
  EXPECT_EQ(g->menus[0].flags, (std::vector<int>{0, kMenuItemChecked, 0}));
  EXPECT_EQ(plug.GetParam(kMode)->Value(), 2.0);
  g->menuChoice = -1;
  g->PromptForParamValue(mode, plug.GetParam(kMode), &box);
  EXPECT_EQ(plug.GetParam(kMode)->Value(), 2.0) << "nothing chosen";

  plug.GetParam(kGain)->SetClamped(-3.5);
  g->PromptForParamValue(gain, plug.GetParam(kGain), &box);
  ASSERT_TRUE(g->textEntryOpen);
  EXPECT_EQ(g->textEntries.back().initialText, "-3.50");
  g->CommitTextEntry("no number");
  EXPECT_EQ(plug.GetParam(kGain)->Value(), -3.5);
  g->PromptForParamValue(gain, plug.GetParam(kGain), &box);
  g->CommitTextEntry("40");
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 15.0) << "clamped into the range";
  EXPECT_EQ(gain->Value(), 1.0);

  // A boolean without texts takes digits.
  g->CommitEnteredText(power, plug.GetParam(kOnOff), "1");
  EXPECT_EQ(plug.GetParam(kOnOff)->Value(), 1.0);

  g->CommitEnteredText(free, nullptr, "hello");
  EXPECT_EQ(log, (Log{"free text hello"}));
}

TEST_F(EditorTest, PlugValuesForNoParameterOrNoNumberAreDropped) {
  ProbeControl* knob = Add({10, 10, 50, 50}, kGain, "knob");
  Attach();
  g->SetParamFromPlug(kTestParams, 0.1, true);
  g->SetParamFromPlug(-1, 0.1, true);
  g->SetParamFromPlug(kGain, std::nan(""), true);
  EXPECT_EQ(knob->Value(), 0.5);
  EXPECT_FALSE(knob->NeedsRedraw());
  g->SetParamFromPlug(kGain, 7.5, false);  // plain
  EXPECT_EQ(knob->Value(), 0.75);
}

TEST_F(EditorTest, ResizeRebuildsTheSurfacesAndEmptiesThePanel) {
  Add({10, 10, 50, 50}, kGain, "knob");
  Attach();
  plug.calls.clear();
  g->ResizeEditor(0, 0);
  g->ResizeEditor(-5, 40);
  EXPECT_EQ(g->ControlCount(), 1) << "no editor of no size";
  g->ResizeEditor(300, 120);
  EXPECT_EQ(g->ControlCount(), 0);
  EXPECT_EQ(g->BackBuffer()->Width(), 300);
  EXPECT_EQ(g->BackBuffer()->Height(), 120);
  EXPECT_EQ(plug.calls, (std::vector<IPlugTest::HostCall>{{IPlugTest::HostCall::EditorSize, 300, 120.0}}));
  EXPECT_EQ(plug.unlockedHostCalls, 0);
  EXPECT_TRUE(g->PaintRegion({0, 0, 300, 120})) << "an empty panel paints nothing";
  EXPECT_TRUE(g->presented.empty());
}

TEST_F(EditorTest, ImagesAreLoadedOncePerModuleAndMissingOnesDrawNothing) {
  Attach();
  const int id = 9101;  // no other suite uses it: the cache lives as long as the module
  g->ProvideImage(id, RowNumberImage(4, 6));
  const IImageStrip first = g->LoadImageStrip(id, "knob.png", 3);
  const IImageStrip again = g->LoadImageStrip(id, "knob.png", 3);
  EXPECT_EQ(first.image, again.image);
  EXPECT_EQ(g->imagesRequested, (std::vector<int>{id}));
  EXPECT_EQ(first.FrameHeight(), 2);

  const IImageStrip missing = g->LoadImageStrip(9102, "gone.png", 0);
  EXPECT_EQ(missing.width, 0);
  EXPECT_EQ(missing.FrameCount(), 1);
  g->AddControl(new IBitmapControl(&plug, 5, 5, -1, missing));
  EXPECT_EQ(g->GetControl(0)->Rect(), (IBounds{5, 5, 5, 5}));
  EXPECT_TRUE(g->PaintRegion({0, 0, 200, 100}));
}

// Draws one strip frame at its rectangle, as the image controls do.
class BlitControl : public IControl {
public:
  BlitControl(const IImageStrip& strip, const IBounds& r, int sx, int sy, const IBlendSpec& blend)
      : IControl(nullptr, r, -1, blend), strip_(strip), sx_(sx), sy_(sy) {}
  bool Paint(IGraphics& g) override { return g.DrawImageFrame(strip_, rect_, sx_, sy_, &blend_); }

private:
  IImageStrip strip_;
  int sx_, sy_;
};

// The blit lands exactly where destination and paint area overlap, from the
// matching source pixels: compared with a plain per-pixel copy.
TEST(IGraphicsDraw, ImageFramesAreClippedToThePaintArea) {
  constexpr int kW = 61, kH = 47, kImageW = 37, kImageH = 29;
  std::mt19937 rng(11);
  IGraphicsHeadless g(nullptr, kW, kH, 25);
  LICE_MemBitmap image(kImageW, kImageH);
  for (int i = 0; i < kImageW * kImageH; ++i) image.PixelData()[i] = static_cast<LICE_pixel>(rng());
  std::uniform_int_distribution<int> pos(-20, 70), size(-3, 30), offset(0, 9);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    g.ResizeEditor(kW, kH);  // a fresh, empty panel
    FillArea(g.BackBuffer(), 0, 0, kW, kH, 0, 1.0f, kLiceCopy);
    IBounds d{pos(rng), pos(rng), 0, 0};
    d.right = d.left + size(rng);  // sometimes inside out
    d.bottom = d.top + size(rng);
    IBounds area{pos(rng), pos(rng), 0, 0};
    area.right = area.left + 40;
    area.bottom = area.top + 30;
    const int sx = offset(rng), sy = offset(rng);
    g.AddControl(new BlitControl(StripOf(&image, 1), d, sx, sy, {kBlendOpaque, 1.0f}));
    g.PaintRegion(area);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const int ix = sx + x - d.left, iy = sy + y - d.top;
        const bool inside =
            area.Intersects(d) && d.Intersection(area).Contains(x, y) && ix < kImageW && iy < kImageH;
        const LICE_pixel want = inside ? image.PixelData()[iy * kImageW + ix] : 0;
        ASSERT_EQ(BackPixel(g, x, y), want) << x << "," << y;
      }
    }
  }
}

TEST(IGraphicsDraw, BlendMethodsPickTheBlitMode) {
  const LICE_pixel under = 0xFF101010, over = 0x80204060;
  const int modes[] = {kLiceUseSourceAlpha, kLiceCopy, kLiceUseSourceAlpha | kLiceAdd,
                       kLiceUseSourceAlpha | kLiceDodge, kLiceUseSourceAlpha};
  IGraphicsHeadless g(nullptr, 5, 1, 25);
  g.CreateSurfaces();
  LICE_MemBitmap image(1, 1);
  image.PixelData()[0] = over;
  FillArea(g.BackBuffer(), 0, 0, 5, 1, under, 1.0f, kLiceCopy);
  // Method 4 is no method: it draws as the normal case.
  for (int m = 0; m < 5; ++m)
    g.AddControl(new BlitControl(StripOf(&image, 1), {m, 0, m + 1, 1}, 0, 0, {m, 1.0f}));
  g.PaintRegion({0, 0, 5, 1});
  std::vector<LICE_pixel> want;
  for (int m = 0; m < 5; ++m) {
    LICE_MemBitmap one(1, 1);
    one.PixelData()[0] = under;
    BlitBitmap(&one, &image, 0, 0, nullptr, 1.0f, modes[m]);
    want.push_back(one.PixelData()[0]);
    EXPECT_EQ(BackPixel(g, m, 0), want.back()) << "method " << m;
  }
  // The four modes differ on these pixels, so a wrong mapping shows.
  EXPECT_EQ(std::set<LICE_pixel>(want.begin(), want.end()).size(), 4u);
}

TEST(IGraphicsText, MeasuredExtentIsPlacedByAlignment) {
  IBounds left{100, 10, 200, 30};
  PlaceMeasuredText(left, 37, 14, kAlignLeft);
  EXPECT_EQ(left, (IBounds{100, 10, 137, 24}));
  IBounds centre{100, 10, 201, 30};
  PlaceMeasuredText(centre, 37, 14, kAlignCentre);
  EXPECT_EQ(centre, (IBounds{150 - 18, 10, 150 - 18 + 37, 24}));
  IBounds right{100, 10, 200, 30};
  PlaceMeasuredText(right, 37, 14, kAlignRight);
  EXPECT_EQ(right, (IBounds{163, 10, 200, 24}));
}

#ifndef _WIN32
TEST(IGraphicsText, WithoutSystemFontsTextIsNotDrawn) {
  IGraphicsHeadless g(nullptr, 10, 10, 25);
  ITextStyle style;
  IBounds r{0, 0, 10, 10};
  EXPECT_EQ(g.FindOrCreateFont(style), nullptr);
  EXPECT_FALSE(g.DrawTextIn(style, "abc", r, false));
  EXPECT_TRUE(g.DrawTextIn(style, "", r, false));
}
#endif

}  // namespace
