/* Resource numbers of the test panel's images, read by the resource script and by C++. */
#pragma once
#define TEST_PANEL_BACKGROUND_IMAGE 101
#define TEST_PANEL_KNOB_IMAGE 102
#define TEST_PANEL_SWITCH_IMAGE 103
