// Driver channel service: the input driver's stream device, opened by its name, one control
// request with an input record and no output, closed again. Every open device is owned by a
// DriverDevice, which closes it.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"
#include "platform/text.h"

namespace platform {

struct DriverDeviceTraits {
  static void Release(void* handle);
};
using DriverDevice = OwnedHandle<DriverDeviceTraits>;

enum class DriverOpenResult {
  Opened,
  Missing,   // no such device, or it could not be opened in time
  Refused,   // a desktop pipe of that name is served by another user's program: not talked to
  NoAnswer,  // it exists but stayed busy past the time an operation may take
};

// Opens the device by its stream name ("QMX0:") with no access rights requested, no sharing and
// only when it exists; `device` is closed unless the result is Opened.
DriverOpenResult DriverOpen(const WChar* name, DriverDevice& device);
// Sends one control request with `size` bytes of input and no output. True when the driver
// answered, with its 32-bit result in `result` as it came (1 is the driver's TRUE); false, and
// `result` 0, when the request was not delivered or no answer came in time (a desktop pipe gets
// one second for its open, the request and the answer together).
bool DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size, uint32_t& result);

}  // namespace platform
