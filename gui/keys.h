// Keys before controls: the message loops give a top-level window that asks for it the first look
// at every key pressed in it, wherever the focus is (Tab, Ctrl+Tab, the soft keys F1 and F2, Esc,
// Enter), the way a dialog manager does; a key the window leaves goes to the focused control as
// before, and every other message is dispatched as the platform translates it.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/messages.h"

// A key as the window sees it: the virtual key, its modifiers and the window that had the focus.
struct KeyPress {
  uint32_t key;
  bool ctrl, shift;
  platform::WindowHandle focus;
};

// The window's handler: true when the key was the window's, and no control is to see it.
using KeyHandler = bool (*)(void* context, const KeyPress& press);

// Gives the keys pressed in `topLevel` (or any of its controls) to `handler` first; a second call
// for the same window replaces the handler. The handler is dropped when the window's keys end.
void WatchWindowKeys(platform::WindowHandle topLevel, KeyHandler handler, void* context);
void EndWindowKeys(platform::WindowHandle topLevel);

// What a message loop does with a message: a key pressed in a watched window goes to its handler
// first; anything else is translated and dispatched.
void DispatchWithKeys(const platform::Message& msg);

// True while a key the window left to its focused control is being dispatched, so that the
// control's own reaction (a list moved by an arrow key) can be told from a tap's.
bool DispatchingKey();
