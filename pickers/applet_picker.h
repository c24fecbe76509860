// The applet picker: every control-panel library of the device as a node, its applets (asked of
// the library through its CPlApplet entry) as the node's children; the choice is an applet
// reference "\windows\<library>,<index>".
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/handles.h"
#include "platform/text.h"

// A library's applets beyond this many are not asked for: a count is the library's word, and a
// huge one must not keep the picker asking.
inline constexpr int32_t kMostApplets = 256;

void ShowAppletPicker(platform::InstanceHandle instance, platform::WindowHandle owner, const WChar* title,
                      const WChar* pattern, const WChar* stripPath, WChar* resultOut, WChar* parameterOut);
// A library node for every file ending in ".cpl" (any case) in the control-panel folder.
void ListAppletFiles(platform::WindowHandle tree);
// Asks the library that `path` names (cut after ".cpl") for its applets and adds them under `node`.
void GetAppletContents(platform::WindowHandle tree, const WChar* path, platform::TreeItem node);
// The index under which the library reports the applet of that name (the first, when two share
// it), or -1.
int FindAppletIndex(const WChar* libraryName, const WChar* appletName);
