// Host model of windows and the standard controls. It answers just the messages the logic sends;
// everything else is 0. Single-threaded: windows are made and used on the test's main thread.
#include "platform/host/host_window.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>

#include "platform/host/host_images.h"
#include "platform/host/host_messages.h"
#include "platform/html_view.h"
#include "platform/keyboard.h"
#include "platform/screen.h"

namespace platform {
namespace {

struct Model {
  std::deque<host::HostWindow> windows;    // handles are addresses of entries; entries never move
  std::map<WString, WindowClass> classes;  // by lower-cased name
  std::vector<WString> failingClasses;
  bool failRegistration = false;
  bool htmlControl = false;
  WindowHandle foreground = nullptr, focus = nullptr;
  Point lastMessagePosition{0, 0};
  uintptr_t nextTreeItem = 0x10000;
  std::map<WString, uint32_t> messageNames;
};

Model& M() {
  static Model m;
  return m;
}

// The thread that makes the windows: the model's windows are all that thread's, and only it reads
// or changes the model. Other threads may only post to them.
std::atomic<ThreadId> windowThread{0};

host::HostWindow* Rec(WindowHandle w) {
  if (!w) return nullptr;
  for (auto& r : M().windows) {
    if (&r == w) return &r;
  }
  return nullptr;
}

host::HostWindow* Live(WindowHandle w) {
  host::HostWindow* r = Rec(w);
  return r && r->alive ? r : nullptr;
}

const WindowClass* ClassOf(const host::HostWindow& r) {
  auto it = M().classes.find(WLower(r.className));
  return it == M().classes.end() ? nullptr : &it->second;
}

bool IsClass(const host::HostWindow& r, const WChar* name) {
  return WCompareNoCase(r.className.c_str(), name) == 0;
}

bool IsStandardClass(const WString& name) {
  for (const WChar* c : {u"button", u"combobox", u"edit", u"static", u"SysTabControl32", u"SysTreeView32"}) {
    if (WCompareNoCase(name.c_str(), c) == 0) return true;
  }
  return WCompareNoCase(name.c_str(), kHtmlViewClass) == 0 && M().htmlControl;
}

// Host layout of the records that WM_NOTIFY carries.
struct NotifyRecord {
  Notification header;
  TreeNotification tree;
};

// The tree's geometry, as the control lays an item out: rows at least 16 pixels high (or as high
// as the images), each item indented by its depth (one step more when the top items have lines
// or buttons of their own), then its image, then its label: the text, 6 pixels a character, with
// a margin of 2 on each side.
constexpr int32_t kTreeRowHeight = 16;
constexpr int32_t kTreeIndent = 19;
constexpr int32_t kTreeCharWidth = 6;
constexpr int32_t kTreeLabelMargin = 2;

void VisibleItems(const host::HostWindow& t, TreeItem parent, std::vector<TreeItem>& out) {
  for (const auto& e : t.tree) {
    if (e.parent != parent) continue;
    out.push_back(e.item);
    if (e.expanded) VisibleItems(t, e.item, out);
  }
}

host::TreeEntry* Entry(host::HostWindow& t, TreeItem item) {
  for (auto& e : t.tree) {
    if (e.item == item) return &e;
  }
  return nullptr;
}

int32_t TreeRowHeight(const host::HostWindow& t) {
  const host::ImageListInfo* images = host::ImageListRecord(t.imageList);
  return images && images->height > kTreeRowHeight ? images->height : kTreeRowHeight;
}

// Where a visible item lies: its row (from the top of the client area), the left of its image and
// the extent of its label.
struct TreeItemPlace {
  int32_t top, imageLeft, labelLeft, labelRight;
};
bool PlaceOf(host::HostWindow& t, TreeItem item, TreeItemPlace& place) {
  std::vector<TreeItem> rows;
  VisibleItems(t, TreeRoot(), rows);
  auto row = std::find(rows.begin(), rows.end(), item);
  host::TreeEntry* e = Entry(t, item);
  if (row == rows.end() || !e) return false;
  int32_t depth = 0;
  for (host::TreeEntry* p = e; p->parent != TreeRoot() && (p = Entry(t, p->parent));) ++depth;
  bool rootLines = (t.style & kTvsLinesAtRoot) && (t.style & (kTvsHasLines | kTvsHasButtons));
  const host::ImageListInfo* images = host::ImageListRecord(t.imageList);
  place.top = static_cast<int32_t>(row - rows.begin()) * TreeRowHeight(t);
  place.imageLeft = (depth + (rootLines ? 1 : 0)) * kTreeIndent;
  place.labelLeft = place.imageLeft + (images ? images->width : 0);
  place.labelRight = place.labelLeft + 2 * kTreeLabelMargin + kTreeCharWidth * static_cast<int32_t>(e->text.size());
  return true;
}

void RemoveItem(host::HostWindow& t, TreeItem item) {
  std::vector<TreeItem> children;
  for (const auto& e : t.tree) {
    if (e.parent == item) children.push_back(e.item);
  }
  for (TreeItem c : children) RemoveItem(t, c);
  TreeItem parent = nullptr;
  if (host::TreeEntry* e = Entry(t, item)) parent = e->parent;
  t.tree.erase(
      std::remove_if(t.tree.begin(), t.tree.end(), [item](const host::TreeEntry& e) { return e.item == item; }),
      t.tree.end());
  if (t.caret == item) t.caret = nullptr;
  // As the real control does: a parent whose last child goes loses its expand button.
  bool more = false;
  for (const auto& e : t.tree) more |= e.parent == parent;
  if (host::TreeEntry* p = parent && !more ? Entry(t, parent) : nullptr) p->children = 0;
}

intptr_t NotifyParent(host::HostWindow& from, int32_t code, const TreeNotification& tree) {
  NotifyRecord n{Notification{&from, from.id, code}, tree};
  return Send(from.parent, kWmNotify, from.id, reinterpret_cast<intptr_t>(&n));
}

// A drop-down list's keys, as the real control answers them (see the controls contract): Up and
// Down move the selection and say so (a closed list reports its choice ended first); Enter closes a
// dropped list confirmed, Esc cancelled.
intptr_t ComboKey(host::HostWindow& r, uint32_t key) {
  auto notify = [&r](uint16_t code) {
    Send(r.parent, kWmCommand, (static_cast<uintptr_t>(code) << 16) | (r.id & 0xFFFF), reinterpret_cast<intptr_t>(&r));
  };
  if (key == kVkUp || key == kVkDown) {
    int last = static_cast<int>(r.items.size()) - 1;
    int next = r.selection + (key == kVkDown ? 1 : -1);
    next = next < 0 ? 0 : next > last ? last : next;
    if (last >= 0 && next != r.selection) {
      r.selection = next;
      if (!r.dropped) notify(kCbnSelEndOk);
      notify(kCbnSelChange);
    }
  } else if (r.dropped && (key == kVkReturn || key == kVkEscape)) {
    notify(key == kVkReturn ? kCbnSelEndOk : kCbnSelEndCancel);
    r.dropped = false;
    notify(kCbnCloseUp);
  }
  return 0;
}

intptr_t StandardMessage(host::HostWindow& r, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kWmSetText:
      r.text = lParam ? reinterpret_cast<const WChar*>(lParam) : u"";
      return 1;
    case kWmGetText: {
      auto* out = reinterpret_cast<WChar*>(lParam);
      if (!out || wParam == 0) return 0;
      WCopy(out, wParam, r.text.c_str());
      return static_cast<intptr_t>(WLen(out));
    }
    case kWmSetFont:
      r.font = reinterpret_cast<void*>(wParam);
      return 0;
  }
  if (IsClass(r, u"button")) {
    if (message == kBmGetCheck) return static_cast<intptr_t>(r.check);
    if (message == kBmSetCheck) {
      r.check = wParam;
      return 0;
    }
    if (message == kBmClick) {
      if ((r.style & 0xF) == kBsAutoCheckBox && r.enabled) r.check = r.check == kBstChecked ? 0 : kBstChecked;
      if (r.enabled)
        Send(r.parent, kWmCommand, (static_cast<uintptr_t>(kBnClicked) << 16) | (r.id & 0xFFFF),
             reinterpret_cast<intptr_t>(&r));
      return 0;
    }
  } else if (IsClass(r, u"combobox")) {
    switch (message) {
      case kCbAddString:
        r.items.push_back(reinterpret_cast<const WChar*>(lParam));
        return static_cast<intptr_t>(r.items.size() - 1);
      case kCbGetCount:
        return static_cast<intptr_t>(r.items.size());
      case kCbGetDroppedState:
        return r.dropped ? 1 : 0;
      case kCbShowDropDown:
        if (wParam != 0 && !r.dropped) {
          r.dropped = true;
          Send(r.parent, kWmCommand, (static_cast<uintptr_t>(kCbnDropDown) << 16) | (r.id & 0xFFFF),
               reinterpret_cast<intptr_t>(&r));
        }
        r.dropped = wParam != 0;
        return 1;
      case kWmKeyDown:
        return ComboKey(r, static_cast<uint32_t>(wParam));
      case kCbGetCurSel:
        return r.selection;
      case kCbSetCurSel:
        if (static_cast<intptr_t>(wParam) >= 0 && wParam < r.items.size()) {
          r.selection = static_cast<int>(wParam);
          return r.selection;
        }
        r.selection = -1;
        return -1;
      case kCbGetLbText:
        if (wParam >= r.items.size()) return -1;
        WCopy(reinterpret_cast<WChar*>(lParam), r.items[wParam].size() + 1, r.items[wParam].c_str());
        return static_cast<intptr_t>(r.items[wParam].size());
    }
  } else if (IsClass(r, u"SysTabControl32")) {
    switch (message) {
      case kTcmSetImageList: {
        void* old = r.imageList;
        r.imageList = reinterpret_cast<void*>(lParam);
        return reinterpret_cast<intptr_t>(old);
      }
      case kTcmGetItemCount:
        return static_cast<intptr_t>(r.tabs.size());
      case kTcmGetCurSel:
        return r.selection;
      case kTcmSetCurSel: {
        int old = r.selection;
        if (wParam < r.tabs.size()) r.selection = static_cast<int>(wParam);
        return old;
      }
    }
  } else if (IsClass(r, kHtmlViewClass)) {
    if (message == kDtmClear) {
      ++r.clears;
      r.navigations.clear();
      return 0;
    }
    if (message == kDtmNavigate) {
      r.navigations.push_back(lParam ? reinterpret_cast<const WChar*>(lParam) : u"");
      return 0;
    }
  }
  return 0;
}

void DestroyRecord(host::HostWindow& r) {
  if (!r.alive) return;
  const WindowClass* c = ClassOf(r);
  if (c) c->proc(&r, kWmDestroy, 0, 0);
  r.alive = false;
  r.visible = false;
  for (auto& other : M().windows) {
    if (other.alive && other.parent == &r) DestroyRecord(other);
  }
  if (M().foreground == &r) M().foreground = nullptr;
  if (M().focus == &r) M().focus = nullptr;
}

}  // namespace

// --- host control --------------------------------------------------------------------------

namespace host {

void WindowsReset() {
  windowThread = CurrentThreadId();
  Model& m = M();
  m.windows.clear();
  m.classes.clear();
  m.failingClasses.clear();
  m.failRegistration = false;
  m.htmlControl = false;
  m.foreground = m.focus = nullptr;
  m.lastMessagePosition = Point{0, 0};
}

const HostWindow* WindowRecord(WindowHandle window) {
  return Rec(window);
}

std::vector<WindowHandle> LiveChildren(WindowHandle parent) {
  std::vector<WindowHandle> out;
  for (auto& r : M().windows) {
    if (r.alive && r.parent == parent) out.push_back(&r);
  }
  return out;
}

int LiveWindowCount() {
  int n = 0;
  for (auto& r : M().windows) n += r.alive ? 1 : 0;
  return n;
}

WindowHandle ForegroundWindow() {
  return M().foreground;
}

WindowHandle FocusWindow() {
  return M().focus;
}

void FailWindowClass(const WChar* className) {
  M().failingClasses.push_back(WLower(className));
}

void FailClassRegistration(bool fail) {
  M().failRegistration = fail;
}

void ClickTab(WindowHandle tab, int index) {
  HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return;
  NotifyParent(*r, kTcnSelChanging, TreeNotification{0, nullptr});
  r->selection = index;
  NotifyParent(*r, kTcnSelChange, TreeNotification{0, nullptr});
}

intptr_t SendNotification(WindowHandle to, const Notification& header, const TreeNotification& tree) {
  NotifyRecord n{header, tree};
  return Send(to, kWmNotify, header.id, reinterpret_cast<intptr_t>(&n));
}

void SetLastMessagePosition(Point p) {
  M().lastMessagePosition = p;
}

void DeliverToWindow(const Message& msg) {
  if (Live(msg.window)) Send(msg.window, msg.message, msg.wParam, msg.lParam);
}

}  // namespace host

// --- the window service ----------------------------------------------------------------------

bool WindowClassExists(InstanceHandle, const WChar* name) {
  return M().classes.count(WLower(name)) != 0 || IsStandardClass(name);
}

bool RegisterWindowClass(const WindowClass& c) {
  if (M().failRegistration || !c.name || !c.proc || WindowClassExists(c.instance, c.name)) return false;
  WindowClass copy = c;
  auto& stored = M().classes[WLower(c.name)];
  stored = copy;
  // The name must outlive the caller's buffer.
  static std::deque<WString> names;
  names.push_back(c.name);
  stored.name = names.back().c_str();
  return true;
}

bool UnregisterWindowClass(InstanceHandle, const WChar* name) {
  for (auto& r : M().windows) {
    if (r.alive && WCompareNoCase(r.className.c_str(), name) == 0) return false;
  }
  return M().classes.erase(WLower(name)) != 0;
}

// The double draws no fonts: a control's look has nothing to change.
void RefreshLook(WindowHandle) {}

WindowHandle MakeWindow(uint32_t exStyle, const WChar* className, const WChar* text, uint32_t style, int32_t x,
                        int32_t y, int32_t width, int32_t height, WindowHandle parent, uintptr_t id,
                        InstanceHandle instance) {
  Model& m = M();
  WString cls = className ? className : u"";
  if (std::find(m.failingClasses.begin(), m.failingClasses.end(), WLower(cls)) != m.failingClasses.end())
    return nullptr;
  if (!m.classes.count(WLower(cls)) && !IsStandardClass(cls)) return nullptr;
  if ((style & kWsChild) && !Live(parent)) return nullptr;
  windowThread = CurrentThreadId();
  m.windows.push_back(host::HostWindow{});
  host::HostWindow& r = m.windows.back();
  r.className = cls;
  r.text = text ? text : u"";
  r.style = style;
  r.exStyle = exStyle;
  r.x = x, r.y = y, r.width = width, r.height = height;
  if (!(style & kWsChild) && x == kCwUseDefault) {
    ScreenMetrics s = MeasureScreen();
    r.x = 0, r.y = 0, r.width = s.width, r.height = s.height;
  }
  r.parent = parent;
  r.id = id;
  r.instance = instance;
  r.visible = (style & kWsVisible) != 0;
  r.enabled = (style & kWsDisabled) == 0;
  if (const WindowClass* c = ClassOf(r)) {
    if (c->proc(&r, kWmCreate, 0, 0) == -1) {
      DestroyRecord(r);
      return nullptr;
    }
  }
  return &r;
}

bool Destroy(WindowHandle window) {
  host::HostWindow* r = Live(window);
  if (!r) return false;
  DestroyRecord(*r);
  return true;
}

bool Exists(WindowHandle window) {
  return Live(window) != nullptr;
}

bool IsShown(WindowHandle window) {
  host::HostWindow* r = Live(window);
  if (!r) return false;
  for (host::HostWindow* p = r; p; p = (p->style & kWsChild) ? Live(p->parent) : nullptr) {
    if (!p->visible) return false;
  }
  return true;
}

bool Move(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, bool) {
  host::HostWindow* r = Live(window);
  if (!r) return false;
  r->x = x, r->y = y, r->width = width, r->height = height;
  ++r->moves;
  return true;
}

bool Show(WindowHandle window, int command) {
  host::HostWindow* r = Live(window);
  if (!r) return false;
  bool was = r->visible;
  r->visible = command != kSwHide;
  return was;
}

void Update(WindowHandle) {}

bool Enable(WindowHandle window, bool enable) {
  host::HostWindow* r = Live(window);
  if (!r) return false;
  bool wasDisabled = !r->enabled;
  r->enabled = enable;
  return wasDisabled;
}

bool IsEnabled(WindowHandle window) {
  host::HostWindow* r = Live(window);
  return r && r->enabled;
}

WindowHandle Focus(WindowHandle window) {
  WindowHandle old = M().focus;
  if (Live(window)) M().focus = window;
  return old;
}

WindowHandle FocusedWindow() {
  return M().focus;
}

WindowHandle TopLevelOf(WindowHandle window) {
  for (host::HostWindow* r = Live(window); r && (r->style & kWsChild) && r->parent; r = Live(r->parent))
    window = r->parent;
  return Live(window) ? window : nullptr;
}

void ShowFocusCues(WindowHandle) {}

bool BringForward(WindowHandle window) {
  if (!Live(window)) return false;
  M().foreground = window;
  return true;
}

intptr_t Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  host::HostWindow* r = Live(window);
  if (!r) return 0;
  if (const WindowClass* c = ClassOf(*r)) return c->proc(window, message, wParam, lParam);
  return StandardMessage(*r, message, wParam, lParam);
}

bool Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // The model's windows all belong to the thread that made them: its queue takes the message. A
  // post from another thread must not read the model; the window is checked when it is delivered.
  ThreadId owner = windowThread.load();
  if (owner && owner != CurrentThreadId()) {
    return window && host::PostWindowMessageTo(owner, Message{window, message, wParam, lParam});
  }
  if (!Live(window)) return false;
  host::PostWindowMessage(Message{window, message, wParam, lParam});
  return true;
}

intptr_t DefaultProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  // The system's close command asks the window to close, as the platform's default handling does.
  if (message == kWmSysCommand && (wParam & kScCommandMask) == kScClose) Send(window, kWmClose, 0, 0);
  if (message == kWmClose) Destroy(window);
  if (message == kWmEraseBkgnd) return 1;
  return 0;
}

WindowHandle FindTopLevel(const WChar* className, const WChar* title) {
  for (auto& r : M().windows) {
    if (r.alive && !(r.style & kWsChild) && WCompareNoCase(r.className.c_str(), className) == 0 &&
        (!title || r.text == title))
      return &r;
  }
  return nullptr;
}

WindowHandle ChildById(WindowHandle parent, int id) {
  for (auto& r : M().windows) {
    if (r.alive && r.parent == parent && (r.style & kWsChild) && r.id == static_cast<uintptr_t>(id)) return &r;
  }
  return nullptr;
}

Rect ClientArea(WindowHandle window) {
  host::HostWindow* r = Live(window);
  return r ? Rect{0, 0, r->width, r->height} : Rect{0, 0, 0, 0};
}

Rect ScreenBounds(WindowHandle window) {
  host::HostWindow* r = Live(window);
  if (!r) return Rect{0, 0, 0, 0};
  int32_t x = r->x, y = r->y;
  for (host::HostWindow* p = r; (p->style & kWsChild) && (p = Live(p->parent));) x += p->x, y += p->y;
  return Rect{x, y, x + r->width, y + r->height};
}

int ReadText(WindowHandle window, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  host::HostWindow* r = Live(window);
  if (!r) return 0;
  WCopy(buffer, static_cast<size_t>(chars), r->text.c_str());
  return static_cast<int>(WLen(buffer));
}

bool WriteText(WindowHandle window, const WChar* text) {
  return Send(window, kWmSetText, 0, reinterpret_cast<intptr_t>(text)) != 0;
}

bool ScreenToClientPoint(WindowHandle window, Point& point) {
  if (!Live(window)) return false;
  Rect b = ScreenBounds(window);
  point.x -= b.left;
  point.y -= b.top;
  return true;
}

Point LastMessagePosition() {
  return M().lastMessagePosition;
}

int SystemMetric(int index) {
  ScreenMetrics s = MeasureScreen();
  switch (index) {
    case kSmCxScreen:
      return s.width;
    case kSmCyScreen:
      return s.height;
    case kSmCxSmIcon:
    case kSmCySmIcon:
      // As the Win32 backend reads them: 32 on a screen of VGA size, 16 on a smaller one, and on
      // a desk 16 per factor.
      if (s.deskFactor > 0) return 16 * s.deskFactor;
      return (s.width < s.height ? s.width : s.height) >= 480 ? 32 : 16;
  }
  return 0;
}

uint32_t RegisterMessageName(const WChar* name) {
  auto& names = M().messageNames;
  auto it = names.find(WLower(name));
  if (it != names.end()) return it->second;
  uint32_t id = 0xC000 + static_cast<uint32_t>(names.size());
  names[WLower(name)] = id;
  return id;
}

Notification ReadNotification(intptr_t lParam) {
  auto* n = reinterpret_cast<const NotifyRecord*>(lParam);
  return n ? n->header : Notification{nullptr, 0, 0};
}

WindowHandle InsertAfterOf(intptr_t lParam) {
  return reinterpret_cast<WindowHandle>(lParam);
}

// --- tab strip ---------------------------------------------------------------------------------

int TabInsert(WindowHandle tab, int index, const WChar* text, int image) {
  host::HostWindow* r = Live(tab);
  if (!r || !IsClass(*r, u"SysTabControl32") || index < 0) return -1;
  size_t at = std::min(static_cast<size_t>(index), r->tabs.size());
  r->tabs.insert(r->tabs.begin() + static_cast<std::ptrdiff_t>(at), host::TabEntry{text ? text : u"", image});
  if (r->selection < 0) r->selection = 0;
  return static_cast<int>(at);
}

bool TabRead(WindowHandle tab, int index, WChar* text, int chars, int* image) {
  host::HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return false;
  if (text && chars > 0) WCopy(text, static_cast<size_t>(chars), r->tabs[index].text.c_str());
  if (image) *image = r->tabs[index].image;
  return true;
}

bool TabBounds(WindowHandle tab, int index, Rect& rect) {
  host::HostWindow* r = Live(tab);
  if (!r || index < 0 || static_cast<size_t>(index) >= r->tabs.size()) return false;
  int32_t w = r->width / static_cast<int32_t>(r->tabs.size());
  rect = Rect{index * w, 0, (index + 1) * w, r->height};
  return true;
}

// --- tree view ---------------------------------------------------------------------------------

TreeItem TreeRoot() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x10000));
}
TreeItem TreeLast() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x0FFFE));
}
TreeItem TreeSort() {
  return reinterpret_cast<TreeItem>(static_cast<intptr_t>(-0x0FFFD));
}

TreeItem TreeInsert(WindowHandle tree, TreeItem parent, TreeItem after, const TreeItemData& d) {
  host::HostWindow* t = Live(tree);
  if (!t || !IsClass(*t, u"SysTreeView32")) return nullptr;
  if (!parent) parent = TreeRoot();
  if (parent != TreeRoot() && !Entry(*t, parent)) return nullptr;
  host::TreeEntry e{reinterpret_cast<TreeItem>(M().nextTreeItem++),
                    parent,
                    (d.mask & kTvifText) && d.text ? d.text : u"",
                    (d.mask & kTvifImage) ? d.image : 0,
                    (d.mask & kTvifSelectedImage) ? d.selectedImage : 0,
                    (d.mask & kTvifChildren) ? d.children : 0,
                    false,
                    false};
  auto pos = t->tree.end();
  if (after == TreeSort()) {
    // Before the first sibling whose text is greater, without regard to case.
    for (auto it = t->tree.begin(); it != t->tree.end(); ++it) {
      if (it->parent == parent && WCompareNoCase(it->text.c_str(), e.text.c_str()) > 0) {
        pos = it;
        break;
      }
    }
  }
  t->tree.insert(pos, e);
  return e.item;
}

bool TreeRead(WindowHandle tree, TreeItem item, uint32_t mask, WChar* text, int chars, int* image, int* selectedImage,
              int* children) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  if ((mask & kTvifText) && text && chars > 0) WCopy(text, static_cast<size_t>(chars), e->text.c_str());
  if (image) *image = e->image;
  if (selectedImage) *selectedImage = e->selectedImage;
  if (children) *children = e->children;
  return true;
}

bool TreeWrite(WindowHandle tree, TreeItem item, const TreeItemData& d) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  if ((d.mask & kTvifText) && d.text) e->text = d.text;
  if (d.mask & kTvifImage) e->image = d.image;
  if (d.mask & kTvifSelectedImage) e->selectedImage = d.selectedImage;
  if (d.mask & kTvifChildren) e->children = d.children;
  return true;
}

TreeItem TreeNext(WindowHandle tree, TreeItem item, uint32_t relation) {
  host::HostWindow* t = Live(tree);
  if (!t) return nullptr;
  if (relation == kTvgnCaret) return t->caret;
  if (relation == kTvgnChild) {
    TreeItem parent = item ? item : TreeRoot();
    for (const auto& e : t->tree) {
      if (e.parent == parent) return e.item;
    }
    return nullptr;
  }
  host::TreeEntry* e = Entry(*t, item);
  if (!e) return nullptr;
  if (relation == kTvgnParent) return e->parent == TreeRoot() ? nullptr : e->parent;
  if (relation == kTvgnNext) {
    TreeItem parent = e->parent;
    bool seen = false;
    for (const auto& s : t->tree) {
      if (seen && s.parent == parent) return s.item;
      if (s.item == item) seen = true;
    }
  }
  return nullptr;
}

bool TreeRemove(WindowHandle tree, TreeItem item) {
  host::HostWindow* t = Live(tree);
  if (!t || !Entry(*t, item)) return false;
  RemoveItem(*t, item);
  return true;
}

TreeItem TreeHit(WindowHandle tree, Point point) {
  host::HostWindow* t = Live(tree);
  if (!t || point.x < 0 || point.y < 0) return nullptr;
  std::vector<TreeItem> rows;
  VisibleItems(*t, TreeRoot(), rows);
  size_t row = static_cast<size_t>(point.y / TreeRowHeight(*t));
  TreeItemPlace place{};
  if (row >= rows.size() || !PlaceOf(*t, rows[row], place)) return nullptr;
  // As the control answers TVHT_ONITEM: on the item's image or label only, not on its indent, its
  // button or the row right of the label.
  return point.x >= place.imageLeft && point.x < place.labelRight ? rows[row] : nullptr;
}

bool TreeSetImages(WindowHandle tree, ImageListHandle list) {
  host::HostWindow* t = Live(tree);
  if (!t) return false;
  t->imageList = list;
  return true;
}

bool TreeExpand(WindowHandle tree, TreeItem item, uint32_t action) {
  host::HostWindow* t = Live(tree);
  host::TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  uint32_t kind = action & 0x3;
  bool expand = kind == kTveExpand || (kind == 3 && !e->expanded);  // TVE_TOGGLE is 3
  if (expand == e->expanded) return false;
  // As the control does: the parent hears of an expansion only until the item was expanded once,
  // and of a collapse every time.
  bool notify = !expand || !e->everExpanded;
  TreeNotification n{expand ? kTveExpand : kTveCollapse, item};
  if (notify && NotifyParent(*t, kTvnItemExpanding, n) != 0) return false;
  if (!(e = Entry(*t, item))) return false;
  e->expanded = expand;
  if (expand) e->everExpanded = true;
  if (notify) NotifyParent(*t, kTvnItemExpanded, TreeNotification{action, item});
  if (!expand && (action & kTveCollapseReset)) {
    std::vector<TreeItem> children;
    for (const auto& c : t->tree) {
      if (c.parent == item) children.push_back(c.item);
    }
    for (TreeItem c : children) RemoveItem(*t, c);
    if ((e = Entry(*t, item))) e->everExpanded = false;
  }
  return true;
}

namespace host {

bool ToggleNode(WindowHandle tree, TreeItem item) {
  HostWindow* t = Live(tree);
  TreeEntry* e = t ? Entry(*t, item) : nullptr;
  if (!e) return false;
  bool expand = !e->expanded;
  TreeNotification n{expand ? kTveExpand : kTveCollapse, item};
  if (NotifyParent(*t, kTvnItemExpanding, n) != 0) return false;
  if (!(e = Entry(*t, item))) return false;
  e->expanded = expand;
  if (expand) e->everExpanded = true;
  NotifyParent(*t, kTvnItemExpanded, n);
  return true;
}

}  // namespace host

bool TreeSelect(WindowHandle tree, TreeItem item) {
  host::HostWindow* t = Live(tree);
  if (!t || (item && !Entry(*t, item))) return false;
  if (t->caret == item) return true;
  t->caret = item;
  NotifyParent(*t, kTvnSelChanged, TreeNotification{0, item});
  return true;
}

bool TreeItemBounds(WindowHandle tree, TreeItem item, Rect& rect) {
  host::HostWindow* t = Live(tree);
  TreeItemPlace place{};
  if (!t || !PlaceOf(*t, item, place)) return false;
  rect = Rect{place.labelLeft, place.top, place.labelRight, place.top + TreeRowHeight(*t)};
  return true;
}

TreeNotification ReadTreeNotification(intptr_t lParam) {
  auto* n = reinterpret_cast<const NotifyRecord*>(lParam);
  return n ? n->tree : TreeNotification{0, nullptr};
}

// --- HTML view ---------------------------------------------------------------------------------

bool InitHtmlControl(InstanceHandle) {
  M().htmlControl = true;
  return true;
}

WChar* AllocPlatformString(const WChar* text) {
  size_t n = WLen(text);
  auto* copy = new WChar[n + 1];
  for (size_t i = 0; i <= n; ++i) copy[i] = text[i];
  return copy;
}

void FreePlatformString(WChar* text) {
  delete[] text;
}

}  // namespace platform
