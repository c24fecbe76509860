// Host model of the shell's window services: menu bars are windows of their own, and top-level
// windows are placed where the device's shell puts them.
#include "platform/host/host_shell_ui.h"

#include <algorithm>
#include <utility>

#include "platform/host/host_window.h"
#include "platform/screen.h"

namespace platform {
namespace {

struct ShellUi {
  bool failMenuBar = false;
  std::vector<host::NotifyCall> calls;
  std::vector<std::pair<WindowHandle, uint32_t>> icons;
  int settingChanges = 0;
};

ShellUi& S() {
  static ShellUi s;
  return s;
}

bool MenuBarClassReady() {
  static const WindowClass kBar{
      u"host.menubar",
      0,
      [](WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) { return DefaultProcedure(w, m, wp, lp); },
      nullptr,
      nullptr,
      0,
      0};
  return WindowClassExists(nullptr, kBar.name) || RegisterWindowClass(kBar);
}

}  // namespace

namespace host {

void ShellUiReset() {
  S() = ShellUi{};
}

void FailMenuBar(bool fail) {
  S().failMenuBar = fail;
}

std::vector<NotifyCall> NotifyCalls() {
  return S().calls;
}

bool TrayIconPresent(WindowHandle window, uint32_t id) {
  auto& icons = S().icons;
  return std::find(icons.begin(), icons.end(), std::make_pair(window, id)) != icons.end();
}

int TrayIconCount() {
  return static_cast<int>(S().icons.size());
}

int SettingChangesHandled() {
  return S().settingChanges;
}

}  // namespace host

WindowHandle CreateMenuBar(WindowHandle parent, InstanceHandle instance, uint16_t resourceId, int32_t height) {
  if (S().failMenuBar || !Exists(parent) || !MenuBarClassReady()) return nullptr;
  Rect p = ScreenBounds(parent);
  WindowHandle bar =
      MakeWindow(0, u"host.menubar", u"", 0, p.left, p.bottom, p.right - p.left, height, parent, resourceId, instance);
  if (bar) const_cast<host::HostWindow*>(host::WindowRecord(bar))->menuBarResource = resourceId;
  return bar;
}

void HandleActivate(WindowHandle, uintptr_t, intptr_t, ShellActivateInfo&) {}

void HandleSettingChange(WindowHandle, uintptr_t, intptr_t, ShellActivateInfo&) {
  ++S().settingChanges;
}

void PlaceAsShellWindow(WindowHandle window, int32_t menuHeight) {
  ScreenMetrics s = MeasureScreen();
  Move(window, 0, menuHeight, s.width, s.height - 2 * menuHeight, false);
}

bool FullScreen(WindowHandle window, uint32_t) {
  ScreenMetrics s = MeasureScreen();
  return Move(window, 0, 0, s.width, s.height, false);
}

bool NotifyIcon(uint32_t operation, const NotifyIconRecord& record) {
  auto& icons = S().icons;
  auto key = std::make_pair(record.window, record.id);
  auto it = std::find(icons.begin(), icons.end(), key);
  bool ok = false;
  if (operation == kNimAdd && it == icons.end() && record.window) {
    icons.push_back(key);
    ok = true;
  } else if (operation == kNimModify && it != icons.end()) {
    ok = true;
  } else if (operation == kNimDelete && it != icons.end()) {
    icons.erase(it);
    ok = true;
  }
  S().calls.push_back(host::NotifyCall{operation, record, ok, CurrentThreadId()});
  return ok;
}

}  // namespace platform
