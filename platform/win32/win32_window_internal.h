// What the Win32 backend's window files share: the hook every message of the logic's windows
// passes before it reaches the logic's procedure, and the screen the program is shown.
#pragma once

#include <cstdint>

#include "platform/win32/wide.h"

namespace platform::win32 {

// Keeps a desktop menu bar under its owner (or, on a desk, inside its frame) and the windows
// that cover a desk's device area over it: called for every message of a logic window.
void BeforeWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// True when `bytes` bytes at `record` can be read in this process. A window message's record is
// only ever handed over by this program's own windows and controls; another program can post or
// send the same message with any number in its place.
bool ReadableRecord(const void* record, size_t bytes);
// True when the notification record is readable and comes from a window of this process.
bool OwnNotification(const NMHDR* header, size_t bytes);

// The dots per inch of the device's screen. Desktop Windows stands in for the device: a screen
// whose shorter side has 480 pixels or more reads as 192, a smaller one as 96, as devices report;
// on a desk, 96 times the layout factor the device screen is drawn at.
int DeviceDpi();

// The screen the program is shown (win32_desk.cpp): the display itself, or on a desk's larger
// screen the device screen that stands in for it (desk.h), in the pixels it is drawn at.
// Measured at first use and again by MeasureDesk; the window thread's.
struct ShownScreen {
  int32_t width, height;
  bool desk;       // a device screen in a framed window on the desk
  int32_t factor;  // on a desk, the layout factor it is drawn at; 0 otherwise
};
ShownScreen CurrentScreen();
// Measures the display, its work area and the frame again and chooses anew.
ShownScreen MeasureDesk();
// On a desk: frames `window` around the device's screen below its taskbar (the device's width,
// its height less `menuHeight`), centred on the work area, or where the user moved it while
// neither the device size, the menu height nor the work area has changed since. False, and
// nothing done, when the screen is the device's own.
bool PlaceOnDesk(HWND window, int32_t menuHeight);
// The framed window on the desk; null when there is none.
HWND DeskWindow();
// On a desk with its framed window: the device's screen there (the framed window's client area)
// and the desk's work area (cut to the screen), in screen coordinates. False, and nothing set,
// otherwise.
bool DeviceAreaOnDesk(RECT& area, RECT& work);
// On a desk: places `window` without a frame over the device area (the framed window's client
// area), owned by the framed window so that it stays in front of it and follows it when it
// moves; the framed window takes no input until the window is destroyed. False, and nothing
// done, when the screen is the device's own.
bool CoverDeviceArea(HWND window);
// The window that covers the device area of `window` now, when it is the framed window; null
// otherwise.
HWND CoverOf(HWND window);
// CoverOf once this process has covered a device area, null until then: the window service asks
// through it, so that a module that never covers one (the control-panel applet) carries no desk.
extern HWND (*coverLookup)(HWND window);
// A message of a logic window: when the framed window moves or changes its place in the order of
// windows, the windows that cover its device area follow it and stay in front of it; a cover's
// destruction gives the framed window its input back.
void DeskWindowMessage(HWND window, UINT message);

// Takes the frame off a top-level window and places it.
void PlaceFrameless(HWND window, int x, int y, int width, int height);

}  // namespace platform::win32
