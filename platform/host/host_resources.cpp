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
  std::map<uint32_t, WString> strings;
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
  Res().strings.clear();
}

void SetResourceString(uint32_t id, const WString& text) {
  std::lock_guard<std::mutex> hold(Res().lock);
  Res().strings[id] = text;
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

int LoadResourceString(InstanceHandle, uint32_t id, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  std::lock_guard<std::mutex> hold(Res().lock);
  auto it = Res().strings.find(id);
  if (it == Res().strings.end()) return 0;
  WCopy(buffer, static_cast<size_t>(chars), it->second.c_str());
  return static_cast<int>(WLen(buffer));
}

}  // namespace platform
