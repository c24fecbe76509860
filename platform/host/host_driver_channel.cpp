#include "platform/host/host_driver_channel.h"

#include <cstring>
#include <map>
#include <mutex>

namespace platform {
namespace {

struct Driver {
  std::mutex lock;
  bool present = false;
  bool refused = false;
  bool mute = false;
  std::map<uint32_t, uint32_t> results;
  std::vector<host::DriverEvent> events;
  int open = 0;
  uintptr_t nextHandle = 1;
};

Driver& Drv() {
  static Driver driver;
  return driver;
}

}  // namespace

namespace host {

void DriverReset() {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.present = false;
  d.refused = false;
  d.mute = false;
  d.results.clear();
  d.events.clear();
  d.open = 0;
}

void DriverSetPresent(bool present) {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.present = present;
}

void DriverSetRefused(bool refused) {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.refused = refused;
}

void DriverSetMute(bool mute) {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.mute = mute;
}

void DriverSetResult(uint32_t code, uint32_t result) {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.results[code] = result;
}

std::vector<DriverEvent> DriverEvents() {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  return d.events;
}

void DriverClearEvents() {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.events.clear();
}

int DriverOpenDevices() {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  return d.open;
}

}  // namespace host

void DriverDeviceTraits::Release(void*) {
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  d.events.push_back({host::DriverEvent::Close, {}, 0, {}});
  --d.open;
}

DriverOpenResult DriverOpen(const WChar* name, DriverDevice& device) {
  device.Close();
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  // The stream device is the only one the double offers.
  bool found = d.present && WCompareNoCase(name, u"QMX0:") == 0;
  bool opened = found && !d.refused;
  d.events.push_back({opened ? host::DriverEvent::Open : host::DriverEvent::OpenFailed, WString(name), 0, {}});
  if (!found) return DriverOpenResult::Missing;
  if (d.refused) return DriverOpenResult::Refused;
  ++d.open;
  device.Reset(reinterpret_cast<void*>(d.nextHandle++));
  return DriverOpenResult::Opened;
}

bool DriverControl(const DriverDevice& device, uint32_t code, const void* input, uint32_t size, uint32_t& result) {
  result = 0;
  if (!device.IsOpen()) return false;
  Driver& d = Drv();
  std::lock_guard<std::mutex> hold(d.lock);
  std::vector<uint8_t> bytes(size);
  if (size) std::memcpy(bytes.data(), input, size);
  d.events.push_back({host::DriverEvent::Control, {}, code, std::move(bytes)});
  if (d.mute) return false;
  auto it = d.results.find(code);
  result = it == d.results.end() ? 1 : it->second;
  return true;
}

}  // namespace platform
