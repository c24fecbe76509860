// Host model of windows: classes, the windows made with their state, focus and foreground, and
// the messages sent and posted to them. The standard controls' answers are in host_controls.cpp.
// Single-threaded: windows are made and used on the test's main thread.
#include "platform/host/host_window.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>

#include "platform/host/host_controls.h"
#include "platform/host/host_messages.h"
#include "platform/screen.h"

namespace platform {
namespace {

struct Model {
  std::deque<host::HostWindow> windows;    // handles are addresses of entries; entries never move
  std::map<WString, WindowClass> classes;  // by lower-cased name
  std::vector<WString> failingClasses;
  bool failRegistration = false;
  WindowHandle foreground = nullptr, focus = nullptr;
  Point lastMessagePosition{0, 0};
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

// Hands a posted message to its window's procedure, when the window still lives.
void DeliverToWindow(const Message& msg) {
  if (Live(msg.window)) Send(msg.window, msg.message, msg.wParam, msg.lParam);
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
  ControlsReset();
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

intptr_t SendNotification(WindowHandle to, const Notification& header, const TreeNotification& tree) {
  host::NotifyRecord n{header, tree};
  return Send(to, kWmNotify, header.id, reinterpret_cast<intptr_t>(&n));
}

void SetLastMessagePosition(Point p) {
  M().lastMessagePosition = p;
}

}  // namespace host

// --- the window service ----------------------------------------------------------------------

bool WindowClassExists(InstanceHandle, const WChar* name) {
  return M().classes.count(WLower(name)) != 0 || host::IsControlClass(name);
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
  if (!m.classes.count(WLower(cls)) && !host::IsControlClass(cls)) return nullptr;
  if ((style & kWsChild) && !Live(parent)) return nullptr;
  windowThread = CurrentThreadId();
  // A window's posted messages reach it through the queue, which hands them back here.
  host::SetWindowDelivery(&DeliverToWindow);
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
  return host::ControlMessage(*r, message, wParam, lParam);
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
  switch (message) {
    case kWmSysCommand:
      // The system's close command asks the window to close, as the platform's default handling
      // does; the double models no other command.
      if ((wParam & kScCommandMask) != kScClose) break;
      Send(window, kWmClose, 0, 0);
      return 0;
    case kWmClose:
      Destroy(window);
      return 0;
    case kWmEraseBkgnd:
      return 1;
    // The platform's default handling answers these 0, with nothing the double models done.
    case kWmCreate:
    case kWmDestroy:
    case kWmSize:
    case kWmActivate:
    case kWmPaint:
    case kWmSettingChange:
    case kWmDisplayChange:
    case kWmEndSession:
    case kWmCommand:
    case kWmNotify:
    case kWmMouseMove:
    case kWmLButtonDown:
    case kWmLButtonUp:
      return 0;
    default:
      // The program's own and registered messages mean nothing to the platform.
      if (message >= kWmUser) return 0;
  }
  if (host::HostWindow* r = Live(window)) host::Unmodelled(*r, message, "the default procedure");
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
  auto* n = reinterpret_cast<const host::NotifyRecord*>(lParam);
  return n ? n->header : Notification{nullptr, 0, 0};
}

WindowHandle InsertAfterOf(intptr_t lParam) {
  return reinterpret_cast<WindowHandle>(lParam);
}

}  // namespace platform
