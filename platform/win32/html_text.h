// A local help page read into blocks of styled text, and those blocks broken into lines. Used by
// our own HTML view on desktop Windows; portable, so that it is tested and fuzzed on the host.
//
// The reader knows headings (h1-h3; h4-h6 read as h3), paragraphs, line breaks, ordered and
// unordered lists, bold and italic, div (a paragraph break), pre (line breaks kept), the page
// title and the usual character entities. Scripts, styles and comments are dropped unread;
// unknown tags are skipped and their text kept; attributes are ignored. Broken markup is read as
// far as it makes sense and never fails. Limits: at most kHtmlMaxInputBytes of the file are read,
// lists nest at most kHtmlMaxListDepth deep (deeper items stay at that depth), and the page holds
// at most kHtmlMaxTextChars characters (1 MiB of UTF-16) in at most kHtmlMaxBlocks blocks; the
// rest of a larger page is dropped and the page marked truncated.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace platform {

inline constexpr size_t kHtmlMaxInputBytes = 8u << 20;
inline constexpr size_t kHtmlMaxTextChars = 512u << 10;
inline constexpr size_t kHtmlMaxBlocks = 16384;
inline constexpr int kHtmlMaxListDepth = 8;

enum class HtmlBlockKind { kHeading1, kHeading2, kHeading3, kParagraph, kListItem, kPreformatted };

// Text of one style. Whitespace is already collapsed (outside pre); U+000A is a line break.
struct HtmlRun {
  WString text;
  bool bold = false;
  bool italic = false;
};

struct HtmlBlock {
  HtmlBlockKind kind = HtmlBlockKind::kParagraph;
  // Indentation in list levels: 0 outside lists; a list item and the paragraphs that continue it
  // take the depth of their list, 1 for a list that is not inside another.
  int depth = 0;
  // A list item's marker: its number in an ordered list, 0 for a bullet.
  int number = 0;
  std::vector<HtmlRun> runs;  // never empty; neighbouring runs differ in style
};

struct HtmlPage {
  WString title;  // the <title>, whitespace collapsed; empty when none
  std::vector<HtmlBlock> blocks;
  bool truncated = false;  // a limit was reached and the rest of the page dropped
};

// Reads a page from the file's bytes: UTF-8 with or without a byte order mark (invalid sequences
// read as U+FFFD), or UTF-16 when the file starts with its byte order mark. A page without an h1
// that has a title starts with the title as its heading.
HtmlPage ParseHtml(const std::string& bytes);

// All the text of a block, runs joined.
WString HtmlBlockText(const HtmlBlock& block);

// The path a "file:" address names, or false for any other address (http:, javascript:, a bare
// path, a host name, a UNC path), which the view refuses to open. "file://C:\x\y.html" and
// "file://\x\y.html" (a device path) are taken literally; the URL forms "file:///C:/x/y.html",
// "file:///x/y.html" and "file://localhost/..." have their slashes turned into backslashes,
// percent escapes decoded and any "?query" or "#fragment" removed. The scheme is matched
// without regard to case; surrounding spaces are ignored.
bool HtmlAddressToPath(const WString& address, WString& path);

// A piece of one run on a line: characters [begin, end) of runs[run].text, drawn `x` pixels from
// the line's start.
struct HtmlSpan {
  size_t run;
  size_t begin;
  size_t end;
  int x;
};
struct HtmlLine {
  std::vector<HtmlSpan> spans;  // empty for a blank line
  int width = 0;                // pixels from the line's start to the end of its last span
};

// The width in pixels of `length` characters of `text` in the style of `run`.
using HtmlMeasure = std::function<int(const HtmlRun& run, const WChar* text, size_t length)>;

// Breaks runs into lines no wider than `width` (at least 1): at spaces, at U+000A, and inside a
// word only where the word alone is wider than a line (never inside a surrogate pair). Spaces at
// a wrap are dropped. With `keepSpaces` (pre) every space is kept, also at the start of a line
// that follows a line break; otherwise runs of spaces count as one. Measures each word once, plus
// a logarithmic number of prefixes of a word that must be split.
std::vector<HtmlLine> BreakHtmlLines(const std::vector<HtmlRun>& runs, int width, bool keepSpaces,
                                     const HtmlMeasure& measure);

}  // namespace platform
