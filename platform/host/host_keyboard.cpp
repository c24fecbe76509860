// The host's keyboard: the keys a test holds down.
#include "platform/host/host_keyboard.h"

#include <mutex>
#include <set>

#include "platform/keyboard.h"

namespace platform {
namespace {

std::mutex lock;
std::set<uint32_t> down;

}  // namespace

bool KeyIsDown(uint32_t virtualKey) {
  std::lock_guard<std::mutex> g(lock);
  return down.count(virtualKey) != 0;
}

namespace host {

void HoldKeys(std::initializer_list<uint32_t> keys) {
  std::lock_guard<std::mutex> g(lock);
  down = std::set<uint32_t>(keys);
}

}  // namespace host
}  // namespace platform
