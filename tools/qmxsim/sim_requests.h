// What the driver stand-in does with one request on the driver pipe, and the words of its control
// channel. Plain C++: the pipes themselves live in sim_server.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmxsim {

// The radio's state as the stand-in reports it (serve --radio, the radio command).
enum class Radio { Unreported, Off, On };

// The stand-in's state, shared by its two pipe servers.
struct SimState {
  uint32_t informAnswer = 1;  // 1 accepts; any other value is a refusal
  uint32_t lastThread = 0;    // the first word of the last inform record; 0 until one came
  bool live = false;          // reports the keyboard and mouse states after each filter record
  Radio radio = Radio::Unreported;
  uint32_t radioTold = 0;  // the listener last told the radio's state; 0 for none
};

// A driver message for the listener: its number and its wParam.
struct DriverPost {
  uint32_t message;
  uint32_t wParam;
  bool operator==(const DriverPost& o) const { return message == o.message && wParam == o.wParam; }
};

struct Outcome {
  uint32_t answer;                // the 32-bit result sent back
  std::string logLine;            // the line for the record log, without its newline
  std::vector<DriverPost> posts;  // what a driver posts now to the listener (SimState::lastThread), in order
};

// A request is the control code followed by the input record, little-endian. An inform request
// carries 24 bytes, a filter request 4; anything else (too short, a wrong size, an unknown code)
// is answered with 0 and logged as "malformed" with every byte received.
// What a driver reports on its own comes with it: while the radio is reported, an inform record
// that names a listener not yet told gets TM_BLUETOOTH with the radio's state; when live, a filter
// record gets TM_KBSTATUS and TM_MOUSESTATUS, 1 where the record switched that input on (the
// filter byte and the input's byte both 1) and 0 otherwise. Nothing is posted before an inform
// record has named a listener.
Outcome HandleRequest(SimState& state, const std::vector<uint8_t>& request);

// The radio switched on or off: remembered for listeners to come, and TM_BLUETOOTH for the
// listener named last (none while no inform record has named one).
std::vector<DriverPost> SwitchRadio(SimState& state, bool on);

// Bytes as upper-case hexadecimal pairs separated by blanks.
std::string HexBytes(const uint8_t* data, size_t size);

// Parses a 32-bit value in decimal (leading zeros allowed: "010" is ten), 0x-hexadecimal or as a
// negative decimal down to -2147483648; false on anything else (blanks, a plus sign, other digits,
// a value out of range).
bool ParseWord(const std::string& text, uint32_t& value);

// The control channel: one text request, one text answer starting with "ok" or "error".
//   post kb|mouse|bluetooth <wParam>    post the driver message to the last named thread
//   radio on|off                        the radio switched: TM_BLUETOOTH 1 or 0, now and for
//                                       listeners to come
//   refuse <value> | refuse off         answer inform requests with <value>, or with 1 again
//   stop                                end the server
struct ControlCommand {
  enum Kind { Invalid, Post, Radio, Refuse, Stop } kind = Invalid;
  uint32_t message = 0;  // Post: the TM_ message number
  uint32_t value = 0;    // Post: wParam; Radio: 1 on, 0 off; Refuse: the answer (1 for "off")
  std::string error;     // Invalid: why
};
ControlCommand ParseControl(const std::string& text);
// A control request larger than the server reads at once is refused as a whole, never obeyed in part.
ControlCommand OversizedControl();
// The TM_ name of a message number, for answers and logs.
const char* MessageName(uint32_t message);

}  // namespace qmxsim
