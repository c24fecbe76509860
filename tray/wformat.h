// printf-style formatting of wide text, the same on every build: %s takes a wide (UTF-16) string,
// %c a wide character, %d %i %u %x %X %o integers (with hh, h, l, ll, z and I64 sizes), %f %F %e
// %E %g %G doubles, %p a pointer, %% itself; flags, width and precision (also as *) as in C, of
// any size: the output is cut to the buffer, never the width or the precision.
//
// The arguments are type-checked: each becomes a FormatArg that knows its type and size, so a
// directive never reads an argument as something it is not. Integers print as C prints them when
// the directive matches the argument; where C would be undefined (a 64-bit value or a handle for
// %X, an unsigned value for %d) the whole value is printed in the directive's base, a missing
// argument prints "(missing)" and an argument of another kind (a number for %s, text for %d)
// "(bad argument)". Narrow strings are refused when the call is compiled.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/text.h"

namespace wformat {
// What printf writes for "%[+][ ][#].<precision><conv>" and `v` (conv one of f F e E g G), for a
// precision up to 1100: computed exactly, so that every build writes the same digits.
std::string RealText(double v, WChar conv, bool plus, bool space, bool alt, long long precision);
using RealTextFn = std::string (*)(double, WChar, bool, bool, bool, long long);
// RealText, once a double has been passed: the formatter reaches it only through here, so that a
// program that formats no double links none of it.
inline std::atomic<RealTextFn> realText{nullptr};
}  // namespace wformat

class FormatArg {
 public:
  enum Kind : uint8_t { Signed, Unsigned, Pointer, Text, Real };

  template <typename T,
            typename std::enable_if<
                std::is_integral<T>::value && std::is_signed<T>::value && !std::is_same<T, char>::value, int>::type = 0>
  FormatArg(T v) : kind_(Signed), bytes_(sizeof(T)) {
    value_.i = v;
  }
  template <typename T,
            typename std::enable_if<std::is_integral<T>::value && std::is_unsigned<T>::value, int>::type = 0>
  FormatArg(T v) : kind_(Unsigned), bytes_(sizeof(T)) {
    value_.u = v;
  }
  FormatArg(double v) : kind_(Real), bytes_(sizeof(double)) {
    value_.d = v;
    wformat::realText.store(&wformat::RealText, std::memory_order_relaxed);
  }
  FormatArg(const WChar* s) : kind_(Text), bytes_(sizeof(s)) { value_.s = s; }
  FormatArg(WChar* s) : kind_(Text), bytes_(sizeof(s)) { value_.s = s; }
  FormatArg(std::nullptr_t) : kind_(Pointer), bytes_(sizeof(void*)) { value_.p = nullptr; }
  // Handles and other pointers print as their whole address.
  template <typename T>
  FormatArg(T* p) : kind_(Pointer), bytes_(sizeof(p)) {
    value_.p = p;
  }
  template <typename T>
  FormatArg(const T* p) : kind_(Pointer), bytes_(sizeof(p)) {
    value_.p = p;
  }
  // Narrow text is not wide text.
  FormatArg(const char*) = delete;
  FormatArg(char*) = delete;
  FormatArg(char) = delete;

  Kind kind() const { return kind_; }
  unsigned bytes() const { return bytes_; }
  long long i() const { return value_.i; }
  unsigned long long u() const { return value_.u; }
  double d() const { return value_.d; }
  const void* p() const { return value_.p; }
  const WChar* s() const { return value_.s; }

 private:
  Kind kind_;
  uint8_t bytes_;
  union {
    long long i;
    unsigned long long u;
    double d;
    const void* p;
    const WChar* s;
  } value_;
};

// How %s writes its text: as it is, or with each control character (below 0x20, and 0x7F) as
// \xHH, for a log whose lines outside text must neither break nor forge.
enum class TextArguments { AsTheyAre, Escaped };

// Writes at most count - 1 characters and always terminates (count > 0). Returns the number of
// characters written, or -1 when the text was cut.
int FormatWideArgs(WChar* out, size_t count, const WChar* format, const FormatArg* args, size_t argCount,
                   TextArguments text = TextArguments::AsTheyAre);

template <typename... Args>
int FormatWide(WChar* out, size_t count, const WChar* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(0), FormatArg(args)...};
  return FormatWideArgs(out, count, format, list + 1, sizeof...(Args));
}

WString FormatWideStringArgs(const WChar* format, const FormatArg* args, size_t argCount);

// The whole result, however long.
template <typename... Args>
WString FormatWideString(const WChar* format, const Args&... args) {
  const FormatArg list[] = {FormatArg(0), FormatArg(args)...};
  return FormatWideStringArgs(format, list + 1, sizeof...(Args));
}
