// File service. Paths are device paths: a leading backslash names the root of the device's file
// system, components are separated by backslashes and compared without regard to letter case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/text.h"

namespace platform {

// The longest path the file calls take, terminator included (MAX_PATH): a buffer of this size
// holds any path the platform can open or search.
inline constexpr int kPathChars = 260;

// Opens the file for appending (creating it when missing), writes the bytes in one write, closes
// it. False when the file cannot be opened; a short write is not reported.
bool FileAppend(const WChar* path, const void* data, size_t size);
// Creates or replaces the file with exactly these bytes. False when it cannot be created.
bool FileWriteAll(const WChar* path, const void* data, size_t size);
// Reads the whole file. False when it cannot be opened.
bool FileReadAll(const WChar* path, std::string& out);
// True when the path names a file or a folder that can be reached.
bool FileExists(const WChar* path);
// Creates one folder; true also when it already exists.
bool CreateFolder(const WChar* path);
// The file's size in bytes; false when it does not exist or cannot be reached.
bool FileSize(const WChar* path, uint64_t& size);
// Gives the file a new name, replacing a file of that name; false when it cannot be moved (a file
// another program holds open without sharing its deletion, a missing file).
bool MoveFileOver(const WChar* from, const WChar* to);
// Where the program keeps a file of the user's own, such as its trace: on the device the root of
// its file system ("\<name>"); on desktop Windows, where a user may not create files in the system
// drive's root, "<the user's local application data>\<folder>\<name>" (the caller makes the
// folder). Empty when there is no such place.
WString UserFilePath(const WChar* folder, const WChar* name);
// The install folder when the registry names none that can be used: on desktop Windows the
// folder of the running program's own file (never a drive's root, where any user may make
// folders); on the device none (empty), whose files are where the key says or in its root.
WString ProgramFolder();
// True when `path` names a folder by itself: on the device a path from its root ("\Apps\Q");
// on desktop Windows a drive's path ("C:\...") or a network path ("\\server\share").
bool IsWholePath(const WChar* path);

inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kErrorNoMoreFiles = 18;

// A folder's entries, one at a time (FindFirstFileW, FindNextFileW, FindClose), closed when the
// search ends. The pattern is a folder and "*" or "*.*". The device's file system does not report
// "." and ".."; on desktop Windows they are left out as well, so that a folder holding nothing
// else fails its first search with kErrorNoMoreFiles, as on the device.
class FileSearch {
 public:
  FileSearch() = default;
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;
  ~FileSearch() { Close(); }
  // The first entry; false when there is none or the folder cannot be searched (see Error).
  bool First(const WChar* pattern);
  // The next entry; false after the last.
  bool Next();
  void Close();
  const WChar* Name() const { return name_; }
  uint32_t Attributes() const { return attributes_; }
  // The platform's error of a failed First (kErrorNoMoreFiles for an empty folder).
  uint32_t Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  WChar name_[260] = {};
  uint32_t attributes_ = 0;
  uint32_t error_ = 0;
};

}  // namespace platform
