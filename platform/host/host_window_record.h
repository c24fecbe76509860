// What the host's window model keeps of each window it made: its creation parameters, its state
// as a standard control (text, check, list, selection, tabs, tree items) and the moves made to it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/controls.h"
#include "platform/window.h"

namespace platform::host {

struct TabEntry {
  WString text;
  int image;
};

struct TreeEntry {
  TreeItem item;
  TreeItem parent;  // TreeRoot() at the top
  WString text;
  int image, selectedImage, children;
  bool expanded;
  bool everExpanded;  // the control notifies only the first expansion until a collapse-reset
};

struct HostWindow {
  WString className;
  WString text;
  uint32_t style, exStyle;
  int32_t x, y, width, height;
  WindowHandle parent;  // or the owner of a top-level window
  uintptr_t id;
  InstanceHandle instance;
  bool alive = true, visible = false, enabled = true;
  int moves = 0;               // MoveWindow calls
  uintptr_t check = 0;         // buttons
  std::vector<WString> items;  // combo boxes
  int selection = -1;          // combo boxes and tab strips
  bool dropped = false;        // combo boxes: the list is open
  std::vector<TabEntry> tabs;
  void* imageList = nullptr;
  void* font = nullptr;
  std::vector<TreeEntry> tree;  // in the control's order
  TreeItem caret = nullptr;
  std::vector<WString> navigations;  // DISPLAYCLASS: the addresses loaded, in order
  int clears = 0;                    // DISPLAYCLASS: DTM_CLEAR received
  uint16_t menuBarResource = 0;      // a menu bar's resource
};

}  // namespace platform::host
