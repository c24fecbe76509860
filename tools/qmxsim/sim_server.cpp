#include "tools/qmxsim/sim_server.h"

#include "platform/win32/pipe_client.h"

namespace qmxsim {
namespace {

constexpr DWORD kBufferBytes = 4096;
// A client that sends nothing for this long is dropped, so that it cannot hold the pipe.
constexpr DWORD kIdleClientMs = 5000;
// How long a control command waits for a busy control pipe.
constexpr ULONGLONG kControlWaitMs = 10000;

}  // namespace

PipeServer::PipeServer(const wchar_t* name, HANDLE stop, Handler handler)
    : name_(name), stop_(stop), handler_(std::move(handler)) {}

PipeServer::~PipeServer() {
  if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  if (event_) CloseHandle(event_);
}

bool PipeServer::Create() {
  event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!event_) return false;
  pipe_ = CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                           PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                           kBufferBytes, kBufferBytes, 0, nullptr);
  return pipe_ != INVALID_HANDLE_VALUE;
}

PipeServer::Io PipeServer::Wait(OVERLAPPED& ov, BOOL started, DWORD timeoutMs, DWORD& bytes) {
  bytes = 0;
  if (!started) {
    DWORD err = GetLastError();
    if (err == ERROR_MORE_DATA) {
      GetOverlappedResult(pipe_, &ov, &bytes, FALSE);
      return Io::MoreData;
    }
    if (err != ERROR_IO_PENDING) return Io::Failed;
    HANDLE events[2] = {ov.hEvent, stop_};
    DWORD w = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (w != WAIT_OBJECT_0) {
      // The operation must be over before its OVERLAPPED goes away.
      CancelIo(pipe_);
      GetOverlappedResult(pipe_, &ov, &bytes, TRUE);
      return w == WAIT_OBJECT_0 + 1 ? Io::Stopped : Io::TimedOut;
    }
  }
  if (GetOverlappedResult(pipe_, &ov, &bytes, FALSE)) return Io::Done;
  return GetLastError() == ERROR_MORE_DATA ? Io::MoreData : Io::Failed;
}

void PipeServer::Run() {
  while (!stopRequested_ && WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
    OVERLAPPED ov = {};
    ov.hEvent = event_;
    ResetEvent(event_);
    BOOL connected = ConnectNamedPipe(pipe_, &ov);
    DWORD bytes = 0;
    Io io;
    if (connected) {
      io = Io::Done;
    } else if (GetLastError() == ERROR_PIPE_CONNECTED) {
      io = Io::Done;  // the client came between creation and this call
    } else if (GetLastError() == ERROR_NO_DATA) {
      io = Io::Failed;  // it came and went already
    } else {
      io = Wait(ov, FALSE, INFINITE, bytes);
    }
    if (io == Io::Stopped) break;
    if (io == Io::Done) ServeClient();
    DisconnectNamedPipe(pipe_);
  }
  if (stopRequested_) SetEvent(stop_);
}

void PipeServer::ServeClient() {
  for (;;) {
    std::vector<uint8_t> request(kBufferBytes);
    OVERLAPPED ov = {};
    ov.hEvent = event_;
    ResetEvent(event_);
    DWORD bytes = 0;
    Io io = Wait(ov, ReadFile(pipe_, request.data(), kBufferBytes, nullptr, &ov), kIdleClientMs, bytes);
    bool oversized = false;
    if (io == Io::MoreData) {
      // Keep the first bytes for the log and drain the rest of the message.
      oversized = true;
      request.resize(bytes);
      std::vector<uint8_t> rest(kBufferBytes);
      do {
        OVERLAPPED more = {};
        more.hEvent = event_;
        ResetEvent(event_);
        io = Wait(more, ReadFile(pipe_, rest.data(), kBufferBytes, nullptr, &more), kIdleClientMs, bytes);
      } while (io == Io::MoreData);
    } else {
      request.resize(bytes);
    }
    // A client that left (before or after its request was answered) ends the conversation.
    if (io != Io::Done) return;
    Reply reply = handler_(request, oversized);
    if (reply.stopAfter) stopRequested_ = true;
    if (reply.silent) continue;
    OVERLAPPED wov = {};
    wov.hEvent = event_;
    ResetEvent(event_);
    io = Wait(wov, WriteFile(pipe_, reply.answer.data(), static_cast<DWORD>(reply.answer.size()), nullptr, &wov),
              kIdleClientMs, bytes);
    if (io != Io::Done) return;
  }
}

bool AppendLogLine(const std::wstring& path, const std::string& line) {
  HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  std::string text = line + "\n";
  DWORD written = 0;
  BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == text.size();
}

bool SendControl(const std::string& request, std::string& answer) {
  HANDLE pipe = platform::win32::OpenPipeClient(kControlPipe, false, GetTickCount64() + kControlWaitMs);
  if (pipe == INVALID_HANDLE_VALUE) {
    answer = "error no qmxsim server is running";
    return false;
  }
  DWORD n = 0;
  char buf[1024];
  bool ok = WriteFile(pipe, request.data(), static_cast<DWORD>(request.size()), &n, nullptr) &&
            ReadFile(pipe, buf, sizeof buf, &n, nullptr);
  CloseHandle(pipe);
  if (!ok) {
    answer = "error the server did not answer";
    return false;
  }
  answer.assign(buf, n);
  return true;
}

}  // namespace qmxsim
