#include "platform/host/host_resources.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace platform {
namespace {

// A name made by ResourceId: a number below 0x10000 in the pointer's place.
bool IsResourceId(const WChar* name) {
  return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

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
  std::map<std::pair<uint16_t, uint32_t>, WString> strings;
  uint16_t language = 0x0409;
  InstanceHandle translation = nullptr;
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
  Res().language = 0x0409;
  Res().translation = nullptr;
}

void SetResourceString(uint32_t id, const WString& text, uint16_t language) {
  std::lock_guard<std::mutex> hold(Res().lock);
  Res().strings[{language, id}] = text;
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

int LoadResourceString(InstanceHandle, uint32_t id, uint16_t language, WChar* buffer, int chars) {
  if (chars <= 0) return 0;
  buffer[0] = 0;
  std::lock_guard<std::mutex> hold(Res().lock);
  auto it = Res().strings.find({language, id});
  if (it == Res().strings.end()) return 0;
  // Cut to the buffer, as LoadString cuts.
  size_t length = std::min(it->second.size(), static_cast<size_t>(chars) - 1);
  std::copy(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(length), buffer);
  buffer[length] = 0;
  return static_cast<int>(length);
}

// The strings of every module are one table here: a language's translation is there when the
// table has a text in that language, and its handle names the language.
InstanceHandle OpenTranslation(InstanceHandle, uint16_t language) {
  std::lock_guard<std::mutex> hold(Res().lock);
  auto it = Res().strings.lower_bound({language, 0});
  if (it == Res().strings.end() || it->first.first != language) return nullptr;
  return reinterpret_cast<InstanceHandle>(static_cast<uintptr_t>(0x10000 + language));
}

void SetResourceLanguage(uint16_t language, InstanceHandle translation) {
  std::lock_guard<std::mutex> hold(Res().lock);
  Res().language = language;
  Res().translation = translation;
}

uint16_t ResourceLanguage() {
  std::lock_guard<std::mutex> hold(Res().lock);
  return Res().language;
}

InstanceHandle ResourceTranslation() {
  std::lock_guard<std::mutex> hold(Res().lock);
  return Res().translation;
}

}  // namespace platform
