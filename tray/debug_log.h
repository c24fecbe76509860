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
// Longest message kept; longer ones are cut.
inline constexpr int kDebugLogMaxChars = 10239;

// Formats and appends one line; never fails visibly. Safe to call from several threads: each line
// is written whole by a single append. Its stack use is the one message buffer.
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
