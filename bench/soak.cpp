// A long run of the real Ollendock.exe under Wine: qmxsim posts each of the three status messages 50
// times a second while this program switches pages, toggles check boxes and shows and hides the window.
// After the first minute and at the end the program logs its own resource figures (GDI objects,
// windows, kernel handles, private bytes); the end must match the first minute, the log must
// hold no error line, and the program must end with its whole shutdown trace.
// usage: soak OLLENDOCK_EXE QMXSIM_EXE STACK_REG WORK_DIR [MINUTES]   (bench/run_soak.sh)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/testing/win32_test_support.h"
#include "platform/win32/wide.h"
#include "tray/program_names.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::win32test::PipeExchange;

// The program's trace, in the user's local application data.
std::wstring LogFile() {
  wchar_t base[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  return std::wstring(base) + L"\\Quillmote\\qm.tray.dbg";
}

std::vector<std::string> LogLines() {
  std::ifstream in(LogFile().c_str());
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) {
    size_t at = l.find('@'), colon = at == std::string::npos ? at : l.find(": ", at);
    out.push_back(colon == std::string::npos ? l : l.substr(colon + 2));
  }
  return out;
}

struct Figures {
  long gdi = -1, windows = -1, handles = -1, privateKb = -1;
};

// Asks the program for its figures and waits for the line.
Figures Measure(HWND w, UINT diagnostics) {
  size_t before = LogLines().size();
  PostMessageW(w, diagnostics, 0, 0);
  for (int i = 0; i < 200; ++i) {
    Sleep(50);
    auto lines = LogLines();
    for (size_t j = before; j < lines.size(); ++j) {
      Figures f;
      if (std::sscanf(lines[j].c_str(), "GUI: resources gdi=%ld windows=%ld handles=%ld private=%ld KB", &f.gdi,
                      &f.windows, &f.handles, &f.privateKb) == 4)
        return f;
    }
  }
  return Figures{};
}

void Post(const char* what) {
  std::string request = what;
  std::vector<uint8_t> answer;
  PipeExchange(u"\\\\.\\pipe\\QMX0.control", std::vector<uint8_t>(request.begin(), request.end()), true, &answer);
}

void ClickTab(HWND tab, int index) {
  int32_t l, t, r, b;
  if (!platform::win32test::RemoteTabBounds(tab, index, l, t, r, b)) return;
  LPARAM at = MAKELPARAM((l + r) / 2, (t + b) / 2);
  PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(tab, WM_LBUTTONUP, 0, at);
}

WString Line(const std::wstring& s) {
  return WString(reinterpret_cast<const char16_t*>(s.c_str()));
}

void SetDword(const wchar_t* name, DWORD v) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(kProgramSubkey), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  RegCloseKey(k);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  std::wstring ollendock = argv[1], qmxsim = argv[2], stack = argv[3], work = argv[4];
  double minutes = argc > 5 ? _wtof(argv[5]) : 10.0;
  platform::win32test::RunProgram(Line(L"regedit /s \"" + stack + L"\""));
  SetDword(L"EnableDebug", 1);
  SetDword(L"Enable_Tray", 1);
  DeleteFileW(LogFile().c_str());
  platform::win32test::Background server, program;
  server.Start(Line(L"\"" + qmxsim + L"\" serve --log \"" + work + L"\\soak.records\""));
  Sleep(1500);
  program.Start(Line(L"\"" + ollendock + L"\" -tray"));
  HWND w = nullptr;
  for (int i = 0; i < 200 && !(w = FindWindowW(W(kMainWindowClass), W(kMainWindowTitle))); ++i) Sleep(50);
  if (!w) return 1;
  Sleep(2000);
  HWND tab = FindWindowExW(w, nullptr, L"SysTabControl32", nullptr);
  UINT diagnostics = RegisterWindowMessageW(W(kDiagnosticsMessage));
  const char* posts[] = {"post kb 1", "post mouse 1", "post bluetooth 1",
                         "post kb 0", "post mouse 0", "post bluetooth 0"};
  auto start = Clock::now();
  auto end = start + std::chrono::milliseconds(static_cast<long long>(minutes * 60000));
  auto nextPost = start, nextAction = start;
  bool measured = false;
  Figures first, last;
  long posted = 0, actions = 0;
  // The state both measurements are taken in: the window shown on the keyboard page.
  auto settle = [&] {
    ShowWindow(w, SW_SHOW);
    ClickTab(tab, 2);
    Sleep(300);
    ClickTab(tab, 1);
    Sleep(1000);
  };
  while (Clock::now() < end) {
    auto now = Clock::now();
    if (!measured && now - start >= std::chrono::seconds(60)) {
      settle();
      first = Measure(w, diagnostics);
      measured = true;
      std::printf("after the first minute: gdi %ld, windows %ld, handles %ld, private %ld KB\n", first.gdi,
                  first.windows, first.handles, first.privateKb);
      std::fflush(stdout);
    }
    if (now >= nextPost) {
      // Each of the three messages 50 times a second, alternating on and off.
      int round = static_cast<int>(posted / 3 % 2);
      for (int m = 0; m < 3; ++m, ++posted) Post(posts[round * 3 + m]);
      nextPost += std::chrono::milliseconds(20);
    }
    if (now >= nextAction) {
      switch (actions % 8) {
        case 0:
        case 2:
        case 4:
          ClickTab(tab, 1 + actions / 8 % 4);
          break;
        case 1:
          if (HWND box = GetDlgItem(w, 774)) SendMessageW(box, BM_CLICK, 0, 0);  // keyboard sounds
          if (HWND box = GetDlgItem(w, 777)) SendMessageW(box, BM_CLICK, 0, 0);  // tray icon
          break;
        case 3:
          ShowWindow(w, SW_HIDE);
          break;
        case 5:
          ShowWindow(w, SW_SHOW);
          break;
        default:
          if (HWND box = GetDlgItem(w, 776)) SendMessageW(box, BM_CLICK, 0, 0);  // autostart
          break;
      }
      ++actions;
      nextAction += std::chrono::milliseconds(250);
    }
    Sleep(1);
  }
  settle();
  last = Measure(w, diagnostics);
  std::printf("at the end (%.1f min, %ld posts, %ld actions): gdi %ld, windows %ld, handles %ld, private %ld KB\n",
              minutes, posted, actions, last.gdi, last.windows, last.handles, last.privateKb);
  PostMessageW(w, WM_CLOSE, 0, 0);
  int code = 1;
  program.Ended(30000, &code);
  platform::win32test::RunProgram(Line(L"\"" + qmxsim + L"\" stop"));
  server.Stop(10000);

  int failures = 0;
  auto expect = [&](bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    failures += ok ? 0 : 1;
  };
  expect(measured && first.gdi >= 0 && last.gdi == first.gdi, "GDI objects back where they were");
  expect(last.windows == first.windows, "windows back where they were");
  expect(last.handles >= 0 && last.handles <= first.handles + 2, "kernel handles back where they were (within 2)");
  expect(last.privateKb >= 0 && last.privateKb <= first.privateKb + 1024,
         "private bytes within 1 MiB of the first minute");
  auto lines = LogLines();
  long errors = 0;
  for (const auto& l : lines)
    if (l.find("Err#") != std::string::npos || l.find("FAILED") != std::string::npos ||
        l.find("did not end") != std::string::npos || l.find("invalid handle") != std::string::npos)
      ++errors;
  std::printf("log: %zu lines, %ld error lines\n", lines.size(), errors);
  expect(errors == 0, "no error line in the log");
  const char* trace[] = {"TERM: Terminate app signal!",
                         "TERM-1:",
                         "TERM-2:",
                         "TERM-3:  Threads terminated.",
                         "TERM-4:",
                         "TERM-5: Sending WM_QUIT",
                         "Free res. App quit.",
                         "GUI::Release::Destroy:"};
  size_t at = 0;
  for (const auto& l : lines)
    if (at < 8 && l.rfind(trace[at], 0) == 0) ++at;
  expect(at == 8 && code == 0, "the program ended with its whole shutdown trace and exit code 0");
  std::printf("soak: %s\n", failures ? "FAILED" : "passed");
  return failures ? 1 : 0;
}
