// Registry service on the real API. Desktop Windows rejects a key path with a leading backslash,
// which the device accepts; the backslash is dropped before every call.
#include <cstring>

#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

const wchar_t* Path(const WChar* path) {
  while (*path == u'\\') ++path;
  return W(path);
}

REGSAM Sam(RegAccess access) {
  switch (access) {
    case RegAccess::Read:
      return KEY_READ;
    case RegAccess::SetValue:
      return KEY_SET_VALUE;
    case RegAccess::All:
      break;
  }
  return KEY_ALL_ACCESS;
}

HKEY RootKey(RegRoot root) {
  return root == RegRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

RegStatus Status(LONG rc) {
  switch (rc) {
    case ERROR_SUCCESS:
      return RegStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_NO_MORE_ITEMS:
      return RegStatus::NotFound;
    case ERROR_MORE_DATA:
      return RegStatus::MoreData;
    case ERROR_ACCESS_DENIED:
      return RegStatus::Denied;
    default:
      return RegStatus::Failed;
  }
}

HKEY Key(const RegKey& key) {
  return static_cast<HKEY>(key.handle());
}

}  // namespace

void RegKeyTraits::Release(void* handle) {
  RegCloseKey(static_cast<HKEY>(handle));
}

RegRoot SettingsRoot() {
#ifdef _WIN32_WCE
  return RegRoot::Machine;
#else
  return RegRoot::User;
#endif
}

RegStatus RegOpen(RegRoot root, const WChar* path, RegAccess access, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExW(RootKey(root), Path(path), 0, Sam(access), &h);
  if (rc == ERROR_SUCCESS) key.Reset(h);
  return Status(rc);
}

RegStatus RegOpen(const WChar* path, RegAccess access, RegKey& key) {
  return RegOpen(RegRoot::Machine, path, access, key);
}

RegStatus RegOpen(const RegKey& parent, const WChar* sub, RegAccess access, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExW(Key(parent), Path(sub), 0, Sam(access), &h);
  if (rc == ERROR_SUCCESS) key.Reset(h);
  return Status(rc);
}

RegStatus RegCreate(RegRoot root, const WChar* path, RegAccess access, RegKey& key) {
  HKEY h = nullptr;
  LONG rc = RegCreateKeyExW(RootKey(root), Path(path), 0, nullptr, 0, Sam(access), nullptr, &h, nullptr);
  if (rc == ERROR_SUCCESS) key.Reset(h);
  return Status(rc);
}

RegStatus RegCreate(const WChar* path, RegAccess access, RegKey& key) {
  return RegCreate(RegRoot::Machine, path, access, key);
}

RegStatus RegQuery(const RegKey& key, const WChar* name, uint32_t* type, void* data, uint32_t* size) {
  DWORD t = 0;
  DWORD have = size ? *size : 0;
  DWORD n = have;
  LONG rc;
  if (data && size) {
    // On a too-small buffer the real call may already have written into it, and the caller's
    // buffer must stay as it was: its bytes are kept aside and put back then. Copying them costs
    // far less than asking for the size in a call of its own.
    uint8_t onStack[520];
    uint8_t* kept = have > sizeof onStack ? static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, have)) : onStack;
    if (kept) {
      std::memcpy(kept, data, have);
      rc = RegQueryValueExW(Key(key), W(name), nullptr, &t, static_cast<BYTE*>(data), &n);
      if (rc == ERROR_MORE_DATA) std::memcpy(data, kept, have);
      if (kept != onStack) HeapFree(GetProcessHeap(), 0, kept);
    } else {
      // No room to keep the bytes aside: the size is asked for first.
      rc = RegQueryValueExW(Key(key), W(name), nullptr, &t, nullptr, &n);
      if (rc == ERROR_SUCCESS && n > have) {
        rc = ERROR_MORE_DATA;
      } else if (rc == ERROR_SUCCESS) {
        n = have;
        rc = RegQueryValueExW(Key(key), W(name), nullptr, &t, static_cast<BYTE*>(data), &n);
      }
    }
  } else {
    rc = RegQueryValueExW(Key(key), W(name), nullptr, &t, nullptr, size ? &n : nullptr);
  }
  if (type) *type = t;
  if (size) *size = n;
  return Status(rc);
}

RegStatus RegSet(const RegKey& key, const WChar* name, uint32_t type, const void* data, uint32_t size) {
  return Status(RegSetValueExW(Key(key), W(name), 0, type, static_cast<const BYTE*>(data), size));
}

RegStatus RegEnumSubkey(const RegKey& key, uint32_t index, WChar* name, uint32_t* chars) {
  DWORD n = *chars;
  LONG rc = RegEnumKeyExW(Key(key), index, W(name), &n, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) *chars = n;
  return Status(rc);
}

RegStatus RegFlush(RegRoot root) {
  return Status(RegFlushKey(RootKey(root)));
}

RegStatus RegDeleteKeyTree(RegRoot root, const WChar* path) {
#ifdef _WIN32_WCE
  // The device's RegDeleteKeyW removes the key with everything below it.
  return Status(RegDeleteKeyW(RootKey(root), Path(path)));
#else
  // With a subkey named, RegDeleteTreeW removes that key itself as well.
  return Status(RegDeleteTreeW(RootKey(root), Path(path)));
#endif
}

RegStatus RegDeleteKeyTree(const WChar* path) {
  return RegDeleteKeyTree(RegRoot::Machine, path);
}

}  // namespace platform
