// DoConnect, the selection of the active HID device and the hand-off to the Bluetooth panels.
#include "bluetooth/connect.h"

#include <atomic>
#include <cstdlib>
#include <future>
#include <thread>

#include "bluetooth/launch_program.h"
#include "bluetooth/wait_cursor.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "platform/host/host_shell.h"
#include "test_support.h"

namespace {

using platform::host::ShellCall;

const std::string kHid = "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID\\";
const std::string kHeadset = "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\Headset\\";
const auto kWindow = reinterpret_cast<platform::WindowHandle>(0x4711);
const WString kRadioOffText = u"Bluetooth is turned off. To use Quillmote, please enable your Bluetooth module!";
const WString kNoDeviceText =
    u"No active Input Device found. You need to pair a device, using the Bluetooth control panel.";

// Counts the live blocks of the Bluetooth code's memory, across threads.
struct Ledger {
  static inline std::atomic<int> live{0}, peak{0};
  static inline std::atomic<bool> fail{false};
  static void* Alloc(size_t n) {
    if (fail) return nullptr;
    int now = ++live;
    for (int p = peak; now > p && !peak.compare_exchange_weak(p, now);) {
    }
    std::this_thread::yield();  // widens the window in which overlapping calls would meet
    return std::malloc(n);
  }
  static void Free(void* p) {
    --live;
    std::free(p);
  }
  static void Reset() {
    live = 0;
    peak = 0;
    fail = false;
  }
};

class ConnectTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    platform::host::ShellReset();
    ReleaseSelectedDevice();
    ResetServiceDefaults();
    Ledger::Reset();
    BluetoothAlloc = Ledger::Alloc;
    BluetoothFree = Ledger::Free;
    for (auto* flag : {&driverStatus.bluetoothOn, &driverStatus.deviceFound}) flag->store(0);
    theGUI.MainWindow = kWindow;
    debugEnabled = 1;
  }
  void TearDown() override {
    ReleaseSelectedDevice();
    EXPECT_EQ(Ledger::live.load(), 0) << "every block is released with its owner";
    BluetoothAlloc = std::malloc;
    BluetoothFree = std::free;
    ResetServiceDefaults();
    platform::host::ShellReset();
    theGUI.MainWindow = nullptr;
    HostTest::TearDown();
  }
  // A device entry under HID (or another class) with the given values.
  void Device(const std::string& name, const std::string& values, const std::string& cls = kHid) {
    LoadReg(cls + name + "]\n" + values);
  }
  std::string Log() { return ReadDeviceFile(kDebugLogPath); }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  }
};

TEST_F(ConnectTest, RadioOff) {
  Device("001a2b3c4d5e", "\"active\"=dword:00000001\n");
  for (int interactive : {0, 1}) {
    SCOPED_TRACE(interactive);
    platform::host::ShellReset();
    driverStatus.deviceFound = 1;
    EXPECT_EQ(DoConnect(interactive), -2);
    EXPECT_EQ(driverStatus.deviceFound.load(), 1) << "kept as it was";
    EXPECT_FALSE(serviceDefaults.loaded) << "no scan ran";
    EXPECT_EQ(selectedDevice, nullptr);
    auto calls = platform::host::ShellCalls();
    if (!interactive) {
      EXPECT_TRUE(calls.empty());
      continue;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, ShellCall::MessageBox);
    EXPECT_EQ(calls[0].owner, kWindow);
    EXPECT_EQ(calls[0].text, kRadioOffText);
    EXPECT_EQ(calls[0].caption, u"#2 Bluetooth");
    EXPECT_EQ(calls[0].flags, 0x40040u);
  }
  EXPECT_EQ(Count(Log(), ": Err#2 Bluetooth is off.\n"), 2);
}

TEST_F(ConnectTest, NoActiveHidDevice) {
  driverStatus.bluetoothOn = 1;
  driverStatus.deviceFound = 1;
  // Inactive, without an active value, and active but not of the HID class.
  Device("111111111111", "\"active\"=dword:00000000\n");
  Device("222222222222", "\"name\"=\"no active value\"\n");
  Device("333333333333", "\"active\"=dword:00000001\n", kHeadset);

  EXPECT_EQ(DoConnect(0), -3);
  EXPECT_EQ(driverStatus.deviceFound.load(), 0);
  EXPECT_TRUE(platform::host::ShellCalls().empty()) << "a call nobody asked for shows nothing and starts nothing";

  size_t launchesWhileBoxOpen = 99;
  platform::host::SetMessageBoxHandler([&](const ShellCall&) {
    launchesWhileBoxOpen = platform::host::ShellCalls().size() - 1;
    return platform::kIdOk;
  });
  EXPECT_EQ(DoConnect(1), -3);
  auto calls = platform::host::ShellCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, ShellCall::MessageBox);
  EXPECT_EQ(calls[0].text, kNoDeviceText);
  EXPECT_EQ(calls[0].caption, u"#3 No Device");
  EXPECT_EQ(calls[0].flags, 0x40040u);
  EXPECT_EQ(calls[0].owner, kWindow);
  EXPECT_EQ(launchesWhileBoxOpen, 0u) << "the panel opens after the box is closed";
  EXPECT_EQ(calls[1].kind, ShellCall::Launch);
  EXPECT_EQ(calls[1].text, u"\\windows\\ctlpnl.exe");
  EXPECT_EQ(calls[1].caption, u"cplmain.cpl,23,1");
  EXPECT_EQ(calls[1].flags, 5u);
  EXPECT_EQ(Count(Log(), ": Err#3 No HID Device.\n"), 2);
  EXPECT_EQ(Count(Log(), "DoConnect:"), 0);
}

TEST_F(ConnectTest, LogsTheSelectedDevice) {
  driverStatus.bluetoothOn = 1;
  LoadReg("[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID]\n\"DefaultEncrypt\"=dword:00000001\n" +
          kHid + " 001A2B3C4D5E]\n\"name\"=\"Travel Mouse\"\n\"port_name\"=\"COM9:\"\n\"active\"=dword:00000001\n");
  EXPECT_EQ(DoConnect(1), 1);
  EXPECT_EQ(driverStatus.deviceFound.load(), 1);
  EXPECT_TRUE(platform::host::ShellCalls().empty());
  EXPECT_EQ(Count(Log(), ": DoConnect: [001a2b3c4d5e][Travel Mouse][COM9:] active=1 auth=0 encr=1 trusted=1\n"), 1)
      << Log();
}

TEST_F(ConnectTest, TheLastActiveHidDeviceWins) {
  driverStatus.bluetoothOn = 1;
  Device("0a0000000001", "\"name\"=\"first\"\n\"active\"=dword:00000001\n");
  Device("0a0000000002", "\"name\"=\"second\"\n\"active\"=dword:00000001\n\"auth\"=dword:00000001\n");
  Device("0a0000000003", "\"name\"=\"inactive\"\n\"active\"=dword:00000000\n");
  Device("0a0000000004", "\"name\"=\"headset\"\n\"active\"=dword:00000001\n", kHeadset);
  EXPECT_EQ(DoConnect(0), 1);
  ASSERT_NE(selectedDevice, nullptr);
  EXPECT_EQ(selectedDevice->address, 0x0a0000000002u);
  EXPECT_EQ(Count(Log(), "DoConnect: [0a0000000002][second][] active=1 auth=1 encr=0 trusted=1"), 1);
}

// A device unpaired (or gone inactive) since the last scan is not found any more: Connect then
// offers the pairing panel instead of reporting the old device.
TEST_F(ConnectTest, AnUnpairedDeviceIsNoLongerFound) {
  driverStatus.bluetoothOn = 1;
  Device("0a0000000001", "\"name\"=\"keyboard\"\n\"active\"=dword:00000001\n\"sdp_record\"=hex:35,03,19,11,24\n");
  ASSERT_EQ(DoConnect(0), 1);
  ASSERT_NE(selectedDevice, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(selectedDevice->sdp_record, selectedDevice->sdp_record + selectedDevice->sdp_size),
            (std::vector<uint8_t>{0x35, 0x03, 0x19, 0x11, 0x24}));
  platform::host::RegistryReset();  // the stack forgot the device
  EXPECT_EQ(DoConnect(1), -3);
  EXPECT_EQ(driverStatus.deviceFound.load(), 0);
  EXPECT_EQ(selectedDevice, nullptr);
  EXPECT_EQ(Count(Log(), "DoConnect: [0a0000000001][keyboard]"), 1);
  EXPECT_EQ(Count(Log(), "Err#3 No HID Device."), 1);
}

TEST_F(ConnectTest, TheSelectionOwnsItsCopyOfTheSdpBlock) {
  driverStatus.bluetoothOn = 1;
  Device("0a0000000001", "\"active\"=dword:00000001\n\"sdp_record\"=hex:35,03,19,11,24\n");
  ASSERT_EQ(DoConnect(0), 1);
  EXPECT_EQ(Ledger::live.load(), 2) << "the copy and its block; the scan's own block is gone";
  ASSERT_EQ(DoConnect(0), 1);
  EXPECT_EQ(Ledger::live.load(), 2) << "the previous copy was released with its block";
  EXPECT_EQ(Ledger::peak.load(), 3);
  ReleaseSelectedDevice();
  EXPECT_EQ(Ledger::live.load(), 0);
  EXPECT_EQ(selectedDevice, nullptr);
}

TEST_F(ConnectTest, ACopyThatCannotBeAllocatedSelectsNothing) {
  driverStatus.bluetoothOn = 1;
  Device("0a0000000001", "\"active\"=dword:00000001\n");
  ASSERT_EQ(DoConnect(0), 1);
  Ledger::fail = true;
  EXPECT_EQ(DoConnect(0), -3);
  EXPECT_EQ(selectedDevice, nullptr);
  EXPECT_EQ(driverStatus.deviceFound.load(), 0);
}

TEST_F(ConnectTest, BluetoothSettingsByPlatformType) {
  struct Row {
    const char* label;
    std::optional<WString> type;
    WString program, parameters;
  };
  const Row rows[] = {
      {"PocketPC", u"PocketPC", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23"},
      {"upper case", u"POCKETPC", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23"},
      {"lower case", u"pocketpc", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23"},
      {"SmartPhone", u"SmartPhone", u"\\windows\\bthbond.exe", u""},
      {"trailing blank", u"PocketPC ", u"\\windows\\bthbond.exe", u""},
      {"no platform type", std::nullopt, u"\\windows\\bthbond.exe", u""},
  };
  appInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::ShellReset();
    platform::host::SetPlatformType(r.type);
    EXPECT_EQ(OpenBluetoothSettings(), 1);
    auto calls = platform::host::ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, ShellCall::Launch);
    EXPECT_EQ(calls[0].text, r.program);
    EXPECT_EQ(calls[0].caption, r.parameters);
    EXPECT_EQ(calls[0].flags, 5u);
    EXPECT_EQ(calls[0].cursorId, platform::kIdcWait) << "started under the wait cursor";
    EXPECT_EQ(platform::host::CurrentCursorId(), 0);
    EXPECT_EQ(platform::host::CursorShowCount(), 0);
  }
  appInstance = nullptr;
}

TEST_F(ConnectTest, WaitCursorAndLaunch) {
  appInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  SetWaitCursor(true);
  EXPECT_EQ(platform::host::CurrentCursorId(), platform::kIdcWait);
  EXPECT_EQ(platform::host::CurrentCursorInstance(), appInstance);
  EXPECT_EQ(platform::host::CursorShowCount(), 1);
  SetWaitCursor(false);
  EXPECT_EQ(platform::host::CurrentCursorId(), 0);
  EXPECT_EQ(platform::host::CursorShowCount(), 0);
  appInstance = nullptr;

  EXPECT_EQ(LaunchProgram(u"iexplore.exe", u"http://example.org/"), 1);
  platform::host::SetLaunchResult(false);
  EXPECT_EQ(LaunchProgram(u"\\Apps\\Q\\Ollendock.exe", u"-tray"), 0);
  auto calls = platform::host::ShellCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].text, u"\\Apps\\Q\\Ollendock.exe");
  EXPECT_EQ(calls[1].caption, u"-tray");
  EXPECT_EQ(calls[1].flags, 5u);
}

// The main thread (with and without boxes) and the listener thread connect at the same time:
// the scans, the one-time load of the defaults and the replacement of the selection must not
// overlap. ThreadSanitizer reports any overlap as a race; the memory ledger sees it as more
// live blocks than one call can hold (old copy, old block, scan block).
TEST_F(ConnectTest, CallsFromTwoThreadsNeverOverlap) {
  driverStatus.bluetoothOn = 1;
  LoadReg("[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID]\n\"DefaultMtu\"=dword:00000030\n");
  Device("0a0000000001", "\"active\"=dword:00000001\n\"sdp_record\"=hex:35,03,19,11,24\n");
  Device("0a0000000002", "\"active\"=dword:00000000\n\"sdp_record\"=hex:09,00\n");
  debugEnabled = 0;  // the log's file writes would only slow the race down
  constexpr int kRounds = 300;
  std::atomic<bool> go{false};
  std::atomic<int> failures{0};
  auto hammer = [&](bool alternateInteractive) {
    while (!go) std::this_thread::yield();
    for (int i = 0; i < kRounds; ++i)
      if (DoConnect(alternateInteractive ? i % 2 : 0) != 1) ++failures;
  };
  std::thread listener(hammer, false);
  std::thread main(hammer, true);
  go = true;
  listener.join();
  main.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_LE(Ledger::peak.load(), 3);
  EXPECT_EQ(Ledger::live.load(), 2);
  ASSERT_NE(selectedDevice, nullptr);
  EXPECT_EQ(selectedDevice->address, 0x0a0000000001u);
  EXPECT_EQ(selectedDevice->mtu, 48u);
  EXPECT_TRUE(platform::host::ShellCalls().empty());
}

// A box waits for the user; meanwhile the listener's DoConnect must still get through.
TEST_F(ConnectTest, AnOpenBoxDoesNotHoldUpTheOtherThread) {
  Device("0a0000000001", "\"active\"=dword:00000001\n");
  std::future_status otherThread = std::future_status::deferred;
  int otherResult = 0;
  platform::host::SetMessageBoxHandler([&](const ShellCall&) {
    driverStatus.bluetoothOn = 1;  // the radio came on while the box is open
    auto f = std::async(std::launch::async, [] { return DoConnect(0); });
    otherThread = f.wait_for(std::chrono::seconds(5));
    if (otherThread == std::future_status::ready) otherResult = f.get();
    return platform::kIdOk;
  });
  EXPECT_EQ(DoConnect(1), -2);
  EXPECT_EQ(otherThread, std::future_status::ready);
  EXPECT_EQ(otherResult, 1);
}

}  // namespace
