#include "platform/win32/html_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

using platform::HtmlBlock;
using platform::HtmlBlockKind;
using platform::HtmlLine;
using platform::HtmlPage;
using platform::HtmlRun;

// One line per block: its kind ("li2#3" is an item of a list at depth 2 numbered 3, "li1*" a
// bullet, "p@1" a paragraph indented one level), then the text with **bold**, _italic_ and a
// line break written as "|".
std::string Dump(const HtmlPage& page) {
  std::string out;
  for (const HtmlBlock& b : page.blocks) {
    switch (b.kind) {
      case HtmlBlockKind::kHeading1:
        out += "h1";
        break;
      case HtmlBlockKind::kHeading2:
        out += "h2";
        break;
      case HtmlBlockKind::kHeading3:
        out += "h3";
        break;
      case HtmlBlockKind::kParagraph:
        out += "p";
        break;
      case HtmlBlockKind::kPreformatted:
        out += "pre";
        break;
      case HtmlBlockKind::kListItem:
        out += "li" + std::to_string(b.depth) + (b.number ? "#" + std::to_string(b.number) : "*");
        break;
    }
    if (b.kind != HtmlBlockKind::kListItem && b.depth) out += "@" + std::to_string(b.depth);
    out += " ";
    for (const HtmlRun& r : b.runs) {
      std::string text = ToUtf8(r.text);
      for (auto& c : text) c = c == '\n' ? '|' : c;
      out +=
          std::string(r.bold ? "**" : "") + (r.italic ? "_" : "") + text + (r.italic ? "_" : "") + (r.bold ? "**" : "");
    }
    out += "\n";
  }
  return out;
}

std::string Parse(const std::string& html) {
  return Dump(platform::ParseHtml(html));
}

TEST(HtmlText, ReadsAHelpPage) {
  const std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quillmote Help</title>\n"
      "<style>body { font: 12px Tahoma; } h1 > b { color: red }</style>\n"
      "<script type=\"text/javascript\">if (a < b && c > d) document.write('<p>x</p>');</script></head>\n"
      "<body>\n<h1 class=\"top\">Quillmote&nbsp;Help</h1>\n"
      "<p>Press <b>Connect</b> to pair your\n   keyboard, then <i>wait</i>.</p>\n"
      "<h2>Keys</h2><ul>\n  <li>Fn + <strong>Esc</strong>: hide\n  <li>Tab<ol><li>one</li><li>two</li></ol>"
      " after the sub-list</li>\n</ul>\n<!-- a comment <p>hidden</p> -->\n"
      "<h4>Paths</h4><pre>\n\\Program Files\n  \\Quillmote</pre><div>Last <em>line</em></div></body></html>";
  EXPECT_EQ(Parse(page),
            "h1 Quillmote\xC2\xA0Help\n"
            "p Press **Connect** to pair your keyboard, then _wait_.\n"
            "h2 Keys\n"
            "li1* Fn + **Esc**: hide\n"
            "li1* Tab\n"
            "li2#1 one\n"
            "li2#2 two\n"
            "p@1 after the sub-list\n"
            "h3 Paths\n"
            "pre \\Program Files|  \\Quillmote\n"
            "p Last _line_\n");
  EXPECT_EQ(platform::ParseHtml(page).title, u"Quillmote Help");
}

TEST(HtmlText, Markup) {
  struct Row {
    const char* label;
    std::string html;
    std::string want;
  };
  const Row rows[] = {
      {"whitespace collapses across tags", "  a \n\t b <b> c</b>d  ", "p a b **c**d\n"},
      {"line breaks", "a<br>b<br/><br> c<br>", "p a|b||c|\n"},
      {"lone break is a blank line", "<p><br></p><p>x</p>", "p |\np x\n"},
      {"closing br breaks too", "a</br>b", "p a|b\n"},
      {"h4 to h6 read as h3", "<h4>a</h4><h5>b</h5><h6>c</h6>", "h3 a\nh3 b\nh3 c\n"},
      {"unclosed paragraphs", "<p>one<p>two", "p one\np two\n"},
      {"bold survives a block, as in browsers", "<b>x<p>y</b>z", "p **x**\np **y**z\n"},
      {"stray closing tags", "</b></i></ul></li></pre></h1>ok", "p ok\n"},
      {"div separates", "a<div>b</div>c", "p a\np b\np c\n"},
      {"unknown tags keep text", "<span class=x>a</span><font size=2>b</font><blink>c", "p abc\n"},
      {"quoted '>' inside attributes", "<a href=\"x>y\" title='>'>link</a>", "p link\n"},
      {"table cells", "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "p a b\np c\n"},
      {"stray '<'", "a < b, 1<2, <3 and <", "p a < b, 1<2, <3 and <\n"},
      {"tag cut off at the end", "text<b class='x", "p text\n"},
      {"tag name too long is unknown", "<abcdefghijklmnopqrstu>x</abcdefghijklmnopqrstu>", "p x\n"},
      {"empty comments", "a<!-->b<!--->c<!---->d", "p abcd\n"},
      {"unterminated comment hides the rest", "a<!-- b <p>c</p>", "p a\n"},
      {"doctype and processing instruction", "<!DOCTYPE html><?xml version='1.0'?>x", "p x\n"},
      {"script end tag inside text", "<script>var s = '<\\/script'; x = 1 < 2;</SCRIPT >after", "p after\n"},
      {"unterminated script hides the rest", "a<script>alert(1)<p>b</p>", "p a\n"},
      {"style is never shown", "<style>p{}</style><STYLE media=x>q{}</style>v", "p v\n"},
      {"title in the body is not shown", "<h1>A</h1><title>T</title>b", "h1 A\np b\n"},
      {"title is the heading without an h1", "<title> My\n page </title><p>x", "h1 My page\np x\n"},
      {"unterminated title", "<title>T", "h1 T\n"},
      {"pre keeps spaces and lines", "<pre>\n  a  b\n\nc\td</pre>", "pre   a  b||c    d\n"},
      {"pre second newline kept", "<pre>\n\nx</pre>", "pre |x\n"},
      {"ordered numbering", "<ol><li>a<li>b<li>c</ol>", "li1#1 a\nli1#2 b\nli1#3 c\n"},
      {"marker goes to the item's first text", "<ul><li><p>a</p><p>b</p></li></ul>", "li1* a\np@1 b\n"},
      {"li outside a list", "<li>x", "li1* x\n"},
      {"empty items are dropped", "<ol><li></li><li>b</ol>", "li1#2 b\n"},
      {"CRLF", "<pre>a\r\nb\rc</pre>", "pre a|b|c\n"},
      {"BOM", "\xEF\xBB\xBFx", "p x\n"},
      {"invalid UTF-8", "a\xFF\xC3(b\xE2\x82", "p a\xEF\xBF\xBD\xEF\xBF\xBD(b\xEF\xBF\xBD\n"},
      {"NUL and controls dropped",
       std::string("a\0b\x01"
                   "c",
                   5),
       "p abc\n"},
      {"UTF-16 with BOM", std::string("\xFF\xFE<\0b\0>\0x\0\0\xD8\x01\xDC", 14), "p **x\xF0\x90\x80\x81**\n"},
  };
  for (const auto& r : rows) EXPECT_EQ(Parse(r.html), r.want) << r.label;
}

TEST(HtmlText, Entities) {
  struct Row {
    const char* label;
    const char* html;
    const char16_t* want;
  };
  const Row rows[] = {
      {"basic", "&amp;&lt;&gt;&quot;&apos;", u"&<>\"'"},
      {"typography", "&copy;&reg;&mdash;&ndash;&hellip;&rsquo;&lsquo;&ldquo;&rdquo;&bull;",
       u"\u00A9\u00AE\u2014\u2013\u2026\u2019\u2018\u201C\u201D\u2022"},
      {"nbsp does not collapse", "a&nbsp;&nbsp;b", u"a\u00A0\u00A0b"},
      {"numeric", "&#65;&#x42;&#X43;&#0068", u"ABCD"},
      {"astral", "&#x1F600;", u"\U0001F600"},
      {"invalid numbers", "&#0;&#xD800;&#x110000;&#99999999999999999999;", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"C1 as Windows-1252", "&#150;&#146;", u"\u2013\u2019"},
      {"without semicolon", "&amp &lt", u"& <"},
      {"unknown and unterminated", "&foo; &#; &#x; &", u"&foo; &#; &#x; &"},
      {"case matters", "&AMP; &Auml;", u"&AMP; \u00C4"},
      {"numeric whitespace collapses", "a&#32;&#10; b", u"a b"},
      {"soft hyphen shows nothing",
       "co&shy;op\xC2\xAD"
       "erate",
       u"cooperate"},
  };
  for (const auto& r : rows) {
    HtmlPage page = platform::ParseHtml(r.html);
    ASSERT_EQ(page.blocks.size(), 1u) << r.label;
    EXPECT_EQ(platform::HtmlBlockText(page.blocks[0]), r.want) << r.label;
  }
}

// What every page must satisfy, whatever it was read from.
void ExpectWellFormed(const HtmlPage& page, const std::string& label) {
  size_t chars = 0;
  ASSERT_LE(page.blocks.size(), platform::kHtmlMaxBlocks) << label;
  for (const HtmlBlock& b : page.blocks) {
    ASSERT_FALSE(b.runs.empty()) << label;
    ASSERT_GE(b.depth, 0) << label;
    ASSERT_LE(b.depth, platform::kHtmlMaxListDepth) << label;
    for (size_t i = 0; i < b.runs.size(); ++i) {
      const WString& t = b.runs[i].text;
      ASSERT_FALSE(t.empty()) << label;
      if (i > 0) {
        ASSERT_FALSE(b.runs[i].bold == b.runs[i - 1].bold && b.runs[i].italic == b.runs[i - 1].italic) << label;
      }
      for (size_t k = 0; k < t.size(); ++k) {
        bool high = t[k] >= 0xD800 && t[k] <= 0xDBFF, low = t[k] >= 0xDC00 && t[k] <= 0xDFFF;
        ASSERT_FALSE(low) << label << ": unpaired low surrogate";
        if (high) {
          ASSERT_TRUE(++k < t.size() && t[k] >= 0xDC00 && t[k] <= 0xDFFF) << label;
        }
      }
      chars += t.size();
    }
  }
  ASSERT_LE(chars, platform::kHtmlMaxTextChars) << label;
}

std::string Repeat(const std::string& s, size_t times) {
  std::string out;
  out.reserve(s.size() * times);
  for (size_t i = 0; i < times; ++i) out += s;
  return out;
}

// Each row would take minutes if any search restarted from the beginning of the page.
TEST(HtmlText, HostileInput) {
  struct Row {
    const char* label;
    std::string html;
    bool truncated;
  };
  const Row rows[] = {
      {"deep lists", Repeat("<ul><li>x", 10000), false},
      {"text over the limit", Repeat("word ", 300000), true},
      {"blocks over the limit", Repeat("<p>a", 40000), true},
      {"open brackets", Repeat("<", 2000000), true},
      {"unterminated tags", Repeat("<a ", 1000000), false},
      {"open quotes", Repeat("<a b='", 500000), false},
      {"open comments", Repeat("<!--", 1000000), false},
      {"end tag look-alikes in a script", "<script>" + Repeat("</scrip", 500000), false},
      {"many scripts", Repeat("<script>x</script>", 200000), false},
      {"ampersands", Repeat("&#x&#&a", 1000000), true},
      {"astral characters over the limit", Repeat("\xF0\x9F\x98\x80", 300000), true},
  };
  for (const auto& r : rows) {
    HtmlPage page = platform::ParseHtml(r.html);
    ExpectWellFormed(page, r.label);
    EXPECT_EQ(page.truncated, r.truncated) << r.label;
  }
  HtmlPage deep = platform::ParseHtml(Repeat("<ol><li>x", 50) + "<li>last");
  EXPECT_EQ(deep.blocks.back().depth, platform::kHtmlMaxListDepth);
  EXPECT_EQ(deep.blocks.back().number, 0) << "items of lists past the cap are bullets";
}

// Random pages put together from pieces of markup: the reader must keep its invariants.
TEST(HtmlText, RandomPagesStayWellFormed) {
  const char* pieces[] = {"<p>",   "</p>",     "<b>",       "</b>",  "<i>",       "<ul>",     "<ol>",  "<li>",
                          "</li>", "</ol>",    "<br>",      "<pre>", "</pre>",    "<h1>",     "</h2>", "<!--",
                          "-->",   "<script>", "</script>", "&amp;", "&#x1F600;", "&",        "<",     ">",
                          " ",     "\n",       "word",      "\xC3",  "\xA9",      "\xF0\x9F", "'",     "\"",
                          "=",     "<title>",  "</title>",  "<div "};
  uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    std::string html;
    int count = static_cast<int>(seed % 60);
    for (int k = 0; k < count; ++k) {
      seed = seed * 1103515245u + 12345u;
      html += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
    }
    ExpectWellFormed(platform::ParseHtml(html), "round " + std::to_string(round) + ": " + html);
    seed = seed * 1103515245u + 12345u;
  }
}

TEST(HtmlText, Addresses) {
  struct Row {
    const char* label;
    const char16_t* address;
    const char16_t* path;  // null: refused
  };
  const Row rows[] = {
      {"desktop path", u"file://C:\\Program Files\\Quillmote\\help\\help.html",
       u"C:\\Program Files\\Quillmote\\help\\help.html"},
      {"device path", u"file://\\Program Files\\Quillmote\\help\\help.html",
       u"\\Program Files\\Quillmote\\help\\help.html"},
      {"scheme in capitals, spaces around", u"  FILE://\\a\\b.htm ", u"\\a\\b.htm"},
      {"literal path keeps '%' and '#'", u"file://C:\\100%41\\C#\\x.htm", u"C:\\100%41\\C#\\x.htm"},
      {"URL with drive", u"file:///C:/Program%20Files/help.html?x=1#top", u"C:\\Program Files\\help.html"},
      {"URL device path", u"file:///Windows/help.htm", u"\\Windows\\help.htm"},
      {"URL localhost", u"file://localhost/c:/a%C3%A9.htm", u"c:\\a\u00E9.htm"},
      {"three slashes, backslashes", u"file:///C:\\x.htm", u"C:\\x.htm"},
      {"no slashes", u"file:C:\\x.htm", u"C:\\x.htm"},
      {"http", u"http://example.com/help.html", nullptr},
      {"https", u"https://example.com/", nullptr},
      {"javascript", u"javascript:alert(1)", nullptr},
      {"bare path", u"C:\\help.html", nullptr},
      {"host name", u"file://server/share/help.html", nullptr},
      {"UNC by URL", u"file:////server/share/x.htm", nullptr},
      {"UNC literal", u"file://\\\\server\\share\\x.htm", nullptr},
      {"UNC by escape", u"file:///%2F%2Fserver/x.htm", nullptr},
      {"NUL by escape", u"file:///C:/a%00.htm", nullptr},
      {"relative", u"file:help.html", nullptr},
      {"empty", u"file://", nullptr},
      {"drive only", u"file:///C:", nullptr},
  };
  for (const auto& r : rows) {
    WString path = u"stale";
    bool ok = platform::HtmlAddressToPath(r.address, path);
    EXPECT_EQ(ok, r.path != nullptr) << r.label;
    EXPECT_EQ(path, r.path ? WString(r.path) : WString()) << r.label;
  }
}

// Every character 10 pixels wide, 12 in bold.
int Measure(const HtmlRun& run, const WChar*, size_t length) {
  return static_cast<int>(length) * (run.bold ? 12 : 10);
}

// Lines as text, "/" between them, with each span's start: "ab@0 cd@30" ...
std::string Lines(const std::vector<HtmlRun>& runs, int width, bool keepSpaces = false) {
  std::string out;
  for (const HtmlLine& line : platform::BreakHtmlLines(runs, width, keepSpaces, Measure)) {
    if (!out.empty()) out += "/";
    for (const auto& s : line.spans) {
      out += ToUtf8(runs[s.run].text.substr(s.begin, s.end - s.begin)) + "@" + std::to_string(s.x) + " ";
    }
    out += "w" + std::to_string(line.width);
  }
  return out;
}

TEST(HtmlText, LineBreaking) {
  struct Row {
    const char* label;
    std::vector<HtmlRun> runs;
    int width;
    bool keepSpaces;
    std::string want;
  };
  const Row rows[] = {
      {"fits", {{u"ab cd", false, false}}, 50, false, "ab cd@0 w50"},
      {"wraps at the space, which is dropped", {{u"ab cd", false, false}}, 49, false, "ab@0 w20/cd@0 w20"},
      {"word across runs stays whole",
       {{u"aa b", false, false}, {u"bb", true, false}},
       60,
       false,
       "aa@0 w20/b@0 bb@10 w34"},
      {"long word split", {{u"abcdefg", false, false}}, 30, false, "abc@0 w30/def@0 w30/g@0 w10"},
      {"long word after a short one", {{u"x abcd", false, false}}, 30, false, "x@0 w10/abc@0 w30/d@0 w10"},
      {"narrower than a character", {{u"ab", false, false}}, 0, false, "a@0 w10/b@0 w10"},
      {"surrogate pair not split", {{u"a\U0001F600b", false, false}}, 20, false, "a@0 w10/\U0001F600@0 w20/b@0 w10"},
      {"line breaks", {{u"a\n\nb\n", false, false}}, 100, false, "a@0 w10/w0/b@0 w10"},
      {"only a break", {{u"\n", false, false}}, 100, false, "w0"},
      {"spaces collapse", {{u"a  b", false, false}}, 100, false, "a @0 b@20 w30"},
      {"pre keeps spaces after a break", {{u"a\n  b  c", false, false}}, 100, true, "a@0 w10/  b  c@0 w60"},
      {"pre drops spaces at a wrap", {{u"aaa   bbb", false, false}}, 40, true, "aaa@0 w30/bbb@0 w30"},
  };
  for (const auto& r : rows) EXPECT_EQ(Lines(r.runs, r.width, r.keepSpaces), r.want) << r.label;
}

TEST(HtmlText, SplittingAHugeWordMeasuresLittle) {
  std::vector<HtmlRun> runs = {{WString(200000, u'x'), false, false}};
  size_t measured = 0;
  auto lines = platform::BreakHtmlLines(runs, 100, false, [&](const HtmlRun&, const WChar*, size_t n) {
    measured += n;
    return static_cast<int>(n) * 10;
  });
  EXPECT_EQ(lines.size(), 20000u);
  EXPECT_LT(measured, 20u * runs[0].text.size());
}

}  // namespace
