// Programs, processes, threads and their messages, as the Wine tier's programs start and watch them.
#include "platform/win32/testing/win32_test_support.h"

#include "platform/resources.h"
#include "platform/win32/pipe_client.h"
#include "platform/win32/wide.h"
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

namespace platform::win32test {

WString WindowsPath(const std::string& unixPath) {
  WString out = u"Z:";
  for (WChar c : FromUtf8(unixPath)) out += c == u'/' ? u'\\' : c;
  return out;
}

int RunProgram(const WString& commandLine, std::string* output, uint32_t timeoutMs) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (output) {
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
  }
  std::wstring cmd = W(commandLine.c_str());
  PROCESS_INFORMATION pi = {};
  BOOL started =
      CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr, nullptr, &si, &pi);
  if (writeEnd) CloseHandle(writeEnd);
  if (!started) {
    if (readEnd) CloseHandle(readEnd);
    return -1;
  }
  if (output) {
    output->clear();
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) output->append(buf, n);
    CloseHandle(readEnd);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    TerminateProcess(pi.hProcess, static_cast<UINT>(-1));
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

bool Background::Start(const WString& commandLine) {
  Stop(0);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  std::wstring cmd = W(commandLine.c_str());
  PROCESS_INFORMATION pi = {};
  // Wine refuses a start now and then: tried again twice before it counts as failed.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt) Sleep(200);
    started = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != 0;
  }
  if (!started) return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool Background::Ended(uint32_t timeoutMs, int* exitCode) {
  if (!process_ || WaitForSingleObject(static_cast<HANDLE>(process_), timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(static_cast<HANDLE>(process_), &code);
  if (exitCode) *exitCode = static_cast<int>(code);
  return true;
}

bool Background::Running() const {
  return process_ && WaitForSingleObject(static_cast<HANDLE>(process_), 0) == WAIT_TIMEOUT;
}

int Background::Stop(uint32_t timeoutMs) {
  if (!process_) return -1;
  HANDLE p = static_cast<HANDLE>(process_);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(p, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(p, &code);
  } else {
    TerminateProcess(p, static_cast<UINT>(-1));
    WaitForSingleObject(p, 5000);
  }
  CloseHandle(p);
  process_ = nullptr;
  return static_cast<int>(code);
}

ThreadHandle CurrentThreadHandle() {
  HANDLE h = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &h, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return h;
}

void CloseThreadHandle(ThreadHandle thread) {
  if (thread) CloseHandle(static_cast<HANDLE>(thread));
}

uint32_t CurrentThreadId() {
  return GetCurrentThreadId();
}

void EnsureMessageQueue() {
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
}

bool WaitThreadMessage(uint32_t first, uint32_t last, uint32_t timeoutMs, uint32_t* message, uint64_t* wParam) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
      *message = msg.message;
      *wParam = msg.wParam;
      return true;
    }
    DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_POSTMESSAGE);
  }
}

bool PipeExchange(const WString& pipe, const std::vector<uint8_t>& request, bool readAnswer,
                  std::vector<uint8_t>* answer) {
  HANDLE h = platform::win32::OpenPipeClient(W(pipe.c_str()), false, GetTickCount64() + 10000);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  DWORD n = 0;
  if (!request.empty()) ok = WriteFile(h, request.data(), static_cast<DWORD>(request.size()), &n, nullptr) != 0;
  if (ok && readAnswer) {
    std::vector<uint8_t> buf(4096);
    ok = ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &n, nullptr) != 0;
    buf.resize(ok ? n : 0);
    if (answer) *answer = buf;
  }
  CloseHandle(h);
  return ok;
}

}  // namespace platform::win32test

namespace platform::win32test {

void PumpMessages(uint32_t ms, void (*dispatch)(const Message&)) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (dispatch) {
        dispatch(Message{m.hwnd, m.message, m.wParam, m.lParam});
        continue;
      }
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (static_cast<int32_t>(end - GetTickCount()) > 0);
}

int ProcessesStartedSoFar() {
  static HANDLE job = [] {
    HANDLE j = CreateJobObjectW(nullptr, nullptr);
    if (j && !AssignProcessToJobObject(j, GetCurrentProcess())) {
      CloseHandle(j);
      j = nullptr;
    }
    return j;
  }();
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts = {};
  if (!job || !QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &counts, sizeof counts, nullptr))
    return -1;
  return static_cast<int>(counts.TotalProcesses) - 1;  // not this process itself
}

namespace {

constexpr size_t kStackPainted = 60 * 1024;
constexpr unsigned char kStackPattern = 0xA5;

// Paints the stack below its caller: its array lies where the next call's frames will lie.
__attribute__((noinline)) unsigned char PaintStackBelow() {
  volatile unsigned char pad[kStackPainted];
  for (size_t i = 0; i < kStackPainted; ++i) pad[i] = kStackPattern;
  return pad[0];
}

struct StackProbe {
  void (*work)();
  size_t used;
};

__attribute__((noinline)) DWORD WINAPI ProbeStack(LPVOID param) {
  auto* probe = static_cast<StackProbe*>(param);
  const volatile unsigned char* top = static_cast<const unsigned char*>(__builtin_frame_address(0));
  PaintStackBelow();
  probe->work();
  // From the bottom of the painted area up to the first byte the work changed.
  const volatile unsigned char* p = top - kStackPainted + 512;
  while (p < top && *p == kStackPattern) ++p;
  probe->used = static_cast<size_t>(top - p);
  return 0;
}

}  // namespace

size_t StackUsedBy(void (*work)()) {
  StackProbe probe{work, 0};
  HANDLE t = CreateThread(nullptr, 1024 * 1024, ProbeStack, &probe, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!t) return 0;
  bool ended = WaitForSingleObject(t, 10000) == WAIT_OBJECT_0;
  CloseHandle(t);
  return ended ? probe.used : 0;
}

InstanceHandle ProgramInstance() {
  return GetModuleHandleW(nullptr);
}

WString ProgramFile() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return U(path);
}

void InitControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
}

void SetEnvironment(const char* name, const char* value) {
  SetEnvironmentVariableA(name, value);
}

}  // namespace platform::win32test
