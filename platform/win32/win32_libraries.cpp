// Control-panel libraries on the real API.
#include "platform/libraries.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

using CplAppletProc = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);

}  // namespace

const WChar* ControlPanelFolder() {
#ifdef _WIN32_WCE
  return u"\\windows";
#else
  static WChar folder[MAX_PATH] = {};
  if (!folder[0]) {
    UINT n = GetSystemDirectoryW(W(folder), MAX_PATH);
    if (n == 0 || n >= MAX_PATH) WCopy(folder, MAX_PATH, u"C:\\windows\\system32");
  }
  return folder;
#endif
}

LibraryHandle LoadControlPanelLibrary(const WChar* fileName) {
#ifdef _WIN32_WCE
  return LoadLibraryW(W(fileName));
#else
  return LoadLibraryExW(W(fileName), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
#endif
}

void FreeLibraryHandle(LibraryHandle library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

CplEntry FindCplApplet(LibraryHandle library) {
#ifdef _WIN32_WCE
  return reinterpret_cast<CplEntry>(GetProcAddressW(static_cast<HMODULE>(library), L"CPlApplet"));
#else
  return reinterpret_cast<CplEntry>(GetProcAddress(static_cast<HMODULE>(library), "CPlApplet"));
#endif
}

int32_t CallCplApplet(CplEntry entry, WindowHandle window, uint32_t message, intptr_t param1, intptr_t param2) {
  return reinterpret_cast<CplAppletProc>(entry)(static_cast<HWND>(window), message, param1, param2);
}

}  // namespace platform
