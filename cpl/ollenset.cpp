#include "cpl/ollenset.h"

#include "bluetooth/launch_program.h"
#include "platform/control_panel.h"
#include "platform/files.h"
#include "platform/images.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tray/program_names.h"
#include "tray/ui_text.h"

platform::InstanceHandle cplInstance = nullptr;

namespace {

using namespace platform;

constexpr int kAppletIcon = 101;
constexpr WChar kProgramFile[] = u"\\Ollendock.exe";
constexpr uint32_t kStartWaitMs = 500;

// The tray program's path from "InstallPath": false, with nothing built, when the value is
// missing, is not text, is not terminated within its buffer, is not a whole path or leaves no room
// for the file name.
bool ProgramPath(WChar (&path)[kPathChars]) {
  RegKey key;
  // The machine key's folder only: whatever a user's own key holds never names the program to start.
  if (RegCreate(RegRoot::Machine, kProgramKey, RegAccess::Read, key) != RegStatus::Ok) return false;
  WChar folder[kPathChars] = {};
  uint32_t type = 0, size = sizeof folder;
  if (RegQuery(key, u"InstallPath", &type, folder, &size) != RegStatus::Ok || type != kRegSz) return false;
  size_t chars = size / sizeof(WChar);
  size_t length = 0;
  while (length < chars && folder[length]) ++length;
  if (length == 0 || length == kPathChars) return false;
  folder[length] = 0;
  // A relative folder would be looked for wherever the control panel happens to run.
  if (!IsWholePath(folder)) return false;
  return WCopy(path, kPathChars, folder) && WAppend(path, kPathChars, kProgramFile);
}

void OpenProgram(WindowHandle parent) {
  WChar path[kPathChars];
  if (!ProgramPath(path)) {
    ShowMessageBox(parent, UiText(QM_APPLET_NOT_INSTALLED), UiText(QM_APPLET_NAME), kMbOk | kMbIconError);
    return;
  }
  // A program that cannot be started (removed, damaged) is no reason for silence: the user is told.
  if (!LaunchProgram(path, u"-tray")) {
    ShowMessageBox(parent, UiText(QM_APPLET_NOT_STARTED), UiText(QM_APPLET_NAME), kMbOk | kMbIconError);
    return;
  }
  SleepMilliseconds(kStartWaitMs);
  if (WindowHandle window = FindTopLevel(kMainWindowClass, kMainWindowTitle)) {
    Show(window, kSwShow);
    BringForward(window);
  }
}

void Describe(intptr_t index, NewCplInfo* info) {
  if (!info || index != 0) return;
  info->dwSize = sizeof(NewCplInfo);
  info->dwFlags = 0;
  info->dwHelpContext = 0;
  info->lData = kAppletIcon;
  info->hIcon = LoadIconById(cplInstance, kAppletIcon);
  WCopy(info->szName, kCplNameChars, UiText(QM_APPLET_NAME));
  WCopy(info->szInfo, kCplInfoChars, UiText(QM_APPLET_INFO));
  info->szHelpFile[0] = 0;
}

}  // namespace

int32_t OllensetApplet(WindowHandle parent, uint32_t message, intptr_t param1, intptr_t param2) {
  switch (message) {
    case kCplInit:
      ChooseTextLanguage(cplInstance, QM_APPLET_FIRST, QM_APPLET_END);
      return 1;
    case kCplGetCount:
      return 1;
    case kCplNewInquire:
      Describe(param1, reinterpret_cast<NewCplInfo*>(param2));
      return 0;
    case kCplDblClk:
      OpenProgram(parent);
      return 0;
  }
  return 0;
}
