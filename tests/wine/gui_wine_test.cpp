// The real settings window under Wine, in a virtual desktop of a device's screen size: every page
// opened by a click on its tab and photographed, a check box reaching the registry and the driver,
// the tray icon clicked and brought back after a shell restart, the status words following the
// driver's messages, nothing left behind by repaints and page switches, and the pictures' key
// colours decoded exactly. The program carries Ollendock's resources and makes the window in its
// own process, so that it can also make the mouse page current, as the product never does.
// usage: gui_wine_tests --qmxsim EXE --work DIR --resources DIR
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver_link/driver_control.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "driver_link/listener.h"
#include "gui/gui.h"
#include "gui/main_window.h"
#include "gui/page_paint.h"
#include "gui/scale.h"
#include "gui/tray_icon.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/html_view.h"
#include "platform/paint.h"
#include "platform/registry.h"
#include "platform/shell_ui.h"
#include "platform/threads.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tests/eventually.h"
#include "tests/wine/installed_content.h"
#include "tests/wine/qmxsim_server.h"
#include "tests/wine/wine_test_options.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/registry_access.h"
#include "tray/wformat.h"

namespace {

using namespace platform;
using namespace platform::win32test;

std::string resources;  // --resources
constexpr WChar kInstall[] = u"C:\\QuillmoteTest";

WString Size() {
  return FormatWideString(u"%dx%d", theGUI.ScreenWidth, theGUI.ScreenHeight);
}

// Copies the installed content the window reads: pictures and the help page.
void Install() {
  InstallContent(kInstall, resources, {QM_WINDOW_PICTURES, "morvane.jpg"}, true);
  RegWriteValue(kProgramKey, u"InstallPath", kRegSz, kInstall, sizeof kInstall);
}

class SettingsWindowWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Install();
    debugEnabled = 1;
    driverReady = 1;
    WCopy(Description, kAboutTextChars, u"Bluetooth keyboard companion");
    WCopy(Version, kAboutTextChars, u"1.0.0.1");
    WCopy(AboutWebLink, kAboutTextChars, u"www.morvane.com");
    logoBitmap = LoadPicture(u"C:\\QuillmoteTest\\images\\morvane.jpg");
    LoadSettings(theGUI.settings);
    theGUI.settings.Enable_KB = 1;
    theGUI.settings.Enable_Tray = 1;
    theGUI.settings.Speed = 3;
    theGUI.settings.Buttons[1].Action = 2;
    theGUI.settings.Buttons[3].Action = 4;
    theGUI.settings.Buttons[4].Action = 5;
    theGUI.settings.Cursor = 4;
    filterRecord = FilterRecord{1, 1, 0, driver_protocol::kFilterDriverByte};
    ASSERT_EQ(theGUI.InitWindow(appInstance), 1);
    Show(theGUI.MainWindow, kSwShow);
    BringForward(theGUI.MainWindow);
    PumpMessages(300);
  }
  static void TearDownTestSuite() {
    // The window's end runs the shutdown: the listener is gone by then.
    Destroy(theGUI.MainWindow);
    theGUI.Release();
    DeleteGdiObject(logoBitmap);
  }
  // Opens a page by clicking its tab, as a user does. A click on the tab already selected
  // changes nothing, so another tab is clicked first.
  void ClickTab(int tab) {
    if (Send(theGUI.TabControl, kTcmGetCurSel, 0, 0) == tab) Click(tab == 1 ? 2 : 1);
    Click(tab);
  }
  void Click(int tab) {
    Rect r{};
    ASSERT_TRUE(TabBounds(theGUI.TabControl, tab, r));
    PostClick(theGUI.TabControl, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpMessages(150);
  }
  void Photograph(const std::string& what) {
    PumpMessages(200);
    std::string name = "settings-" + ToUtf8(Size()) + "-" + what + ".bmp";
    ASSERT_TRUE(SaveScreen(WindowsPath(winePaths.work + "/" + name)));
  }
  // Pixels of a colour (0x00RRGGBB) in a client rectangle of the window (at the screen's corner).
  int PixelsOf(uint32_t rgb, Rect r) {
    Rect at = ScreenBounds(theGUI.MainWindow);
    int n = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) n += ScreenPixel(at.left + x, at.top + y) == rgb ? 1 : 0;
    return n;
  }
};

TEST_F(SettingsWindowWine, EveryPageByItsTab) {
  const char* names[] = {"mouse", "keyboard", "status", "help", "about"};
  for (int tab = 1; tab < kPageCount; ++tab) {
    ClickTab(tab);
    EXPECT_EQ(theGUI.CurrentPage, tab) << names[tab];
    if (tab == kHelpPage) {
      EXPECT_NE(theGUI.Controls[kHelpViewSlot], nullptr);
      PumpMessages(500);
    }
    Photograph(names[tab]);
  }
  // The about page's credits, from its third opening on.
  ClickTab(4);
  ClickTab(4);
  EXPECT_EQ(AboutVisits, 3);
  Photograph("about-credits");
  // The first tab shows the keyboard page.
  ClickTab(0);
  EXPECT_EQ(theGUI.CurrentPage, kKeyboardPage);
  EXPECT_EQ(Send(theGUI.TabControl, kTcmGetCurSel, 0, 0), kKeyboardPage);
  // The mouse page, made current directly; the third button selected by a tap on its column.
  theGUI.CurrentPage = kMousePage;
  theGUI.InitWindowComponents();
  PostClick(theGUI.MainWindow, DRAX(48) * 3 + DRAX(20), DRAY(60));
  PumpMessages(150);
  EXPECT_EQ(theGUI.SelectedButton, 3);
  Photograph("mouse");
  ClickTab(1);
}

TEST_F(SettingsWindowWine, CheckBoxReachesTheRegistryAndTheDriver) {
  QmxsimServer qmxsim;
  ASSERT_TRUE(qmxsim.Start(WindowsPath(winePaths.work + "/checkbox-" + ToUtf8(Size()) + ".records")));
  ClickTab(1);
  ASSERT_EQ(Send(theGUI.Controls[kKeyboardCheckSlot], kBmGetCheck, 0, 0), 1);
  Send(theGUI.Controls[kKeyboardCheckSlot], kBmClick, 0, 0);
  uint32_t stored = 7;
  ASSERT_EQ(ReadSetting(u"Enable_KB", kRegDword, &stored, sizeof stored), 1);
  EXPECT_EQ(stored, 0u);
  EXPECT_NE(qmxsim.Records().find("filter 01 00 00 51"), std::string::npos) << qmxsim.Records();
  Send(theGUI.Controls[kKeyboardCheckSlot], kBmClick, 0, 0);
  ASSERT_EQ(ReadSetting(u"Enable_KB", kRegDword, &stored, sizeof stored), 1);
  EXPECT_EQ(stored, 1u);
  EXPECT_NE(qmxsim.Records().find("filter 01 01 00 51"), std::string::npos);
}

// The soft keys are read from the window's menu-bar resource: "Hide" on the left hides the
// window. The bar sits under the window, as high as the menu height, and follows a new one.
TEST_F(SettingsWindowWine, SoftKeysFromTheMenuBarResource) {
  WindowHandle w = theGUI.MainWindow;
  WindowHandle bar = FindOwnedWindow(w, u"Quillmote.SoftKeys");
  ASSERT_NE(bar, nullptr);
  Rect b = ScreenBounds(bar), at = ScreenBounds(w);
  EXPECT_EQ(b.bottom - b.top, theGUI.MH);
  EXPECT_EQ(b.top, at.bottom);
  EXPECT_EQ(b.right - b.left, theGUI.ScreenWidth);
  // A screen with another menu height: the bar takes it and stays under the window.
  PlaceAsShellWindow(w, theGUI.MH * 2);
  PumpMessages(100);
  b = ScreenBounds(bar);
  at = ScreenBounds(w);
  EXPECT_EQ(b.bottom - b.top, theGUI.MH * 2);
  EXPECT_EQ(b.top, at.bottom);
  PlaceAsShellWindow(w, theGUI.MH);
  PumpMessages(100);
  b = ScreenBounds(bar);
  EXPECT_EQ(b.bottom - b.top, theGUI.MH);
  Rect r = ClientArea(bar);
  PostClick(bar, r.right / 4, r.bottom / 2);
  EXPECT_TRUE(Eventually([&] {
    PumpMessages(20);
    return !IsShown(w);
  }));
  Show(w, kSwShow);
  BringForward(w);
  PumpMessages(200);
}

// The help view shows a local page, refuses any other address, and is emptied by DTM_CLEAR.
TEST_F(SettingsWindowWine, HelpViewShowsOnlyLocalPages) {
  ClickTab(kHelpPage);
  PumpMessages(300);
  WindowHandle view = theGUI.Controls[kHelpViewSlot];
  ASSERT_NE(view, nullptr);
  Rect v = ScreenBounds(view);
  auto inked = [&] {
    PumpMessages(200);
    int n = 0;
    for (int32_t y = v.top; y < v.bottom; y += 2)
      for (int32_t x = v.left; x < v.right - 20; x += 2) n += (ScreenPixel(x, y) & 0xFFFFFF) < 0x404040 ? 1 : 0;
    return n;
  };
  int page = inked();
  EXPECT_GT(page, 200) << "the help page's text";
  auto navigate = [&](const WChar* address) {
    WChar* text = AllocPlatformString(address);
    intptr_t shown = Send(view, kDtmNavigate, 0, reinterpret_cast<intptr_t>(text));
    FreePlatformString(text);
    return shown;
  };
  EXPECT_EQ(Send(view, kDtmClear, 0, 0), 0);
  EXPECT_EQ(inked(), 0) << "cleared";
  EXPECT_EQ(navigate(u"http://www.morvane.com/help.html"), 0);
  EXPECT_EQ(navigate(u"file://\\\\server\\share\\help.html"), 0);
  EXPECT_EQ(navigate(u"file://C:\\QuillmoteTest\\help\\help.html"), 1);
  EXPECT_EQ(inked(), page) << "the same page again";
  ClickTab(1);
}

TEST_F(SettingsWindowWine, TrayIconShowsTheWindowAndComesBackAfterTheShell) {
  WindowHandle w = theGUI.MainWindow;
  ASSERT_TRUE(AddTrayIcon(w, kTrayIconId, theGUI.TrayIcon));
  PumpMessages(500);
  int32_t left, top, right, bottom;
  ASSERT_TRUE(TaskbarBounds(left, top, right, bottom));
  Show(w, kSwHide);
  PumpMessages(200);
  ASSERT_FALSE(IsShown(w));
  ClickScreen(right - 10, (top + bottom) / 2);
  ASSERT_TRUE(Eventually([&] {
    PumpMessages(20);
    return IsShown(w);
  }));
  // The shell announces a restart but still has the icon (as Wine's does): the window deletes it
  // before adding it again, since adding an icon that is there fails.
  Broadcast(RegisterMessageName(u"TaskbarCreated"));
  PumpMessages(300);
  EXPECT_TRUE(TrayIconThere(w, kTrayIconId));
  std::string log;
  FileReadAll(kDebugLogPath, log);
  EXPECT_NE(log.find("GUI: shell restarted, tray icon added again: 1"), std::string::npos);
  // The shell restarts and has lost the icon: the window puts it back.
  ASSERT_TRUE(DropTrayIcon(w, kTrayIconId));
  ASSERT_FALSE(TrayIconThere(w, kTrayIconId));
  Broadcast(RegisterMessageName(u"TaskbarCreated"));
  PumpMessages(300);
  EXPECT_TRUE(TrayIconThere(w, kTrayIconId));
  // Unchecking "Show Tray Icon" removes it; checking adds it again.
  ClickTab(2);
  Send(theGUI.Controls[kTrayCheckSlot], kBmClick, 0, 0);
  EXPECT_FALSE(TrayIconThere(w, kTrayIconId));
  Send(theGUI.Controls[kTrayCheckSlot], kBmClick, 0, 0);
  EXPECT_TRUE(TrayIconThere(w, kTrayIconId));
  ClickTab(1);
}

TEST_F(SettingsWindowWine, StatusWordsFollowTheDriversMessages) {
  QmxsimServer qmxsim;
  ASSERT_TRUE(qmxsim.Start(WindowsPath(winePaths.work + "/status-" + ToUtf8(Size()) + ".records")));
  listenerThread = StartThread(DriverListenThread, nullptr);
  ASSERT_NE(listenerThread, nullptr);
  ASSERT_TRUE(Eventually([] { return InformDriver(), driverStatus.driverAnswered.load() == 1; }));
  ClickTab(2);
  const uint32_t kBlueRgb = 0x0000FF, kRedRgb = 0xFF0000;
  struct Row {
    const WChar* post;
    std::atomic<uint8_t>* flag;
    int32_t top;  // the word's row, in design units
  } rows[] = {{u"post bluetooth 1", &driverStatus.bluetoothOn, 100},
              {u"post mouse 1", &driverStatus.mouseOn, 120},
              {u"post kb 1", &driverStatus.keyboardOn, 140}};
  for (const Row& r : rows) {
    Rect word{DRAX(80), DRAY(r.top), DRAX(120), DRAY(r.top + 20)};
    EXPECT_GT(PixelsOf(kRedRgb, word), 0) << ToUtf8(r.post);
    EXPECT_EQ(PixelsOf(kBlueRgb, word), 0);
    ASSERT_EQ(qmxsim.Sim(r.post), 0);
    ASSERT_TRUE(Eventually([&] {
      PumpMessages(20);
      return r.flag->load() == 1;
    }));
    PumpMessages(300);
    EXPECT_GT(PixelsOf(kBlueRgb, word), 0) << ToUtf8(r.post);
    EXPECT_EQ(PixelsOf(kRedRgb, word), 0);
  }
  Photograph("status-on");
  for (const WChar* off : {u"post bluetooth 0", u"post mouse 0", u"post kb 0"}) ASSERT_EQ(qmxsim.Sim(off), 0);
  ASSERT_TRUE(Eventually([] {
    PumpMessages(20);
    return !driverStatus.bluetoothOn && !driverStatus.mouseOn && !driverStatus.keyboardOn;
  }));
  PostToThread(ThreadIdOf(listenerThread), kWmQuit, 0, 0);
  EXPECT_TRUE(WaitThread(listenerThread, 5000));
  CloseThread(listenerThread);
  listenerThread = nullptr;
  ClickTab(1);
}

TEST_F(SettingsWindowWine, RepaintsAndPageSwitchesLeaveNothingBehind) {
  for (int tab = 1; tab < kPageCount; ++tab) ClickTab(tab);  // every page made once
  ClickTab(1);
  PumpMessages(200);
  int gdi = LiveGdiObjects();
  int windows = ThreadWindowCount();
  // A hidden window is not painted: the repaints below must really paint.
  ASSERT_TRUE(IsShown(theGUI.MainWindow));
  for (int i = 0; i < 1000; ++i) {
    InvalidateWindow(theGUI.MainWindow, false);
    Update(theGUI.MainWindow);
  }
  EXPECT_EQ(LiveGdiObjects(), gdi) << "after 1000 repaints";
  int switched = 0;
  for (int i = 0; i < 200; ++i) {
    Rect r{};
    TabBounds(theGUI.TabControl, 1 + i % 4, r);
    PostClick(theGUI.TabControl, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    switched += Eventually([&] {
      PumpMessages(5);
      return theGUI.CurrentPage == 1 + i % 4;
    });
  }
  EXPECT_EQ(switched, 200);
  ClickTab(1);
  PumpMessages(300);
  EXPECT_EQ(LiveGdiObjects(), gdi) << "after 200 page switches";
  EXPECT_EQ(ThreadWindowCount(), windows);
}

// Every background pixel of the keyed pictures decodes to exactly the key colour.
TEST(PicturesWine, KeyColoursSurviveTheDecoder) {
  std::ifstream list(resources + "/images/key_pixels.txt");
  ASSERT_TRUE(list.good());
  std::string line;
  int checked = 0;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    unsigned r, g, b;
    int background;
    fields >> name >> r >> g >> b >> background;
    BitmapHandle picture = LoadPicture(WindowsPath(resources + "/images/" + name).c_str());
    ASSERT_NE(picture, nullptr) << name;
    int32_t width, height;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(BitmapPixels(picture, width, height, pixels));
    uint32_t key = (r << 16) | (g << 8) | b;
    int keyed = 0;
    for (uint32_t p : pixels) keyed += p == key ? 1 : 0;
    EXPECT_EQ(keyed, background) << name;
    DeleteGdiObject(picture);
    ++checked;
  }
  EXPECT_EQ(checked, 8);
  // A file that is not a picture, or is missing, gives no bitmap.
  EXPECT_EQ(LoadPicture(WindowsPath(resources + "/help/help.html").c_str()), nullptr);
  EXPECT_EQ(LoadPicture(u"C:\\QuillmoteTest\\images\\none.jpg"), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--resources") resources = argv[i + 1];
  }
  if (!ParseWinePaths(argc, argv, false) || resources.empty()) {
    std::fprintf(stderr, "usage: gui_wine_tests --qmxsim EXE --work DIR --resources DIR\n");
    return 2;
  }
  appInstance = platform::win32test::ProgramInstance();
  platform::win32test::InitControls();
  return RUN_ALL_TESTS();
}
