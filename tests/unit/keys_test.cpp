// The settings window from the keyboard, on the host's models: each key pressed where the focus is,
// through the message loop's dispatch, and what the window made of it.
#include "gui/keys.h"

#include "gui_fixture.h"
#include "platform/controls.h"
#include "platform/host/host_keyboard.h"
#include "platform/keyboard.h"

namespace {

using namespace platform;

constexpr int kStrip = -1;  // the tab strip, in the rows below

class KeysTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ForgetWindowKeys();
    debugEnabled = 1;
  }
  void TearDown() override {
    host::HoldKeys({});
    GuiTest::TearDown();
  }
  WindowHandle Where(int slot) { return slot == kStrip ? theGUI.TabControl : theGUI.Controls[slot]; }
  // A key pressed with the focus where it is now, and the modifiers held.
  void Press(uint32_t key, std::initializer_list<uint32_t> held = {}) {
    host::HoldKeys(held);
    DispatchWithKeys(Message{FocusedWindow(), kWmKeyDown, key, 0});
    host::HoldKeys({});
  }
};

TEST_F(KeysTest, KeyTable) {
  struct Row {
    const char* label;
    int page, focus;  // where the user is
    uint32_t key;
    std::initializer_list<uint32_t> held;
    int wantPage, wantFocus;  // where the key leads
    const char* logLine;      // a line it logs (nullptr: none)
    bool shown;               // the window still shown
    bool launches = false;    // a program was started (the Bluetooth settings)
  };
  const std::initializer_list<uint32_t> none{}, ctrl{kVkControl}, shift{kVkShift}, both{kVkControl, kVkShift};
  const Row rows[] = {
      {"Tab: the next control", kKeyboardPage, kKeyboardCheckSlot, kVkTab, none, kKeyboardPage, kSoundsCheckSlot,
       nullptr, true},
      {"Tab after the page's last control: the tab strip", kKeyboardPage, kSoundsCheckSlot, kVkTab, none, kKeyboardPage,
       kStrip, nullptr, true},
      {"Tab on the strip: round again", kKeyboardPage, kStrip, kVkTab, none, kKeyboardPage, kKeyboardCheckSlot, nullptr,
       true},
      {"Shift+Tab: back", kKeyboardPage, kKeyboardCheckSlot, kVkTab, shift, kKeyboardPage, kStrip, nullptr, true},
      {"Tab passes the greyed box by", kSettingsPage, kStrip, kVkTab, none, kSettingsPage, kAutostartCheckSlot, nullptr,
       true},
      {"Tab to a button", kSettingsPage, kTrayCheckSlot, kVkTab, none, kSettingsPage, kChangeButtonSlot, nullptr, true},
      {"Ctrl+Tab: the next page, focus on its first control", kKeyboardPage, kSoundsCheckSlot, kVkTab, ctrl,
       kSettingsPage, kAutostartCheckSlot, "GUI::InitWindowComponents page: 2", true},
      {"Ctrl+Page Down: the next page; about has no control", kHelpPage, kHelpViewSlot, kVkNext, ctrl, kAboutPage,
       kStrip, "GUI::InitWindowComponents page: 4", true},
      {"Ctrl+Tab from the about page: the first tab shows the keyboard page", kAboutPage, kStrip, kVkTab, ctrl,
       kKeyboardPage, kKeyboardCheckSlot, "GUI::InitWindowComponents page: 1", true},
      {"Ctrl+Shift+Tab: the page before", kSettingsPage, kTrayCheckSlot, kVkTab, both, kKeyboardPage,
       kKeyboardCheckSlot, nullptr, true},
      {"Ctrl+Shift+Tab from the keyboard page: round to the about page", kKeyboardPage, kKeyboardCheckSlot, kVkTab,
       both, kAboutPage, kStrip, "GUI::InitWindowComponents page: 4", true},
      {"Ctrl+Page Up: the help page, its view focused", kAboutPage, kStrip, kVkPrior, ctrl, kHelpPage, kHelpViewSlot,
       "GUI::InitWindowComponents page: 3", true},
      {"Page Down alone: the control's own", kKeyboardPage, kKeyboardCheckSlot, kVkNext, none, kKeyboardPage,
       kKeyboardCheckSlot, nullptr, true},
      {"F1: the left soft key", kKeyboardPage, kSoundsCheckSlot, kVkF1, none, kKeyboardPage, kSoundsCheckSlot,
       "GUI, user pressed HIDE", false},
      {"Esc hides the window", kSettingsPage, kAutostartCheckSlot, kVkEscape, none, kSettingsPage, kAutostartCheckSlot,
       "GUI, user pressed HIDE", false},
      {"F2: the right soft key", kKeyboardPage, kKeyboardCheckSlot, kVkF2, none, kKeyboardPage, kKeyboardCheckSlot,
       "GUI, user pressed CONNECT", true},
      {"Enter presses the focused button", kSettingsPage, kChangeButtonSlot, kVkReturn, none, kSettingsPage,
       kChangeButtonSlot, nullptr, true, true},
      {"Enter on a check box: the box's own", kKeyboardPage, kSoundsCheckSlot, kVkReturn, none, kKeyboardPage,
       kSoundsCheckSlot, nullptr, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetAll();
    ForgetWindowKeys();
    ASSERT_EQ(Open(), 1);
    Show(theGUI.MainWindow, kSwShow);
    ShowPage(r.page);
    Send(theGUI.TabControl, kTcmSetCurSel, static_cast<uintptr_t>(r.page), 0);
    Focus(Where(r.focus));
    size_t logged = LogLines().size();
    int visits = AboutVisits;
    bool sounds = Send(theGUI.Controls[kSoundsCheckSlot], kBmGetCheck, 0, 0) == kBstChecked;

    Press(r.key, r.held);

    EXPECT_EQ(theGUI.CurrentPage.load(), r.wantPage);
    EXPECT_EQ(Send(theGUI.TabControl, kTcmGetCurSel, 0, 0), r.wantPage);
    EXPECT_EQ(FocusedWindow(), Where(r.wantFocus));
    EXPECT_EQ(IsShown(theGUI.MainWindow), r.shown);
    std::vector<std::string> lines = LogLines();
    std::vector<std::string> added(lines.begin() + static_cast<long>(std::min(logged, lines.size())), lines.end());
    if (r.logLine) {
      EXPECT_NE(std::find(added.begin(), added.end(), r.logLine), added.end()) << ::testing::PrintToString(added);
    } else if (r.wantPage == r.page) {
      EXPECT_TRUE(added.empty()) << ::testing::PrintToString(added);
    }
    // A page reached by the keys is counted as a tap on its tab counts it.
    EXPECT_EQ(AboutVisits - visits, r.wantPage == kAboutPage && r.page != kAboutPage ? 1 : 0);
    bool launched = false;
    for (const auto& c : host::ShellCalls()) launched |= c.kind == host::ShellCall::Launch;
    EXPECT_EQ(launched, r.launches);
    if (r.page == kKeyboardPage && r.wantPage == kKeyboardPage) {
      EXPECT_EQ(Send(theGUI.Controls[kSoundsCheckSlot], kBmGetCheck, 0, 0) == kBstChecked, sounds);
    }
  }
}

}  // namespace
