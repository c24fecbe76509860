// Host model of the platform's thread message queues: a queue is created by a thread's first wait
// (or EnsureMessageQueue) and goes away when the thread ends; posting to a thread without one
// fails, as on the device.
#include "platform/host/host_messages.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/host/host_threads.h"
#include "platform/testing.h"

namespace platform {
namespace {

struct Queue {
  std::deque<Message> items;
  bool waiting = false;     // the owner is blocked in GetNextMessage with nothing to take
  bool terminated = false;  // TerminateThreadNow: every wait ends at once
  bool failing = false;     // FailWaits: every wait fails at once
};

struct Queues {
  std::mutex lock;
  std::condition_variable changed;
  std::map<ThreadId, std::shared_ptr<Queue>> byThread;
  std::vector<Message> dispatched;
  std::vector<host::Invalidation> invalidations;
};

Queues& Q() {
  static Queues q;
  return q;
}

std::atomic<ThreadId> nextThreadId{0x1000};
std::function<bool()> whenIdle;
// The window model's delivery of a window message; set once the model makes a window.
std::atomic<void (*)(const Message&)> windowDelivery{nullptr};
ThreadId idleThread = 0;
thread_local ThreadId currentId = 0;

// Removes the thread's queue when the thread ends.
struct QueueOwner {
  ThreadId id = 0;
  ~QueueOwner() {
    if (!id) return;
    Queues& q = Q();
    std::lock_guard<std::mutex> g(q.lock);
    q.byThread.erase(id);
    q.changed.notify_all();
  }
};
thread_local QueueOwner queueOwner;

std::shared_ptr<Queue> OwnQueue(Queues& q) {
  ThreadId me = CurrentThreadId();
  auto& slot = q.byThread[me];
  if (!slot) slot = std::make_shared<Queue>();
  queueOwner.id = me;
  return slot;
}

}  // namespace

ThreadId host::NewThreadId() {
  return nextThreadId.fetch_add(1);
}

void host::AdoptThreadId(ThreadId id) {
  currentId = id;
}

namespace {

// Sets one of the queue's marks, making a queue for a thread that has none yet, and wakes its
// waits.
void MarkQueue(ThreadId thread, bool Queue::*mark) {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  auto& slot = q.byThread[thread];
  if (!slot) slot = std::make_shared<Queue>();
  (*slot).*mark = true;
  q.changed.notify_all();
}

}  // namespace

void host::TerminateQueue(ThreadId thread) {
  MarkQueue(thread, &Queue::terminated);
}

void host::FailWaits(ThreadId thread) {
  MarkQueue(thread, &Queue::failing);
}

ThreadId CurrentThreadId() {
  if (!currentId) currentId = host::NewThreadId();
  return currentId;
}

void EnsureMessageQueue() {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  OwnQueue(q);
  q.changed.notify_all();
}

int GetNextMessage(Message& msg) {
  Queues& q = Q();
  std::unique_lock<std::mutex> g(q.lock);
  std::shared_ptr<Queue> mine = OwnQueue(q);
  q.changed.notify_all();
  // The user's next step, while the test's own thread waits for input.
  while (mine->items.empty() && !mine->terminated && idleThread == CurrentThreadId() && whenIdle) {
    auto step = whenIdle;
    g.unlock();
    bool acted = step();
    g.lock();
    if (!acted) return -1;
  }
  while (mine->items.empty() && !mine->terminated && !mine->failing) {
    mine->waiting = true;
    q.changed.notify_all();
    q.changed.wait(g);
  }
  mine->waiting = false;
  if (mine->failing) return -1;
  if (mine->terminated) return 0;
  msg = mine->items.front();
  mine->items.pop_front();
  q.changed.notify_all();
  return msg.message == kWmQuit ? 0 : 1;
}

void TranslateAndDispatch(const Message& msg) {
  {
    Queues& q = Q();
    std::lock_guard<std::mutex> g(q.lock);
    q.dispatched.push_back(msg);
  }
  if (!msg.window) return;
  if (void (*deliver)(const Message&) = windowDelivery.load()) deliver(msg);
}

bool PostToThread(ThreadId thread, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return host::PostWindowMessageTo(thread, Message{nullptr, message, wParam, lParam});
}

void PostQuit(int exitCode) {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  OwnQueue(q)->items.push_back(Message{nullptr, kWmQuit, static_cast<uintptr_t>(exitCode), 0});
  q.changed.notify_all();
}

bool InvalidateWindow(WindowHandle window, bool erase) {
  if (!window) return false;
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  q.invalidations.push_back(host::Invalidation{window, erase});
  return true;
}

namespace host {

void SetWindowDelivery(void (*deliver)(const Message& msg)) {
  windowDelivery = deliver;
}

void SetWhenIdle(std::function<bool()> step) {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  whenIdle = std::move(step);
  idleThread = whenIdle ? CurrentThreadId() : 0;
}

void PostWindowMessage(const Message& msg) {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  OwnQueue(q)->items.push_back(msg);
  q.changed.notify_all();
}

bool PostWindowMessageTo(ThreadId thread, const Message& msg) {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  auto it = q.byThread.find(thread);
  if (it == q.byThread.end()) return false;
  it->second->items.push_back(msg);
  q.changed.notify_all();
  return true;
}

int DispatchPending() {
  int n = 0;
  for (;;) {
    Message msg;
    {
      Queues& q = Q();
      std::lock_guard<std::mutex> g(q.lock);
      std::shared_ptr<Queue> mine = OwnQueue(q);
      if (mine->items.empty() || mine->items.front().message == kWmQuit) return n;
      msg = mine->items.front();
      mine->items.pop_front();
      q.changed.notify_all();
    }
    TranslateAndDispatch(msg);
    ++n;
  }
}

void MessagesReset() {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  OwnQueue(q)->items.clear();
  q.dispatched.clear();
  q.invalidations.clear();
}

std::vector<Message> DispatchedMessages() {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  return q.dispatched;
}

std::vector<Invalidation> Invalidations() {
  Queues& q = Q();
  std::lock_guard<std::mutex> g(q.lock);
  return q.invalidations;
}

bool WaitForQueue(ThreadId thread, uint32_t timeoutMs) {
  Queues& q = Q();
  std::unique_lock<std::mutex> g(q.lock);
  return q.changed.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] { return q.byThread.count(thread) != 0; });
}

bool WaitUntilIdle(ThreadId thread, uint32_t timeoutMs) {
  Queues& q = Q();
  std::unique_lock<std::mutex> g(q.lock);
  return q.changed.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] {
    auto it = q.byThread.find(thread);
    return it == q.byThread.end() || (it->second->items.empty() && it->second->waiting);
  });
}

}  // namespace host
}  // namespace platform
