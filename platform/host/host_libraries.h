// Host double of control-panel libraries: tests register fake libraries by file name, each with
// an entry of their own (or none), and see what was loaded and released.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/libraries.h"

namespace platform::host {

using FakeCplEntry = std::function<int32_t(WindowHandle window, uint32_t message, intptr_t param1, intptr_t param2)>;

// No libraries; the folder is "\windows".
void LibrariesReset();
// A library of that file name (compared without regard to case); an empty entry makes a library
// without "CPlApplet". Its file is not needed: the test creates the file it wants listed.
void SetFakeLibrary(const WString& fileName, std::optional<FakeCplEntry> entry);
// Libraries loaded and not yet released.
int LoadedLibraryCount();
// Every load asked for, by file name, in order (also the ones that failed).
std::vector<WString> LibraryLoads();

}  // namespace platform::host
