#include "tray/registry_access.h"

namespace {

// Copies the path into the fixed buffer the key is opened with; false when it does not fit.
bool TakeKeyPath(const WChar* keyPath, WChar (&local)[kMaxKeyPathChars + 1]) {
  return WCopy(local, kMaxKeyPathChars + 1, keyPath);
}

}  // namespace

int RegReadValue(const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
                 uint32_t bufferSize) {
  WChar path[kMaxKeyPathChars + 1];
  if (!TakeKeyPath(keyPath, path)) return 0;
  platform::RegKey key;
  if (platform::RegOpen(path, platform::RegAccess::Read, key) != platform::RegStatus::Ok) return 0;
  uint32_t type = platform::kRegNone;
  uint32_t size = bufferSize;
  platform::RegStatus rc = platform::RegQuery(key, valueName, &type, buffer, &size);
  return rc == platform::RegStatus::Ok && type == expectedType && size <= bufferSize ? 1 : 0;
}

int RegWriteValue(const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data, uint32_t size) {
  WChar path[kMaxKeyPathChars + 1];
  if (!TakeKeyPath(keyPath, path)) return 0;
  platform::RegKey key;
  if (platform::RegCreate(path, platform::RegAccess::All, key) != platform::RegStatus::Ok) return 0;
  return platform::RegSet(key, valueName, type, data, size) == platform::RegStatus::Ok ? 1 : 0;
}

int ReadSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize) {
  return RegReadValue(kProgramKey, valueName, expectedType, buffer, bufferSize);
}

int WriteSetting(const WChar* valueName, uint32_t type, const void* data, uint32_t size) {
  return RegWriteValue(kProgramKey, valueName, type, data, size);
}
