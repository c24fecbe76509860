// The smallest program of ours that proves the Windows build end to end: it reads the debug
// switch, writes a line to the debug log and shows a window for a few seconds.
#include <cstdlib>

#include "platform/win32/wide.h"
#include "tray/debug_log.h"
#include "tray/registry_access.h"

namespace {

LRESULT CALLBACK SmokeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      HBRUSH blue = CreateSolidBrush(RGB(0, 64, 160));
      RECT band = {rc.left, rc.top, rc.right, rc.top + 40};
      FillRect(dc, &band, blue);
      DeleteObject(blue);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(255, 255, 255));
      DrawTextW(dc, L"Quillmote", -1, &band, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR cmdLine, int) {
  ReadSetting(u"EnableDebug", platform::kRegDword, &debugEnabled, sizeof debugEnabled);
  int seconds = _wtoi(cmdLine);
  if (seconds <= 0) seconds = 5;

  WNDCLASSW wc = {};
  wc.lpfnWndProc = SmokeProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"MORVANE.QuillmoteSmoke";
  if (!RegisterClassW(&wc)) return 2;
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"Quillmote", WS_OVERLAPPEDWINDOW, 0, 0, 240, 320, nullptr, nullptr,
                            instance, nullptr);
  if (!hwnd) return 3;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  DebugLog(u"smoke: window shown %dx%d", 240, 320);
  SetTimer(hwnd, 1, static_cast<UINT>(seconds) * 1000, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DebugLog(u"smoke: done");
  return static_cast<int>(msg.wParam);
}
