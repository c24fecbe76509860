// The settings window from the keyboard: the focus and how Tab moves it, and the command or page
// each of the window's keys stands for.
#include "gui/window_keys.h"

#include "platform/controls.h"
#include "platform/keyboard.h"
#include "platform/window.h"

namespace {

// The keys' memory: the focus the window keeps and where the action list's choice stands.
struct WindowKeyState {
  platform::WindowHandle lastFocus;  // the control that had the focus when the window was left
  bool actionPending;                // the action list shows a name the arrow keys moved to
  bool actionConfirmed;              // the dropped list was closed with Enter
};
WindowKeyState windowKeys{};

using namespace platform;

bool IsControlOf(const GUI& gui, WindowHandle w) {
  return w && Exists(w) && w != gui.MainWindow && TopLevelOf(w) == gui.MainWindow;
}

bool IsPushButton(const GUI& gui, WindowHandle w) {
  for (int slot : {kPreviousCursorSlot, kNextCursorSlot, kChangeButtonSlot})
    if (w && gui.Controls[slot] == w) return true;
  return false;
}

bool ListDropped(WindowHandle w) {
  return Send(w, kCbGetDroppedState, 0, 0) != 0;
}

// Tab and Shift+Tab: the next or the previous control, round again after the tab strip.
void MoveFocus(const GUI& gui, WindowHandle from, int step) {
  std::vector<WindowHandle> order = FocusOrder(gui);
  if (order.empty()) return;
  int n = static_cast<int>(order.size()), at = -1;
  for (int i = 0; i < n; ++i)
    if (order[i] == from) at = i;
  int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
  Focus(order[next]);
}

constexpr WindowKey kControlsKey{WindowKey::kControls, 0, 0};
constexpr WindowKey kDoneKey{WindowKey::kDone, 0, 0};

WindowKey CommandKey(uint16_t command) {
  return WindowKey{WindowKey::kCommand, command, 0};
}

WindowKey PageKey(int step) {
  return WindowKey{WindowKey::kPage, 0, step};
}

}  // namespace

std::vector<WindowHandle> FocusOrder(const GUI& gui) {
  std::vector<WindowHandle> order;
  for (WindowHandle c : gui.Controls)
    if (c && Exists(c) && IsEnabled(c)) order.push_back(c);
  if (gui.TabControl) order.push_back(gui.TabControl);
  return order;
}

void FocusPage(GUI& gui) {
  WindowHandle target = windowKeys.lastFocus;
  if (!IsControlOf(gui, target) || !IsEnabled(target)) {
    std::vector<WindowHandle> order = FocusOrder(gui);
    target = order.empty() ? nullptr : order.front();
  }
  if (target) Focus(target);
}

void OnActivate(GUI& gui, uintptr_t wParam) {
  if (LowWord(wParam) == kWaInactive) {
    WindowHandle focus = FocusedWindow();
    if (IsControlOf(gui, focus)) windowKeys.lastFocus = focus;
    return;
  }
  FocusPage(gui);
}

WindowKey KeyOfWindow(const GUI& gui, const KeyPress& press) {
  WindowHandle focus = press.focus;
  WindowHandle actions = gui.Controls[kActionListSlot];
  switch (press.key) {
    case kVkTab:
      if (press.ctrl) return PageKey(press.shift ? -1 : 1);
      MoveFocus(gui, focus, press.shift ? -1 : 1);
      return kDoneKey;
    case kVkNext:
    case kVkPrior:
      if (!press.ctrl) return kControlsKey;
      return PageKey(press.key == kVkNext ? 1 : -1);
    case kVkF1:
      return CommandKey(kCmdHide);
    case kVkF2:
      return CommandKey(kCmdConnect);
    case kVkEscape:
      // An open list closes first, as the list itself does.
      if (focus && (focus == actions || focus == gui.Controls[kSpeedListSlot]) && ListDropped(focus)) {
        return kControlsKey;
      }
      return CommandKey(kCmdHide);
    case kVkReturn:
      if (focus && focus == actions) {
        if (ListDropped(focus)) return kControlsKey;  // the list closes on its choice, and that confirms it
        return windowKeys.actionPending ? WindowKey{WindowKey::kAction, 0, 0} : kDoneKey;
      }
      if (IsPushButton(gui, focus)) {
        Send(focus, kBmClick, 0, 0);
        return kDoneKey;
      }
      return kControlsKey;
  }
  return kControlsKey;
}

ActionListStep ActionListNotice(uint16_t code, bool byKey) {
  WindowKeyState& k = windowKeys;
  switch (code) {
    case kCbnSelChange:
      // The arrow keys only move through the names: passing "Open Program" on the way to another
      // action opens no picker.
      if (!byKey) return ActionListStep::kTake;
      k.actionPending = true;
      return ActionListStep::kWait;
    case kCbnSelEndOk:
      k.actionConfirmed = true;
      return ActionListStep::kWait;
    case kCbnDropDown:
    case kCbnSelEndCancel:
      k.actionConfirmed = false;
      return ActionListStep::kWait;
    case kCbnCloseUp:
    case kCbnKillFocus: {
      // The list closed on its choice (Enter, or a tap in it) or was left (Esc, Tab, a tap elsewhere).
      bool take = k.actionPending && k.actionConfirmed && code == kCbnCloseUp;
      bool undo = k.actionPending && !take;
      k.actionConfirmed = false;
      if (take) return ActionListStep::kTake;
      if (!undo) return ActionListStep::kWait;
      // Left without confirming: the list shows the stored action again.
      k.actionPending = false;
      return ActionListStep::kRestore;
    }
  }
  return ActionListStep::kWait;
}

void ActionTaken() {
  windowKeys.actionPending = windowKeys.actionConfirmed = false;
}

void ForgetWindowKeys() {
  windowKeys = WindowKeyState{};
}
