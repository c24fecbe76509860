// Ollendock's start-up under Wine: from the process start to the window existing and the filter
// record reaching qmxsim, less the fixed 400 ms pause, against a bare program that creates one
// window after loading the same system libraries (bare_window_main.cpp, "--libraries" with every
// library named in Ollendock's import table), started in turn in the same run.
// usage: bench_startup OLLENDOCK_EXE BARE_EXE QMXSIM_EXE WORK_DIR [ROUNDS]   (run_bench_startup.sh)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/testing/win32_test_support.h"
#include "platform/win32/wide.h"
#include "tray/program_names.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool HasFilterOn(const std::wstring& path) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char buf[8192];
  DWORD n = 0;
  ReadFile(f, buf, sizeof buf - 1, &n, nullptr);
  CloseHandle(f);
  buf[n] = 0;
  return std::string(buf).find("filter 01 01") != std::string::npos;
}

void Close(platform::win32test::Background& program, const wchar_t* windowClass) {
  if (HWND w = FindWindowW(windowClass, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
  program.Stop(10000);
}

// The DLL names of an image's import table, separated by spaces; empty when the file is not a PE
// image this can read.
std::wstring ImportedLibraries(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::wstring();
  DWORD size = GetFileSize(f, nullptr);
  std::string image(size == INVALID_FILE_SIZE ? 0 : size, '\0');
  DWORD n = 0;
  ReadFile(f, &image[0], static_cast<DWORD>(image.size()), &n, nullptr);
  CloseHandle(f);
  image.resize(n);
  auto at = [&](size_t offset, size_t size) { return offset + size <= image.size() ? &image[offset] : nullptr; };
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
  if (!dos) return std::wstring();
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)));
  if (!nt || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return std::wstring();
  auto sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
         nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
  if (!sections) return std::wstring();
  auto offsetOf = [&](DWORD rva) -> size_t {
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
      if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
        return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
    return image.size();
  };
  std::wstring names;
  DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t d = offsetOf(imports);; d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(d, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
    if (!entry || entry->Name == 0) break;
    size_t name = offsetOf(entry->Name);
    if (!at(name, 1)) break;
    for (const char* c = &image[name]; c < image.data() + image.size() && *c; ++c) names += wchar_t(*c);
    names += L' ';
  }
  return names;
}

WString Line(const std::wstring& s) {
  return WString(reinterpret_cast<const char16_t*>(s.c_str()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  std::wstring ollendock = argv[1], bareExe = argv[2], qmxsim = argv[3], work = argv[4];
  int rounds = argc > 5 ? _wtoi(argv[5]) : 11;
  std::wstring log = work + L"\\startup.records";
  std::wstring libraries = ImportedLibraries(ollendock);
  if (libraries.empty()) {
    std::printf("cannot read the import table of the program measured\n");
    return 1;
  }
  DeleteFileW(log.c_str());
  // The switches as the installer leaves them: the icon in the notification area, no debug log.
  const DWORD on = 1, off = 0;
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, W(kProgramSubkey), L"EnableDebug", REG_DWORD, &off, sizeof off);
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, W(kProgramSubkey), L"Enable_Tray", REG_DWORD, &on, sizeof on);
  // The keyboard on, so that the filter record it waits for says so.
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, W(kProgramSubkey), L"Enable_KB", REG_DWORD, &on, sizeof on);
  platform::win32test::Background server, tray, bare;
  server.Start(Line(L"\"" + qmxsim + L"\" serve --log \"" + log + L"\""));
  Sleep(1500);
  std::vector<double> trayTimes, windowTimes, bareTimes;
  for (int r = 0; r < rounds; ++r) {
    DeleteFileW(log.c_str());
    // The record is waited for on the folder's change notification rather than by reading the
    // file every millisecond, which would compete with the program measured for the system.
    HANDLE change = FindFirstChangeNotificationW(
        work.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    auto t0 = Clock::now();
    tray.Start(Line(L"\"" + ollendock + L"\" -tray"));
    // Bounded waits: a start that never gets there ends the run with a message, not a hang.
    auto limit = t0 + std::chrono::seconds(30);
    while (!FindWindowW(W(kMainWindowClass), W(kMainWindowTitle)) && Clock::now() < limit) Sleep(1);
    auto tw = Clock::now();
    while (!HasFilterOn(log) && Clock::now() < limit) {
      if (change == INVALID_HANDLE_VALUE) {
        Sleep(1);
        continue;
      }
      WaitForSingleObject(change, 50);
      FindNextChangeNotification(change);
    }
    if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
    auto t1 = Clock::now();
    if (t1 >= limit) {
      std::printf("round %d: no window or no filter record within 30 s (is the driver stand-in running?)\n", r + 1);
      Close(tray, W(kMainWindowClass));
      platform::win32test::RunProgram(Line(L"\"" + qmxsim + L"\" stop"));
      server.Stop(10000);
      return 1;
    }
    Close(tray, W(kMainWindowClass));
    Sleep(300);
    auto t2 = Clock::now();
    bare.Start(Line(L"\"" + bareExe + L"\" --libraries " + libraries));
    for (auto bareLimit = t2 + std::chrono::seconds(30); !FindWindowW(L"QMBenchBareWindow", nullptr);) {
      if (Clock::now() >= bareLimit) {
        std::printf("round %d: the bare program made no window within 30 s\n", r + 1);
        return 1;
      }
      Sleep(1);
    }
    auto t3 = Clock::now();
    Close(bare, L"QMBenchBareWindow");
    Sleep(300);
    windowTimes.push_back(std::chrono::duration<double, std::milli>(tw - t0).count());
    trayTimes.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count() - 400.0);
    bareTimes.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
  }
  platform::win32test::RunProgram(Line(L"\"" + qmxsim + L"\" stop"));
  server.Stop(10000);
  double p = Median(trayTimes), f = Median(bareTimes);
  std::printf("the floor loads: %ls\n", libraries.c_str());
  for (int r = 0; r < rounds; ++r)
    std::printf("round %d: Ollendock %.1f ms (window %.1f), bare %.1f ms\n", r + 1, trayTimes[r], windowTimes[r],
                bareTimes[r]);
  std::printf(
      "%d rounds: Ollendock start-up median %.1f ms (less the 400 ms pause; its window after %.1f ms), floor (one "
      "window, the same system libraries) median %.1f ms; ratio %.2f, goal 1.30: %s\n",
      rounds, p, Median(windowTimes), f, p / f, p <= 1.3 * f ? "within" : "OVER");
  return 0;
}
