// qmxsim: a stand-in for the input driver "QMX0:" on desktop Windows, for development and tests.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/qmxsim/sim_requests.h"
#include "tools/qmxsim/sim_server.h"

namespace {

const char kHelp[] =
    "qmxsim - stand-in for the Quillmote input driver \"QMX0:\"\n"
    "\n"
    "usage:\n"
    "  qmxsim serve --log <file> [--refuse <value>] [--live] [--radio on|off] [--mute]\n"
    "      Serves the driver pipe \\\\.\\pipe\\QMX0 until stopped (qmxsim stop, or Ctrl+C).\n"
    "      Each open-ioctl-close of the program is one transaction: the request is the control\n"
    "      code followed by the input record, the answer the 32-bit result, all little-endian.\n"
    "      An inform request (24-byte record) is answered with 1, or with <value> when refusing;\n"
    "      a filter request (4-byte record) with 1. Anything else (shorter than 4 bytes, a wrong\n"
    "      size, an unknown code) is answered with 0, and the server goes on.\n"
    "      Every request is appended to <file> as one line:\n"
    "        inform XX XX ... (the 24 record bytes in hexadecimal)\n"
    "        filter XX XX XX XX\n"
    "        malformed XX ... (every byte received, control code first)\n"
    "      Give <file> as a Windows path (under Wine, Z:\\ is the Unix root).\n"
    "      Without --live and --radio it only answers: the driver's messages are posted by\n"
    "      qmxsim post alone, as tests script them. With them it also reports as a driver does,\n"
    "      to the thread named by the last inform record:\n"
    "        --live          after each filter record, TM_KBSTATUS and TM_MOUSESTATUS with 1\n"
    "                        where the record switched that input on (filter byte and that\n"
    "                        input's byte both 1) and 0 otherwise\n"
    "        --radio on|off  TM_BLUETOOTH with 1 or 0 after the first inform record that names\n"
    "                        a thread, and again after one that names another thread (a program\n"
    "                        started again hears it too)\n"
    "      Each post is printed as one line (\"posted TM_KBSTATUS 1 to thread N\").\n"
    "      With --mute it takes every request (and logs it) but never answers, as a driver that\n"
    "      hangs: a client waits until it gives up and leaves.\n"
    "      Only clients of this machine are served. Prints \"serving\" once both pipes are ready.\n"
    "      Exit code 1 when another server runs (the pipe's name is taken).\n"
    "  qmxsim post kb|mouse|bluetooth <wParam>\n"
    "      Has the running server post TM_KBSTATUS, TM_MOUSESTATUS or TM_BLUETOOTH with <wParam>\n"
    "      (lParam 0) to the thread named by the first word of the last inform record.\n"
    "      Fails when no inform record has named a thread yet.\n"
    "  qmxsim radio on|off\n"
    "      The radio switched on or off: the running server posts TM_BLUETOOTH 1 or 0 to the\n"
    "      thread named last, and tells threads named later as --radio does. Before any inform\n"
    "      record has named a thread, only the latter.\n"
    "  qmxsim refuse <value>|off\n"
    "      Answers inform requests with <value> from now on, or with 1 again (off).\n"
    "  qmxsim stop\n"
    "      Ends the running server.\n"
    "  qmxsim --help\n"
    "      Shows this text.\n"
    "\n"
    "Values are decimal (\"010\" is ten), 0x-hexadecimal or negative decimal, 32 bits, with no blank\n"
    "or plus sign. A control command longer than 4096 bytes is refused. The control commands travel\n"
    "over the pipe \\\\.\\pipe\\QMX0.control as one text request (\"post kb 1\", \"radio on\",\n"
    "\"refuse 2\", \"refuse off\", \"stop\") answered by one line starting with \"ok\" or \"error\".\n"
    "Exit codes: 0 done, 1 refused or failed (the reason on standard error), 2 wrong usage.\n";

HANDLE stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
  if (stopEvent) SetEvent(stopEvent);
  return TRUE;
}

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

int Usage(const char* why) {
  std::fprintf(stderr, "qmxsim: %s (see qmxsim --help)\n", why);
  return 2;
}

// Posts what a driver reports to the thread named last; each post is printed. Called under the
// state's lock, so that the posts reach the thread in the order the records came. False when one
// could not be posted.
bool PostAll(uint32_t thread, const std::vector<qmxsim::DriverPost>& posts) {
  bool all = true;
  for (const qmxsim::DriverPost& p : posts) {
    if (PostThreadMessageW(thread, p.message, p.wParam, 0)) {
      std::printf("posted %s %u to thread %u\n", qmxsim::MessageName(p.message), p.wParam, thread);
    } else {
      std::fprintf(stderr, "qmxsim: cannot post %s %u to thread %u (error %lu)\n", qmxsim::MessageName(p.message),
                   p.wParam, thread, GetLastError());
      all = false;
    }
  }
  std::fflush(stdout);
  return all;
}

DWORD WINAPI DriverThread(void* server) {
  static_cast<qmxsim::PipeServer*>(server)->Run();
  return 0;
}

int Serve(const std::vector<std::wstring>& args) {
  std::wstring logPath;
  qmxsim::SimState state;
  bool mute = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--log" && i + 1 < args.size()) {
      logPath = args[++i];
    } else if (args[i] == L"--refuse" && i + 1 < args.size()) {
      if (!qmxsim::ParseWord(Narrow(args[++i]), state.informAnswer)) return Usage("--refuse needs a 32-bit value");
    } else if (args[i] == L"--live") {
      state.live = true;
    } else if (args[i] == L"--mute") {
      mute = true;
    } else if (args[i] == L"--radio" && i + 1 < args.size()) {
      const std::wstring& mode = args[++i];
      if (mode != L"on" && mode != L"off") return Usage("--radio takes on or off");
      state.radio = mode == L"on" ? qmxsim::Radio::On : qmxsim::Radio::Off;
    } else {
      return Usage(("unexpected argument " + Narrow(args[i])).c_str());
    }
  }
  if (logPath.empty()) return Usage("serve needs --log <file>");

  // The two servers run on two threads; the state they share is guarded by this lock.
  CRITICAL_SECTION lock;
  InitializeCriticalSection(&lock);
  stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);

  qmxsim::PipeServer driver(qmxsim::kDriverPipe, stopEvent, [&](const std::vector<uint8_t>& request, bool oversized) {
    qmxsim::Outcome out;
    EnterCriticalSection(&lock);
    if (oversized) {
      out = {0, "malformed " + qmxsim::HexBytes(request.data(), request.size()) + " ...", {}};
    } else {
      out = qmxsim::HandleRequest(state, request);
      PostAll(state.lastThread, out.posts);
    }
    LeaveCriticalSection(&lock);
    if (!qmxsim::AppendLogLine(logPath, out.logLine)) std::fprintf(stderr, "qmxsim: cannot write the log\n");
    qmxsim::PipeServer::Reply reply;
    reply.silent = mute;
    for (int i = 0; i < 4; ++i) reply.answer.push_back(static_cast<uint8_t>(out.answer >> (8 * i)));
    return reply;
  });
  qmxsim::PipeServer control(qmxsim::kControlPipe, stopEvent, [&](const std::vector<uint8_t>& request, bool oversized) {
    qmxsim::ControlCommand c =
        oversized ? qmxsim::OversizedControl() : qmxsim::ParseControl(std::string(request.begin(), request.end()));
    std::string answer;
    qmxsim::PipeServer::Reply reply;
    EnterCriticalSection(&lock);
    switch (c.kind) {
      case qmxsim::ControlCommand::Invalid:
        answer = "error " + c.error;
        break;
      case qmxsim::ControlCommand::Stop:
        answer = "ok stopping";
        reply.stopAfter = true;
        break;
      case qmxsim::ControlCommand::Radio: {
        std::vector<qmxsim::DriverPost> posts = qmxsim::SwitchRadio(state, c.value == 1);
        std::string radio = c.value == 1 ? "radio on" : "radio off";
        std::string thread = std::to_string(state.lastThread);
        if (posts.empty()) {
          answer = "ok " + radio + ", told to the next thread named";
        } else if (!PostAll(state.lastThread, posts)) {
          answer = "error " + radio + ", but TM_BLUETOOTH cannot be posted to thread " + thread;
        } else {
          answer = "ok " + radio + ", TM_BLUETOOTH " + std::to_string(c.value) + " posted to thread " + thread;
        }
        break;
      }
      case qmxsim::ControlCommand::Refuse:
        state.informAnswer = c.value;
        answer = c.value == 1 ? "ok inform answered with 1" : "ok inform refused with " + std::to_string(c.value);
        break;
      case qmxsim::ControlCommand::Post:
        if (state.lastThread == 0) {
          answer = "error no inform record has named a thread yet";
        } else if (!PostThreadMessageW(state.lastThread, c.message, c.value, 0)) {
          answer = "error cannot post to thread " + std::to_string(state.lastThread) + " (error " +
                   std::to_string(GetLastError()) + ")";
        } else {
          answer = std::string("ok posted ") + qmxsim::MessageName(c.message) + " " + std::to_string(c.value) +
                   " to thread " + std::to_string(state.lastThread);
        }
        break;
    }
    LeaveCriticalSection(&lock);
    reply.answer.assign(answer.begin(), answer.end());
    return reply;
  });
  if (!driver.Create() || !control.Create()) {
    std::fprintf(stderr, "qmxsim: the pipes are already served by another process\n");
    return 1;
  }
  std::printf("serving %s, control %s\n", Narrow(qmxsim::kDriverPipe).c_str(), Narrow(qmxsim::kControlPipe).c_str());
  std::fflush(stdout);
  HANDLE thread = CreateThread(nullptr, 0, DriverThread, &driver, 0, nullptr);
  control.Run();
  SetEvent(stopEvent);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  DeleteCriticalSection(&lock);
  std::printf("stopped\n");
  return 0;
}

// The control commands given on the command line: sent to the running server as their words
// joined by one blank.
struct CommandLineControl {
  const wchar_t* word;
  size_t words;  // the command's own word included
  qmxsim::ControlCommand::Kind kind;
  const char* usage;
};
const CommandLineControl kCommandLineControls[] = {
    {L"post", 3, qmxsim::ControlCommand::Post, "post needs kb|mouse|bluetooth and a wParam"},
    {L"radio", 2, qmxsim::ControlCommand::Radio, "radio needs on or off"},
    {L"refuse", 2, qmxsim::ControlCommand::Refuse, "refuse needs a value or off"},
    {L"stop", 1, qmxsim::ControlCommand::Stop, "stop takes no arguments"},
};

int Control(const std::string& request) {
  std::string answer;
  bool reached = qmxsim::SendControl(request, answer);
  bool ok = reached && answer.compare(0, 2, "ok") == 0;
  std::fprintf(ok ? stdout : stderr, "%s\n", answer.c_str());
  return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("no command");
  const std::wstring& command = args[0];
  if (command == L"--help" || command == L"-h" || command == L"help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == L"serve") return Serve(std::vector<std::wstring>(args.begin() + 1, args.end()));
  for (const CommandLineControl& k : kCommandLineControls) {
    if (command != k.word) continue;
    if (args.size() != k.words) return Usage(k.usage);
    std::string request = Narrow(args[0]);
    for (size_t i = 1; i < args.size(); ++i) request += " " + Narrow(args[i]);
    // Read here as the server reads it, so that a typing error is a usage error and not a
    // server's refusal.
    qmxsim::ControlCommand c = qmxsim::ParseControl(request);
    if (c.kind != k.kind) return Usage(c.error.c_str());
    return Control(request);
  }
  return Usage(("unknown command " + Narrow(command)).c_str());
}
