// The notification area on the real API.
#include "platform/notify_icon.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {
namespace {

#ifdef _WIN32_WCE
// The device's record is 152 bytes: cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon and a tip
// of 64 wide characters. Its shell has only the wide call, named without the W.
using IconData = NOTIFYICONDATA;
BOOL ShellNotify(DWORD operation, IconData* data) {
  return Shell_NotifyIcon(operation, data);
}
#else
// The desktop's record is larger (its tip holds 128 characters); only the fields above are set.
using IconData = NOTIFYICONDATAW;
BOOL ShellNotify(DWORD operation, IconData* data) {
  return Shell_NotifyIconW(operation, data);
}
#endif

static_assert(sizeof(IconData::szTip) >= sizeof(NotifyIconRecord::tip), "the tip must fit the shell's field");

}  // namespace

bool NotifyIcon(uint32_t operation, const NotifyIconRecord& record) {
  IconData data = {};
  data.cbSize = sizeof data;
  data.hWnd = static_cast<HWND>(record.window);
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = static_cast<HICON>(record.icon);
  if (record.flags & kNifTip) WCopy(U(data.szTip), kNotifyTipChars, record.tip);
  return ShellNotify(operation, &data) != 0;
}

}  // namespace platform
