// Control-panel libraries loaded at run time and asked through their CPlApplet entry. A library
// is foreign code: everything it answers is checked by the caller.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/owned_handle.h"
#include "platform/text.h"

namespace platform {

using LibraryHandle = void*;
using CplEntry = void*;

// The folder that holds the control-panel libraries: "\windows" on the device, the system folder
// (for example "C:\windows\system32") on desktop Windows.
const WChar* ControlPanelFolder();
// Loads a library by its bare file name from that folder (on desktop Windows from the system
// folder only, never from beside the program); null when it cannot be loaded.
LibraryHandle LoadControlPanelLibrary(const WChar* fileName);
void FreeLibraryHandle(LibraryHandle library);
// The owner of a loaded library: freed when the owner lets go.
using OwnedLibrary = OwnedHandle<ReleasedBy<FreeLibraryHandle>>;
// The library's "CPlApplet" entry; null when it has none.
CplEntry FindCplApplet(LibraryHandle library);
// Calls the entry with the platform's calling convention; its 32-bit answer.
int32_t CallCplApplet(CplEntry entry, WindowHandle window, uint32_t message, intptr_t param1, intptr_t param2);

}  // namespace platform
