// The instance lock on the real API: a named mutex owned by the thread that took it (the main
// thread, which lives as long as the process). Its handle is never closed: the system releases
// it when the process ends, and marks it abandoned if the process dies, so the next start takes
// it over.
#include <string>

#include "platform/instance.h"
#include "platform/win32/wide.h"

namespace platform {

bool TakeInstanceLock(const WChar* name) {
  static HANDLE held = nullptr;
  if (held) return true;
#ifdef _WIN32_WCE
  WString full = name;
#else
  WString full = u"Local\\" + WString(name);
#endif
  HANDLE m = CreateMutexW(nullptr, FALSE, W(full));
  if (!m) return false;
  DWORD rc = WaitForSingleObject(m, 0);
  if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED) {
    held = m;
    return true;
  }
  CloseHandle(m);
  return false;
}

}  // namespace platform
