#include "platform/host/host_libraries.h"

#include <deque>
#include <map>

namespace platform {
namespace {

struct Library {
  std::optional<host::FakeCplEntry> entry;
  int loads = 0;
};

struct Libraries {
  std::map<WString, Library> byName;  // lower-cased
  std::vector<WString> loads;
};

Libraries& L() {
  static Libraries l;
  return l;
}

Library* Of(LibraryHandle h) {
  for (auto& [name, lib] : L().byName)
    if (&lib == h) return &lib;
  return nullptr;
}

}  // namespace

namespace host {

void LibrariesReset() {
  L() = Libraries{};
}

void SetFakeLibrary(const WString& fileName, std::optional<FakeCplEntry> entry) {
  L().byName[WLower(fileName)].entry = std::move(entry);
}

int LoadedLibraryCount() {
  int n = 0;
  for (const auto& [name, lib] : L().byName) n += lib.loads;
  return n;
}

std::vector<WString> LibraryLoads() {
  return L().loads;
}

}  // namespace host

const WChar* ControlPanelFolder() {
  return u"\\windows";
}

LibraryHandle LoadControlPanelLibrary(const WChar* fileName) {
  L().loads.push_back(fileName);
  auto it = L().byName.find(WLower(fileName));
  if (it == L().byName.end()) return nullptr;
  ++it->second.loads;
  return &it->second;
}

void FreeLibraryHandle(LibraryHandle library) {
  if (Library* lib = Of(library)) --lib->loads;
}

CplEntry FindCplApplet(LibraryHandle library) {
  Library* lib = Of(library);
  return lib && lib->entry && *lib->entry ? &*lib->entry : nullptr;
}

int32_t CallCplApplet(CplEntry entry, WindowHandle window, uint32_t message, intptr_t param1, intptr_t param2) {
  return (*static_cast<host::FakeCplEntry*>(entry))(window, message, param1, param2);
}

}  // namespace platform
