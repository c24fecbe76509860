// The client side of a named pipe, as every program of ours opens one. A pipe's server may act
// as its client (impersonate it) at whatever level the client allows, and pipe names belong to
// the whole machine: whoever creates a name first serves it. So every open asks for the
// identification level at most, which lets a server learn who the client is but never act as
// it, and the driver's pipe is only talked to when its server runs as this user or as one of the
// system's service accounts.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The security quality of service of every pipe (and file) open: the server may identify the
// client, not impersonate it.
constexpr DWORD kClientSecurity = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// The pipe's open as CreateFileW receives it: both directions, no sharing, the existing pipe only.
struct PipeOpenRequest {
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD share = 0;
  DWORD disposition = OPEN_EXISTING;
  DWORD flags = kClientSecurity;
};

// Opens the pipe `path` in message mode, waiting while it is busy until `deadline`
// (GetTickCount64); `overlapped` adds FILE_FLAG_OVERLAPPED. INVALID_HANDLE_VALUE when there is
// no such pipe, it stays busy past the deadline (the last error is then ERROR_SEM_TIMEOUT), or it
// cannot be put into message mode.
inline HANDLE OpenPipeClient(const wchar_t* path, bool overlapped, ULONGLONG deadline) {
  PipeOpenRequest r;
  for (;;) {
    HANDLE h = CreateFileW(path, r.access, r.share, nullptr, r.disposition,
                           r.flags | (overlapped ? FILE_FLAG_OVERLAPPED : 0), nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD mode = PIPE_READMODE_MESSAGE;
      if (SetNamedPipeHandleState(h, &mode, nullptr, nullptr)) return h;
      CloseHandle(h);
      return INVALID_HANDLE_VALUE;
    }
    if (GetLastError() != ERROR_PIPE_BUSY) return INVALID_HANDLE_VALUE;
    ULONGLONG now = GetTickCount64();
    DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    // WaitNamedPipeW would take 0 as "the pipe's default wait".
    if (!wait) {
      SetLastError(ERROR_SEM_TIMEOUT);
      return INVALID_HANDLE_VALUE;
    }
    if (!WaitNamedPipeW(path, wait)) return INVALID_HANDLE_VALUE;
  }
}

// True when a pipe server running as `server` may be talked to by a client running as `self`:
// the same account, or the system's own accounts (LocalSystem, LocalService, NetworkService),
// under which a driver's helper service runs. Any other account is another user.
inline bool AcceptedPipeServer(PSID server, PSID self) {
  if (!server || !IsValidSid(server)) return false;
  if (self && IsValidSid(self) && EqualSid(server, self)) return true;
  return IsWellKnownSid(server, WinLocalSystemSid) || IsWellKnownSid(server, WinLocalServiceSid) ||
         IsWellKnownSid(server, WinNetworkServiceSid);
}

}  // namespace platform::win32
