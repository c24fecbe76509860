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
  static const char kConversions[] = "diuxXocsfFeEgGp%";
  static const char kFlags[] = "-+ #0";
  static const char* const kSizes[] = {"", "hh", "h", "l", "ll", "z"};
  std::string directive = "%";
  for (int n = in.Byte() % 4; n > 0; --n) directive += kFlags[in.Byte() % 5];
  int scale = in.Byte() & 15;
  // Widths and precisions: small, past int (as digits), or past long long (20 and more digits).
  auto number = [&]() -> std::string {
    if (scale == 0) return std::to_string(in.Word());
    if (scale == 1) return std::to_string(in.Word()) + std::to_string(in.Word()) + std::to_string(in.Word());
    return std::to_string(in.Byte() % 120);
  };
  std::string width = number(), precision = number();
  int parts = in.Byte();
  // A '*' takes its value from an argument: an int for both sides, or (ours only) a long long,
  // LLONG_MIN and LLONG_MAX among them.
  bool starWidth = (parts & 8) != 0, starPrecision = (parts & 16) != 0, wideStars = (parts & 32) != 0;
  long long starValues[2] = {static_cast<int32_t>(in.Word()), static_cast<int32_t>(in.Word())};
  if (wideStars) {
    for (long long& v : starValues) {
      uint64_t bits = static_cast<uint64_t>(in.Word()) << 32 | in.Word();
      std::memcpy(&v, &bits, sizeof v);
    }
  }
  if (starWidth) {
    directive += "*";
  } else if (parts & 1) {
    directive += width;
  }
  if (starPrecision) {
    directive += ".*";
  } else if (parts & 2) {
    directive += "." + precision;
  }
  char conv = kConversions[in.Byte() % (sizeof kConversions - 1)];
  const char* sizeName = std::strchr("diuxXo", conv) ? kSizes[(parts >> 6 | (in.Byte() & 4)) % 6] : "";
  bool longLong = std::strcmp(sizeName, "ll") == 0 || std::strcmp(sizeName, "l") == 0;
  bool sizeT = std::strcmp(sizeName, "z") == 0;
  directive += sizeName;
  directive += conv;
  WString wide(directive.begin(), directive.end());
  // The directive's numbers as the C library reads them: anything past int is past its range.
  auto small = [](const std::string& digits) { return digits.size() < 7; };
  WChar out[512];
  char want[512];
  long long signedValue = static_cast<int32_t>(in.Word());
  if (longLong || sizeT) signedValue = static_cast<long long>(static_cast<uint64_t>(in.Word()) << 32 | in.Word());
  double real;
  uint64_t bits = static_cast<uint64_t>(in.Word()) << 32 | in.Word();
  std::memcpy(&real, &bits, sizeof real);
  std::string text;
  for (int n = in.Byte() % 40; n > 0; --n) text += static_cast<char>(' ' + in.Byte() % 95);
  WString wideText(text.begin(), text.end());

  // The C library needs memory of the width or precision for some conversions (several GiB for
  // "%.3000000000f"): it is asked only where that stays small. Ours is asked always.
  const bool compare = (starWidth ? !wideStars && starValues[0] > -(1 << 20) && starValues[0] < (1 << 20)
                                  : !(parts & 1) || small(width)) &&
                       (starPrecision ? !wideStars && starValues[1] < (1 << 20) : !(parts & 2) || small(precision)) &&
                       conv != 'p';
  // Both are asked with the same arguments: the '*' values first (as int for the C library),
  // then the value itself.
  auto withStars = [&](auto call, auto w, auto p, auto value) {
    if (starWidth && starPrecision) return call(w, p, value);
    if (starWidth) return call(w, value);
    if (starPrecision) return call(p, value);
    return call(value);
  };
  auto ours = [&](auto value) {
    auto call = [&](auto... a) { return FormatWide(out, 512, wide.c_str(), a...); };
    return withStars(call, starValues[0], starValues[1], value);
  };
  auto reference = [&](auto value) {
    auto call = [&](auto... a) { return std::snprintf(want, 512, directive.c_str(), a...); };
    return compare ? withStars(call, static_cast<int>(starValues[0]), static_cast<int>(starValues[1]), value) : -1;
  };
  want[0] = 0;
  int got = 0, expected = 0;
  switch (conv) {
    case 'd':
    case 'i':
      if (longLong) {
        got = ours(static_cast<long>(signedValue));
        expected = reference(static_cast<long>(signedValue));
      } else if (sizeT) {
        got = ours(static_cast<size_t>(signedValue));
        expected = reference(static_cast<size_t>(signedValue));
      } else {
        got = ours(static_cast<int>(signedValue));
        expected = reference(static_cast<int>(signedValue));
      }
      break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      if (longLong || sizeT) {
        got = ours(static_cast<unsigned long>(signedValue));
        expected = reference(static_cast<unsigned long>(signedValue));
      } else {
        got = ours(static_cast<unsigned>(signedValue));
        expected = reference(static_cast<unsigned>(signedValue));
      }
      break;
    case 'c':
      got = ours(static_cast<int>('A' + (signedValue & 15)));
      expected = reference(static_cast<int>('A' + (signedValue & 15)));
      break;
    case 's':
      got = ours(wideText.c_str());
      expected = reference(text.c_str());
      break;
    case '%':
      got = FormatWide(out, 512, wide.c_str());
      expected = std::snprintf(want, 512, "%s", "%");  // every flag and width of "%%" still writes '%'
      break;
    case 'p':
      // The platforms write pointers in their own ways: nothing to compare.
      got = ours(reinterpret_cast<const void*>(static_cast<uintptr_t>(signedValue)));
      expected = -1;
      break;
    default:
      got = ours(real);
      expected = reference(real);
      break;
  }
  if (conv == '%') return 0;  // C leaves "%5%" undefined
  FUZZ_CHECK(WLen(out) < 512 && (got == -1 || static_cast<size_t>(got) == WLen(out)));
  // Where the C library gives up (a width or precision beyond its int) there is nothing to
  // compare: ours writes what fits and says the text was cut.
  if (expected < 0) {
    FUZZ_CHECK(WLen(out) < 512 && (got == -1 || static_cast<size_t>(got) == WLen(out)));
    return 0;
  }
  // glibc's %#g, rounding up to a new power of ten in the exponent style, loses the zeros that '#'
  // keeps ("1.e+06" for "1.00000e+06"): such a text of ours is compared with those zeros taken out.
  std::string oursText = Narrow(out);
  if ((conv == 'g' || conv == 'G') && directive.find('#') != std::string::npos && oursText != want) {
    size_t point = oursText.find('.'), exponent = oursText.find_first_of("eE");
    if (point != std::string::npos && exponent != std::string::npos && point < exponent &&
        oursText.find_first_not_of('0', point + 1) == exponent) {
      std::string glibcText = oursText.substr(0, point + 1) + oursText.substr(exponent);
      if (glibcText == want) {
        FUZZ_CHECK(static_cast<size_t>(expected) == glibcText.size());
        return 0;
      }
    }
  }
  // Both fit: the same text. Both cut: the same beginning.
  if (expected < 512) {
    if (got != expected || Narrow(out) != want)
      std::fprintf(stderr, "directive [%s] stars %lld %lld\nours [%s]\nC's  [%s]\n", directive.c_str(), starValues[0],
                   starValues[1], Narrow(out).c_str(), want);
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
