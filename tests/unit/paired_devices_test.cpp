// The paired-device scan over registries in the Bluetooth stack's layout.
#include "bluetooth/paired_devices.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "paired_devices_fixture.h"
#include "test_support.h"

namespace {

const std::string kDev = "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device";

class PairedDevicesTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ResetServiceDefaults();
    BluetoothAlloc = std::malloc;
    BluetoothFree = std::free;
  }
  void TearDown() override {
    BluetoothAlloc = std::malloc;
    BluetoothFree = std::free;
    ResetServiceDefaults();
    HostTest::TearDown();
  }
  void LoadFixture() {
    std::ifstream in(std::string(QM_FIXTURES) + "/bluetooth_devices.reg", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    ASSERT_TRUE(platform::host::RegistryLoad(text.str(), &error)) << error;
  }
  static std::string HexByte(char c) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(c));
    return buf;
  }
  static std::string Name(const PairedDevice& d) { return ToUtf8(d.name, WLen(d.name)); }
  static std::string Port(const PairedDevice& d) { return ToUtf8(d.port_name, WLen(d.port_name)); }
};

TEST_F(PairedDevicesTest, FixtureReportsEveryUsableEntryInClassThenEnumerationOrder) {
  LoadFixture();
  uint64_t writesBefore = platform::host::RegistryWriteCount();
  ExpectFixtureDevices(RecordScan());
  EXPECT_EQ(platform::host::RegistryWriteCount(), writesBefore) << "the stack's registry is read only";
}

TEST_F(PairedDevicesTest, CallbackReturningZeroEndsOnlyItsClass) {
  LoadFixture();
  auto seen = RecordScan([](const PairedDevice& d) { return d.address == 0x112233445566 ? 0 : 1; });
  std::vector<uint64_t> got, want;
  for (const auto& r : seen) got.push_back(r.device.address);
  for (const auto& e : FixtureDevices())
    if (e.address != 0x112233445567) want.push_back(e.address);
  EXPECT_EQ(got, want);

  // Stopping in HID skips the rest of HID only.
  seen = RecordScan([](const PairedDevice& d) { return d.serviceClass == kHidServiceClass ? 0 : 1; });
  got.clear();
  for (const auto& r : seen) got.push_back(r.device.address);
  EXPECT_EQ(got, (std::vector<uint64_t>{0x112233445566, 0x112233445567, 0xaabbccddeeff, 0x0f0f0f0f0f0f, 0x00aa00bb00cc,
                                        0x001a2b3c4d5e, 0x111111111111, 0x123456789abc, 0xffeeddccbbaa}));
}

TEST_F(PairedDevicesTest, EntryNames) {
  struct Row {
    const char* label;
    std::string name;
    bool accepted;
    uint64_t address;
  };
  const Row rows[] = {
      {"plain lower case", "0a1b2c3d4e5f", true, 0x0a1b2c3d4e5f},
      {"mixed case", "0a1B2c3D4e5F", true, 0x0a1b2c3d4e5f},
      {"leading blanks", "   001122334455", true, 0x001122334455},
      {"blank then text", "001122334455 (keyboard)", true, 0x001122334455},
      {"49 characters", "0a1b2c3d4e5f " + std::string(36, 'y'), true, 0x0a1b2c3d4e5f},
      {"11 digits", "0a1b2c3d4e5", false, 0},
      {"13 digits", "0a1b2c3d4e5f0", false, 0},
      {"text right behind", "0a1b2c3d4e5fx", false, 0},
      {"tab is not a blank", "0a1b2c3d4e5f\t1", false, 0},
      {"leading tab", "\t0a1b2c3d4e5f", false, 0},
      {"not hexadecimal", "0a1b2c3d4e5g", false, 0},
      {"separators", "0a:1b:2c:3d:4e:5f", false, 0},
      {"full-width digit",
       "\xEF\xBC\x90"
       "a1b2c3d4e5f0",
       false, 0},
      {"only blanks", "   ", false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    ResetServiceDefaults();
    LoadReg(kDev + "\\HID\\" + r.name + "]\n\"active\"=dword:00000001\n");
    auto seen = RecordScan();
    ASSERT_EQ(seen.size(), r.accepted ? 1u : 0u);
    if (r.accepted) {
      EXPECT_EQ(seen[0].device.address, r.address);
    }
  }
}

TEST_F(PairedDevicesTest, AnEntryThatCannotBeOpenedIsSkipped) {
  LoadReg(kDev + "\\HID\\111111111111]\n" + kDev + "\\HID\\222222222222]\n" + kDev + "\\HID\\333333333333]\n");
  platform::host::RegistryFailOpen(u"software\\microsoft\\bluetooth\\device\\HID\\222222222222");
  auto seen = RecordScan();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].device.address, 0x111111111111u);
  EXPECT_EQ(seen[1].device.address, 0x333333333333u);
}

TEST_F(PairedDevicesTest, MissingKeysFindNothing) {
  EXPECT_TRUE(RecordScan().empty());
  LoadReg(kDev + "]\n");
  EXPECT_TRUE(RecordScan().empty());
  // A class key that cannot be opened is passed over.
  LoadReg(kDev + "\\modem\\111111111111]\n" + kDev + "\\HID\\222222222222]\n");
  platform::host::RegistryFailOpen(u"software\\microsoft\\bluetooth\\device\\modem");
  auto seen = RecordScan();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].device.address, 0x222222222222u);
}

TEST_F(PairedDevicesTest, TextValuesAreAlwaysTerminated) {
  auto hexText = [](const std::string& s, bool terminator) {
    std::string out = "hex(1):";
    char buf[8];
    for (char c : s) {
      std::snprintf(buf, sizeof buf, "%02x,00,", static_cast<unsigned char>(c));
      out += buf;
    }
    if (terminator) out += "00,00,";
    out.pop_back();
    return out;
  };
  struct Row {
    const char* label;
    std::string nameData, portData;
    std::string name, port;
  };
  const Row rows[] = {
      {"both fill their fields", "\"" + std::string(248, 'n') + "\"", "\"" + std::string(15, 'p') + "\"",
       std::string(248, 'n'), std::string(15, 'p')},
      {"one character too many", "\"" + std::string(249, 'n') + "\"", "\"" + std::string(16, 'p') + "\"", "", ""},
      {"full fields without terminator", hexText(std::string(249, 'n'), false), hexText(std::string(16, 'p'), false),
       std::string(248, 'n'), std::string(15, 'p')},
      {"short, without terminator", hexText("abc", false), hexText("COM1:", false), "abc", "COM1:"},
      {"odd byte count", "hex(1):41,00,42", "hex(1):43,00,00", "A", "C"},
      {"empty data", "hex(1):", "hex(1):", "", ""},
      {"wrong type", "dword:00000041", "hex:41,00,00,00", "", ""},
      {"expandable text is another type", "hex(2):41,00,00,00", "hex(2):41,00,00,00", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    LoadReg(kDev + "\\HID\\0a1b2c3d4e5f]\n\"name\"=" + r.nameData + "\n\"port_name\"=" + r.portData + "\n");
    auto seen = RecordScan();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(Name(seen[0].device), r.name);
    EXPECT_EQ(Port(seen[0].device), r.port);
  }
}

TEST_F(PairedDevicesTest, NumberValues) {
  struct Row {
    const char* label;
    std::string values;
    uint8_t channel;
    uint32_t hidSubclass, handle, mtu, flags;
  };
  constexpr uint32_t T = kDeviceTrusted;
  const Row rows[] = {
      {"none", "", 252, 0, 0, 0, T},
      {"channel 0 keeps 252", "\"channel\"=dword:00000000\n", 252, 0, 0, 0, T},
      {"channel takes its low byte", "\"channel\"=dword:00001234\n", 0x34, 0, 0, 0, T},
      {"channel 3", "\"channel\"=dword:00000003\n", 3, 0, 0, 0, T},
      {"three-byte channel", "\"channel\"=hex(4):03,00,00\n", 252, 0, 0, 0, T},
      {"five-byte mtu", "\"mtu\"=hex(4):40,00,00,00,00\n", 252, 0, 0, 0, T},
      {"binary handle", "\"handle\"=hex:05,00,00,00\n", 252, 0, 0, 0, T},
      {"all taken", "\"hid_subclass\"=dword:00000540\n\"handle\"=dword:00010001\n\"mtu\"=dword:000002a0\n", 252, 0x540,
       0x10001, 672, T},
      {"active 2 is active", "\"active\"=dword:00000002\n", 252, 0, 0, 0, T | kDeviceActive},
      {"active 0", "\"active\"=dword:00000000\n", 252, 0, 0, 0, T},
      {"auth and encrypt", "\"auth\"=dword:00000005\n\"encrypt\"=dword:00000001\n", 252, 0, 0, 0,
       T | kDeviceAuth | kDeviceEncrypt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    LoadReg(kDev + "\\HID\\0a1b2c3d4e5f]\n" + r.values);
    auto seen = RecordScan();
    ASSERT_EQ(seen.size(), 1u);
    const PairedDevice& d = seen[0].device;
    EXPECT_EQ(d.channel, r.channel);
    EXPECT_EQ(d.hid_subclass, r.hidSubclass);
    EXPECT_EQ(d.handle, r.handle);
    EXPECT_EQ(d.mtu, r.mtu);
    EXPECT_EQ(d.flags, r.flags);
  }
}

TEST_F(PairedDevicesTest, AdapterAndClassDefaults) {
  struct Row {
    const char* label;
    std::string adapter, hidClass, device;
    int32_t serviceClass;  // HID (7) or UNKNOWN (-1)
    uint32_t mtu, authEncr;
  };
  const std::string mtu100 = "\"DefaultMtu\"=dword:00000064\n";
  const std::string auth1 = "\"DefaultAuth\"=dword:00000001\n", auth2 = "\"DefaultAuth\"=dword:00000002\n";
  const std::string encr1 = "\"DefaultEncrypt\"=dword:00000001\n";
  constexpr uint32_t Au = kDeviceAuth, E = kDeviceEncrypt;
  const Row rows[] = {
      {"adapter values reach UNKNOWN", mtu100 + auth1 + encr1, "", "", -1, 100, Au | E},
      {"adapter auth 2 counts its low bit only", auth2, "", "", -1, 0, 0},
      {"adapter auth and encr do not reach a class", auth1 + encr1, "", "", 7, 0, 0},
      {"class without DefaultMtu keeps the adapter's", mtu100, "\"DefaultAuth\"=dword:00000000\n", "", 7, 100, 0},
      {"class DefaultMtu 0", mtu100, "\"DefaultMtu\"=dword:00000000\n", "", 7, 0, 0},
      {"class DefaultAuth 2 is on", "", auth2, "", 7, 0, Au},
      {"class DefaultAuth 0 clears the adapter's 1", auth1, "\"DefaultAuth\"=dword:00000000\n", "", 7, 0, 0},
      {"device auth decides over the class", "", "\"DefaultAuth\"=dword:00000000\n", "\"auth\"=dword:00000001\n", 7, 0,
       Au},
      {"device encrypt 0 clears the class's", "", encr1, "\"encrypt\"=dword:00000000\n", 7, 0, 0},
      {"device mtu replaces every default", mtu100, "\"DefaultMtu\"=dword:00000030\n", "\"mtu\"=dword:00000010\n", 7,
       16, 0},
      {"malformed adapter defaults are 0", "\"DefaultMtu\"=\"100\"\n\"DefaultEncrypt\"=hex(4):01,00,00\n", "", "", -1,
       0, 0},
      {"malformed class defaults are none", mtu100, "\"DefaultMtu\"=hex(4):01\n\"DefaultEncrypt\"=hex:01,00,00,00\n",
       "", 7, 100, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    ResetServiceDefaults();
    std::string cls = r.serviceClass == 7 ? "HID" : "UNKNOWN";
    LoadReg(kDev + "]\n" + r.adapter + kDev + "\\" + cls + "]\n" + r.hidClass + kDev + "\\" + cls +
            "\\0a1b2c3d4e5f]\n" + r.device);
    auto seen = RecordScan();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].device.serviceClass, r.serviceClass);
    EXPECT_EQ(seen[0].device.mtu, r.mtu);
    EXPECT_EQ(seen[0].device.flags & (kDeviceAuth | kDeviceEncrypt), r.authEncr);
  }
}

TEST_F(PairedDevicesTest, ApplyServiceDefaultsKeepsOtherFlags) {
  serviceDefaults.adapterMtu = 7;
  serviceDefaults.adapterAuth = 1;
  serviceDefaults.adapterEncrypt = 1;
  serviceDefaults.classMtu[kHidServiceClass] = 9;
  serviceDefaults.classEncrypt[kHidServiceClass] = 1;
  PairedDevice d{};
  d.flags = kDeviceActive | kDeviceTrusted | kDeviceAuth;
  ApplyServiceDefaults(kHidServiceClass, &d);
  EXPECT_EQ(d.mtu, 9u);
  EXPECT_EQ(d.flags, kDeviceActive | kDeviceTrusted | kDeviceEncrypt);
  ApplyServiceDefaults(-1, &d);
  EXPECT_EQ(d.mtu, 7u);
  EXPECT_EQ(d.flags, kDeviceActive | kDeviceTrusted | kDeviceAuth | kDeviceEncrypt);
  ApplyServiceDefaults(kServiceClassCount, &d);  // out of the table: adapter values only
  EXPECT_EQ(d.mtu, 7u);
}

TEST_F(PairedDevicesTest, DefaultsAreReadOnceEvenWhenTheFirstReadFails) {
  LoadServiceDefaults();  // no device key yet
  EXPECT_TRUE(serviceDefaults.loaded);
  LoadReg(kDev + "]\n\"DefaultMtu\"=dword:00000064\n" + kDev + "\\HID]\n\"DefaultMtu\"=dword:00000030\n" + kDev +
          "\\HID\\0a1b2c3d4e5f]\n");
  auto seen = RecordScan();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].device.mtu, 0u);
  EXPECT_EQ(serviceDefaults.classMtu[kHidServiceClass], -1);

  ResetServiceDefaults();
  ASSERT_EQ(RecordScan()[0].device.mtu, 48u);
  LoadReg(kDev + "\\HID]\n\"DefaultMtu\"=dword:00000050\n");  // a later change is not seen
  EXPECT_EQ(RecordScan()[0].device.mtu, 48u);
}

TEST_F(PairedDevicesTest, ServiceIds) {
  // The GUID's text and its terminator, then padding up to `bytes`.
  auto padded = [](size_t bytes) {
    std::string out = "hex(1):";
    for (char c : std::string("{00001124-0000-1000-8000-00805F9B34FB}")) out += HexByte(c) + ",00,";
    out += "00,00";
    for (size_t n = 78; n < bytes; ++n) out += ",20";
    return out;
  };
  struct Row {
    const char* label;
    std::string text;
    bool hid;
  };
  const Row rows[] = {
      {"upper case", "\"{00001124-0000-1000-8000-00805F9B34FB}\"", true},
      {"lower case", "\"{00001124-0000-1000-8000-00805f9b34fb}\"", true},
      {"no braces", "\"00001124-0000-1000-8000-00805F9B34FB\"", false},
      {"hyphen missing", "\"{00001124-0000-1000-800000805F9B34FB}\"", false},
      {"text after the brace", "\"{00001124-0000-1000-8000-00805F9B34FB} \"", false},
      {"wrong type", "hex:7b,00,7d,00,00,00", false},
      {"126 bytes", padded(126), true},
      {"128 bytes is too large", padded(128), false},
      {"unterminated", "hex(1):7b,00,30,00", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    LoadReg(kDev + "\\HID\\0a1b2c3d4e5f]\n\"service_id\"=" + r.text + "\n");
    auto seen = RecordScan();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(r.hid ? IsHidServiceGuid(seen[0].device.service_id) : IsZeroGuid(seen[0].device.service_id));
  }
}

// Counts the scan's allocations and checks each block it frees was one of them.
struct BlockLedger {
  static inline int allocs = 0, frees = 0;
  static inline bool fail = false;
  static void* Alloc(size_t n) {
    if (fail) return nullptr;
    ++allocs;
    return std::malloc(n);
  }
  static void Free(void* p) {
    ++frees;
    std::free(p);
  }
};

TEST_F(PairedDevicesTest, SdpBlocksAreTheScansOwnAndFreedAfterEachCallback) {
  LoadReg(kDev + "\\HID\\111111111111]\n\"sdp_record\"=hex:35,03,19,11,24\n" + kDev +
          "\\HID\\222222222222]\n\"sdp_record\"=hex:09,00\n" + kDev +
          "\\HID\\333333333333]\n\"sdp_record\"=\"text\"\n" + kDev + "\\HID\\444444444444]\n\"sdp_record\"=hex:\n");
  BlockLedger::allocs = BlockLedger::frees = 0;
  BlockLedger::fail = false;
  BluetoothAlloc = BlockLedger::Alloc;
  BluetoothFree = BlockLedger::Free;
  std::vector<int> liveDuringCallback;
  auto seen = RecordScan([&](const PairedDevice&) {
    liveDuringCallback.push_back(BlockLedger::allocs - BlockLedger::frees);
    return 1;
  });
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].sdp, (std::vector<uint8_t>{0x35, 0x03, 0x19, 0x11, 0x24}));
  EXPECT_EQ(seen[1].sdp, (std::vector<uint8_t>{0x09, 0x00}));
  EXPECT_EQ(seen[1].device.sdp_size, 2u);
  EXPECT_EQ(seen[2].device.sdp_size, 0u) << "only binary data is taken";
  EXPECT_EQ(seen[3].device.sdp_size, 0u);
  EXPECT_EQ(liveDuringCallback, (std::vector<int>{1, 1, 0, 0}));
  EXPECT_EQ(BlockLedger::allocs, 2);
  EXPECT_EQ(BlockLedger::frees, 2);

  // A failed allocation costs the block only: the device is reported with the value's size.
  BlockLedger::fail = true;
  seen = RecordScan();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_TRUE(seen[0].sdp.empty());
  EXPECT_EQ(seen[0].device.sdp_size, 5u);
  EXPECT_EQ(BlockLedger::frees, 2);
}

TEST(ParseHexField, Fields) {
  struct Row {
    const char* label;
    const WChar* text;
    int digits;
    WChar separator;
    int consumed;  // -1: fails
    uint64_t value;
  };
  const Row rows[] = {
      {"eight digits", u"0000112aXYZ", 8, 0, 8, 0x112a},
      {"with separator", u"1000-8000", 4, u'-', 5, 0x1000},
      {"twelve mixed-case digits", u"0a1B2c3D4e5F", 12, 0, 12, 0x0a1b2c3d4e5f},
      {"sixteen digits", u"FFFFFFFFFFFFFFFF", 16, 0, 16, 0xFFFFFFFFFFFFFFFF},
      {"separator missing", u"10008000", 4, u'-', -1, 0},
      {"other separator", u"1000_8000", 4, u'-', -1, 0},
      {"too few before the end", u"12", 4, 0, -1, 0},
      {"non-digit inside", u"12g4", 4, 0, -1, 0},
      {"blank inside", u"12 4", 4, 0, -1, 0},
      {"sign is not a digit", u"+123", 4, 0, -1, 0},
      {"zero digits", u"1234", 0, 0, -1, 0},
      {"seventeen digits", u"00000000000000000", 17, 0, -1, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    uint64_t value = 0xDEAD;
    const WChar* end = ParseHexField(r.text, r.digits, r.separator, &value);
    if (r.consumed < 0) {
      EXPECT_EQ(end, nullptr);
      EXPECT_EQ(value, 0xDEADu) << "untouched on failure";
    } else {
      EXPECT_EQ(end, r.text + r.consumed);
      EXPECT_EQ(value, r.value);
    }
  }
}

TEST(ParseServiceGuid, AcceptsOnlyTheBracedForm) {
  Guid g{};
  ASSERT_TRUE(ParseServiceGuid(u"{00001124-0000-1000-8000-00805F9B34FB}", &g));
  EXPECT_TRUE(IsHidServiceGuid(g));
  ASSERT_TRUE(ParseServiceGuid(u"{FEDCBA98-7654-3210-abcd-ef0123456789}", &g));
  EXPECT_EQ(g.Data1, 0xFEDCBA98u);
  EXPECT_EQ(g.Data2, 0x7654u);
  EXPECT_EQ(g.Data3, 0x3210u);
  const uint8_t tail[8] = {0xab, 0xcd, 0xef, 0x01, 0x23, 0x45, 0x67, 0x89};
  EXPECT_TRUE(std::equal(tail, tail + 8, g.Data4));

  const WChar* bad[] = {
      u"",
      u"{",
      u"00001124-0000-1000-8000-00805F9B34FB",
      u"{00001124-0000-1000-8000-00805F9B34FB",
      u"{00001124-0000-1000-8000-00805F9B34FB}}",
      u"{00001124-0000-1000-8000-00805F9B34FB}x",
      u"{00001124-0000-1000-800000805F9B34FB}",
      u"{00001124-0000-1000-80-0000805F9B34FB}",
      u"{00001124-0000-10008000-00805F9B34FB}",
      u"{0001124-0000-1000-8000-00805F9B34FB0}",
      u"{00001124-0000-1000-8000-00805F9B34F}",
      u"{00001124-0000-1000-8000-00805F9B34FG}",
      u"(00001124-0000-1000-8000-00805F9B34FB)",
  };
  for (const WChar* text : bad) {
    Guid untouched{0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
    EXPECT_FALSE(ParseServiceGuid(text, &untouched)) << ToUtf8(text, WLen(text));
    EXPECT_EQ(untouched.Data1, 0x11111111u);
  }
  EXPECT_FALSE(ParseServiceGuid(nullptr, &g));
}

}  // namespace
