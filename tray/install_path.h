// Paths of the program's data files below the install folder named by "InstallPath".
#pragma once

#include "platform/files.h"
#include "platform/text.h"

using platform::kPathChars;

// The install folder, read from the registry on first use and kept for the life of the process;
// empty until then (and again after a failed read, so that the next call tries once more).
extern WChar InstallPathCache[kPathChars];

// Returns install folder + "\" + subfolder + "\" + fileName in one shared buffer that the next
// call overwrites: copy it at once. A path that would not fit in 259 characters is returned
// empty, so that opening it fails instead of reaching a cut, different file.
const WChar* ComposeInstallPath(const WChar* subfolder, const WChar* fileName);

// Forgets the cached install folder; for tests.
void ResetInstallPathCache();
