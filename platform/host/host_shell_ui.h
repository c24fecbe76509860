// Host model of the device shell's window services and the notification area: what was asked of
// them is recorded; the notification area keeps its icons.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/messages.h"
#include "platform/notify_icon.h"
#include "platform/shell_ui.h"

namespace platform::host {

struct NotifyCall {
  uint32_t operation;
  NotifyIconRecord record;
  bool result;
  ThreadId thread;  // the thread that made the call
};

void ShellUiReset();
// Making a menu bar fails.
void FailMenuBar(bool fail);
std::vector<NotifyCall> NotifyCalls();
// The icons in the notification area now: (window, id) pairs.
bool TrayIconPresent(WindowHandle window, uint32_t id);
int TrayIconCount();
int SettingChangesHandled();

}  // namespace platform::host
