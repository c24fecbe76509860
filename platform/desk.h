// The device's screen on a desk: a desktop screen that is no device's own (none of the listed
// device sizes, a side longer than any device's) makes the program a device of a listed size,
// shown in a framed window on the desk. The choice is plain arithmetic on what the backend
// measures, so that it can be built and checked without the platform.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace platform {

// A device screen in pixels; 0 x 0 stands for none.
struct DeviceScreen {
  int32_t width, height;
};

// What the choice is made from, in pixels.
struct DeskMeasures {
  int32_t screenWidth, screenHeight;
  Rect workArea;                    // the part of the screen the desk leaves to windows
  int32_t frameWidth, frameHeight;  // what the framed window's frame and caption add to its client area
};

// True for the screen sizes devices have (240 x 320 to 480 x 854, both orientations).
bool IsDeviceScreen(int32_t width, int32_t height);

// The device screen a desk's screen stands in for: none when the screen is a device's own size or
// has no side longer than a device's; otherwise the first of 480 x 640, 640 x 480, 240 x 320 and
// 320 x 240 whose framed window fits the work area, or none when none fits. The framed window
// shows the device's screen below its taskbar (the caption stands in for that): a client area of
// the device's width and its height less one menu-bar height.
DeviceScreen ChooseDeviceScreen(const DeskMeasures& desk);

}  // namespace platform
