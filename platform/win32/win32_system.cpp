#include <atomic>

#include "platform/system.h"
#include "platform/win32/wide.h"

namespace platform {

TimeOfDay LocalTimeOfDay() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return TimeOfDay{t.wHour, t.wMinute, t.wSecond};
}

uint64_t AvailablePhysicalMemory() {
#ifdef _WIN32_WCE
  // The device has the 32-bit form only, and far less than 4 GiB.
  MEMORYSTATUS status;
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  return status.dwAvailPhys;
#else
  // GlobalMemoryStatus caps its figures at 4 GiB; the Ex form reports them whole.
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullAvailPhys;
#endif
}

uint64_t MonotonicMilliseconds() {
#ifdef _WIN32_WCE
  // The device's count has 32 bits and wraps after 49.7 days: the figure goes on from the last
  // one by the count's own (modular) difference, so a wrap carries into the high half. A count
  // behind the last figure is another thread's older reading; the figure never goes back.
  static std::atomic<uint64_t> last{0};
  uint64_t before = last.load();
  for (;;) {
    uint32_t step = GetTickCount() - static_cast<uint32_t>(before);
    if (before != 0 && step >= 0x80000000u) return before;
    uint64_t now = before + step;
    if (last.compare_exchange_weak(before, now)) return now;
  }
#else
  return GetTickCount64();
#endif
}

uint32_t TickCount() {
  return GetTickCount();
}

void SleepMilliseconds(uint32_t milliseconds) {
  Sleep(milliseconds);
}

uint16_t UserInterfaceLanguage() {
#ifndef _WIN32_WCE
  // One to four hexadecimal digits, nothing else.
  wchar_t chosen[8];
  DWORD length = GetEnvironmentVariableW(L"QUILLMOTE_LANGUAGE", chosen, 8);
  uint32_t language = 0;
  for (DWORD i = 0; length <= 4 && i < length; ++i) {
    wchar_t c = chosen[i] | 0x20;  // lower case for the letters
    int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
    if (digit < 0) {
      language = 0;
      break;
    }
    language = language * 16 + static_cast<uint32_t>(digit);
  }
  if (language > 0) return static_cast<uint16_t>(language);
#endif
  return GetUserDefaultUILanguage();
}

}  // namespace platform
