// The keyboard on the real API.
#include "platform/keyboard.h"
#include "platform/win32/wide.h"

namespace platform {

WindowHandle FocusedWindow() {
  return GetFocus();
}

bool KeyIsDown(uint32_t virtualKey) {
  return GetKeyState(static_cast<int>(virtualKey)) < 0;
}

WindowHandle TopLevelOf(WindowHandle window) {
  HWND w = static_cast<HWND>(window);
#ifdef _WIN32_WCE
  while (w && (GetWindowLong(w, GWL_STYLE) & WS_CHILD)) w = GetParent(w);
  return w;
#else
  return w ? GetAncestor(w, GA_ROOT) : nullptr;
#endif
}

void ShowFocusCues(WindowHandle topLevel) {
#ifdef _WIN32_WCE
  (void)topLevel;
#else
  SendMessageW(static_cast<HWND>(topLevel), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL),
               0);
#endif
}

}  // namespace platform
