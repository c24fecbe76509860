// The settings window's creation, commands, taps, tab switch, rotation and tray icon, on the
// host's window, canvas and driver models.
#include <algorithm>
#include <cstring>
#include <functional>

#include "bluetooth/connect.h"
#include "bluetooth/paired_devices.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/listener.h"
#include "gui/page_paint.h"
#include "gui/tray_icon.h"
#include "gui_fixture.h"
#include "pickers/picker_frame.h"
#include "platform/controls.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/threads.h"
#include "tray/program_names.h"

namespace {

using namespace platform;
using host::WindowRecord;

// Every command with what it changes: one row each, run on a freshly opened window.
TEST_F(GuiTest, CommandTable) {
  struct Row {
    const char* label;
    int page;
    uint16_t id, code;
    std::function<void()> before;             // control state the user left
    std::function<bool(const Settings&)> ok;  // the record afterwards
    std::vector<std::vector<uint8_t>> filters;
    const char* logLine;  // nullptr: none expected
    bool saved;
    int beeps;
  };
  auto check = [](int slot, bool on) {
    return [slot, on] { Send(theGUI.Controls[slot], kBmSetCheck, on ? kBstChecked : 0, 0); };
  };
  // The record as it was before the command, for the rows that must change nothing.
  static Settings before;
  auto unchanged = [](const Settings& s) { return std::memcmp(&s, &before, sizeof s) == 0; };
  auto select = [](int slot, int index) {
    return [slot, index] { Send(theGUI.Controls[slot], kCbSetCurSel, static_cast<uintptr_t>(index), 0); };
  };
  const std::vector<uint8_t> kb1mouse1{1, 1, 1, 0}, kb1mouse0{1, 1, 0, 0}, kb0mouse0{1, 0, 0, 0};
  const Row rows[] = {
      {"mouse box on",
       kMousePage,
       kCmdMouseCheck,
       0,
       check(kMouseCheckSlot, true),
       [](const Settings& s) { return s.Enable_Mouse == 1; },
       {kb1mouse1},
       "GUI:P0 ManageFilter(1,1,1)= 1",
       true,
       0},
      {"mouse box off",
       kMousePage,
       kCmdMouseCheck,
       0,
       check(kMouseCheckSlot, false),
       [](const Settings& s) { return s.Enable_Mouse == 0; },
       {kb1mouse0},
       "GUI:P0 ManageFilter(1,1,0)= 1",
       true,
       0},
      {"keyboard box off",
       kKeyboardPage,
       kCmdKeyboardCheck,
       0,
       check(kKeyboardCheckSlot, false),
       [](const Settings& s) { return s.Enable_KB == 0; },
       {kb0mouse0},
       "GUI:P1 ManageFilter( 1,0,0)= 1",
       true,
       0},
      {"sounds on",
       kKeyboardPage,
       kCmdSoundsCheck,
       0,
       check(kSoundsCheckSlot, true),
       [](const Settings& s) { return s.KBSounds == 1; },
       {},
       nullptr,
       true,
       0},
      {"autostart on",
       kSettingsPage,
       kCmdAutostartCheck,
       0,
       check(kAutostartCheckSlot, true),
       [](const Settings& s) { return s.Enable_Autostart == 1; },
       {},
       nullptr,
       true,
       0},
      {"tray off",
       kSettingsPage,
       kCmdTrayCheck,
       0,
       check(kTrayCheckSlot, false),
       [](const Settings& s) { return s.Enable_Tray == 0; },
       {},
       nullptr,
       true,
       0},
      {"scroll up for the third button",
       kMousePage,
       kCmdActionList,
       kCbnSelChange,
       [&] {
         theGUI.SelectedButton = 2;
         select(kActionListSlot, 4)();
       },
       [](const Settings& s) { return s.Buttons[2].Action == 4 && s.Buttons[0].Action == 0; },
       {},
       nullptr,
       true,
       0},
      {"action list dropped open: no change",
       kMousePage,
       kCmdActionList,
       7 /* CBN_DROPDOWN */,
       select(kActionListSlot, 4),
       [](const Settings& s) { return s.Buttons[0].Action == 0; },
       {},
       nullptr,
       false,
       0},
      {"action list without a selection",
       kMousePage,
       kCmdActionList,
       kCbnSelChange,
       select(kActionListSlot, -1),
       [](const Settings& s) { return s.Buttons[0].Action == 0; },
       {},
       nullptr,
       true,
       0},
      {"speed 8X",
       kMousePage,
       kCmdSpeedList,
       kCbnSelChange,
       select(kSpeedListSlot, 10),
       [](const Settings& s) { return s.Speed == 10; },
       {},
       nullptr,
       true,
       0},
      {"previous cursor at 0 beeps",
       kMousePage,
       kCmdPreviousCursor,
       0,
       [] {},
       [](const Settings& s) { return s.Cursor == 0; },
       {},
       nullptr,
       false,
       1},
      {"next cursor",
       kMousePage,
       kCmdNextCursor,
       0,
       [] {},
       [](const Settings& s) { return s.Cursor == 1; },
       {},
       nullptr,
       true,
       0},
      {"next cursor at 9 beeps",
       kMousePage,
       kCmdNextCursor,
       0,
       [] { theGUI.settings.Cursor = 9; },
       [](const Settings& s) { return s.Cursor == 9; },
       {},
       nullptr,
       false,
       1},
      {"previous cursor at 9",
       kMousePage,
       kCmdPreviousCursor,
       0,
       [] { theGUI.settings.Cursor = 9; },
       [](const Settings& s) { return s.Cursor == 8; },
       {},
       nullptr,
       true,
       0},
      {"hide",
       kKeyboardPage,
       kCmdHide,
       0,
       [] { Show(theGUI.MainWindow, kSwShow); },
       [](const Settings&) { return !IsShown(theGUI.MainWindow); },
       {},
       "GUI, user pressed HIDE",
       false,
       0},
      {"Change opens the Bluetooth settings",
       kSettingsPage,
       kCmdChangeButton,
       0,
       [] {},
       [](const Settings&) {
         auto calls = platform::host::ShellCalls();
         return std::count_if(calls.begin(), calls.end(), [](const platform::host::ShellCall& c) {
                  return c.kind == platform::host::ShellCall::Launch;
                }) == 1;
       },
       {},
       nullptr,
       false,
       0},
      {"the status box cannot change", kSettingsPage, kCmdStatusCheck, 0, [] {}, unchanged, {}, nullptr, false, 0},
      {"unknown command", kKeyboardPage, 999, 0, [] {}, unchanged, {}, nullptr, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetAll();
    platform::host::RegistryReset();
    LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"\\\\Quillmote\"\n");
    platform::host::DriverSetPresent(true);
    debugEnabled = 1;
    std::filesystem::remove(platform::host::HostPath(kDebugLogPath));
    ASSERT_EQ(Open(), 1);
    theGUI.settings.Enable_KB = 1;
    theGUI.settings.Enable_Tray = 1;
    ShowPage(r.page);
    r.before();
    platform::host::DriverClearEvents();
    uint64_t writes = platform::host::RegistryWriteCount();
    before = theGUI.settings;
    Command(r.id, r.code);
    EXPECT_TRUE(r.ok(theGUI.settings));
    EXPECT_EQ(Filters(), r.filters);
    if (r.logLine) {
      EXPECT_TRUE(Logged(r.logLine)) << r.logLine;
    } else {
      for (const std::string& l : LogLines()) EXPECT_EQ(l.find("ManageFilter"), std::string::npos) << l;
    }
    EXPECT_EQ(platform::host::RegistryWriteCount() > writes, r.saved);
    EXPECT_EQ(Beeps(), r.beeps);
    theGUI.Release();
  }
}

TEST_F(GuiTest, SavedCommandsReachTheRegistryAndTheDriver) {
  ASSERT_EQ(Open(), 1);
  ShowPage(kSettingsPage);
  Send(theGUI.Controls[kAutostartCheckSlot], kBmClick, 0, 0);  // the box sends its own command
  uint32_t value = 0;
  uint32_t size = sizeof value;
  RegKey key;
  ASSERT_EQ(RegOpen(RegRoot::User, kProgramKey, RegAccess::Read, key), RegStatus::Ok);
  ASSERT_EQ(RegQuery(key, u"Enable_Autostart", nullptr, &value, &size), RegStatus::Ok);
  EXPECT_EQ(value, 1u);
  // The save ends with the driver told the screen again.
  auto events = platform::host::DriverEvents();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].code, 0x00222004u);
}

TEST_F(GuiTest, TrayBoxAddsAndDeletesTheIconAndTaskbarRestartBringsItBack) {
  ASSERT_EQ(Open(), 1);
  theGUI.settings.Enable_Tray = 0;
  ShowPage(kSettingsPage);
  WindowHandle w = theGUI.MainWindow;
  Send(theGUI.Controls[kTrayCheckSlot], kBmClick, 0, 0);
  EXPECT_TRUE(host::TrayIconPresent(w, kTrayIconId));
  EXPECT_EQ(theGUI.settings.Enable_Tray, 1);
  auto calls = host::NotifyCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].record.flags, kNifMessage | kNifIcon | kNifTip);
  EXPECT_EQ(calls[0].record.callbackMessage, 3025u);
  EXPECT_EQ(calls[0].record.icon, theGUI.TrayIcon.handle());
  EXPECT_EQ(WString(calls[0].record.tip), u"Quillmote: driver not responding");

  // The desktop shell restarts: its icons are gone, ours comes back (delete first, then add),
  // with the tip of the status now.
  driverStatus.driverAnswered = 1;
  uint32_t taskbarCreated = RegisterMessageName(u"TaskbarCreated");
  Send(w, taskbarCreated, 0, 0);
  EXPECT_TRUE(host::TrayIconPresent(w, kTrayIconId));
  calls = host::NotifyCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].operation, kNimAdd);
  EXPECT_EQ(WString(calls[2].record.tip), u"Quillmote: Bluetooth off");

  Send(theGUI.Controls[kTrayCheckSlot], kBmClick, 0, 0);
  EXPECT_FALSE(host::TrayIconPresent(w, kTrayIconId));
  EXPECT_EQ(theGUI.settings.Enable_Tray, 0);
  // With the icon switched off, a shell restart adds nothing.
  Send(w, taskbarCreated, 0, 0);
  EXPECT_EQ(host::TrayIconCount(), 0);

  // A tap on the icon shows the window in front; the stylus going down does nothing.
  Show(w, kSwHide);
  Send(w, kTrayMessage, kTrayIconId, kWmLButtonDown);
  EXPECT_FALSE(IsShown(w));
  Send(w, kTrayMessage, 4999, kWmLButtonUp);
  EXPECT_FALSE(IsShown(w));
  Send(w, kTrayMessage, kTrayIconId, kWmLButtonUp);
  EXPECT_TRUE(IsShown(w));
  EXPECT_EQ(host::ForegroundWindow(), w);
}

// The tip follows every change of the flags, whichever thread made it: the listener only posts to
// the window, and the window's own thread changes the tip, once for each change of its words.
TEST_F(GuiTest, TrayTipFollowsTheFlagsOnTheWindowsThread) {
  using namespace driver_protocol;
  debugEnabled = 1;
  ASSERT_EQ(Open(), 1);
  ReleaseSelectedDevice();
  ResetServiceDefaults();
  ASSERT_TRUE(AddTrayIcon(theGUI.MainWindow, kTrayIconId, theGUI.TrayIcon.handle()));
  InformDriver();  // the main thread's own change: the driver answers
  host::DispatchPending();
  ThreadHandle listener = StartThread(DriverListenThread, nullptr);
  ASSERT_NE(listener, nullptr);
  ThreadId id = ThreadIdOf(listener);
  ASSERT_TRUE(host::WaitForQueue(id, 5000));
  size_t shellCalls = host::NotifyCalls().size();
  // Each driver message is handled by the listener first; only then does the window hear of it.
  auto deliver = [&](uint32_t message, uintptr_t wParam) {
    ASSERT_TRUE(PostToThread(id, message, wParam, 0));
    ASSERT_TRUE(host::WaitUntilIdle(id, 5000));
    EXPECT_EQ(host::NotifyCalls().size(), shellCalls) << "the listener never calls the shell";
    host::DispatchPending();
    shellCalls = host::NotifyCalls().size();
  };
  deliver(TM_KBSTATUS, 1);   // the radio is still off: the words stay
  deliver(TM_BLUETOOTH, 1);  // the radio on, no paired device
  LoadReg(
      "[HKEY_LOCAL_MACHINE\\software\\microsoft\\bluetooth\\device\\HID\\001a2b3c4d5e]\n"
      "\"name\"=\"Folding Keyboard\"\n\"active\"=dword:00000001\n");
  deliver(TM_BLUETOOTH, 1);  // found now
  deliver(TM_KBSTATUS, 1);   // no change at all
  deliver(TM_BLUETOOTH, 0);
  PostToThread(id, kWmQuit, 0, 0);
  EXPECT_TRUE(WaitThread(listener, 5000));
  CloseThread(listener);

  std::vector<std::string> tips;
  for (const auto& l : LogLines())
    if (l.rfind("GUI: tray tip ", 0) == 0) tips.push_back(l.substr(14));
  EXPECT_EQ(tips, (std::vector<std::string>{"[Quillmote: driver not responding]", "[Quillmote: Bluetooth off]",
                                            "[Quillmote: no keyboard found]", "[Quillmote: keyboard on]",
                                            "[Quillmote: Bluetooth off]"}));
  auto calls = host::NotifyCalls();
  ASSERT_EQ(calls.size(), tips.size());
  for (const auto& c : calls) {
    EXPECT_EQ(c.thread, CurrentThreadId());
    EXPECT_TRUE(c.result);
  }
  EXPECT_EQ(calls.back().operation, kNimModify);
  EXPECT_EQ(calls.back().record.flags, kNifTip);
  EXPECT_EQ(WString(calls.back().record.tip), u"Quillmote: Bluetooth off");
  ReleaseSelectedDevice();
  ResetServiceDefaults();
}

TEST_F(GuiTest, TapGeometry) {
  struct Row {
    const char* label;
    int32_t width, height;
    int page;
    uint16_t x, y;
    int selected;  // the button afterwards (starts at 3); -1: a launch of the web address
    bool launched;
  } rows[] = {
      {"x 0 selects nothing", 240, 320, kMousePage, 0, 60, 3, false},
      {"x 1 selects the first button", 240, 320, kMousePage, 1, 60, 0, false},
      {"x DRAX(48) selects button 1", 240, 320, kMousePage, 48, 60, 1, false},
      {"x 239 selects button 4", 240, 320, kMousePage, 239, 60, 4, false},
      {"x DRAX(240) is outside", 240, 320, kMousePage, 240, 60, 3, false},
      {"y DRAY(45) is outside", 240, 320, kMousePage, 100, 45, 3, false},
      {"y DRAY(104)", 240, 320, kMousePage, 100, 104, 2, false},
      {"y DRAY(105) is outside", 240, 320, kMousePage, 100, 105, 3, false},
      {"320 x 480: y is scaled by 2", 320, 480, kMousePage, 100, 100, 2, false},
      {"320 x 480: y 91 is outside", 320, 480, kMousePage, 100, 90, 3, false},
      {"about, left area top-left corner", 240, 320, kAboutPage, 5, 80, 3, true},
      {"about, left area bottom edge", 240, 320, kAboutPage, 95, 120, 3, true},
      {"about, between the areas", 240, 320, kAboutPage, 97, 100, 3, false},
      {"about, right area", 240, 320, kAboutPage, 190, 100, 3, true},
      {"about, below", 240, 320, kAboutPage, 50, 121, 3, false},
      // DRAY(80) + DRAX(40) = 160 + 40: the bottom edge takes the horizontal factor.
      {"320 x 480 about: y 200 inside", 320, 480, kAboutPage, 50, 200, 3, true},
      {"320 x 480 about: y 201 outside", 320, 480, kAboutPage, 50, 201, 3, false},
      {"keyboard page: taps do nothing", 240, 320, kKeyboardPage, 50, 60, 3, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetAll();
    ASSERT_EQ(Open(r.width, r.height), 1);
    ShowPage(r.page);
    theGUI.SelectedButton = 3;
    Send(theGUI.MainWindow, kWmLButtonUp, 0, MakeLParam(r.x, r.y));
    EXPECT_EQ(theGUI.SelectedButton, r.selected);
    bool launched = false;
    for (const auto& c : host::ShellCalls()) launched |= c.kind == host::ShellCall::Launch && c.text == u"iexplore.exe";
    EXPECT_EQ(launched, r.launched);
    theGUI.Release();
  }
}

TEST_F(GuiTest, FirstTabFallsBackToTheKeyboardPageAndAboutVisitsAreCounted) {
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(theGUI.CurrentPage, kKeyboardPage);
  ClickTab(2);
  EXPECT_EQ(theGUI.CurrentPage, kSettingsPage);
  ClickTab(0);
  EXPECT_EQ(theGUI.CurrentPage, kKeyboardPage);
  EXPECT_EQ(Send(theGUI.TabControl, kTcmGetCurSel, 0, 0), 1);
  EXPECT_NE(theGUI.Controls[kKeyboardCheckSlot], nullptr);
  for (int i = 0; i < 3; ++i) ClickTab(4);
  EXPECT_EQ(AboutVisits, 3);
  // Other notifications change nothing.
  host::SendNotification(theGUI.MainWindow, Notification{theGUI.TabControl, 0, kTcnSelChanging});
  EXPECT_EQ(theGUI.CurrentPage, kAboutPage);
}

// The driver info record that follows a settings change (after the ping) names this screen and
// factor.
void ExpectDriverHeard(int32_t width, int32_t height, int32_t factor) {
  auto events = host::DriverEvents();
  ASSERT_GE(events.size(), 2u);
  const auto& sent = events[1].input;
  ASSERT_EQ(sent.size(), 24u);
  EXPECT_EQ(sent[4] | sent[5] << 8, width);
  EXPECT_EQ(sent[8] | sent[9] << 8, height);
  EXPECT_EQ(sent[12], factor);
}

TEST_F(GuiTest, RotationEndsWithTheLastScreensFactorsAndSizes) {
  ASSERT_EQ(Open(480, 640), 1);
  ShowPage(kHelpPage);
  struct Step {
    int32_t width, height, scaleX, scaleY, mh;
  } steps[] = {{640, 480, 2, 2, 52}, {240, 320, 1, 1, 26}, {800, 480, 2, 2, 52}, {320, 240, 1, 1, 26}};
  bool display = false;
  for (const Step& s : steps) {
    host::SetScreenSize(s.width, s.height);
    host::DriverClearEvents();
    // The device announces a rotation as a settings change; desktop Windows as a display change.
    EXPECT_EQ(Send(theGUI.MainWindow, display ? kWmDisplayChange : kWmSettingChange, 0, 0), 1);
    display = !display;
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    EXPECT_EQ(ScaleX, s.scaleX);
    EXPECT_EQ(ScaleY, s.scaleY);
    EXPECT_EQ(theGUI.ScreenWidth, s.width);
    EXPECT_EQ(theGUI.ScreenHeight, s.height);
    EXPECT_EQ(theGUI.MH, s.mh);
    // The window, the tab strip and the help view follow the new screen.
    const auto* main = WindowRecord(theGUI.MainWindow);
    EXPECT_EQ(main->height, s.height - 2 * s.mh);
    const auto* tab = WindowRecord(theGUI.TabControl);
    EXPECT_EQ(tab->y, s.height - 2 * s.mh - 22 * s.scaleY);
    EXPECT_EQ(tab->width, s.width);
    const auto* view = WindowRecord(theGUI.Controls[kHelpViewSlot]);
    EXPECT_EQ(view->width, s.width - 10 * s.scaleX);
    EXPECT_EQ(view->height, s.height - 2 * (5 * s.scaleX + 10 * s.scaleY + s.mh));
    // The driver hears the new geometry.
    ExpectDriverHeard(s.width, s.height, s.scaleX);
  }
  EXPECT_EQ(host::SettingChangesHandled(), 4);
}

// On a scaled desk the backend draws the device screen at the desk's factor: the layout, the
// pictures (each drawn for its factor), the tab icons and the driver's record follow it, and a new
// scale reloads them as a new resolution does; an unscaled desk is a device of factor 2 again.
TEST_F(GuiTest, ScaledDeskDrawsTheDeviceAtItsFactor) {
  host::SetDeskFactor(3);
  ASSERT_EQ(Open(720, 960), 1);
  struct Step {
    int32_t width, height, factor;
    const char16_t *highlight, *mouse;
  } steps[] = {{720, 960, 3, u"t0s1_f3.jpg", u"t0ms_f3.jpg"},
               {960, 1280, 4, u"t0s1_f4.jpg", u"t0ms_f4.jpg"},
               {480, 640, 2, u"t0s1_f12.jpg", u"t0ms_f2.jpg"}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.factor);
    if (s.factor != 3) {
      host::SetScreenSize(s.width, s.height);
      host::SetDeskFactor(s.factor);
      host::DriverClearEvents();
      EXPECT_EQ(Send(theGUI.MainWindow, kWmDpiChanged, 0, 0), 1);
      ExpectDriverHeard(s.width, s.height, s.factor);
    }
    EXPECT_EQ(ScaleX, s.factor);
    EXPECT_EQ(ScaleY, s.factor);
    EXPECT_EQ(theGUI.MH, 26 * s.factor);
    EXPECT_EQ(WindowRecord(theGUI.MainWindow)->height, s.height - 2 * 26 * s.factor);
    EXPECT_EQ(WindowRecord(theGUI.TabControl)->height, 22 * s.factor);
    EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kHighlightPicture].handle())->path,
              WString(u"\\Quillmote\\images\\") + s.highlight);
    EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kMousePicture].handle())->path,
              WString(u"\\Quillmote\\images\\") + s.mouse);
    EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kMousePicture].handle())->width, 240 * s.factor);
    // Factor 2 draws the logo written out at start-up; above it the one drawn for the factor.
    if (s.factor > 2) {
      EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kLargeLogoPicture].handle())->width, 90 * s.factor);
    } else {
      EXPECT_EQ(theGUI.Pictures[kLargeLogoPicture].handle(), nullptr);
    }
    EXPECT_EQ(host::IconRecord(theGUI.Icons[1].handle())->width, 16 * s.factor);
    // The pickers' text heights follow the factor too.
    EXPECT_EQ(ScaleForDpi(20), 20 * s.factor);
    EXPECT_EQ(host::ImageListRecord(theGUI.TabImages.handle())->width, 16 * s.factor);
    // The page is made anew for the new factor: its controls have its sizes.
    EXPECT_EQ(Control(kSoundsCheckSlot).y, 120 * s.factor);
    EXPECT_EQ(Control(kSoundsCheckSlot).height, 20 * s.factor);
    EXPECT_EQ(static_cast<int32_t>(Send(theGUI.TabControl, kTcmGetCurSel, 0, 0)), kKeyboardPage);
  }
  // Nothing is left of the pictures and icons of the factors before.
  theGUI.Release();
  EXPECT_EQ(host::LiveIconsAndLists(), 0);
}

TEST_F(GuiTest, InitWindowResults) {
  // A running instance is shown and brought forward; nothing else is made.
  ASSERT_EQ(Open(), 1);
  WindowHandle first = theGUI.MainWindow;
  int windows = host::LiveWindowCount();
  GUI second{};
  EXPECT_EQ(second.InitWindow(kInstance), -1);
  EXPECT_TRUE(IsShown(first));
  EXPECT_EQ(host::ForegroundWindow(), first);
  EXPECT_EQ(host::LiveWindowCount(), windows);
  TheGUI = &theGUI;

  struct Row {
    const char* label;
    std::function<void()> fail;
    int result;
    bool windowMade, tabsMade;
  } rows[] = {
      {"class refused", [] { host::FailClassRegistration(true); }, -2, false, false},
      {"window refused", [] { host::FailWindowClass(kMainWindowClass); }, -3, false, false},
      {"tab strip refused", [] { host::FailWindowClass(u"SysTabControl32"); }, -4, true, false},
      {"another start holds the instance and never shows a window",
       [] { host::SetLockHeldElsewhere(kInstanceLock, true); }, -1, false, false},
      {"a check box refused: the page works without it", [] { host::FailWindowClass(u"button"); }, 1, true, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetAll();
    r.fail();
    EXPECT_EQ(Open(), r.result);
    EXPECT_EQ(theGUI.MainWindow != nullptr && Exists(theGUI.MainWindow), r.windowMade);
    EXPECT_EQ(theGUI.TabControl != nullptr && Exists(theGUI.TabControl), r.tabsMade);
    theGUI.Release();
    EXPECT_EQ(host::LiveWindowCount(), 0);  // nothing of a failed start is left
  }
}

// Two starts at the same moment: this one misses the other's window, finds its instance lock
// taken, and waits; the other's window appears meanwhile, is brought forward, and this start ends.
TEST_F(GuiTest, SimultaneousStartWaitsForTheOthersWindow) {
  host::SetLockHeldElsewhere(kInstanceLock, true);
  WindowHandle other = nullptr;
  int pauses = 0;
  host::SetSleepHook([&](uint32_t) {
    if (++pauses != 3) return;
    WindowClass c{kMainWindowClass, 0, DefaultProcedure, kInstance, nullptr, 0, 0};
    RegisterWindowClass(c);
    other = MakeWindow(0, kMainWindowClass, kMainWindowTitle, 0, 0, 0, 240, 268, nullptr, 0, kInstance);
  });
  int windows = host::LiveWindowCount();
  GUI second{};
  EXPECT_EQ(second.InitWindow(kInstance), -1);
  host::SetSleepHook({});
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(pauses, 3);  // it stopped waiting as soon as the window was there
  EXPECT_TRUE(IsShown(other));
  EXPECT_EQ(host::ForegroundWindow(), other);
  EXPECT_EQ(host::LiveWindowCount(), windows + 1);  // it made nothing of its own
  host::SetLockHeldElsewhere(kInstanceLock, false);
}

TEST_F(GuiTest, MenuBarFromItsResourceDesktopHideAndCloseBox) {
  ASSERT_EQ(Open(), 1);
  const auto* bar = WindowRecord(theGUI.MenuBar);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->menuBarResource, 130);
  EXPECT_EQ(bar->height, 26);
  EXPECT_EQ(ActivateInfo.cbSize, sizeof ActivateInfo);
  ResetAll();
  host::FailMenuBar(true);
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(theGUI.MenuBar, nullptr);

  // Placed behind the "Desktop" window, the settings window hides; behind another, it stays.
  WindowClass plain{u"plain", 0, DefaultProcedure, kInstance, nullptr, 0, 0};
  ASSERT_TRUE(RegisterWindowClass(plain));
  WindowHandle desktop = MakeWindow(0, u"plain", u"Desktop", 0, 0, 0, 1, 1, nullptr, 0, kInstance);
  WindowHandle other = MakeWindow(0, u"plain", u"Desktop ", 0, 0, 0, 1, 1, nullptr, 0, kInstance);
  Show(theGUI.MainWindow, kSwShow);
  Send(theGUI.MainWindow, kWmWindowPosChanged, 0, reinterpret_cast<intptr_t>(other));
  EXPECT_TRUE(IsShown(theGUI.MainWindow));
  Send(theGUI.MainWindow, kWmWindowPosChanged, 0, reinterpret_cast<intptr_t>(desktop));
  EXPECT_FALSE(IsShown(theGUI.MainWindow));

  // The user's close (close box, Alt+F4, the taskbar) hides the window; another program's close
  // request ends it.
  debugEnabled = 1;
  Show(theGUI.MainWindow, kSwShow);
  Send(theGUI.MainWindow, kWmSysCommand, kScClose | 2, 0);
  EXPECT_TRUE(Exists(theGUI.MainWindow));
  EXPECT_FALSE(IsShown(theGUI.MainWindow));
  EXPECT_TRUE(Logged("GUI, user closed the window: hidden"));
  Send(theGUI.MainWindow, kWmClose, 0, 0);
  EXPECT_FALSE(Exists(theGUI.MainWindow));
}

// After a resume from sleep the driver hears again who to report to and the filter record.
TEST_F(GuiTest, ResumeInformsTheDriverAgain) {
  debugEnabled = 1;
  ASSERT_EQ(Open(), 1);
  filterRecord = FilterRecord{1, 1, 0, 0x51};
  host::DriverClearEvents();
  Send(theGUI.MainWindow, kWmPowerBroadcast, 0x04 /* PBT_APMSUSPEND */, 0);
  EXPECT_TRUE(host::DriverEvents().empty());
  EXPECT_EQ(Send(theGUI.MainWindow, kWmPowerBroadcast, 0x12 /* PBT_APMRESUMEAUTOMATIC */, 0), 1);
  std::vector<uint32_t> codes;
  for (const auto& e : host::DriverEvents())
    if (e.kind == host::DriverEvent::Control) codes.push_back(e.code);
  EXPECT_EQ(codes, (std::vector<uint32_t>{0x00222004, 0x00222008}));
  EXPECT_EQ(Filters().back(), (std::vector<uint8_t>{1, 1, 0, 0x51}));
  EXPECT_TRUE(Logged("GUI: resumed, driver informed again: 1, ManageFilter= 1"));
}

TEST_F(GuiTest, ConnectSoftKey) {
  ASSERT_EQ(Open(), 1);
  // Bluetooth off: the box of the connect step, no beep.
  Command(kCmdConnect);
  auto calls = host::ShellCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].caption, u"#2 Bluetooth");
  EXPECT_EQ(Beeps(), 0);
  // Close destroys the window, which ends the program.
  Command(kCmdClose);
  EXPECT_FALSE(Exists(theGUI.MainWindow));
}

}  // namespace
