// The two pickers under Wine, opened from the real settings window's mouse page as a user of a
// build with that page would open them: the applet picker over the real system folder (Wine's
// own libraries, Ollenset.cpl and misbehaving libraries of our own), the program picker over a
// prepared folder tree, each choice stored in the registry and shown again after a restart.
// A second thread plays the user while the picker's loop runs on the window's thread. On a desk
// (--device names the device screen expected there) the pickers open over the framed window.
// usage: pickers_wine_tests --qmxsim EXE --work DIR --resources DIR --ollenset CPL --hostile DIR
//        [--device WxH]
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "gui/gui.h"
#include "gui/main_window.h"
#include "gui/scale.h"
#include "pickers/picker_frame.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tests/eventually.h"
#include "tests/log_lines.h"
#include "tests/tree_helpers.h"
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
using tree_helpers::Children;
using tree_helpers::ChildrenFlag;
using tree_helpers::Node;

std::string resources, ollenset, hostile;
bool desk = false;  // --device given: the display is a desk
constexpr WChar kInstall[] = u"C:\\QuillmotePickers";
const char* const kHostile[] = {"hostile_name.cpl", "hostile_count.cpl", "hostile_init.cpl", "hostile_negative.cpl"};

// The applet's text `id` as its own table has it in the language the test's start chose.
WString AppletText(uint32_t id) {
  return ModuleText(WindowsPath(ollenset), id, ResourceLanguage());
}

WString Joined(const std::vector<WString>& texts) {
  WString all;
  for (const WString& t : texts) all += t + u"; ";
  return all;
}

WString SystemFile(const char* name) {
  return WString(ControlPanelFolder()) + u"\\" + FromUtf8(name);
}

void InstallPickers() {
  // The log is the prefix's, which other suites write too: this one reads only its own lines.
  RemoveFile(DebugLogFile());
  Installation pickers{kInstall, {QM_WINDOW_PICTURES, QM_DESK_SCALE_PICTURES, QM_PICKER_PICTURES}};
  pickers.installPath = true;
  pickers.applet = ollenset;
  Install(pickers, resources);
  for (const char* name : kHostile) CopyInto(WindowsPath(hostile + "/" + name), SystemFile(name));
  // The folder tree the program picker shows.
  for (const WChar* folder : {u"\\PickerTest", u"\\PickerTest\\Empty", u"\\PickerTest\\Tools"}) CreateFolder(folder);
  for (const WChar* file : {u"\\PickerTest\\calc.exe", u"\\PickerTest\\notes.lnk", u"\\PickerTest\\readme.txt",
                            u"\\PickerTest\\Setup.EXE", u"\\PickerTest\\exe", u"\\PickerTest\\Tools\\tool.exe"})
    FileWriteAll(file, "MZ", 2);
}

// The user: runs its steps on a thread of its own while the window's thread is inside the picker.
class User {
 public:
  explicit User(std::function<void(User&)> steps) : thread_([this, steps] { steps(*this); }) {}
  ~User() { thread_.join(); }

  // The open picker's window, once it is there.
  WindowHandle Picker(const char* base) {
    WindowHandle found = nullptr;
    Eventually([&] { return (found = FindPicker(base)) != nullptr && IsShown(found); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return found;
  }
  // A real double tap (two clicks) at a point of the tree: at the middle of a node's label, or on
  // its row right of the label; where a long label leaves no room there before the scroll bar,
  // right of its parent's label, which names no applet either.
  static void DoubleTap(WindowHandle tree, TreeItem node, bool onLabel) {
    Rect label{}, t = ScreenBounds(tree);
    ASSERT_TRUE(Eventually([&] { return TreeItemBounds(tree, node, label); }));
    if (!onLabel && label.right + 12 >= ClientArea(tree).right - 3) {
      node = TreeNext(tree, node, kTvgnParent);
      ASSERT_TRUE(node && TreeItemBounds(tree, node, label));
    }
    int32_t x = t.left + (onLabel ? (label.left + label.right) / 2 : label.right + 12);
    int32_t y = t.top + (label.top + label.bottom) / 2;
    ClickScreen(x, y);
    ClickScreen(x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  static WString BoxText(WindowHandle box) {
    WChar t[260] = {};
    Send(box, kWmGetText, 260, reinterpret_cast<intptr_t>(t));
    return t;
  }
  // A press on a soft key of the picker's own bar: the left one is "OK", the right "Cancel".
  static void SoftKey(WindowHandle picker, bool left) {
    WindowHandle bar = BarOf(picker);
    ASSERT_NE(bar, nullptr);
    Rect r = ClientArea(bar);
    PostClick(bar, left ? r.right / 4 : r.right * 3 / 4, r.bottom / 2);
  }
  // The picker's own soft-key bar.
  static WindowHandle BarOf(WindowHandle picker);
  void Photograph(const std::string& what) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    WString size = FormatWideString(u"%dx%d", theGUI.ScreenWidth, theGUI.ScreenHeight);
    SaveScreen(WindowsPath(winePaths.work + "/picker-" + ToUtf8(size) + "-" + what + ".bmp"));
  }

 private:
  static WindowHandle FindPicker(const char* base);
  std::thread thread_;
};

WindowHandle User::FindPicker(const char* base) {
  return FindTopLevelByClassPrefix(FromUtf8(base).c_str());
}

WindowHandle User::BarOf(WindowHandle picker) {
  return FindOwnedWindow(picker, u"Quillmote.SoftKeys");
}

class PickersWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InstallPickers();
    debugEnabled = 1;
    OpenWindow();
  }
  static void TearDownTestSuite() { CloseWindow(); }
  static void OpenWindow() {
    theGUI.~GUI();
    new (&theGUI) GUI{};
    LoadSettings(theGUI.settings);
    ASSERT_EQ(theGUI.InitWindow(appInstance), 1);
    LoadWindowPictures(theGUI);  // as start-up makes them
    Show(theGUI.MainWindow, kSwShow);
    BringForward(theGUI.MainWindow);
    // The mouse page, made current as the product never makes it.
    theGUI.CurrentPage = kMousePage;
    theGUI.InitWindowComponents();
    PumpMessages(300);
  }
  static void CloseWindow() {
    Destroy(theGUI.MainWindow);
    PumpMessages(100);  // the quit message of the shutdown
    theGUI.Release();
  }
  // Chooses an entry of the action list for a button, as the list reports a user's choice.
  void ChooseAction(int button, int action) {
    theGUI.SelectedButton = button;
    theGUI.LayoutPage();
    Send(theGUI.Controls[kActionListSlot], kCbSetCurSel, static_cast<uintptr_t>(action), 0);
    Send(theGUI.MainWindow, kWmCommand, (static_cast<uintptr_t>(kCbnSelChange) << 16) | kCmdActionList,
         reinterpret_cast<intptr_t>(theGUI.Controls[kActionListSlot]));
  }
  static std::string Stored(const WChar* name) {
    WChar text[255] = {};
    ReadSetting(name, kRegSz, text, sizeof text);
    return ToUtf8(text);
  }
  static uint32_t StoredAction(const WChar* name) {
    uint32_t v = 99;
    ReadSetting(name, kRegDword, &v, sizeof v);
    return v;
  }
};

TEST_F(PickersWine, AppletPickerOverTheSystemFolder) {
  std::vector<WString> libraries, ollensetApplets, wineApplets;
  std::vector<size_t> hostileChildren;
  WString selection, libraryShown, afterMiss;
  bool openAfterMiss = false, closedByDoubleTap = false;
  {
    User user([&](User& u) {
      WindowHandle picker = u.Picker("browseapplet");
      ASSERT_NE(picker, nullptr);
      WindowHandle tree = ChildById(picker, 702);
      ASSERT_NE(tree, nullptr);
      libraries = Children(tree, nullptr);
      u.Photograph("applets");
      TreeItem wine = Node(tree, u"appwiz.cpl", nullptr);
      if (wine) {
        TreeExpand(tree, wine, kTveExpand);
        wineApplets = Children(tree, wine);
      }
      for (const char* name : kHostile) {
        TreeItem node = Node(tree, FromUtf8(name), nullptr);
        if (!node) continue;
        TreeExpand(tree, node, kTveExpand);
        hostileChildren.push_back(Children(tree, node).size());
      }
      TreeItem ours = Node(tree, u"Ollenset.cpl", nullptr);
      ASSERT_NE(ours, nullptr);
      TreeSelect(tree, ours);
      libraryShown = User::BoxText(ChildById(picker, 503));
      TreeExpand(tree, ours, kTveExpand);
      ollensetApplets = Children(tree, ours);
      TreeItem applet = TreeNext(tree, ours, kTvgnChild);
      TreeSelect(tree, applet);
      selection = User::BoxText(ChildById(picker, 503));
      Send(ChildById(picker, 504), kWmSetText, 0, reinterpret_cast<intptr_t>(u"-quiet"));
      u.Photograph("applet-chosen");
      // A double tap right of the label names no applet: the picker stays, with its choice.
      User::DoubleTap(tree, applet, false);
      openAfterMiss = Exists(picker);
      afterMiss = User::BoxText(ChildById(picker, 503));
      // One on the label chooses the applet.
      User::DoubleTap(tree, applet, true);
      closedByDoubleTap = Eventually([&] { return !Exists(picker); });
      if (!closedByDoubleTap) User::SoftKey(picker, true);
    });
    ChooseAction(3, kOpenAppletAction);
  }
  EXPECT_NE(std::find(libraries.begin(), libraries.end(), u"Ollenset.cpl"), libraries.end());
  EXPECT_NE(std::find(libraries.begin(), libraries.end(), u"appwiz.cpl"), libraries.end());
  // Wine's own libraries answer only CPL_INQUIRE: they list no applet by name.
  EXPECT_TRUE(wineApplets.empty());
  // Unterminated name: one applet of 32 characters; huge count: bounded; refusal and a negative
  // count: nothing. The picker survived them all.
  EXPECT_EQ(hostileChildren, (std::vector<size_t>{1, 256, 0, 0}));
  EXPECT_EQ(libraryShown, u"\\windows\\Ollenset.cpl");
  // The applet names itself in the user's language.
  EXPECT_EQ(ollensetApplets, std::vector<WString>{AppletText(QM_APPLET_NAME)});
  EXPECT_EQ(selection, u"\\windows\\Ollenset.cpl,0");
  EXPECT_TRUE(openAfterMiss);
  EXPECT_EQ(afterMiss, u"\\windows\\Ollenset.cpl,0");
  EXPECT_TRUE(closedByDoubleTap);
  const ButtonAssignment& b = theGUI.settings.Buttons[3];
  EXPECT_EQ(b.Action, kOpenAppletAction);
  EXPECT_EQ(WString(b.Param1), u"\\windows\\Ollenset.cpl,0");
  EXPECT_EQ(WString(b.Param2), u"-quiet");
  EXPECT_EQ(StoredAction(u"Wheel_Up_Action"), 10u);
  EXPECT_EQ(Stored(u"Wheel_Up_Param1"), "\\windows\\Ollenset.cpl,0");
  EXPECT_EQ(Stored(u"Wheel_Up_Param2"), "-quiet");
  // The settings window has its input back.
  EXPECT_TRUE(Eventually([] { return IsWindowEnabledNow(theGUI.MainWindow); }));
}

TEST_F(PickersWine, ProgramPickerOverAFolderTree) {
  std::vector<WString> children, tools, toolsAgain;
  size_t toolsClosed = 99;
  bool closedByEnter = false;
  int emptyButton = -1;
  WString selection;
  Rect placed{}, bar{}, treePlace{};
  bool inFront = !desk, followed = !desk;
  {
    User user([&](User& u) {
      WindowHandle picker = u.Picker("browsefile");
      ASSERT_NE(picker, nullptr);
      WindowHandle tree = ChildById(picker, 701);
      TreeItem root = Node(tree, u"\\", nullptr);
      ASSERT_NE(root, nullptr);
      TreeExpand(tree, root, kTveExpand);
      TreeItem folder = Node(tree, u"PickerTest", root);
      ASSERT_NE(folder, nullptr);
      TreeExpand(tree, folder, kTveExpand);
      children = Children(tree, folder);
      TreeItem empty = Node(tree, u"Empty", folder);
      TreeExpand(tree, empty, kTveExpand);
      emptyButton = ChildrenFlag(tree, empty);
      TreeItem toolsNode = Node(tree, u"Tools", folder);
      TreeExpand(tree, toolsNode, kTveExpand);
      tools = Children(tree, toolsNode);
      // The user closes "Tools" with the keyboard and opens it again: the folder is read again.
      constexpr uintptr_t kVkLeft = 0x25, kVkRight = 0x27, kVkReturn = 0x0D;
      TreeSelect(tree, toolsNode);
      Send(tree, kWmKeyDown, kVkLeft, 0);
      toolsClosed = Children(tree, toolsNode).size();
      Send(tree, kWmKeyDown, kVkRight, 0);
      toolsAgain = Children(tree, toolsNode);
      TreeSelect(tree, Node(tree, u"notes.lnk", folder));
      selection = User::BoxText(ChildById(picker, 501));
      Send(ChildById(picker, 502), kWmSetText, 0, reinterpret_cast<intptr_t>(u"/new"));
      // A new display on a desk moves no window: the picker, moved meanwhile, takes the whole
      // screen again less its soft keys, which follow it, and lays its controls out again.
      Move(picker, 0, 0, theGUI.ScreenWidth / 2, theGUI.ScreenHeight / 2, true);
      Send(picker, kWmDisplayChange, 0, 0);
      placed = ScreenBounds(picker);
      bar = ScreenBounds(User::BarOf(picker));
      treePlace = ScreenBounds(tree);
      u.Photograph("programs");
      if (desk) {
        // Covered, the settings window takes no input (its close box hides nothing); brought
        // forward, it keeps the picker in front; put in the middle of a new desk, it takes the
        // picker along.
        WindowHandle main = theGUI.MainWindow;
        int32_t x, y;
        ASSERT_TRUE(CloseBoxPoint(main, x, y));
        ClickScreen(x, y);
        BringForward(main);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        inFront = IsShown(main) && IsAbove(picker, main) && ForegroundNow() == picker;
        u.Photograph("brought-forward");
        Rect window = ScreenBounds(main), before = ScreenBounds(picker);
        // A desk narrower by a quarter (1024 x 768 for 1280 x 800, 1600 x 1200 for 1920 x 1200,
        // 2048 x 1536 for 2560 x 1600): a desk as well, showing the same device, whose middle
        // lies elsewhere.
        int32_t deskWidth = 0, deskHeight = 0;
        DisplaySize(deskWidth, deskHeight);
        const int32_t newWidth = deskWidth == 1920 ? 1600 : deskWidth * 4 / 5;
        const int32_t newHeight = deskWidth == 1920 ? 1200 : deskHeight * 24 / 25;
        ASSERT_TRUE(ChangeResolution(newWidth, newHeight));
        Eventually([&] { return ScreenBounds(main).left != window.left; });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Rect after = ScreenBounds(main);
        followed = after.left - window.left == (newWidth - deskWidth) / 2 &&
                   ScreenBounds(picker).left - before.left == after.left - window.left &&
                   ScreenBounds(picker).top - before.top == after.top - window.top;
        ChangeResolution(0, 0);
        Eventually([&] { return ScreenBounds(main).left == window.left; });
      }
      // Two presses of Enter within two seconds act as OK.
      Send(tree, kWmKeyDown, kVkReturn, 0);
      Send(tree, kWmKeyDown, kVkReturn, 0);
      closedByEnter = Eventually([&] { return !Exists(picker); });
      if (!closedByEnter) User::SoftKey(picker, true);
    });
    ChooseAction(4, kOpenProgramAction);
  }
  // Folders and the files that match; "Setup.EXE" does not (the test is case-sensitive), "exe"
  // does; in the tree's order, which ignores case.
  EXPECT_EQ(children, (std::vector<WString>{u"calc.exe", u"Empty", u"exe", u"notes.lnk", u"Tools"}));
  // The device's screen: the whole screen, or on a desk the framed window's client area (the device
  // screen less the taskbar that its caption stands for).
  Point origin{0, 0};
  if (desk) ScreenToClientPoint(theGUI.MainWindow, origin);
  const int32_t left = -origin.x, top = -origin.y, width = theGUI.ScreenWidth;
  const int32_t bottom = top + theGUI.ScreenHeight - (desk ? theGUI.MH : 0);
  EXPECT_EQ(placed.left, left);
  EXPECT_EQ(placed.top, top);
  EXPECT_EQ(placed.right, left + width);
  EXPECT_EQ(placed.bottom, bottom - theGUI.MH);
  EXPECT_EQ(bar.top, placed.bottom);
  EXPECT_EQ(bar.bottom, bottom);
  EXPECT_EQ(treePlace.right, left + width);
  EXPECT_EQ(treePlace.bottom, placed.bottom - ScaleForDpi(20));
  EXPECT_TRUE(inFront);
  EXPECT_TRUE(followed);
  std::vector<std::string> log = DebugLogMessages();
  EXPECT_EQ(std::find(log.begin(), log.end(), "GUI, user closed the window: hidden"), log.end());
  EXPECT_TRUE(IsWindowEnabledNow(theGUI.MainWindow));
  EXPECT_EQ(emptyButton, 0);
  EXPECT_EQ(tools, std::vector<WString>{u"tool.exe"});
  EXPECT_EQ(toolsClosed, 0u);
  EXPECT_EQ(toolsAgain, std::vector<WString>{u"tool.exe"});
  EXPECT_TRUE(closedByEnter);
  EXPECT_EQ(selection, u"\\PickerTest\\notes.lnk");
  EXPECT_EQ(StoredAction(u"Wheel_Down_Action"), 9u);
  EXPECT_EQ(Stored(u"Wheel_Down_Param1"), "\\PickerTest\\notes.lnk");
  EXPECT_EQ(Stored(u"Wheel_Down_Param2"), "/new");
}

// The system's own control panel (Wine's control.exe, which reads each applet's name and
// description from the applet's string table) lists Ollenset in the user's language.
TEST_F(PickersWine, ControlPanelNamesTheAppletInTheUsersLanguage) {
  const WString name = AppletText(QM_APPLET_NAME), description = AppletText(QM_APPLET_INFO);
  // A translated run reads its own language, not English.
  if (ResourceLanguage() != kEnglish) {
    EXPECT_NE(name, ModuleText(WindowsPath(ollenset), QM_APPLET_NAME, kEnglish));
  }
  // Without the misbehaving libraries, which the system's panel does not survive.
  for (const char* library : kHostile) RemoveFile(SystemFile(library).c_str());
  Background panel;
  ASSERT_TRUE(panel.Start(u"control.exe"));
  std::vector<WString> names, descriptions;
  EXPECT_TRUE(Eventually([&] {
    for (WindowHandle list : ListViewsOfProcess(panel.Pid())) {
      names = RemoteListTexts(list, 0);
      descriptions = RemoteListTexts(list, 1);
      if (std::find(names.begin(), names.end(), name) != names.end()) return true;
    }
    return false;
  })) << "the control panel lists: "
      << ToUtf8(Joined(names));
  EXPECT_NE(std::find(descriptions.begin(), descriptions.end(), description), descriptions.end())
      << "its descriptions: " << ToUtf8(Joined(descriptions));
  SaveScreen(WindowsPath(winePaths.work + "/control-panel-" + ToUtf8(TextLanguageTag()) + ".bmp"));
  panel.Stop(0);
  for (const char* library : kHostile) CopyInto(WindowsPath(hostile + "/" + library), SystemFile(library));
}

TEST_F(PickersWine, CancelChangesNothing) {
  ButtonAssignment before = theGUI.settings.Buttons[0];
  {
    User user([&](User& u) {
      WindowHandle picker = u.Picker("browseapplet");
      ASSERT_NE(picker, nullptr);
      WindowHandle tree = ChildById(picker, 702);
      TreeItem ours = Node(tree, u"Ollenset.cpl", nullptr);
      TreeExpand(tree, ours, kTveExpand);
      TreeSelect(tree, TreeNext(tree, ours, kTvgnChild));
      User::SoftKey(picker, false);
    });
    ChooseAction(0, kOpenAppletAction);
  }
  EXPECT_EQ(theGUI.settings.Buttons[0].Action, before.Action);
  EXPECT_EQ(WString(theGUI.settings.Buttons[0].Param1), WString(before.Param1));
  EXPECT_EQ(StoredAction(u"Left_Button_Action"), static_cast<uint32_t>(before.Action));
}

// The choices outlive the program: after a restart the mouse page shows them. The choices are
// the ones the two pickers' tests above stored through the pickers, so this runs after them (in
// the file's order, as GoogleTest runs it).
TEST_F(PickersWine, ChoicesAreShownAfterARestart) {
  CloseWindow();
  OpenWindow();
  struct Row {
    int button, action;
  } rows[] = {{3, kOpenAppletAction}, {4, kOpenProgramAction}};
  for (const Row& r : rows) {
    theGUI.SelectedButton = r.button;
    theGUI.LayoutPage();
    EXPECT_EQ(Send(theGUI.Controls[kActionListSlot], kCbGetCurSel, 0, 0), r.action) << r.button;
  }
  PumpMessages(200);
  SaveScreen(WindowsPath(winePaths.work + "/picker-" +
                         ToUtf8(FormatWideString(u"%dx%d", theGUI.ScreenWidth, theGUI.ScreenHeight)) +
                         "-mouse-after-restart.bmp"));
}

// The display, and the program's texts as its start chooses them.
void PrepareProgram() {
  desk = !WineOption("--device").empty();
  appInstance = ProgramInstance();
  ChooseTextLanguage(appInstance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();
  InitControls();
}

}  // namespace

const WineSuite wineSuite = {
    "usage: pickers_wine_tests --qmxsim EXE --work DIR --resources DIR --ollenset CPL --hostile DIR",
    {{"--resources", &resources}, {"--ollenset", &ollenset}, {"--hostile", &hostile}},
    PrepareProgram,
    nullptr};
