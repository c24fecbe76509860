// Shell service on the real API, with the desktop's stand-in for the device's Bluetooth panels and
// message boxes kept within a device-sized screen.
#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/desktop_launch.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {
namespace {

bool Execute(const wchar_t* file, const wchar_t* parameters, int showCommand, ULONG mask) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = mask;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = showCommand;
  return ShellExecuteExW(&info) != 0;
}

#ifndef _WIN32_WCE
WString SystemFolder() {
  wchar_t folder[MAX_PATH];
  UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return n && n < MAX_PATH ? WString(U(folder), n) : WString();
}

// Windows 10 and later: the Settings app's Bluetooth page (which also adds devices); earlier
// systems: the "Bluetooth Devices" control panel, from the system folder.
bool OpenDesktopBluetoothSettings(int showCommand) {
  if (Execute(L"ms-settings:bluetooth", nullptr, showCommand, SEE_MASK_FLAG_NO_UI)) return true;
  WString control = SystemFolder();
  return !control.empty() && Execute(W(control + u"\\control.exe"), L"bthprops.cpl", showCommand, SEE_MASK_FLAG_NO_UI);
}
#endif

}  // namespace

bool PlayBeep(uint32_t type) {
  return MessageBeep(type) != 0;
}

#ifndef _WIN32_WCE
namespace {

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t found[16];
  return GetClassNameW(window, found, 16) > 0 && lstrcmpiW(found, name) == 0;
}

RECT ChildPlace(HWND box, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A desktop's message box is laid out for a desktop's screen: on a device-sized one it is wider
// than the screen and its text runs off both sides. Such a box is laid out again within the work
// area: its text wrapped to the narrower width (and as many lines higher as that takes), its
// buttons centred and moved down with it, the box centred.
void FitBoxToScreen(HWND box) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT frame{}, client{};
  if (!GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &monitor) || !GetWindowRect(box, &frame) ||
      !GetClientRect(box, &client))
    return;
  const RECT work = monitor.rcWork;
  const int shrink = (frame.right - frame.left) - (work.right - work.left);
  if (shrink <= 0) return;
  HWND text = nullptr;
  std::vector<HWND> buttons;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    // The box itself is not shown yet: its children's own style says which are.
    if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;
    if (IsClass(c, L"Button")) buttons.push_back(c);
    if (IsClass(c, L"Static") && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) text = c;
  }
  if (!text) return;
  RECT t = ChildPlace(box, text);
  const int width = (t.right - t.left) - shrink;
  if (width < 32) return;  // no room for any text: left as the platform made it
  WString words(static_cast<size_t>(GetWindowTextLengthW(text)) + 1, u'\0');
  GetWindowTextW(text, W(words.data()), static_cast<int>(words.size()));
  RECT need{0, 0, width, 0};
  HDC dc = GetDC(text);
  HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
  DrawTextW(dc, W(words), -1, &need, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, font);
  ReleaseDC(text, dc);
  const int grow = std::max(0, static_cast<int>(need.bottom) - static_cast<int>(t.bottom - t.top));
  const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(text, nullptr, t.left, t.top, width, (t.bottom - t.top) + grow, keep);
  if (!buttons.empty()) {
    LONG left = LONG_MAX, right = LONG_MIN;
    for (HWND b : buttons) {
      RECT r = ChildPlace(box, b);
      left = std::min(left, r.left);
      right = std::max(right, r.right);
    }
    const LONG shift = ((client.right - shrink) - (right - left)) / 2 - left;
    for (HWND b : buttons) {
      RECT r = ChildPlace(box, b);
      SetWindowPos(b, nullptr, r.left + shift, r.top + grow, 0, 0, keep | SWP_NOSIZE);
    }
  }
  const int height = (frame.bottom - frame.top) + grow;
  const int top = work.top + std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2;
  SetWindowPos(box, nullptr, work.left, top, work.right - work.left, height, keep);
  InvalidateRect(box, nullptr, TRUE);
}

// On a desk the box opens over the device's screen, in its middle, as the device's shell shows it;
// the platform would centre it on the desk or on the framed window's whole frame, caption and all.
void CentreOnDeviceArea(HWND box) {
  RECT area{}, work{}, frame{};
  if (!win32::DeviceAreaOnDesk(area, work) || !GetWindowRect(box, &frame)) return;
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  int x = area.left + ((area.right - area.left) - w) / 2, y = area.top + ((area.bottom - area.top) - h) / 2;
  // A box wider or higher than the device's screen still stays on the desk. (The monitor's work
  // area is not asked: Wine keeps the one of the resolution it started with.)
  x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - w));
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - h));
  SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sees the box of this thread's message box once the platform has laid it out (its
// WM_INITDIALOG has returned) and before it is shown. Not at its activation: the platform gives
// its button the focus, and with it the activation, before it has placed the button.
LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && IsClass(call->hwnd, L"#32770")) {
    FitBoxToScreen(call->hwnd);
    CentreOnDeviceArea(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace
#endif

int ShowMessageBox(WindowHandle owner, const WChar* text, const WChar* caption, uint32_t flags) {
#ifdef _WIN32_WCE
  // The device's shell lays a box out for its own screen.
  return MessageBoxW(static_cast<HWND>(owner), W(text), W(caption), flags);
#else
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, BoxHook, nullptr, GetCurrentThreadId());
  int answer = MessageBoxW(static_cast<HWND>(owner), W(text), W(caption), flags);
  if (hook) UnhookWindowsHookEx(hook);
  return answer;
#endif
}

bool ShellLaunch(const WChar* file, const WChar* parameters, int showCommand) {
  if (!parameters) parameters = u"";
#ifndef _WIN32_WCE
  switch (ResolveDesktopLaunch(file, parameters)) {
    case DesktopLaunch::BluetoothSettings:
      return OpenDesktopBluetoothSettings(showCommand);
    case DesktopLaunch::Address:
      return Execute(W(parameters), nullptr, showCommand, 0);
    case DesktopLaunch::Refused:
      return false;
    case DesktopLaunch::FromSystemFolder: {
      WString path = SystemFolder();
      return !path.empty() && Execute(W(path + u"\\" + file), W(parameters), showCommand, 0);
    }
    case DesktopLaunch::AsNamed:
      break;
  }
#endif
  return Execute(W(file), W(parameters), showCommand, 0);
}

bool QueryPlatformType(WChar* buffer, uint32_t chars) {
  if (chars == 0) return false;
  buffer[0] = 0;
#ifdef _WIN32_WCE
  if (SystemParametersInfoW(SPI_GETPLATFORMTYPE, chars, W(buffer), 0)) {
    buffer[chars - 1] = 0;  // never trust the platform to terminate a full buffer
    return true;
  }
  buffer[0] = 0;
#endif
  return false;
}

CursorHandle LoadCursorById(InstanceHandle instance, int id) {
  HCURSOR cursor = LoadCursorW(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEW(id));
#ifndef _WIN32_WCE
  // A desktop module holds no system cursors of its own.
  if (!cursor && instance) cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
#endif
  return cursor;
}

CursorHandle SetCurrentCursor(CursorHandle cursor) {
  return SetCursor(static_cast<HCURSOR>(cursor));
}

int ShowCursorCount(bool show) {
  return ShowCursor(show ? TRUE : FALSE);
}

}  // namespace platform
