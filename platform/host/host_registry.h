// The host's stand-in for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: an in-memory tree of keys
// holding typed values, filled from and dumped to the text of a Windows `.reg` export. Tests use it
// to prepare the registry, to look at what the logic wrote, to make keys or writes fail and to see
// which key every operation reached and which rights it asked for. The user's settings live where
// desktop Windows keeps them (SettingsRoot() is the user's root) unless a test says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace platform::host {

// Empties the registry, clears every failure set below and the operations seen, and puts the
// user's settings under HKEY_CURRENT_USER again.
void RegistryReset();
// Loads `.reg` text (UTF-8, or UTF-16LE with its byte-order mark): "Windows Registry Editor
// Version 5.00", [HKEY_LOCAL_MACHINE\...] and [HKEY_CURRENT_USER\...] sections, [-...] deletions, values "name"="text",
// @=, dword:, hex:, hex(N):, "name"=- deletions, backslash line continuations, any line ending. Returns false (and
// names the line in `error`) on text it does not understand; sections before that line stay loaded.
bool RegistryLoad(const std::string& regText, std::string* error = nullptr);
// Dumps the key at `path` and everything below it in the same format, keys in enumeration order.
std::string RegistryDump(const WString& path = u"", RegRoot root = RegRoot::Machine);

// Failure injection. Paths compare without regard to case or a leading backslash.
void RegistryFailOpen(const WString& path, RegRoot root = RegRoot::Machine);    // opening (and creating) fails
void RegistryFailCreate(const WString& path, RegRoot root = RegRoot::Machine);  // creating a missing key fails
void RegistryFailWrites(bool fail);                                             // every value write fails
// Runs before every open or create of a key, with its (case-folded) path, on the opening thread;
// set it before the threads that open keys start, and clear it (empty) after they end.
void RegistrySetOpenHook(std::function<void(const WString&)> hook);
// Counts of calls, so that tests can see that an operation did not touch the registry.
uint64_t RegistryWriteCount();
int RegistryFlushCount();

// Where the user's settings live (the device's one key: RegRoot::Machine).
void SetSettingsRoot(RegRoot root);

// Every open, creation, read, write and flush, in order: the root and key it reached (the path
// below the root as the caller spelled it, without a leading backslash), the rights an open or a
// creation asked for, and the value a read or write named.
struct RegOperation {
  enum Kind { Open, Create, Query, Set, Flush } kind;
  RegRoot root;
  WString key;
  RegAccess access;
  WString value;
};
std::vector<RegOperation> RegistryOperations();
void RegistryClearOperations();

}  // namespace platform::host
