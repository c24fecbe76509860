// Host models of the standard controls: what a user does to a control, and what the window model
// hands them. A control answers the messages the logic sends it as the real control does; a
// message it does not model ends the run, naming the message and the control.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/host/host_window_record.h"
#include "platform/window.h"

namespace platform::host {

// A click on a tab, as the strip reports it: the selection moves and the parent is told
// TCN_SELCHANGING and TCN_SELCHANGE.
void ClickTab(WindowHandle tab, int index);
// A click on a node's expand button: the parent hears of the expansion or collapse every time,
// and can stop it.
bool ToggleNode(WindowHandle tree, TreeItem item);

// Shared with the window model.

// Host layout of the records that WM_NOTIFY carries.
struct NotifyRecord {
  Notification header;
  TreeNotification tree;
};
// True for a standard control's class ("DISPLAYCLASS" only once the HTML control is initialised).
bool IsControlClass(const WString& name);
// A standard control's answer to a message sent to it.
intptr_t ControlMessage(HostWindow& control, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Forgets that the HTML control was initialised.
void ControlsReset();
// Ends the run: prints that the message sent to the window (named by its class and id) is not
// modelled by `model` (a control, the default procedure), then aborts, so that no test can pass on
// an answer the double never gave.
[[noreturn]] void Unmodelled(const HostWindow& window, uint32_t message, const char* model);

}  // namespace platform::host
