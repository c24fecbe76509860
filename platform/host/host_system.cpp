#include "platform/host/host_system.h"

#include <sys/sysinfo.h>

#include <atomic>
#include <ctime>
#include <mutex>
#include <vector>

namespace platform {
namespace {

// Replacements set by tests before any thread reads them; a flag keeps the real path to one load.
std::function<TimeOfDay()> timeSource;
std::function<uint64_t()> memorySource;
std::function<uint64_t()> monotonicSource;
std::atomic<bool> timeReplaced{false}, memoryReplaced{false}, monotonicReplaced{false};
std::mutex sleepLock;
std::vector<uint32_t> sleeps;
std::function<void(uint32_t)> sleepHook;
std::atomic<uint16_t> userInterfaceLanguage{0x0409};

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

void SetMonotonicSource(std::function<uint64_t()> source) {
  monotonicReplaced = false;
  monotonicSource = std::move(source);
  monotonicReplaced = static_cast<bool>(monotonicSource);
}

std::vector<uint32_t> Sleeps() {
  std::lock_guard<std::mutex> g(sleepLock);
  return sleeps;
}

void SetSleepHook(std::function<void(uint32_t)> hook) {
  std::lock_guard<std::mutex> g(sleepLock);
  sleepHook = std::move(hook);
}

void ClearSleeps() {
  std::lock_guard<std::mutex> g(sleepLock);
  sleeps.clear();
}

void SetUserInterfaceLanguage(uint16_t language) {
  userInterfaceLanguage = language;
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

uint64_t MonotonicMilliseconds() {
  if (monotonicReplaced) return monotonicSource();
  struct timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000;
}

uint32_t TickCount() {
  return static_cast<uint32_t>(MonotonicMilliseconds());
}

uint16_t UserInterfaceLanguage() {
  return userInterfaceLanguage;
}

void SleepMilliseconds(uint32_t milliseconds) {
  // Recorded, not slept: the tests check the pauses without waiting for them.
  std::function<void(uint32_t)> hook;
  {
    std::lock_guard<std::mutex> g(sleepLock);
    sleeps.push_back(milliseconds);
    hook = sleepHook;
  }
  if (hook) hook(milliseconds);
}

}  // namespace platform
