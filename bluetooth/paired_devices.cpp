#include "bluetooth/paired_devices.h"

#include <cstdlib>
#include <cstring>

#include "platform/registry.h"

using platform::RegAccess;
using platform::RegKey;
using platform::RegStatus;

const WChar* const ServiceClassNames[kServiceClassCount] = {
    u"modem",      u"printer", u"lan_access", u"file_trans", u"OBEX",    u"Headset",
    u"ActiveSync", u"HID",     u"PAN",        u"Handsfree",  u"UNKNOWN",
};

ServiceDefaults serviceDefaults;

void* (*BluetoothAlloc)(size_t size) = std::malloc;
void (*BluetoothFree)(void* block) = std::free;

namespace {

// The index of "UNKNOWN": its devices have no class of their own.
constexpr int kUnknownClass = kServiceClassCount - 1;
// RegEnumKeyExW's name buffer, in characters; longer names end the class's enumeration.
constexpr uint32_t kEntryNameChars = 50;
// "service_id" is taken only below this size, in bytes.
constexpr uint32_t kServiceIdBytes = 128;
constexpr int kAddressDigits = 12;

bool ReadDword(const RegKey& key, const WChar* name, uint32_t* out) {
  uint32_t type = 0, size = 4, value = 0;
  if (platform::RegQuery(key, name, &type, &value, &size) != RegStatus::Ok) return false;
  if (type != platform::kRegDword || size != 4) return false;
  *out = value;
  return true;
}

// Reads a REG_SZ of at most `chars` characters' worth of bytes into `text` and terminates it.
// The stack may store a text without its terminator, even one that fills the whole field: the
// text is then cut by its last character rather than left open. Anything else leaves it empty.
void ReadText(const RegKey& key, const WChar* name, WChar* text, uint32_t chars) {
  uint32_t type = 0, size = chars * sizeof(WChar);
  if (platform::RegQuery(key, name, &type, text, &size) != RegStatus::Ok || type != platform::kRegSz) {
    std::memset(text, 0, chars * sizeof(WChar));
    return;
  }
  uint32_t end = size / sizeof(WChar);
  text[end < chars ? end : chars - 1] = 0;
}

void SetFlag(PairedDevice* device, uint32_t bit, bool on) {
  device->flags = on ? (device->flags | bit) : (device->flags & ~bit);
}

int HexValue(WChar c) {
  // ASCII only: the platform's wide hexadecimal class also takes full-width digits, whose value
  // would not be the digit's.
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// An entry's name: leading blanks, twelve hexadecimal digits, then a blank or the end.
bool ParseEntryAddress(const WChar* name, uint64_t* address) {
  while (*name == u' ') ++name;
  const WChar* end = ParseHexField(name, kAddressDigits, 0, address);
  return end && (*end == u' ' || *end == 0);
}

void ReadSdpRecord(const RegKey& key, PairedDevice* device) {
  uint32_t type = 0, size = 0;
  if (platform::RegQuery(key, u"sdp_record", &type, nullptr, &size) != RegStatus::Ok) return;
  if (type != platform::kRegBinary || size == 0) return;
  device->sdp_size = size;
  auto* block = static_cast<uint8_t*>(BluetoothAlloc(size));
  if (!block) return;  // the size stays, the block does not
  uint32_t got = size;
  if (platform::RegQuery(key, u"sdp_record", &type, block, &got) != RegStatus::Ok || type != platform::kRegBinary ||
      got != size) {
    BluetoothFree(block);
    device->sdp_size = 0;
    return;
  }
  device->sdp_record = block;
}

void ReadDevice(const RegKey& key, PairedDevice* device) {
  ReadText(key, u"name", device->name, kDeviceNameChars);
  ReadText(key, u"port_name", device->port_name, kPortNameChars);
  uint32_t v = 0;
  if (ReadDword(key, u"channel", &v) && v != 0) device->channel = static_cast<uint8_t>(v & 0xFF);
  if (ReadDword(key, u"hid_subclass", &v)) device->hid_subclass = v;
  if (ReadDword(key, u"handle", &v)) device->handle = v;
  if (ReadDword(key, u"active", &v) && v != 0) device->flags |= kDeviceActive;
  if (ReadDword(key, u"auth", &v)) SetFlag(device, kDeviceAuth, v != 0);
  if (ReadDword(key, u"encrypt", &v)) SetFlag(device, kDeviceEncrypt, v != 0);
  if (ReadDword(key, u"mtu", &v)) device->mtu = v;

  WChar serviceId[kServiceIdBytes / sizeof(WChar)];
  uint32_t type = 0, size = sizeof serviceId;
  if (platform::RegQuery(key, u"service_id", &type, serviceId, &size) == RegStatus::Ok && type == platform::kRegSz &&
      size < kServiceIdBytes) {
    serviceId[size / sizeof(WChar)] = 0;
    ParseServiceGuid(serviceId, &device->service_id);
  }
  ReadSdpRecord(key, device);
}

// Scans one class; false when `stop` ended the whole scan.
bool ScanClass(const RegKey& classKey, int classIndex, void* context, PairedDeviceCallback callback, bool (*stop)()) {
  WChar entry[kEntryNameChars];
  for (uint32_t index = 0;; ++index) {
    if (stop && stop()) return false;
    uint32_t chars = kEntryNameChars;
    if (platform::RegEnumSubkey(classKey, index, entry, &chars) != RegStatus::Ok) return true;
    uint64_t address = 0;
    if (!ParseEntryAddress(entry, &address)) continue;
    RegKey deviceKey;
    if (platform::RegOpen(classKey, entry, RegAccess::Read, deviceKey) != RegStatus::Ok) continue;

    PairedDevice device;
    std::memset(&device, 0, sizeof device);
    device.channel = kDefaultChannel;
    device.serviceClass = classIndex < kUnknownClass ? classIndex : -1;
    device.address = address;
    ApplyServiceDefaults(device.serviceClass, &device);
    ReadDevice(deviceKey, &device);
    device.flags |= kDeviceTrusted;  // every device the stack lists is paired, hence trusted
    deviceKey.Close();

    int goOn = callback(context, &device);
    if (device.sdp_record) BluetoothFree(device.sdp_record);
    if (!goOn) return true;
  }
}

}  // namespace

void LoadServiceDefaults() {
  ServiceDefaults& d = serviceDefaults;
  if (d.loaded) return;
  d.loaded = true;
  RegKey deviceKey;
  if (platform::RegOpen(kBluetoothDeviceKey, RegAccess::Read, deviceKey) != RegStatus::Ok) return;
  if (!ReadDword(deviceKey, u"DefaultMtu", &d.adapterMtu)) d.adapterMtu = 0;
  if (!ReadDword(deviceKey, u"DefaultAuth", &d.adapterAuth)) d.adapterAuth = 0;
  if (!ReadDword(deviceKey, u"DefaultEncrypt", &d.adapterEncrypt)) d.adapterEncrypt = 0;
  for (int i = 0; i < kServiceClassCount; ++i) {
    RegKey classKey;
    if (platform::RegOpen(deviceKey, ServiceClassNames[i], RegAccess::Read, classKey) != RegStatus::Ok) continue;
    uint32_t v = 0;
    d.classMtu[i] = ReadDword(classKey, u"DefaultMtu", &v) ? static_cast<int32_t>(v) : -1;
    d.classAuth[i] = ReadDword(classKey, u"DefaultAuth", &v) && v != 0 ? 1 : 0;
    d.classEncrypt[i] = ReadDword(classKey, u"DefaultEncrypt", &v) && v != 0 ? 1 : 0;
  }
}

void ResetServiceDefaults() {
  serviceDefaults = ServiceDefaults{};
}

void ApplyServiceDefaults(int serviceClass, PairedDevice* device) {
  const ServiceDefaults& d = serviceDefaults;
  device->mtu = d.adapterMtu;
  SetFlag(device, kDeviceAuth, (d.adapterAuth & 1) != 0);
  SetFlag(device, kDeviceEncrypt, (d.adapterEncrypt & 1) != 0);
  if (serviceClass >= 0 && serviceClass < kServiceClassCount) {
    if (d.classMtu[serviceClass] >= 0) device->mtu = static_cast<uint32_t>(d.classMtu[serviceClass]);
    SetFlag(device, kDeviceAuth, d.classAuth[serviceClass] != 0);
    SetFlag(device, kDeviceEncrypt, d.classEncrypt[serviceClass] != 0);
  }
}

int ScanPairedDevices(void* context, PairedDeviceCallback callback, bool (*stop)()) {
  LoadServiceDefaults();
  RegKey deviceKey;
  if (platform::RegOpen(kBluetoothDeviceKey, RegAccess::Read, deviceKey) != RegStatus::Ok) return 0;
  for (int i = 0; i < kServiceClassCount; ++i) {
    RegKey classKey;
    if (platform::RegOpen(deviceKey, ServiceClassNames[i], RegAccess::Read, classKey) != RegStatus::Ok) continue;
    if (!ScanClass(classKey, i, context, callback, stop)) break;
  }
  return 0;
}

const WChar* ParseHexField(const WChar* pos, int digits, WChar separator, uint64_t* value) {
  if (!pos || digits < 1 || digits > 16) return nullptr;
  uint64_t v = 0;
  for (int i = 0; i < digits; ++i) {
    int d = HexValue(pos[i]);
    if (d < 0) return nullptr;
    v = (v << 4) | static_cast<uint64_t>(d);
  }
  pos += digits;
  if (separator != 0) {
    if (*pos != separator) return nullptr;
    ++pos;
  }
  *value = v;
  return pos;
}

bool ParseServiceGuid(const WChar* text, Guid* guid) {
  if (!text || *text != u'{') return false;
  const WChar* p = text + 1;
  Guid g;
  uint64_t v = 0;
  if (!(p = ParseHexField(p, 8, u'-', &v))) return false;
  g.Data1 = static_cast<uint32_t>(v);
  if (!(p = ParseHexField(p, 4, u'-', &v))) return false;
  g.Data2 = static_cast<uint16_t>(v);
  if (!(p = ParseHexField(p, 4, u'-', &v))) return false;
  g.Data3 = static_cast<uint16_t>(v);
  if (!(p = ParseHexField(p, 2, 0, &v))) return false;
  g.Data4[0] = static_cast<uint8_t>(v);
  if (!(p = ParseHexField(p, 2, u'-', &v))) return false;
  g.Data4[1] = static_cast<uint8_t>(v);
  for (int i = 2; i < 8; ++i) {
    if (!(p = ParseHexField(p, 2, 0, &v))) return false;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  if (p[0] != u'}' || p[1] != 0) return false;
  *guid = g;
  return true;
}
