// Screen service on the real API: the screen's device context for the size, the shell's
// "HHTaskBar" window for the taskbar. Desktop Windows has no such window, so the caller falls
// back to its design height there.
#include "platform/screen.h"
#include "platform/win32/wide.h"

namespace platform {

ScreenMetrics MeasureScreen() {
  ScreenMetrics m{0, 0, false, 0};
  HDC dc = GetDC(nullptr);
  m.width = GetDeviceCaps(dc, HORZRES);
  m.height = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(nullptr, dc);
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
