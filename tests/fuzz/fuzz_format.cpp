// The printf-style formatter against the C library: every directive with flags, widths and
// precisions from the fuzzer's bytes, and an argument of the type the directive names. Where the
// two can be compared (a width and precision small enough for the C library to format) the
// texts must be equal; any width or precision must neither crash nor take long.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/fuzz/fuzz_input.h"
#include "tray/wformat.h"

namespace {

std::string Narrow(const WChar* s) {
  std::string out;
  for (; *s; ++s) out += static_cast<char>(*s);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  static const char kConversions[] = "diuxXocsfeEgG%";
  static const char kFlags[] = "-+ #0";
  std::string directive = "%";
  for (int n = in.Byte() % 4; n > 0; --n) directive += kFlags[in.Byte() % 5];
  bool huge = (in.Byte() & 15) == 0;
  uint32_t width = huge ? in.Word() : in.Byte() % 120;
  uint32_t precision = huge ? in.Word() : in.Byte() % 120;
  int parts = in.Byte();
  if (parts & 1) directive += std::to_string(width);
  if (parts & 2) directive += "." + std::to_string(precision);
  bool longLong = (parts & 4) != 0;
  char conv = kConversions[in.Byte() % (sizeof kConversions - 1)];
  if (longLong && std::strchr("diuxXo", conv)) directive += "ll";
  directive += conv;
  WString wide(directive.begin(), directive.end());

  WChar out[512];
  char want[512];
  long long signedValue = static_cast<int32_t>(in.Word());
  if (longLong) signedValue = static_cast<long long>(static_cast<uint64_t>(in.Word()) << 32 | in.Word());
  double real;
  uint64_t bits = static_cast<uint64_t>(in.Word()) << 32 | in.Word();
  std::memcpy(&real, &bits, sizeof real);
  std::string text;
  for (int n = in.Byte() % 40; n > 0; --n) text += static_cast<char>(' ' + in.Byte() % 95);
  WString wideText(text.begin(), text.end());

  // The C library needs memory of the width or precision for some conversions (several GiB for
  // "%.3000000000f"): it is asked only where that stays small. Ours is asked always.
  const bool compare = (!(parts & 1) || width < (1u << 20)) && (!(parts & 2) || precision < (1u << 20));
  auto reference = [&](auto... args) { return compare ? std::snprintf(want, 512, directive.c_str(), args...) : -1; };
  want[0] = 0;
  int got = 0, expected = 0;
  switch (conv) {
    case 'd':
    case 'i':
      if (longLong) {
        got = FormatWide(out, 512, wide.c_str(), signedValue);
        expected = reference(signedValue);
      } else {
        got = FormatWide(out, 512, wide.c_str(), static_cast<int>(signedValue));
        expected = reference(static_cast<int>(signedValue));
      }
      break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      if (longLong) {
        got = FormatWide(out, 512, wide.c_str(), static_cast<unsigned long long>(signedValue));
        expected = reference(static_cast<unsigned long long>(signedValue));
      } else {
        got = FormatWide(out, 512, wide.c_str(), static_cast<unsigned>(signedValue));
        expected = reference(static_cast<unsigned>(signedValue));
      }
      break;
    case 'c':
      got = FormatWide(out, 512, wide.c_str(), static_cast<int>('A' + (signedValue & 15)));
      expected = reference(static_cast<int>('A' + (signedValue & 15)));
      break;
    case 's':
      got = FormatWide(out, 512, wide.c_str(), wideText.c_str());
      expected = reference(text.c_str());
      break;
    case '%':
      got = FormatWide(out, 512, wide.c_str());
      expected = std::snprintf(want, 512, "%s", "%");  // every flag and width of "%%" still writes '%'
      break;
    default:
      got = FormatWide(out, 512, wide.c_str(), real);
      expected = reference(real);
      break;
  }
  if (conv == '%') return 0;  // C leaves "%5%" undefined
  // Where the C library gives up (a width or precision beyond its int) there is nothing to
  // compare: ours writes what fits and says the text was cut.
  if (expected < 0) {
    FUZZ_CHECK(WLen(out) < 512 && (got == -1 || static_cast<size_t>(got) == WLen(out)));
    return 0;
  }
  // Both fit: the same text. Both cut: the same beginning.
  if (expected < 512) {
    FUZZ_CHECK(got == expected);
    FUZZ_CHECK(Narrow(out) == std::string(want));
  } else {
    if (std::strncmp(Narrow(out).c_str(), want, 511) != 0)
      std::fprintf(stderr, "directive [%s]\nours [%s]\nC's  [%s]\n", directive.c_str(), Narrow(out).c_str(), want);
    FUZZ_CHECK(got == -1);
    FUZZ_CHECK(std::strncmp(Narrow(out).c_str(), want, 511) == 0);
  }
  return 0;
}
