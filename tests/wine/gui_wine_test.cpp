// The settings window's parts that only a program of its own can reach, under Wine in a virtual
// desktop of a device's screen size: the mouse page (which the product never makes current), the
// soft-key bar following a new menu height, the help view's navigation protocol, and the
// pictures' key colours decoded exactly. The program carries Ollendock's resources and makes the
// window in its own process; the window of the real program is driven by window_e2e_tests.
// usage: gui_wine_tests --qmxsim EXE --work DIR --resources DIR
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bluetooth/connect.h"
#include "driver_link/driver_control.h"
#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/main_window.h"
#include "gui/page_paint.h"
#include "gui/scale.h"
#include "gui/tray_icon.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/html_view.h"
#include "platform/paint.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/shell_ui.h"
#include "platform/testing.h"
#include "platform/threads.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tests/eventually.h"
#include "tests/wine/installed_content.h"
#include "tests/wine/wine_test_options.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/registry_access.h"
#include "tray/ui_text.h"
#include "tray/wformat.h"

namespace {

using namespace platform;
using namespace platform::win32test;

std::string resources;  // --resources
constexpr WChar kInstall[] = u"C:\\QuillmoteTest";

WString Size() {
  return FormatWideString(u"%dx%d", theGUI.ScreenWidth, theGUI.ScreenHeight);
}

// The installed content the window reads: pictures and the help page.
void InstallContent() {
  Installation content{kInstall, {QM_WINDOW_PICTURES, "morvane.jpg", QM_PICKER_PICTURES}};
  content.help = true;
  content.installPath = true;
  Install(content, resources);
}

class SettingsWindowWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallContent();
    debugEnabled = 1;
    driverReady = 1;
    WCopy(Description, kAboutTextChars, u"Bluetooth keyboard companion");
    WCopy(Version, kAboutTextChars, u"1.0.0.1");
    WCopy(AboutWebLink, kAboutTextChars, u"www.morvane.com");
    logoBitmap.Reset(LoadPicture(u"C:\\QuillmoteTest\\images\\morvane.jpg"));
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
    LoadWindowPictures(theGUI);  // as start-up makes them
    Show(theGUI.MainWindow, kSwShow);
    BringForward(theGUI.MainWindow);
    PumpMessages(300, DispatchWithKeys);
  }
  static void TearDownTestSuite() {
    // The window's end runs the shutdown: the listener is gone by then.
    Destroy(theGUI.MainWindow);
    theGUI.Release();
    logoBitmap.Close();
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
    PumpMessages(150, DispatchWithKeys);
  }
  // The status page's word in its row (in design units): blue for on, red for off, alone.
  static bool StatusWordIs(int32_t top, bool on) {
    const uint32_t kBlueRgb = 0x0000FF, kRedRgb = 0xFF0000;
    Point at{0, 0};
    ScreenToClientPoint(theGUI.MainWindow, at);
    int blue = 0, red = 0;
    for (int32_t y = DRAY(top); y < DRAY(top + 20); ++y)
      for (int32_t x = DRAX(80); x < DRAX(120); ++x) {
        uint32_t p = ScreenPixel(x - at.x, y - at.y);
        blue += p == kBlueRgb ? 1 : 0;
        red += p == kRedRgb ? 1 : 0;
      }
    return on ? blue > 0 && red == 0 : red > 0 && blue == 0;
  }
  void Photograph(const std::string& what) {
    PumpMessages(200, DispatchWithKeys);
    std::string name = "settings-" + ToUtf8(Size()) + "-" + what + ".bmp";
    ASSERT_TRUE(SaveScreen(WindowsPath(winePaths.work + "/" + name)));
  }
};

// The mouse page, which the product never makes current (its tab shows the keyboard page): made
// current here, the third button selected by a tap on its column, photographed.
TEST_F(SettingsWindowWine, MousePageMadeCurrent) {
  ClickTab(0);
  EXPECT_EQ(theGUI.CurrentPage, kKeyboardPage);
  theGUI.CurrentPage = kMousePage;
  theGUI.InitWindowComponents();
  PostClick(theGUI.MainWindow, DRAX(48) * 3 + DRAX(20), DRAY(60));
  PumpMessages(150, DispatchWithKeys);
  EXPECT_EQ(theGUI.SelectedButton, 3);
  Photograph("mouse");
  ClickTab(1);
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
  PumpMessages(100, DispatchWithKeys);
  b = ScreenBounds(bar);
  at = ScreenBounds(w);
  EXPECT_EQ(b.bottom - b.top, theGUI.MH * 2);
  EXPECT_EQ(b.top, at.bottom);
  PlaceAsShellWindow(w, theGUI.MH);
  PumpMessages(100, DispatchWithKeys);
  b = ScreenBounds(bar);
  EXPECT_EQ(b.bottom - b.top, theGUI.MH);
  Rect r = ClientArea(bar);
  PostClick(bar, r.right / 4, r.bottom / 2);
  EXPECT_TRUE(Eventually([&] {
    PumpMessages(20, DispatchWithKeys);
    return !IsShown(w);
  }));
  Show(w, kSwShow);
  BringForward(w);
  PumpMessages(200, DispatchWithKeys);
}

// The help view shows a local page legibly, is emptied by DTM_CLEAR and shows the page again.
TEST_F(SettingsWindowWine, HelpViewClearsAndNavigates) {
  ClickTab(kHelpPage);
  PumpMessages(300, DispatchWithKeys);
  WindowHandle view = theGUI.Controls[kHelpViewSlot];
  ASSERT_NE(view, nullptr);
  Rect v = ScreenBounds(view);
  auto inked = [&] {
    PumpMessages(200, DispatchWithKeys);
    int n = 0;
    for (int32_t y = v.top; y < v.bottom; y += 2)
      for (int32_t x = v.left; x < v.right - 20; x += 2) n += (ScreenPixel(x, y) & 0xFFFFFF) < 0x404040 ? 1 : 0;
    return n;
  };
  int page = inked();
  EXPECT_GT(page, 200) << "the help page's text";
  Send(view, kDtmClear, 0, 0);
  EXPECT_EQ(inked(), 0) << "cleared";
  // Which addresses the view takes is the address reader's, tested on the host.
  WChar* address = AllocPlatformString(u"file://C:\\QuillmoteTest\\help\\help.html");
  Send(view, kDtmNavigate, 0, reinterpret_cast<intptr_t>(address));
  FreePlatformString(address);
  EXPECT_EQ(inked(), page) << "the same page again";
  ClickTab(1);
}

// Real key events typed on another thread while this one runs the program's loop (which gives the
// window its keys first, as every pump of this program does), as a user types into the running window; `waitFor`, when
// given, is a window class the typing waits for before it goes on (a picker opened by the keys before).
void Type(const std::vector<std::pair<std::string, const WChar*>>& steps) {
  std::atomic<bool> done{false};
  std::thread typist([&] {
    for (const auto& [keys, waitFor] : steps) {
      if (waitFor) Eventually([&] { return FindTopLevelByClassPrefix(waitFor) != nullptr; });
      if (waitFor) std::this_thread::sleep_for(std::chrono::milliseconds(500));
      TypeKeys(keys);
    }
    done = true;
  });
  while (!done) PumpMessages(50, DispatchWithKeys);
  typist.join();
  // The last keys are still on their way through the X server and Wine's desktop.
  PumpMessages(1000, DispatchWithKeys);
}

// The mouse page from the keyboard alone: the arrow keys move the action list past "Open Program"
// and "Open Applet" without opening a picker, and Enter stores "Close Task"; "Open Program" with
// Enter opens the program picker, where Down, Right, Down and Enter choose the root folder's first
// program for the button; "Open Applet" opens the applet picker, which Esc leaves with nothing
// stored.
TEST_F(SettingsWindowWine, MousePageFromTheKeyboard) {
  ASSERT_TRUE(FileWriteAll(u"\\0quillmote.exe", "MZ", 2));  // the root folder's first entry
  theGUI.CurrentPage = kMousePage;
  theGUI.SelectedButton = 0;
  theGUI.settings.Buttons[0].Action = 0;
  theGUI.InitWindowComponents();
  WindowHandle list = theGUI.Controls[kActionListSlot];
  BringForward(theGUI.MainWindow);
  Focus(list);
  PumpMessages(200, DispatchWithKeys);
  Type({{"Down Down Down Down Down Down Down Down Down Down Down", nullptr}});
  EXPECT_EQ(Send(list, kCbGetCurSel, 0, 0), 11);
  EXPECT_EQ(theGUI.settings.Buttons[0].Action, 0);
  Photograph("mouse-keys");
  Type({{"Return", nullptr}});
  EXPECT_EQ(theGUI.settings.Buttons[0].Action, 11);
  uint32_t stored = 0;
  EXPECT_EQ(ReadSetting(u"Left_Button_Action", kRegDword, &stored, sizeof stored), 1);
  EXPECT_EQ(stored, 11u);

  Type({{"Up Up Return", nullptr}, {"Down Right", u"browsefile"}, {"Down Return", u"browsefile"}});
  EXPECT_EQ(theGUI.settings.Buttons[0].Action, 9);
  EXPECT_EQ(WString(theGUI.settings.Buttons[0].Param1), u"\\0quillmote.exe");
  EXPECT_EQ(FindTopLevelByClassPrefix(u"browsefile"), nullptr);

  Type({{"Down Return", nullptr}, {"Escape", u"browseapplet"}});
  EXPECT_EQ(FindTopLevelByClassPrefix(u"browseapplet"), nullptr);
  EXPECT_EQ(theGUI.settings.Buttons[0].Action, 9);
  EXPECT_EQ(WString(theGUI.settings.Buttons[0].Param1), u"\\0quillmote.exe");
  EXPECT_EQ(Send(list, kCbGetCurSel, 0, 0), 9);  // the stored action again
  RemoveFile(u"\\0quillmote.exe");
  ClickTab(1);
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
  EXPECT_EQ(checked, 16);  // factors 1 to 4 of the mouse band, cursor strip and two picker strips
  // A file that is not a picture, is cut short or is missing, gives no bitmap.
  EXPECT_EQ(LoadPicture(WindowsPath(resources + "/help/help.html").c_str()), nullptr);
  std::string jpeg;
  ASSERT_TRUE(FileReadAll(WindowsPath(resources + "/images/t0s2_f12.jpg").c_str(), jpeg));
  WString cut = WindowsPath(winePaths.work + "/cut.jpg");
  ASSERT_TRUE(FileWriteAll(cut.c_str(), jpeg.data(), jpeg.size() / 2));
  EXPECT_EQ(LoadPicture(cut.c_str()), nullptr);
  EXPECT_EQ(LoadPicture(u"C:\\QuillmoteTest\\images\\none.jpg"), nullptr);
}

// Every text in its place, in the language the run chose (each language has runs of its own):
// every page photographed, each painted text within the room the page gives it (up to the next
// control or the page's edge), each control's text within its control, the tabs within the
// screen, and the status words in their colours.
TEST_F(SettingsWindowWine, EveryTextFitsItsPlace) {
  struct Painted {
    int page;
    uint32_t text;
    int32_t font;  // design height
    bool bold;
    int32_t left, top, right, bottom;  // design units: the room the text has
    bool wrapped;
  };
  std::vector<Painted> painted = {
      {kMousePage, QM_TEXT_MOUSE_TITLE, 14, true, 5, 20, 240, 40, false},
      {kMousePage, QM_TEXT_CURSOR, 14, true, 5, 140, 48, 160, false},    // up to the "<" button
      {kMousePage, QM_TEXT_SPEED, 14, true, 120, 140, 160, 160, false},  // up to the speed list
      {kKeyboardPage, QM_TEXT_KEYBOARD_TITLE, 14, true, 5, 20, 240, 40, false},
      {kKeyboardPage, QM_TEXT_KEYBOARD_DESCRIPTION, 14, false, 5, 40, 240, 120, true},  // above the sounds box
      {kSettingsPage, QM_TEXT_SETTINGS_TITLE, 14, true, 5, 20, 240, 40, false},
      {kSettingsPage, QM_TEXT_STATUS_TITLE, 14, true, 5, 80, 240, 100, false},
      {kSettingsPage, QM_TEXT_BLUETOOTH_LABEL, 14, true, 0, 100, 75, 120, false},
      {kSettingsPage, QM_TEXT_MOUSE_LABEL, 14, true, 0, 120, 75, 140, false},
      {kSettingsPage, QM_TEXT_KEYBOARD_LABEL, 14, true, 0, 140, 75, 160, false},
      {kSettingsPage, QM_TEXT_ON, 14, false, 80, 100, 110, 120, false},  // up to the "Change" button
      {kSettingsPage, QM_TEXT_OFF, 14, false, 80, 100, 110, 120, false},
      {kAboutPage, QM_TEXT_ABOUT_TITLE, 14, true, 5, 0, 240, 20, false},
      {kAboutPage, QM_TEXT_VERSION_LABEL, 14, true, 0, 40, 70, 60, false},
      {kAboutPage, QM_TEXT_RELEASE_LABEL, 14, true, 0, 60, 70, 80, false},
      {kAboutPage, QM_TEXT_LEGAL_NOTICE, 13, false, 5, 80, 235, 160, true},
      {kAboutPage, QM_TEXT_COPYRIGHT, 14, true, 5, 80, 240, 100, false},
      {kAboutPage, QM_TEXT_COMPATIBLE, 12, false, 100, 120, 240, 180, true},
  };
  // The action names, each under its button in two lines at most.
  for (int i = 0; i < kActionCount; ++i)
    painted.push_back({kMousePage, static_cast<uint32_t>(QM_TEXT_ACTION_FIRST + i), 12, false, 0, 81, 48, 105, true});
  // Every translation's texts, whichever language this run shows.
  for (uint16_t language : {0x0409, 0x0407, 0x040C, 0x0C0A, 0x0410, 0x0419, 0x0501}) {
    // English is the program's own; every other language is its library beside the program.
    InstanceHandle module = language == 0x0409 ? appInstance : OpenTranslation(appInstance, language);
    ASSERT_NE(module, nullptr) << language;
    for (const Painted& p : painted) {
      WChar text[512];
      ASSERT_GT(LoadResourceString(module, p.text, static_cast<uint16_t>(language), text, 512), 0);
      SCOPED_TRACE(ToUtf8(text));
      int32_t width = 0, height = 0, room = DRAX(p.right) - DRAX(p.left);
      MeasureText(kFace, DRAY(p.font), p.bold ? kFwBold : kFwThin, text, p.wrapped ? room : 0, width, height);
      EXPECT_LE(width, room);
      EXPECT_LE(height, DRAY(p.bottom) - DRAY(p.top));
    }
  }

  // Each page as the user opens it; the about page's credits from its third opening.
  driverStatus.bluetoothOn.store(1);
  driverStatus.mouseOn.store(0);
  driverStatus.keyboardOn.store(0);
  const char* names[] = {"mouse", "keyboard", "status", "help", "about"};
  for (int page : {kMousePage, kKeyboardPage, kSettingsPage, kHelpPage, kAboutPage, kAboutPage, kAboutPage}) {
    if (page == kMousePage) {
      theGUI.CurrentPage = kMousePage;
      theGUI.InitWindowComponents();
    } else {
      ClickTab(page);
    }
    PumpMessages(page == kHelpPage ? 800 : 200, DispatchWithKeys);
    // A check box's text has its room beside the mark; a push button's the whole button.
    std::vector<WindowHandle> buttons = ChildrenOfClass(theGUI.MainWindow, u"Button");
    EXPECT_EQ(buttons.empty(), page == kHelpPage || page == kAboutPage) << names[page];
    for (WindowHandle c : buttons) {
      WChar text[128] = {};
      ReadText(c, text, 128);
      bool checkBox = ClientArea(c).right > DRAX(100);
      EXPECT_TRUE(TextFitsItsControl(c, checkBox ? CheckBoxMarkWidth() : 0)) << ToUtf8(text);
    }
    if (page == kSettingsPage) {
      // The status words read from the pixels: Bluetooth on in blue, the others off in red.
      EXPECT_TRUE(StatusWordIs(100, true) && StatusWordIs(120, false) && StatusWordIs(140, false));
    }
    Rect last{};
    ASSERT_TRUE(TabBounds(theGUI.TabControl, kPageCount - 1, last));
    EXPECT_LE(last.right, theGUI.ScreenWidth);
    Photograph(std::string(names[page]) + (page == kAboutPage && AboutVisits >= 3 ? "-credits" : ""));
  }
  Send(theGUI.TabControl, kTcmSetCurSel, kKeyboardPage, 0);
  ShowSelectedTab(theGUI);
}

// A box the program shows, as the connect command shows one: within the screen's work area, its
// text whole in its control however many lines the wrapping takes, its button under the text.
TEST_F(SettingsWindowWine, MessageBoxWithinTheScreen) {
  const WChar* kText = UiText(QM_TEXT_BLUETOOTH_OFF);
  const WChar* kTitle = UiText(QM_TEXT_BLUETOOTH_OFF_TITLE);
  std::thread checker([&] {
    WindowHandle box = nullptr;
    Eventually([&] { return (box = FindTopLevel(u"#32770", kTitle)) != nullptr && IsShown(box); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Rect b = ScreenBounds(box), work{};
    WorkArea(work.left, work.top, work.right, work.bottom);
    EXPECT_TRUE(b.left >= work.left && b.right <= work.right && b.top >= work.top && b.bottom <= work.bottom)
        << b.left << "," << b.top << "-" << b.right << "," << b.bottom;
    WindowHandle text = nullptr;  // the static with words, not the icon
    for (WindowHandle s : ChildrenOfClass(box, u"Static")) {
      WChar words[8] = {};
      if (ReadText(s, words, 8) > 0) text = s;
    }
    std::vector<WindowHandle> buttons = ChildrenOfClass(box, u"Button");
    ASSERT_TRUE(text && !buttons.empty());
    EXPECT_TRUE(TextFitsItsControl(text));
    Rect t = ScreenBounds(text), ok = ScreenBounds(buttons[0]);
    EXPECT_TRUE(t.right <= b.right && ok.top >= t.bottom && ok.bottom <= b.bottom && ok.right <= b.right);
    EXPECT_TRUE(SaveScreen(WindowsPath(winePaths.work + "/settings-" + ToUtf8(Size()) + "-message-box.bmp")));
    Post(box, kWmCommand, 1, 0);  // OK
  });
  EXPECT_EQ(ShowMessageBox(theGUI.MainWindow, kText, kTitle, kConnectBoxFlags), 1);
  checker.join();
}

// The program's texts, as its start chooses them.
void PrepareProgram() {
  appInstance = platform::win32test::ProgramInstance();
  ChooseTextLanguage(appInstance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();
  platform::win32test::InitControls();
}

}  // namespace

const WineSuite wineSuite = {"usage: gui_wine_tests --qmxsim EXE --work DIR --resources DIR",
                             {{"--resources", &resources}},
                             PrepareProgram,
                             nullptr};
