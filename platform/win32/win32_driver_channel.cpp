// Driver channel on the real API. On Windows CE the stream device "QMX0:" is opened as it is
// named and each request is one synchronous DeviceIoControl. Desktop Windows has no stream
// devices: "QMX0:" reaches "\\.\QMX0" when a kernel driver offers it, otherwise the message pipe
// "\\.\pipe\QMX0" served by the driver stand-in, where one control request is one transaction:
// the request is the control code followed by the input record, the answer the driver's 32-bit
// result, both little-endian. A pipe's server is another program that may never answer, so one
// operation on the pipe (open, request, answer) is bounded in time: the window that waits for it
// must not stop answering.
#include <atomic>
#include <cstring>
#include <string>

#include "platform/driver_channel.h"
#ifndef _WIN32_WCE
#include "platform/win32/pipe_client.h"
#endif
#include "platform/win32/wide.h"

namespace platform {
namespace {

// One open of the driver: the device, or the pipe with the time by which the operation that
// opened it must be over.
struct Channel {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool pipe = false;
  ULONGLONG deadline = 0;
};

#ifndef _WIN32_WCE
// How long one operation on the driver's pipe may take in all, busy pipe included: a driver
// answers within milliseconds, and start-up's settling pause (0.4 s) with one operation after it
// keeps the window answering within a second.
constexpr ULONGLONG kPipeOperationMs = 500;
// After an operation that got no answer in time, the next ones get this long until the driver
// answers again: one action that sends two records (a tick sends the filter, then the settings'
// record) keeps the window answering within about a second even while the driver is silent.
constexpr ULONGLONG kAfterSilenceMs = 100;
// Whether the last operation on the pipe went unanswered. Only the main thread talks to the
// driver; atomic all the same, it is cheap.
std::atomic<bool> pipeSilent{false};

// The account a process runs as, copied into `sid` (a buffer of SECURITY_MAX_SID_SIZE bytes).
bool ProcessUser(HANDLE process, BYTE (&sid)[SECURITY_MAX_SID_SIZE]) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  bool ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
            CopySid(SECURITY_MAX_SID_SIZE, sid, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
  CloseHandle(token);
  return ok;
}

// True when the pipe's server runs as this program's user or as a system account. A server whose
// process cannot be asked counts as another user's.
bool ServerAccepted(HANDLE pipe) {
  ULONG pid = 0;
  if (!GetNamedPipeServerProcessId(pipe, &pid)) return false;
  HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!server) return false;
  BYTE serverUser[SECURITY_MAX_SID_SIZE], self[SECURITY_MAX_SID_SIZE];
  bool ok = ProcessUser(server, serverUser) && ProcessUser(GetCurrentProcess(), self) &&
            win32::AcceptedPipeServer(serverUser, self);
  CloseHandle(server);
  return ok;
}

DriverOpenResult OpenDesktopDevice(const WChar* name, Channel& channel) {
  WString base = name;
  if (!base.empty() && base.back() == u':') base.pop_back();
  channel.handle = CreateFileW(W(u"\\\\.\\" + base), 0, 0, nullptr, OPEN_EXISTING, win32::kClientSecurity, nullptr);
  if (channel.handle != INVALID_HANDLE_VALUE) return DriverOpenResult::Opened;
  channel.pipe = true;
  channel.deadline = GetTickCount64() + (pipeSilent ? kAfterSilenceMs : kPipeOperationMs);
  channel.handle = win32::OpenPipeClient(W(u"\\\\.\\pipe\\" + base), true, channel.deadline);
  if (channel.handle == INVALID_HANDLE_VALUE) {
    // A pipe that stayed busy exists but did not take the request in time.
    if (GetLastError() != ERROR_SEM_TIMEOUT) return DriverOpenResult::Missing;
    pipeSilent = true;
    return DriverOpenResult::NoAnswer;
  }
  if (ServerAccepted(channel.handle)) return DriverOpenResult::Opened;
  CloseHandle(channel.handle);
  channel.handle = INVALID_HANDLE_VALUE;
  return DriverOpenResult::Refused;
}

void PutWord(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Finishes one overlapped read or write by the channel's deadline; past it the operation is
// cancelled (and waited for: its OVERLAPPED lives on this caller's stack) and counts as failed.
bool Finish(const Channel& c, OVERLAPPED& ov, BOOL started, DWORD& bytes) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return false;
  ULONGLONG now = GetTickCount64();
  DWORD left = now < c.deadline ? static_cast<DWORD>(c.deadline - now) : 0;
  if (WaitForSingleObject(ov.hEvent, left) != WAIT_OBJECT_0) {
    CancelIoEx(c.handle, &ov);
    GetOverlappedResult(c.handle, &ov, &bytes, TRUE);
    return false;
  }
  return GetOverlappedResult(c.handle, &ov, &bytes, FALSE) != 0;
}

bool PipeTransaction(const Channel& c, uint32_t code, const void* input, uint32_t size, uint32_t& result) {
  // The control code and a record of the driver's (24 bytes at most).
  uint8_t request[4 + 32];
  if (size > sizeof request - 4) return false;
  PutWord(request, code);
  if (size) std::memcpy(request + 4, input, size);
  const DWORD length = 4 + size;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!event) return false;
  OVERLAPPED wov = {};
  wov.hEvent = event;
  DWORD written = 0;
  bool ok = Finish(c, wov, WriteFile(c.handle, request, length, nullptr, &wov), written) && written == length;
  uint8_t answer[4];
  DWORD read = 0;
  if (ok) {
    ResetEvent(event);
    OVERLAPPED rov = {};
    rov.hEvent = event;
    // An answer of any other size is not the stand-in's: nothing was delivered as far as we know.
    ok = Finish(c, rov, ReadFile(c.handle, answer, sizeof answer, nullptr, &rov), read) && read == sizeof answer;
  }
  CloseHandle(event);
  pipeSilent = !ok;
  if (!ok) return false;
  result = static_cast<uint32_t>(answer[0]) | static_cast<uint32_t>(answer[1]) << 8 |
           static_cast<uint32_t>(answer[2]) << 16 | static_cast<uint32_t>(answer[3]) << 24;
  return true;
}
#endif

}  // namespace

void DriverDeviceTraits::Release(void* handle) {
  Channel* c = static_cast<Channel*>(handle);
  CloseHandle(c->handle);
  delete c;
}

DriverOpenResult DriverOpen(const WChar* name, DriverDevice& device) {
  device.Close();
  Channel channel;
#ifdef _WIN32_WCE
  channel.handle = CreateFileW(W(name), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DriverOpenResult result = DriverOpenResult::Opened;
#else
  DriverOpenResult result = OpenDesktopDevice(name, channel);
#endif
  if (channel.handle == INVALID_HANDLE_VALUE || channel.handle == nullptr)
    return result == DriverOpenResult::Opened ? DriverOpenResult::Missing : result;
  device.Reset(new Channel(channel));
  return DriverOpenResult::Opened;
}

bool DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size, uint32_t& result) {
  result = 0;
  if (!device.IsOpen()) return false;
  const Channel& c = *static_cast<const Channel*>(device.handle());
#ifndef _WIN32_WCE
  if (c.pipe) return PipeTransaction(c, code, input, size, result);
#endif
  DWORD returned = 0;
  result = static_cast<uint32_t>(
      DeviceIoControl(c.handle, code, const_cast<void*>(input), size, nullptr, 0, &returned, nullptr));
  return true;
}

}  // namespace platform
