#include "gui/tray_icon.h"

#include "tray/debug_log.h"
#include "tray/ui_text.h"

namespace {

// The tip is set on the main thread only, so that the record of what it shows needs no lock.
bool SetTip(GUI& gui, uint32_t operation, platform::NotifyIconRecord& record) {
  const WChar* words = TrayTipText(driverStatus);
  record.flags |= platform::kNifTip;
  WCopy(record.tip, platform::kNotifyTipChars, words);
  if (!platform::NotifyIcon(operation, record)) return false;
  WCopy(gui.TrayTip, platform::kNotifyTipChars, words);
  DebugLog(u"GUI: tray tip [%s]", words);
  return true;
}

}  // namespace

bool NotifyTray(platform::WindowHandle window, uint32_t operation, uint32_t id, platform::IconHandle icon) {
  platform::NotifyIconRecord record{window, id, platform::kNifMessage | platform::kNifIcon, kTrayMessage, icon, {}};
  if (operation == platform::kNimAdd) {
    if (SetTip(*TheGUI, operation, record)) return true;
    TheGUI->TrayTip[0] = 0;
    return false;
  }
  if (operation == platform::kNimDelete) TheGUI->TrayTip[0] = 0;
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
  DebugLog(u"GUI: shell restarted, tray icon added again: %d",
           AddTrayIcon(gui.MainWindow, kTrayIconId, gui.TrayIcon.handle()));
}

const WChar* TrayTipText(const DriverStatus& s) {
  if (!s.driverAnswered.load()) return UiText(QM_TEXT_TIP_NO_DRIVER);
  if (!s.bluetoothOn.load()) return UiText(QM_TEXT_TIP_BLUETOOTH_OFF);
  if (!s.deviceFound.load()) return UiText(QM_TEXT_TIP_NO_KEYBOARD);
  bool keyboard = s.keyboardOn.load() != 0, mouse = s.mouseOn.load() != 0;
  if (keyboard && mouse) return UiText(QM_TEXT_TIP_BOTH_ON);
  if (keyboard) return UiText(QM_TEXT_TIP_KEYBOARD_ON);
  if (mouse) return UiText(QM_TEXT_TIP_MOUSE_ON);
  return UiText(QM_TEXT_TIP_BOTH_OFF);
}

void UpdateTrayTip(GUI& gui) {
  // No icon, no tip: the icon added later takes the words of its moment.
  if (!gui.TrayTip[0] || WString(gui.TrayTip) == TrayTipText(driverStatus)) return;
  platform::NotifyIconRecord record{gui.MainWindow, kTrayIconId, 0, kTrayMessage, nullptr, {}};
  SetTip(gui, platform::kNimModify, record);
}
