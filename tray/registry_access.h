// Typed access to single registry values under HKEY_LOCAL_MACHINE, and the program's own key.
// Every call opens and closes its key. Results: 1 on success, 0 on failure.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "platform/text.h"

// The program key; the control-panel applet names it without the leading backslash.
inline constexpr WChar kProgramKey[] = u"\\Software\\Morvane\\Quillmote";
// Longest key path accepted; a longer one is refused rather than cut, which could reach another key.
inline constexpr int kMaxKeyPathChars = 255;

// 1 when the value exists, has the expected type and fits the buffer. When only the type differs
// the buffer still receives the value's bytes; in every other failure it is left untouched.
int RegReadValue(const WChar* keyPath, const WChar* valueName, uint32_t expectedType, void* buffer,
                 uint32_t bufferSize);
// Creates the key when missing and writes the value; 1 when it was written.
int RegWriteValue(const WChar* keyPath, const WChar* valueName, uint32_t type, const void* data, uint32_t size);

// The same two on the program key.
int ReadSetting(const WChar* valueName, uint32_t expectedType, void* buffer, uint32_t bufferSize);
int WriteSetting(const WChar* valueName, uint32_t type, const void* data, uint32_t size);
