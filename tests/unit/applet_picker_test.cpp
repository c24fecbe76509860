// The applet picker: what it asks each control-panel library and which applets it offers.
#include "picker_fixture.h"

namespace {

using namespace platform;
using pickertest::FakeLibrary;
using pickertest::PickerTest;

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

}  // namespace
