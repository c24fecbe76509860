#include "platform/host/host_shell.h"

#include <deque>
#include <mutex>

namespace platform {
namespace {

struct LoadedCursor {
  InstanceHandle instance;
  int id;
};

struct Shell {
  std::mutex lock;
  std::vector<host::ShellCall> calls;
  std::function<int(const host::ShellCall&)> boxHandler;
  bool launchResult = true;
  std::optional<WString> platformType;
  std::deque<LoadedCursor> cursors;  // a handle is the address of an entry; entries never move
  CursorHandle current = nullptr;
  int showCount = 0;
};

Shell& S() {
  static Shell s;
  return s;
}

int CursorIdLocked() {
  return S().current ? static_cast<LoadedCursor*>(S().current)->id : 0;
}

}  // namespace

bool PlayBeep(uint32_t type) {
  std::lock_guard<std::mutex> g(S().lock);
  S().calls.push_back(
      host::ShellCall{host::ShellCall::Beep, CurrentThreadId(), nullptr, u"", u"", type, CursorIdLocked()});
  return true;
}

int ShowMessageBox(WindowHandle owner, const WChar* text, const WChar* caption, uint32_t flags) {
  host::ShellCall call{host::ShellCall::MessageBox, CurrentThreadId(), owner, text, caption, flags, 0};
  std::function<int(const host::ShellCall&)> handler;
  {
    std::lock_guard<std::mutex> g(S().lock);
    call.cursorId = CursorIdLocked();
    S().calls.push_back(call);
    handler = S().boxHandler;
  }
  return handler ? handler(call) : kIdOk;
}

bool ShellLaunch(const WChar* file, const WChar* parameters, int showCommand) {
  std::lock_guard<std::mutex> g(S().lock);
  S().calls.push_back(host::ShellCall{host::ShellCall::Launch, CurrentThreadId(), nullptr, file,
                                      parameters ? parameters : u"", static_cast<uint32_t>(showCommand),
                                      CursorIdLocked()});
  return S().launchResult;
}

bool QueryPlatformType(WChar* buffer, uint32_t chars) {
  if (chars == 0) return false;
  std::lock_guard<std::mutex> g(S().lock);
  buffer[0] = 0;
  if (!S().platformType) return false;
  if (WCopy(buffer, chars, S().platformType->c_str())) return true;
  buffer[0] = 0;  // the device fails a query whose buffer is too small
  return false;
}

CursorHandle LoadCursorById(InstanceHandle instance, int id) {
  std::lock_guard<std::mutex> g(S().lock);
  S().cursors.push_back(LoadedCursor{instance, id});
  return &S().cursors.back();
}

CursorHandle SetCurrentCursor(CursorHandle cursor) {
  std::lock_guard<std::mutex> g(S().lock);
  CursorHandle previous = S().current;
  S().current = cursor;
  return previous;
}

int ShowCursorCount(bool show) {
  std::lock_guard<std::mutex> g(S().lock);
  return S().showCount += show ? 1 : -1;
}

namespace host {

void ShellReset() {
  std::lock_guard<std::mutex> g(S().lock);
  S().calls.clear();
  S().boxHandler = nullptr;
  S().launchResult = true;
  S().platformType.reset();
  S().current = nullptr;
  S().showCount = 0;
}

std::vector<ShellCall> ShellCalls() {
  std::lock_guard<std::mutex> g(S().lock);
  return S().calls;
}

void SetMessageBoxHandler(std::function<int(const ShellCall&)> handler) {
  std::lock_guard<std::mutex> g(S().lock);
  S().boxHandler = std::move(handler);
}

void SetLaunchResult(bool started) {
  std::lock_guard<std::mutex> g(S().lock);
  S().launchResult = started;
}

void SetPlatformType(std::optional<WString> type) {
  std::lock_guard<std::mutex> g(S().lock);
  S().platformType = std::move(type);
}

int CurrentCursorId() {
  std::lock_guard<std::mutex> g(S().lock);
  return CursorIdLocked();
}

InstanceHandle CurrentCursorInstance() {
  std::lock_guard<std::mutex> g(S().lock);
  return S().current ? static_cast<LoadedCursor*>(S().current)->instance : nullptr;
}

int CursorShowCount() {
  std::lock_guard<std::mutex> g(S().lock);
  return S().showCount;
}

}  // namespace host
}  // namespace platform
