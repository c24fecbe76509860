#include "platform/win32/testing/win32_test_support.h"

#include "platform/win32/wide.h"

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
  if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
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
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 5 && h == INVALID_HANDLE_VALUE; ++attempt) {
    h = CreateFileW(W(pipe.c_str()), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(W(pipe.c_str()), 2000)))
      return false;
  }
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD mode = PIPE_READMODE_MESSAGE;
  SetNamedPipeHandleState(h, &mode, nullptr, nullptr);
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
