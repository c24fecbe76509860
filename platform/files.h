// File service. Paths are device paths: a leading backslash names the root of the device's file
// system, components are separated by backslashes and compared without regard to letter case.
#pragma once

#include <cstddef>
#include <string>

#include "platform/text.h"

namespace platform {

// Opens the file for appending (creating it when missing), writes the bytes in one write, closes
// it. False when the file cannot be opened; a short write is not reported.
bool FileAppend(const WChar* path, const void* data, size_t size);
// Creates or replaces the file with exactly these bytes. False when it cannot be created.
bool FileWriteAll(const WChar* path, const void* data, size_t size);
// Reads the whole file. False when it cannot be opened.
bool FileReadAll(const WChar* path, std::string& out);
bool FileExists(const WChar* path);
// Creates one folder; true also when it already exists.
bool CreateFolder(const WChar* path);
bool RemoveFile(const WChar* path);

}  // namespace platform
