// Which device screen a desk's screen stands in for: screen, work area, frame and the desk's scale
// to a device size and the factor it is drawn at, or none.
#include "platform/win32/desk.h"

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
    int32_t dpi;
    int32_t width, height;  // 0 x 0: none, the screen is shown as it is
    int32_t factor;         // the layout factor it is drawn at
    int32_t drawnWidth, drawnHeight;
  };
  // Wine's frame adds 6 x 25 pixels at 96 dots per inch, 9 x 37 at 144, 12 x 50 at 192; a Windows
  // 10 frame with its padded border 14 x 37.
  const Row rows[] = {
      {"a device's own screen", 240, 320, {0, 0, 240, 294}, 6, 25, 96, 0, 0, 0, 0, 0},
      {"a device's own screen on a scaled desk", 480, 640, {0, 0, 480, 640}, 12, 50, 192, 0, 0, 0, 0, 0},
      {"a device's screen with a side over 800", 480, 854, {0, 0, 480, 854}, 6, 25, 96, 0, 0, 0, 0, 0},
      {"the same device lying", 854, 480, {0, 0, 854, 480}, 6, 25, 96, 0, 0, 0, 0, 0},
      {"no side longer than 800", 800, 600, {0, 0, 800, 560}, 6, 25, 96, 0, 0, 0, 0, 0},
      {"Wine's desk of 1280 x 800", 1280, 800, {0, 0, 1280, 800}, 6, 25, 96, 480, 640, 2, 480, 640},
      {"1920 x 1080 above a 40-pixel taskbar", 1920, 1080, {0, 0, 1920, 1040}, 14, 37, 96, 480, 640, 2, 480, 640},
      {"1280 x 720 above a 48-pixel taskbar", 1280, 720, {0, 0, 1280, 672}, 14, 37, 96, 480, 640, 2, 480, 640},
      {"a wide taskbar on the left leaves 480 pixels",
       1280,
       800,
       {800, 0, 1280, 800},
       6,
       25,
       96,
       240,
       320,
       1,
       240,
       320},
      {"a work area just high enough", 1280, 640, {0, 0, 1280, 613}, 6, 25, 96, 480, 640, 2, 480, 640},
      {"a work area one pixel too short", 1280, 640, {0, 0, 1280, 612}, 6, 25, 96, 640, 480, 2, 640, 480},
      {"a side of 801", 801, 600, {0, 0, 801, 560}, 6, 25, 96, 640, 480, 2, 640, 480},
      {"a short work area", 1280, 400, {0, 0, 1280, 380}, 6, 25, 96, 240, 320, 1, 240, 320},
      {"a shorter one", 1280, 300, {0, 0, 1280, 280}, 6, 25, 96, 320, 240, 1, 320, 240},
      {"a work area no device fits", 1280, 300, {0, 0, 1280, 238}, 6, 25, 96, 0, 0, 0, 0, 0},
      {"fewer dots than an unscaled desk", 1280, 800, {0, 0, 1280, 800}, 6, 25, 72, 480, 640, 2, 480, 640},
      {"125 %: no whole factor more", 1920, 1080, {0, 0, 1920, 1040}, 14, 37, 120, 480, 640, 2, 480, 640},
      {"150 % on 1920 x 1200", 1920, 1200, {0, 0, 1920, 1200}, 9, 37, 144, 480, 640, 3, 720, 960},
      {"150 % on 1920 x 1080 above a taskbar", 1920, 1080, {0, 0, 1920, 1020}, 9, 37, 144, 480, 640, 3, 720, 960},
      {"200 % on 2560 x 1600", 2560, 1600, {0, 0, 2560, 1600}, 12, 50, 192, 480, 640, 4, 960, 1280},
      {"200 % too low for an upright device", 1920, 1080, {0, 0, 1920, 1000}, 12, 50, 192, 640, 480, 4, 1280, 960},
      {"200 % where only the small device fits", 1280, 800, {0, 0, 1280, 760}, 12, 50, 192, 240, 320, 2, 480, 640},
      {"150 %: the small device in whole factors", 1280, 600, {0, 0, 1280, 560}, 9, 37, 144, 240, 320, 1, 240, 320},
      {"300 %: no picture beyond factor 4", 3840, 2160, {0, 0, 3840, 2100}, 18, 75, 288, 480, 640, 4, 960, 1280},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::DeviceScreen d =
        ChooseDeviceScreen(DeskMeasures{r.screenWidth, r.screenHeight, r.work, r.frameWidth, r.frameHeight, r.dpi});
    EXPECT_EQ(d.width, r.width);
    EXPECT_EQ(d.height, r.height);
    EXPECT_EQ(d.factor, r.factor);
    EXPECT_EQ(platform::DrawnSize(d, d.width), r.drawnWidth);
    EXPECT_EQ(platform::DrawnSize(d, d.height), r.drawnHeight);
  }
}

}  // namespace
