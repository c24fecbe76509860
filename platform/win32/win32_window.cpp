// Window service on the real API: windows, their messages and their records.
#include <algorithm>

#include "platform/win32/desk.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
#include "platform/window.h"

namespace platform {
namespace {

HWND H(WindowHandle w) {
  return static_cast<HWND>(w);
}

#ifndef _WIN32_WCE
// The device's controls are drawn in its UI font; desktop controls would otherwise take the old
// bold system font, which is too wide for a device-sized page. One font for each of the screen's
// dots per inch the process meets (a desk's scale or resolution may change), kept to its end:
// controls made before a change still use theirs.
HFONT UiFont() {
  static HFONT fonts[kLargestFactor + 1] = {};
  int dpi = win32::DeviceDpi();
  HFONT& font = fonts[std::clamp(dpi / 96, 0, kLargestFactor)];
  if (!font) {
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(8, dpi, 72);
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    font = CreateFontIndirectW(&lf);
  }
  return font;
}

bool IsStandardControl(const WChar* className) {
  if (!className || IS_INTRESOURCE(className)) return false;
  for (const wchar_t* c : {L"button", L"combobox", L"edit", L"static", L"SysTabControl32", L"SysTreeView32"}) {
    if (lstrcmpiW(W(className), c) == 0) return true;
  }
  return false;
}

// Fits a standard control to the device's look: its UI font, and for a tab strip the device's
// narrow tabs, so that five of them fit a 240-pixel screen.
void DeviceLook(HWND control, const WChar* className) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  if (lstrcmpiW(W(className), L"SysTabControl32") == 0) {
    int pad = win32::DeviceDpi() / 96;
    SendMessageW(control, 0x132B /* TCM_SETPADDING */, 0, MAKELPARAM(pad, pad));
    SendMessageW(control, 0x1331 /* TCM_SETMINTABWIDTH */, 0, 0);
  }
}
#endif

}  // namespace

namespace win32 {

HWND (*coverLookup)(HWND window) = nullptr;

int DeviceDpi() {
#ifdef _WIN32_WCE
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
#else
  // A device with a screen of VGA size or more reports 192 dots per inch, a smaller one 96; on a
  // desk the device screen's dots grow with the factor it is drawn at.
  ShownScreen screen = CurrentScreen();
  if (screen.desk && screen.factor > 0) return 96 * screen.factor;
  return (screen.width < screen.height ? screen.width : screen.height) >= 480 ? 192 : 96;
#endif
}

}  // namespace win32

WindowHandle MakeWindow(uint32_t exStyle, const WChar* className, const WChar* text, uint32_t style, int32_t x,
                        int32_t y, int32_t width, int32_t height, WindowHandle parent, uintptr_t id,
                        InstanceHandle instance) {
#ifndef _WIN32_WCE
  // The device always clips a window's painting to exclude its children and siblings; on desktop
  // Windows a page painted over the whole client area would otherwise cover its controls.
  style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
#endif
  HWND window = CreateWindowExW(exStyle, W(className), W(text), style, x, y, width, height, H(parent),
                                reinterpret_cast<HMENU>(id), static_cast<HINSTANCE>(instance), nullptr);
#ifndef _WIN32_WCE
  if (window && (style & WS_CHILD) && IsStandardControl(className)) DeviceLook(window, className);
#endif
  return window;
}

void RefreshLook(WindowHandle control) {
#ifndef _WIN32_WCE
  wchar_t className[32] = {};
  if (!GetClassNameW(H(control), className, 32) || !IsStandardControl(U(className))) return;
  DeviceLook(H(control), U(className));
  InvalidateRect(H(control), nullptr, TRUE);
#else
  (void)control;
#endif
}

bool Destroy(WindowHandle window) {
  if (!window || !IsWindow(H(window))) return false;
  return DestroyWindow(H(window)) != 0;
}

bool Exists(WindowHandle window) {
  return window && IsWindow(H(window));
}

bool IsShown(WindowHandle window) {
  return window && IsWindowVisible(H(window));
}

bool Move(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
  return MoveWindow(H(window), x, y, width, height, repaint ? TRUE : FALSE) != 0;
}

bool Show(WindowHandle window, int command) {
#ifndef _WIN32_WCE
  // Another thread's (or process's) window is shown without waiting for it: a hung owner must
  // not hang the caller. The device has no such call.
  if (GetWindowThreadProcessId(H(window), nullptr) != GetCurrentThreadId())
    return ShowWindowAsync(H(window), command) != 0;
#endif
  return ShowWindow(H(window), command) != 0;
}

void Update(WindowHandle window) {
  UpdateWindow(H(window));
}

bool Enable(WindowHandle window, bool enable) {
  return EnableWindow(H(window), enable ? TRUE : FALSE) != 0;
}

bool IsEnabled(WindowHandle window) {
  return IsWindowEnabled(H(window)) != 0;
}

WindowHandle Focus(WindowHandle window) {
  return SetFocus(H(window));
}

bool BringForward(WindowHandle window) {
#ifdef _WIN32_WCE
  // The device's convention: the lowest bit also brings the window's owned windows forward.
  return SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1)) != 0;
#else
  // On desktop Windows that bit makes an invalid handle; owned windows follow their owner anyway.
  // A framed window on a desk that a picker covers brings the picker forward: the picker is what
  // the user works with (and Wine would put the framed window in front of it).
  HWND cover = win32::coverLookup ? win32::coverLookup(H(window)) : nullptr;
  return SetForegroundWindow(cover ? cover : H(window)) != 0;
#endif
}

intptr_t Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return SendMessageW(H(window), message, wParam, lParam);
}

bool Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PostMessageW(H(window), message, wParam, lParam) != 0;
}

intptr_t DefaultProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return DefWindowProcW(H(window), message, wParam, lParam);
}

WindowHandle FindTopLevel(const WChar* className, const WChar* title) {
  return FindWindowW(W(className), W(title));
}

WindowHandle ChildById(WindowHandle parent, int id) {
  return GetDlgItem(H(parent), id);
}

Rect ClientArea(WindowHandle window) {
  RECT r = {};
  if (!window || !GetClientRect(H(window), &r)) return Rect{0, 0, 0, 0};
  return Rect{r.left, r.top, r.right, r.bottom};
}

Rect ScreenBounds(WindowHandle window) {
  RECT r = {};
  if (!window || !GetWindowRect(H(window), &r)) return Rect{0, 0, 0, 0};
  return Rect{r.left, r.top, r.right, r.bottom};
}

int ReadText(WindowHandle window, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  int n = GetWindowTextW(H(window), W(buffer), chars);
  buffer[chars - 1] = 0;
  return n;
}

bool WriteText(WindowHandle window, const WChar* text) {
  return SetWindowTextW(H(window), W(text)) != 0;
}

bool ScreenToClientPoint(WindowHandle window, Point& point) {
  POINT p = {point.x, point.y};
  if (!ScreenToClient(H(window), &p)) return false;
  point = Point{p.x, p.y};
  return true;
}

Point LastMessagePosition() {
  DWORD pos = GetMessagePos();
  return Point{static_cast<int16_t>(LOWORD(pos)), static_cast<int16_t>(HIWORD(pos))};
}

int SystemMetric(int index) {
#ifndef _WIN32_WCE
  // A device's small icons grow with its screen's dots per inch; desktop Windows reads as the
  // device of its screen's size, and on a desk as the device that stands in for it.
  if (index == SM_CXSMICON || index == SM_CYSMICON) return 16 * win32::DeviceDpi() / 96;
  if (index == SM_CXSCREEN) return win32::CurrentScreen().width;
  if (index == SM_CYSCREEN) return win32::CurrentScreen().height;
#endif
  return GetSystemMetrics(index);
}

uint32_t RegisterMessageName(const WChar* name) {
  return RegisterWindowMessageW(W(name));
}

namespace win32 {

bool ReadableRecord(const void* record, size_t bytes) {
  const char* p = static_cast<const char*>(record);
  const char* end = p + bytes;
  if (!p || end < p) return false;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (p < end) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT || !(info.Protect & kReadable) ||
        (info.Protect & PAGE_GUARD))
      return false;
    p = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

bool OwnNotification(const NMHDR* header, size_t bytes) {
  if (!ReadableRecord(header, bytes)) return false;
  DWORD process = 0;
  return header->hwndFrom && GetWindowThreadProcessId(header->hwndFrom, &process) && process == GetCurrentProcessId();
}

}  // namespace win32

Notification ReadNotification(intptr_t lParam) {
  const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
  if (!win32::OwnNotification(h, sizeof *h)) return Notification{nullptr, 0, 0};
  return Notification{h->hwndFrom, h->idFrom, static_cast<int32_t>(h->code)};
}

WindowHandle InsertAfterOf(intptr_t lParam) {
  const WINDOWPOS* p = reinterpret_cast<const WINDOWPOS*>(lParam);
  return win32::ReadableRecord(p, sizeof *p) ? p->hwndInsertAfter : nullptr;
}

}  // namespace platform
