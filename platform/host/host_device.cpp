#include "platform/host/host_device.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

struct Device {
  std::optional<std::vector<uint8_t>> id;
  std::optional<WString> oem;
  bool activation = false;
  std::optional<uint32_t> radio;
  std::vector<host::DeviceActivation> activations;
};

Device& D() {
  static Device d;
  return d;
}

}  // namespace

namespace host {

void DeviceReset() {
  D() = Device{};
}
void SetDeviceIdRecord(std::optional<std::vector<uint8_t>> record) {
  D().id = std::move(record);
}
void SetOemInfo(std::optional<WString> text) {
  D().oem = std::move(text);
}
void SetActivationResult(bool handle) {
  D().activation = handle;
}
void SetRadioMode(std::optional<uint32_t> mode) {
  D().radio = mode;
}
std::vector<DeviceActivation> Activations() {
  return D().activations;
}

}  // namespace host

bool QueryDeviceId(uint8_t* out, uint32_t size) {
  std::memset(out, 0, size);
  if (!D().id) return false;
  std::memcpy(out, D().id->data(), std::min<size_t>(size, D().id->size()));
  return true;
}

bool QueryOemInfo(WChar* out, uint32_t bytes) {
  if (bytes < sizeof(WChar)) return false;
  std::memset(out, 0, bytes);
  if (!D().oem) return false;
  WCopy(out, bytes / sizeof(WChar), D().oem->c_str());
  return true;
}

bool ActivateDevice(const WChar* instanceKey, const WChar* parameter) {
  D().activations.push_back(host::DeviceActivation{instanceKey, parameter});
  return D().activation;
}

bool QueryRadioMode(uint32_t* mode) {
  *mode = 0;
  if (!D().radio) return false;
  *mode = *D().radio;
  return true;
}

}  // namespace platform
