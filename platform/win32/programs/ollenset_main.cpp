// Ollenset.cpl's entry points: the library's attach, and CPlApplet, its only export.
#include "cpl/ollenset.h"
#include "platform/control_panel.h"
#include "platform/win32/wide.h"
// After windows.h, which it needs.
#include <cpl.h>

static_assert(sizeof(platform::NewCplInfo) == sizeof(NEWCPLINFOW), "the record is the platform's");
static_assert(offsetof(platform::NewCplInfo, szName) == offsetof(NEWCPLINFOW, szName), "the record is the platform's");
static_assert(offsetof(platform::NewCplInfo, hIcon) == offsetof(NEWCPLINFOW, hIcon), "the record is the platform's");

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) cplInstance = instance;
  return TRUE;
}

extern "C" LONG APIENTRY CPlApplet(HWND parent, UINT message, LPARAM param1, LPARAM param2) {
  return OllensetApplet(parent, message, param1, param2);
}
