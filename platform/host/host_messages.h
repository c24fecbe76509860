// Test control of the host's message queues: one queue per thread, as on the device, plus a
// record of what was dispatched and which windows were asked to repaint.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/messages.h"

namespace platform::host {

struct Invalidation {
  WindowHandle window;
  bool erase;
};

// Called whenever the calling (test) thread waits for a message with none queued: the user's
// next step, which posts or sends what the user does. When it returns false the wait fails (-1).
// An empty function ends the script.
void SetWhenIdle(std::function<bool()> step);
// Puts a message for a window on the calling thread's queue (what Post does on the host).
void PostWindowMessage(const Message& msg);
// Puts a message for a window on another thread's queue; false when that thread has none.
bool PostWindowMessageTo(ThreadId thread, const Message& msg);
// Takes and dispatches the calling thread's waiting messages up to (not including) a quit
// message, without waiting; returns how many.
int DispatchPending();
// Forgets the dispatched messages, the repaint requests and the calling thread's waiting messages
// (other threads' queues are left alone).
void MessagesReset();
std::vector<Message> DispatchedMessages();
std::vector<Invalidation> Invalidations();
// Waits until `thread` has a queue that can be posted to; false on timeout.
bool WaitForQueue(ThreadId thread, uint32_t timeoutMs);
// Waits until `thread` has taken every message posted to it and waits for the next one (or has
// ended); false on timeout.
bool WaitUntilIdle(ThreadId thread, uint32_t timeoutMs);
// Makes every wait of that thread's queue, current and future, fail (-1), as a wait on a queue the
// platform could no longer serve.
void FailWaits(ThreadId thread);

// Shared with the host's window model: how a dispatched window message reaches its window (until
// it is set, no window exists to take one).
void SetWindowDelivery(void (*deliver)(const Message& msg));

}  // namespace platform::host
