// The notification area on the real API.
#include "platform/notify_icon.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {

bool NotifyIcon(uint32_t operation, const NotifyIconRecord& record) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = static_cast<HWND>(record.window);
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = static_cast<HICON>(record.icon);
  return Shell_NotifyIconW(operation, &data) != 0;
}

}  // namespace platform
