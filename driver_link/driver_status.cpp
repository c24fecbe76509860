#include "driver_link/driver_status.h"

#include "tray/app_state.h"

DriverStatus driverStatus;
platform::WindowHandle statusWindow = nullptr;

void SetStatusFlag(std::atomic<uint8_t>& flag, uint8_t value) {
  if (flag.exchange(value) == value) return;
  // The window is made before the listener starts and outlives it. Once the program is ending,
  // the icon is going and nothing shows the status any more.
  if (statusWindow && !terminateRequested.load()) platform::Post(statusWindow, kStatusChangedMessage, 0, 0);
}
