// Ollendock's entry point: the common controls it uses, then the tray program's whole life.
#include "platform/win32/wide.h"
#include "tray/startup.h"
// After windows.h, which it needs.
#include <commctrl.h>

namespace {

// Made before WinMain runs, so that the window's resources are released when the process ends,
// after WinMain has returned.
struct ReleaseAtProcessExit {
  ~ReleaseAtProcessExit() { ReleaseAtExit(); }
} releaseAtProcessExit;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  return RunTrayProgram(instance, U(commandLine));
}
