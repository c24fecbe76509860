// The notification area (Shell_NotifyIconW): one icon per window and identifier.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

inline constexpr uint32_t kNimAdd = 0;
inline constexpr uint32_t kNimDelete = 2;
inline constexpr uint32_t kNifMessage = 0x0001;
inline constexpr uint32_t kNifIcon = 0x0002;

// The fields of NOTIFYICONDATA the program sets; the tooltip is always empty.
struct NotifyIconRecord {
  WindowHandle window;
  uint32_t id;
  uint32_t flags;
  uint32_t callbackMessage;
  IconHandle icon;
};

// Adds or deletes the icon; the shell's result. Adding an icon that exists fails, and so does
// deleting one that does not.
bool NotifyIcon(uint32_t operation, const NotifyIconRecord& record);

}  // namespace platform
