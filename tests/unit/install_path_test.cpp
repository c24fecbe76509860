#include "tray/install_path.h"

#include <vector>

#include "platform/host/host_files.h"
#include "platform/host/host_registry.h"
#include "test_support.h"
#include "tray/registry_access.h"

namespace {

class InstallPathTest : public HostTest {
 protected:
  void SetInstallPath(const std::string& path) {
    LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"" + path + "\"\n");
  }
};

TEST_F(InstallPathTest, ComposesBelowTheInstallFolderInOneSharedBuffer) {
  SetInstallPath("\\\\Apps\\\\Q");
  const WChar* first = ComposeInstallPath(u"images", u"morvane.jpg");
  EXPECT_EQ(WString(first), u"\\Apps\\Q\\images\\morvane.jpg");
  const WChar* second = ComposeInstallPath(u"help", u"help.html");
  EXPECT_EQ(second, first);
  EXPECT_EQ(WString(first), u"\\Apps\\Q\\help\\help.html");
}

// Without a usable "InstallPath" the device starts at its root, and desktop Windows at the folder
// of the program's own file, never a drive's root; the key is read again at the next call.
TEST_F(InstallPathTest, MissingOrUnusableValueAndTheProgramsOwnFolder) {
  struct Row {
    const char* label;
    const char* value;  // nullptr: no value
    const WChar* programFolder;
    const WChar* composed;
  } rows[] = {
      {"device, missing", nullptr, u"", u"\\images\\iton.jpg"},
      {"desktop, missing", nullptr, u"C:\\Program Files\\Quillmote", u"C:\\Program Files\\Quillmote\\images\\iton.jpg"},
      {"desktop, empty", "", u"C:\\Q", u"C:\\Q\\images\\iton.jpg"},
      {"desktop, relative", "images", u"C:\\Q", u"C:\\Q\\images\\iton.jpg"},
      {"desktop, usable", "\\\\Apps\\\\Q", u"C:\\Q", u"\\Apps\\Q\\images\\iton.jpg"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetInstallPathCache();
    platform::host::RegistryReset();
    if (r.value) SetInstallPath(r.value);
    platform::host::SetProgramFolder(r.programFolder);
    EXPECT_EQ(WString(ComposeInstallPath(u"images", u"iton.jpg")), r.composed);
  }
  platform::host::SetProgramFolder(u"");
  // The first call created the empty program key; a value written later is found.
  ResetInstallPathCache();
  platform::host::RegistryReset();
  ComposeInstallPath(u"images", u"iton.jpg");
  EXPECT_NE(platform::host::RegistryDump().find("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]"),
            std::string::npos);
  SetInstallPath("\\\\Apps\\\\Q");
  EXPECT_EQ(WString(ComposeInstallPath(u"images", u"iton.jpg")), u"\\Apps\\Q\\images\\iton.jpg");
}

TEST_F(InstallPathTest, CacheIsKeptForTheLifeOfTheProcess) {
  SetInstallPath("\\\\Apps\\\\Q");
  ComposeInstallPath(u"a", u"b");
  SetInstallPath("\\\\Elsewhere");
  EXPECT_EQ(WString(ComposeInstallPath(u"a", u"b")), u"\\Apps\\Q\\a\\b");
  EXPECT_EQ(WString(InstallPathCache), u"\\Apps\\Q");
}

TEST_F(InstallPathTest, LongestPathThatFitsAndOneThatDoesNot) {
  // Folder + "\" + "images" + "\" + name: 259 characters fit, 260 do not.
  std::string folder = "\\\\" + std::string(200, 'f');  // 201 characters once loaded
  SetInstallPath(folder);
  WString name(259 - 201 - 8, u'n');
  const WChar* fits = ComposeInstallPath(u"images", name.c_str());
  EXPECT_EQ(WLen(fits), 259u);
  name += u'x';
  const WChar* tooLong = ComposeInstallPath(u"images", name.c_str());
  EXPECT_EQ(WString(tooLong), u"");
  EXPECT_FALSE(platform::FileWriteAll(tooLong, "x", 1));
}

TEST_F(InstallPathTest, UnterminatedValueIsNotTaken) {
  // 520 bytes of text without a terminator: read as text it would run past the cache.
  std::string hex;
  for (int i = 0; i < 260; ++i) hex += std::string(i ? "," : "") + "41,00";
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=hex(1):" + hex + "\n");
  EXPECT_EQ(WString(ComposeInstallPath(u"images", u"a.jpg")), u"\\images\\a.jpg");
  EXPECT_EQ(InstallPathCache[0], 0);
}

TEST_F(InstallPathTest, SubfolderCaseDoesNotMatter) {
  SetInstallPath("\\\\Apps\\\\Q");
  ASSERT_TRUE(platform::CreateFolder(u"\\Apps"));
  ASSERT_TRUE(platform::CreateFolder(u"\\Apps\\Q"));
  ASSERT_TRUE(platform::CreateFolder(u"\\Apps\\Q\\Images"));
  WString lower = ComposeInstallPath(u"images", u"morvane.jpg");
  ASSERT_TRUE(platform::FileWriteAll(lower.c_str(), "jpeg", 4));
  WString upper = ComposeInstallPath(u"Images", u"morvane.jpg");
  EXPECT_EQ(ReadDeviceFile(upper.c_str()), "jpeg");
  EXPECT_TRUE(std::filesystem::exists(root_ / "Apps/Q/Images/morvane.jpg"));
}

TEST_F(InstallPathTest, UnopenableKeyLeavesTheCacheEmpty) {
  SetInstallPath("\\\\Apps\\\\Q");
  platform::host::RegistryFailOpen(kProgramKey);
  EXPECT_EQ(WString(ComposeInstallPath(u"images", u"a.jpg")), u"\\images\\a.jpg");
  EXPECT_EQ(InstallPathCache[0], 0);
}

}  // namespace
