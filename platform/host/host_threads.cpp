// Host model of the platform's threads. A host thread cannot be killed from outside; a thread
// that waits for a message (the only kind the program stops that way) leaves its wait instead.
#include "platform/host/host_threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/testing.h"

namespace platform {
namespace {

struct HostThread {
  ThreadId id = 0;
  int priority = -1;
  std::thread thread;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
};

std::atomic<int> terminateCalls{0};

// The handle holds one reference, the running thread another.
struct Handle {
  std::shared_ptr<HostThread> t;
};

HostThread* Of(ThreadHandle h) {
  return h ? static_cast<Handle*>(h)->t.get() : nullptr;
}

}  // namespace

// The host's threads take the host's own stack size.
ThreadHandle StartThread(ThreadProc proc, void* parameter, uint32_t) {
  auto t = std::make_shared<HostThread>();
  t->id = host::NewThreadId();
  t->thread = std::thread([t, proc, parameter] {
    host::AdoptThreadId(t->id);
    proc(parameter);
    std::lock_guard<std::mutex> g(t->lock);
    t->done = true;
    t->ended.notify_all();
  });
  return new Handle{t};
}

bool SetThreadPriorityLevel(ThreadHandle thread, int level) {
  HostThread* t = Of(thread);
  if (!t || level < 0 || level > 7) return false;
  std::lock_guard<std::mutex> g(t->lock);
  t->priority = level;
  return true;
}

bool TerminateThreadNow(ThreadHandle thread, uint32_t) {
  HostThread* t = Of(thread);
  if (!t) return false;
  ++terminateCalls;
  {
    std::lock_guard<std::mutex> g(t->lock);
    if (t->done) return true;
  }
  host::TerminateQueue(t->id);
  return true;
}

bool WaitThread(ThreadHandle thread, uint32_t timeoutMs) {
  HostThread* t = Of(thread);
  if (!t) return false;
  std::unique_lock<std::mutex> g(t->lock);
  return t->ended.wait_for(g, std::chrono::milliseconds(timeoutMs), [t] { return t->done; });
}

ThreadId ThreadIdOf(ThreadHandle thread) {
  HostThread* t = Of(thread);
  return t ? t->id : 0;
}

void CloseThread(ThreadHandle thread) {
  auto* h = static_cast<Handle*>(thread);
  if (!h) return;
  bool done;
  {
    std::lock_guard<std::mutex> g(h->t->lock);
    done = h->t->done;
  }
  // A finished thread is joined; one still running goes on by itself, as a platform thread does
  // when its handle is closed.
  if (done) {
    h->t->thread.join();
  } else {
    h->t->thread.detach();
  }
  delete h;
}

namespace {

struct HostEvent {
  std::mutex lock;
  std::condition_variable signalled;
  bool set = false;
  int signals = 0;
};

}  // namespace

EventHandle MakeEvent() {
  return new HostEvent;
}

bool SignalEvent(EventHandle event) {
  auto* e = static_cast<HostEvent*>(event);
  if (!e) return false;
  std::lock_guard<std::mutex> g(e->lock);
  e->set = true;
  ++e->signals;
  e->signalled.notify_all();
  return true;
}

bool WaitEvent(EventHandle event, uint32_t timeoutMs) {
  auto* e = static_cast<HostEvent*>(event);
  if (!e) return false;
  std::unique_lock<std::mutex> g(e->lock);
  if (!e->signalled.wait_for(g, std::chrono::milliseconds(timeoutMs), [e] { return e->set; })) return false;
  e->set = false;
  return true;
}

void CloseEvent(EventHandle event) {
  delete static_cast<HostEvent*>(event);
}

namespace host {

int EventSignals(EventHandle event) {
  auto* e = static_cast<HostEvent*>(event);
  if (!e) return 0;
  std::lock_guard<std::mutex> g(e->lock);
  return e->signals;
}

int TerminateCalls() {
  return terminateCalls.load();
}

int ThreadPriorityLevelOf(ThreadHandle thread) {
  HostThread* t = Of(thread);
  if (!t) return -1;
  std::lock_guard<std::mutex> g(t->lock);
  return t->priority;
}

}  // namespace host
}  // namespace platform
