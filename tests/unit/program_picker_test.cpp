// The program picker: the device's folders browsed, the pattern and the paths it hands back.
#include "picker_fixture.h"

namespace {

using namespace platform;
using pickertest::FakeLibrary;
using pickertest::PickerTest;

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

}  // namespace
