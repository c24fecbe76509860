// Message-queue service: the calling thread's message queue, posting to another thread's queue,
// and the repaint request of a window. Message numbers and parameters are the platform's own.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

// A thread as other threads and processes name it when they post to it.
using ThreadId = uint32_t;

inline constexpr uint32_t kWmQuit = 0x0012;

// One message as taken from a queue (the platform's MSG, without time and position).
struct Message {
  WindowHandle window;  // null for a thread message
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// Waits for the next message of the calling thread, giving the thread its queue on the first
// call. Returns 1 with a message, 0 when it is the quit message, -1 when the wait failed.
int GetNextMessage(Message& msg);
// Translates keyboard messages and hands the message to its window's procedure.
void TranslateAndDispatch(const Message& msg);
// Posts a thread message; false when the thread does not exist or has no queue yet.
bool PostToThread(ThreadId thread, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Posts the quit message (exit code in wParam) to the calling thread.
void PostQuit(int exitCode);
// The calling thread, as others post to it.
ThreadId CurrentThreadId();
// Asks for the whole client area of a window to be repainted; `erase` also erases its
// background first. A null window is ignored (it does not mean "every window").
bool InvalidateWindow(WindowHandle window, bool erase);

}  // namespace platform
