// The texts a user reads: every language's tables against the English ones, the language the
// platform's chooses, and the sources, where no such text may be written any more.
#include "tray/ui_text.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "gui_fixture.h"
#include "platform/control_panel.h"
#include "platform/notify_icon.h"
#include "platform/resources.h"
#include "string_tables.h"

namespace {

using string_tables::Table;

// The format arguments of a text, in order.
std::vector<std::string> Arguments(const WString& text) {
  std::vector<std::string> out;
  std::string s = ToUtf8(text);
  std::regex argument(R"(%[-+ #0-9.]*l*[a-zA-Z%])");
  for (std::sregex_iterator it(s.begin(), s.end(), argument), end; it != end; ++it) out.push_back(it->str());
  return out;
}

// The longest a text may be where a field of a fixed size holds it (terminator excluded).
size_t Limit(const std::string& file, uint32_t id) {
  if (file.rfind("applet_", 0) == 0) {
    if (id == QM_APPLET_NAME) return platform::kCplNameChars - 1;
    if (id == QM_APPLET_INFO) return platform::kCplInfoChars - 1;
  } else {
    if (id >= QM_TEXT_ACTION_FIRST && id < QM_TEXT_ACTION_FIRST + kActionCount) return 19;
    if (id >= QM_TEXT_SPEED_FIRST && id < QM_TEXT_SPEED_FIRST + kSpeedCount) return 5;
    if (id >= QM_TEXT_TIP_NO_DRIVER && id <= QM_TEXT_TIP_BOTH_OFF) return platform::kNotifyTipChars - 1;
  }
  return 511;
}

TEST(TextTables, EveryTextOfEveryLanguage) {
  std::vector<std::string> unread;
  std::vector<Table> tables = string_tables::ReadTables(&unread);
  EXPECT_EQ(unread, std::vector<std::string>{});
  const std::set<uint16_t> languages = {0x0409, 0x0407, 0x040C, 0x0C0A, 0x0410, 0x0419, 0x0501};
  for (const char* module : {"", "applet_"}) {
    const Table* english = nullptr;
    std::set<uint16_t> found;
    for (const Table& t : tables)
      if (t.file == std::string(module) + "en.rc") english = &t;
    ASSERT_NE(english, nullptr) << module;
    EXPECT_EQ(english->language, kEnglish);
    for (const Table& t : tables) {
      bool applet = t.file.rfind("applet_", 0) == 0;
      if (applet != (module[0] != 0)) continue;
      SCOPED_TRACE(t.file);
      EXPECT_TRUE(found.insert(t.language).second) << "a second table of the language";
      EXPECT_EQ(TextLanguageFor(t.language), t.language) << "a table no platform language reaches";
      for (const auto& [id, text] : english->texts) {
        SCOPED_TRACE(id);
        auto it = t.texts.find(id);
        ASSERT_NE(it, t.texts.end()) << "missing";
        EXPECT_FALSE(it->second.empty());
        EXPECT_EQ(Arguments(it->second), Arguments(text));
        EXPECT_LE(it->second.size(), Limit(t.file, id));
      }
      for (const auto& [id, text] : t.texts) EXPECT_TRUE(english->texts.count(id)) << id << " is not English's";
      // The numbered boxes keep their numbers.
      if (!applet) {
        for (auto [id, number] : {std::pair{QM_TEXT_CRITICAL_TITLE, u"#1 "},
                                  {QM_TEXT_BLUETOOTH_OFF_TITLE, u"#2 "},
                                  {QM_TEXT_NO_DEVICE_TITLE, u"#3 "}})
          EXPECT_NE(t.texts.at(id).find(number), WString::npos) << id;
      }
    }
    EXPECT_EQ(found, languages) << module;
  }
}

// The language the platform's interface language leads to, and a text a translation lacks.
TEST_F(GuiTest, TheWindowInThePlatformsLanguage) {
  struct Row {
    uint16_t platform, chosen;
    const WChar* tag;
  } rows[] = {{0x0407, 0x0407, u"de"}, {0x0C07, 0x0407, u"de"}, {0x0419, 0x0419, u"ru"},
              {0x080C, 0x040C, u"fr"}, {0x040A, 0x0C0A, u"es"}, {0x0810, 0x0410, u"it"},
              {0x0809, 0x0409, u"en"}, {0x0411, 0x0409, u"en"}, {0x0501, 0x0501, u"qps"}};
  for (const Row& r : rows) {
    platform::host::SetUserInterfaceLanguage(r.platform);
    EXPECT_EQ(ChooseTextLanguage(kInstance, QM_TEXT_FIRST, QM_TEXT_END), r.chosen) << r.platform;
    EXPECT_EQ(platform::ResourceLanguage(), r.chosen) << r.platform;
    EXPECT_EQ(WString(TextLanguageTag()), r.tag) << r.platform;
  }

  // German, with one text its table lacks and one it has empty: both are English.
  platform::host::SetResourceString(QM_TEXT_TAB_HELP, u"", 0x0407);
  platform::host::SetResourceString(QM_TEXT_OFF, u"", 0x0407);
  platform::host::SetUserInterfaceLanguage(0x0407);
  ChooseTextLanguage(kInstance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();
  ASSERT_EQ(Open(), 1);
  const auto* tabs = platform::host::WindowRecord(theGUI.TabControl);
  ASSERT_NE(tabs, nullptr);
  std::vector<WString> captions;
  for (const auto& t : tabs->tabs) captions.push_back(t.text);
  EXPECT_EQ(captions, (std::vector<WString>{u"", u"Tastatur", u"Status", u"Help", u"Info"}));
  EXPECT_EQ(Control(kKeyboardCheckSlot).text, u"Bluetooth-Tastatur aktivieren");
  EXPECT_EQ(WString(UiText(QM_TEXT_OK)), u"OK");
  EXPECT_EQ(WString(UiText(QM_TEXT_HIDE)), u"Ausblenden");

  driverStatus.bluetoothOn.store(1);
  ClickTab(kSettingsPage);
  Paint();
  std::vector<WString> painted;
  for (const auto& c : Calls(platform::host::DrawCall::Text)) painted.push_back(c.text);
  EXPECT_EQ(painted, (std::vector<WString>{u"Programmeinstellungen", u"Status", u"Bluetooth :", u"Maus :",
                                           u"Tastatur :", u"EIN", u"OFF", u"OFF"}));

  ShowPage(kMousePage);
  EXPECT_EQ(Control(kActionListSlot).items.front(), u"Klick links");
  EXPECT_EQ(Control(kSpeedListSlot).items.front(), u"0,1X");
  // What is not the user's to read stays: the stored action and the registry's names.
  EXPECT_EQ(WString(ButtonNames[0]), u"Left Button");
}

// The logic's sources hold no text a user reads: every literal that is not a debug log line's
// format is a name of the list below (registry and file names, classes, formats, symbols).
TEST(TextTables, NoUserTextIsWrittenIntoTheCode) {
  std::set<std::string> allowed;
  {
    std::ifstream list(std::string(QM_FIXTURES) + "/code_literals.txt");
    std::string line;
    while (std::getline(list, line))
      if (!line.empty() && line[0] != '#') allowed.insert(line);
  }
  ASSERT_GT(allowed.size(), 50u);
  std::string unexpected;
  std::filesystem::path root = std::filesystem::path(QM_RESOURCES).parent_path();
  for (const char* dir : {"tray", "driver_link", "settings", "bluetooth", "gui", "pickers", "cpl"}) {
    for (const auto& item : std::filesystem::directory_iterator(root / dir)) {
      std::string ext = item.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      std::string src = string_tables::ReadFile(item.path());
      std::string statement;  // the code since the last ; { or }
      for (size_t i = 0; i < src.size(); ++i) {
        char c = src[i];
        bool lineStart = i == 0 || src[i - 1] == '\n';
        if ((c == '/' && i + 1 < src.size() && src[i + 1] == '/') || (c == '#' && lineStart)) {
          i = src.find('\n', i);
          if (i == std::string::npos) break;
        } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
          i = src.find("*/", i) + 1;
        } else if (c == '\'' || c == '"') {
          size_t end = i + 1;
          while (end < src.size() && src[end] != c) end += src[end] == '\\' ? 2 : 1;
          std::string literal = src.substr(i + 1, end - i - 1);
          bool logged = statement.find("DebugLog(") != std::string::npos;
          if (c == '"' && !logged && !literal.empty() && !allowed.count(literal))
            unexpected += item.path().filename().string() + ": " + literal + "\n";
          i = end;
        } else {
          if (c == ';' || c == '{' || c == '}')
            statement.clear();
          else
            statement += c;
        }
      }
    }
  }
  EXPECT_EQ(unexpected, "")
      << "a text the user reads belongs in resources/strings; a name that is not the user's to read "
         "goes into tests/fixtures/code_literals.txt";
}

}  // namespace
