// Host threads: std::thread underneath, named by identifiers that the host's message queues use.
#pragma once

#include "platform/threads.h"

namespace platform::host {

// The level last set with SetThreadPriorityLevel, or -1 when none was set.
int ThreadPriorityLevelOf(ThreadHandle thread);

// How often an event was signalled; how often TerminateThreadNow was called in this process.
int EventSignals(EventHandle event);
int TerminateCalls();

// Shared with the host's message queues.
ThreadId NewThreadId();
void AdoptThreadId(ThreadId id);
// Makes every wait of that thread's queue, current and future, end as if quit had arrived.
void TerminateQueue(ThreadId thread);

}  // namespace platform::host
