#include "tray/debug_log.h"

#include <atomic>
#include <cstdarg>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "tray/wformat.h"

namespace {

std::atomic<uint64_t> memoryBaseline{0};

// Asking the system for its free memory costs about as much as the file write itself, so a
// reading is reused for a few milliseconds: a trace line's memory figure may be that old.
constexpr uint64_t kMemoryReadingMs = 10;
std::atomic<bool> memoryRead{false};
std::atomic<uint64_t> memoryReadAt{0};
std::atomic<uint64_t> memoryValue{0};

uint64_t AvailableMemory() {
  uint64_t now = platform::MonotonicMilliseconds();
  if (!memoryRead.load() || now - memoryReadAt.load() >= kMemoryReadingMs) {
    memoryValue.store(platform::AvailablePhysicalMemory());
    memoryReadAt.store(now);
    memoryRead.store(true);
  }
  return memoryValue.load();
}

double Megabytes(double bytes) {
  return bytes / 1048576.0;
}

}  // namespace

void DebugLogWrite(const WChar* format, ...) {
  if (!debugEnabled) return;
  WChar message[kDebugLogMaxChars + 1];
  va_list ap;
  va_start(ap, format);
  FormatWideV(message, kDebugLogMaxChars + 1, format, ap);
  va_end(ap);

  platform::TimeOfDay now = platform::LocalTimeOfDay();
  // The first line sets the baseline; a second thread racing for it would store an equally valid
  // reading, so the first store simply wins.
  if (memoryBaseline.load() == 0) {
    uint64_t expected = 0;
    memoryBaseline.compare_exchange_strong(expected, AvailableMemory());
  }

  uint64_t usedReading = AvailableMemory();
  uint64_t freeReading = AvailableMemory();
  double freeMb = Megabytes(static_cast<double>(freeReading));
  // Negative when more memory is free than at the first line: shown with its sign.
  double usedMb = Megabytes(static_cast<double>(memoryBaseline.load()) - static_cast<double>(usedReading));

  static constexpr size_t kLineChars = kDebugLogMaxChars + 128;
  WChar line[kLineChars];
  FormatWide(line, kLineChars, u"%2d:%2d:%2d@%3.3f/%3.3f: %s\n", now.hour, now.minute, now.second, freeMb, usedMb,
             message);
  std::string bytes = ToUtf8(line, WLen(line));
  platform::FileAppend(kDebugLogPath, bytes.data(), bytes.size());
}

uint64_t DebugLogMemoryBaseline() {
  return memoryBaseline.load();
}

void DebugLogResetBaseline() {
  memoryBaseline.store(0);
}
