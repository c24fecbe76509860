// The host's stand-in for HKEY_LOCAL_MACHINE: an in-memory tree of keys holding typed values,
// filled from and dumped to the text of a Windows `.reg` export. Tests use it to prepare the
// registry, to look at what the logic wrote and to make keys or writes fail.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace platform::host {

// Empties the registry and clears every failure set below.
void RegistryReset();
// Loads `.reg` text (UTF-8, or UTF-16LE with its byte-order mark): "Windows Registry Editor
// Version 5.00", [HKEY_LOCAL_MACHINE\...] sections, [-...] deletions, values "name"="text", @=,
// dword:, hex:, hex(N):, "name"=- deletions, backslash line continuations, any line ending.
// Returns false (and names the line in `error`) on text it does not understand; sections before
// that line stay loaded.
bool RegistryLoad(const std::string& regText, std::string* error = nullptr);
// Dumps the key at `path` and everything below it in the same format, keys in enumeration order.
std::string RegistryDump(const WString& path = u"");

// Failure injection. Paths compare without regard to case or a leading backslash.
void RegistryFailOpen(const WString& path);    // opening (and creating) this key fails
void RegistryFailCreate(const WString& path);  // creating this key when it is missing fails
void RegistryFailWrites(bool fail);            // every value write fails
// Runs before every open or create of a key, with its (case-folded) path, on the opening thread;
// set it before the threads that open keys start, and clear it (empty) after they end.
void RegistrySetOpenHook(std::function<void(const WString&)> hook);
// Counts of calls, so that tests can see that an operation did not touch the registry.
uint64_t RegistryWriteCount();
int RegistryFlushCount();

}  // namespace platform::host
