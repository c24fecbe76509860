// What desktop Windows starts for a program named as the device names it. The device's own
// programs ("\windows\..." on the device's one drive) do not exist on a desktop, and a rooted path
// there means the current drive, where any user may put a file of that name: such a path is
// never looked for. The device's Bluetooth panels become the system's Bluetooth settings, system
// programs are started from the system folder by their full path, and the device's browser with
// an address opens the address in the user's own browser. Plain text rules, so that they are
// built and checked without the platform.
#pragma once

#include "platform/text.h"

namespace platform {

enum class DesktopLaunch {
  AsNamed,            // start the file with its parameters
  FromSystemFolder,   // start the file of that name in the system folder, with its parameters
  BluetoothSettings,  // the system's Bluetooth settings
  Address,            // open the parameters (an address) in the user's browser
  Refused,            // a program only the device has: nothing is started
};

DesktopLaunch ResolveDesktopLaunch(const WChar* file, const WChar* parameters);

}  // namespace platform
