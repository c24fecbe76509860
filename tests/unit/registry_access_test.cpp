#include "tray/registry_access.h"

#include <cstring>
#include <functional>
#include <vector>

#include "cpl/ollenset.h"
#include "platform/control_panel.h"
#include "platform/host/host_shell.h"
#include "settings/settings.h"
#include "test_support.h"

namespace {

using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSz;
using platform::RegAccess;
using platform::RegRoot;

class RegistryAccessTest : public HostTest {};

TEST_F(RegistryAccessTest, DwordReadsIntoFourBytes) {
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"Enable_KB\"=dword:00000001\n");
  uint32_t v = 99;
  EXPECT_EQ(ReadSetting(u"Enable_KB", kRegDword, &v, 4), 1);
  EXPECT_EQ(v, 1u);
}

TEST_F(RegistryAccessTest, WrongTypeFailsButLeavesTheBytes) {
  // "A" with its terminator is four bytes: 41 00 00 00.
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"Speed\"=\"A\"\n");
  uint32_t v = 7;
  EXPECT_EQ(ReadSetting(u"Speed", kRegDword, &v, 4), 0);
  EXPECT_EQ(v, 0x41u);
}

TEST_F(RegistryAccessTest, TextSizeLimits) {
  std::string fits(259, 'p'), tooLong(260, 'p');
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"Fits\"=\"" + fits + "\"\n\"TooLong\"=\"" + tooLong +
          "\"\n");
  WChar buf[260];
  EXPECT_EQ(ReadSetting(u"Fits", kRegSz, buf, 520), 1);
  EXPECT_EQ(WLen(buf), 259u);
  std::memset(buf, 0x5A, sizeof buf);
  EXPECT_EQ(ReadSetting(u"TooLong", kRegSz, buf, 520), 0);
  for (WChar c : buf) ASSERT_EQ(c, 0x5A5A);  // nothing written past or into the field
}

TEST_F(RegistryAccessTest, MissingKeyOrValueLeavesBufferUntouched) {
  uint32_t v = 1234;
  EXPECT_EQ(ReadSetting(u"Enable_Tray", kRegDword, &v, 4), 0);
  EXPECT_EQ(v, 1234u);
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n");
  EXPECT_EQ(ReadSetting(u"Enable_Tray", kRegDword, &v, 4), 0);
  EXPECT_EQ(v, 1234u);
}

TEST_F(RegistryAccessTest, BothSpellingsOfAKeyPathAreOneKey) {
  uint32_t v = 5;
  EXPECT_EQ(RegWriteValue(u"\\Software\\Morvane\\Quillmote", u"X", kRegDword, &v, 4), 1);
  uint32_t got = 0;
  EXPECT_EQ(RegReadValue(u"Software\\Morvane\\Quillmote", u"x", kRegDword, &got, 4), 1);
  EXPECT_EQ(got, 5u);
  EXPECT_EQ(RegReadValue(u"SOFTWARE\\morvane\\QUILLMOTE", u"X", kRegDword, &got, 4), 1);
}

TEST_F(RegistryAccessTest, WriteCreatesKeyAndStoresTypeAndBytes) {
  const uint8_t blob[] = {1, 2, 3};
  EXPECT_EQ(WriteSetting(u"Blob", kRegBinary, blob, 3), 1);
  uint32_t one = 1;
  EXPECT_EQ(WriteSetting(u"Enable_Tray", kRegDword, &one, 4), 1);
  EXPECT_EQ(platform::host::RegistryDump(u"Software\\Morvane", platform::RegRoot::User),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Morvane]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Morvane\\Quillmote]\n"
            "\"Blob\"=hex:01,02,03\n"
            "\"Enable_Tray\"=dword:00000001\n\n");
}

TEST_F(RegistryAccessTest, FailuresReportZero) {
  uint32_t v = 1;
  platform::host::RegistryFailCreate(kProgramKey, RegRoot::User);
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
  platform::host::RegistryFailWrites(true);
  LoadReg("[HKEY_CURRENT_USER\\Software\\Morvane\\Quillmote]\n");
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
  platform::host::RegistryFailWrites(false);
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 1);  // creation is not needed any more
  platform::host::RegistryFailOpen(u"software\\morvane\\quillmote", RegRoot::User);
  platform::host::RegistryFailOpen(u"software\\morvane\\quillmote", RegRoot::Machine);
  uint32_t got = 0;
  EXPECT_EQ(ReadSetting(u"A", kRegDword, &got, 4), 0);
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
}

// Which key every value is read from or written to, and the rights each open asks for: a user who
// is not an administrator may read the machine key and write only the user's own.
TEST_F(RegistryAccessTest, EachValueReachesItsKeyWithTheRightsItNeeds) {
  using Op = platform::host::RegOperation;
  const WString key = u"Software\\Morvane\\Quillmote";
  auto open = [&](RegRoot root) { return Op{Op::Open, root, key, RegAccess::Read, u""}; };
  auto query = [&](RegRoot root, const WChar* name) { return Op{Op::Query, root, key, RegAccess::Read, name}; };
  struct Row {
    const char* label;
    std::function<void()> run;
    std::vector<Op> want;
  };
  auto read = [](const WChar* name, int (*reader)(const WChar*, uint32_t, void*, uint32_t)) {
    return [name, reader] {
      uint32_t v;
      reader(name, kRegDword, &v, 4);
    };
  };
  const Op machineOpen{Op::Create, RegRoot::Machine, key, RegAccess::Read, u""};
  const Row rows[] = {
      {"a setting of the user's key",
       read(u"Enable_KB", ReadSetting),
       {open(RegRoot::User), query(RegRoot::User, u"Enable_KB")}},
      {"a setting the user never changed: the installer's default",
       read(u"Speed", ReadSetting),
       {open(RegRoot::User), query(RegRoot::User, u"Speed"), open(RegRoot::Machine),
        query(RegRoot::Machine, u"Speed")}},
      {"a setting the user's key holds in another form: the user's, no default read over it",
       read(u"Cursor", ReadSetting),
       {open(RegRoot::User), query(RegRoot::User, u"Cursor")}},
      {"a setting saved: the user's key, the right to set values only",
       [] {
         uint32_t v = 1;
         WriteSetting(u"Enable_KB", kRegDword, &v, 4);
       },
       {Op{Op::Create, RegRoot::User, key, RegAccess::SetValue, u""},
        Op{Op::Set, RegRoot::User, key, RegAccess::SetValue, u"Enable_KB"}}},
      {"the debug switch: the machine key only",
       read(u"EnableDebug", ReadMachineSetting),
       {open(RegRoot::Machine), query(RegRoot::Machine, u"EnableDebug")}},
      {"the install folder: the machine key only",
       [] { ComposeInstallPath(u"images", u"a.jpg"); },
       {machineOpen, query(RegRoot::Machine, u"InstallPath")}},
      {"the applet's program: the machine key only",
       [] { OllensetApplet(nullptr, platform::kCplDblClk, 0, 0); },
       {machineOpen, query(RegRoot::Machine, u"InstallPath")}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    platform::host::RegistryReset();
    ResetInstallPathCache();
    // A user's key that holds everything, the program's switches included: none of them may count.
    LoadReg(
        "[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"\\\\Q\"\n\"Speed\"=dword:00000003\n"
        "[HKEY_CURRENT_USER\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"\\\\Mine\"\n"
        "\"EnableDebug\"=dword:00000001\n\"Enable_KB\"=dword:00000001\n\"Cursor\"=\"A\"\n");
    platform::host::RegistryClearOperations();
    r.run();
    std::vector<Op> got = platform::host::RegistryOperations();
    ASSERT_EQ(got.size(), r.want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].kind, r.want[i].kind) << i;
      EXPECT_EQ(got[i].root, r.want[i].root) << i;
      EXPECT_EQ(ToUtf8(got[i].key), ToUtf8(r.want[i].key)) << i;
      EXPECT_EQ(got[i].access, r.want[i].access) << i;
      EXPECT_EQ(ToUtf8(got[i].value), ToUtf8(r.want[i].value)) << i;
    }
  }
  // A whole save writes the user's key only, asking for no more than setting values, and flushes
  // the user's hive.
  platform::host::RegistryClearOperations();
  Settings s{};
  SaveSettings(s);
  std::vector<Op> save = platform::host::RegistryOperations();
  ASSERT_FALSE(save.empty());
  for (const Op& o : save) {
    EXPECT_EQ(o.root, RegRoot::User);
    if (o.kind != Op::Flush) {
      EXPECT_EQ(o.access, RegAccess::SetValue);
    }
  }
  EXPECT_EQ(save.back().kind, Op::Flush);
}

TEST_F(RegistryAccessTest, OverlongKeyPathIsRefusedNotCut) {
  // Cut at 255 characters this path would name the existing key "...\Quillmote".
  WString base = u"Software\\" + WString(255 - 9 - 10, u'k') + u"\\Quillmote";
  ASSERT_EQ(base.size(), 255u);
  uint32_t v = 1;
  EXPECT_EQ(RegWriteValue(base.c_str(), u"V", kRegDword, &v, 4), 1);
  WString longer = base + u"X";
  uint32_t got = 0;
  EXPECT_EQ(RegReadValue(longer.c_str(), u"V", kRegDword, &got, 4), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(RegWriteValue(longer.c_str(), u"W", kRegDword, &v, 4), 0);
  EXPECT_EQ(RegReadValue(base.c_str(), u"W", kRegDword, &got, 4), 0);
}

}  // namespace
