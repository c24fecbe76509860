// The notification-area icon that opens the settings window.
#pragma once

#include <cstdint>

#include "gui/gui.h"
#include "platform/notify_icon.h"
#include "platform/window.h"

inline constexpr uint32_t kTrayIconId = 5000;
inline constexpr uint32_t kTrayMessage = platform::kWmUser + 2001;  // 3025

// Adds (NIM_ADD) or deletes (NIM_DELETE) the icon; the shell's result.
bool NotifyTray(platform::WindowHandle window, uint32_t operation, uint32_t id, platform::IconHandle icon);
bool AddTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon);
bool DeleteTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon);
// The desktop shell restarted and lost its icons: ours comes back while it is enabled. Adding an
// icon that still exists fails, so it is deleted first.
void OnTaskbarCreated(GUI& gui);
