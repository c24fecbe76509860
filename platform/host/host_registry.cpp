// In-memory registry of the host build. Keys are enumerated the way Wine lists them: sorted by
// their lower-cased names. Values keep the order in which they were first written.
#include "platform/host/host_registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/host/host_registry_tree.h"
#include "platform/registry.h"
#include "platform/testing.h"

namespace platform {
namespace {

using namespace host::regtree;

struct Registry {
  std::mutex lock;
  Key root;                                // its children are the two roots, by their names
  std::set<WString> failOpen, failCreate;  // folded paths, root first
  bool failWrites = false;
  uint64_t writes = 0;
  int flushes = 0;
  RegRoot settingsRoot = RegRoot::User;
  std::vector<host::RegOperation> operations;
};

Registry& Reg() {
  static Registry reg;
  return reg;
}

// An open key remembers its path, its root's name first; every operation looks the key up again,
// so a key deleted while open simply reports NotFound.
struct Handle {
  std::vector<WString> parts;
};

RegRoot RootOf(const std::vector<WString>& parts) {
  return !parts.empty() && Fold(parts[0]) == Fold(kUserRoot) ? RegRoot::User : RegRoot::Machine;
}

// The path below the root as the caller spelled it.
WString Below(const std::vector<WString>& parts) {
  WString out;
  for (size_t i = 1; i < parts.size(); ++i) out += (i > 1 ? u"\\" : u"") + parts[i];
  return out;
}

void Note(Registry& r, host::RegOperation::Kind kind, const std::vector<WString>& parts, RegAccess access,
          const WString& value = u"") {
  r.operations.push_back(host::RegOperation{kind, RootOf(parts), Below(parts), access, value});
}

Key* Resolve(Registry& r, const RegKey& key) {
  if (!key.IsOpen()) return nullptr;
  return Find(r.root, static_cast<Handle*>(key.handle())->parts);
}

// Called, outside the registry's lock, before every open; tests use it to hold a thread there.
std::function<void(const WString&)> openHook;

RegStatus OpenParts(std::vector<WString> parts, bool create, RegAccess access, RegKey& key) {
  if (openHook) openHook(JoinFold({parts.begin() + 1, parts.end()}));
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  Note(r, create ? host::RegOperation::Create : host::RegOperation::Open, parts, access);
  WString norm = JoinFold(parts);
  if (r.failOpen.count(norm)) return RegStatus::Denied;
  if (!Find(r.root, parts)) {
    if (!create) return RegStatus::NotFound;
    if (r.failCreate.count(norm)) return RegStatus::Denied;
    FindOrCreate(r.root, parts);
  }
  key.Reset(new Handle{std::move(parts)});
  return RegStatus::Ok;
}

}  // namespace

void RegKeyTraits::Release(void* handle) {
  delete static_cast<Handle*>(handle);
}

RegRoot SettingsRoot() {
  std::lock_guard<std::mutex> g(Reg().lock);
  return Reg().settingsRoot;
}

RegStatus RegOpen(RegRoot root, const WChar* path, RegAccess access, RegKey& key) {
  return OpenParts(Rooted(root, path), false, access, key);
}

RegStatus RegOpen(const WChar* path, RegAccess access, RegKey& key) {
  return RegOpen(RegRoot::Machine, path, access, key);
}

RegStatus RegOpen(const RegKey& parent, const WChar* sub, RegAccess access, RegKey& key) {
  if (!parent.IsOpen()) return RegStatus::Failed;
  auto parts = static_cast<Handle*>(parent.handle())->parts;
  for (auto& p : SplitPath(sub)) parts.push_back(p);
  return OpenParts(std::move(parts), false, access, key);
}

RegStatus RegCreate(RegRoot root, const WChar* path, RegAccess access, RegKey& key) {
  return OpenParts(Rooted(root, path), true, access, key);
}

RegStatus RegCreate(const WChar* path, RegAccess access, RegKey& key) {
  return RegCreate(RegRoot::Machine, path, access, key);
}

RegStatus RegQuery(const RegKey& key, const WChar* name, uint32_t* type, void* data, uint32_t* size) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  Key* k = Resolve(r, key);
  if (!k) return RegStatus::Failed;
  Note(r, host::RegOperation::Query, static_cast<Handle*>(key.handle())->parts, RegAccess::Read, name ? name : u"");
  Value* v = k->FindValue(name ? name : u"");
  if (!v) return RegStatus::NotFound;
  if (type) *type = v->type;
  uint32_t need = static_cast<uint32_t>(v->data.size());
  if (!size) return data ? RegStatus::Failed : RegStatus::Ok;
  uint32_t have = *size;
  *size = need;
  if (!data) return RegStatus::Ok;
  if (need > have) return RegStatus::MoreData;
  if (need) std::memcpy(data, v->data.data(), need);
  return RegStatus::Ok;
}

RegStatus RegSet(const RegKey& key, const WChar* name, uint32_t type, const void* data, uint32_t size) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  Key* k = Resolve(r, key);
  if (!k) return RegStatus::Failed;
  Note(r, host::RegOperation::Set, static_cast<Handle*>(key.handle())->parts, RegAccess::SetValue, name ? name : u"");
  ++r.writes;
  if (r.failWrites) return RegStatus::Denied;
  WString n = name ? name : u"";
  Value* v = k->FindValue(n);
  if (!v) {
    k->values.push_back(Value{n, type, {}});
    v = &k->values.back();
  }
  v->type = type;
  const auto* bytes = static_cast<const uint8_t*>(data);
  v->data.assign(bytes, bytes + (data ? size : 0));
  return RegStatus::Ok;
}

RegStatus RegEnumSubkey(const RegKey& key, uint32_t index, WChar* name, uint32_t* chars) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  Key* k = Resolve(r, key);
  if (!k) return RegStatus::Failed;
  if (index >= k->children.size()) return RegStatus::NotFound;
  auto it = k->children.begin();
  std::advance(it, index);
  const WString& n = it->second->name;
  if (n.size() + 1 > *chars) return RegStatus::MoreData;
  std::copy(n.begin(), n.end(), name);
  name[n.size()] = 0;
  *chars = static_cast<uint32_t>(n.size());
  return RegStatus::Ok;
}

RegStatus RegFlush(RegRoot root) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  ++r.flushes;
  Note(r, host::RegOperation::Flush, {RootName(root)}, RegAccess::Read);
  return RegStatus::Ok;
}

RegStatus RegDeleteKeyTree(RegRoot root, const WChar* path) {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  auto parts = Rooted(root, path);
  if (parts.size() == 1) {
    r.root.children.erase(Fold(parts[0]));
    return RegStatus::Ok;
  }
  WString last = Fold(parts.back());
  parts.pop_back();
  Key* parent = Find(r.root, parts);
  if (!parent || !parent->children.erase(last)) return RegStatus::NotFound;
  return RegStatus::Ok;
}

RegStatus RegDeleteKeyTree(const WChar* path) {
  return RegDeleteKeyTree(RegRoot::Machine, path);
}

namespace host {

namespace regtree {

std::mutex& TreeLock() {
  return Reg().lock;
}

Key& TreeRoot() {
  return Reg().root;
}

}  // namespace regtree

void RegistryReset() {
  Registry& r = Reg();
  std::lock_guard<std::mutex> g(r.lock);
  r.root.children.clear();
  r.root.values.clear();
  r.failOpen.clear();
  r.failCreate.clear();
  r.failWrites = false;
  r.writes = 0;
  r.flushes = 0;
  r.settingsRoot = RegRoot::User;
  r.operations.clear();
}

void RegistrySetOpenHook(std::function<void(const WString&)> hook) {
  openHook = std::move(hook);
}

void RegistryFailOpen(const WString& path, RegRoot root) {
  std::lock_guard<std::mutex> g(Reg().lock);
  Reg().failOpen.insert(JoinFold(Rooted(root, path)));
}

void RegistryFailCreate(const WString& path, RegRoot root) {
  std::lock_guard<std::mutex> g(Reg().lock);
  Reg().failCreate.insert(JoinFold(Rooted(root, path)));
}

void SetSettingsRoot(RegRoot root) {
  std::lock_guard<std::mutex> g(Reg().lock);
  Reg().settingsRoot = root;
}

std::vector<RegOperation> RegistryOperations() {
  std::lock_guard<std::mutex> g(Reg().lock);
  return Reg().operations;
}

void RegistryClearOperations() {
  std::lock_guard<std::mutex> g(Reg().lock);
  Reg().operations.clear();
}

void RegistryFailWrites(bool fail) {
  std::lock_guard<std::mutex> g(Reg().lock);
  Reg().failWrites = fail;
}

uint64_t RegistryWriteCount() {
  std::lock_guard<std::mutex> g(Reg().lock);
  return Reg().writes;
}

int RegistryFlushCount() {
  std::lock_guard<std::mutex> g(Reg().lock);
  return Reg().flushes;
}

}  // namespace host
}  // namespace platform
