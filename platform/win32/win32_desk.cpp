// The device's screen on a desk's larger screen: the backend measures the display, its work area
// and the frame, keeps the device screen chosen from them (desk.h), and places the
// framed window and the windows that cover its device area. The device's own screen is never a
// desk.
#include <algorithm>
#include <vector>

#include "platform/win32/desk.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"

namespace platform::win32 {
namespace {

// The framed window: a caption with the program's title and a close box; no sizing, no maximise.
constexpr LONG_PTR kDeskStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr LONG_PTR kOtherFrames = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_BORDER | WS_DLGFRAME;

struct Desk {
  bool measured = false;
  ShownScreen shown{0, 0, false, 0};
  RECT work{};
  // The framed window, and what it was placed for.
  HWND window = nullptr;
  ShownScreen placedFor{0, 0, false, 0};
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

// Drops the covers that are gone.
void PruneCovers() {
  desk.covers.erase(std::remove_if(desk.covers.begin(), desk.covers.end(), [](HWND w) { return !IsWindow(w); }),
                    desk.covers.end());
}

bool InFrontOf(HWND a, HWND b) {
  for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == b) return true;
  }
  return false;
}

// Puts `window` directly in front of `behind`, unless it is in front of it already.
void PutInFront(HWND window, HWND behind) {
  if (InFrontOf(window, behind)) return;
  HWND after = GetWindow(behind, GW_HWNDPREV);
  SetWindowPos(window, after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // What the framed window drew over it is not given back by the new order alone.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Windows keeps owned windows in front of their owner. Wine, when it moves or raises the framed
// window, may put it in front of them and tell nobody: the covers, and the windows they own (their
// soft keys), are put back in front.
void RaiseCovers() {
  PruneCovers();
  for (HWND cover : desk.covers) {
    PutInFront(cover, desk.window);
    std::vector<HWND> owned;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      if (GetWindow(w, GW_OWNER) == cover) owned.push_back(w);
    }
    for (HWND w : owned) PutInFront(w, cover);
  }
}

// The framed window has moved or changed its place in the order of windows: the covers move with
// its device area and stay in front of it.
void FollowDeviceArea() {
  PruneCovers();
  RECT area = ClientOnScreen(desk.window);
  int32_t dx = area.left - desk.areaOrigin.x, dy = area.top - desk.areaOrigin.y;
  desk.areaOrigin = POINT{area.left, area.top};
  if (dx != 0 || dy != 0) {
    for (HWND cover : desk.covers) {
      RECT r = {};
      GetWindowRect(cover, &r);
      SetWindowPos(cover, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  RaiseCovers();
}

}  // namespace

ShownScreen MeasureDesk() {
  HDC dc = GetDC(nullptr);
  int32_t width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
  desk.measured = true;
  // A program aware of the desk's scale reads the desk's own dots per inch here.
  int32_t dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  desk.shown = ShownScreen{width, height, false, 0};
  desk.work = RECT{0, 0, width, height};
#ifndef _WIN32_WCE
  RECT work = {};
  // Wine keeps the work area of the resolution it started with: only the part on the screen counts.
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) IntersectRect(&desk.work, &desk.work, &work);
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(kDeskStyle), FALSE, 0);
  DeskMeasures m{width,
                 height,
                 Rect{desk.work.left, desk.work.top, desk.work.right, desk.work.bottom},
                 frame.right - frame.left,
                 frame.bottom - frame.top,
                 dpi};
  DeviceScreen device = ChooseDeviceScreen(m);
  if (device.width > 0)
    desk.shown = ShownScreen{DrawnSize(device, device.width), DrawnSize(device, device.height), true, device.factor};
#else
  (void)dpi;
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
              desk.placedFor.factor == s.factor && desk.placedMenu == menuHeight &&
              SameRect(desk.placedWork, desk.work);
  int32_t x = kept ? now.left : desk.work.left + (desk.work.right - desk.work.left - w) / 2;
  int32_t y = kept ? now.top : desk.work.top + (desk.work.bottom - desk.work.top - h) / 2;
  desk.window = window;
  desk.placedFor = s;
  desk.placedMenu = menuHeight;
  desk.placedWork = desk.work;
  SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return true;
}

HWND DeskWindow() {
  return desk.window && IsWindow(desk.window) ? desk.window : nullptr;
}

bool DeviceAreaOnDesk(RECT& area, RECT& work) {
  HWND framed = DeskWindow();
  if (!framed || !CurrentScreen().desk) return false;
  area = ClientOnScreen(framed);
  work = desk.work;
  return true;
}

bool CoverDeviceArea(HWND window) {
  if (!CurrentScreen().desk) return false;
  HWND framed = DeskWindow();
  RECT area = framed && framed != window ? ClientOnScreen(framed) : CentredDeviceScreen();
  if (framed && framed != window) {
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(framed));
    desk.areaOrigin = POINT{area.left, area.top};
    if (std::find(desk.covers.begin(), desk.covers.end(), window) == desk.covers.end()) desk.covers.push_back(window);
    coverLookup = CoverOf;
    // On the device nothing but the full-screen window can be reached; on the desk the frame
    // could be, so it takes no input until the last cover has gone.
    EnableWindow(framed, FALSE);
  }
  PlaceFrameless(window, area.left, area.top, area.right - area.left, area.bottom - area.top);
  return true;
}

HWND CoverOf(HWND window) {
  PruneCovers();
  return window == DeskWindow() && !desk.covers.empty() ? desk.covers.back() : nullptr;
}

void DeskWindowMessage(HWND window, UINT message) {
  if (message == WM_DESTROY) {
    auto gone = std::find(desk.covers.begin(), desk.covers.end(), window);
    if (gone == desk.covers.end()) return;
    desk.covers.erase(gone);
    PruneCovers();
    if (desk.covers.empty() && DeskWindow()) EnableWindow(desk.window, TRUE);
    return;
  }
  if (message == WM_WINDOWPOSCHANGED && window == desk.window && !desk.covers.empty()) FollowDeviceArea();
}

}  // namespace platform::win32
