#include "driver_link/driver_status.h"

#include "gui/gui.h"
#include "tray/app_state.h"

DriverStatus driverStatus;

void SetStatusFlag(std::atomic<uint8_t>& flag, uint8_t value) {
  if (flag.exchange(value) == value) return;
  // The window is made before the listener starts and outlives it. Once the program is ending,
  // the icon is going and nothing shows the status any more.
  if (theGUI.MainWindow && !terminateRequested.load()) platform::Post(theGUI.MainWindow, kStatusChangedMessage, 0, 0);
}
