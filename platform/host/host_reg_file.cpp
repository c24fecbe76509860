// The host registry's `.reg` text: loading an export into the tree and dumping a key of it in the
// same format, as regedit writes it.
#include <cstdio>
#include <string>

#include "platform/host/host_registry.h"
#include "platform/host/host_registry_tree.h"

namespace platform::host {
namespace {

using namespace regtree;

const std::string kHeader = "Windows Registry Editor Version 5.00";

WString Decode(const std::string& text) {
  if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE) {
    WString out;
    for (size_t i = 2; i + 1 < text.size(); i += 2)
      out += static_cast<WChar>(static_cast<unsigned char>(text[i]) | (static_cast<unsigned char>(text[i + 1]) << 8));
    return out;
  }
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) return FromUtf8(text.substr(3));
  return FromUtf8(text);
}

WString Trim(const WString& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t')) --e;
  return s.substr(b, e - b);
}

// Splits into logical lines: CR LF, LF and lone CR all end a line; a line ending in a backslash
// continues on the next one (hex data), the next line's leading blanks dropped.
std::vector<std::pair<int, WString>> LogicalLines(const WString& text) {
  std::vector<std::pair<int, WString>> raw;
  WString cur;
  int lineNo = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    WChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      raw.push_back({lineNo++, cur});
      cur.clear();
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) raw.push_back({lineNo, cur});
  std::vector<std::pair<int, WString>> out;
  bool cont = false;
  for (auto& [no, line] : raw) {
    WString t = cont ? Trim(line) : line;
    if (cont) {
      out.back().second += t;
    } else {
      out.push_back({no, t});
    }
    WString& last = out.back().second;
    WString lt = Trim(last);
    cont = !lt.empty() && lt.back() == u'\\' && lt.front() != u'[';
    if (cont) last = lt.substr(0, lt.size() - 1);
  }
  return out;
}

bool ParseQuoted(const WString& s, size_t& pos, WString& out) {
  if (pos >= s.size() || s[pos] != u'"') return false;
  ++pos;
  out.clear();
  while (pos < s.size()) {
    WChar c = s[pos++];
    if (c == u'"') return true;
    if (c == u'\\' && pos < s.size()) {
      WChar e = s[pos++];
      if (e == u'n')
        out += u'\n';
      else if (e == u'r')
        out += u'\r';
      else if (e == u'0')
        out += u'\0';
      else
        out += e;
    } else {
      out += c;
    }
  }
  return false;
}

int HexDigit(WChar c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool ParseHexBytes(const WString& s, std::vector<uint8_t>& out) {
  out.clear();
  WString t = Trim(s);
  if (t.empty()) return true;
  size_t i = 0;
  while (i < t.size()) {
    while (i < t.size() && (t[i] == u' ' || t[i] == u'\t')) ++i;
    int v = 0, digits = 0;
    while (i < t.size() && HexDigit(t[i]) >= 0) {
      v = v * 16 + HexDigit(t[i++]);
      if (++digits > 2) return false;
    }
    if (digits == 0) return false;
    out.push_back(static_cast<uint8_t>(v));
    while (i < t.size() && (t[i] == u' ' || t[i] == u'\t')) ++i;
    if (i < t.size()) {
      if (t[i] != u',') return false;
      ++i;
    }
  }
  return true;
}

std::vector<uint8_t> TextBytes(const WString& s) {
  std::vector<uint8_t> out;
  for (WChar c : s) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

// The key of a section path, its root first; false for a root other than the two.
bool SectionParts(const WString& section, std::vector<WString>& parts) {
  parts = SplitPath(section);
  if (parts.empty()) return false;
  WString root = Fold(parts[0]);
  if (root == Fold(kMachineRoot)) {
    parts[0] = kMachineRoot;
  } else if (root == Fold(kUserRoot)) {
    parts[0] = kUserRoot;
  } else {
    return false;
  }
  return true;
}

void DumpKey(const Key& k, const WString& path, std::string& out) {
  out += "[" + ToUtf8(path) + "]\n";
  for (const auto& v : k.values) {
    std::string name = "@";
    if (!v.name.empty()) {
      name = "\"";
      for (WChar c : v.name) {
        if (c == u'"' || c == u'\\') name += '\\';
        name += ToUtf8(&c, 1);
      }
      name += "\"";
    }
    std::string line = name + "=";
    size_t n = v.data.size();
    bool plainText = v.type == kRegSz && n >= 2 && n % 2 == 0 && v.data[n - 1] == 0 && v.data[n - 2] == 0;
    WString text;
    for (size_t i = 0; plainText && i + 2 < n; i += 2) {
      WChar c = static_cast<WChar>(v.data[i] | (v.data[i + 1] << 8));
      if (c == 0) plainText = false;
      text += c;
    }
    char buf[16];
    if (plainText) {
      line += "\"";
      for (WChar c : text) {
        if (c == u'"' || c == u'\\') line += '\\';
        line += ToUtf8(&c, 1);
      }
      line += "\"";
    } else if (v.type == kRegDword && n == 4) {
      uint32_t d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<uint32_t>(v.data[3]) << 24);
      std::snprintf(buf, sizeof buf, "dword:%08x", d);
      line += buf;
    } else {
      if (v.type == kRegBinary) {
        line += "hex:";
      } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
        line += buf;
      }
      for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", v.data[i]);
        line += buf;
        if (i + 1 < n) {
          line += ",";
          if (line.size() > 76) {
            out += line + "\\\n";
            line = "  ";
          }
        }
      }
    }
    out += line + "\n";
  }
  out += "\n";
  for (const auto& [upper, child] : k.children) DumpKey(*child, path + u"\\" + child->name, out);
}

}  // namespace

bool RegistryLoad(const std::string& regText, std::string* error) {
  auto fail = [&](int line, const char* why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why;
    return false;
  };
  auto lines = LogicalLines(Decode(regText));
  bool headerSeen = false;
  Key* current = nullptr;
  std::lock_guard<std::mutex> g(TreeLock());
  Key& root = TreeRoot();
  for (auto& [no, raw] : lines) {
    WString line = Trim(raw);
    if (line.empty() || line[0] == u';') continue;
    if (!headerSeen) {
      if (ToUtf8(line) != kHeader && ToUtf8(line) != "REGEDIT4") return fail(no, "missing header");
      headerSeen = true;
      continue;
    }
    if (line[0] == u'[') {
      if (line.back() != u']') return fail(no, "unterminated section");
      bool remove = line.size() > 1 && line[1] == u'-';
      WString section = line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2));
      std::vector<WString> parts;
      if (!SectionParts(section, parts)) return fail(no, "only HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER are supported");
      if (remove) {
        current = nullptr;
        WString last = Fold(parts.back());
        parts.pop_back();
        if (Key* parent = Find(root, parts)) parent->children.erase(last);
      } else {
        current = FindOrCreate(root, parts);
      }
      continue;
    }
    if (!current) return fail(no, "value outside a key");
    size_t pos = 0;
    WString name;
    if (line[0] == u'@') {
      pos = 1;
    } else if (!ParseQuoted(line, pos, name)) {
      return fail(no, "bad value name");
    }
    while (pos < line.size() && line[pos] == u' ') ++pos;
    if (pos >= line.size() || line[pos] != u'=') return fail(no, "missing '='");
    ++pos;
    while (pos < line.size() && line[pos] == u' ') ++pos;
    WString rest = line.substr(pos);
    Value v;
    v.name = name;
    if (rest == u"-") {
      auto& vals = current->values;
      vals.erase(std::remove_if(vals.begin(), vals.end(), [&](const Value& x) { return Fold(x.name) == Fold(name); }),
                 vals.end());
      continue;
    } else if (!rest.empty() && rest[0] == u'"') {
      size_t p = 0;
      WString text;
      if (!ParseQuoted(rest, p, text) || !Trim(rest.substr(p)).empty()) return fail(no, "bad string data");
      v.type = kRegSz;
      v.data = TextBytes(text);
    } else if (Fold(rest.substr(0, 6)) == u"dword:") {
      WString digits = Trim(rest.substr(6));
      if (digits.empty() || digits.size() > 8) return fail(no, "bad dword");
      uint32_t d = 0;
      for (WChar c : digits) {
        if (HexDigit(c) < 0) return fail(no, "bad dword");
        d = d * 16 + static_cast<uint32_t>(HexDigit(c));
      }
      v.type = kRegDword;
      v.data = {static_cast<uint8_t>(d), static_cast<uint8_t>(d >> 8), static_cast<uint8_t>(d >> 16),
                static_cast<uint8_t>(d >> 24)};
    } else if (Fold(rest.substr(0, 4)) == u"hex:") {
      v.type = kRegBinary;
      if (!ParseHexBytes(rest.substr(4), v.data)) return fail(no, "bad hex data");
    } else if (Fold(rest.substr(0, 4)) == u"hex(") {
      size_t close = rest.find(u"):");
      if (close == WString::npos || close == 4) return fail(no, "bad hex type");
      uint32_t t = 0;
      for (size_t i = 4; i < close; ++i) {
        if (HexDigit(rest[i]) < 0) return fail(no, "bad hex type");
        t = t * 16 + static_cast<uint32_t>(HexDigit(rest[i]));
      }
      v.type = t;
      if (!ParseHexBytes(rest.substr(close + 2), v.data)) return fail(no, "bad hex data");
    } else {
      return fail(no, "unknown data type");
    }
    if (Value* old = current->FindValue(name)) {
      *old = std::move(v);
    } else {
      current->values.push_back(std::move(v));
    }
  }
  if (!headerSeen) return fail(0, "missing header");
  return true;
}

std::string RegistryDump(const WString& path, RegRoot root) {
  std::lock_guard<std::mutex> g(TreeLock());
  Key& tree = TreeRoot();
  std::string out = kHeader + "\n\n";
  auto parts = Rooted(root, path);
  Key* k = Find(tree, parts);
  if (!k) return out;
  WString full = RootName(root);
  Key* walk = Find(tree, {parts[0]});
  for (size_t i = 1; i < parts.size(); ++i) {
    walk = walk->children.find(Fold(parts[i]))->second.get();
    full += u"\\" + walk->name;
  }
  if (parts.size() == 1) {
    for (const auto& [upper, child] : k->children) DumpKey(*child, full + u"\\" + child->name, out);
  } else {
    DumpKey(*k, full, out);
  }
  return out;
}

}  // namespace platform::host
