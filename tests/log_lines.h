// The debug log as tests read it: its messages, without the time and memory figures.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "tray/debug_log.h"

// One entry per line of the log ("%2d:%2d:%2d@free/used: message"); a line without that prefix
// (the empty lines of the start-up banner) is kept as it stands.
inline std::vector<std::string> LogMessages(const std::string& log) {
  std::vector<std::string> out;
  for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = log.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t at = line.find('@');
    size_t colon = at == std::string::npos ? std::string::npos : line.find(": ", at);
    out.push_back(colon == std::string::npos ? line : line.substr(colon + 2));
  }
  return out;
}

// The messages of the debug log file as it stands now.
inline std::vector<std::string> DebugLogMessages() {
  std::string text;
  platform::FileReadAll(DebugLogFile(), text);
  return LogMessages(text);
}

// True when a message of the debug log file begins with `prefix`.
inline bool DebugLogHas(const std::string& prefix) {
  for (const std::string& l : DebugLogMessages())
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}
