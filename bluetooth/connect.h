// Finding the active paired input device, and handing the user over to the platform's Bluetooth
// control panel when there is none.
#pragma once

#include "bluetooth/paired_devices.h"
#include "platform/shell.h"

// Message boxes of DoConnect.
inline constexpr uint32_t kConnectBoxFlags =
    platform::kMbOk | platform::kMbIconInformation | platform::kMbTopmost;  // 0x00040040

// The last active HID device the last scan reported, a copy with its own SDP block; null when that
// scan found none. Replaced only inside DoConnect.
extern PairedDevice* selectedDevice;

// Checks the radio, scans for the active HID device and logs the outcome: 1 when a device is
// selected, -2 when the radio is off, -3 when there is none. `interactive` (the user asked)
// also explains a failure in a message box and, for -3, opens the pairing panel. Safe to call
// from two threads: the calls are serialised, up to (not including) the message boxes.
int DoConnect(int interactive);
// The scan's callback: selects an active device of the "HID" class; always 1.
int SelectActiveHidDevice(void* context, const PairedDevice* device);
// Opens the Bluetooth control panel on its pairing page.
void OpenBluetoothPairing();
// Opens the platform's Bluetooth settings; always 1.
int OpenBluetoothSettings();
// Releases selectedDevice and its SDP block (at the end of the process, and between tests).
void ReleaseSelectedDevice();
