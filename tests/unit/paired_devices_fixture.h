// What a scan must report from tests/fixtures/bluetooth_devices.reg, in order. The host tests
// load that file into the host registry; the Wine tests import it with regedit into Wine's.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bluetooth/paired_devices.h"

struct ExpectedDevice {
  const char* label;
  int32_t serviceClass;
  uint64_t address;
  std::string name;
  std::string port;
  uint32_t flags;
  uint8_t channel;
  uint32_t hidSubclass;
  uint32_t handle;
  uint32_t mtu;
  bool hidGuid;  // service_id is {00001124-0000-1000-8000-00805F9B34FB}, else all zero
  std::vector<uint8_t> sdp;
};

inline const std::vector<ExpectedDevice>& FixtureDevices() {
  constexpr uint32_t A = kDeviceActive, T = kDeviceTrusted, Au = kDeviceAuth, E = kDeviceEncrypt;
  static const std::vector<ExpectedDevice> devices = {
      {"modem first", 0, 0x112233445566, "Modem One", "", A | T, 252, 0, 0, 672, false, {}},
      {"modem second", 0, 0x112233445567, "Modem Two", "", T, 252, 0, 0, 672, false, {}},
      {"printer: class MTU 0 and DefaultAuth 2", 1, 0xaabbccddeeff, "Printer", "", T | Au, 252, 0, 0, 0, false, {}},
      {"file_trans: malformed class defaults", 3, 0x0f0f0f0f0f0f, "", "", T | E, 252, 0, 0, 672, false, {}},
      {"active headset", 5, 0x00aa00bb00cc, "Headset", "", A | T, 252, 0, 0, 672, false, {}},
      {"leading blank, trailing text", 7, 0x001a2b3c4d5e, "Travel Mouse", "COM9:", A | T, 252, 0, 0, 672, true, {}},
      {"mixed-case digits, every value",
       7,
       0x0a1b2c3d4e5f,
       "Folding Keyboard",
       "BTK1:",
       A | T | Au | E,
       0x34,
       0x540,
       0x10001,
       48,
       true,
       {0x35, 0x03, 0x19, 0x11, 0x24}},
      {"unterminated full name",
       7,
       0xc0ffee000001,
       "Long" + std::string(244, 'x'),
       "",
       A | T | E,
       252,
       0,
       0,
       672,
       false,
       {}},
      {"inactive", 7, 0xc0ffee000002, "Inactive", "", T | E, 252, 0, 0, 672, false, {}},
      {"no active value", 7, 0xd00000000001, "No active value", "", T | E, 252, 0, 0, 672, false, {}},
      {"PAN before the overlong name", 8, 0x111111111111, "", "", A | T, 252, 0, 0, 672, false, {}},
      {"Handsfree: binary DefaultEncrypt", 9, 0x123456789abc, "", "", T, 252, 0, 0, 672, false, {}},
      {"UNKNOWN: adapter defaults only", -1, 0xffeeddccbbaa, "", "", T | E, 252, 0, 0, 672, false, {}},
  };
  return devices;
}

// A reported device, copied out of the callback (the record dies when the callback returns).
struct RecordedDevice {
  PairedDevice device;
  std::vector<uint8_t> sdp;  // the block's bytes, read during the callback
};

// Scans with a callback that records every device and answers `goOn(device)` (default: go on).
template <typename GoOn>
std::vector<RecordedDevice> RecordScan(GoOn goOn) {
  struct Context {
    std::vector<RecordedDevice> seen;
    GoOn* goOn;
  } context{{}, &goOn};
  EXPECT_EQ(ScanPairedDevices(&context,
                              [](void* c, const PairedDevice* d) -> int {
                                auto* ctx = static_cast<Context*>(c);
                                RecordedDevice r{*d, {}};
                                if (d->sdp_record) r.sdp.assign(d->sdp_record, d->sdp_record + d->sdp_size);
                                r.device.sdp_record = nullptr;  // freed by the scan after this call
                                ctx->seen.push_back(r);
                                return (*ctx->goOn)(*d);
                              }),
            0);
  return context.seen;
}
inline std::vector<RecordedDevice> RecordScan() {
  return RecordScan([](const PairedDevice&) { return 1; });
}

inline bool IsHidServiceGuid(const Guid& g) {
  static const uint8_t tail[8] = {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};
  return g.Data1 == 0x00001124 && g.Data2 == 0x0000 && g.Data3 == 0x1000 && std::equal(tail, tail + 8, g.Data4);
}
inline bool IsZeroGuid(const Guid& g) {
  return g.Data1 == 0 && g.Data2 == 0 && g.Data3 == 0 &&
         std::all_of(g.Data4, g.Data4 + 8, [](uint8_t b) { return !b; });
}

// Compares a scan of the fixture with FixtureDevices(), row by row.
inline void ExpectFixtureDevices(const std::vector<RecordedDevice>& seen) {
  const auto& want = FixtureDevices();
  ASSERT_EQ(seen.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    const ExpectedDevice& w = want[i];
    const PairedDevice& d = seen[i].device;
    SCOPED_TRACE(w.label);
    EXPECT_EQ(d.serviceClass, w.serviceClass);
    EXPECT_EQ(d.address, w.address);
    EXPECT_EQ(ToUtf8(d.name, WLen(d.name)), w.name);
    EXPECT_EQ(ToUtf8(d.port_name, WLen(d.port_name)), w.port);
    EXPECT_EQ(d.flags, w.flags);
    EXPECT_EQ(d.channel, w.channel);
    EXPECT_EQ(d.hid_subclass, w.hidSubclass);
    EXPECT_EQ(d.handle, w.handle);
    EXPECT_EQ(d.mtu, w.mtu);
    EXPECT_TRUE(w.hidGuid ? IsHidServiceGuid(d.service_id) : IsZeroGuid(d.service_id));
    EXPECT_EQ(seen[i].sdp, w.sdp);
    EXPECT_EQ(d.sdp_size, w.sdp.size());
  }
}
