// The help page reader: one pass over the decoded text, no recursion. Every search for an end
// (of a comment, a tag, a quoted value, a script) starts where the last one stopped, so that the
// whole page is read in time linear in its length.
#include "platform/win32/html_text.h"

#include <algorithm>
#include <cstdint>

namespace platform {
namespace {

constexpr size_t kMaxTitleChars = 1024;
constexpr int kMaxStyleDepth = 1 << 20;

bool IsSpace(uint32_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsAlpha(uint32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(uint32_t c) {
  return c >= '0' && c <= '9';
}
int HexValue(uint32_t c) {
  if (IsDigit(c)) return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}
bool IsHigh(WChar c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(WChar c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendCodePoint(WString& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<WChar>(0xD800 + (cp >> 10));
    out += static_cast<WChar>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<WChar>(cp);
  }
}

// The file's text as UTF-16 with line ends made "\n" and no unpaired surrogates.
WString Decode(const std::string& bytes) {
  size_t n = std::min(bytes.size(), kHtmlMaxInputBytes);
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  WString raw;
  if (n >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    bool little = byte(0) == 0xFF;
    raw.reserve(n / 2);
    for (size_t i = 2; i + 1 < n; i += 2) {
      raw += static_cast<WChar>(little ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1));
    }
    if (n % 2) raw += u'\xFFFD';
  } else {
    size_t start = (n >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) ? 3 : 0;
    raw = FromUtf8(bytes.substr(start, n - start));
  }
  WString out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    WChar c = raw[i];
    if (c == u'\r') {
      if (i + 1 < raw.size() && raw[i + 1] == u'\n') ++i;
      out += u'\n';
    } else if (IsHigh(c) && i + 1 < raw.size() && IsLow(raw[i + 1])) {
      out += c;
      out += raw[++i];
    } else {
      out += (IsHigh(c) || IsLow(c)) ? u'\xFFFD' : c;
    }
  }
  return out;
}

struct NamedEntity {
  const char16_t* name;
  char16_t value;
};
constexpr NamedEntity kEntities[] = {
    {u"amp", u'&'},         {u"lt", u'<'},          {u"gt", u'>'},          {u"quot", u'"'},
    {u"apos", u'\''},       {u"nbsp", u'\u00A0'},   {u"copy", u'\u00A9'},   {u"reg", u'\u00AE'},
    {u"trade", u'\u2122'},  {u"mdash", u'\u2014'},  {u"ndash", u'\u2013'},  {u"hellip", u'\u2026'},
    {u"rsquo", u'\u2019'},  {u"lsquo", u'\u2018'},  {u"ldquo", u'\u201C'},  {u"rdquo", u'\u201D'},
    {u"bull", u'\u2022'},   {u"middot", u'\u00B7'}, {u"laquo", u'\u00AB'},  {u"raquo", u'\u00BB'},
    {u"deg", u'\u00B0'},    {u"times", u'\u00D7'},  {u"euro", u'\u20AC'},   {u"sect", u'\u00A7'},
    {u"larr", u'\u2190'},   {u"rarr", u'\u2192'},   {u"uarr", u'\u2191'},   {u"darr", u'\u2193'},
    {u"auml", u'\u00E4'},   {u"ouml", u'\u00F6'},   {u"uuml", u'\u00FC'},   {u"Auml", u'\u00C4'},
    {u"Ouml", u'\u00D6'},   {u"Uuml", u'\u00DC'},   {u"szlig", u'\u00DF'},  {u"eacute", u'\u00E9'},
    {u"egrave", u'\u00E8'}, {u"agrave", u'\u00E0'}, {u"ccedil", u'\u00E7'}, {u"shy", u'\u00AD'},
};

// What browsers show for references to the C1 range: the Windows-1252 characters of those bytes.
constexpr char16_t kWindows1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                       0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// The character reference at s[i] == '&': sets `cp` and returns the position after it. Anything
// that is not a known reference is a plain '&'.
size_t ReadEntity(const WString& s, size_t i, uint32_t& cp) {
  cp = '&';
  size_t n = s.size(), j = i + 1;
  if (j < n && s[j] == u'#') {
    ++j;
    bool hex = j < n && (s[j] == u'x' || s[j] == u'X');
    if (hex) ++j;
    size_t digits = j;
    uint32_t v = 0;
    for (; j < n && (hex ? HexValue(s[j]) >= 0 : IsDigit(s[j])); ++j) {
      v = std::min<uint32_t>(v * (hex ? 16 : 10) + static_cast<uint32_t>(HexValue(s[j])), 0x110000);
    }
    if (j == digits) return i + 1;
    if (j < n && s[j] == u';') ++j;
    if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
      cp = 0xFFFD;
    } else if (v >= 0x80 && v <= 0x9F) {
      cp = kWindows1252[v - 0x80];
    } else {
      cp = v;
    }
    return j;
  }
  size_t end = j;
  while (end < n && end - j < 8 && (IsAlpha(s[end]) || IsDigit(s[end]))) ++end;
  for (const auto& e : kEntities) {
    if (s.compare(j, end - j, e.name) == 0) {
      cp = e.value;
      return end < n && s[end] == u';' ? end + 1 : end;
    }
  }
  return i + 1;
}

bool NameIs(const WString& s, size_t at, const char16_t* name) {
  size_t k = 0;
  for (; name[k]; ++k) {
    if (at + k >= s.size() || WToLower(s[at + k]) != name[k]) return false;
  }
  return at + k == s.size() || IsSpace(s[at + k]) || s[at + k] == u'/' || s[at + k] == u'>';
}

// Where "</name" starts at or after `from`; npos when the page has none.
size_t FindEndTag(const WString& s, size_t from, const char16_t* name) {
  for (size_t p = s.find(u"</", from); p != WString::npos; p = s.find(u"</", p + 2)) {
    if (NameIs(s, p + 2, name)) return p;
  }
  return WString::npos;
}

// Past the '>' that ends a tag whose attributes start at `j` (quoted values may hold '>');
// npos when the page ends first.
size_t SkipAttributes(const WString& s, size_t j) {
  while (j < s.size()) {
    WChar c = s[j++];
    if (c == u'>') return j;
    if (c != u'=') continue;
    while (j < s.size() && IsSpace(s[j])) ++j;
    if (j < s.size() && (s[j] == u'"' || s[j] == u'\'')) {
      size_t close = s.find(s[j], j + 1);
      if (close == WString::npos) return WString::npos;
      j = close + 1;
    }
  }
  return WString::npos;
}

int HeadingLevel(const WString& name) {
  if (name.size() != 2 || name[0] != u'h' || name[1] < u'1' || name[1] > u'6') return 0;
  return std::min(name[1] - u'0', 3);
}

bool IsBlockTag(const WString& n) {
  static const char16_t* const kBlocks[] = {u"p",          u"div",     u"blockquote", u"table",   u"tr",      u"dl",
                                            u"dt",         u"dd",      u"hr",         u"section", u"article", u"header",
                                            u"footer",     u"nav",     u"main",       u"aside",   u"address", u"figure",
                                            u"figcaption", u"form",    u"fieldset",   u"center",  u"body",    u"html",
                                            u"caption",    u"details", u"summary",    u"tbody",   u"thead",   u"tfoot"};
  for (const char16_t* b : kBlocks) {
    if (n == b) return true;
  }
  return false;
}

class Builder {
 public:
  HtmlPage page;

  bool Full() const { return page.truncated; }

  void Char(uint32_t cp) {
    if (cp == '\r') cp = '\n';
    if (pre_ > 0) {
      bool first = skipNewline_;
      skipNewline_ = false;
      if (cp == '\n' && first) return;
      if (cp == '\t') {
        for (int k = 0; k < 4; ++k) Put(' ', bold_ > 0, italic_ > 0);
      } else if (cp == '\n' || (cp >= 0x20 && cp != 0xAD)) {
        Put(cp, bold_ > 0, italic_ > 0);
      }
      return;
    }
    if (IsSpace(cp)) {
      if (open_ && !lineStart_ && !space_) {
        space_ = true;
        spaceBold_ = bold_ > 0;
        spaceItalic_ = italic_ > 0;
      }
      return;
    }
    if (cp < 0x20 || cp == 0x7F || cp == 0xAD) return;  // a soft hyphen shows nothing where no word is broken
    if (space_) Put(' ', spaceBold_, spaceItalic_);
    Put(cp, bold_ > 0, italic_ > 0);
  }

  void Title(const WString& text) {
    if (!page.title.empty()) return;
    for (WChar c : text) {
      if (page.title.size() >= kMaxTitleChars) break;
      if (!IsSpace(c)) {
        page.title += c;
      } else if (!page.title.empty() && page.title.back() != u' ') {
        page.title += u' ';
      }
    }
    while (!page.title.empty() && page.title.back() == u' ') page.title.pop_back();
  }

  void StartTag(const WString& name) {
    if (name == u"b" || name == u"strong") {
      bold_ = std::min(bold_ + 1, kMaxStyleDepth);
    } else if (name == u"i" || name == u"em" || name == u"cite") {
      italic_ = std::min(italic_ + 1, kMaxStyleDepth);
    } else if (name == u"br") {
      LineBreak();
    } else if (int level = HeadingLevel(name)) {
      Flush();
      heading_ = level;
    } else if (name == u"ul" || name == u"ol") {
      Flush();
      itemPending_ = false;
      if (lists_.size() < static_cast<size_t>(kHtmlMaxListDepth)) {
        lists_.push_back(List{name == u"ol", 1});
      } else {
        ++hiddenLists_;
      }
    } else if (name == u"li") {
      Flush();
      itemPending_ = true;
      itemNumber_ = 0;
      if (!lists_.empty() && hiddenLists_ == 0 && lists_.back().ordered) {
        itemNumber_ = lists_.back().next;
        lists_.back().next = std::min(lists_.back().next + 1, 999999);
      }
    } else if (name == u"pre") {
      Flush();
      pre_ = std::min(pre_ + 1, kMaxStyleDepth);
      skipNewline_ = true;
    } else if (name == u"td" || name == u"th") {
      Char(' ');
    } else if (IsBlockTag(name)) {
      Flush();
    }
  }

  void EndTag(const WString& name) {
    if (name == u"b" || name == u"strong") {
      bold_ = std::max(bold_ - 1, 0);
    } else if (name == u"i" || name == u"em" || name == u"cite") {
      italic_ = std::max(italic_ - 1, 0);
    } else if (name == u"br") {
      LineBreak();
    } else if (HeadingLevel(name)) {
      Flush();
      heading_ = 0;
    } else if (name == u"ul" || name == u"ol") {
      Flush();
      itemPending_ = false;
      if (hiddenLists_ > 0) {
        --hiddenLists_;
      } else if (!lists_.empty()) {
        lists_.pop_back();
      }
    } else if (name == u"li") {
      Flush();
      itemPending_ = false;
    } else if (name == u"pre") {
      Flush();
      pre_ = std::max(pre_ - 1, 0);
    } else if (IsBlockTag(name)) {
      Flush();
    }
  }

  void Finish() {
    Flush();
    bool hasH1 = std::any_of(page.blocks.begin(), page.blocks.end(),
                             [](const HtmlBlock& b) { return b.kind == HtmlBlockKind::kHeading1; });
    if (!hasH1 && !page.title.empty() && page.blocks.size() < kHtmlMaxBlocks &&
        chars_ + page.title.size() <= kHtmlMaxTextChars) {
      HtmlBlock heading;
      heading.kind = HtmlBlockKind::kHeading1;
      heading.runs.push_back(HtmlRun{page.title, false, false});
      page.blocks.insert(page.blocks.begin(), std::move(heading));
    }
  }

 private:
  struct List {
    bool ordered;
    int next;
  };

  void LineBreak() {
    space_ = false;
    Put('\n', bold_ > 0, italic_ > 0);
  }

  void Open() {
    if (page.blocks.size() >= kHtmlMaxBlocks) {
      page.truncated = true;
      return;
    }
    block_ = HtmlBlock{};
    block_.depth = static_cast<int>(lists_.size());
    if (heading_) {
      block_.kind = heading_ == 1   ? HtmlBlockKind::kHeading1
                    : heading_ == 2 ? HtmlBlockKind::kHeading2
                                    : HtmlBlockKind::kHeading3;
    } else if (itemPending_) {
      block_.kind = HtmlBlockKind::kListItem;
      block_.number = itemNumber_;
      block_.depth = std::max(block_.depth, 1);
    } else if (pre_ > 0) {
      block_.kind = HtmlBlockKind::kPreformatted;
    }
    itemPending_ = false;
    open_ = true;
    lineStart_ = true;
    space_ = false;
  }

  void Put(uint32_t cp, bool bold, bool italic) {
    space_ = false;
    if (page.truncated) return;
    if (!open_) {
      Open();
      if (!open_) return;
    }
    size_t units = cp >= 0x10000 ? 2 : 1;
    if (chars_ + units > kHtmlMaxTextChars) {
      page.truncated = true;
      return;
    }
    if (block_.runs.empty() || block_.runs.back().bold != bold || block_.runs.back().italic != italic) {
      block_.runs.push_back(HtmlRun{WString(), bold, italic});
    }
    AppendCodePoint(block_.runs.back().text, cp);
    chars_ += units;
    lineStart_ = cp == '\n';
  }

  void Flush() {
    if (open_) page.blocks.push_back(std::move(block_));
    block_ = HtmlBlock{};
    open_ = false;
    space_ = false;
    lineStart_ = true;
  }

  HtmlBlock block_;
  bool open_ = false;
  bool lineStart_ = true;  // nothing but a line break since the block began: spaces are dropped
  bool space_ = false;     // collapsed whitespace waits for the next character
  bool spaceBold_ = false, spaceItalic_ = false;
  bool skipNewline_ = false;  // a line break right after <pre> is not shown
  int bold_ = 0, italic_ = 0, heading_ = 0, pre_ = 0;
  std::vector<List> lists_;
  int hiddenLists_ = 0;  // lists opened deeper than kHtmlMaxListDepth
  bool itemPending_ = false;
  int itemNumber_ = 0;
  size_t chars_ = 0;
};

// Reads the tag or markup at s[i] == '<' and returns the position after it.
size_t ReadMarkup(const WString& s, size_t i, Builder& b) {
  size_t n = s.size();
  WChar next = i + 1 < n ? s[i + 1] : 0;
  if (next == u'!' && s.compare(i, 4, u"<!--") == 0) {
    size_t k = i + 4;
    if (k < n && s[k] == u'>') return k + 1;
    if (s.compare(k, 2, u"->") == 0) return k + 2;
    size_t end = s.find(u"-->", k);
    return end == WString::npos ? n : end + 3;
  }
  bool endTag = next == u'/';
  size_t j = i + (endTag ? 2 : 1);
  if (next == u'!' || next == u'?' || (endTag && (j >= n || !IsAlpha(s[j])))) {
    // A declaration, a processing instruction or a broken end tag: skipped to its '>'.
    size_t end = s.find(u'>', i + 1);
    return end == WString::npos ? n : end + 1;
  }
  if (j >= n || !IsAlpha(s[j])) {
    b.Char('<');
    return i + 1;
  }
  WString name;
  size_t start = j;
  for (; j < n && !IsSpace(s[j]) && s[j] != u'/' && s[j] != u'>'; ++j) {
    if (j - start < 16) name += WToLower(s[j]);
  }
  if (j - start >= 16) name.clear();
  size_t after = SkipAttributes(s, j);
  if (after == WString::npos) return n;  // a tag cut off by the end of the page is dropped
  if (endTag) {
    b.EndTag(name);
    return after;
  }
  if (name == u"script" || name == u"style" || name == u"title") {
    size_t close = FindEndTag(s, after, name.c_str());
    if (name == u"title") {
      WString text;
      size_t stop = std::min(close, n);
      for (size_t k = after; k < stop && text.size() < kMaxTitleChars;) {
        uint32_t cp = s[k];
        k = cp == u'&' ? ReadEntity(s, k, cp) : k + 1;
        AppendCodePoint(text, cp);
      }
      b.Title(text);
    }
    if (close == WString::npos) return n;
    size_t end = SkipAttributes(s, close + 2 + name.size());
    return end == WString::npos ? n : end;
  }
  b.StartTag(name);
  return after;
}

}  // namespace

HtmlPage ParseHtml(const std::string& bytes) {
  WString s = Decode(bytes);
  Builder b;
  for (size_t i = 0; i < s.size() && !b.Full();) {
    WChar c = s[i];
    if (c == u'<') {
      i = ReadMarkup(s, i, b);
    } else if (c == u'&') {
      uint32_t cp;
      i = ReadEntity(s, i, cp);
      b.Char(cp);
    } else if (IsHigh(c) && i + 1 < s.size()) {
      b.Char(0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      i += 2;
    } else {
      b.Char(c);
      ++i;
    }
  }
  b.Finish();
  return std::move(b.page);
}

WString HtmlBlockText(const HtmlBlock& block) {
  WString out;
  for (const auto& r : block.runs) out += r.text;
  return out;
}

bool HtmlAddressToPath(const WString& address, WString& path) {
  path.clear();
  size_t b = 0, e = address.size();
  while (b < e && IsSpace(address[b])) ++b;
  while (e > b && IsSpace(address[e - 1])) --e;
  WString a = address.substr(b, e - b);
  if (a.size() < 5 || WLower(a.substr(0, 5)) != u"file:") return false;
  WString rest = a.substr(5);
  // With a backslash in it the rest is a Windows path as the program writes it; without, a URL.
  bool url = rest.find(u'\\') == WString::npos;
  if (rest.compare(0, 2, u"//") == 0) rest.erase(0, 2);
  if (url) {
    if (WLower(rest.substr(0, 10)) == u"localhost/") rest.erase(0, 9);
    rest = rest.substr(0, rest.find_first_of(u"?#"));
    std::string utf8 = ToUtf8(rest), decoded;
    for (size_t k = 0; k < utf8.size(); ++k) {
      if (utf8[k] == '%' && k + 2 < utf8.size() && HexValue(static_cast<unsigned char>(utf8[k + 1])) >= 0 &&
          HexValue(static_cast<unsigned char>(utf8[k + 2])) >= 0) {
        decoded += static_cast<char>(HexValue(static_cast<unsigned char>(utf8[k + 1])) * 16 +
                                     HexValue(static_cast<unsigned char>(utf8[k + 2])));
        k += 2;
      } else {
        decoded += utf8[k];
      }
    }
    rest = FromUtf8(decoded);
    std::replace(rest.begin(), rest.end(), u'/', u'\\');
  }
  if (rest.size() >= 3 && (rest[0] == u'\\' || rest[0] == u'/') && IsAlpha(rest[1]) && rest[2] == u':') {
    rest.erase(0, 1);  // "file:///C:/x": the slash before the drive belongs to the URL
  }
  bool drive = rest.size() >= 4 && IsAlpha(rest[0]) && rest[1] == u':' && rest[2] == u'\\';
  bool device = rest.size() >= 2 && rest[0] == u'\\' && rest[1] != u'\\';
  if ((!drive && !device) || rest.find(u'\0') != WString::npos) return false;
  path = rest;
  return true;
}

namespace {

// Greedy line filling; see BreakHtmlLines.
class LineBreaker {
 public:
  LineBreaker(const std::vector<HtmlRun>& runs, int width, bool keepSpaces, const HtmlMeasure& measure)
      : runs_(runs), width_(std::max(width, 1)), keepSpaces_(keepSpaces), measure_(measure) {}

  std::vector<HtmlLine> Run() {
    for (size_t r = 0; r < runs_.size(); ++r) {
      const WString& t = runs_[r].text;
      for (size_t k = 0; k < t.size(); ++k) {
        if (t[k] == u'\n') {
          PlaceWord();
          NewLine(false);
        } else if (t[k] == u' ') {
          PlaceWord();
          if (keepSpaces_ ? !soft_ || !line_.spans.empty() : !line_.spans.empty() && spaces_.empty()) {
            Extend(spaces_, r, k);
          }
        } else {
          Extend(word_, r, k);
        }
      }
    }
    PlaceWord();
    if (!line_.spans.empty()) lines_.push_back(std::move(line_));
    return std::move(lines_);
  }

 private:
  struct Piece {
    size_t run, begin, end;
  };

  static void Extend(std::vector<Piece>& pieces, size_t run, size_t k) {
    if (!pieces.empty() && pieces.back().run == run && pieces.back().end == k) {
      ++pieces.back().end;
    } else {
      pieces.push_back(Piece{run, k, k + 1});
    }
  }

  int Measure(size_t run, size_t begin, size_t length) const {
    return length == 0 ? 0 : measure_(runs_[run], runs_[run].text.data() + begin, length);
  }
  int Measure(const Piece& p) const { return Measure(p.run, p.begin, p.end - p.begin); }

  void Add(size_t run, size_t begin, size_t end, int w) {
    auto& spans = line_.spans;
    if (!spans.empty() && spans.back().run == run && spans.back().end == begin) {
      spans.back().end = end;
    } else {
      spans.push_back(HtmlSpan{run, begin, end, x_});
    }
    x_ += w;
    line_.width = x_;
  }

  void NewLine(bool soft) {
    lines_.push_back(std::move(line_));
    line_ = HtmlLine{};
    x_ = 0;
    soft_ = soft;
    spaces_.clear();
  }

  void PlaceWord() {
    if (word_.empty()) return;
    int spaceWidth = 0;
    for (const auto& p : spaces_) spaceWidth += Measure(p);
    int wordWidth = 0;
    for (const auto& p : word_) wordWidth += Measure(p);
    if (line_.spans.empty() && spaceWidth >= width_) {
      spaces_.clear();
      spaceWidth = 0;
    }
    if (!line_.spans.empty() && x_ + spaceWidth + wordWidth > width_) NewLine(true);
    for (const auto& p : spaces_) Add(p.run, p.begin, p.end, Measure(p));
    spaces_.clear();
    if (x_ + wordWidth <= width_) {
      for (const auto& p : word_) Add(p.run, p.begin, p.end, Measure(p));
    } else {
      for (const auto& p : word_) Split(p);
    }
    word_.clear();
  }

  // Places as much of the piece as fits on each line, one character at least on an empty line.
  void Split(const Piece& p) {
    const WString& t = runs_[p.run].text;
    for (size_t b = p.begin; b < p.end;) {
      int fitWidth = 0;
      size_t k = Fit(p.run, b, p.end - b, width_ - x_, fitWidth);
      if (k > 0 && b + k < p.end && IsHigh(t[b + k - 1]) && IsLow(t[b + k])) {
        --k;
        fitWidth = Measure(p.run, b, k);
      }
      if (k == 0) {
        if (!line_.spans.empty()) {
          NewLine(true);
          continue;
        }
        k = (b + 1 < p.end && IsHigh(t[b]) && IsLow(t[b + 1])) ? 2 : 1;
        fitWidth = Measure(p.run, b, k);
      }
      Add(p.run, b, b + k, fitWidth);
      b += k;
      if (b < p.end) NewLine(true);
    }
  }

  // The most characters from `begin` (at most `length`) no wider than `avail`, found by doubling
  // and then halving, so that only about twice the characters that fit are ever measured.
  size_t Fit(size_t run, size_t begin, size_t length, int avail, int& fitWidth) const {
    fitWidth = 0;
    if (avail <= 0) return 0;
    size_t lo = 0, hi = 0;
    for (size_t probe = 1;; probe *= 2) {
      size_t len = std::min(probe, length);
      int w = Measure(run, begin, len);
      if (w > avail) {
        hi = len;
        break;
      }
      lo = len;
      fitWidth = w;
      if (len == length) return lo;
    }
    while (hi - lo > 1) {
      size_t mid = lo + (hi - lo) / 2;
      int w = Measure(run, begin, mid);
      if (w <= avail) {
        lo = mid;
        fitWidth = w;
      } else {
        hi = mid;
      }
    }
    return lo;
  }

  const std::vector<HtmlRun>& runs_;
  int width_;
  bool keepSpaces_;
  const HtmlMeasure& measure_;
  std::vector<HtmlLine> lines_;
  HtmlLine line_;
  int x_ = 0;
  bool soft_ = false;  // the line began at a wrap, not at a line break or the block's start
  std::vector<Piece> word_, spaces_;
};

}  // namespace

std::vector<HtmlLine> BreakHtmlLines(const std::vector<HtmlRun>& runs, int width, bool keepSpaces,
                                     const HtmlMeasure& measure) {
  return LineBreaker(runs, width, keepSpaces, measure).Run();
}

}  // namespace platform
