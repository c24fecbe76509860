// The notification area (Shell_NotifyIconW): one icon per window and identifier.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

inline constexpr uint32_t kNimAdd = 0;
inline constexpr uint32_t kNimModify = 1;
inline constexpr uint32_t kNimDelete = 2;
inline constexpr uint32_t kNifMessage = 0x0001;
inline constexpr uint32_t kNifIcon = 0x0002;
inline constexpr uint32_t kNifTip = 0x0004;

// The device's record holds a tip of 64 characters with its terminator; the desktop's more.
inline constexpr int kNotifyTipChars = 64;

// The fields of NOTIFYICONDATA the program sets. The tip is taken only with kNifTip.
struct NotifyIconRecord {
  WindowHandle window;
  uint32_t id;
  uint32_t flags;
  uint32_t callbackMessage;
  IconHandle icon;
  WChar tip[kNotifyTipChars];
};

// Adds, modifies or deletes the icon; the shell's result. Adding an icon that exists fails, and
// so do modifying and deleting one that does not.
bool NotifyIcon(uint32_t operation, const NotifyIconRecord& record);

}  // namespace platform
