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

// Opens the device by its stream name ("QMX0:") with no access rights requested, no sharing and
// only when it exists. False, with `device` closed, when it cannot be opened.
bool DriverOpen(const WChar* name, DriverDevice& device);
// Sends one control request with `size` bytes of input and no output. Returns the driver's
// 32-bit result as it came (1 is the driver's TRUE); 0 when the request could not be delivered.
uint32_t DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size);

}  // namespace platform
