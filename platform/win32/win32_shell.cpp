// Shell service on the real API, with the desktop's stand-in for the device's Bluetooth panels.
#include "platform/shell.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace platform {
namespace {

bool Execute(const wchar_t* file, const wchar_t* parameters, int showCommand, ULONG mask) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = mask;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.nShow = showCommand;
  return ShellExecuteExW(&info) != 0;
}

#ifndef _WIN32_WCE
// The device's Bluetooth applet ("cplmain.cpl,23" and "cplmain.cpl,23,1" in its control-panel
// host) and its bonding program, when this machine does not have them.
bool IsDeviceBluetoothPanel(const WChar* file, const WChar* parameters) {
  static const WChar kHost[] = u"\\windows\\ctlpnl.exe";
  static const WChar kBond[] = u"\\windows\\bthbond.exe";
  static const WChar kApplet[] = u"cplmain.cpl,23";
  bool panel = false;
  if (WCompareNoCase(file, kBond) == 0) {
    panel = true;
  } else if (WCompareNoCase(file, kHost) == 0) {
    size_t n = WLen(kApplet), i = 0;
    while (i < n && WToLower(parameters[i]) == kApplet[i]) ++i;
    panel = i == n && (parameters[n] == 0 || parameters[n] == u',');
  }
  return panel && GetFileAttributesW(W(file)) == INVALID_FILE_ATTRIBUTES;
}

// Windows 10 and later: the Settings app's Bluetooth page (which also adds devices); earlier
// systems: the "Bluetooth Devices" control panel.
bool OpenDesktopBluetoothSettings(int showCommand) {
  if (Execute(L"ms-settings:bluetooth", nullptr, showCommand, SEE_MASK_FLAG_NO_UI)) return true;
  return Execute(L"control.exe", L"bthprops.cpl", showCommand, SEE_MASK_FLAG_NO_UI);
}
#endif

}  // namespace

bool PlayBeep(uint32_t type) {
  return MessageBeep(type) != 0;
}

int ShowMessageBox(WindowHandle owner, const WChar* text, const WChar* caption, uint32_t flags) {
  return MessageBoxW(static_cast<HWND>(owner), W(text), W(caption), flags);
}

bool ShellLaunch(const WChar* file, const WChar* parameters, int showCommand) {
  if (!parameters) parameters = u"";
#ifndef _WIN32_WCE
  if (IsDeviceBluetoothPanel(file, parameters)) return OpenDesktopBluetoothSettings(showCommand);
  // The device's browser with an address: desktop Windows opens the address in the user's own.
  if (WCompareNoCase(file, u"iexplore.exe") == 0 && parameters[0]) return Execute(W(parameters), nullptr, showCommand, 0);
#endif
  return Execute(W(file), W(parameters), showCommand, 0);
}

bool QueryPlatformType(WChar* buffer, uint32_t chars) {
  if (chars == 0) return false;
  buffer[0] = 0;
#ifdef _WIN32_WCE
  if (SystemParametersInfoW(SPI_GETPLATFORMTYPE, chars, W(buffer), 0)) {
    buffer[chars - 1] = 0;  // never trust the platform to terminate a full buffer
    return true;
  }
  buffer[0] = 0;
#endif
  return false;
}

CursorHandle LoadCursorById(InstanceHandle instance, int id) {
  HCURSOR cursor = LoadCursorW(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEW(id));
#ifndef _WIN32_WCE
  // A desktop module holds no system cursors of its own.
  if (!cursor && instance) cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
#endif
  return cursor;
}

CursorHandle SetCurrentCursor(CursorHandle cursor) {
  return SetCursor(static_cast<HCURSOR>(cursor));
}

int ShowCursorCount(bool show) {
  return ShowCursor(show ? TRUE : FALSE);
}

}  // namespace platform
