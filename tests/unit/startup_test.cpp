// The start-up steps that stand on their own, and the shutdown sequence on the host's models.
#include "tray/startup.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <mutex>

#include "driver_link/driver_protocol.h"
#include "driver_link/listener.h"
#include "gui/tray_icon.h"
#include "gui_fixture.h"
#include "platform/host/host_resources.h"
#include "platform/host/host_threads.h"
#include "platform/threads.h"
#include "tray/terminate_app.h"

namespace {

using namespace platform;

TEST(Startup, DeviceIdentifierTakesTwoDigitsPerByte) {
  uint8_t record[kDeviceIdRecordBytes] = {};
  const uint8_t id[9] = {0x05, 0x0F, 0xA0, 0x00, 0xFF, 0x10, 0x01, 0x7E, 0xC3};
  for (int i = 0; i < 9; ++i) record[20 + i] = id[i];
  record[19] = 0xEE;  // the header's last byte and the byte after the nine are not part of it
  record[29] = 0xDD;
  WChar text[kDeviceIdTextChars];
  FormatDeviceId(record, text);
  EXPECT_EQ(WString(text), u"050FA000FF10017EC3");
}

TEST(Startup, RunRule) {
  struct Row {
    uint32_t autostart;
    const WChar* line;
    bool runs;
  } rows[] = {
      {0, u"-tray", true},   {0, u"-TRAY", true},    {0, u"-TrAy", true},   {0, u"", false},
      {0, u" -tray", false}, {0, u"-tray x", false}, {0, u"tray", false},   {0, u"-tray ", false},
      {1, u"", true},        {1, u"anything", true}, {7, u"-tray x", true}, {0, nullptr, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(RunRuleAllows(r.autostart, r.line), r.runs)
        << r.autostart << " [" << (r.line ? ToUtf8(r.line, WLen(r.line)) : "null") << "]";
  }
}

class ShutdownTest : public GuiTest {};

// The whole sequence: saved, close event, filter off with the driver byte kept, the listener
// asked to end (it ends by itself: nothing is killed), the icon removed, the quit message.
TEST_F(ShutdownTest, TerminateAppStepsInOrder) {
  debugEnabled = 1;
  ASSERT_EQ(Open(), 1);
  theGUI.settings.Enable_Tray = 0;
  AddTrayIcon(theGUI.MainWindow, kTrayIconId, theGUI.TrayIcon.handle());
  closeEvent.Reset(MakeEvent());
  filterRecord = FilterRecord{1, 1, 1, 0x51};
  listenerThread = StartThread(DriverListenThread, nullptr);
  ASSERT_TRUE(host::WaitForQueue(ThreadIdOf(listenerThread), 5000));
  int killsBefore = host::TerminateCalls();
  host::DriverClearEvents();
  std::filesystem::remove(host::HostPath(kDebugLogPath));

  Destroy(theGUI.MainWindow);

  auto lines = LogLines();
  std::vector<std::string> term;
  for (const auto& l : lines)
    if (l.rfind("TERM", 0) == 0) term.push_back(l);
  EXPECT_EQ(term, (std::vector<std::string>{"TERM: Terminate app signal!", "TERM-1: REG Settings saved: 1",
                                            "TERM-2: ManageFilter(1,0,0)= 1", "TERM-3:  Threads terminated.",
                                            "TERM-4: resources deleted.", "TERM-5: Sending WM_QUIT"}));
  EXPECT_EQ(terminateRequested.load(), 1);
  EXPECT_EQ(host::EventSignals(closeEvent.handle()), 1);
  EXPECT_EQ(Filters().back(), (std::vector<uint8_t>{1, 0, 0, 0x51}));
  EXPECT_EQ(listenerThread, nullptr);
  EXPECT_EQ(host::TerminateCalls(), killsBefore);
  EXPECT_EQ(listenerKilled.load(), 0);
  // Removed even though the setting is off.
  EXPECT_EQ(host::TrayIconCount(), 0);
  auto sleeps = host::Sleeps();
  EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 100u), sleeps.end());
  Message quit{};
  EXPECT_EQ(GetNextMessage(quit), 0);
  EXPECT_EQ(quit.wParam, 0u);
  closeEvent.Close();
}

// A listener that does not leave its work within the wait is stopped from outside; the lock it
// holds then stays held, and the end of the process must not wait for it.
TEST_F(ShutdownTest, ListenerStuckInConnectIsStoppedAndTheEndTakesNoLockItHolds) {
  debugEnabled = 1;
  ASSERT_EQ(Open(), 1);
  std::mutex m;
  std::condition_variable cv;
  bool entered = false, release = false;
  host::RegistrySetOpenHook([&](const WString& path) {
    if (path.find(u"bluetooth") == WString::npos) return;
    std::unique_lock<std::mutex> hold(m);
    entered = true;
    cv.notify_all();
    cv.wait(hold, [&] { return release; });
  });
  driverStatus.bluetoothOn = 1;
  listenerThread = StartThread(DriverListenThread, nullptr);
  ThreadId id = ThreadIdOf(listenerThread);
  ASSERT_TRUE(host::WaitForQueue(id, 5000));
  ASSERT_TRUE(PostToThread(id, driver_protocol::TM_BLUETOOTH, 1, 0));
  {
    std::unique_lock<std::mutex> hold(m);
    ASSERT_TRUE(cv.wait_for(hold, std::chrono::seconds(5), [&] { return entered; }));
  }
  int kills = host::TerminateCalls();

  Destroy(theGUI.MainWindow);

  EXPECT_TRUE(Logged("TERM-3: listener did not end within 1000 ms, stopped"));
  EXPECT_TRUE(Logged("TERM-5: Sending WM_QUIT"));
  EXPECT_EQ(host::TerminateCalls(), kills + 1);
  EXPECT_EQ(listenerKilled.load(), 1);
  auto end = std::async(std::launch::async, ReleaseAtExit);
  EXPECT_EQ(end.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the end waited for the lock";
  {
    std::lock_guard<std::mutex> hold(m);
    release = true;
  }
  cv.notify_all();
  end.wait();
  ASSERT_TRUE(host::WaitUntilIdle(id, 5000));  // the thread has finished its work and ended
  host::RegistrySetOpenHook({});
  listenerKilled = 0;
  driverStatus.bluetoothOn = 0;
}

// Asked to end while it scans a large stack, the listener stops the scan and ends in time.
TEST_F(ShutdownTest, ListenerScanningAtShutdownStopsTheScan) {
  debugEnabled = 1;
  std::string reg = "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID]\n";
  for (int i = 0; i < 50; ++i) {
    char key[96];
    std::snprintf(key, sizeof key, "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID\\%012x]\n", i);
    reg += std::string(key) + "\"active\"=dword:00000000\n";
    // Entries that name no device, and devices of a later class: none of them is read either.
    std::snprintf(key, sizeof key, "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID\\zz%d]\n", i);
    reg += key;
    std::snprintf(key, sizeof key, "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\PAN\\%012x]\n", i);
    reg += key;
  }
  LoadReg(reg);
  ASSERT_EQ(Open(), 1);
  std::atomic<int> opens{0}, later{0};
  host::RegistrySetOpenHook([&](const WString& path) {
    // The third device key is where the shutdown begins.
    if (path.find(u"bluetooth\\device\\hid\\") != WString::npos && ++opens == 3) {
      terminateRequested = 1;
    }
    if (terminateRequested && path.find(u"bluetooth\\device\\pan") != WString::npos) ++later;
  });
  driverStatus.bluetoothOn = 1;
  listenerThread = StartThread(DriverListenThread, nullptr);
  ThreadId id = ThreadIdOf(listenerThread);
  ASSERT_TRUE(host::WaitForQueue(id, 5000));
  ASSERT_TRUE(PostToThread(id, driver_protocol::TM_BLUETOOTH, 1, 0));
  ASSERT_TRUE(host::WaitUntilIdle(id, 5000));
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DoConnect: the program is ending, scan stopped"), 1);
  EXPECT_EQ(opens.load(), 3);
  EXPECT_EQ(later.load(), 0);
  host::RegistrySetOpenHook({});
  PostToThread(id, kWmQuit, 0, 0);
  EXPECT_TRUE(WaitThread(listenerThread, 5000));
  CloseThread(listenerThread);
  listenerThread = nullptr;
  driverStatus.bluetoothOn = 0;
}

TEST_F(ShutdownTest, WithoutListenerOrWindowTheOtherStepsStillRun) {
  debugEnabled = 1;
  listenerThread = nullptr;
  filterRecord = FilterRecord{1, 1, 1, 0x51};
  host::DriverClearEvents();
  TerminateApp();
  std::vector<std::string> term;
  for (const auto& l : LogLines())
    if (l.rfind("TERM", 0) == 0) term.push_back(l);
  EXPECT_EQ(term, (std::vector<std::string>{"TERM: Terminate app signal!", "TERM-1: REG Settings saved: 1",
                                            "TERM-2: ManageFilter(1,0,0)= 1", "TERM-3:  Threads terminated.",
                                            "TERM-4: resources deleted.", "TERM-5: Sending WM_QUIT"}));
  EXPECT_EQ(Filters().back(), (std::vector<uint8_t>{1, 0, 0, 0x51}));
  host::MessagesReset();
}

TEST_F(ShutdownTest, ExtractResourceFileWritesTheWholeResourceOrNothing) {
  const std::string jpeg("\xFF\xD8\x00\x01\x02\xFF\xD9", 7);
  host::SetModuleResource(u"DAT", ResourceId(147), jpeg);
  EXPECT_EQ(ExtractResourceFile(u"\\Quillmote\\images\\morvane.jpg", u"DAT", 147), 1);
  EXPECT_EQ(ReadDeviceFile(u"\\Quillmote\\images\\morvane.jpg"), jpeg);
  // Replaced, not appended to.
  EXPECT_EQ(ExtractResourceFile(u"\\Quillmote\\images\\morvane.jpg", u"DAT", 147), 1);
  EXPECT_EQ(ReadDeviceFile(u"\\Quillmote\\images\\morvane.jpg"), jpeg);
  EXPECT_EQ(ExtractResourceFile(u"\\Quillmote\\images\\badge.jpg", u"DAT", 146), 0);
  EXPECT_FALSE(FileExists(u"\\Quillmote\\images\\badge.jpg"));
  EXPECT_EQ(ExtractResourceFile(u"\\NoSuchFolder\\morvane.jpg", u"DAT", 147), 0);
  host::ResourcesReset();
}

}  // namespace
