// Host double of the driver channel: a scripted driver that is present or absent, answers each
// control code with a set result and records every open, request and close.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/driver_channel.h"
#include "platform/text.h"

namespace platform::host {

struct DriverEvent {
  enum Kind { Open, OpenFailed, Control, Close } kind;
  WString device;              // Open, OpenFailed: the name asked for
  uint32_t code = 0;           // Control
  std::vector<uint8_t> input;  // Control: the bytes sent
};

// Absent, answering, every result 1, no events.
void DriverReset();
void DriverSetPresent(bool present);
// The present device's pipe is served by another user's program: every open is refused.
void DriverSetRefused(bool refused);
// The present device takes every request and never answers (past the channel's bound).
void DriverSetMute(bool mute);
// The result the driver gives for `code` (1 unless set).
void DriverSetResult(uint32_t code, uint32_t result);
std::vector<DriverEvent> DriverEvents();
void DriverClearEvents();
// Devices opened and not yet closed.
int DriverOpenDevices();

}  // namespace platform::host
