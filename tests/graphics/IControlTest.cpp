#include <gtest/gtest.h>

#include "graphics/IControl.h"
#include "lice/LICE_Raster.h"
#include "tests/graphics/EditorTestSupport.h"

using namespace testing_editor;

namespace {

class ControlTest : public ::testing::Test {
protected:
  ~ControlTest() override {
    if (!plug.Editor()) delete g;  // never handed to the plug-in
  }
  // Adds the control and attaches, which hands it its first value.
  template <class C>
  C* Attach(C* control) {
    g->AddControl(control);
    plug.AttachEditor(g);
    plug.calls.clear();
    return control;
  }
  // Paints everything once and answers the source row shown at the control's top-left.
  int ShownRow(const IControl& c) {
    g->PaintRegion({0, 0, g->Width(), g->Height()});
    return static_cast<int>(BackPixel(*g, c.Rect().left, c.Rect().top) & 0xFFFFFF);
  }

  EditorPlug plug;
  IGraphicsHeadless* g = new IGraphicsHeadless(&plug, 200, 100, 25);
};

TEST_F(ControlTest, FilmstripFrameFollowsTheValue) {
  const auto image = RowNumberImage(2, 5959);
  auto* knob = Attach(new IKnobMultiControl(&plug, 3, 4, kGain, StripOf(image.get(), 101)));
  EXPECT_EQ(knob->Rect(), (IBounds{3, 4, 5, 63}));
  knob->SetValue(0.5);
  EXPECT_EQ(ShownRow(*knob), 2950);  // frame 51
  knob->SetValue(1.0);
  EXPECT_EQ(ShownRow(*knob), 5900);  // frame 101, the last
  knob->SetValue(0.0);
  EXPECT_EQ(ShownRow(*knob), 0);
  knob->SetValue(0.004);  // rounds to the first frame
  EXPECT_EQ(ShownRow(*knob), 0);
  knob->SetValue(0.006);
  EXPECT_EQ(ShownRow(*knob), 59);
}

TEST_F(ControlTest, SideBySideFramesAndStillImages) {
  const auto image = RowNumberImage(30, 7);
  auto* strip = Attach(new IBitmapControl(&plug, 0, 0, kOnOff, StripOf(image.get(), 3, true)));
  EXPECT_EQ(strip->Rect(), (IBounds{0, 0, 10, 7}));
  strip->SetValue(1.0);
  g->PaintRegion({0, 0, 200, 100});
  EXPECT_EQ(BackPixel(*g, 0, 0), image->PixelData()[20]);
  // No frames declared: one still image, never a division by zero.
  IBitmapControl still(&plug, 50, 0, -1, StripOf(image.get(), 0));
  EXPECT_EQ(still.Rect(), (IBounds{50, 0, 80, 7}));
}

TEST_F(ControlTest, SwitchesStepAndWrap) {
  const auto image = RowNumberImage(1, 6);
  for (int frames : {1, 2, 3}) {
    SCOPED_TRACE(frames);
    ISwitchControl sw(&plug, 0, 0, kOnOff, StripOf(image.get(), frames));
    std::vector<double> seen;
    for (int press = 0; press < 4; ++press) {
      sw.MouseDown(0, 0, {});
      seen.push_back(sw.Value());
    }
    const std::vector<std::vector<double>> cycles = {{1, 0, 1, 0}, {1, 0, 1, 0}, {0.5, 1, 0, 0.5}};
    EXPECT_EQ(seen, cycles[static_cast<size_t>(frames - 1)]);
  }
}

TEST_F(ControlTest, KnobDragsAndWheelsClampAtTheEnds) {
  const auto image = RowNumberImage(1, 400);
  auto* knob = Attach(new IKnobMultiControl(&plug, 0, 0, kGain, StripOf(image.get(), 4)));  // 100 high
  const IMouseKeys none, fine{false, false, true, false, false};
  knob->MouseDrag(0, 0, 0, -100, none);  // up by the height: +1/4
  EXPECT_DOUBLE_EQ(knob->Value(), 0.75);
  knob->MouseDrag(0, 0, 0, 100, fine);  // ten times finer
  EXPECT_DOUBLE_EQ(knob->Value(), 0.725);
  knob->MouseDrag(0, 0, 0, -1000, none);
  EXPECT_EQ(knob->Value(), 1.0);
  ASSERT_FALSE(plug.calls.empty());
  EXPECT_EQ(plug.calls.back().value, 1.0) << "the plug-in hears the clamped value";
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 15.0);
  knob->MouseWheel(0, 0, fine, -3);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.997);
  knob->MouseWheel(0, 0, none, -2);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.977);
  knob->MouseWheel(0, 0, none, 0);  // less than a notch
  EXPECT_DOUBLE_EQ(knob->Value(), 0.977);

  IKnobMultiControl selector(&plug, 0, 0, kMode, StripOf(image.get(), 4), kKnobHorizontal, 1.0);
  selector.MouseDrag(0, 0, 1, 0, none);  // one pixel of a one-pixel-wide knob
  EXPECT_EQ(selector.Value(), 1.0);
  IKnobMultiControl flat(&plug, 5, 5, kGain, StripOf(nullptr, 1));
  flat.MouseDrag(0, 0, 0, -10, none);
  EXPECT_EQ(flat.Value(), 0.0) << "no height: no drag, no division by zero";
}

TEST_F(ControlTest, FirstPlugValueIsTheDefaultADoubleClickRestores) {
  const auto image = RowNumberImage(1, 10);
  IKnobMultiControl loose(&plug, 0, 0, kGain, StripOf(image.get(), 10));
  loose.SetValue(0.3);
  loose.MouseDoubleClick(0, 0, {});
  EXPECT_EQ(loose.Value(), 0.3) << "no default known yet";

  auto* knob = Attach(new IKnobMultiControl(&plug, 0, 0, kGain, StripOf(image.get(), 10)));
  EXPECT_EQ(knob->DefaultValue(), 0.5);
  knob->ApplyPlugValue(0.8);
  EXPECT_TRUE(knob->RedrawPending());
  EXPECT_TRUE(plug.calls.empty()) << "a plug-in value is not sent back";
  knob->MouseDoubleClick(0, 0, {});
  EXPECT_EQ(knob->Value(), 0.5);
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 0.0);
}

TEST_F(ControlTest, GreyedControlsDrawFaintAndTakeNoPresses) {
  const auto image = RowNumberImage(1, 1);
  image->PixelData()[0] = 0xFFFFFFFF;
  auto* c = Attach(new IBitmapControl(&plug, 0, 0, kOnOff, StripOf(image.get(), 1)));
  FillArea(g->BackBuffer(), 0, 0, 200, 100, 0xFF000000, 1.0f, kLiceCopy);
  c->SetGreyed(true);
  EXPECT_FLOAT_EQ(c->Blend().weight, 0.25f);
  g->PaintRegion({0, 0, 1, 1});
  LICE_MemBitmap expected(1, 1);
  expected.PixelData()[0] = 0xFF000000;
  BlitBitmap(&expected, image.get(), 0, 0, nullptr, 0.25f, kLiceUseSourceAlpha);
  EXPECT_EQ(BackPixel(*g, 0, 0), expected.PixelData()[0]);
  EXPECT_EQ(g->FindControlAt(0, 0), -1);
}

TEST_F(ControlTest, PromptBoxAndLinkedDisplays) {
  const auto image = RowNumberImage(1, 30);
  auto* knob = Attach(new IKnobMultiControl(&plug, 11, 20, kGain, StripOf(image.get(), 1)));  // 1 x 30
  ITextControl valueText(&plug, {}, ITextStyle{}, "");
  ITextControl nameText(&plug, {}, ITextStyle{}, "");
  knob->LinkValueDisplay(&valueText);
  knob->LinkNameDisplay(&nameText);

  knob->MouseDown(0, 0, {false, true, false, false, false});
  EXPECT_TRUE(g->textEntries.empty()) << "knobs do not prompt unless asked";
  knob->SetPromptDisabled(false);
  knob->MouseDown(0, 0, {false, true, false, false, false});
  ASSERT_EQ(g->textEntries.size(), 1u);
  // Centre (11.5, 35) truncated: a 40 x 16 box around (11, 35).
  EXPECT_EQ(g->textEntries[0].rect, (IBounds{-9, 27, 31, 43}));

  g->CommitTextEntry("-2.5");
  EXPECT_EQ(valueText.Text(), "-2.50 dB");
  EXPECT_EQ(nameText.Text(), "Gain");
}

TEST_F(ControlTest, CaptionsFollowTheParameterAtEveryPaint) {
  auto* caption = Attach(new ICaptionControl(&plug, {0, 0, 50, 20}, kGain, ITextStyle{}, true));
  plug.GetParam(kGain)->SetLabel("");
  plug.GetParam(kGain)->SetClamped(5.0);
  caption->Paint(*g);
  EXPECT_EQ(caption->Text(), "5.00 ");
  auto* mode = new ICaptionControl(&plug, {0, 20, 50, 40}, kMode, ITextStyle{}, false);
  g->AddControl(mode);
  mode->Paint(*g);
  EXPECT_EQ(mode->Text(), "Mid");
  // A caption prompts on a left press, over its whole rectangle for a choice.
  mode->MouseDown(0, 0, {true, false, false, false, false});
  ASSERT_EQ(g->menus.size(), 1u);
  EXPECT_EQ(g->menus[0].rect, (IBounds{0, 20, 50, 40}));
}

TEST_F(ControlTest, TextChangesMarkDirtyOnlyWhenDifferent) {
  ITextControl text(&plug, {0, 0, 10, 10}, ITextStyle{}, "a");
  text.ClearDirty();
  text.SetTextFromPlug("a");
  EXPECT_FALSE(text.NeedsRedraw());
  text.SetTextFromPlug(nullptr);
  EXPECT_TRUE(text.NeedsRedraw());
  EXPECT_EQ(text.Text(), "");
  EXPECT_TRUE(text.Paint(*g)) << "empty text paints nothing, successfully";
}

}  // namespace
