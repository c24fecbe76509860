// The program picker: the device's file system as a tree read one folder per expansion, files
// filtered by the caller's pattern; the choice is the chosen file's full path.
#pragma once

#include "platform/controls.h"
#include "platform/handles.h"
#include "platform/text.h"

void ShowProgramPicker(platform::InstanceHandle instance, platform::WindowHandle owner, const WChar* title,
                       const WChar* pattern, const WChar* stripPath, WChar* resultOut, WChar* parameterOut);
// The name's last four characters, reversed, are found in the pattern (case-sensitive), or the
// pattern is "*.".
bool MatchesPattern(const WChar* name);
// Adds a folder, or a file that matches, under `parent` (the top when null); "." and ".." never.
void AddFileNode(platform::WindowHandle tree, const WChar* name, platform::TreeItem parent, bool isFolder);
// Lists one folder under its node; always true.
bool BrowseFile(platform::WindowHandle tree, const WChar* searchPath, platform::TreeItem node);
// The node's full path ("\" and the names below the root joined by "\"); empty when it would not
// fit in 259 characters. The root node's own path is "\".
WString NodePath(platform::WindowHandle tree, platform::TreeItem node, bool trace = false);
