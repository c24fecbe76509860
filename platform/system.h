// Clock and memory figures of the running system.
#pragma once

#include <cstdint>

namespace platform {

struct TimeOfDay {
  int hour;
  int minute;
  int second;
};

// The local time of day.
TimeOfDay LocalTimeOfDay();
// Available physical memory in bytes, 64 bits wide so that machines with more than 4 GiB report
// real figures.
uint64_t AvailablePhysicalMemory();
// Milliseconds from an arbitrary start, never going back.
uint64_t MonotonicMilliseconds();
// The platform's 32-bit millisecond tick count (GetTickCount), which wraps after 49.7 days.
uint32_t TickCount();
// The user's interface language (GetUserDefaultUILanguage), a LANGID. On desktop Windows a
// language named by the environment variable QUILLMOTE_LANGUAGE (hexadecimal LANGID, such as
// 0407) is taken instead, so that a test can choose one without changing the system's.
uint16_t UserInterfaceLanguage();
// Blocks the calling thread for `milliseconds`.
void SleepMilliseconds(uint32_t milliseconds);

}  // namespace platform
