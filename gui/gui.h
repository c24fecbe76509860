// The tray program's one application object: the settings window's state followed by the
// user's settings, and the window's entry points.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/handles.h"
#include "platform/images.h"
#include "platform/notify_icon.h"
#include "platform/paint.h"
#include "platform/shell_ui.h"
#include "settings/settings.h"

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

// The pages, in tab order.
enum Page : int32_t { kMousePage = 0, kKeyboardPage = 1, kSettingsPage = 2, kHelpPage = 3, kAboutPage = 4 };
inline constexpr int kPageCount = 5;

// The Controls slots.
enum ControlSlot : int {
  kMouseCheckSlot,
  kActionListSlot,
  kPreviousCursorSlot,
  kNextCursorSlot,
  kSpeedListSlot,
  kKeyboardCheckSlot,
  kSoundsCheckSlot,
  kStatusCheckSlot,
  kAutostartCheckSlot,
  kTrayCheckSlot,
  kChangeButtonSlot,
  kHelpViewSlot,
};
inline constexpr int kControlSlots = 20;

// The Pictures slots.
// The fifth, the maker's logo drawn at the factor, is loaded only above factor 2 (on a scaled
// desk); below it the about page draws the logo written out at start-up.
enum PictureSlot : int { kHighlightPicture, kActionStripPicture, kMousePicture, kCursorPicture, kLargeLogoPicture };

struct GUI {
  platform::InstanceHandle Instance;
  // The pictures and icons are owned here and released at the window's explicit release points
  // (ReleasePictures, Release).
  platform::OwnedImageList TabImages;
  platform::OwnedIcon Icons[10];
  platform::OwnedBitmap Pictures[10];
  platform::WindowHandle Controls[kControlSlots];
  int32_t SelectedButton;
  platform::OwnedIcon TrayIcon;
  platform::WindowHandle TabControl;
  platform::WindowHandle MainWindow;  // set before the listener thread starts, then only read
  platform::WindowHandle MenuBar;
  // The page shown: 0 mouse, 1 keyboard, 2 settings and status, 3 help, 4 about. The listener
  // thread reads it, so it is an atomic word.
  std::atomic<int32_t> CurrentPage;
  int32_t ScreenWidth;
  int32_t ScreenHeight;
  int32_t MH;  // height of the menu bar (and of the taskbar)
  // The words the notification icon's tip shows; empty while the icon is not there. Main thread only.
  WChar TrayTip[platform::kNotifyTipChars];
  Settings settings;

  // 1 when the window and its pages exist; -1 another instance's window was found and brought
  // forward; -2 the class, -3 the window, -4 the tab strip, -5 the page controls failed.
  int InitWindow(platform::InstanceHandle instance);
  // Measures the screen, sets the scale factors and logs the sizes.
  void ComputeSize();
  // Replaces the controls with those of CurrentPage and lays the page out; always 1.
  int InitWindowComponents();
  // Places the tab strip and the controls that follow the screen or the selected button, and
  // asks for a repaint; always 1.
  int LayoutPage();
  // Frees the icons, pictures and image list and destroys the window, if it still exists.
  void Release();
};

// The application object, and the pointer through which the window procedure reaches it.
extern GUI theGUI;
extern GUI* TheGUI;
// The shell's activation record of the window.
extern platform::ShellActivateInfo ActivateInfo;
// How often the about page was opened in this run.
extern int32_t AboutVisits;
