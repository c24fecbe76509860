#include "platform/host/host_screen.h"

namespace platform {
namespace {

ScreenMetrics& Current() {
  static ScreenMetrics metrics{240, 320, true, 26, 0};
  return metrics;
}

}  // namespace

namespace host {

void ScreenReset() {
  Current() = ScreenMetrics{240, 320, true, 26, 0};
}

void SetScreenSize(int32_t width, int32_t height) {
  Current().width = width;
  Current().height = height;
}

void SetDeskFactor(int32_t factor) {
  Current().deskFactor = factor;
}

void SetTaskbarHeight(int32_t clientHeight) {
  Current().taskbarFound = true;
  Current().taskbarHeight = clientHeight;
}

void SetNoTaskbar() {
  Current().taskbarFound = false;
  Current().taskbarHeight = 0;
}

}  // namespace host

ScreenMetrics MeasureScreen() {
  return Current();
}

}  // namespace platform
