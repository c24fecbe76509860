// Which device screen a desk's screen stands in for: screen, work area and frame to a device size
// or none.
#include "platform/desk.h"

#include <gtest/gtest.h>

namespace {

using platform::ChooseDeviceScreen;
using platform::DeskMeasures;
using platform::Rect;

TEST(DeskTest, DeviceScreenChosenForTheDesk) {
  struct Row {
    const char* label;
    int32_t screenWidth, screenHeight;
    Rect work;
    int32_t frameWidth, frameHeight;
    int32_t width, height;  // 0 x 0: none, the screen is shown as it is
  };
  // Wine's frame adds 6 x 25 pixels; a Windows 10 frame with its padded border 14 x 37.
  const Row rows[] = {
      {"a device's own screen", 240, 320, {0, 0, 240, 294}, 6, 25, 0, 0},
      {"a device's screen with a side over 800", 480, 854, {0, 0, 480, 854}, 6, 25, 0, 0},
      {"the same device lying", 854, 480, {0, 0, 854, 480}, 6, 25, 0, 0},
      {"no side longer than 800", 800, 600, {0, 0, 800, 560}, 6, 25, 0, 0},
      {"Wine's desk of 1280 x 800", 1280, 800, {0, 0, 1280, 800}, 6, 25, 480, 640},
      {"1920 x 1080 above a 40-pixel taskbar", 1920, 1080, {0, 0, 1920, 1040}, 14, 37, 480, 640},
      {"1280 x 720 above a 48-pixel taskbar", 1280, 720, {0, 0, 1280, 672}, 14, 37, 480, 640},
      {"a wide taskbar on the left leaves 480 pixels", 1280, 800, {800, 0, 1280, 800}, 6, 25, 240, 320},
      {"a work area just high enough", 1280, 640, {0, 0, 1280, 613}, 6, 25, 480, 640},
      {"a work area one pixel too short", 1280, 640, {0, 0, 1280, 612}, 6, 25, 640, 480},
      {"a side of 801", 801, 600, {0, 0, 801, 560}, 6, 25, 640, 480},
      {"a short work area", 1280, 400, {0, 0, 1280, 380}, 6, 25, 240, 320},
      {"a shorter one", 1280, 300, {0, 0, 1280, 280}, 6, 25, 320, 240},
      {"a work area no device fits", 1280, 300, {0, 0, 1280, 238}, 6, 25, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::DeviceScreen d =
        ChooseDeviceScreen(DeskMeasures{r.screenWidth, r.screenHeight, r.work, r.frameWidth, r.frameHeight});
    EXPECT_EQ(d.width, r.width);
    EXPECT_EQ(d.height, r.height);
  }
}

}  // namespace
