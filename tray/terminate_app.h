// The tray program's shutdown sequence, run when the settings window is destroyed.
#pragma once

#include <cstdint>

// How long the listener thread is given to leave its loop by itself before it is stopped from
// outside.
inline constexpr uint32_t kListenerEndWaitMs = 1000;

// Saves the settings, signals the close event, switches the driver's filter off, ends the
// listener thread, removes the tray icon and posts the quit message.
void TerminateApp();
