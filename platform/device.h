// What the device tells about itself, and the device manager: the identifier, the maker's text,
// the Bluetooth radio, and the loading of a driver instance. Desktop Windows stands in as
// described with each call.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

// The identifier record (KernelIoControl IOCTL_HAL_GET_DEVICEID) into `out`, zero-filled first;
// false when the platform has none. Desktop Windows: a record of the same layout whose nine bytes
// after the 20-byte header are the machine's identity (its "MachineGuid").
bool QueryDeviceId(uint8_t* out, uint32_t size);
// The OEM information text (SPI_GETOEMINFO) into a buffer of `bytes` bytes, terminated; false
// when there is none. Desktop Windows: the machine's model text.
bool QueryOemInfo(WChar* out, uint32_t bytes);
// ActivateDeviceEx of the driver instance key with the parameter text; true when a handle came
// back (the handle is not kept). Desktop Windows has no device manager: false.
bool ActivateDevice(const WChar* instanceKey, const WChar* parameter);
// BthGetMode: 0 off, 1 connectable, 2 discoverable; false when the query fails. Desktop
// Windows: the first radio of the system's Bluetooth API (discoverable, connectable or off); no
// radio, or no Bluetooth API, counts as off.
bool QueryRadioMode(uint32_t* mode);

}  // namespace platform
