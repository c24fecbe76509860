#include "tray/registry_access.h"

#include <cstring>
#include <vector>

#include "test_support.h"

namespace {

using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegSz;

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
  EXPECT_EQ(platform::host::RegistryDump(u"Software\\Morvane"),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Morvane]\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n"
            "\"Blob\"=hex:01,02,03\n"
            "\"Enable_Tray\"=dword:00000001\n\n");
}

TEST_F(RegistryAccessTest, FailuresReportZero) {
  uint32_t v = 1;
  platform::host::RegistryFailCreate(kProgramKey);
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
  platform::host::RegistryFailWrites(true);
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n");
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
  platform::host::RegistryFailWrites(false);
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"A\"=dword:00000003\n");
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 1);  // creation is not needed any more
  platform::host::RegistryFailOpen(u"software\\morvane\\quillmote");
  uint32_t got = 0;
  EXPECT_EQ(ReadSetting(u"A", kRegDword, &got, 4), 0);
  EXPECT_EQ(WriteSetting(u"A", kRegDword, &v, 4), 0);
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
