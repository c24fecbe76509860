// The tray program's trace: one line per call appended to "\qm.tray.dbg" while debugEnabled is
// non-zero, each with the time of day and the free and used memory in megabytes. On desktop
// Windows the file is the user's own, "Quillmote\qm.tray.dbg" in the local application data.
#pragma once

#include <cstdint>

#include "platform/text.h"
#include "tray/app_state.h"
#include "tray/wformat.h"

// The log file's name; on the device it lies in the root folder.
inline constexpr WChar kDebugLogPath[] = u"\\qm.tray.dbg";
// The log file where this platform keeps it (see UserFilePath); the same for the whole run.
const WChar* DebugLogFile();
// The file's bound: a line that would take it past this size first moves it aside to the older
// file (which it replaces) and begins a new one, so that at most two files of this size are kept.
inline constexpr uint64_t kDebugLogMaxBytes = 1048576;
// The older file beside it: "qm.tray.old.dbg" in the same folder.
const WChar* DebugLogOlderFile();
// Longest message kept; longer ones are cut.
inline constexpr int kDebugLogMaxChars = 10239;

// Formats and appends one line; never fails visibly. Safe to call from several threads: each line
// is written whole by a single append, and the file is moved aside only between two lines. Its stack use is the one
// message buffer.
void DebugLogWrite(const WChar* format, const FormatArg* args, size_t argCount);

// With the log off a call costs one test of debugEnabled and nothing else. The arguments are
// type-checked (see FormatArg): a handle for %X prints whole, a narrow string does not compile.
template <typename... Args>
inline void DebugLog(const WChar* format, const Args&... args) {
  if (debugEnabled) {
    const FormatArg list[] = {FormatArg(0), FormatArg(args)...};
    DebugLogWrite(format, list + 1, sizeof...(Args));
  }
}

// The available memory at the first line written (0 until then); tests reset it together with
// the last memory reading.
uint64_t DebugLogMemoryBaseline();
void DebugLogResetBaseline();
