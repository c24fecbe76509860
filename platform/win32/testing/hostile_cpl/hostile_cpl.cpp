// Control-panel libraries that misbehave, for the applet picker's Wine tests. Built once per
// behaviour (QM_HOSTILE): 1 an applet name of 32 characters with no terminator (and no zero
// after it either), 2 a count of 2^31 - 1, 3 CPL_INIT refused, 4 a count of -5.
#include <windows.h>
// After windows.h, which it needs.
#include <cpl.h>

extern "C" LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM index, LPARAM record) {
  switch (message) {
    case CPL_INIT:
      return QM_HOSTILE == 3 ? 0 : 1;
    case CPL_GETCOUNT:
      return QM_HOSTILE == 2 ? 0x7FFFFFFF : QM_HOSTILE == 4 ? -5 : 1;
    case CPL_NEWINQUIRE: {
      auto* info = reinterpret_cast<NEWCPLINFOW*>(record);
      if (QM_HOSTILE == 1) {
        for (WCHAR& c : info->szName) c = L'x';
        for (WCHAR& c : info->szInfo) c = L'y';
      } else {
        wsprintfW(info->szName, L"Applet %d", static_cast<int>(index));
      }
      return 0;
    }
  }
  return 0;
}
