#include "platform/win32/desk.h"

#include <algorithm>

namespace platform {
namespace {

// The sizes devices report, in either orientation.
constexpr DeviceScreen kDeviceScreens[] = {{240, 320, 1}, {240, 240, 1}, {320, 320, 1}, {240, 400, 1}, {480, 640, 2},
                                           {480, 480, 2}, {480, 800, 2}, {480, 854, 2}, {320, 480, 1}};
// No device has a longer side.
constexpr int32_t kLongestDeviceSide = 800;
// The device's menu bar, in design rows: the framed window leaves it out with the taskbar.
constexpr int32_t kMenuRows = 26;

// The sizes a desk offers, in order of preference: the largest first, upright before lying.
constexpr DeviceScreen kCandidates[] = {{480, 640, 2}, {640, 480, 2}, {240, 320, 1}, {320, 240, 1}};

// The device's own factor times the desk's scale, in whole steps: a picture is drawn for each
// whole factor, and a fraction would leave the layout's design units uneven.
int32_t DeskFactor(int32_t own, int32_t dpi) {
  int32_t scaled = dpi > kUnscaledDpi ? own * dpi / kUnscaledDpi : own;
  return std::clamp(scaled, own, std::max(own, kLargestFactor));
}

}  // namespace

bool IsDeviceScreen(int32_t width, int32_t height) {
  for (const DeviceScreen& d : kDeviceScreens) {
    if ((width == d.width && height == d.height) || (width == d.height && height == d.width)) return true;
  }
  return false;
}

int32_t DeviceFactor(int32_t width, int32_t height) {
  return std::min(width, height) >= 480 ? 2 : 1;
}

int32_t DrawnSize(const DeviceScreen& device, int32_t side) {
  return side * device.factor / DeviceFactor(device.width, device.height);
}

DeviceScreen ChooseDeviceScreen(const DeskMeasures& desk) {
  const DeviceScreen none{0, 0, 0};
  if (IsDeviceScreen(desk.screenWidth, desk.screenHeight)) return none;
  if (desk.screenWidth <= kLongestDeviceSide && desk.screenHeight <= kLongestDeviceSide) return none;
  int32_t workWidth = desk.workArea.right - desk.workArea.left;
  int32_t workHeight = desk.workArea.bottom - desk.workArea.top;
  for (DeviceScreen c : kCandidates) {
    c.factor = DeskFactor(c.factor, desk.dpi);
    int32_t width = DrawnSize(c, c.width) + desk.frameWidth;
    int32_t height = DrawnSize(c, c.height) - kMenuRows * c.factor + desk.frameHeight;
    if (width <= workWidth && height <= workHeight) return c;
  }
  return none;
}

}  // namespace platform
