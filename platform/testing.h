// What tests, benchmarks and tools ask of the platform beyond what the product calls: each call is
// a service's own, implemented by both backends, and kept out of the product's headers so that
// those declare exactly what the product uses.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/threads.h"
#include "platform/window.h"

namespace platform {

// Registry: deletes a key with everything below it (under the machine root when none is given).
RegStatus RegDeleteKeyTree(RegRoot root, const WChar* path);
RegStatus RegDeleteKeyTree(const WChar* path);

// Files: deletes the file; false when it cannot be deleted (a missing file among them).
bool RemoveFile(const WChar* path);

// Threads: true when the event is signalled within `timeoutMs` (an auto-reset event is then reset).
bool WaitEvent(EventHandle event, uint32_t timeoutMs);

// Message queues: gives the calling thread its queue now, so that others can post to it before
// its first wait.
void EnsureMessageQueue();

// Windows: the lParam of a mouse message at a client point (MAKELPARAM(x, y)).
inline constexpr intptr_t MakeLParam(uint16_t low, uint16_t high) {
  return static_cast<intptr_t>(static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16));
}

// Tab strip: the tab's text and image (TCM_GETITEMW); false when there is no such tab.
bool TabRead(WindowHandle tab, int index, WChar* text, int chars, int* image);
// The tab's rectangle in the strip's client coordinates (TCM_GETITEMRECT).
bool TabBounds(WindowHandle tab, int index, Rect& rect);

// Tree view: TVM_EXPAND with a kTve... action; false when the tree refuses or nothing changes.
bool TreeExpand(WindowHandle tree, TreeItem item, uint32_t action);
// TVM_GETITEMRECT of the item's text, in the tree's client coordinates.
bool TreeItemBounds(WindowHandle tree, TreeItem item, Rect& rect);

}  // namespace platform
