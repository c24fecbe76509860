// The driver listener thread on the host's message queues.
#include "driver_link/listener.h"

#include "bluetooth/connect.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "platform/host/host_messages.h"
#include "platform/host/host_shell.h"
#include "platform/threads.h"
#include "test_support.h"
#include "tests/log_lines.h"

namespace {

using namespace driver_protocol;

const auto kWindow = reinterpret_cast<platform::WindowHandle>(0x5150);
constexpr uint32_t kForeign = 0x8200;

class ListenerTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    platform::host::MessagesReset();
    platform::host::ShellReset();
    ReleaseSelectedDevice();
    ResetServiceDefaults();
    for (auto* f :
         {&driverStatus.bluetoothOn, &driverStatus.deviceFound, &driverStatus.mouseOn, &driverStatus.keyboardOn})
      f->store(0);
    terminateRequested = 0;
    theGUI.MainWindow = kWindow;
    theGUI.CurrentPage = 1;
    debugEnabled = 1;
  }
  void TearDown() override {
    Stop();
    terminateRequested = 0;
    theGUI.MainWindow = nullptr;
    theGUI.CurrentPage = 0;
    ReleaseSelectedDevice();
    ResetServiceDefaults();
    HostTest::TearDown();
  }
  void Start() {
    thread_ = platform::StartThread(DriverListenThread, nullptr);
    ASSERT_NE(thread_, nullptr);
    id_ = platform::ThreadIdOf(thread_);
    ASSERT_TRUE(platform::host::WaitForQueue(id_, 5000));
  }
  // Posts one message and waits until the listener has handled it.
  void Post(uint32_t message, uintptr_t wParam) {
    ASSERT_TRUE(platform::PostToThread(id_, message, wParam, 0));
    ASSERT_TRUE(platform::host::WaitUntilIdle(id_, 5000));
  }
  void Stop() {
    if (!thread_) return;
    platform::PostToThread(id_, platform::kWmQuit, 0, 0);
    EXPECT_TRUE(platform::WaitThread(thread_, 5000));
    platform::CloseThread(thread_);
    thread_ = nullptr;
  }
  std::vector<std::string> LogLines() { return LogMessages(ReadDeviceFile(kDebugLogPath)); }

  platform::ThreadHandle thread_ = nullptr;
  platform::ThreadId id_ = 0;
};

TEST_F(ListenerTest, EachDriverMessageSetsItsFlag) {
  struct Row {
    const char* label;
    uint32_t message;
    uintptr_t wParam;
    std::atomic<uint8_t>* flag;
    uint8_t before, after;
    const char* line;
  };
  const Row rows[] = {
      {"keyboard on", TM_KBSTATUS, 1, &driverStatus.keyboardOn, 0, 1, "TM_KBSTATUS: 1"},
      {"keyboard off", TM_KBSTATUS, 0, &driverStatus.keyboardOn, 1, 0, "TM_KBSTATUS: 0"},
      {"mouse on", TM_MOUSESTATUS, 1, &driverStatus.mouseOn, 0, 1, "TM_MOUSESTATUS: 1"},
      {"mouse 2 is off", TM_MOUSESTATUS, 2, &driverStatus.mouseOn, 1, 0, "TM_MOUSESTATUS: 2"},
      {"all bits set is off", TM_KBSTATUS, 0xFFFFFFFFu, &driverStatus.keyboardOn, 1, 0, "TM_KBSTATUS: -1"},
      {"only the state's low 32 bits are logged", TM_KBSTATUS, uintptr_t{0x100000001}, &driverStatus.keyboardOn, 0, 0,
       "TM_KBSTATUS: 1"},
      {"radio off", TM_BLUETOOTH, 0, &driverStatus.bluetoothOn, 1, 0, "TM_BLUETOOTH: 0"},
  };
  Start();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    r.flag->store(r.before);
    Post(r.message, r.wParam);
    EXPECT_EQ(r.flag->load(), r.after);
    EXPECT_EQ(LogLines().back(), r.line);
  }
  EXPECT_EQ(LogLines().front(), "DriverListenThread thread running.");
  EXPECT_TRUE(platform::host::DispatchedMessages().empty());
  EXPECT_TRUE(platform::host::ShellCalls().empty());
}

TEST_F(ListenerTest, RadioOnConnectsEveryTimeRadioOffNever) {
  LoadReg(
      "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID\\001a2b3c4d5e]\n\"name\"=\"Travel "
      "Mouse\"\n\"active\"=dword:00000001\n");
  Start();
  Post(TM_BLUETOOTH, 1);
  EXPECT_EQ(driverStatus.bluetoothOn.load(), 1);
  EXPECT_EQ(driverStatus.deviceFound.load(), 1);
  Post(TM_BLUETOOTH, 1);  // already on: connects again
  platform::host::RegistryReset();
  Post(TM_BLUETOOTH, 0);  // off: no connect, the device stays found
  EXPECT_EQ(driverStatus.bluetoothOn.load(), 0);
  EXPECT_EQ(driverStatus.deviceFound.load(), 1);
  const std::string connected = "DoConnect: [001a2b3c4d5e][Travel Mouse][] active=1 auth=0 encr=0 trusted=1";
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"DriverListenThread thread running.", "TM_BLUETOOTH: 1", connected,
                                                  "TM_BLUETOOTH: 1", connected, "TM_BLUETOOTH: 0"}));
  EXPECT_TRUE(platform::host::ShellCalls().empty()) << "the listener never shows a box";
}

TEST_F(ListenerTest, RadioOnWithoutDeviceOnlyLogs) {
  Start();
  Post(TM_BLUETOOTH, 1);
  EXPECT_EQ(driverStatus.deviceFound.load(), 0);
  EXPECT_EQ(LogLines().back(), "Err#3 No HID Device.");
  EXPECT_TRUE(platform::host::ShellCalls().empty());
}

TEST_F(ListenerTest, RepaintRequestedOnlyWhileTheStatusPageIsCurrent) {
  Start();
  for (int32_t page : {0, 1, 3, 4}) {
    theGUI.CurrentPage = page;
    Post(TM_KBSTATUS, 1);
  }
  EXPECT_TRUE(platform::host::Invalidations().empty());
  theGUI.CurrentPage = 2;
  Post(TM_KBSTATUS, 0);
  Post(TM_MOUSESTATUS, 1);
  Post(TM_BLUETOOTH, 0);
  Post(kForeign, 1);
  auto inv = platform::host::Invalidations();
  ASSERT_EQ(inv.size(), 3u) << "one per driver message, none for another message";
  for (const auto& i : inv) {
    EXPECT_EQ(i.window, kWindow);
    EXPECT_FALSE(i.erase);
  }
}

TEST_F(ListenerTest, OtherMessagesAreDispatchedAndChangeNothing) {
  theGUI.CurrentPage = 2;
  Start();
  Post(kForeign, 1);
  Post(TM_KBSTATUS + 3, 1);
  auto dispatched = platform::host::DispatchedMessages();
  ASSERT_EQ(dispatched.size(), 2u);
  EXPECT_EQ(dispatched[0].message, kForeign);
  EXPECT_EQ(dispatched[0].wParam, 1u);
  EXPECT_EQ(dispatched[1].message, TM_KBSTATUS + 3);
  for (auto* f : {&driverStatus.bluetoothOn, &driverStatus.mouseOn, &driverStatus.keyboardOn}) EXPECT_EQ(f->load(), 0);
  EXPECT_TRUE(platform::host::Invalidations().empty());
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DriverListenThread thread running."});
}

TEST_F(ListenerTest, EndsAfterTheFirstMessageOnceTerminationIsRequested) {
  Start();
  Post(TM_KBSTATUS, 1);
  terminateRequested = 1;
  EXPECT_FALSE(platform::WaitThread(thread_, 50)) << "still waiting for a message";
  ASSERT_TRUE(platform::PostToThread(id_, TM_MOUSESTATUS, 1, 0));
  EXPECT_TRUE(platform::WaitThread(thread_, 5000));
  EXPECT_EQ(driverStatus.mouseOn.load(), 1) << "the message that woke it is still handled";
  EXPECT_EQ(LogLines().back(), "TM_MOUSESTATUS: 1");
}

TEST_F(ListenerTest, RequestedBeforeTheFirstWaitItNeverWaits) {
  terminateRequested = 1;
  thread_ = platform::StartThread(DriverListenThread, nullptr);
  EXPECT_TRUE(platform::WaitThread(thread_, 5000));
  EXPECT_EQ(LogLines(), std::vector<std::string>{"DriverListenThread thread running."});
}

// The quit message ends the listener, and so does a wait that fails, which would fail again at
// once: the listener must not spin on it (a stop from outside is the platform's own business,
// checked by the threads contract).
TEST_F(ListenerTest, QuitOrAFailedWaitEndsTheListener) {
  Start();
  Post(platform::kWmQuit, 0);
  EXPECT_TRUE(platform::WaitThread(thread_, 5000));
  platform::CloseThread(thread_);
  thread_ = nullptr;

  Start();
  Post(TM_KBSTATUS, 1);
  platform::host::FailWaits(id_);
  EXPECT_TRUE(platform::WaitThread(thread_, 5000)) << "the listener goes on waiting after a failed wait";
  EXPECT_EQ(LogLines().back(), "TM_KBSTATUS: 1") << "nothing was handled after the failed wait";
}

}  // namespace
