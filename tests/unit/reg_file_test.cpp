// The host registry's `.reg` reader and writer, checked against text that Wine's regedit exported.
#include <fstream>
#include <sstream>

#include "platform/registry.h"
#include "test_support.h"

namespace {

using namespace platform;

class RegFileTest : public HostTest {
 protected:
  std::vector<uint8_t> Value(const WString& key, const WString& name, uint32_t* type) {
    RegKey k;
    EXPECT_EQ(RegOpen(key.c_str(), RegAccess::Read, k), RegStatus::Ok) << ToUtf8(key);
    uint32_t size = 0;
    EXPECT_EQ(RegQuery(k, name.c_str(), type, nullptr, &size), RegStatus::Ok) << ToUtf8(name);
    std::vector<uint8_t> data(size);
    EXPECT_EQ(RegQuery(k, name.c_str(), type, data.data(), &size), RegStatus::Ok);
    return data;
  }
  static std::vector<uint8_t> Text(const WString& s) {
    std::vector<uint8_t> out;
    for (WChar c : s) out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    out.insert(out.end(), {0, 0});
    return out;
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
};

TEST_F(RegFileTest, AwkwardInput) {
  struct Row {
    const char* label;
    std::string text;
  };
  const Row rows[] = {
      {"CR only", "Windows Registry Editor Version 5.00\r\r[HKEY_LOCAL_MACHINE\\K]\r\"v\"=dword:0000002a"},
      {"CRLF", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=dword:0000002a\r\n"},
      {"no final newline", "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:2a"},
      {"UTF-8 BOM", "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:2A\n"},
      {"comment", "Windows Registry Editor Version 5.00\n; note\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:2a\n"},
  };
  for (const auto& r : rows) {
    platform::host::RegistryReset();
    std::string error;
    ASSERT_TRUE(platform::host::RegistryLoad(r.text, &error)) << r.label << ": " << error;
    uint32_t type = 0;
    EXPECT_EQ(Value(u"K", u"v", &type), (std::vector<uint8_t>{42, 0, 0, 0})) << r.label;
    EXPECT_EQ(type, uint32_t{kRegDword}) << r.label;
  }
}

TEST_F(RegFileTest, Utf16WithByteOrderMark) {
  std::string utf8 = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"n\"=\"\xC3\xBC\"\r\n";
  WString w = FromUtf8(utf8);
  std::string utf16 = "\xFF\xFE";
  for (WChar c : w) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  ASSERT_TRUE(platform::host::RegistryLoad(utf16));
  uint32_t type = 0;
  EXPECT_EQ(Value(u"K", u"n", &type), Text(u"\u00FC"));
}

TEST_F(RegFileTest, EscapesContinuationsDeletionsAndDefaults) {
  LoadReg(
      "[HKEY_LOCAL_MACHINE\\K\\Sub]\n"
      "@=\"default\"\n"
      "\"quote \\\"q\\\"\"=\"C:\\\\dir\\\\\"\n"
      "\"bin\"=hex:01,02,\\\n"
      "  03,ff\n"
      "\"exp\"=hex(2):25,00,00,00\n"
      "\"gone\"=dword:1\n"
      "\"gone\"=-\n"
      "[HKEY_LOCAL_MACHINE\\K\\Dropped]\n"
      "[-HKEY_LOCAL_MACHINE\\K\\Dropped]\n");
  uint32_t type = 0;
  EXPECT_EQ(Value(u"K\\Sub", u"", &type), Text(u"default"));
  EXPECT_EQ(Value(u"K\\Sub", u"quote \"q\"", &type), Text(u"C:\\dir\\"));
  EXPECT_EQ(Value(u"K\\Sub", u"bin", &type), (std::vector<uint8_t>{1, 2, 3, 0xFF}));
  EXPECT_EQ(type, uint32_t{kRegBinary});
  EXPECT_EQ(Value(u"K\\Sub", u"exp", &type), (std::vector<uint8_t>{0x25, 0, 0, 0}));
  EXPECT_EQ(type, uint32_t{kRegExpandSz});
  RegKey k;
  ASSERT_EQ(RegOpen(u"K\\Sub", RegAccess::Read, k), RegStatus::Ok);
  uint32_t size = 0;
  EXPECT_EQ(RegQuery(k, u"gone", nullptr, nullptr, &size), RegStatus::NotFound);
  EXPECT_EQ(RegOpen(u"K\\Dropped", RegAccess::Read, k), RegStatus::NotFound);
}

TEST_F(RegFileTest, RejectsWhatItDoesNotUnderstand) {
  struct Row {
    const char* label;
    std::string text;
  };
  const Row rows[] = {
      {"no header", "[HKEY_LOCAL_MACHINE\\K]\n"},
      {"other root", "Windows Registry Editor Version 5.00\n[HKEY_CLASSES_ROOT\\K]\n"},
      {"value before key", "Windows Registry Editor Version 5.00\n\"v\"=dword:1\n"},
      {"bad dword", "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:xyz\n"},
      {"long dword", "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=dword:123456789\n"},
      {"bad hex", "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=hex:1,,2\n"},
      {"open quote", "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"v\"=\"abc\n"},
  };
  for (const auto& r : rows) {
    std::string error;
    EXPECT_FALSE(platform::host::RegistryLoad(r.text, &error)) << r.label;
    EXPECT_FALSE(error.empty()) << r.label;
  }
}

TEST_F(RegFileTest, DumpLoadsBackToTheSameTree) {
  LoadReg(
      "[HKEY_LOCAL_MACHINE\\R\\b]\n\"s\"=\"x\\\\y \\\"z\\\"\"\n\"d\"=dword:fffffffe\n"
      "[HKEY_LOCAL_MACHINE\\R\\A]\n\"padded\"=hex(1):41,00,00,00,00,00\n\"long\"=hex:" +
      [] {
        std::string h;
        for (int i = 0; i < 60; ++i) h += (i ? "," : "") + std::string("ab");
        return h;
      }() +
      "\n");
  std::string first = platform::host::RegistryDump(u"R");
  platform::host::RegistryReset();
  ASSERT_TRUE(platform::host::RegistryLoad(first));
  EXPECT_EQ(platform::host::RegistryDump(u"R"), first);
  // Keys come out in enumeration order: A before b.
  EXPECT_LT(first.find("\\R\\A]"), first.find("\\R\\b]"));
}

TEST_F(RegFileTest, LoadsWhatWineRegeditExported) {
  // regedit_export.reg is Wine's regedit's own export (UTF-16, sorted, wrapped hex lines) of what
  // it imported from regedit_source.reg; the Wine tier checks that a fresh export still matches.
  std::string error;
  ASSERT_TRUE(platform::host::RegistryLoad(Slurp(QM_FIXTURES "/regedit_export.reg"), &error)) << error;
  const WString key = u"Software\\QuillmoteRegedit";
  uint32_t type = 0;
  EXPECT_EQ(Value(key, u"", &type), Text(u"default value"));
  EXPECT_EQ(Value(key, u"Text", &type), Text(u"Quote \" and \\ backslash"));
  EXPECT_EQ(type, uint32_t{kRegSz});
  EXPECT_EQ(Value(key, u"Empty", &type), Text(u""));
  EXPECT_EQ(Value(key, u"Enable_KB", &type), (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(type, uint32_t{kRegDword});
  // regedit writes a text value only up to its first terminator: the 510-byte padding is gone.
  EXPECT_EQ(Value(key, u"Left_Button_Param1", &type), Text(u"calc.exe"));
  std::vector<uint8_t> blob;
  for (int i = 0; i < 90; ++i) blob.push_back(static_cast<uint8_t>(i * 7));
  EXPECT_EQ(Value(key, u"Blob", &type), blob);  // spread over continuation lines
  EXPECT_EQ(type, uint32_t{kRegBinary});
  EXPECT_EQ(Value(key, u"Expand", &type), (std::vector<uint8_t>{0x25, 0, 0x41, 0, 0x25, 0, 0, 0}));
  EXPECT_EQ(type, uint32_t{kRegExpandSz});
  EXPECT_EQ(Value(key, u"Multi", &type), (std::vector<uint8_t>{0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}));
  EXPECT_EQ(type, uint32_t{kRegMultiSz});
  EXPECT_EQ(Value(key + u"\\Sub Key", u"Dword", &type), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
  // regedit lists subkeys in the registry's own order; the double enumerates the same way.
  std::string dump = platform::host::RegistryDump(key);
  EXPECT_LT(dump.find("\\_under]"), dump.find("\\Sub Key]"));
}

}  // namespace
