// Thread service: threads created, prioritised, stopped and waited for by handle.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/owned_handle.h"

namespace platform {

using ThreadProc = uint32_t (*)(void* parameter);

// The device's priority levels: 0 is the highest, 3 normal, 7 idle.
inline constexpr int kThreadPriorityAboveNormal = 2;
inline constexpr int kThreadPriorityNormal = 3;

// Starts `proc(parameter)` at once on a new thread; null on failure. Its stack reserves
// `stackBytes` of address space (0: the program's default size). The handle is owned by the
// caller and released with CloseThread.
ThreadHandle StartThread(ThreadProc proc, void* parameter, uint32_t stackBytes = 0);
// Sets the priority by the device's level (0 to 7); false when the level is out of range or
// the platform refuses.
bool SetThreadPriorityLevel(ThreadHandle thread, int level);
// Stops a thread from outside. Only safe for a thread that waits for a message and holds no
// lock; on the host double the thread leaves that wait as if it had received the quit message.
bool TerminateThreadNow(ThreadHandle thread, uint32_t exitCode);
// True when the thread has ended within `timeoutMs` milliseconds.
bool WaitThread(ThreadHandle thread, uint32_t timeoutMs);
// The thread's identifier, which other threads and processes post to.
ThreadId ThreadIdOf(ThreadHandle thread);
// Releases the handle; the thread itself runs on.
void CloseThread(ThreadHandle thread);

// An unnamed auto-reset event, not signalled; null on failure. Released with CloseEvent.
EventHandle MakeEvent();
bool SignalEvent(EventHandle event);
void CloseEvent(EventHandle event);
// The owner of an event: closed when the owner lets go.
using OwnedEvent = OwnedHandle<ReleasedBy<CloseEvent>>;

}  // namespace platform
