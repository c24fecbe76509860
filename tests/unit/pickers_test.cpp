// The two pickers on the host's models: fake control-panel libraries, a file tree of the device's
// root folder, and a user who acts whenever the picker's loop waits for input.
#include <array>
#include <climits>
#include <cstring>
#include <deque>
#include <functional>
#include <regex>

#include "gui_fixture.h"
#include "pickers/applet_picker.h"
#include "pickers/picker_frame.h"
#include "pickers/program_picker.h"
#include "platform/control_panel.h"
#include "platform/host/host_libraries.h"
#include "platform/keyboard.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "tests/tree_helpers.h"
#include "tray/registry_access.h"

namespace {

using namespace platform;

// A library's answers: its applets' names by index (nullptr: an empty name), CPL_INIT's answer
// and the count it reports.
struct FakeLibrary {
  FakeLibrary(std::vector<const char16_t*> n, int32_t i = 1, std::optional<int32_t> c = std::nullopt, bool u = false)
      : names(std::move(n)), init(i), count(c), unterminated(u) {}
  std::vector<const char16_t*> names;
  int32_t init;
  std::optional<int32_t> count;  // none: the number of names
  bool unterminated;             // fills all 32 characters of the name
  std::shared_ptr<int> inquiries = std::make_shared<int>(0);
  std::shared_ptr<std::vector<uint32_t>> messages = std::make_shared<std::vector<uint32_t>>();
};

host::FakeCplEntry EntryOf(FakeLibrary lib) {
  return [lib](WindowHandle, uint32_t message, intptr_t index, intptr_t record) -> int32_t {
    if (message != kCplNewInquire) lib.messages->push_back(message);
    if (message == kCplInit) return lib.init;
    if (message == kCplGetCount) return lib.count ? *lib.count : static_cast<int32_t>(lib.names.size());
    if (message == kCplNewInquire) {
      ++*lib.inquiries;
      auto* info = reinterpret_cast<NewCplInfo*>(record);
      if (lib.unterminated) {
        for (WChar& c : info->szName) c = u'x';
        for (WChar& c : info->szInfo) c = u'y';  // and what follows is not a terminator either
      } else if (index >= 0 && static_cast<size_t>(index) < lib.names.size() && lib.names[index]) {
        WCopy(info->szName, kCplNameChars, lib.names[index]);
      }
    }
    return 0;
  };
}

class PickerTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    host::LibrariesReset();
    CreateFolder(u"\\windows");
    SetClock(100000);
    platform::host::SetMonotonicSource([this] { return now_; });
    ASSERT_EQ(Open(), 1);
    owner_ = theGUI.MainWindow;
  }
  void TearDown() override {
    host::SetWhenIdle({});
    host::LibrariesReset();
    GuiTest::TearDown();
  }
  void SetClock(uint64_t ms) { now_ = ms; }
  void Library(const WString& name, std::optional<FakeLibrary> lib) {
    std::string file = ToUtf8(u"\\windows\\" + name);
    FileWriteAll((u"\\windows\\" + name).c_str(), "MZ", 2);
    host::SetFakeLibrary(name, lib ? std::optional<host::FakeCplEntry>(EntryOf(*lib)) : std::nullopt);
  }
  // The user's steps, one each time the picker waits for input.
  void Script(std::deque<std::function<void()>> steps) {
    auto queue = std::make_shared<std::deque<std::function<void()>>>(std::move(steps));
    host::SetWhenIdle([queue] {
      if (queue->empty()) return false;
      auto step = queue->front();
      queue->pop_front();
      step();
      return true;
    });
  }
  // The picker's window and controls while it is open.
  WindowHandle Picker() {
    for (WindowHandle w : host::LiveChildren(nullptr)) {
      const auto* r = host::WindowRecord(w);
      if (r->className.rfind(u"browse", 0) == 0) return w;
    }
    return nullptr;
  }
  WindowHandle Tree() { return ChildById(Picker(), pickerTree_); }
  WindowHandle Box(int id) { return ChildById(Picker(), id); }
  // The node of that text under `parent` (the top when null).
  TreeItem Node(const WString& text, TreeItem parent = nullptr) { return tree_helpers::Node(Tree(), text, parent); }
  std::vector<WString> Children(TreeItem parent = nullptr) { return tree_helpers::Children(Tree(), parent); }
  WString Text(WindowHandle w) {
    WChar t[260];
    ReadText(w, t, 260);
    return t;
  }
  void Notify(int32_t code) {
    host::SendNotification(Picker(), Notification{Tree(), static_cast<uintptr_t>(pickerTree_), code});
  }
  // A double tap where a user taps: on the middle of the node's label, or (missing it) on the
  // node's row at the very left, its indent.
  void DoubleTap(TreeItem node, bool onLabel = true) {
    Rect r{}, t = ScreenBounds(Tree());
    ASSERT_TRUE(TreeItemBounds(Tree(), node, r));
    int32_t x = onLabel ? (r.left + r.right) / 2 : 2;
    host::SetLastMessagePosition(Point{t.left + x, t.top + (r.top + r.bottom) / 2});
    Notify(kNmDblClk);
  }
  void Press(uint16_t command) { Post(Picker(), kWmCommand, command, 0); }
  int Images(TreeItem node) {
    int image = -1;
    TreeRead(Tree(), node, kTvifImage, nullptr, 0, &image, nullptr, nullptr);
    return image;
  }
  // The user opens or closes a node with its button.
  void Expand(TreeItem node) { SetExpanded(node, true); }
  void Collapse(TreeItem node) { SetExpanded(node, false); }
  void SetExpanded(TreeItem node, bool open) {
    ASSERT_NE(node, nullptr);
    bool toggle = false;
    for (const auto& e : host::WindowRecord(Tree())->tree) toggle |= e.item == node && e.expanded != open;
    if (toggle) host::ToggleNode(Tree(), node);  // after the look: the toggle adds nodes
  }
  int HasChildrenFlag(TreeItem node) { return tree_helpers::ChildrenFlag(Tree(), node); }
  // The installed strip of the screen's factor, as the settings window chooses it.
  WString Strip(const WString& name) {
    return u"\\Quillmote\\images\\" + name + (ScaleX == 2 ? u"_f2.jpg" : u"_f1.jpg");
  }
  void OpenApplets() {
    pickerTree_ = 702;
    ShowAppletPicker(kInstance, owner_, u"Add Applet", u"lpc.", Strip(u"tva").c_str(), result_, parameter_);
  }
  void OpenPrograms(const WChar* pattern = u"exe.|knl.") {
    pickerTree_ = 701;
    ShowProgramPicker(kInstance, owner_, u"Add Shortcut or Program", pattern, Strip(u"tvf").c_str(), result_,
                      parameter_);
  }

  uint64_t now_ = 0;
  WindowHandle owner_ = nullptr;
  int pickerTree_ = 0;
  WChar result_[260] = {}, parameter_[260] = {};
};

TEST_F(PickerTest, AppletPickerAsksEachLibrary) {
  debugEnabled = 1;
  FakeLibrary main{{u"Owner", nullptr, u"Clock"}};
  FakeLibrary huge{{u"First"}, 1, 2147483647};
  Library(u"cplmain.cpl", main);
  Library(u"dupe.cpl", FakeLibrary{{u"Same", u"Same"}});
  Library(u"noentry.cpl", std::nullopt);
  FakeLibrary initFails{{u"Never"}, 0};
  Library(u"initfails.cpl", initFails);
  Library(u"UPPER.CPL", FakeLibrary{{u"Hidden"}});
  Library(u"long.cpl", FakeLibrary{{}, 1, 1, true});
  Library(u"huge.cpl", huge);
  Library(u"negative.cpl", FakeLibrary{{u"None"}, 1, -5});
  FileWriteAll(u"\\windows\\absent.cpl", "MZ", 2);  // a file that does not load
  FileWriteAll(u"\\windows\\readme.txt", "text", 4);
  CreateFolder(u"\\windows\\folder.cpl");
  std::vector<std::vector<WString>> expanded;
  Script({
      [&] {
        EXPECT_FALSE(host::WindowRecord(owner_)->enabled);  // the settings window waits
        EXPECT_EQ(Children(),
                  (std::vector<WString>{u"absent.cpl", u"cplmain.cpl", u"dupe.cpl", u"huge.cpl", u"initfails.cpl",
                                        u"long.cpl", u"negative.cpl", u"noentry.cpl", u"UPPER.CPL"}));
        for (const WString& lib : Children()) {
          TreeItem node = Node(lib);
          EXPECT_EQ(HasChildrenFlag(node), 1) << ToUtf8(lib);
          Expand(node);
          EXPECT_EQ(Images(node), kExpandedImage);
          expanded.push_back(Children(node));
          EXPECT_EQ(host::LoadedLibraryCount(), 0) << ToUtf8(lib);  // released at once
        }
      },
      [&] {
        // Choosing the third applet of cplmain.cpl, whose second has no name.
        TreeSelect(Tree(), Node(u"Clock", Node(u"cplmain.cpl")));
        EXPECT_EQ(Text(Box(503)), u"\\windows\\cplmain.cpl,2");
        WriteText(Box(504), u"-quiet");
        Press(kPickerOk);
      },
  });
  OpenApplets();
  std::vector<std::vector<WString>> want = {
      {}, {u"Owner", u"Clock"}, {u"Same", u"Same"}, {u"First"}, {}, {WString(32, u'x')}, {}, {}, {}};
  EXPECT_EQ(expanded, want);
  // The huge count was not believed.
  EXPECT_EQ(*huge.inquiries, kMostApplets);
  // A library that accepted CPL_INIT hears CPL_EXIT before it is released (once when it was
  // listed, once more when the choice was looked up); one that refused it hears nothing more.
  using M = std::vector<uint32_t>;
  EXPECT_EQ(*main.messages, (M{kCplInit, kCplGetCount, kCplExit, kCplInit, kCplGetCount, kCplExit}));
  EXPECT_EQ(*initFails.messages, M{kCplInit});
  EXPECT_EQ(WString(result_), u"\\windows\\cplmain.cpl,2");
  EXPECT_EQ(WString(parameter_), u"-quiet");
  EXPECT_TRUE(host::WindowRecord(owner_)->enabled);
  EXPECT_EQ(host::ForegroundWindow(), owner_);
  EXPECT_EQ(host::FocusWindow(), owner_);
  EXPECT_EQ(Picker(), nullptr);
  EXPECT_EQ(host::LoadedLibraryCount(), 0);
  for (const char* line : {"GetAppletContents 1", "GetAppletContents loaded [cplmain.cpl]", "GetAppletContents items=3",
                           "cplInfo.szName=Owner", "cplInfo.szName=", "add to tree", "add to tree out",
                           "cursor on, list applets for [cplmain.cpl\\*.*]", "GetAppletContents items=-5"})
    EXPECT_TRUE(Logged(line)) << line;
}

TEST_F(PickerTest, AppletSelectionRules) {
  Library(u"dupe.cpl", FakeLibrary{{u"Same", u"Same"}});
  Script({
      [&] {
        TreeItem lib = Node(u"dupe.cpl");
        Expand(lib);
        // A library is shown but not offered.
        TreeSelect(Tree(), lib);
        EXPECT_EQ(Text(Box(503)), u"\\windows\\dupe.cpl");
        Press(kPickerOk);
      },
      [&] {
        EXPECT_NE(Picker(), nullptr);  // OK did nothing
        // An applet its library no longer reports (index -1) is not offered either.
        Library(u"dupe.cpl", FakeLibrary{{u"Other"}});
        TreeSelect(Tree(), TreeNext(Tree(), Node(u"dupe.cpl"), kTvgnChild));
        EXPECT_EQ(Text(Box(503)), u"");
        Press(kPickerOk);
      },
      [&] {
        EXPECT_NE(Picker(), nullptr);  // OK did nothing
        Library(u"dupe.cpl", FakeLibrary{{u"Same", u"Same"}});
        // Either of two applets with one name gives the first index.
        TreeSelect(Tree(), TreeNext(Tree(), TreeNext(Tree(), Node(u"dupe.cpl"), kTvgnChild), kTvgnNext));
        EXPECT_EQ(Text(Box(503)), u"\\windows\\dupe.cpl,0");
        // Collapsing drops the children; expanding asks the library again.
        TreeItem lib = Node(u"dupe.cpl");
        Collapse(lib);
        EXPECT_TRUE(Children(lib).empty());
        EXPECT_EQ(Images(lib), kCollapsedImage);
        EXPECT_EQ(HasChildrenFlag(lib), 1);  // keeps its button although its children went
        Expand(lib);
        EXPECT_EQ(Children(lib).size(), 2u);
        WriteText(Box(504), u"typed");
        Press(kPickerCancel);
      },
  });
  OpenApplets();
  EXPECT_EQ(result_[0], 0);
  EXPECT_EQ(parameter_[0], 0);
  // A double tap on an applet chooses it at once.
  Script({[&] {
    TreeItem lib = Node(u"dupe.cpl");
    Expand(lib);
    DoubleTap(TreeNext(Tree(), lib, kTvgnChild));
  }});
  OpenApplets();
  EXPECT_EQ(WString(result_), u"\\windows\\dupe.cpl,0");
  // One that misses the label chooses nothing and keeps the choice the box shows: OK takes it.
  Script({[&] {
            TreeItem lib = Node(u"dupe.cpl");
            Expand(lib);
            TreeItem second = TreeNext(Tree(), TreeNext(Tree(), lib, kTvgnChild), kTvgnNext);
            TreeSelect(Tree(), second);
            DoubleTap(second, false);
          },
          [&] {
            EXPECT_NE(Picker(), nullptr);
            EXPECT_EQ(Text(Box(503)), u"\\windows\\dupe.cpl,0");
            WriteText(Box(504), u"kept");
            Press(kPickerOk);
          },
          [&] {
            ADD_FAILURE() << "OK did not take the choice the box shows";
            Press(kPickerCancel);
          }});
  OpenApplets();
  EXPECT_EQ(WString(result_), u"\\windows\\dupe.cpl,0");
  EXPECT_EQ(WString(parameter_), u"kept");
}

// The picker frame of both pickers on a QVGA screen (factor 1, 96 dpi) and a VGA screen (factor
// 2, 192 dpi): the window over the whole screen less the menu bar, its class, the three controls
// and the tree's font, the wait cursor around the listings, and the layout again when the platform
// announces a settings change (the shell has resized the window) or a new display (nothing has).
TEST_F(PickerTest, FrameOnBothScreens) {
  Library(u"one.cpl", FakeLibrary{{u"Applet"}});
  struct Screen {
    int32_t width, height, menu, h20, font;
  } screens[] = {{240, 320, 26, 20, 14}, {480, 640, 52, 40, 28}};
  struct Kind {
    bool applets;
    const char* pattern;  // the class name
    int tree, selection, parameter;
  } kinds[] = {{true, "browseapplet:[0-9A-F]+:[0-9A-F]+", 702, 503, 504},
               {false, "browsefile:[0-9A-F]+:[0-9A-F]+", 701, 501, 502}};
  using Place = std::array<int32_t, 4>;  // x, y, width, height
  // Cursor id and display count, seen while a folder is listed.
  std::vector<std::pair<int, int>> seen;
  host::SetFileSearchHook([&](const WChar*) { seen.emplace_back(host::CurrentCursorId(), host::CursorShowCount()); });
  for (const Screen& screen : screens) {
    for (const Kind& kind : kinds) {
      SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height) + " " + kind.pattern);
      ResetAll();
      ASSERT_EQ(Open(screen.width, screen.height), 1);
      owner_ = theGUI.MainWindow;
      // The three controls fill a client area of `width` x `height`.
      auto expectControls = [&](int32_t width, int32_t height, const char* when) {
        SCOPED_TRACE(when);
        struct Want {
          int id;
          const char16_t* cls;
          const char16_t* text;
          uint32_t style;
          int32_t x, y, w, h;
        } wants[] = {
            {kind.tree, u"SysTreeView32", u"TreeView", 0x50000007, 0, screen.h20, width, height - 2 * screen.h20},
            {kind.selection, u"edit", u"", 0x50800880, 0, 0, width, screen.h20},
            {kind.parameter, u"edit", u"", 0x50800080, 0, height - screen.h20, width, screen.h20},
        };
        for (const Want& w : wants) {
          const host::HostWindow* c = host::WindowRecord(ChildById(Picker(), w.id));
          ASSERT_NE(c, nullptr) << w.id;
          EXPECT_EQ(c->className, w.cls) << w.id;
          EXPECT_EQ(c->text, w.text) << w.id;
          EXPECT_EQ(c->style, w.style) << w.id;
          EXPECT_EQ(c->exStyle, 0u) << w.id;
          EXPECT_EQ((Place{c->x, c->y, c->width, c->height}), (Place{w.x, w.y, w.w, w.h})) << w.id;
        }
      };
      auto expectWindow = [&](int32_t width, int32_t height) {
        const host::HostWindow* r = host::WindowRecord(Picker());
        EXPECT_EQ((Place{r->x, r->y, r->width, r->height}), (Place{0, 0, width, height}));
      };
      int32_t client = screen.height - screen.menu;
      seen.clear();
      SetCurrentCursor(LoadCursorById(kInstance, kIdcArrow));
      Script({[&] {
        const host::HostWindow* w = host::WindowRecord(Picker());
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(std::regex_match(ToUtf8(w->className), std::regex(kind.pattern))) << ToUtf8(w->className);
        EXPECT_EQ(w->text, kind.applets ? u"Add Applet" : u"Add Shortcut or Program");
        EXPECT_EQ(w->style, kWsVisible);
        EXPECT_EQ(w->parent, nullptr);
        expectWindow(screen.width, client);
        // The soft keys of menu bar 102, as high as the menu bar of the settings window.
        std::vector<WindowHandle> bars;
        for (WindowHandle c : host::LiveChildren(Picker()))
          if (host::WindowRecord(c)->menuBarResource == kPickerMenuBar) bars.push_back(c);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(host::WindowRecord(bars[0])->height, screen.menu);
        expectControls(screen.width, client, "opened");
        // The tree's font; the boxes keep the system's.
        const host::FontInfo* font = host::FontRecord(host::WindowRecord(Tree())->font);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->face, u"verdana");
        EXPECT_EQ(font->height, screen.font);
        EXPECT_EQ(font->weight, 200);
        EXPECT_EQ(host::WindowRecord(Box(kind.selection))->font, nullptr);
        // The applet picker listed the libraries under the wait cursor and gave the arrow back;
        // the program picker lists nothing before a folder is opened.
        EXPECT_EQ(seen, (kind.applets ? std::vector<std::pair<int, int>>{{kIdcWait, 1}}
                                      : std::vector<std::pair<int, int>>{}));
        EXPECT_EQ(host::CurrentCursorId(), kIdcArrow);
        EXPECT_EQ(host::CursorShowCount(), 0);
        seen.clear();
        if (kind.applets) {
          // A library is asked for its applets under the wait cursor, and the arrow comes back.
          host::SetFakeLibrary(u"one.cpl", host::FakeCplEntry([&](WindowHandle, uint32_t message, intptr_t, intptr_t) {
                                 if (message == kCplInit)
                                   seen.emplace_back(host::CurrentCursorId(), host::CursorShowCount());
                                 return message == kCplInit ? 1 : 0;
                               }));
          Expand(Node(u"one.cpl"));
          EXPECT_EQ(host::CurrentCursorId(), kIdcArrow);
        } else {
          // A folder is read under the wait cursor, and then no cursor is shown.
          Expand(Node(u"\\"));
          EXPECT_EQ(host::CurrentCursorId(), 0);
        }
        EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{kIdcWait, 1}}));
        EXPECT_EQ(host::CursorShowCount(), 0);
        // The screen turns: the shell turns the window and announces a settings change.
        host::SetScreenSize(screen.height, screen.width);
        Move(Picker(), 0, 0, screen.height, screen.width - screen.menu, false);
        Send(Picker(), kWmSettingChange, 0, 0);
        expectControls(screen.height, screen.width - screen.menu, "after a settings change");
        // It turns back on a desk, which announces the new display and moves no window: the picker
        // takes the whole screen again itself.
        host::SetScreenSize(screen.width, screen.height);
        size_t before = host::Invalidations().size();
        Send(Picker(), kWmDisplayChange, 0, 0);
        expectWindow(screen.width, client);
        expectControls(screen.width, client, "after a display change");
        // Each control is drawn again whole, background and all.
        std::vector<WindowHandle> redrawn;
        auto invalidated = host::Invalidations();
        for (size_t i = before; i < invalidated.size(); ++i)
          if (invalidated[i].erase) redrawn.push_back(invalidated[i].window);
        EXPECT_EQ(redrawn, (std::vector<WindowHandle>{Tree(), Box(kind.selection), Box(kind.parameter)}));
        Press(kPickerCancel);
      }});
      if (kind.applets) {
        OpenApplets();
      } else {
        OpenPrograms();
      }
      EXPECT_EQ(Picker(), nullptr);
      Library(u"one.cpl", FakeLibrary{{u"Applet"}});
    }
  }
  host::SetFileSearchHook({});
}

// One Enter does nothing; a second less than 2000 ms later acts as OK; one 2000 ms or more later
// only records the new time.
TEST_F(PickerTest, TwoEntersWithinTwoSecondsActAsOk) {
  Library(u"one.cpl", FakeLibrary{{u"Applet"}});
  struct Row {
    uint64_t gap;
    bool chosen;
  } rows[] = {{1999, true}, {2000, false}, {5, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.gap);
    Script({
        [&] {
          TreeItem lib = Node(u"one.cpl");
          Expand(lib);
          TreeSelect(Tree(), TreeNext(Tree(), lib, kTvgnChild));
          now_ += 100000;  // far from any earlier Enter
          Notify(kNmReturn);
        },
        [&] {
          EXPECT_NE(Picker(), nullptr);
          now_ += r.gap;
          Notify(kNmReturn);
        },
        [&] { Press(kPickerCancel); },
    });
    OpenApplets();
    EXPECT_EQ(WString(result_), r.chosen ? u"\\windows\\one.cpl,0" : u"");
  }
}

TEST_F(PickerTest, ProgramPickerBrowsesTheFileSystem) {
  debugEnabled = 1;
  // The root already holds "windows" (the control-panel folder) and "Quillmote" (the install folder).
  for (const WChar* folder : {u"\\windows\\Start Menu", u"\\Empty", u"\\Tools", u"\\Tools\\sub"}) CreateFolder(folder);
  for (const WChar* file : {u"\\windows\\Start Menu\\notes.lnk", u"\\windows\\calc.exe", u"\\readme.txt",
                            u"\\Setup.EXE", u"\\exe", u"\\zap.exe"})
    FileWriteAll(file, "x", 1);
  Script({
      [&] {
        EXPECT_EQ(Children(), std::vector<WString>{u"\\"});
        TreeItem root = Node(u"\\");
        EXPECT_EQ(HasChildrenFlag(root), 1);
        Expand(root);
        // Folders whatever the pattern, files that match; the tree's order; no "." and "..".
        EXPECT_EQ(Children(root),
                  (std::vector<WString>{u"Empty", u"exe", u"Quillmote", u"Tools", u"windows", u"zap.exe"}));
        TreeItem empty = Node(u"Empty", root);
        Expand(empty);
        EXPECT_EQ(HasChildrenFlag(empty), 0);  // an empty folder loses its button
        TreeItem tools = Node(u"Tools", root);
        Expand(tools);
        EXPECT_EQ(Children(tools), std::vector<WString>{u"sub"});
        EXPECT_EQ(HasChildrenFlag(tools), 1);
        // A folder shows its path but is not offered.
        TreeItem windows = Node(u"windows", root);
        TreeSelect(Tree(), windows);
        EXPECT_EQ(Text(Box(501)), u"\\windows");
        Press(kPickerOk);
      },
      [&] {
        EXPECT_NE(Picker(), nullptr);
        TreeItem windows = Node(u"windows", Node(u"\\"));
        Expand(windows);
        TreeItem menu = Node(u"Start Menu", windows);
        Expand(menu);
        // A double tap on a folder does not choose it.
        DoubleTap(menu);
      },
      [&] {
        EXPECT_NE(Picker(), nullptr);
        TreeItem notes = Node(u"notes.lnk", Node(u"Start Menu", Node(u"windows", Node(u"\\"))));
        TreeSelect(Tree(), notes);
        EXPECT_EQ(Text(Box(501)), u"\\windows\\Start Menu\\notes.lnk");
        WriteText(Box(502), u"/new");
        Press(kPickerOk);
      },
  });
  OpenPrograms();
  EXPECT_EQ(WString(result_), u"\\windows\\Start Menu\\notes.lnk");
  EXPECT_EQ(WString(parameter_), u"/new");
  EXPECT_TRUE(Logged("SELCHANGED"));
  // The owner stays enabled, and comes to the front afterwards.
  EXPECT_EQ(host::ForegroundWindow(), owner_);

  // A double tap on a file chooses it, with the path traced.
  Script({[&] {
    TreeItem root = Node(u"\\");
    Expand(root);
    TreeItem windows = Node(u"windows", root);
    Expand(windows);
    DoubleTap(Node(u"calc.exe", windows));
  }});
  OpenPrograms();
  EXPECT_EQ(WString(result_), u"\\windows\\calc.exe");
  EXPECT_TRUE(Logged("![exe.clac\\]"));
  EXPECT_TRUE(Logged("!$[exe.clac\\swodniw\\]"));

  // With "*." every file is listed and every node, the root included, can be chosen.
  Script({[&] {
    TreeItem root = Node(u"\\");
    TreeSelect(Tree(), root);
    EXPECT_EQ(Text(Box(501)), u"\\");
    Expand(root);
    EXPECT_NE(Node(u"readme.txt", root), nullptr);
    EXPECT_NE(Node(u"Setup.EXE", root), nullptr);
    Press(kPickerOk);
  }});
  OpenPrograms(u"*.");
  EXPECT_EQ(WString(result_), u"\\");
}

TEST_F(PickerTest, PatternAndPaths) {
  Script({[&] { Press(kPickerCancel); }});
  OpenPrograms();  // the pattern of the last opening counts
  struct Row {
    const WChar* name;
    bool matches;
  } rows[] = {{u"calc.exe", true}, {u"notes.lnk", true}, {u"readme.txt", false}, {u"Setup.EXE", false},
              {u"exe", true},      {u"e", true},         {u"a.exe.bak", false},  {u"", true}};
  for (const Row& r : rows) EXPECT_EQ(MatchesPattern(r.name), r.matches) << ToUtf8(r.name);

  // A path that would not fit in 259 characters is never handed out cut.
  // Four folders of 50 characters and one of 40: 245 characters, and the file makes 270.
  WString deep;
  for (int i = 0; i < 5; ++i) {
    deep += u"\\" + WString(i < 4 ? 50 : 40, static_cast<WChar>(u'a' + i));
    CreateFolder(deep.c_str());
  }
  const WString file24 = WString(20, u'd') + u".exe";
  FileWriteAll((deep + u"\\" + file24).c_str(), "x", 1);
  Script({[&] {
            TreeItem node = Node(u"\\");
            for (int i = 0; i < 5 && node; ++i) {
              Expand(node);
              node = Node(WString(i < 4 ? 50 : 40, static_cast<WChar>(u'a' + i)), node);
            }
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(NodePath(Tree(), node).size(), 245u);
            Expand(node);
            TreeItem file = Node(file24, node);
            ASSERT_NE(file, nullptr);
            EXPECT_TRUE(NodePath(Tree(), file).empty());
            TreeSelect(Tree(), file);
            EXPECT_EQ(Text(Box(501)), u"");
            Press(kPickerOk);  // not offered
          },
          [&] {
            EXPECT_NE(Picker(), nullptr);  // OK did nothing
            Press(kPickerCancel);
          }});
  OpenPrograms();
  EXPECT_EQ(result_[0], 0);
}

TEST_F(PickerTest, FailuresEndThePickerCleanly) {
  struct Row {
    const char* label;
    std::function<void()> fail;
    std::function<void()> user;
    bool treeMade;
  } rows[] = {
      {"no strip",
       [] {
         std::filesystem::remove(std::filesystem::path(platform::host::HostPath(u"\\Quillmote\\images\\tva_f1.jpg")));
       },
       [&] {
         EXPECT_EQ(Tree(), nullptr);
         EXPECT_NE(Box(503), nullptr);
         Press(kPickerOk);
         Press(kPickerCancel);
       },
       false},
      {"no window", [] { host::FailClassRegistration(true); }, [] { ADD_FAILURE() << "no loop without a window"; },
       false},
      {"a second picker while one is open", [] {},
       [&] {
         WChar r[260] = u"x", p[260] = u"y";
         ShowProgramPicker(kInstance, owner_, u"again", u"*.", u"\\Quillmote\\images\\tvf_f1.jpg", r, p);
         EXPECT_EQ(r[0], 0);
         EXPECT_EQ(p[0], 0);
         Press(kPickerCancel);
       },
       true},
      {"closed by the system", [] {},
       [&] {
         Post(Picker(), kWmClose, 0, 0);
         // The closed window ends the picker: it waits for no further input.
         host::SetWhenIdle([] {
           ADD_FAILURE() << "the picker waited on after its window was closed";
           return false;
         });
       },
       true},
      {"a quit message", [] {}, [] { PostQuit(3); }, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    int gdi = host::LiveGdiObjects();
    r.fail();
    Script({r.user});
    OpenApplets();
    host::FailClassRegistration(false);
    EXPECT_EQ(result_[0], 0);
    EXPECT_TRUE(host::WindowRecord(owner_)->enabled);
    EXPECT_EQ(Picker(), nullptr);
    EXPECT_EQ(host::LiveGdiObjects(), gdi);  // nothing of the picker is left
  }
  // The quit goes on to the settings window's own loop.
  Message quit{};
  host::SetWhenIdle({});
  EXPECT_EQ(GetNextMessage(quit), 0);
  EXPECT_EQ(quit.wParam, 3u);
}

// The mouse page's action list opens the pickers and stores what they return.
TEST_F(PickerTest, ActionListStoresThePickersChoice) {
  Library(u"one.cpl", FakeLibrary{{u"Applet"}});
  ShowPage(kMousePage);
  theGUI.SelectedButton = 4;
  pickerTree_ = 702;
  Script({[&] {
    TreeItem lib = Node(u"one.cpl");
    Expand(lib);
    TreeSelect(Tree(), TreeNext(Tree(), lib, kTvgnChild));
    WriteText(Box(504), u"param");
    Press(kPickerOk);
  }});
  Send(theGUI.Controls[kActionListSlot], kCbSetCurSel, 10, 0);
  Command(kCmdActionList, kCbnSelChange);
  const ButtonAssignment& b = theGUI.settings.Buttons[4];
  EXPECT_EQ(b.Action, 10);
  EXPECT_EQ(WString(b.Param1), u"\\windows\\one.cpl,0");
  EXPECT_EQ(WString(b.Param2), u"param");
  WChar stored[255] = {};
  ASSERT_EQ(ReadSetting(u"Wheel_Down_Param1", platform::kRegSz, stored, sizeof stored), 1);
  EXPECT_EQ(WString(stored), u"\\windows\\one.cpl,0");
  // A choice longer than the stored fields is not stored (cut, it would name something else).
  Script({[&] {
    TreeItem lib = Node(u"one.cpl");
    Expand(lib);
    TreeSelect(Tree(), TreeNext(Tree(), lib, kTvgnChild));
    WriteText(Box(504), WString(kParamChars, u'p').c_str());
    Press(kPickerOk);
  }});
  Send(theGUI.Controls[kActionListSlot], kCbSetCurSel, 10, 0);
  Command(kCmdActionList, kCbnSelChange);
  EXPECT_EQ(WString(b.Param2), u"param");
  // Cancelling the program picker leaves the button as it was, and the list shows its action.
  pickerTree_ = 701;
  Script({[&] { Press(kPickerCancel); }});
  Send(theGUI.Controls[kActionListSlot], kCbSetCurSel, 9, 0);
  Command(kCmdActionList, kCbnSelChange);
  EXPECT_EQ(b.Action, 10);
  EXPECT_EQ(host::WindowRecord(theGUI.Controls[kActionListSlot])->selection, 10);
}

}  // namespace

namespace {

// The pickers from the keyboard: each key pressed where the focus is, through the loop's dispatch.
TEST_F(PickerTest, KeyTable) {
  Library(u"one.cpl", FakeLibrary{{u"Applet"}});
  enum Focused { kTree, kParameter, kSelection };
  struct Row {
    const char* label;
    bool appletSelected;
    Focused focus;
    uint32_t key;
    const WChar* chosen;  // the result handed out (nullptr: the picker is still open)
    Focused focusAfter;
    const WChar* shown;  // the selection box afterwards
  };
  const Row rows[] = {
      {"F1 is OK", true, kTree, kVkF1, u"\\windows\\one.cpl,0", kTree, nullptr},
      {"Enter in the tree is OK", true, kTree, kVkReturn, u"\\windows\\one.cpl,0", kTree, nullptr},
      {"Enter in the parameter box is OK", true, kParameter, kVkReturn, u"\\windows\\one.cpl,0", kTree, nullptr},
      {"Enter on a library does nothing", false, kTree, kVkReturn, nullptr, kTree, u""},
      {"Enter in the selection box: the box's own", true, kSelection, kVkReturn, nullptr, kSelection,
       u"\\windows\\one.cpl,0"},
      {"F2 is Cancel", true, kTree, kVkF2, u"", kTree, nullptr},
      {"Esc is Cancel", true, kParameter, kVkEscape, u"", kTree, nullptr},
      {"Tab: from the tree to the parameter box", true, kTree, kVkTab, nullptr, kParameter, u"\\windows\\one.cpl,0"},
      {"Tab: back to the tree", true, kParameter, kVkTab, nullptr, kTree, u"\\windows\\one.cpl,0"},
      {"Down with nothing selected: the first node", false, kTree, kVkDown, nullptr, kTree, u"\\windows\\one.cpl"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    bool open = false;
    WindowHandle focusAfter = nullptr, want = nullptr;
    WString shown;
    Script({
        [&] {
          TreeItem lib = Node(u"one.cpl");
          Expand(lib);
          if (r.appletSelected) TreeSelect(Tree(), TreeNext(Tree(), lib, kTvgnChild));
          WriteText(Box(504), u"typed");
          WindowHandle where[] = {Tree(), Box(504), Box(503)};
          Focus(where[r.focus]);
          want = where[r.focusAfter];
          DispatchWithKeys(Message{FocusedWindow(), kWmKeyDown, r.key, 0});
        },
        [&] {
          open = Picker() != nullptr;
          if (!open) return;
          focusAfter = FocusedWindow();
          shown = Text(Box(503));
          Press(kPickerCancel);
        },
    });
    OpenApplets();
    EXPECT_EQ(open, r.chosen == nullptr);
    if (r.chosen) {
      EXPECT_EQ(WString(result_), r.chosen);
      EXPECT_EQ(WString(parameter_), WString(r.chosen).empty() ? u"" : u"typed");
    } else {
      EXPECT_EQ(focusAfter, want);
      EXPECT_EQ(shown, r.shown);
    }
  }
}

}  // namespace
