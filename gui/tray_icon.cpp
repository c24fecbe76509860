#include "gui/tray_icon.h"

#include "tray/debug_log.h"

bool NotifyTray(platform::WindowHandle window, uint32_t operation, uint32_t id, platform::IconHandle icon) {
  platform::NotifyIconRecord record{window, id, platform::kNifMessage | platform::kNifIcon, kTrayMessage, icon};
  return platform::NotifyIcon(operation, record);
}

bool AddTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon) {
  return NotifyTray(window, platform::kNimAdd, id, icon);
}

bool DeleteTrayIcon(platform::WindowHandle window, uint32_t id, platform::IconHandle icon) {
  return NotifyTray(window, platform::kNimDelete, id, icon);
}

void OnTaskbarCreated(GUI& gui) {
  if (!gui.settings.Enable_Tray) return;
  // An icon the shell still has cannot be added again: it is deleted first.
  DeleteTrayIcon(gui.MainWindow, kTrayIconId, nullptr);
  DebugLog(u"GUI: shell restarted, tray icon added again: %d", AddTrayIcon(gui.MainWindow, kTrayIconId, gui.TrayIcon));
}
