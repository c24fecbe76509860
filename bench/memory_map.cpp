// Where a running program's memory goes, for bench/run_memory_map.sh: "memory_map map NAME" lists
// the address space of the process NAME region by region with a label (the image or library a
// region belongs to, a thread's stack or its thread block, or private); "memory_map post show|hide|
// close" sends Ollendock's window what the tray icon, the close box and another program send it.
// The script counts the pages of each region that are in memory from the Unix side, which is what
// Wine reports as the process's private bytes.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "tray/program_names.h"

namespace {

struct Label {
  ULONG_PTR low, high;
  std::wstring name;
};

DWORD ProcessNamed(const wchar_t* name) {
  DWORD pid = 0;
  HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W e = {};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(all, &e); ok; ok = Process32NextW(all, &e))
    if (_wcsicmp(e.szExeFile, name) == 0) pid = e.th32ProcessID;
  CloseHandle(all);
  return pid;
}

// Each thread's stack (from its thread block's lowest address to its base) and its thread block.
std::vector<Label> ThreadLabels(HANDLE process, DWORD pid) {
  struct BasicInformation {
    LONG exitStatus;
    PVOID teb;
    CLIENT_ID id;
    ULONG_PTR affinity;
    LONG priority, basePriority;
  };
  std::vector<Label> labels;
  HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 e = {};
  e.dwSize = sizeof e;
  for (BOOL ok = Thread32First(all, &e); ok; ok = Thread32Next(all, &e)) {
    if (e.th32OwnerProcessID != pid) continue;
    HANDLE t = OpenThread(THREAD_QUERY_INFORMATION, FALSE, e.th32ThreadID);
    BasicInformation info = {};
    NT_TIB tib = {};
    ULONG_PTR deallocation = 0;  // the stack's lowest address, at 0x1478 in a 64-bit thread block
    if (t && NtQueryInformationThread(t, static_cast<THREADINFOCLASS>(0), &info, sizeof info, nullptr) == 0 &&
        ReadProcessMemory(process, info.teb, &tib, sizeof tib, nullptr)) {
      ReadProcessMemory(process, static_cast<char*>(info.teb) + 0x1478, &deallocation, sizeof deallocation, nullptr);
      std::wstring thread = std::to_wstring(labels.size() / 2);
      labels.push_back({deallocation ? deallocation : reinterpret_cast<ULONG_PTR>(tib.StackLimit),
                        reinterpret_cast<ULONG_PTR>(tib.StackBase), L"stack of thread " + thread});
      auto teb = reinterpret_cast<ULONG_PTR>(info.teb);
      labels.push_back({teb, teb + 0x2000, L"thread block of thread " + thread});
    }
    if (t) CloseHandle(t);
  }
  CloseHandle(all);
  return labels;
}

int Map(const wchar_t* name) {
  DWORD pid = ProcessNamed(name);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
  if (!process) {
    std::printf("no process %ls\n", name);
    return 1;
  }
  std::vector<Label> labels = ThreadLabels(process, pid);
  MEMORY_BASIC_INFORMATION m;
  for (char* a = nullptr; VirtualQueryEx(process, a, &m, sizeof m);
       a = static_cast<char*>(m.BaseAddress) + m.RegionSize) {
    if (m.State == MEM_FREE) continue;
    auto base = reinterpret_cast<ULONG_PTR>(m.BaseAddress);
    std::wstring label;
    for (const Label& l : labels)
      if (base < l.high && base + m.RegionSize > l.low) label = l.name;
    wchar_t file[MAX_PATH] = L"";
    if (label.empty() && m.Type != MEM_PRIVATE && GetMappedFileNameW(process, m.BaseAddress, file, MAX_PATH)) {
      const wchar_t* slash = wcsrchr(file, L'\\');
      label = slash ? slash + 1 : file;
    }
    if (label.empty()) label = m.Type == MEM_PRIVATE ? L"private" : L"mapped";
    std::printf("%llx %llx %ls\n", static_cast<unsigned long long>(base), static_cast<unsigned long long>(m.RegionSize),
                label.c_str());
  }
  CloseHandle(process);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && lstrcmpW(argv[1], L"map") == 0) return Map(argv[2]);
  HWND w = FindWindowW(W(kMainWindowClass), W(kMainWindowTitle));
  if (argc != 3 || lstrcmpW(argv[1], L"post") != 0 || !w) return 2;
  if (lstrcmpW(argv[2], L"show") == 0) PostMessageW(w, WM_USER + 2001, 5000, WM_LBUTTONUP);  // the tray icon's tap
  if (lstrcmpW(argv[2], L"hide") == 0) PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);          // the close box
  if (lstrcmpW(argv[2], L"close") == 0) PostMessageW(w, WM_CLOSE, 0, 0);
  return 0;
}
