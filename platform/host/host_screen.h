// Host double of the screen service: tests set the display size and the taskbar.
#pragma once

#include <cstdint>

#include "platform/screen.h"

namespace platform::host {

// Back to the default: 240 x 320 with a taskbar of 26 pixels.
void ScreenReset();
void SetScreenSize(int32_t width, int32_t height);
// A desk's device screen drawn at `factor` (0: a device's own screen, as by default).
void SetDeskFactor(int32_t factor);
void SetTaskbarHeight(int32_t clientHeight);
void SetNoTaskbar();

}  // namespace platform::host
