// The programs' string tables as the resource scripts write them (resources/strings/*.rc), read
// for the host: the host double then holds the strings the executables carry.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/host_resources.h"
#include "platform/text.h"

namespace string_tables {

struct Table {
  std::string file;   // "de.rc", "applet_de.rc", ...
  uint16_t language;  // from its LANGUAGE line
  std::map<uint32_t, WString> texts;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The numbers text_ids.h gives the names.
inline std::map<std::string, uint32_t> TextNumbers() {
  std::map<std::string, uint32_t> numbers;
  std::string header = ReadFile(std::filesystem::path(QM_RESOURCES) / "text_ids.h");
  std::regex define(R"(#define (\w+) (\d+))");
  for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
    numbers[(*it)[1]] = static_cast<uint32_t>(std::stoul((*it)[2]));
  return numbers;
}

// A string as the resource compiler reads it: "" is a quote, \n a line break, \\ a backslash.
inline WString Unquote(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      out += '"';
      ++i;
    } else if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      out += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += text[i];
    }
  }
  return FromUtf8(out);
}

// Every table of resources/strings; a line the reader does not understand is a table's fault
// and is kept in `unread`.
inline std::vector<Table> ReadTables(std::vector<std::string>* unread = nullptr) {
  static const std::map<std::string, uint32_t> numbers = TextNumbers();
  std::vector<Table> tables;
  std::regex language(R"(^LANGUAGE (0x[0-9A-Fa-f]+), (0x[0-9A-Fa-f]+)$)");
  std::regex entry(R"re(^  (\w+) "((?:[^"]|"")*)"$)re");
  std::regex other(R"(^(//.*|STRINGTABLE|BEGIN|END|)$)");
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(QM_RESOURCES) / "strings")) {
    if (item.path().extension() != ".rc") continue;
    Table table{item.path().filename().string(), 0, {}};
    std::istringstream lines(ReadFile(item.path()));
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
      if (std::regex_match(line, m, language)) {
        table.language = static_cast<uint16_t>((std::stoul(m[2], nullptr, 16) << 10) | std::stoul(m[1], nullptr, 16));
      } else if (std::regex_match(line, m, entry)) {
        auto named = numbers.find(m[1]);
        bool digits = m[1].str().find_first_not_of("0123456789") == std::string::npos;
        if (named == numbers.end() && !digits) {
          if (unread) unread->push_back(table.file + ": " + line);
          continue;
        }
        table.texts[named != numbers.end() ? named->second : static_cast<uint32_t>(std::stoul(m[1]))] = Unquote(m[2]);
      } else if (!std::regex_match(line, other) && unread) {
        unread->push_back(table.file + ": " + line);
      }
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

// Puts every table into the host double, as the two executables carry them.
inline void LoadIntoHost() {
  static const std::vector<Table> tables = ReadTables();
  for (const Table& t : tables)
    for (const auto& [id, text] : t.texts) platform::host::SetResourceString(id, text, t.language);
}

}  // namespace string_tables
