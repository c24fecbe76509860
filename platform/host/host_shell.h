// Test control of the host's shell: message boxes and program starts are recorded in the order
// they happen and answered by the test; the platform type and the cursor are modelled.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/messages.h"
#include "platform/shell.h"

namespace platform::host {

struct ShellCall {
  enum Kind { MessageBox, Launch, Beep } kind;
  ThreadId thread;  // the thread that made the call
  WindowHandle owner;
  WString text;     // message box text, or the program started
  WString caption;  // message box caption, or the parameters
  uint32_t flags;   // message box flags, the show command, or the beep's type
  int cursorId;     // the cursor shown at the time (see CurrentCursorId)
};

// Forgets the record, answers boxes with OK and starts with success, has no platform type and
// resets the cursor.
void ShellReset();
std::vector<ShellCall> ShellCalls();
// Runs while a box is "open" (on the calling thread); its result is the button chosen.
void SetMessageBoxHandler(std::function<int(const ShellCall&)> handler);
void SetLaunchResult(bool started);
// The text QueryPlatformType reports; none makes it fail as on desktop Windows.
void SetPlatformType(std::optional<WString> type);

// The cursor: the id and module it was loaded from (0 and null for no cursor) and the display
// count.
int CurrentCursorId();
InstanceHandle CurrentCursorInstance();
int CursorShowCount();

}  // namespace platform::host
