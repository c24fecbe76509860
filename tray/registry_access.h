// Typed access to single registry values, and the program's own key. Every call opens and closes
// its key. Results: 1 on success, 0 on failure.
//
// The program's key holds two kinds of values. The user's settings (what the settings window
// writes) live where the platform keeps a user's settings: on the device the one key under
// HKEY_LOCAL_MACHINE, on desktop Windows the user's own key under HKEY_CURRENT_USER, read over the
// installer's defaults in the machine key. What names a program to start or is the maker's own
// ("InstallPath", the About texts, "Version", "Description", "EnableDebug") is read from the
// machine key only, which only administrators may write, whatever a user's key holds.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "platform/text.h"
#include "tray/program_names.h"

// Longest key path accepted; a longer one is refused rather than cut, which could reach another key.
inline constexpr int kMaxKeyPathChars = 255;

// 1 when the value exists, has the expected type and fits the buffer. When only the type differs
// the buffer still receives the value's bytes; in every other failure it is left untouched.
int RegReadValue(platform::RegRoot root, const WChar* keyPath, const WChar* valueName, uint32_t expectedType,
                 void* buffer, uint32_t bufferSize);
// Creates the key when missing and writes the value, asking only for the right to set values; 1
// when it was written.
int RegWriteValue(platform::RegRoot root, const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data,
                  uint32_t size);
// The same two under HKEY_LOCAL_MACHINE.
int RegReadValue(const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
                 uint32_t bufferSize);
int RegWriteValue(const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data, uint32_t size);

// A setting of the user: from the user's settings key; a value missing there is read from the
// machine key (the installer's default, or what an older version stored for everyone).
int ReadSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize);
// Writes a setting of the user into the user's settings key.
int WriteSetting(const WChar* valueName, uint32_t type, const void* data, uint32_t size);
// A value of the machine key only: the install folder, the maker's texts, the debug switch.
int ReadMachineSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize);
