// Screen service: the display's size and the height of the platform's taskbar, the three numbers
// the settings window scales its layout by.
#pragma once

#include <cstdint>

namespace platform {

// On a desk's larger screen (platform/win32/desk.h) the size is that of the device screen that
// stands in for it, in the pixels it is drawn at, and the layout factor is the one it is drawn at.
struct ScreenMetrics {
  int32_t width;          // pixels, as the display reports them (HORZRES)
  int32_t height;         // pixels (VERTRES)
  bool taskbarFound;      // a top-level window of class "HHTaskBar" with an empty title exists
  int32_t taskbarHeight;  // that window's client height (bottom - top); 0 when not found
  int32_t deskFactor;     // on a desk, the layout factor of both axes; 0: the screen's size decides
};

// Measures the screen now (and chooses the desk's device screen again); there is no failure path,
// the platform's answers are taken as given.
ScreenMetrics MeasureScreen();

}  // namespace platform
