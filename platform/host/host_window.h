// Host model of windows and controls: every window made is kept with its creation parameters, its
// state (text, check, list, selection, tabs, tree items) and the moves made to it, so that tests
// can look at what the logic built. Windows of registered classes get their messages through the
// class's procedure; the standard controls ("button", "combobox", "edit", "static",
// "SysTabControl32", "SysTreeView32", and "DISPLAYCLASS" once the HTML control is initialised)
// answer the messages the logic sends them; a message a control does not model ends the run,
// naming the message and the control. Top-level windows are placed as the device's shell
// places them (see PlaceAsShellWindow).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/controls.h"
#include "platform/host/host_controls.h"
#include "platform/host/host_window_record.h"
#include "platform/messages.h"
#include "platform/window.h"

namespace platform::host {

// Forgets every window and class, the foreground window and the failures set below.
void WindowsReset();
// The window's record (also after it was destroyed); null for a handle the model never made.
const HostWindow* WindowRecord(WindowHandle window);
// Live children of `parent` (or live top-level windows for null), in creation order.
std::vector<WindowHandle> LiveChildren(WindowHandle parent);
int LiveWindowCount();
WindowHandle ForegroundWindow();
WindowHandle FocusWindow();
// Making a window of that class fails (null), as when the platform is out of resources.
void FailWindowClass(const WChar* className);
// Registering any class fails.
void FailClassRegistration(bool fail);

// Sends WM_NOTIFY with a record of our own making to `to`.
intptr_t SendNotification(WindowHandle to, const Notification& header, const TreeNotification& tree = {0, nullptr});
// Sets the screen position that LastMessagePosition reports.
void SetLastMessagePosition(Point p);

}  // namespace platform::host
