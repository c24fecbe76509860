#include "pickers/picker_frame.h"

#include <cstdlib>

#include "gui/keys.h"
#include "gui/scale.h"
#include "platform/files.h"
#include "platform/images.h"
#include "platform/keyboard.h"
#include "platform/messages.h"
#include "platform/shell_ui.h"
#include "platform/system.h"
#include "tray/wformat.h"

namespace {

using namespace platform;

constexpr uint32_t kTreeStyle = kWsChild | kWsVisible | kTvsHasButtons | kTvsHasLines | kTvsLinesAtRoot;  // 0x50000007
constexpr uint32_t kSelectionStyle = kWsChild | kWsVisible | kWsBorder | kEsReadOnly | kEsAutoHScroll;    // 0x50800880
constexpr uint32_t kParameterStyle = kWsChild | kWsVisible | kWsBorder | kEsAutoHScroll;                  // 0x50800080
constexpr uint32_t kMaskGreen = 0x00FF00;
constexpr int kFontWeight = kFwExtraLight;

// One picker at a time: the state record of a picker cannot serve two openings.
bool pickerOpen = false;
// The screen's dots per inch, read on first use and held until the layout factor changes (only a
// desk's can); 0 until then.
int screenDpi = 0;

// The three controls' places in a client area.
struct Places {
  Rect tree, selection, parameter;
};
Places PlacesIn(WindowHandle window) {
  Rect c = ClientArea(window);
  int32_t w = c.right - c.left, h20 = ScaleForDpi(20), h40 = ScaleForDpi(40);
  return Places{Rect{0, h20, w, c.bottom - h40 - c.top}, Rect{0, 0, w, h20}, Rect{0, c.bottom - h20 - c.top, w, h20}};
}

// The whole screen, less the menu bar, which keeps its place at the bottom of the screen.
void PlaceWindow(PickerState& state, WindowHandle window) {
  FullScreen(window, kShfsHideTaskbar | kShfsHideStartIcon);
  if (state.menuBar) {
    Rect w = ScreenBounds(window), b = ScreenBounds(state.menuBar);
    int32_t bottom = w.bottom - (b.bottom - b.top);
    Move(window, w.left, w.top, w.right - w.left, bottom - w.top, false);
  }
}

bool MakeWindowOf(PickerState& state, const PickerKind& kind, WindowProc proc, const WChar* title) {
  FormatWide(state.className, 255, u"%s:%X:%X", kind.baseName, TickCount(), std::rand());
  if (!WindowClassExists(state.instance, state.className)) {
    WindowClass c{state.className,
                  kCsHRedraw | kCsVRedraw,
                  proc,
                  state.instance,
                  LoadIconById(state.instance, 101),
                  0,
                  reinterpret_cast<uintptr_t>(StockObject(kLightGreyBrush))};
    if (!RegisterWindowClass(c)) return false;
  }
  state.window = MakeWindow(0, state.className, title, kWsVisible, 0, 0, SystemMetric(kSmCxScreen),
                            SystemMetric(kSmCyScreen), nullptr, 0, state.instance);
  if (!state.window) return false;
  PlaceWindow(state, state.window);
  Show(state.window, kSwShowNormal);
  Update(state.window);
  return true;
}

void MakeControls(PickerState& state, const PickerKind& kind) {
  Places p = PlacesIn(state.window);
  state.font.Reset(MakeFont(ScaleForDpi(14), kFontWeight, u"verdana"));
  state.tree = MakeWindow(0, u"SysTreeView32", u"TreeView", kTreeStyle, p.tree.left, p.tree.top, p.tree.right,
                          p.tree.bottom, state.window, static_cast<uintptr_t>(kind.treeId), state.instance);
  if (!state.tree) return;
  Send(state.tree, kWmSetFont, reinterpret_cast<uintptr_t>(state.font.handle()), 1);
  Focus(state.tree);
  state.selectionBox = MakeWindow(0, u"edit", u"", kSelectionStyle, 0, 0, p.selection.right, p.selection.bottom,
                                  state.window, static_cast<uintptr_t>(kind.selectionId), state.instance);
  state.parameterBox =
      MakeWindow(0, u"edit", u"", kParameterStyle, 0, p.parameter.top, p.parameter.right, p.parameter.bottom,
                 state.window, static_cast<uintptr_t>(kind.parameterId), state.instance);
  // Three images of the strip, on its green mask; a strip that gives fewer is no strip.
  state.images.Reset(MakeImageList(DRAX(22), DRAY(22), kIlcMask, 3, 0));
  ImageListHandle images = state.images.handle();
  bool imagesReady = images && state.strip.IsOpen() &&
                     ImageListAddMasked(images, state.strip.handle(), kMaskGreen) != -1 && ImageListCount(images) >= 3;
  if (!imagesReady) {
    Destroy(state.tree);
    state.tree = nullptr;
    return;
  }
  TreeSetImages(state.tree, images);
  kind.List(state);
}

void Layout(PickerState& state, const PickerKind& kind, WindowHandle window) {
  Places p = PlacesIn(window);
  Move(ChildById(window, kind.treeId), p.tree.left, p.tree.top, p.tree.right, p.tree.bottom, false);
  Move(state.selectionBox, 0, 0, p.selection.right, p.selection.bottom, false);
  Move(state.parameterBox, 0, p.parameter.top, p.parameter.right, p.parameter.bottom, false);
}

// Runs until OK or Cancel; a quit message ends the picker too (with nothing chosen) and goes on
// to the settings window's own loop.
void RunLoop(PickerState& state) {
  Message msg{};
  int rc;
  while ((rc = GetNextMessage(msg)) > 0) {
    DispatchWithKeys(msg);
    if (state.done) break;
  }
  Destroy(state.tree);
  Destroy(state.window);
  state.tree = state.window = nullptr;
  if (rc <= 0) {
    state.result[0] = state.parameter[0] = 0;
    if (rc == 0) PostQuit(static_cast<int>(msg.wParam));
  }
}

void OnNotify(PickerState& state, const PickerKind& kind, WindowHandle window, intptr_t lParam) {
  Notification n = ReadNotification(lParam);
  if (!state.tree || n.from != state.tree) return;
  // Only the tree's own notifications carry the tree's record; Enter and a double tap carry the
  // header alone, and reading more of them would read past what the sender wrote.
  bool treeRecord = n.code == kTvnItemExpanding || n.code == kTvnItemExpanded || n.code == kTvnSelChanged;
  TreeNotification t = treeRecord ? ReadTreeNotification(lParam) : TreeNotification{0, nullptr};
  bool collapse = (t.action & 3) == kTveCollapse;
  switch (n.code) {
    case kTvnItemExpanding: {
      int image = collapse ? kCollapsedImage : kExpandedImage;
      TreeWrite(state.tree, t.item, TreeItemData{kTvifImage | kTvifSelectedImage, nullptr, image, image, 0});
      if (!collapse) kind.Expanding(state, t.item);
      break;
    }
    case kTvnItemExpanded:
      if (collapse) {
        // Every expansion asks again: a collapse drops the children.
        for (TreeItem child = TreeNext(state.tree, t.item, kTvgnChild); child;) {
          TreeItem next = TreeNext(state.tree, child, kTvgnNext);
          TreeRemove(state.tree, child);
          child = next;
        }
        // The control takes the button away with the last child; the node keeps it, so that it
        // can be opened again.
        TreeWrite(state.tree, t.item, TreeItemData{kTvifChildren, nullptr, 0, 0, 1});
      }
      break;
    case kTvnSelChanged:
      kind.Selected(state, t.item);
      break;
    case kNmReturn: {
      uint32_t now = TickCount();
      if (now - state.lastEnter < kDoubleEnterMs) Send(window, kWmCommand, kPickerOk, 0);
      state.lastEnter = now;
      break;
    }
    case kNmDblClk: {
      Point at = LastMessagePosition();
      ScreenToClientPoint(state.tree, at);
      kind.DoubleTapped(state, TreeHit(state.tree, at));
      break;
    }
  }
}

}  // namespace

bool PickerKey(PickerState& state, const KeyPress& press) {
  switch (press.key) {
    case kVkF1:
      Send(state.window, kWmCommand, kPickerOk, 0);
      return true;
    case kVkF2:
    case kVkEscape:
      Send(state.window, kWmCommand, kPickerCancel, 0);
      return true;
    case kVkReturn:
      if (press.focus != state.tree && press.focus != state.parameterBox) return false;
      Send(state.window, kWmCommand, kPickerOk, 0);
      return true;
    case kVkTab:
      // Between the tree and the parameter box; the selection box only shows.
      Focus(press.focus == state.tree && state.parameterBox ? state.parameterBox : state.tree);
      return true;
    case kVkUp:
    case kVkDown:
      // The tree moves its selection from the selected node: with none yet, the first is selected.
      if (press.focus != state.tree || TreeNext(state.tree, nullptr, kTvgnCaret)) return false;
      if (TreeItem first = TreeNext(state.tree, nullptr, kTvgnChild)) TreeSelect(state.tree, first);
      return true;
  }
  return false;
}

int ScaleForDpi(int n) {
  if (screenDpi == 0) {
    OwnedScreenContext dc;
    dc.Reset(ScreenContext());
    screenDpi = dc.IsOpen() ? DeviceCaps(dc.handle(), kLogPixelsY) : -1;
  }
  return (screenDpi * n + 48) / 96;
}

void ResetScreenDpi() {
  screenDpi = 0;
}

bool BuildItemPath(WindowHandle tree, TreeItem node, WChar* out, int chars) {
  WChar text[kPickerTextChars];
  WChar path[kPathChars], joined[kPathChars];
  if (!TreeRead(tree, node, kTvifText, text, kPickerTextChars, nullptr, nullptr, nullptr)) return false;
  if (!WCopy(path, kPathChars, text)) return false;
  for (TreeItem a = TreeNext(tree, node, kTvgnParent); a; a = TreeNext(tree, a, kTvgnParent)) {
    if (!TreeRead(tree, a, kTvifText, text, kPickerTextChars, nullptr, nullptr, nullptr)) return false;
    bool root = WString(text) == u"\\";
    // A path that no longer fits is not built at all: cut, it would name another folder.
    if (FormatWide(joined, kPathChars, root ? u"%s%s" : u"%s\\%s", text, path) < 0) return false;
    WCopy(path, kPathChars, joined);
  }
  bool root = WString(path) == u"\\";
  if (FormatWide(joined, kPathChars, root ? u"%s*.*" : u"%s\\*.*", path) < 0) return false;
  return WCopy(out, static_cast<size_t>(chars), joined);
}

CursorHandle PickerWaitCursor(InstanceHandle instance) {
  CursorHandle previous = SetCurrentCursor(LoadCursorById(instance, kIdcWait));
  ShowCursorCount(true);
  return previous;
}

void PickerRestoreCursor(CursorHandle previous) {
  SetCurrentCursor(previous);
  ShowCursorCount(false);
}

void RunPicker(PickerState& state, const PickerKind& kind, WindowProc proc, InstanceHandle instance, WindowHandle owner,
               const WChar* title, const WChar* pattern, const WChar* stripPath, WChar* resultOut,
               WChar* parameterOut) {
  resultOut[0] = parameterOut[0] = 0;
  if (pickerOpen) return;
  pickerOpen = true;
  CursorHandle cursor = kind.waitCursorWhileMade ? PickerWaitCursor(instance) : nullptr;
  state.done = state.acceptable = false;
  state.result[0] = state.parameter[0] = 0;
  for (WChar& c : state.pattern) c = 0;
  WCopy(state.pattern, kPickerTextChars, pattern);
  state.instance = instance;
  state.strip.Reset(LoadPicture(stripPath));
  ReleasePictureDecoder();
  state.owner = owner;
  state.menuBar = state.tree = state.selectionBox = state.parameterBox = nullptr;
  if (kind.disableOwner) Enable(owner, false);
  bool made = MakeWindowOf(state, kind, proc, title);
  if (made) MakeControls(state, kind);
  if (made) {
    WatchWindowKeys(
        state.window, [](void* s, const KeyPress& press) { return PickerKey(*static_cast<PickerState*>(s), press); },
        &state);
    ShowFocusCues(state.window);
  }
  if (kind.waitCursorWhileMade) PickerRestoreCursor(cursor);
  // A window that could not be made asks for no choice: nothing is chosen.
  WindowHandle window = state.window;
  if (made) RunLoop(state);
  EndWindowKeys(window);
  if (state.parameter[0]) WCopy(parameterOut, kPickerTextChars, state.parameter);
  if (state.result[0]) WCopy(resultOut, kPickerTextChars, state.result);
  if (kind.disableOwner) Enable(owner, true);
  BringForward(owner);
  Focus(owner);
  state.strip.Close();
  state.images.Close();
  state.font.Close();
  // Each opening has a class of its own; it goes with the picker.
  UnregisterWindowClass(instance, state.className);
  pickerOpen = false;
}

intptr_t PickerProcedure(PickerState& state, const PickerKind& kind, WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kWmCreate:
      state.menuBar = CreateMenuBar(window, state.instance, kPickerMenuBar, DRAY(kDesignMenuHeight));
      return 0;
    case kWmCommand:
      if (LowWord(wParam) == kPickerOk) {
        if (!state.acceptable) return 0;
        ReadText(state.parameterBox, state.parameter, kPickerTextChars);
        state.done = true;
        // Posted: OK may come from inside the tree's own notification, and the tree must not be
        // destroyed under it. The loop ends the picker once this message has been handled.
        Post(window, kWmClose, 0, 0);
        return 0;
      }
      if (LowWord(wParam) == kPickerCancel) {
        state.result[0] = state.parameter[0] = 0;
        state.done = true;
        Post(window, kWmClose, 0, 0);
        return 0;
      }
      break;
    case kWmNotify:
      OnNotify(state, kind, window, lParam);
      return 0;
    case kWmSettingChange:
      Layout(state, kind, window);
      return 0;
    case kWmDisplayChange:
    case kWmDpiChanged:
      // Desktop Windows announces a new resolution or orientation (or a new scale) this way, and
      // resizes no window for it: the picker takes the new screen as at its opening. Its controls
      // are drawn again whole: one that keeps its size is not repainted by its move.
      PlaceWindow(state, window);
      Layout(state, kind, window);
      for (WindowHandle control : {state.tree, state.selectionBox, state.parameterBox}) InvalidateWindow(control, true);
      return 0;
    case kWmPaint: {
      PaintScope validate(window);
      return 0;
    }
    case kWmEraseBkgnd:
      return 1;
    case kWmDestroy:
      Destroy(state.menuBar);
      state.menuBar = nullptr;
      // Closed by other means than OK or Cancel (the system's close, a task manager): the same as
      // Cancel, so that the loop ends and the settings window gets its input back.
      if (!state.done) {
        state.result[0] = state.parameter[0] = 0;
        state.done = true;
      }
      state.tree = state.window = nullptr;
      return 0;
  }
  return DefaultProcedure(window, message, wParam, lParam);
}
