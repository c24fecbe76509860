// qmtrust: the installer's access checks, run by the installer and uninstaller from their own
// temporary folder (never installed).
//   qmtrust trusted <folder>          exit 0 when the folder is the administrators' alone (its
//                                     owner and its access list), 1 when not or it is missing
//   qmtrust protect key <object>      gives a registry key ("MACHINE\...") a protected access list
//                                     (SYSTEM and Administrators full control, Users read) and
//                                     Administrators as owner; exit 0 done, 1 failed
//   qmtrust protect folder <folder>   the same for a folder (Users read and execute), passed on to
//                                     what it holds
// Exit code 2: wrong usage.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <string>

#include "tools/qmtrust/access_rules.h"

namespace {

// The account this process runs as, or null; LocalFree it.
PSID ProcessUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  PSID copy = nullptr;
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    DWORD n = GetLengthSid(sid);
    copy = LocalAlloc(LMEM_FIXED, n);
    if (copy && !CopySid(n, copy, sid)) copy = (LocalFree(copy), nullptr);
  }
  CloseHandle(token);
  return copy;
}

int Trusted(const wchar_t* folder) {
  DWORD attributes = GetFileAttributesW(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    std::printf("not a folder of its own\n");
    return 1;
  }
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS) {
    std::printf("its security cannot be read\n");
    return 1;
  }
  PSID self = ProcessUser();
  bool trusted = qmtrust::FolderTrusted(sd, self);
  LocalFree(self);
  LocalFree(sd);
  std::printf(trusted ? "the administrators' alone\n" : "another account may own or change it\n");
  return trusted ? 0 : 1;
}

int Protect(bool key, const wchar_t* object) {
  const wchar_t* sddl = key ? L"O:BAD:PAI(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KR;;;BU)"
                            : L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &wanted, nullptr)) return 1;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  PSID owner = nullptr;
  bool ok = GetSecurityDescriptorDacl(wanted, &present, &dacl, &defaulted) &&
            GetSecurityDescriptorOwner(wanted, &owner, &defaulted) &&
            SetNamedSecurityInfoW(
                const_cast<LPWSTR>(object), key ? SE_REGISTRY_KEY : SE_FILE_OBJECT,
                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, owner,
                nullptr, dacl, nullptr) == ERROR_SUCCESS;
  LocalFree(wanted);
  std::printf("%s\n", ok ? "protected" : "could not be protected");
  return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"trusted" && argc == 3) return Trusted(argv[2]);
  if (command == L"protect" && argc == 4 && (std::wstring(argv[2]) == L"key" || std::wstring(argv[2]) == L"folder"))
    return Protect(std::wstring(argv[2]) == L"key", argv[3]);
  std::fprintf(stderr, "usage: qmtrust trusted <folder> | protect key|folder <object>\n");
  return 2;
}
