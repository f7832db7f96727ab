#pragma once
// The small front panel of the test plug-in module: its parameters, images,
// places and colours, shared by the module, the tool that draws its images and
// the suite that checks what reaches the screen.

#include <cstdint>

#include "tests/graphics/win/TestPanelResources.h"

namespace test_panel {

constexpr int kWidth = 200;
constexpr int kHeight = 120;
constexpr int kFrameRate = 25;

enum Param { kGain, kOnOff, kTrim, kMode, kParamCount };
constexpr const char* kModeTexts[] = {"Low", "Mid", "High"};

// PNG resources of the module; kMissingImageId is deliberately not embedded.
constexpr int kBackgroundImageId = TEST_PANEL_BACKGROUND_IMAGE;
constexpr int kKnobImageId = TEST_PANEL_KNOB_IMAGE;
constexpr int kSwitchImageId = TEST_PANEL_SWITCH_IMAGE;
constexpr int kMissingImageId = 150;

// Knob strip: frames stacked top to bottom, each a square of one colour.
constexpr int kKnobFrames = 11;
constexpr int kKnobSize = 40;
constexpr int kSwitchWidth = 30;
constexpr int kSwitchHeight = 20;

struct Place {
  int left, top, right, bottom;
  int CentreX() const { return (left + right) / 2; }
  int CentreY() const { return (top + bottom) / 2; }
};
constexpr Place kGainKnob = {10, 10, 10 + kKnobSize, 10 + kKnobSize};
constexpr Place kTrimKnob = {150, 10, 150 + kKnobSize, 10 + kKnobSize};
constexpr Place kSwitch = {80, 20, 80 + kSwitchWidth, 20 + kSwitchHeight};
constexpr Place kGainCaption = {10, 60, 90, 80};
constexpr Place kModeCaption = {100, 60, 190, 80};
constexpr Place kMissingImage = {120, 90, 120, 90};  // no image: no size

// The letter R (key code 15 + 17) grows the editor by kGrowth in both directions.
constexpr int kResizeKey = 15 + ('R' - 'A');
constexpr int kGrowth = 20;

// Colours as 0xRRGGBB.
constexpr std::uint32_t kBackgroundColour = 0x405060;
constexpr std::uint32_t kSwitchOffColour = 0x0000FF;
constexpr std::uint32_t kSwitchOnColour = 0xFFFF00;
// Frame 1..kKnobFrames of the knob strip.
constexpr std::uint32_t KnobFrameColour(int frame) {
  return static_cast<std::uint32_t>(20 * (frame - 1)) << 16 | 0xC8u << 8 | 0x10u;
}

}  // namespace test_panel
