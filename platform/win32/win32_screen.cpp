// Screen service on the real API: the screen's device context for the size (on a desk's larger
// screen, the device screen that stands in for it), the shell's "HHTaskBar" window for the
// taskbar. Desktop Windows has no such window, so the caller falls back to its design height there.
#include "platform/screen.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"

namespace platform {

ScreenMetrics MeasureScreen() {
  ScreenMetrics m{0, 0, false, 0, 0};
  // Every measurement chooses again: the desk's resolution may have changed.
  win32::ShownScreen screen = win32::MeasureDesk();
  m.width = screen.width;
  m.height = screen.height;
  m.deskFactor = screen.factor;
  // An empty title, not a missing one: only the shell's own taskbar window matches.
  HWND taskbar = FindWindowW(L"HHTaskBar", L"");
  if (taskbar) {
    RECT rc = {};
    GetClientRect(taskbar, &rc);
    m.taskbarFound = true;
    m.taskbarHeight = rc.bottom - rc.top;
  }
  return m;
}

}  // namespace platform
