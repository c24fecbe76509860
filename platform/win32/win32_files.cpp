// File service on the real API. A device path "\name" is taken below the root of the system
// drive on desktop Windows, whatever the current folder; the file system itself ignores letter
// case.
#include <mutex>
#include <string>

#include "platform/files.h"
#include "platform/testing.h"
#include "platform/win32/native_path.h"
#ifndef _WIN32_WCE
#include "platform/win32/pipe_client.h"
#endif
#include "platform/win32/wide.h"
#ifndef _WIN32_WCE
// After windows.h, which it needs.
#include <shlobj.h>
#endif

namespace platform {

WString NativePath(const WChar* path) {
  WString p = path;
#ifndef _WIN32_WCE
  if (p.size() >= 1 && p[0] == u'\\' && (p.size() < 2 || p[1] != u'\\')) {
    wchar_t drive[MAX_PATH] = L"C:";
    DWORD n = GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) lstrcpyW(drive, L"C:");
    p = U(drive) + p;
  }
#endif
  return p;
}

namespace {

// Others may go on reading, writing (the log) and, where the platform knows it, deleting.
#ifdef _WIN32_WCE
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE;
#else
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
#endif

class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() {
    if (ok()) CloseHandle(h_);
  }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE h, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

}  // namespace

// A path may name a pipe as well as a file: no server gets to act as this program.
#ifdef _WIN32_WCE
constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL;
#else
constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | platform::win32::kClientSecurity;
#endif

bool FileAppend(const WChar* path, const void* data, size_t size) {
#ifdef _WIN32_WCE
  // The device opens files for reading and writing only: the end is sought, and one lock keeps
  // the program's threads from writing at the same end.
  static std::mutex appending;
  std::lock_guard<std::mutex> hold(appending);
  File f(CreateFileW(W(NativePath(path)), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.ok()) return false;
  if (SetFilePointer(f.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
    return false;
#else
  // FILE_APPEND_DATA alone makes every write land whole at the current end of the file.
  File f(CreateFileW(W(NativePath(path)), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_ALWAYS, kOpenFlags, nullptr));
  if (!f.ok()) return false;
#endif
  WriteAll(f.get(), data, size);
  return true;
}

bool FileWriteAll(const WChar* path, const void* data, size_t size) {
  File f(CreateFileW(W(NativePath(path)), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, kOpenFlags, nullptr));
  return f.ok() && WriteAll(f.get(), data, size);
}

bool FileReadAll(const WChar* path, std::string& out) {
  File f(CreateFileW(W(NativePath(path)), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, kOpenFlags, nullptr));
  if (!f.ok()) return false;
  out.clear();
  char buf[8192];
  DWORD n = 0;
  while (ReadFile(f.get(), buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  return true;
}

bool FileExists(const WChar* path) {
  return GetFileAttributesW(W(NativePath(path))) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolder(const WChar* path) {
  if (CreateDirectoryW(W(NativePath(path)), nullptr)) return true;
  DWORD attr = GetFileAttributesW(W(NativePath(path)));
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const WChar* path) {
  return DeleteFileW(W(NativePath(path))) != 0;
}

bool FileSize(const WChar* path, uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(W(NativePath(path)), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool MoveFileOver(const WChar* from, const WChar* to) {
#ifdef _WIN32_WCE
  // The device's MoveFile takes no flags and does not replace: the old file goes first.
  DeleteFileW(W(NativePath(to)));
  return MoveFileW(W(NativePath(from)), W(NativePath(to))) != 0;
#else
  return MoveFileExW(W(NativePath(from)), W(NativePath(to)), MOVEFILE_REPLACE_EXISTING) != 0;
#endif
}

}  // namespace platform

namespace platform {

namespace {
bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}
}  // namespace

bool FileSearch::First(const WChar* pattern) {
  Close();
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(W(NativePath(pattern)), &data);
  if (h == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return false;
  }
  handle_ = h;
  while (IsDotEntry(data.cFileName)) {
    if (!FindNextFileW(h, &data)) {
      error_ = ERROR_NO_MORE_FILES;
      Close();
      return false;
    }
  }
  WCopy(name_, 260, U(data.cFileName));
  attributes_ = data.dwFileAttributes;
  error_ = 0;
  return true;
}

bool FileSearch::Next() {
  if (!handle_) return false;
  WIN32_FIND_DATAW data;
  do {
    if (!FindNextFileW(static_cast<HANDLE>(handle_), &data)) return false;
  } while (IsDotEntry(data.cFileName));
  WCopy(name_, 260, U(data.cFileName));
  attributes_ = data.dwFileAttributes;
  return true;
}

void FileSearch::Close() {
  if (handle_) FindClose(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

WString UserFilePath(const WChar* folder, const WChar* name) {
#ifdef _WIN32_WCE
  (void)folder;
  return WString(u"\\") + name;
#else
  wchar_t base[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base) != S_OK) return WString();
  return U(base) + WString(u"\\") + folder + u"\\" + name;
#endif
}

WString ProgramFolder() {
#ifdef _WIN32_WCE
  return WString();
#else
  wchar_t file[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, file, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return WString();
  // The folder is what comes before the last backslash; a program in a drive's root ("C:\x.exe")
  // has no folder of its own there.
  while (n > 0 && file[n - 1] != L'\\') --n;
  if (n <= 3) return WString();
  return WString(U(file), n - 1);
#endif
}

bool IsWholePath(const WChar* path) {
  if (!path) return false;
#ifdef _WIN32_WCE
  return path[0] == u'\\';
#else
  bool drive = ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) && path[1] == u':' &&
               path[2] == u'\\';
  return drive || (path[0] == u'\\' && path[1] == u'\\');
#endif
}

}  // namespace platform
