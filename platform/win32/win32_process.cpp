// The process's own figures on the real API. GetGuiResources is a stub under Wine: the GDI count
// asks every handle value for its type instead (Wine matches handles on their low word, so the
// count is exact).
#include "platform/process.h"
#include "platform/win32/wide.h"
#ifndef _WIN32_WCE
// After windows.h, which it needs.
#include <psapi.h>
#endif

namespace platform {
namespace {

#ifdef _WIN32_WCE
// The device cannot enumerate child windows: each level is walked in turn.
void CountChildren(HWND parent, int* count) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ++*count;
    CountChildren(child, count);
  }
}
#else
BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
#endif

BOOL CALLBACK CountOwn(HWND w, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(count);
#ifdef _WIN32_WCE
    CountChildren(w, reinterpret_cast<int*>(count));
#else
    EnumChildWindows(w, CountChild, count);
#endif
  }
  return TRUE;
}

}  // namespace

ProcessFigures MeasureProcess() {
  ProcessFigures f{0, 0, -1, 0};
  for (uintptr_t i = 1; i <= 0xFFFF; ++i) f.gdiObjects += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0 ? 1 : 0;
  EnumWindows(CountOwn, reinterpret_cast<LPARAM>(&f.windows));
#ifndef _WIN32_WCE
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles > 0) {
    f.kernelHandles = static_cast<int>(handles);
  } else {
    // Wine answers 0: the handles are counted one by one (kernel handles are multiples of 4).
    f.kernelHandles = 0;
    DWORD flags;
    for (uintptr_t h = 4; h < 0x10000; h += 4)
      f.kernelHandles += GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags) ? 1 : 0;
  }
  // The commit charge: the process's private memory (Wine leaves PrivateUsage at 0).
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) f.privateBytes = memory.PagefileUsage;
#endif
  return f;
}

}  // namespace platform
