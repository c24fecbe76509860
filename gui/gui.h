// The tray program's one application object: the settings window's state followed by the
// user's settings.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/handles.h"
#include "settings/settings.h"

struct GUI {
  platform::InstanceHandle Instance;
  platform::ImageListHandle TabImages;
  platform::IconHandle Icons[10];
  platform::BitmapHandle Pictures[10];
  platform::WindowHandle Controls[20];
  int32_t SelectedButton;
  platform::IconHandle TrayIcon;
  platform::WindowHandle TabControl;
  platform::WindowHandle MainWindow;  // set before the listener thread starts, then only read
  platform::WindowHandle MenuBar;
  // The page shown: 0 mouse, 1 keyboard, 2 settings and status, 3 help, 4 about. The listener
  // thread reads it, so it is an atomic word.
  std::atomic<int32_t> CurrentPage;
  int32_t ScreenWidth;
  int32_t ScreenHeight;
  int32_t MH;  // height of the menu bar (and of the taskbar)
  Settings settings;

  // Measures the screen, sets the scale factors and logs the sizes.
  void ComputeSize();
};

// The application object, and the pointer through which the window procedure reaches it.
extern GUI theGUI;
extern GUI* TheGUI;
