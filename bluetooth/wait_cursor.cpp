#include "bluetooth/wait_cursor.h"

#include "platform/shell.h"
#include "tray/app_state.h"

void SetWaitCursor(bool on) {
  if (on) {
    platform::SetCurrentCursor(platform::LoadCursorById(appInstance, platform::kIdcWait));
    platform::ShowCursorCount(true);
  } else {
    platform::SetCurrentCursor(nullptr);
    platform::ShowCursorCount(false);
  }
}
