// Host double of the program's resources: tests put the resources the executable would carry.
#pragma once

#include <string>

#include "platform/resources.h"

namespace platform::host {

void ResourcesReset();
void SetModuleResource(const WChar* type, const WChar* name, const std::string& bytes);
// A string of the string table in one language (a LANGID), English unless named.
void SetResourceString(uint32_t id, const WString& text, uint16_t language = 0x0409);

}  // namespace platform::host
