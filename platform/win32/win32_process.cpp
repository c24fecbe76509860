// The process's own figures on the real API. GetGuiResources is a stub under Wine: the GDI count
// asks every handle value for its type instead (Wine matches handles on their low word, so the
// count is exact).
#include "platform/process.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <psapi.h>

namespace platform {
namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwn(HWND w, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId()) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(w, CountChild, count);
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
  if (GetProcessHandleCount(GetCurrentProcess(), &handles)) f.kernelHandles = static_cast<int>(handles);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
    f.privateBytes = memory.PrivateUsage;
#endif
  return f;
}

}  // namespace platform
