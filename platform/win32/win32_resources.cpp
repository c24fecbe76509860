#include "platform/resources.h"
#include "platform/win32/wide.h"

namespace platform {

bool LoadModuleResource(const WChar* type, const WChar* name, std::string& bytes) {
  // Numbered names pass through unchanged: the same convention as MAKEINTRESOURCE.
  HRSRC found = FindResourceW(nullptr, W(name), W(type));
  if (!found) return false;
  HGLOBAL loaded = LoadResource(nullptr, found);
  DWORD size = SizeofResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  bytes.assign(static_cast<const char*>(data), size);
  return true;
}

}  // namespace platform
