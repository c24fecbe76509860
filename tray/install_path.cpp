#include "tray/install_path.h"

#include <cstring>

#include "platform/files.h"
#include "platform/registry.h"
#include "tray/registry_access.h"

WChar InstallPathCache[kPathChars] = {};

namespace {

WChar composedPath[kPathChars];

void FillCache() {
  platform::RegKey key;
  // Opening by creation also creates the (empty) program key on a device without one. The install
  // folder is the machine key's: a folder a user names in their own key is never taken.
  if (platform::RegCreate(platform::RegRoot::Machine, kProgramKey, platform::RegAccess::Read, key) !=
      platform::RegStatus::Ok)
    return;
  WChar value[kPathChars] = {};
  uint32_t size = sizeof value;
  uint32_t type = 0;
  if (platform::RegQuery(key, u"InstallPath", &type, value, &size) != platform::RegStatus::Ok) return;
  // A value that fills the buffer without a terminator would run past it when read as text.
  for (WChar c : value) {
    if (c == 0) {
      std::memcpy(InstallPathCache, value, sizeof value);
      return;
    }
  }
}

}  // namespace

const WChar* ComposeInstallPath(const WChar* subfolder, const WChar* fileName) {
  if (InstallPathCache[0] == 0) FillCache();
  // A folder that does not stand by itself ("images", "C:" alone) would be taken from wherever
  // the program happens to be: it is not used, and the key is read again next time.
  if (InstallPathCache[0] != 0 && !platform::IsWholePath(InstallPathCache)) ResetInstallPathCache();
  // Without a usable folder, desktop Windows has the program's own folder (the device starts at
  // its root).
  WString fallback;
  if (InstallPathCache[0] == 0) fallback = platform::ProgramFolder();
  std::memset(composedPath, 0, sizeof composedPath);
  bool fits = WAppend(composedPath, kPathChars, InstallPathCache[0] ? InstallPathCache : fallback.c_str()) &&
              WAppend(composedPath, kPathChars, u"\\") && WAppend(composedPath, kPathChars, subfolder) &&
              WAppend(composedPath, kPathChars, u"\\") && WAppend(composedPath, kPathChars, fileName);
  if (!fits) std::memset(composedPath, 0, sizeof composedPath);
  return composedPath;
}

void ResetInstallPathCache() {
  std::memset(InstallPathCache, 0, sizeof InstallPathCache);
}
