// Ollendock.exe and Ollenset.cpl as a user meets them under Wine: started, run and ended, each
// scenario checked through the debug log, the registry, qmxsim's record log and the windows.
// usage: ollendock_e2e_tests --qmxsim EXE --fixtures DIR --work DIR --ollendock EXE --ollenset CPL
//        --fake-radio DLL --resources DIR
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/win32/testing/win32_test_support.h"
#include "platform/window.h"
#include "tests/eventually.h"
#include "tests/log_lines.h"
#include "tests/wine/installed_content.h"
#include "tests/wine/qmxsim_server.h"
#include "tests/wine/wine_test_options.h"
#include "tray/debug_log.h"
#include "tray/program_names.h"
#include "tray/registry_access.h"
#include "tray/wformat.h"

namespace {

using namespace platform;
using namespace platform::win32test;

std::string ollendock, ollenset, fakeRadio, resources;  // the options beyond the shared ones
constexpr WChar kPlantedMark[] = u"C:\\planted-program-ran.txt";
constexpr WChar kPlantedProgram[] = u"C:\\Planted\\Ollendock.exe";
constexpr WChar kInstall[] = u"C:\\QuillmoteE2E";
constexpr WChar kSystemRadio[] = u"C:\\windows\\system32\\bluetoothapis.dll";

// The program as the installer leaves it: the executable, its pictures and its help page.
void InstallProgram() {
  Installation program{kInstall, {QM_WINDOW_PICTURES}};
  program.help = true;
  program.program = ollendock;
  Install(program, resources);
}

void SetDword(const WChar* name, uint32_t v) {
  ASSERT_EQ(WriteSetting(name, kRegDword, &v, sizeof v), 1) << ToUtf8(name);
}

class OllendockE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InstallProgram(); }
  void SetUp() override {
    RegDeleteKeyTree(RegRoot::Machine, kProgramKey);
    RegDeleteKeyTree(RegRoot::User, kProgramKey);
    RegWriteValue(kProgramKey, u"InstallPath", kRegSz, kInstall, sizeof kInstall);
    uint32_t on = 1;
    RegWriteValue(kProgramKey, u"EnableDebug", kRegDword, &on, sizeof on);
    SetDword(u"Enable_Tray", 0);
    SetDword(u"Enable_KB", 1);
    SetDword(u"Enable_Autostart", 0);
    RemoveFile(DebugLogFile());
    RemoveFile(kSystemRadio);
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override {
    // Nothing of a scenario runs on into the next.
    for (Background* p : {&first_, &second_}) {
      if (!p->Running()) continue;
      if (WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle)) Post(w, kWmClose, 0, 0);
      p->Stop(10000);
    }
    // A program the control panel started is nobody's child here: it is closed by its window.
    for (int i = 0; i < 100 && FindTopLevel(kMainWindowClass, kMainWindowTitle); ++i) {
      if (i % 20 == 0) Post(FindTopLevel(kMainWindowClass, kMainWindowTitle), kWmClose, 0, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    qmxsim_.Stop();
    RemoveFile(kSystemRadio);
    SetEnvironment("WINEDLLOVERRIDES", "mscoree,mshtml=");
  }

  bool Serve() { return qmxsim_.Start(WindowsPath(winePaths.work + "/" + name_ + ".records")); }
  WString Program(const WString& arguments) {
    return Quoted(u"C:\\QuillmoteE2E\\Ollendock.exe") + (arguments.empty() ? u"" : u" " + arguments);
  }
  std::vector<std::string> Log() { return DebugLogMessages(); }
  bool WaitLogged(const std::string& prefix) {
    return Eventually([&] { return DebugLogHas(prefix); });
  }
  // Starts the program with "-tray" and waits until its start-up is done.
  bool StartTray() { return first_.Start(Program(u"-tray")) && WaitLogged("INIT-10:"); }
  // The life-cycle lines of the log, in order: start-up and shutdown steps, and the end.
  std::vector<std::string> Trace() {
    std::vector<std::string> out;
    for (const auto& l : Log()) {
      for (const char* p : {"Autostart:", "INIT-", "TERM", "QUIT:", "Free res.", "GUI::Release::Destroy:"})
        if (StartsWith(l, p)) out.push_back(l);
    }
    return out;
  }
  // Closes the running program's window and waits for its end; its exit code.
  int Close(Background& program) {
    WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
    EXPECT_NE(w, nullptr);
    if (w) Post(w, kWmClose, 0, 0);
    int code = -99;
    EXPECT_TRUE(program.Ended(15000, &code)) << "the program did not end";
    return code;
  }
  static bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

  std::string name_;
  QmxsimServer qmxsim_;
  Background first_, second_;
};

TEST_F(OllendockE2E, NormalStartAndEnd) {
  SetDword(u"Enable_Tray", 1);
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(WaitLogged("INIT-10: Bluetooth mode: 0"));
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsShown(w));  // created hidden; the driver answered, so nothing shows it
  // The icon in the notification area while it runs, gone with the program.
  EXPECT_TRUE(TrayIconThere(w, 5000));
  EXPECT_EQ(Close(first_), 0);
  EXPECT_FALSE(TrayIconThere(w, 5000));
  std::vector<std::string> t = Trace();
  const char* order[] = {"Autostart: 0",
                         "INIT-0: Created close event ",
                         "INIT-1: CT-0 (app main) thread: ",
                         "INIT-2: REG Settings: 1",
                         "INIT-3: Screen size: 240x320, DRAX(2)=2, DRAY(2)=2, MH=26",
                         "INIT-6: CT-3 (msg listener) thread: ",
                         "INIT-7: ActivateDevice = 0.",
                         "INIT-8: Ping Driver response: [SUCCESS]",
                         "INIT-9: ManageFilter(1,1,1)= 1",
                         "INIT-10: Bluetooth mode: 0",
                         "TERM: Terminate app signal!",
                         "TERM-1: REG Settings saved: 1",
                         "TERM-2: ManageFilter(1,0,0)= 1",
                         "TERM-3:  Threads terminated.",
                         "TERM-4: resources deleted.",
                         "TERM-5: Sending WM_QUIT",
                         "Free res. App quit.",
                         "GUI::Release::Destroy: "};
  ASSERT_EQ(t.size(), std::size(order)) << ::testing::PrintToString(t);
  for (size_t i = 0; i < t.size(); ++i) EXPECT_TRUE(StartsWith(t[i], order[i])) << i << ": " << t[i];
  std::vector<std::string> all = Log();
  EXPECT_TRUE(StartsWith(all.back(), "GUI::Release::Destroy: ")) << all.back();
  // The driver saw the keyboard switched on at the start and everything off at the end, each
  // record tagged with the driver byte.
  std::string records = qmxsim_.Records();
  size_t on = records.find("filter 01 01 00 51"), off = records.rfind("filter 01 00 00 51");
  EXPECT_NE(on, std::string::npos) << records;
  EXPECT_NE(off, std::string::npos);
  EXPECT_LT(on, off);
  // The two pictures are written out at every start.
  EXPECT_TRUE(FileExists(u"C:\\QuillmoteE2E\\images\\morvane.jpg"));
  EXPECT_TRUE(FileExists(u"C:\\QuillmoteE2E\\images\\iton.jpg"));
}

// The system announces a resume from sleep: the driver is told again, with the filter record.
TEST_F(OllendockE2E, ResumeInformsTheDriverAgain) {
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(StartTray());
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  std::string before = qmxsim_.Records();
  EXPECT_EQ(Send(w, kWmPowerBroadcast, 0x12 /* PBT_APMRESUMEAUTOMATIC */, 0), 1);
  ASSERT_TRUE(WaitLogged("GUI: resumed, driver informed again: 1, ManageFilter= 1"));
  std::string after = qmxsim_.Records().substr(before.size());
  size_t inform = after.find("inform "), filter = after.find("filter 01 01 00 51");
  EXPECT_NE(inform, std::string::npos) << after;
  EXPECT_NE(filter, std::string::npos) << after;
  EXPECT_LT(inform, filter);
  // The record sent is the current one: with the keyboard switched off, the keyboard stays off.
  Send(ChildById(w, 773), kBmClick, 0, 0);
  before = qmxsim_.Records();
  EXPECT_EQ(Send(w, kWmPowerBroadcast, 0x12, 0), 1);
  ASSERT_TRUE(Eventually([&] {
    std::vector<std::string> l = Log();
    return std::count(l.begin(), l.end(), "GUI: resumed, driver informed again: 1, ManageFilter= 1") == 2;
  }));
  after = qmxsim_.Records().substr(before.size());
  EXPECT_NE(after.find("inform "), std::string::npos) << after;
  EXPECT_NE(after.find("filter 01 00 00 51"), std::string::npos) << after;
  EXPECT_EQ(after.find("filter 01 01"), std::string::npos) << after;
  // A driver that is gone after the resume is not reported as informed.
  qmxsim_.Stop();
  EXPECT_EQ(Send(w, kWmPowerBroadcast, 0x12, 0), 1);
  EXPECT_TRUE(WaitLogged("GUI: resumed, driver informed again: 0, ManageFilter= 0"));
  EXPECT_EQ(Close(first_), 0);
}

TEST_F(OllendockE2E, RunRule) {
  struct Row {
    uint32_t autostart;
    const WChar* arguments;
    bool runs;
  } rows[] = {{0, u"-TRAY", true},   {0, u"", false}, {0, u"-tray x", false}, {0, u" -tray", false},
              {0, u"-tray ", false}, {1, u"", true},  {1, u"something", true}};
  ASSERT_TRUE(Serve());
  for (const Row& r : rows) {
    SCOPED_TRACE("autostart " + std::to_string(r.autostart) + " [" + ToUtf8(r.arguments) + "]");
    SetDword(u"Enable_Autostart", r.autostart);
    RemoveFile(DebugLogFile());
    ASSERT_TRUE(first_.Start(Program(r.arguments)));
    if (r.runs) {
      ASSERT_TRUE(WaitLogged("INIT-10:"));
      EXPECT_EQ(Close(first_), 0);
    } else {
      int code = -99;
      ASSERT_TRUE(first_.Ended(10000, &code));
      EXPECT_EQ(code, 0);
      // Only the banner and the autostart line: nothing was made. The banner names the device
      // by the nine bytes of its identifier, two upper-case hexadecimal digits each.
      std::vector<std::string> said;
      for (const std::string& l : Log())
        if (!l.empty()) said.push_back(l);
      ASSERT_EQ(said.size(), 4u) << ::testing::PrintToString(said);
      EXPECT_EQ(said[0], "Init tray app.");
      EXPECT_EQ(said[1], "--------------------------");
      EXPECT_TRUE(std::regex_match(said[2], std::regex(R"(Device: \[[^\]]*\] ID: \[[0-9A-F]{18}\])"))) << said[2];
      EXPECT_EQ(said[3], "Autostart: 0");
    }
  }
}

TEST_F(OllendockE2E, SecondStartBringsTheFirstForward) {
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(StartTray());
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  ASSERT_NE(w, nullptr);
  ASSERT_FALSE(IsShown(w));
  RemoveFile(u"C:\\QuillmoteE2E\\images\\morvane.jpg");
  ASSERT_TRUE(second_.Start(Program(u"-tray")));
  int code = 0;
  ASSERT_TRUE(second_.Ended(15000, &code));
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(DebugLogHas("QUIT: Duplicate instance"));
  // Shown and in front: the handle given to the window manager is the window's own.
  EXPECT_TRUE(Eventually([&] { return IsShown(w) && ForegroundNow() == w; }));
  EXPECT_TRUE(FileExists(u"C:\\QuillmoteE2E\\images\\morvane.jpg"));  // rewritten by the second start
  EXPECT_TRUE(first_.Running());
  EXPECT_EQ(Close(first_), 0);
}

TEST_F(OllendockE2E, TwoStartsAtOnceLeaveOne) {
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(second_.Start(Program(u"-tray")));
  // One of them ends as a duplicate, the other runs on with the only window.
  int code = 0;
  Background* ended = nullptr;
  ASSERT_TRUE(Eventually([&] {
    if (first_.Ended(0, &code)) ended = &first_;
    if (second_.Ended(0, &code)) ended = &second_;
    return ended != nullptr;
  }));
  EXPECT_EQ(code, -1);
  Background& survivor = ended == &first_ ? second_ : first_;
  ASSERT_TRUE(Eventually([&] { return FindTopLevel(kMainWindowClass, kMainWindowTitle) != nullptr; }));
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_TRUE(survivor.Running());
  EXPECT_EQ(CountTopLevelWindows(kMainWindowClass), 1);
  EXPECT_EQ(WindowProcess(FindTopLevel(kMainWindowClass, kMainWindowTitle)), survivor.Pid());
  std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "QUIT: Duplicate instance"), 1);
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return StartsWith(l, "INIT-6:"); }), 1);
  EXPECT_EQ(Close(survivor), 0);
}

TEST_F(OllendockE2E, DriverAbsentShowsTheCriticalErrorAboveTheWindow) {
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(WaitLogged("INIT-8: Ping Driver response: [FAILED]"));
  WindowHandle box = nullptr;
  ASSERT_TRUE(Eventually([&] { return (box = FindTopLevel(u"#32770", u"#1 Critical Error")) != nullptr; }));
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  EXPECT_TRUE(IsShown(w));
  // The box belongs to the window and stands above it. (It also asks to be topmost, which Wine
  // ignores.)
  EXPECT_EQ(OwnerOf(box), w);
  EXPECT_TRUE(Eventually([&] { return IsShown(box); }));  // the dialog exists a moment before it shows
  EXPECT_TRUE(Eventually([&] { return IsAbove(box, w); }));
  EXPECT_FALSE(DebugLogHas("INIT-9"));  // start-up waits for the user
  Post(box, kWmClose, 0, 0);
  ASSERT_TRUE(WaitLogged("INIT-10:"));
  EXPECT_TRUE(DebugLogHas("INIT-9: ManageFilter(1,1,1)= 0"));
  EXPECT_TRUE(first_.Running());
  EXPECT_EQ(Close(first_), 0);
  EXPECT_TRUE(DebugLogHas("TERM-5: Sending WM_QUIT"));
}

// The system's Bluetooth API reports a radio that is on, and the stack knows a paired keyboard:
// start-up looks for it at once.
TEST_F(OllendockE2E, RadioOnAtStartFindsThePairedDevice) {
  ASSERT_EQ(RunProgram(u"regedit /s " + Quoted(WindowsPath(winePaths.fixtures + "/bluetooth_devices.reg"))), 0);
  CopyInto(WindowsPath(fakeRadio), kSystemRadio);
  SetEnvironment("WINEDLLOVERRIDES", "mscoree,mshtml=;bluetoothapis=n");
  SetEnvironment("QM_FAKE_RADIO", "2");
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(WaitLogged("INIT-10: Bluetooth mode: 1"));
  ASSERT_TRUE(WaitLogged("DoConnect: ["));
  EXPECT_EQ(Close(first_), 0);
  // The radio off: the same start does not look.
  RemoveFile(DebugLogFile());
  SetEnvironment("QM_FAKE_RADIO", "0");
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(WaitLogged("INIT-10: Bluetooth mode: 0"));
  EXPECT_FALSE(DebugLogHas("DoConnect:"));
  EXPECT_EQ(Close(first_), 0);
  RegDeleteKeyTree(u"software\\microsoft\\bluetooth\\device");
}

// A radio-on message reaches the listener as the program shuts down: the listener is in the middle
// of a long scan; it stops the scan, ends in time, and the program ends with its whole trace.
TEST_F(OllendockE2E, RadioOnDuringShutdownStillEnds) {
  // A stack with many paired devices: a scan of them takes seconds.
  for (int i = 0; i < 20000; ++i) {
    WChar path[128];
    FormatWide(path, 128, u"software\\microsoft\\bluetooth\\device\\HID\\%012x", 0x001a2b000000LL + i);
    uint32_t active = 0;
    ASSERT_EQ(RegWriteValue(path, u"active", kRegDword, &active, sizeof active), 1);
  }
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(StartTray());
  ASSERT_EQ(qmxsim_.Sim(u"post bluetooth 1"), 0);
  ASSERT_TRUE(WaitLogged("TM_BLUETOOTH: 1"));
  EXPECT_EQ(Close(first_), 0);
  EXPECT_TRUE(DebugLogHas("DoConnect: the program is ending, scan stopped"));
  EXPECT_FALSE(DebugLogHas("TERM-3: listener did not end"));
  for (const char* line : {"TERM-1:", "TERM-2:", "TERM-3:  Threads terminated.", "TERM-4:", "TERM-5:", "Free res."})
    EXPECT_TRUE(DebugLogHas(line)) << line;
  RegDeleteKeyTree(u"software\\microsoft\\bluetooth\\device");
}

// The control panel hosts Ollenset.cpl: opening its entry starts the program and brings its
// window forward; opening it again while the program runs brings the same window forward.
TEST_F(OllendockE2E, ControlPanelEntryStartsTheProgram) {
  CopyInto(WindowsPath(ollenset), u"C:\\windows\\system32\\Ollenset.cpl");
  ASSERT_TRUE(Serve());
  ASSERT_EQ(RunProgram(u"control.exe Ollenset.cpl", nullptr, 30000), 0);
  ASSERT_TRUE(WaitLogged("INIT-10:"));
  WindowHandle w = nullptr;
  ASSERT_TRUE(
      Eventually([&] { return (w = FindTopLevel(kMainWindowClass, kMainWindowTitle)) != nullptr && IsShown(w); }));
  Show(w, kSwHide);
  ASSERT_TRUE(Eventually([&] { return !IsShown(w); }));
  ASSERT_EQ(RunProgram(u"control.exe Ollenset.cpl", nullptr, 30000), 0);
  EXPECT_TRUE(Eventually([&] { return IsShown(w) && ForegroundNow() == w; }));
  // The applet shows the window itself; the second program may log its end a moment later.
  EXPECT_TRUE(WaitLogged("QUIT: Duplicate instance"));
  EXPECT_EQ(CountTopLevelWindows(kMainWindowClass), 1);
  Post(w, kWmClose, 0, 0);
  EXPECT_TRUE(Eventually([&] { return FindTopLevel(kMainWindowClass, kMainWindowTitle) == nullptr; }));
  RemoveFile(u"C:\\windows\\system32\\Ollenset.cpl");
}

// What a user may write never names a program to start: neither "InstallPath" in the user's key
// (the control panel starts the installed program) nor "AboutWebLink" (which is read from the
// machine key only, and opened only when it is a web address).
TEST_F(OllendockE2E, ProgramsPlantedInTheRegistryAreNotStarted) {
  RemoveFile(kPlantedMark);
  CreateFolder(u"C:\\Planted");
  CopyInto(ProgramFile(), kPlantedProgram);
  RegWriteValue(RegRoot::User, kProgramKey, u"InstallPath", kRegSz, u"C:\\Planted", sizeof u"C:\\Planted");
  RegWriteValue(RegRoot::Machine, kProgramKey, u"AboutWebLink", kRegSz, kPlantedProgram, sizeof kPlantedProgram);
  const WChar userLink[] = u"https://user.example/";
  RegWriteValue(RegRoot::User, kProgramKey, u"AboutWebLink", kRegSz, userLink, sizeof userLink);
  CopyInto(WindowsPath(ollenset), u"C:\\windows\\system32\\Ollenset.cpl");
  ASSERT_TRUE(Serve());
  ASSERT_EQ(RunProgram(u"control.exe Ollenset.cpl", nullptr, 30000), 0);
  ASSERT_TRUE(WaitLogged("INIT-10:"));  // the installed program runs
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  ASSERT_NE(w, nullptr);
  // The about page, and a tap on its link.
  WindowHandle tab = ChildOfClass(w, u"SysTabControl32");
  int32_t l, t, r, b;
  ASSERT_TRUE(RemoteTabBounds(tab, 4, l, t, r, b));
  PostClick(tab, (l + r) / 2, (t + b) / 2);
  ASSERT_TRUE(WaitLogged("GUI::InitWindowComponents page: 4"));
  const int unit = SystemMetric(kSmCxScreen) >= 480 ? 2 : 1;
  Post(w, kWmLButtonUp, 0, MakeLParam(static_cast<uint16_t>(50 * unit), static_cast<uint16_t>(100 * unit)));
  EXPECT_TRUE(WaitLogged("GUI: the about link is not a web address, nothing opened: [C:\\Planted\\Ollendock.exe]"));
  Post(w, kWmClose, 0, 0);
  EXPECT_TRUE(Eventually([&] { return FindTopLevel(kMainWindowClass, kMainWindowTitle) == nullptr; }));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_FALSE(FileExists(kPlantedMark));
  RemoveFile(u"C:\\windows\\system32\\Ollenset.cpl");
}

// The session ends (log-off, shutdown) while the program runs: it ends in order, with its whole
// trace and the driver's filter switched off. Wine tells only visible windows of the session's
// end (Windows tells hidden ones too), so the window is shown first.
TEST_F(OllendockE2E, SessionEndEndsTheProgramInOrder) {
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(StartTray());
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  Show(w, kSwShow);
  ASSERT_TRUE(Eventually([&] { return IsShown(w); }));
  size_t before = qmxsim_.Records().size();
  RunProgram(u"wineboot --end-session", nullptr, 30000);
  int code = -99;
  ASSERT_TRUE(first_.Ended(15000, &code));
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(DebugLogHas("GUI: the session ends"));
  for (const char* line :
       {"TERM: Terminate app signal!", "TERM-1: REG Settings saved: 1", "TERM-2: ManageFilter(1,0,0)= 1",
        "TERM-3:  Threads terminated.", "TERM-4:", "TERM-5: Sending WM_QUIT"})
    EXPECT_TRUE(DebugLogHas(line)) << line;
  EXPECT_NE(qmxsim_.Records().substr(before).find("filter 01 00 00 51"), std::string::npos);
}

// The window is closed while start-up waits at the critical box: the program has then ended in
// order, and start-up neither switches the filter on again after "TERM-2" nor looks any further.
TEST_F(OllendockE2E, ClosedAtTheCriticalBoxStartsNothingMore) {
  ASSERT_TRUE(qmxsim_.Start(WindowsPath(winePaths.work + "/" + name_ + ".records"), u" --refuse 0"));
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  ASSERT_TRUE(Eventually([&] { return FindTopLevel(u"#32770", u"#1 Critical Error") != nullptr; }));
  Post(FindTopLevel(kMainWindowClass, kMainWindowTitle), kWmClose, 0, 0);
  int code = -99;
  ASSERT_TRUE(first_.Ended(15000, &code));
  EXPECT_EQ(code, 0);
  std::vector<std::string> t = Trace();
  ASSERT_FALSE(t.empty());
  EXPECT_TRUE(DebugLogHas("QUIT: window closed during start-up"));
  EXPECT_FALSE(DebugLogHas("INIT-9"));
  EXPECT_FALSE(DebugLogHas("INIT-10"));
  EXPECT_TRUE(DebugLogHas("TERM-5: Sending WM_QUIT"));
  // The last record the driver saw is the filter switched off (with no driver byte yet: start-up
  // never got to setting it).
  std::string records = qmxsim_.Records();
  ASSERT_FALSE(records.empty());
  records.pop_back();
  EXPECT_EQ(records.substr(records.rfind('\n') + 1), "filter 01 00 00 00") << records;
  EXPECT_EQ(records.find("filter 01 01"), std::string::npos) << records;
}

// A program holds the driver's pipe, takes every request and never answers. The window answers
// all along, start-up reaches its critical box within 5 s, a box ticked meanwhile is saved, and
// the program ends in order when closed.
TEST_F(OllendockE2E, SilentDriverNeverFreezesTheWindow) {
  ASSERT_TRUE(qmxsim_.Start(WindowsPath(winePaths.work + "/" + name_ + ".records"), u" --mute"));
  auto start = std::chrono::steady_clock::now();
  auto elapsedMs = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  };
  ASSERT_TRUE(first_.Start(Program(u"-tray")));
  WindowHandle w = nullptr;
  ASSERT_TRUE(Eventually([&] { return (w = FindTopLevel(kMainWindowClass, kMainWindowTitle)) != nullptr; }));
  uint32_t slowest = 0;
  auto probe = [&] {
    uint32_t ms = 0;
    EXPECT_TRUE(RoundTrip(w, 5000, &ms)) << "the window did not answer within 5 s";
    slowest = std::max(slowest, ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  };
  WindowHandle box = nullptr;
  while (!(box = FindTopLevel(u"#32770", u"#1 Critical Error")) && elapsedMs() < 10000) probe();
  ASSERT_NE(box, nullptr);
  EXPECT_LT(elapsedMs(), 5000) << "the critical box came late";
  EXPECT_TRUE(DebugLogHas("INIT-8: Ping Driver response: [FAILED]"));
  Post(box, kWmClose, 0, 0);
  while (!DebugLogHas("INIT-10:") && elapsedMs() < 20000) probe();
  EXPECT_TRUE(DebugLogHas("INIT-9: ManageFilter(1,1,1)= 0"));

  // The keyboard page is the first one shown: its box is ticked off while the driver stays silent.
  WindowHandle check = ChildById(w, 773);
  ASSERT_NE(check, nullptr);
  Post(check, kBmClick, 0, 0);
  uint32_t stored = 7;
  for (int i = 0; i < 40 && stored != 0; ++i) {
    probe();
    RegReadValue(RegRoot::User, kProgramKey, u"Enable_KB", kRegDword, &stored, sizeof stored);
  }
  EXPECT_EQ(stored, 0u) << "the tick was not saved";
  for (int i = 0; i < 10; ++i) probe();
  EXPECT_LT(slowest, 1500u) << "the window stopped answering for " << slowest << " ms";
  // The driver was asked all the same: it has every record, none answered.
  EXPECT_NE(qmxsim_.Records().find("filter 01 00 00 51"), std::string::npos) << qmxsim_.Records();

  EXPECT_EQ(Close(first_), 0);
  for (const char* line :
       {"TERM-1: REG Settings saved: 1", "TERM-2: ManageFilter(1,0,0)= 0", "TERM-5: Sending WM_QUIT"})
    EXPECT_TRUE(DebugLogHas(line)) << line;
}

// Without "InstallPath" the program's files are its own folder's: a folder any user can make in
// the drive's root ("C:\\help", "C:\\images") is neither read nor written. Then another program
// posts and sends the messages whose lParam is a record of the program's own (a notification, a
// window's new place, the help view's address) with numbers of its own: nothing is read from
// them, and the program goes on and ends as usual.
TEST_F(OllendockE2E, OwnFolderWithoutInstallPathAndNoForeignPointers) {
  RegDeleteKeyTree(RegRoot::Machine, kProgramKey);
  uint32_t on = 1;
  RegWriteValue(kProgramKey, u"EnableDebug", kRegDword, &on, sizeof on);
  SetDword(u"Enable_Tray", 0);
  SetDword(u"Enable_Autostart", 0);
  CreateFolder(u"C:\\help");
  CreateFolder(u"C:\\images");
  FileWriteAll(u"C:\\help\\help.html", "<p>planted</p>", 14);
  RemoveFile(u"C:\\images\\morvane.jpg");
  RemoveFile(u"C:\\QuillmoteE2E\\images\\morvane.jpg");
  ASSERT_TRUE(Serve());
  ASSERT_TRUE(StartTray());
  EXPECT_TRUE(FileExists(u"C:\\QuillmoteE2E\\images\\morvane.jpg")) << "start-up wrote its picture elsewhere";
  EXPECT_FALSE(FileExists(u"C:\\images\\morvane.jpg")) << "start-up wrote into the drive's root";
  WindowHandle w = FindTopLevel(kMainWindowClass, kMainWindowTitle);
  WindowHandle tab = FindChildByClass(w, u"SysTabControl32");
  ASSERT_NE(tab, nullptr);
  int32_t l, t, r, b;
  ASSERT_TRUE(RemoteTabBounds(tab, 3, l, t, r, b));
  PostClick(tab, (l + r) / 2, (t + b) / 2);  // the help page
  WindowHandle view = nullptr;
  ASSERT_TRUE(Eventually([&] { return (view = FindChildByClass(w, u"DISPLAYCLASS")) != nullptr; }));
  EXPECT_TRUE(WaitLogged("WC_HTML"));
  bool own = false;
  for (const auto& line : Log()) {
    EXPECT_EQ(line.find("C:\\help\\"), std::string::npos) << line;
    own = own || line.find("loading [file://C:\\QuillmoteE2E\\help\\help.html]") != std::string::npos;
  }
  EXPECT_TRUE(own) << "the help page did not come from the program's folder";

  // Nothing in the program, and some memory of every process (the system's shared page).
  for (intptr_t address : {intptr_t{0x10}, intptr_t{0x12345678}, intptr_t{0x7FFE0000}}) {
    SCOPED_TRACE(address);
    Post(w, 0x004E, 0, address);           // WM_NOTIFY
    Post(w, 0x0047, 0, address);           // WM_WINDOWPOSCHANGED
    Post(view, 0x0400 + 120, 0, address);  // the view's load message
    Send(view, 0x0400 + 120, 0, address);
    uint32_t ms = 0;
    EXPECT_TRUE(RoundTrip(w, 5000, &ms));
  }
  EXPECT_EQ(Close(first_), 0);
  EXPECT_TRUE(DebugLogHas("TERM-5: Sending WM_QUIT"));
  RemoveFile(u"C:\\help\\help.html");
}

// A copy of this program planted where a user could name it: it leaves a mark when started.
int StartedAsPlantedProgram() {
  if (WCompareNoCase(ProgramFile().c_str(), kPlantedProgram) != 0) return -1;
  FileWriteAll(kPlantedMark, "started", 7);
  return 3;
}

}  // namespace

const WineSuite wineSuite = {
    "usage: ollendock_e2e_tests --qmxsim EXE --fixtures DIR --work DIR --ollendock EXE --ollenset CPL --fake-radio DLL "
    "--resources DIR",
    {{"--fixtures", &winePaths.fixtures},
     {"--ollendock", &ollendock},
     {"--ollenset", &ollenset},
     {"--fake-radio", &fakeRadio},
     {"--resources", &resources}},
    nullptr,
    StartedAsPlantedProgram};
