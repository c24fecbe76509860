// The host registry's tree of keys and values, shared by the registry's calls (host_registry.cpp)
// and its `.reg` text reader and writer (host_reg_file.cpp). Internal to the host double.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace platform::host::regtree {

// The folded form of a name, used to find and to order keys and values.
inline WString Fold(const WString& s) {
  return WLower(s);
}

struct Value {
  WString name;
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;
};

struct Key {
  WString name;
  std::map<WString, std::unique_ptr<Key>> children;  // by folded name
  std::vector<Value> values;

  Value* FindValue(const WString& valueName) {
    WString up = Fold(valueName);
    for (auto& v : values)
      if (Fold(v.name) == up) return &v;
    return nullptr;
  }
};

inline const WString kMachineRoot = u"HKEY_LOCAL_MACHINE";
inline const WString kUserRoot = u"HKEY_CURRENT_USER";

inline const WString& RootName(RegRoot root) {
  return root == RegRoot::User ? kUserRoot : kMachineRoot;
}

inline std::vector<WString> SplitPath(const WString& path) {
  std::vector<WString> parts;
  WString cur;
  for (WChar c : path) {
    if (c == u'\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

inline WString JoinFold(const std::vector<WString>& parts) {
  WString out;
  for (const auto& p : parts) {
    if (!out.empty()) out += u'\\';
    out += Fold(p);
  }
  return out;
}

inline std::vector<WString> Rooted(RegRoot root, const WString& path) {
  std::vector<WString> parts{RootName(root)};
  for (auto& p : SplitPath(path)) parts.push_back(p);
  return parts;
}

inline Key* Find(Key& root, const std::vector<WString>& parts) {
  Key* k = &root;
  for (const auto& p : parts) {
    auto it = k->children.find(Fold(p));
    if (it == k->children.end()) return nullptr;
    k = it->second.get();
  }
  return k;
}

inline Key* FindOrCreate(Key& root, const std::vector<WString>& parts) {
  Key* k = &root;
  for (const auto& p : parts) {
    auto& slot = k->children[Fold(p)];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = p;
    }
    k = slot.get();
  }
  return k;
}

// The one tree, its roots' keys as its children, and the lock every operation on it holds.
std::mutex& TreeLock();
Key& TreeRoot();

}  // namespace platform::host::regtree
