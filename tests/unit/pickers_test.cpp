// What both pickers share: the frame on every screen, the keys, two Enters, failures that end a
// picker cleanly, and the action list that stores the picker's choice.
#include "picker_fixture.h"

namespace {

using namespace platform;
using pickertest::FakeLibrary;
using pickertest::PickerTest;

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
