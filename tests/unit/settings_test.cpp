#include "settings/settings.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "platform/host/host_driver_channel.h"
#include "test_support.h"
#include "tray/registry_access.h"

namespace {

using platform::kRegDword;
using platform::kRegSz;

// The machine key, where the installer's defaults (and an older version's settings) are read from.
const char kKey[] = "[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n";
// The user's own settings key.
const char kUserKey[] = "[HKEY_CURRENT_USER\\Software\\Morvane\\Quillmote]\n";

class SettingsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    platform::host::DriverReset();
    driverStatus.driverAnswered = 0;
    s_ = std::make_unique<Settings>();  // zero-filled, as at program start
  }
  void TearDown() override {
    platform::host::DriverReset();
    driverStatus.driverAnswered = 0;
    HostTest::TearDown();
  }
  void LogOn() {
    debugEnabled = 1;
    platform::host::SetTimeOfDaySource([] { return platform::TimeOfDay{7, 0, 0}; });
    platform::host::SetAvailableMemorySource([] { return uint64_t{1048576}; });
  }
  std::string Log() { return ReadDeviceFile(kDebugLogPath); }
  // The raw bytes and type of a value of the user's settings key.
  std::vector<uint8_t> Raw(const WChar* name, uint32_t* type = nullptr) {
    platform::RegKey key;
    EXPECT_EQ(platform::RegOpen(platform::RegRoot::User, kProgramKey, platform::RegAccess::Read, key),
              platform::RegStatus::Ok);
    std::vector<uint8_t> data(1024);
    uint32_t size = 1024;
    EXPECT_EQ(platform::RegQuery(key, name, type, data.data(), &size), platform::RegStatus::Ok) << ToUtf8(name);
    data.resize(size);
    return data;
  }
  // Names of the program key's values in the order they were first written.
  std::vector<std::string> ValueNames() {
    std::vector<std::string> names;
    std::istringstream dump(platform::host::RegistryDump(kProgramKey, platform::RegRoot::User));
    for (std::string line; std::getline(dump, line);)
      if (!line.empty() && line[0] == '"') names.push_back(line.substr(1, line.find('"', 1) - 1));
    return names;
  }

  std::unique_ptr<Settings> s_;
};

TEST_F(SettingsTest, NameTables) {
  EXPECT_EQ(WString(ButtonNames[0]), u"Left Button");
  EXPECT_EQ(WString(ButtonNames[4]), u"Wheel Down");
  EXPECT_EQ(WString(ActionNames[0]), u"Left Click");
  EXPECT_EQ(WString(ActionNames[8]), u"Tap and Hold");
  EXPECT_EQ(WString(ActionNames[9]), u"Open Program");
  EXPECT_EQ(WString(ActionNames[10]), u"Open Applet");
  EXPECT_EQ(WString(ActionNames[16]), u"Switch Task");
  EXPECT_EQ(WString(SpeedNames[0]), u"0.1X");
  EXPECT_EQ(WString(SpeedNames[3]), u"1X");
  EXPECT_EQ(WString(SpeedNames[10]), u"8X");
}

TEST_F(SettingsTest, EmptyKeyLeavesTheRecordZero) {
  LoadReg(kKey);
  LogOn();
  EXPECT_EQ(LoadSettings(*s_), 1);
  Settings zero{};
  EXPECT_EQ(std::memcmp(s_.get(), &zero, sizeof zero), 0);
  EXPECT_EQ(WString(SpeedNames[s_->Speed]), u"0.1X");
  EXPECT_EQ(WString(ActionNames[s_->Buttons[4].Action]), u"Left Click");
  EXPECT_EQ(Log(),
            " 7: 0: 0@1.000/0.000: LoadSettings Enable_Tray=0 Enable_Autostart=0 Enable_Mouse=0 Enable_KB=0 "
            "Speed=0 Cursor=0 KBSounds=0\n");
}

TEST_F(SettingsTest, LoadsEveryValueAndStartsWithTheMouseOff) {
  LoadReg(std::string(kKey) +
          "\"Enable_Tray\"=dword:00000001\n\"Enable_Autostart\"=dword:00000001\n"
          "\"BacklightTimeout\"=dword:0000003c\n\"Enable_Mouse\"=dword:00000001\n\"Enable_KB\"=dword:00000001\n"
          "\"Speed\"=dword:00000004\n\"Cursor\"=dword:00000007\n\"KBSounds\"=dword:00000001\n"
          "\"Left_Button_Action\"=dword:00000009\n\"Left_Button_Param1\"=\"\\\\Windows\\\\calc.exe\"\n"
          "\"Left_Button_Param2\"=\"-x\"\n\"Middle_Button_Action\"=dword:00000002\n"
          "\"Wheel_Down_Action\"=dword:0000000a\n\"Wheel_Down_Param1\"=\"\\\\windows\\\\cplmain.cpl,3\"\n"
          "\"Wheel_Down_Param2\"=\"p\"\n");
  LogOn();
  EXPECT_EQ(LoadSettings(*s_), 1);
  EXPECT_EQ(s_->Enable_Tray, 1);
  EXPECT_EQ(s_->Enable_Autostart, 1);
  EXPECT_EQ(s_->BacklightTimeout, 60);
  EXPECT_EQ(s_->Enable_Mouse, 0);
  EXPECT_EQ(s_->Enable_KB, 1);
  EXPECT_EQ(s_->Speed, 4);
  EXPECT_EQ(s_->Cursor, 7);
  EXPECT_EQ(s_->KBSounds, 1);
  EXPECT_EQ(s_->Buttons[0].Action, 9);
  EXPECT_EQ(WString(s_->Buttons[0].Param1), u"\\Windows\\calc.exe");
  EXPECT_EQ(WString(s_->Buttons[0].Param2), u"-x");
  EXPECT_EQ(s_->Buttons[1].Action, 2);
  EXPECT_EQ(s_->Buttons[2].Action, 0);
  EXPECT_EQ(s_->Buttons[4].Action, 10);
  EXPECT_EQ(WString(s_->Buttons[4].Param1), u"\\windows\\cplmain.cpl,3");
  EXPECT_EQ(WString(s_->Buttons[4].Param2), u"p");
  EXPECT_EQ(Log(),
            " 7: 0: 0@1.000/0.000: LoadSettings Enable_Tray=1 Enable_Autostart=1 Enable_Mouse=0 Enable_KB=1 "
            "Speed=4 Cursor=7 KBSounds=1\n");
}

TEST_F(SettingsTest, ValuesThatDoNotFitTheirFieldAreNotTaken) {
  // Fields hold earlier contents, which a value that is not taken must leave alone.
  s_->Speed = 3;
  s_->Cursor = 2;
  WCopy(s_->Buttons[0].Param1, kParamChars, u"kept one");
  WCopy(s_->Buttons[1].Param1, kParamChars, u"kept two");
  WCopy(s_->Buttons[2].Param2, kParamChars, u"kept three");
  WCopy(s_->Buttons[3].Param1, kParamChars, u"kept four");
  std::string tooLong(255, 'x');   // 512 bytes with its terminator
  std::string exactFit(254, 'y');  // 510 bytes with its terminator
  std::string unterminated;        // 510 bytes of text, no terminator
  for (int i = 0; i < 510; ++i) unterminated += (i ? "," : "") + std::string(i % 2 ? "00" : "41");
  LoadReg(std::string(kKey) +
          "\"Speed\"=\"5\"\n"             // REG_SZ of 4 bytes: would read as 0x35
          "\"Cursor\"=hex:01,00,00,00\n"  // REG_BINARY
          "\"Left_Button_Param1\"=\"" +
          tooLong +
          "\"\n"
          "\"Middle_Button_Param1\"=hex(1):" +
          unterminated +
          "\n"
          "\"Right_Button_Param2\"=dword:00000041\n"
          "\"Wheel_Up_Param1\"=\"" +
          exactFit +
          "\"\n"
          "\"Wheel_Up_Param2\"=hex(1):61,00,62,00\n");  // short and unterminated: padded by zeros
  LoadSettings(*s_);
  EXPECT_EQ(s_->Speed, 3);
  EXPECT_EQ(s_->Cursor, 2);
  EXPECT_EQ(WString(s_->Buttons[0].Param1), u"kept one");
  EXPECT_EQ(WString(s_->Buttons[1].Param1), u"kept two");
  EXPECT_EQ(WString(s_->Buttons[2].Param2), u"kept three");
  EXPECT_EQ(ToUtf8(s_->Buttons[3].Param1, WLen(s_->Buttons[3].Param1)), exactFit);
  EXPECT_EQ(WString(s_->Buttons[3].Param2), u"ab");
}

TEST_F(SettingsTest, StoredIndexesBeyondTheTablesAreClamped) {
  struct Row {
    const char* label;
    uint32_t stored;
    int32_t action, speed, cursor;
  } rows[] = {
      {"in range", 5, 5, 5, 5},      {"last entries", 16, 16, 10, 9},   {"one past", 17, 16, 10, 9},
      {"far past", 1000, 16, 10, 9}, {"negative", 0xFFFFFFFF, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    char hex[16];
    std::snprintf(hex, sizeof hex, "dword:%08x", r.stored);
    platform::host::RegistryReset();
    LoadReg(std::string(kKey) + "\"Speed\"=" + hex + "\n\"Cursor\"=" + hex + "\n\"Right_Button_Action\"=" + hex + "\n");
    Settings s{};
    LoadSettings(s);
    EXPECT_EQ(s.Buttons[2].Action, r.action);
    EXPECT_EQ(s.Speed, r.speed);
    EXPECT_EQ(s.Cursor, r.cursor);
  }
}

TEST_F(SettingsTest, SaveWritesTwentyTwoValuesInOrderThenFlushesAndInforms) {
  LoadReg(std::string(kUserKey) + "\"BacklightTimeout\"=dword:0000001e\n");
  platform::host::DriverSetPresent(true);
  LogOn();
  s_->Enable_Tray = 1;
  s_->BacklightTimeout = 99;  // never written
  s_->Enable_KB = 1;
  s_->Speed = 6;
  s_->Cursor = 3;
  s_->KBSounds = 1;
  uint64_t writesBefore = platform::host::RegistryWriteCount();
  int flushesBefore = platform::host::RegistryFlushCount();
  EXPECT_EQ(SaveSettings(*s_), 1);
  EXPECT_EQ(platform::host::RegistryWriteCount() - writesBefore, 22u);
  EXPECT_EQ(platform::host::RegistryFlushCount() - flushesBefore, 1);
  std::vector<std::string> want = {"BacklightTimeout",
                                   "Enable_Tray",
                                   "Enable_Autostart",
                                   "Enable_Mouse",
                                   "Enable_KB",
                                   "Speed",
                                   "Cursor",
                                   "Left_Button_Action",
                                   "Left_Button_Param1",
                                   "Left_Button_Param2",
                                   "Middle_Button_Action",
                                   "Middle_Button_Param1",
                                   "Middle_Button_Param2",
                                   "Right_Button_Action",
                                   "Right_Button_Param1",
                                   "Right_Button_Param2",
                                   "Wheel_Up_Action",
                                   "Wheel_Up_Param1",
                                   "Wheel_Up_Param2",
                                   "Wheel_Down_Action",
                                   "Wheel_Down_Param1",
                                   "Wheel_Down_Param2",
                                   "KBSounds"};
  EXPECT_EQ(ValueNames(), want);
  EXPECT_EQ(Raw(u"BacklightTimeout"), (std::vector<uint8_t>{0x1e, 0, 0, 0}));
  EXPECT_EQ(Raw(u"Speed"), (std::vector<uint8_t>{6, 0, 0, 0}));
  // The driver is informed last, after the values are written.
  EXPECT_EQ(Log(),
            " 7: 0: 0@1.000/0.000: SaveSettings Enable_Tray=1 Enable_Autostart=0 Enable_Mouse=0 Enable_KB=1 "
            "Speed=6 Cursor=3 KBSounds=1\n"
            " 7: 0: 0@1.000/0.000: prepare to send \n"
            " 7: 0: 0@1.000/0.000: sent: 1\n");
  EXPECT_EQ(driverStatus.driverAnswered, 1);
}

TEST_F(SettingsTest, ParametersAreWrittenAsWhole510ByteFields) {
  WString longest(254, u'q');
  WCopy(s_->Buttons[0].Param1, kParamChars, longest.c_str());
  WCopy(s_->Buttons[0].Param2, kParamChars, u"ab");
  // A field without a terminator in memory is written cut to 254 characters, still terminated.
  for (WChar& c : s_->Buttons[1].Param1) c = u'z';
  ASSERT_EQ(SaveSettings(*s_), 1);

  uint32_t type = 0;
  std::vector<uint8_t> empty = Raw(u"Right_Button_Param1", &type);
  EXPECT_EQ(type, uint32_t{kRegSz});
  EXPECT_EQ(empty, std::vector<uint8_t>(510, 0));
  std::vector<uint8_t> ab = Raw(u"Left_Button_Param2");
  std::vector<uint8_t> wantAb(510, 0);
  wantAb[0] = 'a';
  wantAb[2] = 'b';
  EXPECT_EQ(ab, wantAb);
  std::vector<uint8_t> cut = Raw(u"Middle_Button_Param1");
  ASSERT_EQ(cut.size(), 510u);
  EXPECT_EQ(cut[506], 'z');
  EXPECT_EQ(cut[508], 0);
  EXPECT_EQ(cut[509], 0);

  auto loaded = std::make_unique<Settings>();
  LoadSettings(*loaded);
  EXPECT_EQ(WString(loaded->Buttons[0].Param1), longest);
  EXPECT_EQ(WString(loaded->Buttons[0].Param2), u"ab");
  EXPECT_EQ(WString(loaded->Buttons[1].Param1), WString(254, u'z'));
}

TEST_F(SettingsTest, RoundTripKeepsEveryFieldButTheMouse) {
  s_->Enable_Tray = 1;
  s_->Enable_Autostart = 1;
  s_->Enable_Mouse = 1;
  s_->Enable_KB = 1;
  s_->Speed = 10;
  s_->Cursor = 9;
  s_->KBSounds = 1;
  for (int b = 0; b < kButtonCount; ++b) {
    s_->Buttons[b].Action = 12 + b;
    WCopy(s_->Buttons[b].Param1, kParamChars, (u"\\Program Files\\p" + WString(1, u'0' + b)).c_str());
    WCopy(s_->Buttons[b].Param2, kParamChars, (u"arg \u00e9" + WString(1, u'0' + b)).c_str());
  }
  ASSERT_EQ(SaveSettings(*s_), 1);
  auto loaded = std::make_unique<Settings>();
  LoadSettings(*loaded);
  s_->Enable_Mouse = 0;
  EXPECT_EQ(std::memcmp(loaded.get(), s_.get(), sizeof(Settings)), 0);
}

TEST_F(SettingsTest, FailedWritesAreCountedAndTheRestStillHappens) {
  platform::host::DriverSetPresent(true);
  platform::host::RegistryFailWrites(true);
  int flushesBefore = platform::host::RegistryFlushCount();
  uint64_t writesBefore = platform::host::RegistryWriteCount();
  EXPECT_EQ(SaveSettings(*s_), 23);
  EXPECT_EQ(platform::host::RegistryWriteCount() - writesBefore, 22u);  // every write was tried
  EXPECT_EQ(platform::host::RegistryFlushCount() - flushesBefore, 1);
  EXPECT_EQ(driverStatus.driverAnswered, 1);
  platform::host::RegistryFailWrites(false);

  // A key that cannot be created fails every write the same way.
  platform::host::RegistryReset();
  platform::host::RegistryFailCreate(kProgramKey, platform::RegRoot::User);
  EXPECT_EQ(SaveSettings(*s_), 23);
}

}  // namespace
