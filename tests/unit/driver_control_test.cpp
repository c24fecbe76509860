#include "driver_link/driver_control.h"

#include <vector>

#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "gui/scale.h"
#include "platform/host/host_driver_channel.h"
#include "platform/host/host_screen.h"
#include "platform/threads.h"
#include "test_support.h"

namespace {

using platform::host::DriverEvent;
using Bytes = std::vector<uint8_t>;

class DriverControlTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ResetDriverState();
  }
  void TearDown() override {
    ResetDriverState();
    HostTest::TearDown();
  }
  static void ResetDriverState() {
    platform::host::DriverReset();
    platform::host::ScreenReset();
    ResetScale();
    listenerThread = nullptr;
    driverReady = 0;
    driverStatus.driverAnswered = 0;
    filterRecord = FilterRecord{};
  }
  void Screen(int32_t width, int32_t height) {
    platform::host::SetScreenSize(width, height);
    TheGUI->ComputeSize();
  }
  // The bytes of every request sent, in order.
  std::vector<Bytes> Sent(uint32_t code) {
    std::vector<Bytes> out;
    for (const DriverEvent& e : platform::host::DriverEvents())
      if (e.kind == DriverEvent::Control && e.code == code) out.push_back(e.input);
    return out;
  }
  std::vector<DriverEvent::Kind> Kinds() {
    std::vector<DriverEvent::Kind> out;
    for (const DriverEvent& e : platform::host::DriverEvents()) out.push_back(e.kind);
    return out;
  }
  void LogOn() {
    debugEnabled = 1;
    platform::host::SetTimeOfDaySource([] { return platform::TimeOfDay{8, 0, 0}; });
    platform::host::SetAvailableMemorySource([] { return uint64_t{1048576}; });
  }
  std::string Log() { return ReadDeviceFile(kDebugLogPath); }
};

TEST_F(DriverControlTest, InformRecordCarriesThreadScreenScaleAndReady) {
  platform::host::DriverSetPresent(true);
  platform::ThreadHandle thread = platform::StartThread([](void*) -> uint32_t { return 0; }, nullptr);
  ASSERT_NE(thread, nullptr);
  const uint32_t id = platform::ThreadIdOf(thread);
  ASSERT_NE(id, 0u);
  const Bytes idBytes = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id >> 16),
                         static_cast<uint8_t>(id >> 24)};
  struct Row {
    const char* label;
    int32_t width, height;
    bool listener;
    uint8_t ready;
    Bytes rest;  // the record after its first word
  } rows[] = {
      {"480 x 640, started", 480, 640, true, 1, {0xE0, 0x01, 0, 0, 0x80, 0x02, 0, 0, 2, 0,
                                                 0,    0,    2, 0, 0,    0,    1, 0, 0, 0}},
      {"240 x 320, no listener yet", 240, 320, false, 0, {0xF0, 0, 0, 0, 0x40, 0x01, 0, 0, 1, 0,
                                                          0,    0, 1, 0, 0,    0,    0, 0, 0, 0}},
      // The fourth word repeats the horizontal factor even where the vertical one differs.
      {"320 x 480", 320, 480, true, 1, {0x40, 0x01, 0, 0, 0xE0, 0x01, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::DriverClearEvents();
    ResetScale();
    Screen(r.width, r.height);
    listenerThread = r.listener ? thread : nullptr;
    driverReady = r.ready;
    InformDriver();
    std::vector<Bytes> sent = Sent(driver_protocol::IOCTL_INFORM_DRIVER);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 24u);
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 4), r.listener ? idBytes : Bytes(4, 0));
    EXPECT_EQ(Bytes(sent[0].begin() + 4, sent[0].end()), r.rest);
  }
  listenerThread = nullptr;
  platform::WaitThread(thread, 5000);
  platform::CloseThread(thread);
}

TEST_F(DriverControlTest, RotationIsSentWithTheNewSize) {
  platform::host::DriverSetPresent(true);
  Screen(480, 640);
  InformDriver();
  Screen(640, 480);
  InformDriver();
  std::vector<Bytes> sent = Sent(driver_protocol::IOCTL_INFORM_DRIVER);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(Bytes(sent[1].begin() + 4, sent[1].begin() + 20),
            (Bytes{0x80, 0x02, 0, 0, 0xE0, 0x01, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}));
}

TEST_F(DriverControlTest, OnlyAResultOfExactlyOneCountsAsAnswered) {
  platform::host::DriverSetPresent(true);
  LogOn();
  struct Row {
    uint32_t result;
    uint8_t answered;
  } rows[] = {{1, 1}, {0, 0}, {2, 0}, {0xFFFFFFFF, 0}, {0x101, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.result);
    platform::host::DriverSetResult(driver_protocol::IOCTL_INFORM_DRIVER, r.result);
    driverStatus.driverAnswered = 1 - r.answered;
    InformDriver();
    EXPECT_EQ(driverStatus.driverAnswered, r.answered);
  }
  EXPECT_EQ(Log(),
            " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 1\n"
            " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 0\n"
            " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 0\n"
            " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 0\n"
            " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 0\n");
}

TEST_F(DriverControlTest, MissingDeviceLeavesAnsweredAsItWasAndLogsNothing) {
  LogOn();
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 0);
  platform::host::DriverSetPresent(true);
  InformDriver();
  ASSERT_EQ(driverStatus.driverAnswered, 1);
  platform::host::DriverSetPresent(false);
  InformDriver();
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  EXPECT_EQ(ManageFilter(), 0);
  // Only the one call that reached the device wrote lines.
  EXPECT_EQ(Log(), " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 1\n");
  EXPECT_EQ(Sent(driver_protocol::IOCTL_INFORM_DRIVER).size(), 1u);
  EXPECT_EQ(Sent(driver_protocol::IOCTL_MANAGE_FILTER).size(), 0u);
}

// A driver that takes the request and never answers, and a device served by another user's
// program, both count as a driver that did not answer; the second is never sent a record and is
// logged once while it stays, again when it comes back after a good driver.
TEST_F(DriverControlTest, SilentOrForeignDriverCountsAsNotAnswered) {
  platform::host::DriverSetPresent(true);
  LogOn();
  struct Row {
    const char* what;
    bool mute, refused;
    int filter;
    bool sent;
  } rows[] = {
      {"answers", false, false, 1, true},        {"mute", true, false, 0, true},
      {"another user's", false, true, 0, false}, {"another user's again", false, true, 0, false},
      {"answers again", false, false, 1, true},  {"another user's once more", false, true, 0, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    platform::host::DriverSetMute(r.mute);
    platform::host::DriverSetRefused(r.refused);
    platform::host::DriverClearEvents();
    driverStatus.driverAnswered = 1;
    InformDriver();
    EXPECT_EQ(driverStatus.driverAnswered, r.mute || r.refused ? 0 : 1);
    EXPECT_EQ(ManageFilter(), r.filter);
    EXPECT_EQ(Sent(driver_protocol::IOCTL_INFORM_DRIVER).size() + Sent(driver_protocol::IOCTL_MANAGE_FILTER).size(),
              r.sent ? 2u : 0u);
    EXPECT_EQ(platform::host::DriverOpenDevices(), 0);
  }
  const std::string sent1 = " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 1\n";
  const std::string refused = " 8: 0: 0@1.000/0.000: QMX0: served by another user's program, not used\n";
  EXPECT_EQ(Log(), sent1 + " 8: 0: 0@1.000/0.000: prepare to send \n 8: 0: 0@1.000/0.000: sent: 0\n" + refused + sent1 +
                       refused);
}

TEST_F(DriverControlTest, EachOperationOpensSendsOnceAndCloses) {
  platform::host::DriverSetPresent(true);
  InformDriver();
  EXPECT_EQ(ManageFilter(), 1);
  using K = DriverEvent::Kind;
  EXPECT_EQ(Kinds(), (std::vector<K>{K::Open, K::Control, K::Close, K::Open, K::Control, K::Close}));
  EXPECT_EQ(platform::host::DriverEvents()[0].device, u"QMX0:");
  EXPECT_EQ(platform::host::DriverOpenDevices(), 0);
}

TEST_F(DriverControlTest, FilterRecordsFromStartUpToShutdown) {
  platform::host::DriverSetPresent(true);
  // A refused filter record is not noticed: the result only says the device was there.
  platform::host::DriverSetResult(driver_protocol::IOCTL_MANAGE_FILTER, 0);
  filterRecord.DriverByte = driver_protocol::kFilterDriverByte;
  SetFilterRecord(1, 0);  // start-up: keyboard on, mouse cleared at load
  EXPECT_EQ(ManageFilter(), 1);
  SetFilterRecord(2, 1);  // only 1 counts as on
  EXPECT_EQ(ManageFilter(), 1);
  SetFilterRecord(0, 0);  // shutdown: the filter stays on with nothing handled
  EXPECT_EQ(ManageFilter(), 1);
  EXPECT_EQ(Sent(driver_protocol::IOCTL_MANAGE_FILTER),
            (std::vector<Bytes>{{1, 1, 0, 0x51}, {1, 0, 1, 0x51}, {1, 0, 0, 0x51}}));
}

}  // namespace
