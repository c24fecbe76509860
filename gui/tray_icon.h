// The notification-area icon that opens the settings window, with a tip that tells the driver's
// status in words.
#pragma once

#include <cstdint>

#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "platform/notify_icon.h"
#include "platform/window.h"

inline constexpr uint32_t kTrayIconId = 5000;
inline constexpr uint32_t kTrayMessage = platform::kWmUser + 2001;  // 3025

// Adds (NIM_ADD) or deletes (NIM_DELETE) the icon; the shell's result. An icon added carries the
// tip for the status as it is now.
bool NotifyTray(platform::WindowHandle window, uint32_t operation, uint32_t id, platform::IconHandle icon);
bool AddTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon);
bool DeleteTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon);
// The desktop shell restarted and lost its icons: ours comes back while it is enabled. Adding an
// icon that still exists fails, so it is deleted first.
void OnTaskbarCreated(GUI& gui);

// The tip's words for the status the flags hold, the first that applies: the driver not
// answering, the radio off, no input device found, then what the driver handles.
const WChar* TrayTipText(const DriverStatus& status);
// On the window's thread, after a flag changed: the icon's tip takes the words for the status
// now, when they differ from those it shows. Every tip set is logged ("GUI: tray tip [%s]").
void UpdateTrayTip(GUI& gui);
