#include "platform/host/host_system.h"

#include <sys/sysinfo.h>

#include <atomic>
#include <ctime>

namespace platform {
namespace {

// Plain function pointers to the replacement, so that a reading with no replacement costs one
// load; the std::function objects live in these slots.
std::function<TimeOfDay()> timeSource;
std::function<uint64_t()> memorySource;
std::atomic<bool> timeReplaced{false}, memoryReplaced{false};

}  // namespace

namespace host {

void SetTimeOfDaySource(std::function<TimeOfDay()> source) {
  timeReplaced = false;
  timeSource = std::move(source);
  timeReplaced = static_cast<bool>(timeSource);
}

void SetAvailableMemorySource(std::function<uint64_t()> source) {
  memoryReplaced = false;
  memorySource = std::move(source);
  memoryReplaced = static_cast<bool>(memorySource);
}

}  // namespace host

TimeOfDay LocalTimeOfDay() {
  if (timeReplaced) return timeSource();
  time_t now = ::time(nullptr);
  struct tm local;
  ::localtime_r(&now, &local);
  return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec};
}

uint64_t AvailablePhysicalMemory() {
  if (memoryReplaced) return memorySource();
  struct sysinfo info;
  if (::sysinfo(&info) != 0) return 0;
  return static_cast<uint64_t>(info.freeram) * info.mem_unit;
}

}  // namespace platform
