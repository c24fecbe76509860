// Driver channel service: the input driver's stream device, opened by its name, one control
// request with an input record and no output, closed again. Every open device is owned by a
// DriverDevice, which closes it.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

class DriverDevice {
 public:
  DriverDevice() = default;
  DriverDevice(const DriverDevice&) = delete;
  DriverDevice& operator=(const DriverDevice&) = delete;
  ~DriverDevice() { Close(); }

  bool IsOpen() const { return handle_ != nullptr; }
  void Close();
  // Backend use only.
  void* handle() const { return handle_; }
  void Reset(void* handle) {
    Close();
    handle_ = handle;
  }

 private:
  void* handle_ = nullptr;
};

// Opens the device by its stream name ("QMX0:") with no access rights requested, no sharing and
// only when it exists. False, with `device` closed, when it cannot be opened.
bool DriverOpen(const WChar* name, DriverDevice& device);
// Sends one control request with `size` bytes of input and no output. Returns the driver's
// 32-bit result as it came (1 is the driver's TRUE); 0 when the request could not be delivered.
uint32_t DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size);

}  // namespace platform
