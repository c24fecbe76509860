// The device's screen on a desk's larger screen: the backend measures the display, its work area
// and the frame, keeps the device screen chosen from them (platform/desk.h), and places the
// framed window and the windows that cover its device area. The device's own screen is never a
// desk.
#include <algorithm>
#include <vector>

#include "platform/desk.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"

namespace platform::win32 {
namespace {

// The framed window: a caption with the program's title and a close box; no sizing, no maximise.
constexpr LONG_PTR kDeskStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr LONG_PTR kOtherFrames = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_BORDER | WS_DLGFRAME;

struct Desk {
  bool measured = false;
  ShownScreen shown{0, 0, false};
  RECT work{};
  // The framed window, and what it was placed for.
  HWND window = nullptr;
  DeviceScreen placedFor{0, 0};
  int32_t placedMenu = 0;
  RECT placedWork{};
  // Windows that cover the device area, and where that area's top-left corner was.
  std::vector<HWND> covers;
  POINT areaOrigin{};
};

Desk desk;

bool SameRect(const RECT& a, const RECT& b) {
  return EqualRect(&a, &b) != 0;
}

// The framed window's client area in screen coordinates.
RECT ClientOnScreen(HWND window) {
  RECT c = {};
  GetClientRect(window, &c);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&c, origin.x, origin.y);
  return c;
}

// Without a framed window yet: the device's screen centred on the work area.
RECT CentredDeviceScreen() {
  int32_t w = desk.shown.width, h = desk.shown.height;
  int32_t x = desk.work.left + (desk.work.right - desk.work.left - w) / 2;
  int32_t y = desk.work.top + (desk.work.bottom - desk.work.top - h) / 2;
  return RECT{x, y, x + w, y + h};
}

}  // namespace

ShownScreen MeasureDesk() {
  HDC dc = GetDC(nullptr);
  int32_t width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(nullptr, dc);
  desk.measured = true;
  desk.shown = ShownScreen{width, height, false};
  desk.work = RECT{0, 0, width, height};
#ifndef _WIN32_WCE
  RECT work = {};
  // Wine keeps the work area of the resolution it started with: only the part on the screen counts.
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) IntersectRect(&desk.work, &desk.work, &work);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(kDeskStyle), FALSE, 0);
  DeskMeasures m{width, height, Rect{desk.work.left, desk.work.top, desk.work.right, desk.work.bottom},
                 frame.right - frame.left, frame.bottom - frame.top};
  DeviceScreen device = ChooseDeviceScreen(m);
  if (device.width > 0) desk.shown = ShownScreen{device.width, device.height, true};
#endif
  return desk.shown;
}

ShownScreen CurrentScreen() {
  return desk.measured ? desk.shown : MeasureDesk();
}

bool PlaceOnDesk(HWND window, int32_t menuHeight) {
  ShownScreen s = CurrentScreen();
  if (!s.desk) {
    if (desk.window == window) desk.window = nullptr;
    return false;
  }
  LONG_PTR style = (GetWindowLongPtrW(window, GWL_STYLE) & ~kOtherFrames) | kDeskStyle;
  SetWindowLongPtrW(window, GWL_STYLE, style);
  RECT r = {0, 0, s.width, s.height - menuHeight};
  AdjustWindowRectEx(&r, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  int32_t w = r.right - r.left, h = r.bottom - r.top;
  RECT now = {};
  GetWindowRect(window, &now);
  // Setting changes come often; only a new device, menu height or work area puts the window
  // back in the middle of the desk.
  bool kept = desk.window == window && desk.placedFor.width == s.width && desk.placedFor.height == s.height &&
              desk.placedMenu == menuHeight && SameRect(desk.placedWork, desk.work);
  int32_t x = kept ? now.left : desk.work.left + (desk.work.right - desk.work.left - w) / 2;
  int32_t y = kept ? now.top : desk.work.top + (desk.work.bottom - desk.work.top - h) / 2;
  desk.window = window;
  desk.placedFor = DeviceScreen{s.width, s.height};
  desk.placedMenu = menuHeight;
  desk.placedWork = desk.work;
  SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

HWND DeskWindow() {
  return desk.window && IsWindow(desk.window) ? desk.window : nullptr;
}

bool CoverDeviceArea(HWND window) {
  if (!CurrentScreen().desk) return false;
  HWND framed = DeskWindow();
  RECT area = framed && framed != window ? ClientOnScreen(framed) : CentredDeviceScreen();
  if (framed && framed != window) {
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(framed));
    desk.areaOrigin = POINT{area.left, area.top};
    if (std::find(desk.covers.begin(), desk.covers.end(), window) == desk.covers.end()) desk.covers.push_back(window);
  }
  PlaceFrameless(window, area.left, area.top, area.right - area.left, area.bottom - area.top);
  return true;
}

void DeskWindowMoved(HWND window) {
  if (window != desk.window) return;
  desk.covers.erase(std::remove_if(desk.covers.begin(), desk.covers.end(), [](HWND w) { return !IsWindow(w); }),
                    desk.covers.end());
  RECT area = ClientOnScreen(window);
  int32_t dx = area.left - desk.areaOrigin.x, dy = area.top - desk.areaOrigin.y;
  desk.areaOrigin = POINT{area.left, area.top};
  if (dx == 0 && dy == 0) return;
  for (HWND cover : desk.covers) {
    RECT r = {};
    GetWindowRect(cover, &r);
    SetWindowPos(cover, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace platform::win32
