// The driver's status as this program knows it: five flags, each 0 or 1, shared between the main
// thread and the listener thread. Each flag is a single byte read and written whole; atomics
// keep that free of data races without changing what a flag means.
#pragma once

#include <atomic>
#include <cstdint>

struct DriverStatus {
  std::atomic<uint8_t> driverAnswered{0};  // the last InformDriver that reached the device was acknowledged
  std::atomic<uint8_t> bluetoothOn{0};     // the radio is on
  std::atomic<uint8_t> deviceFound{0};     // DoConnect holds an active HID device
  std::atomic<uint8_t> mouseOn{0};         // the driver handles the mouse
  std::atomic<uint8_t> keyboardOn{0};      // the driver handles the keyboard
};

extern DriverStatus driverStatus;
