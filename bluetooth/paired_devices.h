// The paired devices as the platform's Bluetooth stack records them in its registry (read only):
// HKEY_LOCAL_MACHINE "software\microsoft\bluetooth\device", one subkey per service class, below
// it one subkey per device named by the device's address.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text.h"

inline constexpr WChar kBluetoothDeviceKey[] = u"software\\microsoft\\bluetooth\\device";

// The service-class subkeys in scan order; the index is a device's class number ("UNKNOWN"
// devices get -1).
inline constexpr int kServiceClassCount = 11;
inline constexpr int kHidServiceClass = 7;
extern const WChar* const ServiceClassNames[kServiceClassCount];

// The stack's adapter-wide and per-class defaults, read once per process by the first scan.
struct ServiceDefaults {
  uint32_t adapterMtu = 0;
  uint32_t adapterAuth = 0;     // as stored: only the lowest bit counts
  uint32_t adapterEncrypt = 0;  // as stored: only the lowest bit counts
  int32_t classMtu[kServiceClassCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // -1: none
  uint32_t classAuth[kServiceClassCount] = {};                                          // 0 or 1
  uint32_t classEncrypt[kServiceClassCount] = {};                                       // 0 or 1
  bool loaded = false;
};
extern ServiceDefaults serviceDefaults;

struct Guid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};

inline constexpr int kDeviceNameChars = 249;  // 498 bytes, terminator included
inline constexpr int kPortNameChars = 16;     // 32 bytes, terminator included
inline constexpr uint8_t kDefaultChannel = 252;

// PairedDevice::flags
inline constexpr uint32_t kDeviceActive = 1u << 0;
inline constexpr uint32_t kDeviceTrusted = 1u << 1;
inline constexpr uint32_t kDeviceAuth = 1u << 2;
inline constexpr uint32_t kDeviceEncrypt = 1u << 3;

struct PairedDevice {
  int32_t serviceClass;  // index into ServiceClassNames, -1 for "UNKNOWN"
  uint32_t handle;
  WChar name[kDeviceNameChars];
  WChar port_name[kPortNameChars];
  uint64_t address;  // 48 bits
  uint32_t flags;
  uint8_t channel;
  uint32_t hid_subclass;
  Guid service_id;
  uint32_t mtu;
  uint8_t* sdp_record;  // owned by whoever holds the record; none when absent
  uint32_t sdp_size;
};

// Called once per device; the record (and its SDP block) is valid only during the call.
// Non-zero goes on; zero ends the current class, and the scan goes on with the next one.
using PairedDeviceCallback = int (*)(void* context, const PairedDevice* device);

// Reads the stack's defaults the first time it is called in the process (also when that fails).
void LoadServiceDefaults();
// Forgets the defaults, so that the next scan reads them again; for tests.
void ResetServiceDefaults();
// Sets the device's mtu and its authentication and encryption bits from the defaults: the
// adapter's, then its class's, which replace them whenever the class is a known one.
void ApplyServiceDefaults(int serviceClass, PairedDevice* device);
// Reports every usable entry in class order, then the stack's enumeration order; always 0.
// Not reentrant: its callers (DoConnect) never run two scans at once. `stop`, when given, is
// asked before every entry of every class: true ends the whole scan there.
int ScanPairedDevices(void* context, PairedDeviceCallback callback, bool (*stop)() = nullptr);

// Reads exactly `digits` (1 to 16) hexadecimal digits, most significant first, then, when
// `separator` is not 0, that character. Returns the position behind them, or null (with *value
// untouched) at the first other character.
const WChar* ParseHexField(const WChar* pos, int digits, WChar separator, uint64_t* value);
// Accepts only "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" and nothing after it; *guid is untouched
// on failure.
bool ParseServiceGuid(const WChar* text, Guid* guid);

// The memory of SDP blocks and of the selected device's copy: the C heap, unless a test puts
// something in their place to make an allocation fail.
extern void* (*BluetoothAlloc)(size_t size);
extern void (*BluetoothFree)(void* block);
