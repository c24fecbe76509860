// Thread service on the real API.
#include <new>

#include "platform/testing.h"
#include "platform/threads.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

struct Start {
  ThreadProc proc;
  void* parameter;
};

#ifndef _WIN32_WCE
// The pages just below the starting frame stay: the thread's first calls use them at once.
constexpr uintptr_t kStackKeptBelow = 16 * 1024;
constexpr uintptr_t kPage = 4096;

// Wine gives every thread a stack of at least 1 MB, whatever size was asked, and the pages of
// nearly all of it are in memory before the thread's procedure runs: a thread that waits then
// costs the process that megabyte. The pages below the frames the thread is about to use hold
// nothing, and are given back (their contents dropped; they stay the stack's, and come back as
// zeros when used). On Windows the stack's committed part ends just below the running frames
// and there is nothing to give back.
void ReleaseUnusedStack() {
  volatile char here = 0;
#if defined(__GNUC__)
  // GCC takes every read through the thread's segment register for a read past an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
  // The lowest committed page of the stack.
  void* limit = reinterpret_cast<NT_TIB*>(NtCurrentTeb())->StackLimit;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  auto low = reinterpret_cast<uintptr_t>(limit);
  auto high = (reinterpret_cast<uintptr_t>(&here) - kStackKeptBelow) & ~(kPage - 1);
  if (high > low) VirtualAlloc(limit, high - low, MEM_RESET, PAGE_READWRITE);
}
#endif

DWORD WINAPI Trampoline(LPVOID p) {
  Start start = *static_cast<Start*>(p);
  delete static_cast<Start*>(p);
#ifndef _WIN32_WCE
  ReleaseUnusedStack();
#endif
  return start.proc(start.parameter);
}

}  // namespace

ThreadHandle StartThread(ThreadProc proc, void* parameter, uint32_t stackBytes) {
  auto* start = new (std::nothrow) Start{proc, parameter};
  if (!start) return nullptr;
  HANDLE h =
      CreateThread(nullptr, stackBytes, Trampoline, start, stackBytes ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
  if (!h) delete start;
  return h;
}

bool SetThreadPriorityLevel(ThreadHandle thread, int level) {
  if (level < 0 || level > 7) return false;
#ifdef _WIN32_WCE
  int priority = level;  // the device's own scale
#else
  // The device's levels 0 (time critical) to 7 (idle) on the desktop scale; the device's
  // "above idle" has no desktop level of its own and takes the lowest.
  static const int kDesktop[8] = {
      THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_NORMAL,
      THREAD_PRIORITY_BELOW_NORMAL,  THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_IDLE};
  int priority = kDesktop[level];
#endif
  return SetThreadPriority(static_cast<HANDLE>(thread), priority) != 0;
}

bool TerminateThreadNow(ThreadHandle thread, uint32_t exitCode) {
  return TerminateThread(static_cast<HANDLE>(thread), exitCode) != 0;
}

bool WaitThread(ThreadHandle thread, uint32_t timeoutMs) {
  return WaitForSingleObject(static_cast<HANDLE>(thread), timeoutMs) == WAIT_OBJECT_0;
}

ThreadId ThreadIdOf(ThreadHandle thread) {
#ifdef _WIN32_WCE
  return static_cast<ThreadId>(reinterpret_cast<uintptr_t>(thread));  // the handle is the identifier
#else
  return GetThreadId(static_cast<HANDLE>(thread));
#endif
}

void CloseThread(ThreadHandle thread) {
  if (thread) CloseHandle(static_cast<HANDLE>(thread));
}

}  // namespace platform

namespace platform {

EventHandle MakeEvent() {
  return CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

bool SignalEvent(EventHandle event) {
  return event && SetEvent(static_cast<HANDLE>(event)) != 0;
}

bool WaitEvent(EventHandle event, uint32_t timeoutMs) {
  return event && WaitForSingleObject(static_cast<HANDLE>(event), timeoutMs) == WAIT_OBJECT_0;
}

void CloseEvent(EventHandle event) {
  if (event) CloseHandle(static_cast<HANDLE>(event));
}

}  // namespace platform
