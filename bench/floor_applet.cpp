// The floor of the applet's size: a control-panel library with its one export and nothing else,
// built as Ollenset.cpl is.
#include <windows.h>

extern "C" LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM, LPARAM) {
  return message == 1 ? 1 : 0;
}
