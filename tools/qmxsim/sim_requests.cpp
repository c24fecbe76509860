#include "tools/qmxsim/sim_requests.h"

#include <cstdint>
#include <cstdio>

#include "driver_link/driver_protocol.h"

namespace qmxsim {
namespace {

uint32_t Word(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

Outcome Malformed(const std::vector<uint8_t>& request) {
  std::string line = "malformed";
  if (!request.empty()) line += " " + HexBytes(request.data(), request.size());
  return {0, line, {}};
}

uint32_t RadioWord(Radio radio) {
  return radio == Radio::On ? 1 : 0;
}

}  // namespace

std::string HexBytes(const uint8_t* data, size_t size) {
  std::string out;
  char pair[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", data[i]);
    if (i) out += ' ';
    out += pair;
  }
  return out;
}

Outcome HandleRequest(SimState& state, const std::vector<uint8_t>& request) {
  if (request.size() < 4) return Malformed(request);
  uint32_t code = Word(request.data());
  const uint8_t* record = request.data() + 4;
  size_t size = request.size() - 4;
  if (code == driver_protocol::IOCTL_INFORM_DRIVER && size == 24) {
    state.lastThread = Word(record);
    Outcome out{state.informAnswer, "inform " + HexBytes(record, size), {}};
    // A listener learns the radio's state once, when it is first named: the program that starts
    // again names another thread and hears it again.
    if (state.radio != Radio::Unreported && state.lastThread != 0 && state.lastThread != state.radioTold) {
      out.posts.push_back({driver_protocol::TM_BLUETOOTH, RadioWord(state.radio)});
      state.radioTold = state.lastThread;
    }
    return out;
  }
  if (code == driver_protocol::IOCTL_MANAGE_FILTER && size == 4) {
    Outcome out{1, "filter " + HexBytes(record, size), {}};
    if (state.live && state.lastThread != 0) {
      bool filter = record[0] == 1;
      out.posts.push_back({driver_protocol::TM_KBSTATUS, filter && record[1] == 1 ? 1u : 0u});
      out.posts.push_back({driver_protocol::TM_MOUSESTATUS, filter && record[2] == 1 ? 1u : 0u});
    }
    return out;
  }
  return Malformed(request);
}

std::vector<DriverPost> SwitchRadio(SimState& state, bool on) {
  state.radio = on ? Radio::On : Radio::Off;
  if (state.lastThread == 0) return {};
  state.radioTold = state.lastThread;
  return {{driver_protocol::TM_BLUETOOTH, RadioWord(state.radio)}};
}

bool ParseWord(const std::string& text, uint32_t& value) {
  // Digits only, in one of three forms: decimal ("010" is ten), 0x-hexadecimal, or a minus sign
  // and decimal digits. No blanks, no plus sign, no octal.
  size_t i = 0;
  bool negative = false, hex = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    i = 2;
  } else if (!text.empty() && text[0] == '-') {
    negative = true;
    i = 1;
  }
  if (i >= text.size()) return false;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9'          ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
    if (digit < 0) return false;
    v = v * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (v > (negative ? 0x80000000ull : 0xFFFFFFFFull)) return false;
  }
  value = negative ? static_cast<uint32_t>(0 - static_cast<uint32_t>(v)) : static_cast<uint32_t>(v);
  return true;
}

ControlCommand ParseControl(const std::string& text) {
  // Words are separated by exactly one blank: " 7", "7 " or a tab are part of a word (and no
  // number), as they are on qmxsim's own command line.
  std::vector<std::string> words;
  size_t start = 0;
  for (size_t blank; (blank = text.find(' ', start)) != std::string::npos; start = blank + 1)
    words.push_back(text.substr(start, blank - start));
  words.push_back(text.substr(start));
  ControlCommand c;
  for (const std::string& w : words) {
    if (w.empty()) {
      c.error = "not one blank between words: " + text;
      return c;
    }
  }
  if (words.size() == 1 && words[0] == "stop") {
    c.kind = ControlCommand::Stop;
  } else if (words.size() == 2 && words[0] == "radio") {
    if (words[1] == "on" || words[1] == "off") {
      c.kind = ControlCommand::Radio;
      c.message = driver_protocol::TM_BLUETOOTH;
      c.value = words[1] == "on" ? 1 : 0;
    } else {
      c.error = "radio takes on or off, not " + words[1];
    }
  } else if (words.size() == 2 && words[0] == "refuse") {
    c.kind = ControlCommand::Refuse;
    if (words[1] == "off") {
      c.value = 1;
    } else if (!ParseWord(words[1], c.value)) {
      c.kind = ControlCommand::Invalid;
      c.error = "not a 32-bit value: " + words[1];
    }
  } else if (words.size() == 3 && words[0] == "post") {
    c.kind = ControlCommand::Post;
    if (words[1] == "kb") {
      c.message = driver_protocol::TM_KBSTATUS;
    } else if (words[1] == "mouse") {
      c.message = driver_protocol::TM_MOUSESTATUS;
    } else if (words[1] == "bluetooth") {
      c.message = driver_protocol::TM_BLUETOOTH;
    } else {
      c.kind = ControlCommand::Invalid;
      c.error = "unknown message " + words[1] + " (kb, mouse or bluetooth)";
    }
    if (c.kind == ControlCommand::Post && !ParseWord(words[2], c.value)) {
      c.kind = ControlCommand::Invalid;
      c.error = "not a 32-bit value: " + words[2];
    }
  } else {
    c.error = "unknown command: " + text;
  }
  return c;
}

ControlCommand OversizedControl() {
  ControlCommand c;
  c.error = "the command is too long";
  return c;
}

const char* MessageName(uint32_t message) {
  switch (message) {
    case driver_protocol::TM_KBSTATUS:
      return "TM_KBSTATUS";
    case driver_protocol::TM_MOUSESTATUS:
      return "TM_MOUSESTATUS";
    case driver_protocol::TM_BLUETOOTH:
      return "TM_BLUETOOTH";
  }
  return "?";
}

}  // namespace qmxsim
