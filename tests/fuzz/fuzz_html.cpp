// The help view's reading of a page, from any bytes (any user can edit the installed page): no
// crash, no hang, and the page within its stated bounds; the lines it breaks into stay in order.
#include <string>

#include "platform/win32/html_text.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  platform::HtmlPage page = platform::ParseHtml(bytes);
  FUZZ_CHECK(page.blocks.size() <= platform::kHtmlMaxBlocks);
  size_t chars = 0;
  for (const auto& b : page.blocks) {
    FUZZ_CHECK(!b.runs.empty());
    FUZZ_CHECK(b.depth >= 0 && b.depth <= platform::kHtmlMaxListDepth);
    for (const auto& r : b.runs) chars += r.text.size();
    auto lines = platform::BreakHtmlLines(
        b.runs, 100, b.kind == platform::HtmlBlockKind::kPreformatted,
        [](const platform::HtmlRun&, const WChar*, size_t n) { return static_cast<int>(n) * 7; });
    for (const auto& l : lines)
      for (const auto& s : l.spans)
        FUZZ_CHECK(s.run < b.runs.size() && s.begin <= s.end && s.end <= b.runs[s.run].text.size());
  }
  FUZZ_CHECK(chars <= platform::kHtmlMaxTextChars + 256);
  WString path;
  platform::HtmlAddressToPath(WString(bytes.begin(), bytes.end()), path);
  return 0;
}
