// The stand-in's pipe servers: the driver pipe "\\.\pipe\QMX0" and the control pipe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qmxsim {

inline constexpr wchar_t kDriverPipe[] = L"\\\\.\\pipe\\QMX0";
inline constexpr wchar_t kControlPipe[] = L"\\\\.\\pipe\\QMX0.control";

// One message pipe served one client at a time, of this machine only; its name must be free (a
// name another program took first is never shared with it). The single pipe instance lives as long as the
// server, so a client arriving while another is served finds it busy (and waits) rather than
// missing. A client may send several requests; each gets one answer.
class PipeServer {
 public:
  struct Reply {
    std::vector<uint8_t> answer;
    bool stopAfter = false;  // end the server once this client has gone
    bool silent = false;     // send no answer: the client waits until it gives up
  };
  // `oversized` is true when the message was larger than the server reads; the request then
  // holds its first bytes only.
  using Handler = std::function<Reply(const std::vector<uint8_t>& request, bool oversized)>;

  PipeServer(const wchar_t* name, HANDLE stop, Handler handler);
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;
  ~PipeServer();

  // Creates the pipe; false when another process serves it already.
  bool Create();
  // Serves until the stop event is signalled (or a reply asks for it).
  void Run();

 private:
  enum class Io { Done, MoreData, Failed, Stopped, TimedOut };
  Io Wait(OVERLAPPED& ov, BOOL started, DWORD timeoutMs, DWORD& bytes);
  void ServeClient();

  std::wstring name_;
  HANDLE stop_;
  Handler handler_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  bool stopRequested_ = false;
};

// Appends one line (and a newline) to the record log; the file is opened and closed each time so
// that readers see every line at once.
bool AppendLogLine(const std::wstring& path, const std::string& line);

// Sends one control request to a running server and returns its answer; false (with `answer`
// saying why) when no server could be reached.
bool SendControl(const std::string& request, std::string& answer);

}  // namespace qmxsim
