// The settings window from the keyboard: the focus and how Tab moves it, and what each of the
// window's other keys stands for (the pages by Ctrl+Tab, the soft keys on F1 and F2, Esc, Enter on
// the action list). The keys move the focus and press a focused button themselves; for the rest
// they hand back the command or page the key stands for, and the window does it through the
// handler of the tap the key stands for.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/gui.h"
#include "gui/keys.h"
#include "platform/handles.h"

// What a key pressed in the window stands for.
struct WindowKey {
  enum Kind {
    kControls,  // not the window's: the focused control sees it
    kDone,      // the window's, and done here (the focus moved, a button was pressed)
    kCommand,   // the command `command`, as its soft key gives it
    kPage,      // the page `step` tabs on (1) or back (-1), as a tap on that tab
    kAction,    // the choice the action list shows, taken
  } kind;
  uint16_t command;
  int step;
};
WindowKey KeyOfWindow(const GUI& gui, const KeyPress& press);

// What the action list's notification does with its choice, from a tap (`byKey` false) or from a
// key the list was left: nothing yet, take it, or show the stored action again.
enum class ActionListStep { kWait, kTake, kRestore };
ActionListStep ActionListNotice(uint16_t code, bool byKey);
// The choice was taken: nothing waits for confirmation.
void ActionTaken();
// A new page: the focus and the choice of the old one are forgotten.
void ForgetWindowKeys();

// The controls Tab moves through: the page's enabled controls in their order on the page, then the
// tab strip.
std::vector<platform::WindowHandle> FocusOrder(const GUI& gui);
// The focus to the page: to the control that had it when the window was left, or to the page's
// first control (the tab strip when the page has none).
void FocusPage(GUI& gui);
// WM_ACTIVATE: the window keeps its control's focus while it is away and gives it back on return.
void OnActivate(GUI& gui, uintptr_t wParam);
