// Shell service: message boxes, starting programs through the shell, the platform's type and
// the cursor.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {

using CursorHandle = void*;

// Message-box flags and results used by the program (the platform's own values).
inline constexpr uint32_t kMbOk = 0x00000000;
inline constexpr uint32_t kMbIconError = 0x00000010;
inline constexpr uint32_t kMbIconInformation = 0x00000040;
inline constexpr uint32_t kMbTopmost = 0x00040000;
inline constexpr int kIdOk = 1;

inline constexpr int kIdcArrow = 32512;
inline constexpr int kIdcWait = 32514;

// Plays the sound of a message-box type (MessageBeep; kMbOk is the default beep).
bool PlayBeep(uint32_t type);
// Shows a modal message box and waits until the user closes it; returns the button chosen,
// 0 when the box could not be shown.
int ShowMessageBox(WindowHandle owner, const WChar* text, const WChar* caption, uint32_t flags);
// Starts a program (or opens a document or address) the way ShellExecuteEx does with no mask,
// owner, verb or folder; `parameters` may be empty. True when the shell started it.
// Desktop Windows has none of the device's "\windows\..." programs and never looks for them: the
// control-panel host with the Bluetooth applet's parameters ("cplmain.cpl,23...") and the bonding
// program "\windows\bthbond.exe" open the system's Bluetooth settings, any other is not started
// (false); "control.exe" is the system folder's, and "iexplore.exe" with an address opens the
// address in the user's own browser (see platform/win32/desktop_launch.h).
bool ShellLaunch(const WChar* file, const WChar* parameters, int showCommand);
// The platform's type text ("PocketPC", "SmartPhone", ...), terminated, in `chars` characters.
// False, with an empty text, when the platform has none (desktop Windows).
bool QueryPlatformType(WChar* buffer, uint32_t chars);
// Loads a cursor by its numeric id from the module `instance`; the platform's own cursor of that
// id when the module has none.
CursorHandle LoadCursorById(InstanceHandle instance, int id);
// Makes `cursor` (null: none) the current cursor; returns the previous one.
CursorHandle SetCurrentCursor(CursorHandle cursor);
// Raises (show) or lowers the cursor's display count; returns the new count.
int ShowCursorCount(bool show);

}  // namespace platform
