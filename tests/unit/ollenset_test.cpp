// The control-panel applet on the host's registry, shell, window and resource models.
#include "cpl/ollenset.h"

#include <cstring>
#include <functional>

#include "gui_fixture.h"
#include "platform/control_panel.h"
#include "platform/host/host_resources.h"

namespace {

using namespace platform;

class OllensetTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    platform::host::RegistryReset();
    // The control panel starts every applet with CPL_INIT, where it chooses its texts.
    OllensetApplet(nullptr, kCplInit, 0, 0);
  }
  void TearDown() override {
    host::ResourcesReset();
    GuiTest::TearDown();
  }
  std::vector<host::ShellCall> Calls(host::ShellCall::Kind kind) {
    std::vector<host::ShellCall> out;
    for (const auto& c : host::ShellCalls())
      if (c.kind == kind) out.push_back(c);
    return out;
  }
};

TEST_F(OllensetTest, MessagesAndTheEntrysDescription) {
  struct Row {
    uint32_t message;
    int32_t result;
  } rows[] = {{kCplInit, 1}, {kCplGetCount, 1}, {kCplInquire, 0}, {kCplSelect, 0},
              {kCplStop, 0}, {kCplExit, 0},     {99, 0}};
  for (const Row& r : rows) EXPECT_EQ(OllensetApplet(nullptr, r.message, 0, 0), r.result) << r.message;

  NewCplInfo info;
  std::memset(&info, 0x5A, sizeof info);
  EXPECT_EQ(OllensetApplet(nullptr, kCplNewInquire, 0, reinterpret_cast<intptr_t>(&info)), 0);
  EXPECT_EQ(info.dwSize, sizeof(NewCplInfo));
  EXPECT_EQ(info.dwFlags, 0u);
  EXPECT_EQ(info.dwHelpContext, 0u);
  // The record is packed: its pointer-sized fields are read by value, not bound to a reference.
  const intptr_t data = info.lData;
  IconHandle icon = info.hIcon;
  EXPECT_EQ(data, 101);
  ASSERT_NE(host::IconRecord(icon), nullptr);
  EXPECT_EQ(host::IconRecord(icon)->id, 101);
  EXPECT_EQ(WString(info.szName), u"Bluetooth Input Driver");
  EXPECT_EQ(WString(info.szInfo), u"Quillmote settings");
  EXPECT_EQ(info.szHelpFile[0], 0);
  // Only the first entry exists: another index leaves the record alone.
  NewCplInfo other;
  std::memset(&other, 0x5A, sizeof other);
  OllensetApplet(nullptr, kCplNewInquire, 1, reinterpret_cast<intptr_t>(&other));
  EXPECT_EQ(other.dwSize, 0x5A5A5A5Au);
}

// Opening the entry: what "InstallPath" holds decides what is started.
// A text as a `.reg` file writes it: backslashes doubled.
std::string RegText(const WString& text) {
  std::string out;
  for (char c : ToUtf8(text)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

TEST_F(OllensetTest, OpeningStartsTheProgramFromInstallPath) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n";
  const WString folder259 = u"C:\\" + WString(256, u'q');  // 259 characters: no room for the file
  const WString folder245 = u"C:\\" + WString(242, u'q');  // 245 + 14 = 259: just fits
  struct Row {
    const char* label;
    std::string reg;
    const WChar* launched;  // nullptr: nothing started, the user is told
  } rows[] = {
      {"an installed program", key + "\"InstallPath\"=\"C:\\\\Program Files\\\\Quillmote\"\n",
       u"C:\\Program Files\\Quillmote\\Ollendock.exe"},
      {"no InstallPath", key, nullptr},
      {"no key at all", "", nullptr},
      {"InstallPath of the wrong type", key + "\"InstallPath\"=dword:00000001\n", nullptr},
      {"an empty InstallPath", key + "\"InstallPath\"=\"\"\n", nullptr},
      {"a relative InstallPath", key + "\"InstallPath\"=\"Quillmote\"\n", nullptr},
      {"no room for the file name", key + "\"InstallPath\"=\"" + RegText(folder259) + "\"\n", nullptr},
      {"a folder that just fits", key + "\"InstallPath\"=\"" + RegText(folder245) + "\"\n", nullptr},
      // 260 characters and no terminator: nothing of it is taken.
      {"unterminated",
       key + "\"InstallPath\"=hex(1):" +
           [] {
             std::string hex;
             for (int i = 0; i < 260; ++i) hex += std::string(i ? "," : "") + "41,00";
             return hex;
           }() +
           "\n",
       nullptr},
  };
  WString fits = folder245 + u"\\Ollendock.exe";
  rows[7].launched = fits.c_str();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    host::RegistryReset();
    host::ShellReset();
    host::ClearSleeps();
    if (!r.reg.empty()) LoadReg(r.reg);
    EXPECT_EQ(OllensetApplet(nullptr, kCplDblClk, 0, 0), 0);
    auto launches = Calls(host::ShellCall::Launch);
    auto boxes = Calls(host::ShellCall::MessageBox);
    if (r.launched) {
      ASSERT_EQ(launches.size(), 1u);
      EXPECT_EQ(launches[0].text, r.launched);
      EXPECT_EQ(launches[0].caption, u"-tray");
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(host::Sleeps(), std::vector<uint32_t>{500});
    } else {
      EXPECT_TRUE(launches.empty());
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].caption, u"Bluetooth Input Driver");
    }
  }
  // "InstallPath" names a folder whose program cannot be started: the user is told, nothing waits.
  host::RegistryReset();
  host::ShellReset();
  host::ClearSleeps();
  LoadReg(rows[0].reg);
  host::SetLaunchResult(false);
  OllensetApplet(nullptr, kCplDblClk, 0, 0);
  EXPECT_EQ(Calls(host::ShellCall::Launch).size(), 1u);
  auto boxes = Calls(host::ShellCall::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Quillmote could not be started. Please install it again.");
  EXPECT_TRUE(host::Sleeps().empty());
}

TEST_F(OllensetTest, RunningProgramsWindowIsBroughtForward) {
  LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"\\\\Quillmote\"\n");
  // No window yet: the start is all there is, and each double click starts the program.
  OllensetApplet(nullptr, kCplDblClk, 0, 0);
  EXPECT_EQ(Calls(host::ShellCall::Launch).size(), 1u);
  ASSERT_EQ(Open(), 1);
  ASSERT_FALSE(IsShown(theGUI.MainWindow));
  OllensetApplet(nullptr, kCplDblClk, 0, 0);
  EXPECT_TRUE(IsShown(theGUI.MainWindow));
  EXPECT_EQ(host::ForegroundWindow(), theGUI.MainWindow);
}

}  // namespace
