#include "tray/startup.h"

#include <string>

#include "bluetooth/connect.h"
#include "driver_link/driver_control.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "driver_link/listener.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/main_window.h"
#include "gui/scale.h"
#include "gui/tray_icon.h"
#include "platform/device.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/paint.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/threads.h"
#include "platform/window.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/install_path.h"
#include "tray/registry_access.h"
#include "tray/ui_text.h"
#include "tray/wformat.h"

namespace {

constexpr int kDeviceIdHeaderBytes = 20;
constexpr int kDeviceIdBytes = 9;
constexpr int kOemChars = 255;
constexpr uint32_t kDriverSettleMs = 400;
constexpr uint32_t kCriticalBoxFlags = platform::kMbOk | platform::kMbIconError | platform::kMbTopmost;  // 0x00040010
constexpr WChar kHidInstanceKey[] = u"Software\\Microsoft\\Bluetooth\\Hid\\Instance";
constexpr WChar kHidClassKey[] = u"Software\\Microsoft\\Bluetooth\\Hid\\Hid_Class";

// A text value of the program key into an About text; it stays empty when missing and is
// always terminated.
void ReadAboutText(const WChar* name, WChar (&text)[kAboutTextChars]) {
  ReadMachineSetting(name, platform::kRegSz, text, sizeof text);
  text[kAboutTextChars - 1] = 0;
}

void WriteImages() {
  WChar logo[kPathChars], badge[kPathChars];
  // The composer's buffer is overwritten by its next call: each path is copied at once.
  WCopy(logo, kPathChars, ComposeInstallPath(u"images", u"morvane.jpg"));
  WCopy(badge, kPathChars, ComposeInstallPath(u"images", u"iton.jpg"));
  ExtractResourceFile(logo, u"DAT", 147);
  ExtractResourceFile(badge, u"DAT", 146);
}

// The driver is given 400 ms to settle after its activation. What only the shown window draws (the
// about page's logo, the tab icons and the pictures) is made within that time rather than before
// it: nothing paints the hidden window before the message loop, and the critical box that may
// show it comes after the pause. The pause still lasts 400 ms from its start, as the platform's
// millisecond count measures it (and longer when the pictures take longer).
void SettleDriver() {
  uint64_t start = platform::MonotonicMilliseconds();
  if (platform::Exists(theGUI.MainWindow))
    logoBitmap.Reset(platform::LoadPicture(ComposeInstallPath(u"images", u"morvane.jpg")));
  LoadWindowPictures(theGUI);
  platform::ReleasePictureDecoder();
  uint64_t spent = platform::MonotonicMilliseconds() - start;
  platform::SleepMilliseconds(spent < kDriverSettleMs ? kDriverSettleMs - static_cast<uint32_t>(spent) : 0);
}

void StartListener() {
  listenerThread = platform::StartThread(DriverListenThread, nullptr, kListenerStackBytes);
  DebugLog(u"INIT-6: CT-3 (msg listener) thread: %X running. Inform Driver.", listenerThread);
  if (listenerThread) platform::SetThreadPriorityLevel(listenerThread, platform::kThreadPriorityAboveNormal);
}

void PingDriver() {
  InformDriver();
  bool answered = driverStatus.driverAnswered.load() != 0;
  DebugLog(u"INIT-8: Ping Driver response: [%s]", answered ? u"SUCCESS" : u"FAILED");
  if (answered) return;
  platform::Show(theGUI.MainWindow, platform::kSwShow);
  platform::BringForward(theGUI.MainWindow);
  platform::ShowMessageBox(theGUI.MainWindow, UiText(QM_TEXT_CRITICAL), UiText(QM_TEXT_CRITICAL_TITLE),
                           kCriticalBoxFlags);
}

// The window is destroyed when another program closes it while start-up waits (the critical box
// runs the window's messages): the program has then ended in order already, and start-up must not
// switch the filter on again or look for a device after the listener has stopped.
bool WindowGone() {
  if (platform::Exists(theGUI.MainWindow)) return false;
  DebugLog(u"QUIT: window closed during start-up");
  return true;
}

}  // namespace

void FormatDeviceId(const uint8_t (&record)[kDeviceIdRecordBytes], WChar (&text)[kDeviceIdTextChars]) {
  text[0] = 0;
  for (int i = 0; i < kDeviceIdBytes; ++i) {
    FormatWide(text + 2 * i, kDeviceIdTextChars - 2 * i, u"%02X", record[kDeviceIdHeaderBytes + i]);
  }
}

bool RunRuleAllows(uint32_t autostart, const WChar* commandLine) {
  return autostart != 0 || WCompareNoCase(commandLine ? commandLine : u"", u"-tray") == 0;
}

int ExtractResourceFile(const WChar* target, const WChar* type, uint16_t id) {
  std::string bytes;
  if (!platform::LoadModuleResource(type, platform::ResourceId(id), bytes)) return 0;
  return platform::FileWriteAll(target, bytes.data(), bytes.size()) ? 1 : 0;
}

int RunMessageLoop() {
  platform::Message msg{};
  int rc;
  // A failing wait (-1) would fail again at once: it ends the loop like the quit message.
  while ((rc = platform::GetNextMessage(msg)) > 0) DispatchWithKeys(msg);
  return rc == 0 ? static_cast<int>(msg.wParam) : 1;
}

int RunTrayProgram(platform::InstanceHandle instance, const WChar* commandLine) {
  appInstance = instance;
  ReadMachineSetting(u"EnableDebug", platform::kRegDword, &debugEnabled, sizeof debugEnabled);
  uint16_t language = ChooseTextLanguage(instance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();

  uint8_t record[kDeviceIdRecordBytes] = {};
  platform::QueryDeviceId(record, sizeof record);
  WChar deviceId[kDeviceIdTextChars];
  FormatDeviceId(record, deviceId);

  ReadAboutText(u"AboutWebName", AboutWebName);
  ReadAboutText(u"AboutWebLink", AboutWebLink);
  ReadAboutText(u"Version", Version);
  ReadAboutText(u"Description", Description);

  WChar oem[kOemChars] = {};
  platform::QueryOemInfo(oem, sizeof oem);
  DebugLog(u"\n\nInit tray app.\n--------------------------\nDevice: [%s] ID: [%s]", oem, deviceId);

  uint32_t autostart = 0;
  ReadSetting(u"Enable_Autostart", platform::kRegDword, &autostart, sizeof autostart);
  DebugLog(u"Autostart: %d", autostart);
  if (!RunRuleAllows(autostart, commandLine)) return 0;
  DebugLog(u"Language: %04X", language);

  closeEvent.Reset(platform::MakeEvent());
  DebugLog(u"INIT-0: Created close event %X", closeEvent.handle());
  DebugLog(u"INIT-1: CT-0 (app main) thread: %X running.", platform::CurrentThreadId());
  driverReady = 1;
  int loaded = LoadSettings(theGUI.settings);
  DebugLog(u"INIT-2: REG Settings: %d", loaded);
  WriteImages();

  int exitCode;
  int window = theGUI.InitWindow(instance);
  if (window != 1) {
    DebugLog(u"QUIT: Duplicate instance");
    exitCode = window;
  } else {
    DebugLog(u"INIT-3: Screen size: %dx%d, DRAX(2)=%d, DRAY(2)=%d, MH=%d", theGUI.ScreenWidth, theGUI.ScreenHeight,
             DRAX(2), DRAY(2), theGUI.MH);
    if (theGUI.settings.Enable_Tray) AddTrayIcon(theGUI.MainWindow, kTrayIconId, theGUI.TrayIcon.handle());
    StartListener();
    bool activated = platform::ActivateDevice(kHidInstanceKey, kHidClassKey);
    DebugLog(u"INIT-7: ActivateDevice = %d.", activated ? 1 : 0);
    SettleDriver();
    PingDriver();
    if (WindowGone()) {
      exitCode = kNormalExit;
    } else {
      SetFilterRecord(theGUI.settings.Enable_KB, theGUI.settings.Enable_Mouse);
      filterRecord.DriverByte = driver_protocol::kFilterDriverByte;
      int filtered = ManageFilter();
      DebugLog(u"INIT-9: ManageFilter(1,1,1)= %d", filtered);
      uint32_t mode = 0;
      platform::QueryRadioMode(&mode);
      SetStatusFlag(driverStatus.bluetoothOn, mode != 0 ? 1 : 0);
      DebugLog(u"INIT-10: Bluetooth mode: %d", mode != 0 ? 1 : 0);
      if (mode != 0) DoConnect(0);
      exitCode = WindowGone() ? kNormalExit : RunMessageLoop();
    }
  }
  DebugLog(u"Free res. App quit.");
  logoBitmap.Close();
  return exitCode;
}

void ReleaseAtExit() {
  // A start that the run rule ended made nothing, and leaves nothing in the log either.
  if (!driverReady) return;
  theGUI.Release();
  if (!listenerKilled.load()) ReleaseSelectedDevice();
  closeEvent.Close();
}
