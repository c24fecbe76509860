// Device paths on desktop Windows: "\name" is taken below the root of the system drive, whatever
// the current folder; full paths ("C:\...", "\\server\...") pass through unchanged.
#pragma once

#include <string>

#include "platform/text.h"

namespace platform {

WString NativePath(const WChar* path);

}  // namespace platform
