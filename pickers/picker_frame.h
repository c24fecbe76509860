// The frame both pickers share: a modal, full-screen window with a tree, a read-only selection box
// at the top, a parameter box at the bottom and the "OK" and "Cancel" soft keys. Each picker keeps
// one state record and says what differs in a PickerKind.
#pragma once

#include <cstdint>

#include "gui/keys.h"
#include "platform/controls.h"
#include "platform/handles.h"
#include "platform/images.h"
#include "platform/paint.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"

inline constexpr int kPickerTextChars = 260;
inline constexpr uint16_t kPickerMenuBar = 102;
inline constexpr uint16_t kPickerOk = 103;
inline constexpr uint16_t kPickerCancel = 105;
// The node images of the strip.
inline constexpr int kExpandedImage = 0;
inline constexpr int kCollapsedImage = 1;
inline constexpr int kItemImage = 2;
// Two Enter presses closer than this act as OK.
inline constexpr uint32_t kDoubleEnterMs = 2000;

struct PickerState {
  platform::InstanceHandle instance;
  platform::WindowHandle owner;
  platform::WindowHandle window;
  platform::WindowHandle tree;
  platform::WindowHandle selectionBox;
  platform::WindowHandle parameterBox;
  platform::WindowHandle menuBar;
  // Owned for one opening, released when it ends.
  platform::OwnedFont font;
  platform::OwnedBitmap strip;
  platform::OwnedImageList images;
  WChar result[kPickerTextChars];
  WChar parameter[kPickerTextChars];
  bool acceptable;
  bool done;
  uint32_t lastEnter;  // the tree's last Enter notification; never reset
  WChar pattern[kPickerTextChars];
  WChar className[255];
};

struct PickerKind {
  const WChar* baseName;
  int treeId, selectionId, parameterId;
  bool waitCursorWhileMade;  // the applet picker lists libraries while it is made
  bool disableOwner;
  // Fills the new tree; called only when the tree and its images are ready.
  void (*List)(PickerState& state);
  // A node is being expanded: its children are read now.
  void (*Expanding)(PickerState& state, platform::TreeItem node);
  // The selection moved to `node`.
  void (*Selected)(PickerState& state, platform::TreeItem node);
  // A double tap on `node` (null where there is none); the picker decides whether that chooses.
  void (*DoubleTapped)(PickerState& state, platform::TreeItem node);
};

// n pixels at 96 dots per inch, on this screen: (dpi x n + 48) / 96, the dpi read once.
int ScaleForDpi(int n);
// Back to the state at process start: the next ScaleForDpi reads the screen's dpi again. For tests,
// and when a desk's new scale or resolution changes the layout factor.
void ResetScreenDpi();

// The node's folder path followed by "\*.*" (its text alone, then each ancestor before it); false
// when a text cannot be read or the path would not fit.
bool BuildItemPath(platform::WindowHandle tree, platform::TreeItem node, WChar* out, int chars);

// Opens the picker, runs it until the user chose or cancelled, and hands out the two texts
// (both empty after Cancel). `proc` is the picker's window procedure, which hands every message
// to PickerProcedure with its state and kind.
void RunPicker(PickerState& state, const PickerKind& kind, platform::WindowProc proc, platform::InstanceHandle instance,
               platform::WindowHandle owner, const WChar* title, const WChar* pattern, const WChar* stripPath,
               WChar* resultOut, WChar* parameterOut);
intptr_t PickerProcedure(PickerState& state, const PickerKind& kind, platform::WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam);

// A key pressed in the picker, before its controls see it: F1 is OK, F2 and Esc Cancel, Enter in
// the tree or the parameter box OK, Tab moves between the tree and the parameter box, and Up or
// Down in a tree without a selection selects its first node. True when the key was the picker's.
bool PickerKey(PickerState& state, const KeyPress& press);

// The wait cursor as the pickers show it: on, remembering the cursor it replaces; off again.
platform::CursorHandle PickerWaitCursor(platform::InstanceHandle instance);
void PickerRestoreCursor(platform::CursorHandle previous);
