#include "platform/host/host_instance.h"

#include <set>

namespace platform {
namespace {

std::set<WString>& Ours() {
  static std::set<WString> s;
  return s;
}
std::set<WString>& Theirs() {
  static std::set<WString> s;
  return s;
}

}  // namespace

namespace host {

void InstanceLocksReset() {
  Ours().clear();
  Theirs().clear();
}

void SetLockHeldElsewhere(const WChar* name, bool held) {
  if (held) {
    Theirs().insert(name);
  } else {
    Theirs().erase(name);
  }
}

}  // namespace host

bool TakeInstanceLock(const WChar* name) {
  if (Ours().count(name)) return true;
  if (Theirs().count(name)) return false;
  Ours().insert(name);
  return true;
}

}  // namespace platform
