#include "platform/host/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/files.h"
#include "platform/testing.h"

namespace platform {
namespace host {
namespace {

std::mutex rootLock;
std::string root;
std::function<void(const WChar*)> searchHook;
std::function<void(const WChar*, const WChar*)> moveHook;

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void SetFileSearchHook(std::function<void(const WChar* pattern)> hook) {
  searchHook = std::move(hook);
}

void SetFileMoveHook(std::function<void(const WChar* from, const WChar* to)> hook) {
  moveHook = std::move(hook);
}

void SetDeviceRoot(const std::string& folder) {
  std::lock_guard<std::mutex> g(rootLock);
  root = folder;
  ::mkdir(root.c_str(), 0755);
}

const std::string& DeviceRoot() {
  std::lock_guard<std::mutex> g(rootLock);
  if (root.empty()) {
    const char* env = std::getenv("QM_DEVICE_ROOT");
    if (env && *env) {
      root = env;
    } else {
      const char* tmp = std::getenv("TMPDIR");
      root = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillmote-device";
    }
    ::mkdir(root.c_str(), 0755);
  }
  return root;
}

// The device path's components below the root, as written.
static std::vector<std::string> Components(const WChar* devicePath) {
  std::string utf8 = ToUtf8(devicePath, WLen(devicePath));
  std::vector<std::string> parts;
  std::string cur;
  for (char c : utf8) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

std::string ExactPath(const WChar* devicePath) {
  // One pass: separators become '/', empty components are dropped.
  std::string path = DeviceRoot();
  std::string utf8 = ToUtf8(devicePath, WLen(devicePath));
  path.reserve(path.size() + utf8.size() + 1);
  bool atStart = true;
  for (char c : utf8) {
    if (c == '\\' || c == '/') {
      atStart = true;
    } else {
      if (atStart) path += '/';
      atStart = false;
      path += c;
    }
  }
  return path;
}

std::string HostPath(const WChar* devicePath) {
  std::string path = DeviceRoot();
  // Most paths are spelled as they exist: then no folder needs to be listed.
  std::string exact = ExactPath(devicePath);
  struct stat st;
  if (::stat(exact.c_str(), &st) == 0) return exact;
  for (const auto& part : Components(devicePath)) {
    std::string match = part;
    if (part != "." && part != "..") {
      if (DIR* d = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(d)) {
          if (part == e->d_name) {
            match = part;
            break;
          }
          if (SameNoCase(part, e->d_name)) match = e->d_name;
        }
        ::closedir(d);
      }
    }
    path += "/" + match;
  }
  return path;
}

}  // namespace host

namespace {

bool WriteAllTo(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool FileAppend(const WChar* path, const void* data, size_t size) {
  // O_APPEND makes each write land whole at the end, even with several writers. A file that
  // exists as spelled is opened at once; otherwise the name is matched without regard to case.
  int fd = ::open(host::ExactPath(path).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) fd = ::open(host::HostPath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  WriteAllTo(fd, data, size);
  ::close(fd);
  return true;
}

bool FileWriteAll(const WChar* path, const void* data, size_t size) {
  int fd = ::open(host::HostPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAllTo(fd, data, size);
  ::close(fd);
  return ok;
}

bool FileReadAll(const WChar* path, std::string& out) {
  int fd = ::open(host::HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  out.clear();
  char buf[8192];
  ssize_t n;
  while ((n = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

bool FileExists(const WChar* path) {
  struct stat st;
  return ::stat(host::HostPath(path).c_str(), &st) == 0;
}

bool CreateFolder(const WChar* path) {
  std::string p = host::HostPath(path);
  if (::mkdir(p.c_str(), 0755) == 0) return true;
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const WChar* path) {
  return ::unlink(host::HostPath(path).c_str()) == 0;
}

bool FileSize(const WChar* path, uint64_t& size) {
  struct stat st;
  if (::stat(host::HostPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool MoveFileOver(const WChar* from, const WChar* to) {
  if (host::moveHook) host::moveHook(from, to);
  std::string source = host::HostPath(from);
  struct stat st;
  if (::stat(source.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::rename(source.c_str(), host::HostPath(to).c_str()) == 0;
}

// The host stands for the device: the file lies in the root of its file system.
WString UserFilePath(const WChar*, const WChar* name) {
  return WString(u"\\") + name;
}

namespace {
WString& ProgramFolderValue() {
  static WString folder;
  return folder;
}
}  // namespace

void host::SetProgramFolder(const WString& folder) {
  ProgramFolderValue() = folder;
}

WString ProgramFolder() {
  return ProgramFolderValue();
}

// The device's paths from its root, and (as tests write them) a drive's: anything but a relative
// path.
bool IsWholePath(const WChar* path) {
  if (!path) return false;
  bool drive = ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) && path[1] == u':' &&
               path[2] == u'\\';
  return path[0] == u'\\' || drive;
}

}  // namespace platform

namespace platform {
namespace {

struct HostSearch {
  std::vector<std::pair<std::string, bool>> entries;  // name, is a folder
  size_t next = 0;
};

}  // namespace

bool FileSearch::First(const WChar* pattern) {
  Close();
  if (host::searchHook) host::searchHook(pattern);
  size_t length = WLen(pattern);
  size_t slash = length;
  while (slash > 0 && pattern[slash - 1] != u'\\') --slash;
  const WChar* last = pattern + slash;
  if (WCompareNoCase(last, u"*") != 0 && WCompareNoCase(last, u"*.*") != 0) {
    error_ = 2;  // ERROR_FILE_NOT_FOUND: only whole folders are listed
    return false;
  }
  WString folder(pattern, slash > 1 ? slash - 1 : 0);
  if (folder.empty()) folder.assign(1, u'\\');
  std::string path = host::HostPath(folder.c_str());
  DIR* d = ::opendir(path.c_str());
  if (!d) {
    error_ = 3;  // ERROR_PATH_NOT_FOUND
    return false;
  }
  auto* search = new HostSearch;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    bool isFolder = ::stat((path + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    search->entries.emplace_back(name, isFolder);
  }
  ::closedir(d);
  // In the order of the names, as the device's file system lists them.
  std::sort(search->entries.begin(), search->entries.end());
  handle_ = search;
  if (!Next()) {
    Close();
    error_ = kErrorNoMoreFiles;
    return false;
  }
  error_ = 0;
  return true;
}

bool FileSearch::Next() {
  auto* search = static_cast<HostSearch*>(handle_);
  if (!search || search->next >= search->entries.size()) return false;
  const auto& e = search->entries[search->next++];
  WCopy(name_, 260, FromUtf8(e.first).c_str());
  attributes_ = e.second ? kFileAttributeDirectory : 0x20;
  return true;
}

void FileSearch::Close() {
  delete static_cast<HostSearch*>(handle_);
  handle_ = nullptr;
}

}  // namespace platform
