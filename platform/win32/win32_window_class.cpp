// Window classes on the real API. The logic's window procedures are plain functions; each one is
// given a WNDPROC of its own from a small set of trampolines, so that the platform's calling
// convention stays in this file.
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr int kProcSlots = 8;
WindowProc procs[kProcSlots];

template <int N>
LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  win32::BeforeWindowMessage(hwnd, message, wParam, lParam);
  return static_cast<LRESULT>(procs[N](hwnd, message, wParam, lParam));
}

const WNDPROC kTrampolines[kProcSlots] = {Trampoline<0>, Trampoline<1>, Trampoline<2>, Trampoline<3>,
                                          Trampoline<4>, Trampoline<5>, Trampoline<6>, Trampoline<7>};

// The same procedure always gets the same trampoline; null when every slot is taken.
WNDPROC TrampolineFor(WindowProc proc) {
  for (int i = 0; i < kProcSlots; ++i) {
    if (procs[i] == proc) return kTrampolines[i];
    if (!procs[i]) {
      procs[i] = proc;
      return kTrampolines[i];
    }
  }
  return nullptr;
}

}  // namespace

bool WindowClassExists(InstanceHandle instance, const WChar* name) {
  WNDCLASSW wc;
  return GetClassInfoW(static_cast<HINSTANCE>(instance), W(name), &wc) != 0;
}

bool RegisterWindowClass(const WindowClass& c) {
  WNDPROC proc = TrampolineFor(c.proc);
  if (!proc) return false;
  WNDCLASSW wc = {};
  wc.style = c.style;
  wc.lpfnWndProc = proc;
  wc.hInstance = static_cast<HINSTANCE>(c.instance);
  wc.hIcon = static_cast<HICON>(c.icon);
  wc.hCursor = c.cursorId ? LoadCursorW(nullptr, MAKEINTRESOURCEW(c.cursorId)) : nullptr;
  uintptr_t background = c.background;
#ifndef _WIN32_WCE
  // The device writes a system colour brush as 0x40000000 | (colour + 1); desktop Windows takes
  // the colour + 1 alone.
  if (background & 0x40000000) background &= 0xFFFF;
#endif
  wc.hbrBackground = reinterpret_cast<HBRUSH>(background);
  wc.lpszClassName = W(c.name);
  return RegisterClassW(&wc) != 0;
}

bool UnregisterWindowClass(InstanceHandle instance, const WChar* name) {
  return UnregisterClassW(W(name), static_cast<HINSTANCE>(instance)) != 0;
}

}  // namespace platform
