// The paired-device scan against Wine's real registry, seeded with regedit from the same fixture
// the host tests load, and the listener thread receiving what qmxsim.exe posts from another
// process. Run under Wine with
//   bluetooth_wine_tests --qmxsim <qmxsim.exe> --fixtures <folder> --work <folder>
// (Unix paths).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "bluetooth/connect.h"
#include "bluetooth/launch_program.h"
#include "driver_link/driver_control.h"
#include "driver_link/driver_status.h"
#include "driver_link/listener.h"
#include "gui/gui.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/threads.h"
#include "platform/win32/testing/win32_test_support.h"
#include "tests/eventually.h"
#include "tests/log_lines.h"
#include "tests/unit/paired_devices_fixture.h"
#include "tests/wine/qmxsim_server.h"
#include "tests/wine/wine_test_options.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"

namespace {

using platform::win32test::RunProgram;
using platform::win32test::WindowsPath;

// Imports the fixture into HKEY_LOCAL_MACHINE with Wine's regedit; removes it again afterwards.
class StackRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::RegDeleteKeyTree(kBluetoothDeviceKey);
    ASSERT_EQ(RunProgram(u"regedit /s " + Quoted(WindowsPath(winePaths.fixtures + "/bluetooth_devices.reg"))), 0);
    // regedit terminates text given as hex(1) without a terminator; the stack may store a name
    // that fills all 498 bytes of its field without one, so that value is written directly.
    platform::RegKey device;
    WString path = WString(kBluetoothDeviceKey) + u"\\HID\\c0ffee000001";
    ASSERT_EQ(platform::RegOpen(path.c_str(), platform::RegAccess::All, device), platform::RegStatus::Ok);
    // One character more than is written: the platform, like NT, counts a terminator that
    // follows the data into it.
    WString name = u"Long" + WString(246, u'x');
    ASSERT_EQ(platform::RegSet(device, u"name", platform::kRegSz, name.data(), 498), platform::RegStatus::Ok);
    uint32_t size = 0;
    ASSERT_EQ(platform::RegQuery(device, u"name", nullptr, nullptr, &size), platform::RegStatus::Ok);
    ASSERT_EQ(size, 498u);
    ResetServiceDefaults();
  }
  void TearDown() override {
    ReleaseSelectedDevice();
    ResetServiceDefaults();
    platform::RegDeleteKeyTree(kBluetoothDeviceKey);
  }
};

TEST_F(StackRegistry, ScanReportsTheFixturesDevices) {
  ExpectFixtureDevices(RecordScan());
}

TEST_F(StackRegistry, CallbackReturningZeroEndsOnlyItsClass) {
  auto seen = RecordScan([](const PairedDevice& d) { return d.serviceClass == kHidServiceClass ? 0 : 1; });
  ASSERT_EQ(seen.size(), FixtureDevices().size() - 4);
  EXPECT_EQ(seen[5].device.address, 0x001a2b3c4d5eu);
  EXPECT_EQ(seen[6].device.serviceClass, 8);
}

// The listener's deepest work, a connect over the fixture's stack that logs the device with the
// longest name, then the longest log line, uses a small part of the stack the listener reserves.
TEST_F(StackRegistry, ListenerWorkFitsItsStack) {
  debugEnabled = 1;
  driverStatus.bluetoothOn = 1;
  driverStatus.deviceFound = 0;
  size_t used = platform::win32test::StackUsedBy([] {
    DoConnect(0);
    DebugLog(u"long line: %s", WString(kDebugLogMaxChars, u'x').c_str());
  });
  debugEnabled = 0;
  driverStatus.bluetoothOn = 0;
  EXPECT_EQ(driverStatus.deviceFound.exchange(0), 1);  // the scan found the fixture's keyboard
  EXPECT_GT(used, sizeof(WChar) * kDebugLogMaxChars);
  EXPECT_LT(used, kListenerStackBytes / 2);
}

// A thread waiting for its messages costs the process the pages it uses, not the whole stack it
// was given (Wine gives every thread at least a megabyte, in memory before the thread runs).
TEST(ThreadsWine, WaitingThreadCostsLittleMemory) {
  platform::EventHandle running = platform::MakeEvent();
  ASSERT_NE(running, nullptr);
  platform::MeasureProcess();  // what measuring itself brings in is there before the first figure
  auto before = static_cast<int64_t>(platform::MeasureProcess().privateBytes);
  platform::ThreadHandle thread = platform::StartThread(
      [](void* event) -> uint32_t {
        platform::SignalEvent(event);
        platform::Message m{};
        return platform::GetNextMessage(m) >= 0 ? 0 : 1;
      },
      running, kListenerStackBytes);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(platform::WaitEvent(running, 5000));
  auto grown = static_cast<int64_t>(platform::MeasureProcess().privateBytes) - before;
  platform::ThreadId id = platform::ThreadIdOf(thread);
  // Once it waits for its messages it can be posted to.
  EXPECT_TRUE(Eventually([&] { return platform::PostToThread(id, platform::kWmQuit, 0, 0); }));
  EXPECT_TRUE(platform::WaitThread(thread, 5000));
  platform::CloseThread(thread);
  platform::CloseEvent(running);
  EXPECT_GT(before, 0);
  EXPECT_LT(grown, 256 * 1024);
}

class ListenerWine : public StackRegistry {
 protected:
  void SetUp() override {
    StackRegistry::SetUp();
    platform::RemoveFile(DebugLogFile());
    records_ = WindowsPath(winePaths.work + "/listener.records");
    debugEnabled = 1;
    driverReady = 1;
    terminateRequested = 0;
    for (auto* f : {&driverStatus.bluetoothOn, &driverStatus.deviceFound, &driverStatus.mouseOn,
                    &driverStatus.keyboardOn, &driverStatus.driverAnswered})
      f->store(0);
    ASSERT_TRUE(server_.Start(records_));
  }
  void TearDown() override {
    server_.Stop();
    if (listenerThread) {
      platform::TerminateThreadNow(listenerThread, 0);
      platform::WaitThread(listenerThread, 5000);
      platform::CloseThread(listenerThread);
      listenerThread = nullptr;
    }
    terminateRequested = 0;
    debugEnabled = 0;
    StackRegistry::TearDown();
  }
  int Sim(const WString& args) { return server_.Sim(args); }
  std::string DebugLines() {
    std::string text;
    platform::FileReadAll(DebugLogFile(), text);
    return text;
  }
  std::vector<std::string> Messages() { return LogMessages(DebugLines()); }

  // Posts through qmxsim and waits for the listener's log line of that message.
  void Post(const WString& args, const std::string& line) {
    size_t before = Messages().size();
    ASSERT_EQ(Sim(u"post " + args), 0);
    ASSERT_TRUE(Eventually([&] {
      auto m = Messages();
      return std::find(m.begin() + static_cast<std::ptrdiff_t>(std::min(before, m.size())), m.end(), line) != m.end();
    })) << line;
  }

  WString records_;
  QmxsimServer server_;
};

TEST_F(ListenerWine, DriverMessagesFromAnotherProcess) {
  listenerThread = platform::StartThread(DriverListenThread, nullptr);
  ASSERT_NE(listenerThread, nullptr);
  EXPECT_TRUE(platform::SetThreadPriorityLevel(listenerThread, platform::kThreadPriorityAboveNormal));
  platform::ThreadId id = platform::ThreadIdOf(listenerThread);
  // Once the thread waits for messages it can be posted to; a message of nobody's is dispatched
  // and changes nothing.
  ASSERT_TRUE(Eventually([&] { return platform::PostToThread(id, 0x8200, 1, 0); }));
  ASSERT_TRUE(Eventually([&] { return server_.Running() && (InformDriver(), driverStatus.driverAnswered.load()); }));

  Post(u"kb 1", "TM_KBSTATUS: 1");
  EXPECT_EQ(driverStatus.keyboardOn.load(), 1);
  Post(u"mouse 1", "TM_MOUSESTATUS: 1");
  EXPECT_EQ(driverStatus.mouseOn.load(), 1);
  Post(u"mouse 2", "TM_MOUSESTATUS: 2");
  EXPECT_EQ(driverStatus.mouseOn.load(), 0);
  Post(u"kb 0xFFFFFFFF", "TM_KBSTATUS: -1");
  EXPECT_EQ(driverStatus.keyboardOn.load(), 0);

  // The radio comes on: the listener connects to the last active HID device of the stack.
  const std::string connected =
      "DoConnect: [c0ffee000001][Long" + std::string(244, 'x') + "][] active=1 auth=0 encr=1 trusted=1";
  Post(u"bluetooth 1", connected);
  EXPECT_EQ(driverStatus.bluetoothOn.load(), 1);
  EXPECT_EQ(driverStatus.deviceFound.load(), 1);
  Post(u"bluetooth 0", "TM_BLUETOOTH: 0");
  EXPECT_EQ(driverStatus.bluetoothOn.load(), 0);
  EXPECT_EQ(driverStatus.deviceFound.load(), 1);

  auto m = Messages();
  auto at = std::find(m.begin(), m.end(), "DriverListenThread thread running.");
  ASSERT_NE(at, m.end());
  std::vector<std::string> listened;
  for (const auto& line : m)
    if (line.rfind("TM_", 0) == 0 || line.rfind("DoConnect", 0) == 0 || line.rfind("Err#", 0) == 0)
      listened.push_back(line);
  EXPECT_EQ(listened, (std::vector<std::string>{"TM_KBSTATUS: 1", "TM_MOUSESTATUS: 1", "TM_MOUSESTATUS: 2",
                                                "TM_KBSTATUS: -1", "TM_BLUETOOTH: 1", connected, "TM_BLUETOOTH: 0"}));

  // Shutdown: once termination is requested the next message is the last one handled.
  terminateRequested = 1;
  EXPECT_FALSE(platform::WaitThread(listenerThread, 100));
  Post(u"kb 1", "TM_KBSTATUS: 1");
  EXPECT_TRUE(platform::WaitThread(listenerThread, 5000));
  EXPECT_EQ(driverStatus.keyboardOn.load(), 1);
}

// Desktop Windows has neither the device's control-panel host nor its bonding program, so these
// starts succeed only through the stand-in: the system's Bluetooth settings (under Wine, whose
// shell knows no Settings app, "control.exe bthprops.cpl", which starts and ends). A start that
// fails is not tried here: the shell would wait on its error box when a display is attached.
TEST(BluetoothPanelsWine, DesktopStandInForTheDevicesPanels) {
  EXPECT_EQ(LaunchProgram(u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23,1"), 1);
  EXPECT_EQ(LaunchProgram(u"\\Windows\\CtlPnl.exe", u"CPLMAIN.CPL,23"), 1);
  EXPECT_EQ(LaunchProgram(u"\\windows\\bthbond.exe", u""), 1);
  // "Change" answers 1 whatever happens; what it must do is start the system's Bluetooth
  // settings, a process of its own.
  int before = platform::win32test::ProcessesStartedSoFar();
  ASSERT_GE(before, 0);
  EXPECT_EQ(OpenBluetoothSettings(), 1);
  EXPECT_TRUE(Eventually([&] { return platform::win32test::ProcessesStartedSoFar() > before; }))
      << "the Bluetooth settings were not started";
}

}  // namespace

const WineSuite wineSuite = {"usage: bluetooth_wine_tests --qmxsim <qmxsim.exe> --fixtures <folder> --work <folder>",
                             {{"--fixtures", &winePaths.fixtures}},
                             nullptr,
                             nullptr};
