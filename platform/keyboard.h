// The keyboard as the windows' logic meets it: which window has the focus, the state of the
// modifier keys, the top-level window a key was pressed in, and the virtual-key codes handled.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

// Key messages.
inline constexpr uint32_t kWmSetFocus = 0x0007;
inline constexpr uint32_t kWmKillFocus = 0x0008;

// Virtual-key codes (the device's soft keys send F1 and F2).
inline constexpr uint32_t kVkTab = 0x09;
inline constexpr uint32_t kVkReturn = 0x0D;
inline constexpr uint32_t kVkShift = 0x10;
inline constexpr uint32_t kVkControl = 0x11;
inline constexpr uint32_t kVkEscape = 0x1B;
inline constexpr uint32_t kVkSpace = 0x20;
inline constexpr uint32_t kVkPrior = 0x21;  // Page Up
inline constexpr uint32_t kVkNext = 0x22;   // Page Down
inline constexpr uint32_t kVkLeft = 0x25;
inline constexpr uint32_t kVkUp = 0x26;
inline constexpr uint32_t kVkRight = 0x27;
inline constexpr uint32_t kVkDown = 0x28;
inline constexpr uint32_t kVkF1 = 0x70;
inline constexpr uint32_t kVkF2 = 0x71;

// The calling thread's window that has the keyboard focus; null when none has.
WindowHandle FocusedWindow();
// Whether the key was down when the message being handled was posted (GetKeyState), so that a
// key's modifiers are those it was pressed with.
bool KeyIsDown(uint32_t virtualKey);
// The top-level window that a window belongs to; the window itself when it is a top-level one.
WindowHandle TopLevelOf(WindowHandle window);
// Lets a top-level window's controls show the focus from the start. Desktop Windows hides focus
// rectangles until the first key is pressed; the device always shows them.
void ShowFocusCues(WindowHandle topLevel);

}  // namespace platform
