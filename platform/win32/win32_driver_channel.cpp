// Driver channel on the real API. On Windows CE the stream device "QMX0:" is opened as it is
// named. Desktop Windows has no stream devices: "QMX0:" reaches "\\.\QMX0" when a kernel driver
// offers it, otherwise the message pipe "\\.\pipe\QMX0" served by the driver stand-in, where one
// control request is one transaction: the request is the control code followed by the input
// record, the answer the driver's 32-bit result, both little-endian.
#include <cstring>
#include <string>
#include <vector>

#include "platform/driver_channel.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

#ifndef _WIN32_WCE
// How long an open waits for a busy pipe: the stand-in serves one client at a time.
constexpr DWORD kPipeBusyWaitMs = 2000;
constexpr int kPipeOpenAttempts = 5;

HANDLE OpenPipe(const std::wstring& path) {
  for (int attempt = 0; attempt < kPipeOpenAttempts; ++attempt) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD mode = PIPE_READMODE_MESSAGE;
      if (SetNamedPipeHandleState(h, &mode, nullptr, nullptr)) return h;
      CloseHandle(h);
      return INVALID_HANDLE_VALUE;
    }
    if (GetLastError() != ERROR_PIPE_BUSY) break;
    if (!WaitNamedPipeW(path.c_str(), kPipeBusyWaitMs)) break;
  }
  return INVALID_HANDLE_VALUE;
}

HANDLE OpenDesktopDevice(const WChar* name) {
  std::wstring base = W(name);
  if (!base.empty() && base.back() == L':') base.pop_back();
  HANDLE h = CreateFileW((L"\\\\.\\" + base).c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) return h;
  return OpenPipe(L"\\\\.\\pipe\\" + base);
}

void PutWord(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t PipeTransaction(HANDLE pipe, uint32_t code, const void* input, uint32_t size) {
  std::vector<uint8_t> request(4 + size);
  PutWord(request.data(), code);
  if (size) std::memcpy(request.data() + 4, input, size);
  DWORD written = 0;
  if (!WriteFile(pipe, request.data(), static_cast<DWORD>(request.size()), &written, nullptr) ||
      written != request.size()) {
    return 0;
  }
  uint8_t answer[4];
  DWORD read = 0;
  // An answer of any other size is not the stand-in's: nothing was delivered as far as we know.
  if (!ReadFile(pipe, answer, sizeof answer, &read, nullptr) || read != sizeof answer) return 0;
  return static_cast<uint32_t>(answer[0]) | static_cast<uint32_t>(answer[1]) << 8 |
         static_cast<uint32_t>(answer[2]) << 16 | static_cast<uint32_t>(answer[3]) << 24;
}
#endif

}  // namespace

void DriverDeviceTraits::Release(void* handle) {
  CloseHandle(static_cast<HANDLE>(handle));
}

bool DriverOpen(const WChar* name, DriverDevice& device) {
  device.Close();
#ifdef _WIN32_WCE
  HANDLE h = CreateFileW(W(name), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
  HANDLE h = OpenDesktopDevice(name);
#endif
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return false;
  device.Reset(h);
  return true;
}

uint32_t DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size) {
  if (!device.IsOpen()) return 0;
  HANDLE h = static_cast<HANDLE>(device.handle());
#ifndef _WIN32_WCE
  if (GetFileType(h) == FILE_TYPE_PIPE) return PipeTransaction(h, code, input, size);
#endif
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(h, code, const_cast<void*>(input), size, nullptr, 0, &returned, nullptr);
  return static_cast<uint32_t>(ok);
}

}  // namespace platform
