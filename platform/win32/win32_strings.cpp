// The string table of a module on the real API.
#include "platform/resources.h"
#include "platform/win32/wide.h"

namespace platform {

int LoadResourceString(InstanceHandle instance, uint32_t id, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  return LoadStringW(static_cast<HINSTANCE>(instance), id, W(buffer), chars);
}

}  // namespace platform
