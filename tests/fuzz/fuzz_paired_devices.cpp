// The paired-device scan over a Bluetooth stack registry made of the fuzzer's bytes: odd subkey
// names, values of every type and size, keys that fail to open, allocations that fail. Every
// reported device must keep the record's rules.
#include <cstdlib>
#include <cstring>

#include "bluetooth/paired_devices.h"
#include "platform/host/host_registry.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

FuzzInput* input = nullptr;

void* MaybeAlloc(size_t size) {
  return input && (input->Byte() & 7) == 0 ? nullptr : std::malloc(size);
}

bool Terminated(const WChar* s, size_t chars) {
  for (size_t i = 0; i < chars; ++i)
    if (s[i] == 0) return true;
  return false;
}

int Check(void*, const PairedDevice* d) {
  FUZZ_CHECK(Terminated(d->name, kDeviceNameChars));
  FUZZ_CHECK(Terminated(d->port_name, kPortNameChars));
  FUZZ_CHECK((d->flags & ~0xFu) == 0);
  FUZZ_CHECK(d->flags & kDeviceTrusted);  // every device the stack lists counts as trusted
  FUZZ_CHECK(d->serviceClass >= -1 && d->serviceClass < kServiceClassCount);
  FUZZ_CHECK(d->address < (1ull << 48));
  // A block that is there is readable to its end (a failed allocation leaves none, its size kept).
  volatile uint8_t sum = 0;
  for (uint32_t i = 0; d->sdp_record && i < d->sdp_size; ++i) sum = sum + d->sdp_record[i];
  return input->Byte() != 0xFF;
}

const WChar* const kNames[] = {u"name",    u"port_name", u"channel", u"hid_subclass", u"handle",     u"active",
                               u"trusted", u"auth",      u"encrypt", u"mtu",          u"service_id", u"sdp_record"};
const WChar* const kDefaults[] = {u"DefaultMtu", u"DefaultAuth", u"DefaultEncrypt"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  input = &in;
  platform::host::RegistryReset();
  ResetServiceDefaults();
  BluetoothAlloc = MaybeAlloc;
  // The text parsers on their own.
  WString text = in.Text(64);
  uint64_t value = 0;
  ParseHexField(text.c_str(), 1 + in.Byte() % 16, in.Byte() & 1 ? u'-' : 0, &value);
  Guid guid;
  ParseServiceGuid(text.c_str(), &guid);
  // The registry.
  platform::RegKey root;
  platform::RegCreate(kBluetoothDeviceKey, platform::RegAccess::All, root);
  for (const WChar* d : kDefaults)
    if (in.Byte() & 1) in.Value(root, d);
  for (int devices = in.Byte() % 12; devices > 0 && !in.Empty(); --devices) {
    int c = in.Byte() % (kServiceClassCount + 1);
    WString cls = c < kServiceClassCount ? ServiceClassNames[c] : u"UNKNOWN";
    WString address = in.Byte() & 1 ? in.Text(16) : u"001122334455";
    WString path = WString(kBluetoothDeviceKey) + u"\\" + cls + u"\\" + address;
    platform::RegKey key;
    if (platform::RegCreate(path.c_str(), platform::RegAccess::All, key) != platform::RegStatus::Ok) continue;
    if (in.Byte() & 1) in.Value(key, kDefaults[in.Byte() % 3]);
    for (const WChar* n : kNames)
      if (in.Byte() & 1) in.Value(key, n);
    if ((in.Byte() & 15) == 0) platform::host::RegistryFailOpen(path);
  }
  ScanPairedDevices(nullptr, Check);
  BluetoothAlloc = std::malloc;
  input = nullptr;
  return 0;
}
