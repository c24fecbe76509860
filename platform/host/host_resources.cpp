#include "platform/host/host_resources.h"

#include <map>
#include <mutex>

namespace platform {
namespace {

// Numbered names as "#n", text names upper-cased, as the resource compiler stores them.
WString Key(const WChar* name) {
  if (IsResourceId(name)) return u"#" + FromUtf8(std::to_string(reinterpret_cast<uintptr_t>(name)));
  WString out(name);
  for (WChar& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<WChar>(c - u'a' + u'A');
  return out;
}

struct Resources {
  std::mutex lock;
  std::map<std::pair<WString, WString>, std::string> items;
};

Resources& Res() {
  static Resources resources;
  return resources;
}

}  // namespace

namespace host {

void ResourcesReset() {
  std::lock_guard<std::mutex> hold(Res().lock);
  Res().items.clear();
}

void SetModuleResource(const WChar* type, const WChar* name, const std::string& bytes) {
  std::lock_guard<std::mutex> hold(Res().lock);
  Res().items[{Key(type), Key(name)}] = bytes;
}

}  // namespace host

bool LoadModuleResource(const WChar* type, const WChar* name, std::string& bytes) {
  std::lock_guard<std::mutex> hold(Res().lock);
  auto it = Res().items.find({Key(type), Key(name)});
  if (it == Res().items.end()) return false;
  bytes = it->second;
  return true;
}

}  // namespace platform
