// Message-queue service on the real API: the thread's own queue through GetMessageW.
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/win32/wide.h"

namespace platform {

int GetNextMessage(Message& msg) {
  MSG m;
  BOOL rc = GetMessageW(&m, nullptr, 0, 0);
  if (rc == -1) return -1;
  msg = Message{m.hwnd, m.message, m.wParam, m.lParam};
  return rc ? 1 : 0;
}

void EnsureMessageQueue() {
  // Any call of the window manager's queue functions creates the queue.
  MSG m;
  PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

void TranslateAndDispatch(const Message& msg) {
  MSG m = {};
  m.hwnd = static_cast<HWND>(msg.window);
  m.message = msg.message;
  m.wParam = msg.wParam;
  m.lParam = msg.lParam;
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

bool PostToThread(ThreadId thread, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return PostThreadMessageW(thread, message, wParam, lParam) != 0;
}

void PostQuit(int exitCode) {
  PostQuitMessage(exitCode);
}

ThreadId CurrentThreadId() {
  return GetCurrentThreadId();
}

bool InvalidateWindow(WindowHandle window, bool erase) {
  // InvalidateRect with no window would repaint every window of the desktop.
  if (!window) return false;
  return InvalidateRect(static_cast<HWND>(window), nullptr, erase ? TRUE : FALSE) != 0;
}

}  // namespace platform
