#include "gui/scale.h"

#include "driver_link/driver_control.h"
#include "gui/gui.h"
#include "platform/screen.h"
#include "tray/debug_log.h"
#include "tray/wformat.h"

int32_t ScaleX = 0;
int32_t ScaleY = 0;

namespace {

bool IsSmall(int32_t v) {
  return v == 240 || v == 320 || v == 400;
}

bool IsLarge(int32_t v) {
  return v == 480 || v == 640 || v >= 800;
}

// A size between the listed ones gets the larger factor only when the design's 240 units still
// fit twice over; a factor of 0 would shrink the whole window to nothing.
int32_t FallbackFactor(int32_t v) {
  return v >= 480 ? 2 : 1;
}

}  // namespace

void UpdateScale(int32_t width, int32_t height) {
  if (IsSmall(width)) ScaleX = 1;
  if (IsSmall(height)) ScaleY = 1;
  if (IsLarge(width)) ScaleX = 2;
  if (IsLarge(height)) ScaleY = 2;
  if (ScaleX == 0) ScaleX = FallbackFactor(width);
  if (ScaleY == 0) ScaleY = FallbackFactor(height);
}

bool ScaledPictureName(WChar* out, size_t chars, const WChar* pattern) {
  if (chars == 0) return false;
  if (FormatWide(out, chars, pattern, ScaleX) < 0) {
    out[0] = 0;
    return false;
  }
  return true;
}

void ResetScale() {
  ScaleX = 0;
  ScaleY = 0;
}

void GUI::ComputeSize() {
  platform::ScreenMetrics screen = platform::MeasureScreen();
  ScreenWidth = screen.width;
  ScreenHeight = screen.height;
  if (screen.deskFactor > 0) {
    // A desk's device screen is drawn at the desk's scale: its factor is the backend's.
    ScaleX = ScaleY = screen.deskFactor;
  } else {
    UpdateScale(ScreenWidth, ScreenHeight);
  }
  MH = screen.taskbarFound ? screen.taskbarHeight : 0;
  if (!screen.taskbarFound || MH < kMinTaskbarHeight) MH = DRAY(kDesignMenuHeight);
  DebugLog(u"ComputeSize::Screen size: %dx%d Menu: %d", ScreenWidth, ScreenHeight, MH);
  // The driver hears of the new screen at the next InformDriver.
  driverScreen = DriverScreen{ScreenWidth, ScreenHeight, DRAX(1)};
}
