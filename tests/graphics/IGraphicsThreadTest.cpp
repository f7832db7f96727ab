// The audio thread pushes values to the controls while the UI thread paints,
// drags and prompts: run under ThreadSanitizer, this shows every field the two share
// is atomic or under the instance lock.
#include <gtest/gtest.h>

#include <thread>

#include "framework/IPlugBase.h"
#include "tests/graphics/EditorTestSupport.h"

using namespace testing_editor;

TEST(IGraphicsThreads, PlugPushesMeetPaintsAndDrags) {
  EditorPlug plug;
  auto* g = new IGraphicsHeadless(&plug, 200, 100, 25);
  const auto image = RowNumberImage(20, 20 * 11);
  auto* knob = new IKnobMultiControl(&plug, 0, 0, kGain, StripOf(image.get(), 11));
  g->AddControl(knob);
  g->AddControl(new ICaptionControl(&plug, {0, 30, 50, 50}, kGain, ITextStyle{}, true));
  plug.AttachEditor(g);

  std::thread audio([&] {
    for (int i = 0; i < 3000; ++i) {
      IMutexLock lock(plug.InstanceLock());
      plug.GetParam(kGain)->SetClamped(i % 31 - 15.0);
      g->SetParamFromPlug(kGain, plug.GetParam(kGain)->Value(), false);
    }
  });
  const IMouseKeys left{true, false, false, false, false};
  for (int i = 0; i < 3000; ++i) {
    g->Tick();
    g->HandleMouseDown(5, 5, left);
    g->HandleMouseDrag(5, 5 + i % 7 - 3, left);
    g->HandleMouseUp(5, 5, left);
    g->PromptForParamValue(knob, plug.GetParam(kGain), &knob->Rect());
    g->presented.clear();
    g->textEntries.clear();
  }
  audio.join();

  g->SetParamFromPlug(kGain, 7.5, false);
  EXPECT_EQ(knob->Value(), 0.75);
  EXPECT_TRUE(g->Tick());
}
