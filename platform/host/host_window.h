// Host model of windows and controls: every window made is kept with its creation parameters, its
// state (text, check, list, selection, tabs, tree items) and the moves made to it, so that tests
// can look at what the logic built. Windows of registered classes get their messages through the
// class's procedure; the standard controls ("button", "combobox", "edit", "static",
// "SysTabControl32", "SysTreeView32", and "DISPLAYCLASS" once the HTML control is initialised)
// answer the messages the logic sends them. Top-level windows are placed as the device's shell
// places them (see PlaceAsShellWindow).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/controls.h"
#include "platform/messages.h"
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

// Forgets every window and class, the foreground window and the failures set below.
void WindowsReset();
// The window's record (also after it was destroyed); null for a handle the model never made.
const HostWindow* WindowRecord(WindowHandle window);
// Live children of `parent` (or live top-level windows for null), in creation order.
std::vector<WindowHandle> LiveChildren(WindowHandle parent);
int LiveWindowCount();
WindowHandle ForegroundWindow();
WindowHandle FocusWindow();
// Making a window of that class fails (null), as when the platform is out of resources.
void FailWindowClass(const WChar* className);
// Registering any class fails.
void FailClassRegistration(bool fail);

// A click on a tab, as the strip reports it: the selection moves and the parent is told
// TCN_SELCHANGING and TCN_SELCHANGE.
void ClickTab(WindowHandle tab, int index);
// A click on a node's expand button: the parent hears of the expansion or collapse every time,
// and can stop it.
bool ToggleNode(WindowHandle tree, TreeItem item);
// Sends WM_NOTIFY with a record of our own making to `to`.
intptr_t SendNotification(WindowHandle to, const Notification& header, const TreeNotification& tree = {0, nullptr});
// Sets the screen position that LastMessagePosition reports.
void SetLastMessagePosition(Point p);

// Hands a posted message to its window's procedure (used by the host's message loop).
void DeliverToWindow(const Message& msg);

}  // namespace platform::host
