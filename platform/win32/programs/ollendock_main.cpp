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

// The command line after the program's name and the one blank that separates them, as the device
// hands it to the program. The runtime's own argument would also drop further blanks, and a
// blank before "-tray" is part of what the program is started with.
const wchar_t* Arguments(const wchar_t* line) {
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  if (*line == L' ' || *line == L'\t') ++line;
  return line;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  return RunTrayProgram(instance, U(Arguments(GetCommandLineW())));
}
