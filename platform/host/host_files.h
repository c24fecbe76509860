// Host file system double: a folder of the Linux file system stands for the device's root "\".
#pragma once

#include <functional>
#include <string>

#include "platform/text.h"

namespace platform::host {

// Sets the folder that stands for "\" (created when missing). Until set, the folder named by the
// environment variable QM_DEVICE_ROOT is used, else "quillmote-device" in the temporary folder.
void SetDeviceRoot(const std::string& folder);
const std::string& DeviceRoot();
// The Linux path that a device path reaches: each existing component is matched without regard
// to letter case, missing ones are taken as written.
std::string HostPath(const WChar* devicePath);
// The Linux path of a device path taken exactly as spelled.
std::string ExactPath(const WChar* devicePath);
// Runs at the start of every folder search, with its pattern, on the searching thread (for tests
// that look at what is shown while a folder is listed); empty for none.
// What ProgramFolder answers: empty (a device) until set, as a desktop's folder of the program.
void SetProgramFolder(const WString& folder);
void SetFileSearchHook(std::function<void(const WChar* pattern)> hook);
// Runs before every MoveFileOver, with its two paths, on the moving thread (for tests that look at
// what happens while a file is moved); empty for none.
void SetFileMoveHook(std::function<void(const WChar* from, const WChar* to)> hook);

}  // namespace platform::host
