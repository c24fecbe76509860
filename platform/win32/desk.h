// The device's screen on a desk: a desktop screen that is no device's own (none of the listed
// device sizes, a side longer than any device's) makes the program a device of a listed size,
// shown in a framed window on the desk, drawn at the desk's own scale. The choice is plain
// arithmetic on what the backend measures, so that it can be built and checked without the
// platform.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace platform {

// A device screen: its size in the device's own pixels (0 x 0 stands for none) and the layout
// factor it is drawn at on the desk.
struct DeviceScreen {
  int32_t width, height;
  int32_t factor;
};

// The dots per inch of an unscaled desk.
inline constexpr int32_t kUnscaledDpi = 96;
// The largest layout factor the pictures are drawn for.
inline constexpr int32_t kLargestFactor = 4;

// What the choice is made from, in pixels.
struct DeskMeasures {
  int32_t screenWidth, screenHeight;
  Rect workArea;                    // the part of the screen the desk leaves to windows
  int32_t frameWidth, frameHeight;  // what the framed window's frame and caption add to its client area
  int32_t dpi;                      // the desk's dots per inch: 96 unscaled, 144 at 150 %, 192 at 200 %
};

// True for the screen sizes devices have (240 x 320 to 480 x 854, both orientations).
bool IsDeviceScreen(int32_t width, int32_t height);

// The factor a device's own screen lays out at: 2 from 480 pixels on the shorter side, else 1.
int32_t DeviceFactor(int32_t width, int32_t height);

// The device screen a desk's screen stands in for: none when the screen is a device's own size or
// has no side longer than a device's; otherwise the first of 480 x 640, 640 x 480, 240 x 320 and
// 320 x 240 whose framed window fits the work area, or none when none fits. Each is drawn at the
// device's own factor times the desk's scale, rounded down to a whole factor (never below the
// device's own, never above kLargestFactor). The framed window shows the device's screen below
// its taskbar (the caption stands in for that): a client area of the drawn width and the drawn
// height less one menu-bar height (26 design rows at the factor).
DeviceScreen ChooseDeviceScreen(const DeskMeasures& desk);

// The size in pixels a device screen is drawn at on the desk: its own size times its factor over
// the device's own factor.
int32_t DrawnSize(const DeviceScreen& device, int32_t side);

}  // namespace platform
