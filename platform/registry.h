// Registry service: keys and typed values under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER. A key
// path may start with a backslash; both spellings reach the same key. Names compare without regard
// to letter case. Every open key is owned by a RegKey, which closes it. The calls without a root
// work on HKEY_LOCAL_MACHINE.
#pragma once

#include <cstdint>

#include "platform/owned_handle.h"
#include "platform/text.h"

namespace platform {

enum RegType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

enum class RegStatus {
  Ok,
  NotFound,  // no such key, value or (when enumerating) no more subkeys
  MoreData,  // the buffer is too small; size reports what is needed
  Denied,    // the key cannot be opened or created, or the write was refused
  Failed,    // anything else
};

enum class RegRoot {
  Machine,  // HKEY_LOCAL_MACHINE
  User,     // HKEY_CURRENT_USER
};

// The rights an open asks for: reading (KEY_READ), setting values and nothing more (KEY_SET_VALUE),
// or everything (KEY_ALL_ACCESS, for tests and tools only). The device grants whatever is asked.
enum class RegAccess { Read, SetValue, All };

// Where the user's own settings live: on the device the program's one key under
// HKEY_LOCAL_MACHINE; on desktop Windows the user's key under HKEY_CURRENT_USER, while the machine
// key, which only administrators may write, holds the installer's defaults and what names a
// program to start.
RegRoot SettingsRoot();

struct RegKeyTraits {
  static void Release(void* handle);
};
using RegKey = OwnedHandle<RegKeyTraits>;

// Opens an existing key; the key stays closed on failure.
RegStatus RegOpen(RegRoot root, const WChar* path, RegAccess access, RegKey& key);
RegStatus RegOpen(const WChar* path, RegAccess access, RegKey& key);
// Opens the subkey `sub` of an open key.
RegStatus RegOpen(const RegKey& parent, const WChar* sub, RegAccess access, RegKey& key);
// Opens a key, creating it and its missing ancestors first.
RegStatus RegCreate(RegRoot root, const WChar* path, RegAccess access, RegKey& key);
RegStatus RegCreate(const WChar* path, RegAccess access, RegKey& key);
// Reads a value. `size` holds the buffer's size in bytes and receives the value's size. With a
// null `data` only the type and size are reported. `type` may be null. When the buffer is too
// small the result is MoreData and the buffer is left as it was.
RegStatus RegQuery(const RegKey& key, const WChar* name, uint32_t* type, void* data, uint32_t* size);
// Writes a value, replacing any value of that name.
RegStatus RegSet(const RegKey& key, const WChar* name, uint32_t type, const void* data, uint32_t size);
// Names the subkey at `index` (0, 1, ...). `chars` holds the buffer's size in characters,
// terminator included, and receives the name's length. NotFound past the last subkey, MoreData
// when the name does not fit (terminator included).
RegStatus RegEnumSubkey(const RegKey& key, uint32_t index, WChar* name, uint32_t* chars);
// Commits the root's hive to storage.
RegStatus RegFlush(RegRoot root);

}  // namespace platform
