// The start-up steps that stand on their own, and the shutdown sequence on the host's models.
#include "tray/startup.h"

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
  AddTrayIcon(theGUI.MainWindow, kTrayIconId, theGUI.TrayIcon);
  closeEvent = MakeEvent();
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
  EXPECT_EQ(host::EventSignals(closeEvent), 1);
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
  CloseEvent(closeEvent);
  closeEvent = nullptr;
}

TEST_F(ShutdownTest, WithoutListenerOrWindowTheOtherStepsStillRun) {
  debugEnabled = 1;
  listenerThread = nullptr;
  TerminateApp();
  EXPECT_TRUE(Logged("TERM-3:  Threads terminated."));
  EXPECT_TRUE(Logged("TERM-5: Sending WM_QUIT"));
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
