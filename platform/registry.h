// Registry service: keys and typed values under HKEY_LOCAL_MACHINE, the only root the system uses.
// A key path may start with a backslash; both spellings reach the same key. Names compare without
// regard to letter case. Every open key is owned by a RegKey, which closes it.
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

enum class RegAccess { Read, All };

struct RegKeyTraits {
  static void Release(void* handle);
};
using RegKey = OwnedHandle<RegKeyTraits>;

// Opens an existing key; the key stays closed on failure.
RegStatus RegOpen(const WChar* path, RegAccess access, RegKey& key);
// Opens the subkey `sub` of an open key.
RegStatus RegOpen(const RegKey& parent, const WChar* sub, RegAccess access, RegKey& key);
// Opens a key, creating it and its missing ancestors first.
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
// Commits HKEY_LOCAL_MACHINE to storage.
RegStatus RegFlushMachine();
// Deletes a key with everything below it; for tests and tools.
RegStatus RegDeleteKeyTree(const WChar* path);

}  // namespace platform
