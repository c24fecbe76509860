#include "platform/system.h"
#include "platform/win32/wide.h"

namespace platform {

TimeOfDay LocalTimeOfDay() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return TimeOfDay{t.wHour, t.wMinute, t.wSecond};
}

uint64_t AvailablePhysicalMemory() {
  // GlobalMemoryStatus caps its figures at 4 GiB; the Ex form reports them whole.
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullAvailPhys;
}

uint64_t MonotonicMilliseconds() {
  return GetTickCount64();
}

uint32_t TickCount() {
  return GetTickCount();
}

void SleepMilliseconds(uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace platform
