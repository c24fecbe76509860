#include "tray/registry_access.h"

namespace {

using platform::RegRoot;

// Copies the path into the fixed buffer the key is opened with; false when it does not fit.
bool TakeKeyPath(const WChar* keyPath, WChar (&local)[kMaxKeyPathChars + 1]) {
  return WCopy(local, kMaxKeyPathChars + 1, keyPath);
}

enum class Read { Taken, Refused, Missing };

// Reads one value; Missing when the key or the value does not exist (or the key cannot be opened),
// Refused when the value exists but is not taken (another type, too large).
Read ReadValue(RegRoot root, const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
               uint32_t bufferSize) {
  WChar path[kMaxKeyPathChars + 1];
  if (!TakeKeyPath(keyPath, path)) return Read::Missing;
  platform::RegKey key;
  if (platform::RegOpen(root, path, platform::RegAccess::Read, key) != platform::RegStatus::Ok) return Read::Missing;
  uint32_t type = platform::kRegNone;
  uint32_t size = bufferSize;
  platform::RegStatus rc = platform::RegQuery(key, valueName, &type, buffer, &size);
  if (rc == platform::RegStatus::NotFound) return Read::Missing;
  return rc == platform::RegStatus::Ok && type == expectedType && size <= bufferSize ? Read::Taken : Read::Refused;
}

}  // namespace

int RegReadValue(RegRoot root, const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
                 uint32_t bufferSize) {
  return ReadValue(root, keyPath, valueName, expectedType, buffer, bufferSize) == Read::Taken ? 1 : 0;
}

int RegWriteValue(RegRoot root, const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data,
                  uint32_t size) {
  WChar path[kMaxKeyPathChars + 1];
  if (!TakeKeyPath(keyPath, path)) return 0;
  platform::RegKey key;
  // Setting values is all a write does: a user who may set values but not change the key's owner or
  // access list can still save.
  if (platform::RegCreate(root, path, platform::RegAccess::SetValue, key) != platform::RegStatus::Ok) return 0;
  return platform::RegSet(key, valueName, type, data, size) == platform::RegStatus::Ok ? 1 : 0;
}

int RegReadValue(const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
                 uint32_t bufferSize) {
  return RegReadValue(RegRoot::Machine, keyPath, valueName, expectedType, buffer, bufferSize);
}

int RegWriteValue(const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data, uint32_t size) {
  return RegWriteValue(RegRoot::Machine, keyPath, valueName, type, data, size);
}

int ReadSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize) {
  RegRoot own = platform::SettingsRoot();
  Read r = ReadValue(own, kProgramKey, valueName, expectedType, buffer, bufferSize);
  if (r == Read::Missing && own != RegRoot::Machine)
    r = ReadValue(RegRoot::Machine, kProgramKey, valueName, expectedType, buffer, bufferSize);
  return r == Read::Taken ? 1 : 0;
}

int WriteSetting(const WChar* valueName, uint32_t type, const void* data, uint32_t size) {
  return RegWriteValue(platform::SettingsRoot(), kProgramKey, valueName, type, data, size);
}

int ReadMachineSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize) {
  return RegReadValue(RegRoot::Machine, kProgramKey, valueName, expectedType, buffer, bufferSize);
}
