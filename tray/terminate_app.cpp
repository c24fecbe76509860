#include "tray/terminate_app.h"

#include "driver_link/driver_control.h"
#include "gui/gui.h"
#include "gui/tray_icon.h"
#include "platform/messages.h"
#include "platform/system.h"
#include "platform/threads.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"

namespace {

constexpr uint32_t kSettleMs = 100;

// The listener is asked to end (it leaves its loop at the next message once terminateRequested
// is set) and given a short while. Killing it outside its wait could leave a lock held that the
// rest of the shutdown needs, so it is stopped from outside only when it does not end by itself.
void StopListener() {
  if (!listenerThread) return;
  platform::PostToThread(platform::ThreadIdOf(listenerThread), platform::kWmQuit, 0, 0);
  if (!platform::WaitThread(listenerThread, kListenerEndWaitMs)) {
    DebugLog(u"TERM-3: listener did not end within %d ms, stopped", static_cast<int>(kListenerEndWaitMs));
    platform::TerminateThreadNow(listenerThread, 0);
    listenerKilled = 1;
  }
  platform::CloseThread(listenerThread);
  listenerThread = nullptr;
}

}  // namespace

void TerminateApp() {
  terminateRequested = 1;
  DebugLog(u"TERM: Terminate app signal!");
  int saved = SaveSettings(theGUI.settings);
  DebugLog(u"TERM-1: REG Settings saved: %d", saved);
  if (closeEvent.IsOpen()) platform::SignalEvent(closeEvent.handle());
  platform::SleepMilliseconds(kSettleMs);
  filterRecord.Filter = 1;
  filterRecord.Keyboard = 0;
  filterRecord.Mouse = 0;
  int sent = ManageFilter();
  DebugLog(u"TERM-2: ManageFilter(1,0,0)= %d", sent);
  StopListener();
  DebugLog(u"TERM-3:  Threads terminated.");
  DeleteTrayIcon(theGUI.MainWindow, kTrayIconId, nullptr);
  DebugLog(u"TERM-4: resources deleted.");
  DebugLog(u"TERM-5: Sending WM_QUIT");
  platform::PostQuit(0);
}
