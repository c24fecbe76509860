// The settings window: its creation, its window procedure and the handlers it dispatches to.
// The handlers are plain functions on the application object, called directly by tests.
#pragma once

#include <cstdint>

#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/window_keys.h"
#include "platform/window.h"

// Menu-bar resource of the window's soft keys.
inline constexpr uint16_t kMainMenuBar = 130;
// The action-list entries that open a picker instead of being stored as they are.
inline constexpr int kOpenProgramAction = 9;
inline constexpr int kOpenAppletAction = 10;

intptr_t MainWndProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The tab strip with its five tabs; the keyboard page is selected. 0 when it cannot be made.
int CreateTabs(GUI& gui);
// The tab icons, their image list (given to the tab strip) and the pictures, which only the shown
// window needs: start-up makes them while it waits for the driver to settle, after the window is
// made and before anything can paint it. Nothing when they are made already or the window is gone.
void LoadWindowPictures(GUI& gui);
// WM_NOTIFY: a tab was chosen.
void OnTabChange(GUI& gui, intptr_t lParam);
// WM_COMMAND: a control changed or a soft key was pressed.
void OnCommand(GUI& gui, uintptr_t wParam);
// WM_LBUTTONUP on the page, in client coordinates.
void OnTap(GUI& gui, uint16_t x, uint16_t y);
// WM_SETTINGCHANGE: the screen may have turned.
void OnSettingChange(GUI& gui, uintptr_t wParam, intptr_t lParam);
// The two picker actions of the action list, for the selected button.
void PickProgram(GUI& gui);
void PickApplet(GUI& gui);

// The page of the tab the strip has selected now, made as a tap on that tab makes it: the first
// tab shows the keyboard page, the about page counts its visits, the page is built and painted.
void ShowSelectedTab(GUI& gui);
// The action list's notifications: a tap's choice is taken at once; a name the arrow keys moved to
// only once it is confirmed (Enter, or the dropped list closed on it).
void OnActionList(GUI& gui, uint16_t code);
// The choice the action list shows now, taken: a picker for "Open Program" and "Open Applet", else
// the selected button's action; saved.
void TakeAction(GUI& gui);

// The keyboard: what the window does with a key before the focused control sees it (true when it
// was the window's): what the key stands for, done by the handler of the tap it stands for.
bool OnKey(GUI& gui, const KeyPress& press);
