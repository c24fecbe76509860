#include "driver_link/listener.h"

#include "bluetooth/connect.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "platform/messages.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"

namespace {

// wParam carries the state: 1 is on, anything else off.
uint8_t IsOn(uintptr_t wParam) {
  return wParam == 1 ? 1 : 0;
}

// The log shows the driver's 32-bit state value as it came.
int StateValue(uintptr_t wParam) {
  return static_cast<int>(static_cast<uint32_t>(wParam));
}

}  // namespace

uint32_t DriverListenThread(void*) {
  using namespace driver_protocol;
  DebugLog(u"DriverListenThread thread running.");
  platform::Message msg;
  while (!terminateRequested.load()) {
    // 0 is the quit message; -1 a failed wait, which would fail again at once.
    if (platform::GetNextMessage(msg) <= 0) break;
    if (msg.message == TM_KBSTATUS) {
      DebugLog(u"TM_KBSTATUS: %d", StateValue(msg.wParam));
      SetStatusFlag(driverStatus.keyboardOn, IsOn(msg.wParam));
    } else if (msg.message == TM_MOUSESTATUS) {
      DebugLog(u"TM_MOUSESTATUS: %d", StateValue(msg.wParam));
      SetStatusFlag(driverStatus.mouseOn, IsOn(msg.wParam));
    } else if (msg.message == TM_BLUETOOTH) {
      DebugLog(u"TM_BLUETOOTH: %d", StateValue(msg.wParam));
      uint8_t on = IsOn(msg.wParam);
      SetStatusFlag(driverStatus.bluetoothOn, on);
      if (on) DoConnect(0);
    } else {
      platform::TranslateAndDispatch(msg);
      continue;
    }
    if (theGUI.CurrentPage.load() == kStatusPage) platform::InvalidateWindow(theGUI.MainWindow, false);
  }
  return 0;
}
