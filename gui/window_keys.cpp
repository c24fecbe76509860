// The settings window from the keyboard: the focus and how Tab moves it, the pages by Ctrl+Tab,
// the soft keys on F1 and F2, Esc, and Enter on a button or the action list. Each key reaches the
// handler of the tap it stands for.
#include "gui/main_window.h"
#include "platform/controls.h"
#include "platform/keyboard.h"

WindowKeyState windowKeys{};

namespace {

using namespace platform;

constexpr uint32_t kWaInactive = 0;

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

// Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous tab, as a tap on it. Going back from the
// keyboard page reaches the first tab, which shows the keyboard page again: the step goes on to
// the tab before it, so that the keys never stand still.
void StepPage(GUI& gui, int step) {
  int32_t before = gui.CurrentPage;
  int tab = static_cast<int>(Send(gui.TabControl, kTcmGetCurSel, 0, 0));
  for (int tries = 0; tries < kPageCount; ++tries) {
    tab = (tab + step + kPageCount) % kPageCount;
    Send(gui.TabControl, kTcmSetCurSel, static_cast<uintptr_t>(tab), 0);
    ShowSelectedTab(gui);
    if (gui.CurrentPage != before || step > 0) break;
  }
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
  if ((wParam & 0xFFFF) == kWaInactive) {
    WindowHandle focus = FocusedWindow();
    if (IsControlOf(gui, focus)) windowKeys.lastFocus = focus;
    return;
  }
  FocusPage(gui);
}

bool OnKey(GUI& gui, const KeyPress& press) {
  WindowHandle focus = press.focus;
  WindowHandle actions = gui.Controls[kActionListSlot];
  switch (press.key) {
    case kVkTab:
      if (press.ctrl) {
        StepPage(gui, press.shift ? -1 : 1);
      } else {
        MoveFocus(gui, focus, press.shift ? -1 : 1);
      }
      return true;
    case kVkNext:
    case kVkPrior:
      if (!press.ctrl) return false;
      StepPage(gui, press.key == kVkNext ? 1 : -1);
      return true;
    case kVkF1:
      OnCommand(gui, kCmdHide);
      return true;
    case kVkF2:
      OnCommand(gui, kCmdConnect);
      return true;
    case kVkEscape:
      // An open list closes first, as the list itself does.
      if (focus && (focus == actions || focus == gui.Controls[kSpeedListSlot]) && ListDropped(focus)) return false;
      OnCommand(gui, kCmdHide);
      return true;
    case kVkReturn:
      if (focus && focus == actions) {
        if (ListDropped(focus)) return false;  // the list closes on its choice, and that confirms it
        if (windowKeys.actionPending) TakeAction(gui);
        return true;
      }
      if (IsPushButton(gui, focus)) {
        Send(focus, kBmClick, 0, 0);
        return true;
      }
      return false;
  }
  return false;
}
