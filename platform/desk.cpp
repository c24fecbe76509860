#include "platform/desk.h"

namespace platform {
namespace {

// The sizes devices report, in either orientation.
constexpr DeviceScreen kDeviceScreens[] = {{240, 320}, {240, 240}, {320, 320}, {240, 400}, {480, 640},
                                           {480, 480}, {480, 800}, {480, 854}, {320, 480}};
// No device has a longer side.
constexpr int32_t kLongestDeviceSide = 800;

// The sizes a desk offers, in order of preference: the largest first, upright before lying. Each
// with the height of that device's menu bar (26 design rows at its vertical factor), which the
// framed window leaves out with the taskbar.
struct Candidate {
  DeviceScreen screen;
  int32_t menuHeight;
};
constexpr Candidate kCandidates[] = {{{480, 640}, 52}, {{640, 480}, 52}, {{240, 320}, 26}, {{320, 240}, 26}};

}  // namespace

bool IsDeviceScreen(int32_t width, int32_t height) {
  for (const DeviceScreen& d : kDeviceScreens) {
    if ((width == d.width && height == d.height) || (width == d.height && height == d.width)) return true;
  }
  return false;
}

DeviceScreen ChooseDeviceScreen(const DeskMeasures& desk) {
  if (IsDeviceScreen(desk.screenWidth, desk.screenHeight)) return DeviceScreen{0, 0};
  if (desk.screenWidth <= kLongestDeviceSide && desk.screenHeight <= kLongestDeviceSide) return DeviceScreen{0, 0};
  int32_t workWidth = desk.workArea.right - desk.workArea.left;
  int32_t workHeight = desk.workArea.bottom - desk.workArea.top;
  for (const Candidate& c : kCandidates) {
    int32_t width = c.screen.width + desk.frameWidth;
    int32_t height = c.screen.height - c.menuHeight + desk.frameHeight;
    if (width <= workWidth && height <= workHeight) return c.screen;
  }
  return DeviceScreen{0, 0};
}

}  // namespace platform
