// The device shell's services for application windows: the soft-key menu bar, the activation and
// settings-change handling, full-screen windows and the place the shell gives a window. Desktop
// Windows has no such shell; its stand-ins are described with each call.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/window.h"

namespace platform {

// The shell's activation record (SHACTIVATEINFO): its size, the window that last had the focus,
// and the shell's flag bits.
struct ShellActivateInfo {
  uint32_t cbSize;
  WindowHandle lastFocus;
  uint32_t flags;
};

// SHFullScreen flags.
inline constexpr uint32_t kShfsHideTaskbar = 0x0002;
inline constexpr uint32_t kShfsHideStartIcon = 0x0020;

// The soft-key menu bar of `parent`, built from the menu-bar resource `resourceId` of
// `instance`: a 16-bit menu id, a 16-bit button count, then per button seven 16-bit words (image,
// command, state, style, caption string id, 0, submenu). A press sends WM_COMMAND with the
// button's command to `parent`. Desktop Windows: a bar of our own with the same buttons and
// captions, `height` pixels high, directly under `parent` and shown, hidden and moved with it.
// Null when it cannot be made.
WindowHandle CreateMenuBar(WindowHandle parent, InstanceHandle instance, uint16_t resourceId, int32_t height);

// SHHandleWMActivate and SHHandleWMSettingChange; nothing to do on desktop Windows.
void HandleActivate(WindowHandle window, uintptr_t wParam, intptr_t lParam, ShellActivateInfo& info);
void HandleSettingChange(WindowHandle window, uintptr_t wParam, intptr_t lParam, ShellActivateInfo& info);

// Gives a top-level window the area the device's shell gives an application window: the whole
// screen width, from below the taskbar to above the menu bar, each `menuHeight` pixels high. The
// device's shell places its windows itself. Desktop Windows: the window loses its frame and is
// placed at the top of the screen, its client area the width of the screen and the screen's
// height less twice `menuHeight`; its menu bar follows under it and the desktop's own taskbar
// has the rest. On a desk's larger screen (platform/win32/desk.h) the window is framed instead,
// with its caption and a close box, around the device's screen below its taskbar (the device's
// width, its height less `menuHeight`); its menu bar sits inside the frame at the bottom. It is
// centred on the work area, and stays where the user moved it until the device size, the menu
// height or the work area changes.
void PlaceAsShellWindow(WindowHandle window, int32_t menuHeight);

// SHFullScreen. Desktop Windows cannot hide its taskbar: the window loses its frame and covers
// the whole screen, above the taskbar. On a desk it covers the device's screen instead: the
// framed window's client area, in front of that window and moving with it; as on the device,
// the framed window cannot be reached (moved, closed) while it is covered.
bool FullScreen(WindowHandle window, uint32_t flags);

}  // namespace platform
