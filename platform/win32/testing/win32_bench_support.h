// The benchmarks' baseline on the real API: what any reader of the Bluetooth stack's registry
// must do at the least. The benchmark programs include this header, never <windows.h>.
#pragma once

#include <cstdint>

namespace platform::win32bench {

// Opens HKEY_LOCAL_MACHINE "software\microsoft\bluetooth\device", enumerates the devices of the
// 11 service-class subkeys (by the names given) and reads every value a paired-device record is
// filled from, each with one call (the SDP block with two: size, then data), without checking
// or converting anything. Returns the number of device keys opened.
uint32_t BareDeviceScan(const char16_t* const* classNames, int classCount);

}  // namespace platform::win32bench
