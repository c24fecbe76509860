// The settings window of the real Ollendock.exe under Wine, in a virtual desktop of a device's
// screen size or of a desk's larger one, driven from this process as a user drives it: every page
// opened by a click on its tab and photographed, a check box reaching the registry and the
// driver, the tray icon clicked and brought back after a shell restart, the status words
// following the driver's messages, and the window from the keyboard alone. Then the same program
// against a driver stand-in that reports as the driver does: the status words and the
// notification icon's tip follow the keyboard box and the radio. On a desk (--device names the
// device screen expected there) the window is framed and centred, its close box hides it, and a
// new resolution chooses again.
// On a scaled desk (--scaled names the device drawn larger and the desk's scale) the window is the
// unscaled one at that scale, and every text fits its control.
// usage: window_e2e_tests --qmxsim EXE --work DIR --ollendock EXE --resources DIR [--device WxH
//        [--scaled WxH@PERCENT]]
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/system.h"
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

std::string ollendock, resources;
// The device screen the program shows on a desk, in the pixels it is drawn at; 0 x 0 on a device's
// own screen.
int32_t deskDeviceWidth = 0, deskDeviceHeight = 0;
// On a scaled desk: the desk's scale in percent and the device screen it draws larger; 0 otherwise.
int32_t deskScale = 0, unscaledWidth = 0, unscaledHeight = 0;
constexpr WChar kInstall[] = u"C:\\QuillmoteWindow";
constexpr uint32_t kTrayIconId = 5000;
constexpr uint16_t kKeyboardCheck = 773;

void SetDword(const WChar* name, uint32_t v) {
  ASSERT_EQ(WriteSetting(name, kRegDword, &v, sizeof v), 1) << ToUtf8(name);
}

// One program for a whole suite, as a user meets it: installed, started with "-tray" against
// qmxsim (serving with `serveOptions`), its window shown. Screenshots and the record log are
// named after the suite (`name`) and the screen size.
class ProgramE2E : public ::testing::Test {
 protected:
  static void StartProgram(const std::string& name, const WString& serveOptions) {
    name_ = name;
    Installation installed{kInstall, {QM_WINDOW_PICTURES, QM_DESK_SCALE_PICTURES}};
    installed.help = true;
    installed.program = ollendock;
    Install(installed, resources);
    RegDeleteKeyTree(RegRoot::Machine, kProgramKey);
    RegDeleteKeyTree(RegRoot::User, kProgramKey);
    RegWriteValue(kProgramKey, u"InstallPath", kRegSz, kInstall, sizeof kInstall);
    const WChar description[] = u"Bluetooth keyboard companion", version[] = u"1.0.0.1", link[] = u"www.morvane.com";
    RegWriteValue(kProgramKey, u"Description", kRegSz, description, sizeof description);
    RegWriteValue(kProgramKey, u"Version", kRegSz, version, sizeof version);
    RegWriteValue(kProgramKey, u"AboutWebLink", kRegSz, link, sizeof link);
    uint32_t on = 1;
    RegWriteValue(kProgramKey, u"EnableDebug", kRegDword, &on, sizeof on);
    SetDword(u"Enable_Tray", 1);
    SetDword(u"Enable_KB", 1);
    SetDword(u"Speed", 3);
    RemoveFile(DebugLogFile());
    ASSERT_TRUE(qmxsim.Start(WindowsPath(winePaths.work + "/" + name_ + "-" + Size() + ".records"), serveOptions));
    ASSERT_TRUE(program.Start(Quoted(u"C:\\QuillmoteWindow\\Ollendock.exe") + u" -tray"));
    ASSERT_TRUE(Eventually([] { return DebugLogHas("INIT-10:"); }));
    window = FindTopLevel(kMainWindowClass, kMainWindowTitle);
    ASSERT_NE(window, nullptr);
    tab = ChildOfClass(window, u"SysTabControl32");
    ASSERT_NE(tab, nullptr);
    Show(window, kSwShow);
    BringForward(window);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  static void EndProgram() {
    if (window) Post(window, kWmClose, 0, 0);
    int code = -99;
    EXPECT_TRUE(program.Ended(15000, &code));
    EXPECT_EQ(code, 0);
    qmxsim.Stop();
    window = tab = nullptr;
  }

  static std::string Size() {
    int32_t w, h;
    DisplaySize(w, h);
    return std::to_string(w) + "x" + std::to_string(h);
  }
  // The design unit's size in the window: every screen here has equal factors, and the page is
  // 240 units wide.
  static int32_t Unit(int32_t n) { return n * (ClientArea(window).right / 240); }
  // Where the window's client area begins on the screen.
  static Point ClientOrigin() {
    Point p{0, 0};
    ScreenToClientPoint(window, p);
    return Point{-p.x, -p.y};
  }
  static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  // Opens a page by clicking its tab, as a user does; the page the tab strip then shows.
  static intptr_t ClickTab(int index) {
    Click(index);
    Pause(index == 3 ? 1000 : 400);
    return Send(tab, kTcmGetCurSel, 0, 0);
  }
  static void Click(int index) {
    int32_t l, t, r, b;
    EXPECT_TRUE(RemoteTabBounds(tab, index, l, t, r, b));
    PostClick(tab, (l + r) / 2, (t + b) / 2);
  }
  static void Photograph(const std::string& what) {
    Pause(200);
    ASSERT_TRUE(SaveScreen(WindowsPath(winePaths.work + "/" + name_ + "-" + Size() + "-" + what + ".bmp")));
  }
  // Whether the log has the line among those written after the first `from`.
  static bool LoggedSince(size_t from, const std::string& line) {
    return Eventually([&] {
      std::vector<std::string> l = DebugLogMessages();
      return std::find(l.begin() + static_cast<std::ptrdiff_t>(std::min(from, l.size())), l.end(), line) != l.end();
    });
  }
  // Pixels of a colour (0x00RRGGBB) in a client rectangle of the window.
  static int PixelsOf(uint32_t rgb, Rect r) {
    Point at = ClientOrigin();
    int n = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) n += ScreenPixel(at.x + x, at.y + y) == rgb ? 1 : 0;
    return n;
  }

  // The status page's word in its row (in design units): "ON" in blue or "OFF" in red, alone.
  static bool StatusWord(int32_t top, bool on) {
    const uint32_t kBlueRgb = 0x0000FF, kRedRgb = 0xFF0000;
    Rect word{Unit(80), Unit(top), Unit(120), Unit(top + 20)};
    return PixelsOf(on ? kBlueRgb : kRedRgb, word) > 0 && PixelsOf(on ? kRedRgb : kBlueRgb, word) == 0;
  }

  static inline std::string name_;
  static inline QmxsimServer qmxsim;
  static inline Background program;
  static inline WindowHandle window = nullptr, tab = nullptr;
};

class WindowE2E : public ProgramE2E {
 protected:
  static void SetUpTestSuite() { StartProgram("window", u""); }
  static void TearDownTestSuite() { EndProgram(); }
};

TEST_F(WindowE2E, EveryPageByItsTab) {
  const char* names[] = {"mouse", "keyboard", "status", "help", "about"};
  for (int page = 1; page < 5; ++page) {
    EXPECT_EQ(ClickTab(page == 1 ? 2 : 1), page == 1 ? 2 : 1);  // from another page
    EXPECT_EQ(ClickTab(page), page) << names[page];
    // Each page is made anew when it is opened.
    EXPECT_TRUE(Eventually([&] { return DebugLogHas("GUI::InitWindowComponents page: " + std::to_string(page)); }));
    if (page == 3) {
      EXPECT_NE(ChildOfClass(window, u"DISPLAYCLASS"), nullptr);
      Pause(500);
    }
    Photograph(names[page]);
  }
  // The about page's credits, from its third opening on: the link in blue.
  const uint32_t kBlueRgb = 0x0000FF;
  Rect link{Unit(5), Unit(100), Unit(240), Unit(120)};
  EXPECT_EQ(PixelsOf(kBlueRgb, link), 0);
  ClickTab(1);
  ClickTab(4);
  EXPECT_EQ(PixelsOf(kBlueRgb, link), 0);
  ClickTab(1);
  ClickTab(4);
  EXPECT_GT(PixelsOf(kBlueRgb, link), 0);
  Photograph("about-credits");
  // The first tab shows the keyboard page, with the keyboard tab selected; its box speaks the
  // platform's language, from the translation beside the program.
  EXPECT_EQ(ClickTab(0), 1);
  WindowHandle box = ChildById(window, kKeyboardCheck);
  ASSERT_NE(box, nullptr);
  WChar text[100] = {};
  ReadText(box, text, 100);
  const bool german = (platform::UserInterfaceLanguage() & 0x3FF) == 0x07;
  EXPECT_EQ(WString(text), german ? u"Bluetooth-Tastatur aktivieren" : u"Enable bluetooth keyboard support");
}

TEST_F(WindowE2E, CheckBoxReachesTheRegistryAndTheDriver) {
  ClickTab(2);
  ClickTab(1);
  WindowHandle box = ChildById(window, kKeyboardCheck);
  ASSERT_NE(box, nullptr);
  for (uint32_t want : {0u, 1u}) {
    SCOPED_TRACE(want);
    Send(box, kBmClick, 0, 0);
    // The user's own key, never the machine key (which a user may not write).
    uint32_t stored = 7;
    ASSERT_EQ(RegReadValue(RegRoot::User, kProgramKey, u"Enable_KB", kRegDword, &stored, sizeof stored), 1);
    EXPECT_EQ(stored, want);
    EXPECT_EQ(RegReadValue(RegRoot::Machine, kProgramKey, u"Enable_KB", kRegDword, &stored, sizeof stored), 0);
    std::string record = want ? "filter 01 01 00 51" : "filter 01 00 00 51";
    EXPECT_TRUE(Eventually([&] { return qmxsim.Records().rfind(record) != std::string::npos; }));
  }
}

TEST_F(WindowE2E, TrayIconShowsTheWindowAndComesBackAfterTheShell) {
  EXPECT_TRUE(TrayIconThere(window, kTrayIconId));
  int32_t left, top, right, bottom;
  ASSERT_TRUE(TaskbarBounds(left, top, right, bottom));
  Show(window, kSwHide);
  ASSERT_TRUE(Eventually([] { return !IsShown(window); }));
  ClickScreen(right - 10, (top + bottom) / 2);
  EXPECT_TRUE(Eventually([] { return IsShown(window); }));
  // The shell announces a restart but still has the icon (as Wine's does): the program deletes it
  // before adding it again, since adding an icon that is there fails.
  Broadcast(RegisterMessageName(u"TaskbarCreated"));
  EXPECT_TRUE(Eventually([] { return DebugLogHas("GUI: shell restarted, tray icon added again: 1"); }));
  // The shell restarts and has lost the icon: the program puts it back.
  ASSERT_TRUE(DropTrayIcon(window, kTrayIconId));
  ASSERT_FALSE(TrayIconThere(window, kTrayIconId));
  Broadcast(RegisterMessageName(u"TaskbarCreated"));
  EXPECT_TRUE(Eventually([] { return TrayIconThere(window, kTrayIconId); }));
  // "Show Tray Icon" unchecked removes it; checked adds it again.
  ClickTab(2);
  WindowHandle box = ChildById(window, 777);
  ASSERT_NE(box, nullptr);
  Send(box, kBmClick, 0, 0);
  EXPECT_TRUE(Eventually([] { return !TrayIconThere(window, kTrayIconId); }));
  Send(box, kBmClick, 0, 0);
  EXPECT_TRUE(Eventually([] { return TrayIconThere(window, kTrayIconId); }));
  ClickTab(1);
}

TEST_F(WindowE2E, StatusWordsFollowTheDriversMessages) {
  ClickTab(2);
  struct Row {
    const WChar* on;
    int32_t top;  // the word's row, in design units
  } rows[] = {{u"post bluetooth 1", 100}, {u"post mouse 1", 120}, {u"post kb 1", 140}};
  for (const Row& r : rows) {
    SCOPED_TRACE(ToUtf8(r.on));
    EXPECT_TRUE(StatusWord(r.top, false));
    ASSERT_EQ(qmxsim.Sim(r.on), 0);
    EXPECT_TRUE(Eventually([&] { return StatusWord(r.top, true); }));
  }
  Photograph("status-on");
  for (const WChar* off : {u"post bluetooth 0", u"post mouse 0", u"post kb 0"}) ASSERT_EQ(qmxsim.Sim(off), 0);
  EXPECT_TRUE(Eventually([&] { return StatusWord(100, false) && StatusWord(120, false) && StatusWord(140, false); }));
  ClickTab(1);
}

// A thousand repaints and two hundred page switches: the program's own figures (asked through
// its diagnostics message) end where they began.
TEST_F(WindowE2E, RepaintsAndPageSwitchesLeaveNothingBehind) {
  const uint32_t diagnostics = RegisterMessageName(kDiagnosticsMessage);
  // Every page made once, then the keyboard page: the state both measurements are taken in.
  auto settle = [] {
    for (int i : {2, 3, 4, 1}) ClickTab(i);
  };
  auto figures = [&] {
    size_t before = DebugLogMessages().size();
    Post(window, diagnostics, 0, 0);
    std::string line;
    Eventually([&] {
      std::vector<std::string> l = DebugLogMessages();
      for (size_t i = before; i < l.size(); ++i)
        if (l[i].rfind("GUI: resources gdi=", 0) == 0) line = l[i].substr(0, l[i].find(" handles="));
      return !line.empty();
    });
    return line;
  };
  settle();
  std::string first = figures();
  ASSERT_FALSE(first.empty());
  size_t builds = DebugLogMessages().size();
  for (int i = 0; i < 1000; ++i) {
    InvalidateWindow(window, false);
    if (i % 10 == 0) Pause(5);
  }
  for (int i = 0; i < 200; ++i) {
    Click(1 + i % 4);
    Pause(20);
  }
  settle();
  // GDI objects and windows exactly as before; every switch made its page.
  EXPECT_EQ(figures(), first);
  std::vector<std::string> l = DebugLogMessages();
  EXPECT_GE(std::count_if(l.begin() + builds, l.end(),
                          [](const std::string& x) { return x.rfind("GUI::InitWindowComponents", 0) == 0; }),
            200);
}

// The Bluetooth keyboard alone, with real key events through X: every page by Ctrl+Tab with the
// focus on its first control and shown, Tab and Space to a setting that reaches the registry,
// "Connect" on F2, Esc hiding the window, and the focus kept while it was hidden.
TEST_F(WindowE2E, TheKeyboardAloneDrivesTheWindow) {
  ClickTab(1);
  Show(window, kSwShow);
  BringForward(window);
  ASSERT_TRUE(Eventually([] { return ForegroundNow() == window; }));

  struct Page {
    const char* name;
    int page;
    std::function<WindowHandle()> focus;  // the control that has the focus on arrival
  } pages[] = {
      {"status", 2, [] { return ChildById(window, 776); }},
      {"help", 3, [] { return ChildOfClass(window, u"DISPLAYCLASS"); }},
      {"about", 4, [] { return tab; }},
      {"keyboard-again", 1, [] { return ChildById(window, kKeyboardCheck); }},
  };
  for (const Page& p : pages) {
    SCOPED_TRACE(p.name);
    size_t before = DebugLogMessages().size();
    ASSERT_TRUE(TypeKeys("ctrl+Tab"));
    EXPECT_TRUE(Eventually([&] {
      std::vector<std::string> l = DebugLogMessages();
      return l.size() > before && std::find(l.begin() + before, l.end(),
                                            "GUI::InitWindowComponents page: " + std::to_string(p.page)) != l.end();
    }));
    EXPECT_EQ(Send(tab, kTcmGetCurSel, 0, 0), p.page);
    EXPECT_TRUE(Eventually([&] { return FocusIn(window) == p.focus(); }));
    if (p.page == 3) Pause(500);
    Photograph(std::string("keys-") + p.name);
  }

  ASSERT_TRUE(TypeKeys("Tab"));
  WindowHandle sounds = ChildById(window, 774);
  EXPECT_TRUE(Eventually([&] { return FocusIn(window) == sounds; }));
  ASSERT_TRUE(TypeKeys("space"));
  uint32_t stored = 7;
  EXPECT_TRUE(Eventually([&] {
    return RegReadValue(RegRoot::User, kProgramKey, u"KBSounds", kRegDword, &stored, sizeof stored) == 1 && stored == 1;
  }));
  EXPECT_EQ(Send(sounds, kBmGetCheck, 0, 0), 1);
  Photograph("keys-sounds");

  // "Connect" on F2: the radio is off here, and its box is answered with Enter.
  ASSERT_TRUE(TypeKeys("F2"));
  EXPECT_TRUE(Eventually([] { return DebugLogHas("GUI, user pressed CONNECT"); }));
  WindowHandle box = nullptr;
  ASSERT_TRUE(Eventually([&] { return (box = FindTopLevel(u"#32770", u"#2 Bluetooth")) != nullptr && IsShown(box); }));
  Photograph("keys-connect");
  ASSERT_TRUE(TypeKeys("Return"));
  EXPECT_TRUE(Eventually([] { return FindTopLevel(u"#32770", u"#2 Bluetooth") == nullptr; }));

  // Esc hides the window; shown again, the focus is where it was.
  EXPECT_TRUE(Eventually([&] { return FocusIn(window) == sounds; }));
  ASSERT_TRUE(TypeKeys("Escape"));
  EXPECT_TRUE(Eventually([] { return !IsShown(window); }));
  EXPECT_TRUE(DebugLogHas("GUI, user pressed HIDE"));
  Show(window, kSwShow);
  BringForward(window);
  EXPECT_TRUE(Eventually([&] { return IsShown(window) && FocusIn(window) == sounds; }));
}

// The driver stand-in reports as the driver does (serve --live). The stack holds one paired
// keyboard; the radio is off at the start, as the system's Bluetooth API here says, and the
// stand-in reports none until it is switched.
class LiveE2E : public ProgramE2E {
 protected:
  static constexpr WChar kKeyboardKey[] = u"software\\microsoft\\bluetooth\\device\\HID\\001ea43b7c21";
  static void SetUpTestSuite() {
    RegDeleteKeyTree(u"software\\microsoft\\bluetooth\\device");
    const WChar name[] = u"Folding Keyboard";
    const uint32_t active = 1;
    ASSERT_EQ(RegWriteValue(kKeyboardKey, u"name", kRegSz, name, sizeof name), 1);
    ASSERT_EQ(RegWriteValue(kKeyboardKey, u"active", kRegDword, &active, sizeof active), 1);
    StartProgram("live", u" --live");
  }
  static void TearDownTestSuite() {
    EndProgram();
    RegDeleteKeyTree(u"software\\microsoft\\bluetooth\\device");
  }
  // The words of the last tip the program set, from its log line.
  static std::string LastTip() {
    std::string tip;
    for (const std::string& l : DebugLogMessages())
      if (l.rfind("GUI: tray tip [", 0) == 0) tip = l.substr(15, l.size() - 16);
    return tip;
  }
  // The status page's three words (on or off) and the tip, once the program has caught up.
  static void Expect(bool bluetooth, bool mouse, bool keyboard, const std::string& tip) {
    EXPECT_TRUE(Eventually([&] { return StatusWord(100, bluetooth); })) << "Bluetooth";
    EXPECT_TRUE(Eventually([&] { return StatusWord(120, mouse); })) << "Mouse";
    EXPECT_TRUE(Eventually([&] { return StatusWord(140, keyboard); })) << "Keyboard";
    EXPECT_TRUE(Eventually([&] { return LastTip() == tip; })) << LastTip();
  }
  // The keyboard box clicked on its page, where a user clicks it.
  static void ClickKeyboardBox() {
    ClickTab(1);
    WindowHandle box = ChildById(window, kKeyboardCheck);
    ASSERT_NE(box, nullptr);
    Rect r = ScreenBounds(box);
    ClickScreen(r.left + 6, (r.top + r.bottom) / 2);
  }
};

TEST_F(LiveE2E, StatusWordsAndTipFollowTheKeyboardBoxAndTheRadio) {
  ClickTab(2);
  {
    SCOPED_TRACE("start: the filter record switched the keyboard on; the radio is off");
    Expect(false, false, true, "Quillmote: Bluetooth off");
    Photograph("start");
  }
  {
    SCOPED_TRACE("radio on, while the status page shows");
    ASSERT_EQ(qmxsim.Sim(u"radio on"), 0);
    EXPECT_TRUE(Eventually([] { return DebugLogHas("DoConnect: [001ea43b7c21][Folding Keyboard]"); }));
    Expect(true, false, true, "Quillmote: keyboard on");
    Photograph("radio-on");
  }
  for (bool on : {false, true}) {
    SCOPED_TRACE(on ? "keyboard box ticked again" : "keyboard box cleared");
    ClickKeyboardBox();
    EXPECT_TRUE(Eventually([&] {
      std::string records = qmxsim.Records();
      return records.substr(records.rfind("filter ")).rfind(on ? "filter 01 01 00 51" : "filter 01 00 00 51", 0) == 0;
    }));
    ClickTab(2);
    Expect(true, false, on, on ? "Quillmote: keyboard on" : "Quillmote: keyboard and mouse off");
    Photograph(on ? "keyboard-on" : "keyboard-off");
  }
  {
    SCOPED_TRACE("the tip shown with the pointer resting on the icon");
    // Moved on the X display as a user moves it: the notification area shows a tip for the
    // pointer's own moves (the virtual desktop sits at the display's origin).
    int32_t left, top, right, bottom;
    ASSERT_TRUE(TaskbarBounds(left, top, right, bottom));
    const int32_t x = right - 10, y = (top + bottom) / 2;
    ASSERT_EQ(CountTopLevelWindows(u"tooltips_class32", true), 0);
    for (int32_t dx : {1, 0}) {
      RunProgram(FromUtf8("/usr/bin/xdotool mousemove " + std::to_string(x - dx) + " " + std::to_string(y)));
      Pause(300);
    }
    EXPECT_TRUE(Eventually([] { return CountTopLevelWindows(u"tooltips_class32", true) == 1; }));
    Pause(300);
    Photograph("tip");
    RunProgram(u"/usr/bin/xdotool mousemove 0 0");
  }
  {
    SCOPED_TRACE("radio off");
    ASSERT_EQ(qmxsim.Sim(u"radio off"), 0);
    Expect(false, false, true, "Quillmote: Bluetooth off");
  }
  ClickTab(1);
}

// On a desk, the device chosen for it (INIT-3 names it) in a framed window in the middle of the
// work area, the soft keys inside the frame, every page photographed there; moved by its caption,
// the window stays where the user put it through a settings change; its close box hides it, and a
// second start shows it again; a new resolution chooses again: a device's own size takes the
// window out of its frame, the desk's size puts it back in the middle.
TEST_F(WindowE2E, DeskShowsADeviceScreenInAFrame) {
  const int32_t w = deskDeviceWidth, h = deskDeviceHeight, mh = Unit(26);
  const std::string measured =
      "ComputeSize::Screen size: " + std::to_string(w) + "x" + std::to_string(h) + " Menu: " + std::to_string(mh);
  EXPECT_TRUE(DebugLogHas("INIT-3: Screen size: " + std::to_string(w) + "x" + std::to_string(h) + ","));
  auto framedInTheMiddle = [&] {
    Rect at = ScreenBounds(window), client = ClientArea(window);
    int32_t left, top, right, bottom;
    WorkArea(left, top, right, bottom);
    return HasCaption(window) && client.right == w && client.bottom == h - mh &&
           std::abs(at.left + at.right - left - right) <= 1 && std::abs(at.top + at.bottom - top - bottom) <= 1;
  };
  EXPECT_TRUE(framedInTheMiddle());
  Rect keys = ScreenBounds(ChildOfClass(window, u"Quillmote.SoftKeys"));
  Point origin = ClientOrigin();
  EXPECT_TRUE(keys.left == origin.x && keys.top == origin.y + h - 2 * mh && keys.right == origin.x + w &&
              keys.bottom == origin.y + h - mh);
  const uint32_t kSoftKeysRgb = 0x242830;
  int dark = 0;
  for (int32_t x = keys.left; x < keys.right; x += 4) dark += ScreenPixel(x, keys.top + 4) == kSoftKeysRgb ? 1 : 0;
  EXPECT_GT(dark, w / 8);
  // Every page by its tab, photographed with the whole desk around the frame.
  const char* names[] = {"keyboard", "status", "help", "about"};
  for (int page = 1; page < 5; ++page) {
    EXPECT_EQ(ClickTab(page), page) << names[page - 1];
    Photograph(names[page - 1]);
  }
  EXPECT_EQ(ClickTab(1), 1);

  Rect at = ScreenBounds(window);
  int32_t x, y;
  ASSERT_TRUE(CloseBoxPoint(window, x, y));
  DragScreen((at.left + at.right) / 2, y, (at.left + at.right) / 2 - 200, y + 30);
  ASSERT_TRUE(Eventually([&] { return ScreenBounds(window).left == at.left - 200; }));
  size_t before = DebugLogMessages().size();
  Send(window, kWmSettingChange, 0, 0);
  ASSERT_TRUE(LoggedSince(before, measured));
  EXPECT_TRUE(ScreenBounds(window).left == at.left - 200 && ScreenBounds(window).top == at.top + 30);
  Photograph("moved");

  ASSERT_TRUE(CloseBoxPoint(window, x, y));
  ClickScreen(x, y);
  EXPECT_TRUE(Eventually([] { return !IsShown(window); }));
  EXPECT_TRUE(Eventually([] { return DebugLogHas("GUI, user closed the window: hidden"); }));
  EXPECT_TRUE(program.Running());
  Background second;
  ASSERT_TRUE(second.Start(Quoted(u"C:\\QuillmoteWindow\\Ollendock.exe") + u" -tray"));
  int code = 0;
  EXPECT_TRUE(second.Ended(15000, &code));
  EXPECT_EQ(code, -1);
  EXPECT_TRUE(Eventually([] { return IsShown(window); }));
  EXPECT_TRUE(program.Running());

  before = DebugLogMessages().size();
  ASSERT_TRUE(ChangeResolution(640, 480));
  EXPECT_TRUE(LoggedSince(before, "ComputeSize::Screen size: 640x480 Menu: 52"));
  EXPECT_TRUE(Eventually([] { return !HasCaption(window); }));
  Rect whole = ScreenBounds(window);
  EXPECT_TRUE(whole.left == 0 && whole.top == 0 && whole.right == 640 && whole.bottom == 480 - 2 * 52);
  Photograph("new-resolution");
  before = DebugLogMessages().size();
  ASSERT_TRUE(ChangeResolution(0, 0));
  EXPECT_TRUE(LoggedSince(before, measured));
  EXPECT_TRUE(Eventually(framedInTheMiddle));
  Photograph("back");
}

// On a scaled desk the window is the unscaled desk's window (the same device, in Wine's frame of 6 x
// 25 pixels at 96 dots per inch) at the desk's scale, within its work area: its device screen
// exactly, its frame within a few pixels (Wine grows the caption with the scale, not the borders).
// INIT-3 names what the program draws (the drawn size, the factor and its menu bar's height), and
// on every page each control's text fits it in the controls' font at that factor.
TEST_F(WindowE2E, DeskAtItsScale) {
  if (deskScale == 0) GTEST_SKIP() << "an unscaled desk";
  const int32_t factor = 2 * deskScale / 100, mh = 26 * factor;
  Rect at = ScreenBounds(window), client = ClientArea(window);
  EXPECT_EQ(client.right, unscaledWidth * deskScale / 100);
  EXPECT_EQ(client.bottom, (unscaledHeight - 52) * deskScale / 100);
  const int32_t wide = (unscaledWidth + 6) * deskScale / 100, high = (unscaledHeight - 52 + 25) * deskScale / 100;
  EXPECT_NEAR(at.right - at.left, wide, 8);
  EXPECT_NEAR(at.bottom - at.top, high, 8);
  int32_t left, top, right, bottom;
  WorkArea(left, top, right, bottom);
  EXPECT_TRUE(at.left >= left && at.top >= top && at.right <= right && at.bottom <= bottom);
  const std::string two = std::to_string(2 * factor);
  EXPECT_TRUE(DebugLogHas("INIT-3: Screen size: " + std::to_string(deskDeviceWidth) + "x" +
                          std::to_string(deskDeviceHeight) + ", DRAX(2)=" + two + ", DRAY(2)=" + two +
                          ", MH=" + std::to_string(mh)));
  const char* names[] = {"keyboard", "status", "help", "about"};
  for (int page = 1; page < 5; ++page) {
    SCOPED_TRACE(names[page - 1]);
    EXPECT_EQ(ClickTab(page), page);
    // The controls' font: Tahoma of 8 points at 96 dots per inch per factor; a check box's box and
    // its gap take about 16 pixels per factor before the text.
    int checked = 0;
    for (WindowHandle c : ChildrenOfClass(window, u"button")) {
      WChar text[100] = {};
      ReadText(c, text, 100);
      EXPECT_TRUE(TextFitsAtHeight(c, -(8 * 96 * factor + 36) / 72, 16 * factor)) << ToUtf8(text);
      ++checked;
    }
    // The keyboard page has two check boxes, the status page three and a button.
    if (page <= 2) {
      EXPECT_GE(checked, 2);
    }
    Photograph("scaled-" + std::string(names[page - 1]));
  }
  // The about page's credits (from its third opening on, after the desk test's and the loop's):
  // the maker's logo drawn for the factor.
  EXPECT_EQ(ClickTab(1), 1);
  EXPECT_EQ(ClickTab(4), 4);
  Photograph("scaled-about-credits");
  EXPECT_EQ(ClickTab(1), 1);
  // "Connect" with the radio off: its box opens in the middle of the device's screen.
  Post(window, kWmCommand, 133, 0);
  WindowHandle box = nullptr;
  ASSERT_TRUE(Eventually([&] { return (box = FindTopLevel(u"#32770", u"#2 Bluetooth")) != nullptr && IsShown(box); }));
  Rect b = ScreenBounds(box);
  Point origin = ClientOrigin();
  EXPECT_NEAR(b.left + b.right, 2 * origin.x + client.right, 1);
  EXPECT_NEAR(b.top + b.bottom, 2 * origin.y + client.bottom, 1);
  Photograph("scaled-connect");
  Post(box, kWmCommand, 1 /* IDOK */, 0);
  EXPECT_TRUE(Eventually([] { return FindTopLevel(u"#32770", u"#2 Bluetooth") == nullptr; }));
}

// The device screen a desk shows and the scale of a scaled desk, when they are given.
void ReadDesk() {
  std::sscanf(WineOption("--device").c_str(), "%dx%d", &deskDeviceWidth, &deskDeviceHeight);
  std::sscanf(WineOption("--scaled").c_str(), "%dx%d@%d", &unscaledWidth, &unscaledHeight, &deskScale);
}

}  // namespace

const WineSuite wineSuite = {
    "usage: window_e2e_tests --qmxsim EXE --work DIR --ollendock EXE --resources DIR [--device WxH "
    "[--scaled WxH@PERCENT]]",
    {{"--ollendock", &ollendock}, {"--resources", &resources}},
    ReadDesk,
    nullptr};
