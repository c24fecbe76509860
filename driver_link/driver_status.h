// The driver's status as this program knows it: five flags, each 0 or 1, shared between the main
// thread and the listener thread. Each flag is a single byte read and written whole; atomics
// keep that free of data races without changing what a flag means.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/window.h"

struct DriverStatus {
  std::atomic<uint8_t> driverAnswered{0};  // the last InformDriver that reached the device was acknowledged
  std::atomic<uint8_t> bluetoothOn{0};     // the radio is on
  std::atomic<uint8_t> deviceFound{0};     // DoConnect holds an active HID device
  std::atomic<uint8_t> mouseOn{0};         // the driver handles the mouse
  std::atomic<uint8_t> keyboardOn{0};      // the driver handles the keyboard
};

extern DriverStatus driverStatus;

// Posted to the settings window when a flag has changed, by whichever thread changed it: the
// window's own thread then brings what shows the status up to date (the notification icon's tip).
inline constexpr uint32_t kStatusChangedMessage = platform::kWmUser + 2002;

// The window told of each change: the settings window, set when it is made (before the listener
// thread starts, then only read); null while there is none.
extern platform::WindowHandle statusWindow;

// Stores a flag of driverStatus; when its value changes and the settings window exists, posts
// kStatusChangedMessage to it (not once the program is ending). Safe on either thread.
void SetStatusFlag(std::atomic<uint8_t>& flag, uint8_t value);
