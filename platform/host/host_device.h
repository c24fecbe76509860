// Host double of the device's identity and driver services: tests set what the device reports.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/device.h"

namespace platform::host {

struct DeviceActivation {
  WString key, parameter;
};

// No identifier, no OEM text, activation fails, the radio query fails.
void DeviceReset();
// The record QueryDeviceId reports (none: the query fails).
void SetDeviceIdRecord(std::optional<std::vector<uint8_t>> record);
void SetOemInfo(std::optional<WString> text);
void SetActivationResult(bool handle);
void SetRadioMode(std::optional<uint32_t> mode);
std::vector<DeviceActivation> Activations();

}  // namespace platform::host
