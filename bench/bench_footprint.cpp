// Ollendock's memory and its debug log's storage under Wine, each against its floor measured in
// the same run: the commit charge (private memory) of the program waiting hidden in the tray, shown
// on a page, and hidden again, against the bare one-window program's; then, with the log on and
// its file 1 KB short of 1 MB, a start and a run of status messages, after which the log and its older file
// must each be within 1 MB.
// usage: bench_footprint OLLENDOCK_EXE BARE_EXE QMXSIM_EXE WORK_DIR [ROUNDS]   (run_bench.sh)
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/testing/win32_test_support.h"
#include "platform/win32/wide.h"
#include "tray/program_names.h"

namespace {

constexpr UINT kTrayMessage = WM_USER + 2001;
constexpr WPARAM kTrayIconId = 5000;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

WString Line(const std::wstring& s) {
  return WString(reinterpret_cast<const char16_t*>(s.c_str()));
}

// The commit charge of a process in KB, as the program's own figures give it (Wine reports the
// private bytes as PagefileUsage).
double CommitKb(DWORD pid) {
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!p) return -1;
  PROCESS_MEMORY_COUNTERS m = {};
  m.cb = sizeof m;
  double kb = GetProcessMemoryInfo(p, &m, sizeof m) ? static_cast<double>(m.PagefileUsage) / 1024.0 : -1;
  CloseHandle(p);
  return kb;
}

HWND WaitWindow(const wchar_t* cls, const wchar_t* title, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (HWND w = FindWindowW(cls, title)) return w;
    Sleep(10);
  }
  return nullptr;
}

void SetSwitch(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, W(kProgramSubkey), name, REG_DWORD, &value, sizeof value);
}

std::wstring LogFile(const wchar_t* name) {
  wchar_t base[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
  return std::wstring(base) + L"\\Quillmote\\" + name;
}

long long FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return -1;
  return (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

void Row(const char* what, double figure, const char* unit, double floor, double goal, bool within) {
  std::printf("%-44s %10.0f %-3s floor %10.0f  ratio %5.2f  goal %10.0f  %s\n", what, figure, unit, floor,
              floor > 0 ? figure / floor : 0.0, goal, within ? "within" : "OVER");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  std::wstring ollendock = argv[1], bareExe = argv[2], qmxsim = argv[3], work = argv[4];
  int rounds = argc > 5 ? _wtoi(argv[5]) : 5;
  SetSwitch(L"EnableDebug", 0);
  SetSwitch(L"Enable_Tray", 1);
  SetSwitch(L"Enable_KB", 1);
  platform::win32test::Background server, tray, bare;
  server.Start(Line(L"\"" + qmxsim + L"\" serve --log \"" + work + L"\\footprint.records\""));
  Sleep(1500);
  std::vector<double> hidden, shown, hiddenAgain, floor;
  for (int r = 0; r < rounds; ++r) {
    bare.Start(Line(L"\"" + bareExe + L"\""));
    HWND b = WaitWindow(L"QMBenchBareWindow", nullptr, 30000);
    Sleep(1000);
    floor.push_back(CommitKb(bare.Pid()));
    if (b) PostMessageW(b, WM_CLOSE, 0, 0);
    bare.Stop(10000);

    tray.Start(Line(L"\"" + ollendock + L"\" -tray"));
    HWND w = WaitWindow(W(kMainWindowClass), W(kMainWindowTitle), 30000);
    if (!w) {
      std::printf("round %d: Ollendock made no window within 30 s\n", r + 1);
      return 1;
    }
    // Start-up has finished its pause and its driver calls by then.
    Sleep(2000);
    hidden.push_back(CommitKb(tray.Pid()));
    PostMessageW(w, kTrayMessage, kTrayIconId, WM_LBUTTONUP);
    Sleep(1500);
    shown.push_back(CommitKb(tray.Pid()));
    PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(1500);
    hiddenAgain.push_back(CommitKb(tray.Pid()));
    PostMessageW(w, WM_CLOSE, 0, 0);
    tray.Stop(10000);
    Sleep(300);
    std::printf("round %d: floor %.0f KB, hidden %.0f KB, shown %.0f KB, hidden again %.0f KB\n", r + 1, floor.back(),
                hidden.back(), shown.back(), hiddenAgain.back());
  }

  // The log's bound: the file 1 KB short of 1 MB, then a start-up and status messages (a line each).
  std::wstring log = LogFile(L"qm.tray.dbg"), older = LogFile(L"qm.tray.old.dbg");
  DeleteFileW(older.c_str());
  CreateDirectoryW(LogFile(L"").c_str(), nullptr);
  {
    std::string filler(1048576 - 1024, 'x');
    for (size_t i = 99; i < filler.size(); i += 100) filler[i] = '\n';
    HANDLE f = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(f, filler.data(), static_cast<DWORD>(filler.size()), &n, nullptr);
    CloseHandle(f);
  }
  SetSwitch(L"EnableDebug", 1);
  tray.Start(Line(L"\"" + ollendock + L"\" -tray"));
  HWND w = WaitWindow(W(kMainWindowClass), W(kMainWindowTitle), 30000);
  Sleep(2000);
  std::string quiet;
  for (int i = 0; i < 40; ++i)
    platform::win32test::RunProgram(Line(L"\"" + qmxsim + L"\" post kb " + (i % 2 ? L"1" : L"0")), &quiet);
  Sleep(1000);
  if (w) PostMessageW(w, WM_CLOSE, 0, 0);
  tray.Stop(10000);
  SetSwitch(L"EnableDebug", 0);
  platform::win32test::RunProgram(Line(L"\"" + qmxsim + L"\" stop"));
  server.Stop(10000);
  long long logBytes = FileBytes(log), olderBytes = FileBytes(older);

  double f = Median(floor);
  std::printf("%d rounds, medians:\n", rounds);
  Row("Commit, hidden in the tray (KB)", Median(hidden), "KB", f, f + 1536, Median(hidden) <= f + 1536);
  Row("Commit, window shown (KB)", Median(shown), "KB", f, f + 3072, Median(shown) <= f + 3072);
  Row("Commit, hidden again after showing (KB)", Median(hiddenAgain), "KB", f, f + 1536,
      Median(hiddenAgain) <= f + 1536);
  bool logWithin = logBytes >= 0 && logBytes <= 1048576 && olderBytes >= 0 && olderBytes <= 1048576;
  Row("Debug log after crossing 1 MB (bytes)", static_cast<double>(logBytes), "B", 1048576, 1048576, logWithin);
  Row("Its older file (bytes)", static_cast<double>(olderBytes), "B", 1048576, 1048576, logWithin);
  return 0;
}
