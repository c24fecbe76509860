// qmdrive: drives Quillmote from outside, as a user would, for the run script and manual checks.
// Run it in the program's (virtual) desktop: a window of another desktop cannot be seen.
//   qmdrive show                          shows the running settings window, brings it forward
//   qmdrive close                         closes the window (the program then ends)
//   qmdrive start <program> [args]        starts the program, shows its window, waits for its end
//   qmdrive access <object> [<sddl>]      prints the access list of a registry key
//                                         ("MACHINE\...", "CURRENT_USER\...") or file in SDDL
//                                         form; with <sddl>, sets the object's own entries first
//                                         (keeping inherited ones), as an older installer did
//   qmdrive rights <object>               prints the rights a standard user (Everyone, Users,
//                                         Authenticated Users, Interactive, ...) has on a registry
//                                         key or file by its access list, inherited entries
//                                         included, as "0xMASK may write" or "0xMASK may not write"
//   qmdrive shots <folder> <program> [args]
//                                         starts the program, opens every page by its tab, saves
//                                         page-<name>.bmp in <folder>, closes it, waits for its end
// Exit codes: the program's with start and shots; else 0 done, 1 no Quillmote window (within
// 20 s) or no start, 2 wrong usage.
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/testing/win32_test_support.h"
#include "platform/win32/wide.h"
#include "tools/qmtrust/access_rules.h"
#include "tray/program_names.h"

namespace {

HWND FindQuillmote() {
  for (int i = 0; i < 200; ++i) {
    if (HWND w = FindWindowW(W(kMainWindowClass), W(kMainWindowTitle))) return w;
    Sleep(100);
  }
  return nullptr;
}

void Show(HWND w) {
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
}

int Shots(HWND w, const std::wstring& folder) {
  Show(w);
  Sleep(500);
  HWND tab = FindWindowExW(w, nullptr, L"SysTabControl32", nullptr);
  if (!tab) return 1;
  const wchar_t* names[] = {L"mouse", L"keyboard", L"status", L"help", L"about"};
  for (int i : {2, 3, 4, 1}) {  // the keyboard page last: it is selected at the start
    int32_t left, top, right, bottom;
    if (!platform::win32test::RemoteTabBounds(tab, i, left, top, right, bottom)) return 1;
    LPARAM at = MAKELPARAM((left + right) / 2, (top + bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tab, WM_LBUTTONUP, 0, at);
    Sleep(i == 3 ? 1500 : 800);
    std::wstring file = folder + L"\\page-" + names[i] + L".bmp";
    if (!platform::win32test::SaveScreen(reinterpret_cast<const char16_t*>(file.c_str()))) return 1;
    std::printf("saved %ls\n", file.c_str());
  }
  return 0;
}

// Starts the program with its arguments (each quoted); its process, or null.
HANDLE Start(int argc, wchar_t** argv, int first) {
  std::wstring line;
  for (int i = first; i < argc; ++i)
    line += (i > first ? L" " : L"") + (i == first ? L"\"" + std::wstring(argv[i]) + L"\"" : std::wstring(argv[i]));
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

int EndOf(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<int>(code);
}

// Gives the object the access entries of `sddl`; false when that fails.
bool SetAccess(const std::wstring& object, SE_OBJECT_TYPE type, const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &wanted, nullptr))
    return false;
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  bool ok = GetSecurityDescriptorDacl(wanted, &present, &list, &defaulted) && present &&
            SetNamedSecurityInfoW(const_cast<LPWSTR>(object.c_str()), type,
                                  DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  list, nullptr) == ERROR_SUCCESS;
  LocalFree(wanted);
  return ok;
}

// The object's access list (DACL) in SDDL form, printed; 1 when it cannot be read (or set).
int Access(const std::wstring& object, const wchar_t* sddl) {
  bool key = object.rfind(L"MACHINE\\", 0) == 0 || object.rfind(L"CURRENT_USER\\", 0) == 0;
  if (sddl && !SetAccess(object, key ? SE_REGISTRY_KEY : SE_FILE_OBJECT, sddl)) return 1;
  PSECURITY_DESCRIPTOR sd = nullptr;
  PACL dacl = nullptr;
  if (GetNamedSecurityInfoW(object.c_str(), key ? SE_REGISTRY_KEY : SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
    return 1;
  LPWSTR text = nullptr;
  bool ok = ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                                 nullptr) != 0;
  if (ok) std::printf("%ls\n", text);
  LocalFree(text);
  LocalFree(sd);
  return ok ? 0 : 1;
}

// A standard user's effective rights on the object, printed; 1 when its list cannot be read.
int Rights(const std::wstring& object) {
  bool key = object.rfind(L"MACHINE\\", 0) == 0 || object.rfind(L"CURRENT_USER\\", 0) == 0;
  PSECURITY_DESCRIPTOR sd = nullptr;
  PACL dacl = nullptr;
  if (GetNamedSecurityInfoW(object.c_str(), key ? SE_REGISTRY_KEY : SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
    return 1;
  std::vector<PSID> user = qmtrust::StandardUser();
  DWORD rights = qmtrust::EffectiveRights(dacl, user, key ? qmtrust::KeyMapping() : qmtrust::FileMapping());
  qmtrust::FreeSids(user);
  LocalFree(sd);
  DWORD write = key ? qmtrust::kKeyWriteRights : qmtrust::kFolderWriteRights;
  std::printf("0x%08lX %s\n", static_cast<unsigned long>(rights), (rights & write) ? "may write" : "may not write");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"access" && (argc == 3 || argc == 4)) return Access(argv[2], argc == 4 ? argv[3] : nullptr);
  if (command == L"rights" && argc == 3) return Rights(argv[2]);
  bool starts = (command == L"start" && argc > 2) || (command == L"shots" && argc > 3);
  if (command != L"show" && command != L"close" && !starts) {
    std::fprintf(stderr,
                 "usage: qmdrive show | close | access <object> [<sddl>] | rights <object> | start <program> [args] | "
                 "shots <folder> "
                 "<program> "
                 "[args]\n");
    return 2;
  }
  HANDLE process = nullptr;
  if (starts && !(process = Start(argc, argv, command == L"start" ? 2 : 3))) {
    std::fprintf(stderr, "qmdrive: the program cannot be started\n");
    return 1;
  }
  HWND w = FindQuillmote();
  if (!w) {
    std::fprintf(stderr, "qmdrive: no Quillmote window\n");
    return process ? EndOf(process) : 1;
  }
  if (command == L"show" || command == L"start") Show(w);
  if (command == L"close") PostMessageW(w, WM_CLOSE, 0, 0);
  if (command == L"shots") {
    Sleep(2000);  // start-up goes on after the window exists
    Shots(w, argv[2]);
    PostMessageW(w, WM_CLOSE, 0, 0);
  }
  return process ? EndOf(process) : 0;
}
