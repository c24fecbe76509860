#include "tray/debug_log.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

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

// Memory in megabytes with three decimals, as printf's "%3.3f" writes bytes / 2^20, but computed in
// integers: the same digits (rounded half to even) without the cost of formatting a double.
const WChar* Megabytes(bool negative, uint64_t bytes, WChar (&out)[40]) {
  const uint64_t unit = 1048576;
  uint64_t whole = bytes / unit;
  uint64_t rest = bytes % unit;  // below 2^20, so rest * 1000 cannot overflow
  uint64_t thousandths = rest * 1000 / unit;
  uint64_t remainder = rest * 1000 % unit;
  if (remainder * 2 > unit || (remainder * 2 == unit && (thousandths & 1))) ++thousandths;
  if (thousandths == 1000) {
    ++whole;
    thousandths = 0;
  }
  FormatWide(out, 40, u"%s%llu.%03llu", negative ? u"-" : u"", static_cast<unsigned long long>(whole),
             static_cast<unsigned long long>(thousandths));
  return out;
}

// Held across the size check, the move and the append, so that no thread appends to a file that
// another is moving aside, and two threads crossing the bound together move it only once.
std::mutex appending;

// Moves a file that this line would take past its bound aside, replacing the older file. A file
// that cannot be moved (held open by a viewer that shares no deletion) is begun anew instead, so
// that a log left on never fills the device.
void KeepBound(const WChar* path, size_t lineBytes) {
  uint64_t size = 0;
  if (!platform::FileSize(path, size) || size == 0 || size + lineBytes <= kDebugLogMaxBytes) return;
  if (!platform::MoveFileOver(path, DebugLogOlderFile())) platform::FileWriteAll(path, "", 0);
}

// Appends one line; the user's folder is made when the file cannot be opened without it.
void AppendLine(const std::string& bytes) {
  const WChar* path = DebugLogFile();
  if (!path[0]) return;
  std::lock_guard<std::mutex> hold(appending);
  KeepBound(path, bytes.size());
  if (platform::FileAppend(path, bytes.data(), bytes.size())) return;
  WString folder = path;
  size_t cut = folder.rfind(u'\\');
  if (cut == WString::npos || cut == 0) return;
  folder.resize(cut);
  if (platform::CreateFolder(folder.c_str())) platform::FileAppend(path, bytes.data(), bytes.size());
}

}  // namespace

const WChar* DebugLogFile() {
  // Made once, on whichever thread logs first (a function's static is made exactly once), and never
  // destroyed: the end of the process still logs after the statics made later are gone.
  static const WString& path = *new WString(platform::UserFilePath(u"Quillmote", kDebugLogPath + 1));
  return path.c_str();
}

const WChar* DebugLogOlderFile() {
  static const WString& path = *new WString([] {
    WString older = DebugLogFile();
    const WString ext = u".dbg";
    if (older.size() >= ext.size() && older.compare(older.size() - ext.size(), ext.size(), ext) == 0)
      older.resize(older.size() - ext.size());
    return older.empty() ? older : older + u".old.dbg";
  }());
  return path.c_str();
}

void DebugLogWrite(const WChar* format, const FormatArg* args, size_t argCount) {
  if (!debugEnabled) return;
  // Outside text (a remote device's name, a registry text) can neither break a line nor forge
  // one: the arguments' control characters are escaped; the format's own line breaks (the
  // banner's) stay.
  WChar message[kDebugLogMaxChars + 1];
  FormatWideArgs(message, kDebugLogMaxChars + 1, format, args, argCount, TextArguments::Escaped);

  platform::TimeOfDay now = platform::LocalTimeOfDay();
  // The first line sets the baseline; a second thread racing for it would store an equally valid
  // reading, so the first store simply wins.
  if (memoryBaseline.load() == 0) {
    uint64_t expected = 0;
    memoryBaseline.compare_exchange_strong(expected, AvailableMemory());
  }

  uint64_t usedReading = AvailableMemory();
  uint64_t freeReading = AvailableMemory();
  uint64_t baseline = memoryBaseline.load();
  WChar freeMb[40], usedMb[40];
  Megabytes(false, freeReading, freeMb);
  // Negative when more memory is free than at the first line: shown with its sign.
  bool freed = usedReading > baseline;
  Megabytes(freed, freed ? usedReading - baseline : baseline - usedReading, usedMb);

  // The line as "%2d:%2d:%2d@%3.3f/%3.3f: %s\n" writes it, the two figures already formatted; the
  // message is converted where it stands, so that the stack holds no second copy of it.
  WChar prefix[128];
  FormatWide(prefix, 128, u"%2d:%2d:%2d@%s/%s: ", now.hour, now.minute, now.second, freeMb, usedMb);
  std::string bytes = ToUtf8(prefix, WLen(prefix));
  bytes += ToUtf8(message, WLen(message));
  bytes += '\n';
  AppendLine(bytes);
}

uint64_t DebugLogMemoryBaseline() {
  return memoryBaseline.load();
}

void DebugLogResetBaseline() {
  memoryBaseline.store(0);
  memoryRead.store(false);
}
