// The settings window: its creation, its window procedure and the handlers it dispatches to.
// The handlers are plain functions on the application object, called directly by tests.
#pragma once

#include <cstdint>

#include "gui/gui.h"
#include "platform/window.h"

// Command ids of the window: the soft keys, the page controls and the close command.
enum Command : uint16_t {
  kCmdClose = 105,
  kCmdHide = 131,
  kCmdConnect = 133,
  kCmdMouseCheck = 768,
  kCmdActionList = 769,
  kCmdPreviousCursor = 770,
  kCmdNextCursor = 771,
  kCmdSpeedList = 772,
  kCmdKeyboardCheck = 773,
  kCmdSoundsCheck = 774,
  kCmdStatusCheck = 775,
  kCmdAutostartCheck = 776,
  kCmdTrayCheck = 777,
  kCmdChangeButton = 784,
};

// Menu-bar resource of the window's soft keys.
inline constexpr uint16_t kMainMenuBar = 130;
// The action-list entries that open a picker instead of being stored as they are.
inline constexpr int kOpenProgramAction = 9;
inline constexpr int kOpenAppletAction = 10;

intptr_t MainWndProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The tab strip with its five tabs; the keyboard page is selected. 0 when it cannot be made.
int CreateTabs(GUI& gui);
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
