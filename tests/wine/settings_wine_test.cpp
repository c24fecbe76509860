// LoadSettings and SaveSettings against Wine's real registry, prepared and inspected with Wine's
// own reg.exe so that the check does not rest on our reader alone: the user's settings are read
// over the machine key's defaults and written to the user's own key only.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tray/program_names.h"
#include "tray/registry_access.h"

namespace {

using platform::win32test::RunProgram;

// The program's key as reg.exe names it.
const WString kMachineKey = u"\"HKLM" + WString(kProgramKey) + u"\"";
const WString kUserKey = u"\"HKCU" + WString(kProgramKey) + u"\"";

struct Shown {
  std::string type, data;
};

class SettingsWine : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    platform::RegDeleteKeyTree(platform::RegRoot::Machine, kProgramKey);
    platform::RegDeleteKeyTree(platform::RegRoot::User, kProgramKey);
  }

  // A value of the machine key (by default) or of the user's key, written by reg.exe.
  void Add(const char16_t* name, const char16_t* type, const WString& data, const WString& key = kMachineKey) {
    std::string out;
    ASSERT_EQ(RunProgram(u"reg add " + key + u" /v " + name + u" /t " + type + u" /d \"" + data + u"\" /f", &out), 0)
        << out;
  }
  // A key's values as `reg query` lists them: "    name    TYPE    data"; none when it is missing.
  std::map<std::string, Shown> Query(const WString& key) {
    std::string out;
    RunProgram(u"reg query " + key, &out);
    std::map<std::string, Shown> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.compare(0, 4, "    ") != 0) continue;
      size_t a = line.find("    ", 4), b = line.find("    ", a + 4);
      std::string name = line.substr(4, a - 4);
      std::string type = line.substr(a + 4, b == std::string::npos ? std::string::npos : b - a - 4);
      values[name] = {type, b == std::string::npos ? "" : line.substr(b + 4)};
    }
    return values;
  }
  uint32_t StoredSize(const WChar* name) {
    platform::RegKey key;
    EXPECT_EQ(platform::RegOpen(platform::RegRoot::User, kProgramKey, platform::RegAccess::Read, key),
              platform::RegStatus::Ok);
    uint32_t size = 0, type = 0;
    EXPECT_EQ(platform::RegQuery(key, name, &type, nullptr, &size), platform::RegStatus::Ok);
    EXPECT_EQ(type, uint32_t{platform::kRegSz});
    return size;
  }
};

// What an older version stored for everyone, or the installer's defaults, in the machine key; a
// user's own value overrides its default.
TEST_F(SettingsWine, LoadTakesWhatRegAddWroteAndOnlyThat) {
  Add(u"Enable_Tray", u"REG_DWORD", u"1");
  Add(u"Enable_Autostart", u"REG_DWORD", u"1");
  Add(u"BacklightTimeout", u"REG_DWORD", u"30");
  Add(u"Enable_Mouse", u"REG_DWORD", u"1");
  Add(u"Enable_KB", u"REG_DWORD", u"1");
  Add(u"Speed", u"REG_SZ", u"5");  // of the wrong type: ignored
  Add(u"Cursor", u"REG_DWORD", u"12");
  Add(u"KBSounds", u"REG_DWORD", u"1");
  Add(u"Left_Button_Action", u"REG_DWORD", u"9");
  Add(u"Left_Button_Param1", u"REG_SZ", u"C:\\Program Files\\app.exe");
  Add(u"Wheel_Down_Action", u"REG_DWORD", u"10");
  Add(u"Wheel_Down_Param1", u"REG_SZ", u"\\windows\\cplmain.cpl,3");
  Add(u"Wheel_Down_Param2", u"REG_SZ", WString(255, u'x'));  // 512 bytes: too large
  Add(u"KBSounds", u"REG_DWORD", u"0", kUserKey);
  Add(u"Enable_Tray", u"REG_SZ", u"1", kUserKey);  // the user's own, of the wrong type: not the default either
  auto s = std::make_unique<Settings>();
  EXPECT_EQ(LoadSettings(*s), 1);
  EXPECT_EQ(s->Enable_Tray, 0);
  EXPECT_EQ(s->Enable_Autostart, 1);
  EXPECT_EQ(s->BacklightTimeout, 30);
  EXPECT_EQ(s->Enable_Mouse, 0);
  EXPECT_EQ(s->Enable_KB, 1);
  EXPECT_EQ(s->Speed, 0);
  EXPECT_EQ(s->Cursor, 9);
  EXPECT_EQ(s->KBSounds, 0);
  EXPECT_EQ(s->Buttons[0].Action, 9);
  EXPECT_EQ(WString(s->Buttons[0].Param1), u"C:\\Program Files\\app.exe");
  EXPECT_EQ(s->Buttons[4].Action, 10);
  EXPECT_EQ(WString(s->Buttons[4].Param1), u"\\windows\\cplmain.cpl,3");
  EXPECT_EQ(WString(s->Buttons[4].Param2), u"");
}

TEST_F(SettingsWine, SaveIsWhatRegQueryShowsAndLoadsBack) {
  Add(u"BacklightTimeout", u"REG_DWORD", u"30");
  auto s = std::make_unique<Settings>();
  s->Enable_Tray = 1;
  s->BacklightTimeout = 77;  // never written
  s->Enable_Mouse = 1;
  s->Enable_KB = 1;
  s->Speed = 6;
  s->Cursor = 3;
  s->KBSounds = 1;
  s->Buttons[0].Action = 9;
  WCopy(s->Buttons[0].Param1, kParamChars, u"C:\\Program Files\\app.exe");
  WCopy(s->Buttons[0].Param2, kParamChars, u"-tray");
  s->Buttons[3].Action = 16;
  WString longest(254, u'q');
  WCopy(s->Buttons[3].Param1, kParamChars, longest.c_str());
  ASSERT_EQ(SaveSettings(*s), 1);

  // The machine key is not written: it keeps only what the installation put there.
  std::map<std::string, Shown> machine = Query(kMachineKey);
  EXPECT_EQ(machine.size(), 1u);
  EXPECT_EQ(machine["BacklightTimeout"].data, "0x1e");
  std::map<std::string, Shown> shown = Query(kUserKey);
  EXPECT_EQ(shown.size(), 22u);
  const struct {
    const char* name;
    const char* type;
    std::string data;
  } rows[] = {
      {"Enable_Tray", "REG_DWORD", "0x1"},
      {"Enable_Autostart", "REG_DWORD", "0x0"},
      {"Enable_Mouse", "REG_DWORD", "0x1"},
      {"Enable_KB", "REG_DWORD", "0x1"},
      {"Speed", "REG_DWORD", "0x6"},
      {"Cursor", "REG_DWORD", "0x3"},
      {"KBSounds", "REG_DWORD", "0x1"},
      {"Left_Button_Action", "REG_DWORD", "0x9"},
      {"Left_Button_Param1", "REG_SZ", "C:\\Program Files\\app.exe"},
      {"Left_Button_Param2", "REG_SZ", "-tray"},
      {"Middle_Button_Action", "REG_DWORD", "0x0"},
      {"Middle_Button_Param1", "REG_SZ", ""},
      {"Wheel_Up_Action", "REG_DWORD", "0x10"},
      {"Wheel_Up_Param1", "REG_SZ", std::string(254, 'q')},
      {"Wheel_Down_Param2", "REG_SZ", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_EQ(shown.count(r.name), 1u);
    EXPECT_EQ(shown[r.name].type, r.type);
    EXPECT_EQ(shown[r.name].data, r.data);
  }
  // Every parameter is stored as its whole 510-byte field.
  for (const WChar* name : {u"Left_Button_Param1", u"Middle_Button_Param1", u"Wheel_Up_Param1", u"Wheel_Down_Param2"})
    EXPECT_EQ(StoredSize(name), 510u) << ToUtf8(name, WLen(name));

  auto loaded = std::make_unique<Settings>();
  LoadSettings(*loaded);
  s->Enable_Mouse = 0;
  s->BacklightTimeout = 30;
  EXPECT_EQ(std::memcmp(loaded.get(), s.get(), sizeof(Settings)), 0);
}

}  // namespace
