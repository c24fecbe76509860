// What the Win32 backend's window files share: the hook every message of the logic's windows
// passes before it reaches the logic's procedure.
#pragma once

#include "platform/win32/wide.h"

namespace platform::win32 {

// Keeps a desktop menu bar under its owner: called for every message of a logic window.
void BeforeWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The dots per inch of the device's screen. Desktop Windows stands in for the device: a screen
// whose shorter side has 480 pixels or more reads as 192, a smaller one as 96, as devices report.
int DeviceDpi();

}  // namespace platform::win32
