// Screen service: the display's size and the height of the platform's taskbar, the three numbers
// the settings window scales its layout by.
#pragma once

#include <cstdint>

namespace platform {

struct ScreenMetrics {
  int32_t width;          // pixels, as the display reports them (HORZRES)
  int32_t height;         // pixels (VERTRES)
  bool taskbarFound;      // a top-level window of class "HHTaskBar" with an empty title exists
  int32_t taskbarHeight;  // that window's client height (bottom - top); 0 when not found
};

// Measures the screen now; there is no failure path, the platform's answers are taken as given.
ScreenMetrics MeasureScreen();

}  // namespace platform
