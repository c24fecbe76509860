#include "tray/wformat.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Sink {
 public:
  Sink(WChar* out, size_t count) : out_(out), cap_(count - 1) {}
  void Put(WChar c) {
    if (len_ < cap_) {
      out_[len_++] = c;
    } else {
      cut_ = true;
    }
  }
  void PutAscii(const char* s) {
    while (*s) Put(static_cast<WChar>(static_cast<unsigned char>(*s++)));
  }
  // A pad of any size: once the buffer is full the rest only marks the text as cut.
  void Pad(long long n, WChar c) {
    if (n <= 0) return;
    unsigned long long room = cap_ - len_;
    if (static_cast<unsigned long long>(n) > room) {
      cut_ = true;
      n = static_cast<long long>(room);
    }
    while (n-- > 0) out_[len_++] = c;
  }
  int Finish() {
    out_[len_] = 0;
    return cut_ ? -1 : static_cast<int>(len_);
  }

 private:
  WChar* out_;
  size_t cap_;
  size_t len_ = 0;
  bool cut_ = false;
};

enum class Size { Default, Char, Short, Long, LongLong, SizeT, Int64 };

struct Flags {
  bool left = false, plus = false, space = false, alt = false, zero = false;
};

// Widths and precisions are read with saturation: anything from here up is as good as infinite,
// since no buffer can hold it.
constexpr long long kHuge = LLONG_MAX / 4;

// The arguments in order; each read says what the directive wants and gets the argument's value
// as C would convert it, or a failure when the argument is missing or of another kind.
class Args {
 public:
  Args(const FormatArg* args, size_t n) : args_(args), n_(n) {}
  const FormatArg* Next() { return next_ < n_ ? &args_[next_++] : nullptr; }

 private:
  const FormatArg* args_;
  size_t n_;
  size_t next_ = 0;
};

// The argument's bits as an unsigned number of its own width.
bool Bits(const FormatArg& a, unsigned long long& out) {
  switch (a.kind()) {
    case FormatArg::Signed:
      out = static_cast<unsigned long long>(a.i());
      if (a.bytes() < 8) out &= (1ULL << (8 * a.bytes())) - 1;
      return true;
    case FormatArg::Unsigned:
      out = a.u();
      return true;
    case FormatArg::Pointer:
      out = static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(a.p()));
      return true;
    default:
      return false;
  }
}

// The size modifiers hh and h cut the value as C does; the others take the argument whole.
unsigned long long CutUnsigned(unsigned long long v, Size size) {
  if (size == Size::Char) return static_cast<unsigned char>(v);
  if (size == Size::Short) return static_cast<unsigned short>(v);
  return v;
}

bool AsSigned(const FormatArg& a, Size size, long long& out) {
  unsigned long long bits;
  if (!Bits(a, bits)) return false;
  if (size == Size::Char) {
    out = static_cast<signed char>(static_cast<unsigned char>(bits));
  } else if (size == Size::Short) {
    out = static_cast<short>(static_cast<unsigned short>(bits));
  } else if (a.kind() == FormatArg::Signed) {
    out = a.i();
  } else if (a.bytes() < 8 && (bits >> (8 * a.bytes() - 1)) & 1) {
    // An unsigned argument for a signed directive: its bits read as a signed number of its width.
    out = static_cast<long long>(bits | ~((1ULL << (8 * a.bytes())) - 1));
  } else {
    out = static_cast<long long>(bits);
  }
  return true;
}

// An integer as C's printf writes it with these flags, width and precision (-1: none given).
// A sign or its blank is written only for a signed conversion (isSigned).
void PutInteger(Sink& sink, unsigned long long magnitude, bool negative, bool isSigned, unsigned base, bool upper,
                const Flags& f, long long width, long long precision) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char digits[24];
  int n = 0;
  bool zeroValue = magnitude == 0;
  do {
    digits[n++] = set[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  if (precision == 0 && zeroValue) n = 0;
  char prefix[3];
  int pn = 0;
  if (negative) {
    prefix[pn++] = '-';
  } else if (f.plus && isSigned) {
    prefix[pn++] = '+';
  } else if (f.space && isSigned) {
    prefix[pn++] = ' ';
  }
  if (f.alt && base == 16 && !zeroValue) {
    prefix[pn++] = '0';
    prefix[pn++] = upper ? 'X' : 'x';
  }
  long long zeros = precision > n ? precision - n : 0;
  if (f.alt && base == 8 && zeros == 0 && (n == 0 || digits[n - 1] != '0')) zeros = 1;
  long long body = pn + zeros + n;
  long long pad = width > body ? width - body : 0;
  if (f.zero && !f.left && precision < 0) {
    zeros += pad;
    pad = 0;
  }
  if (!f.left) sink.Pad(pad, u' ');
  for (int i = 0; i < pn; ++i) sink.Put(static_cast<WChar>(prefix[i]));
  sink.Pad(zeros, u'0');
  while (n > 0) sink.Put(static_cast<WChar>(digits[--n]));
  if (f.left) sink.Pad(pad, u' ');
}

// A double's exact decimal expansion ends within 1100 digits after the point: a larger
// precision only adds zeros, which are written here rather than by the C library.
constexpr long long kFloatDigits = 1100;

// A finite double's exact decimal expansion: value = 0.d1d2d3... x 10^point, without trailing
// zeros ("0" for zero).
struct Decimal {
  std::string digits;
  long long point = 1;
};

// Multiplies a number held in base 10^9, least significant limb first, by a factor below 2^32.
void MultiplyLimbs(std::vector<uint32_t>& n, uint32_t factor) {
  uint64_t carry = 0;
  for (uint32_t& limb : n) {
    uint64_t x = static_cast<uint64_t>(limb) * factor + carry;
    limb = static_cast<uint32_t>(x % 1000000000);
    carry = x / 1000000000;
  }
  for (; carry; carry /= 1000000000) n.push_back(static_cast<uint32_t>(carry % 1000000000));
}

// A double is m x 2^e exactly: m x 2^e in decimal for e >= 0, and m x 5^-e shifted by -e places
// for e < 0, each computed in whole numbers.
Decimal ExactDecimal(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased) {
    m |= uint64_t{1} << 52;
    e = biased - 1075;
  }
  Decimal d;
  if (m == 0) {
    d.digits = "0";
    return d;
  }
  std::vector<uint32_t> n{static_cast<uint32_t>(m % 1000000000), static_cast<uint32_t>(m / 1000000000 % 1000000000),
                          static_cast<uint32_t>(m / 1000000000000000000)};
  long long shift = 0;
  if (e >= 0) {
    for (; e >= 29; e -= 29) MultiplyLimbs(n, uint32_t{1} << 29);
    if (e) MultiplyLimbs(n, uint32_t{1} << e);
  } else {
    shift = -e;
    long long k = shift;
    for (; k >= 13; k -= 13) MultiplyLimbs(n, 1220703125);  // 5^13
    for (; k > 0; --k) MultiplyLimbs(n, 5);
  }
  while (n.size() > 1 && n.back() == 0) n.pop_back();
  d.digits = std::to_string(n.back());
  for (size_t i = n.size() - 1; i-- > 0;) {
    std::string limb = std::to_string(n[i]);
    d.digits.append(9 - limb.size(), '0');
    d.digits += limb;
  }
  d.point = static_cast<long long>(d.digits.size()) - shift;
  size_t last = d.digits.find_last_not_of('0');
  d.digits.resize(last + 1);
  return d;
}

// Keeps the first `keep` digits, rounding what follows half to even, as printf does.
void RoundDigits(Decimal& d, long long keep) {
  long long size = static_cast<long long>(d.digits.size());
  if (keep >= size) return;
  bool up = false;
  if (keep >= 0) {
    char first = d.digits[keep];
    bool rest = d.digits.find_first_not_of('0', keep + 1) != std::string::npos;
    int previous = keep > 0 ? d.digits[keep - 1] - '0' : 0;
    up = first > '5' || (first == '5' && (rest || (previous & 1)));
  }
  if (keep <= 0) {
    if (up) {
      d.digits = "1";
      d.point += 1 - keep;
    } else {
      d.digits = "0";
      d.point = 1;
    }
    return;
  }
  d.digits.resize(keep);
  if (!up) return;
  long long i = keep - 1;
  while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
  if (i < 0) {
    d.digits.insert(d.digits.begin(), '1');
    ++d.point;
  } else {
    ++d.digits[i];
  }
}

char DigitAt(const Decimal& d, long long index) {
  return index >= 0 && index < static_cast<long long>(d.digits.size()) ? d.digits[index] : '0';
}

bool IsZero(const Decimal& d) {
  return d.digits == "0";
}

// "%.<p>f" of the rounded digits: the whole part, and p places after the point.
void FixedText(const Decimal& d, long long p, bool alt, std::string& out) {
  if (d.point <= 0 || IsZero(d)) {
    out += '0';
  } else {
    for (long long i = 0; i < d.point; ++i) out += DigitAt(d, i);
  }
  if (p > 0 || alt) out += '.';
  for (long long i = 0; i < p; ++i) out += DigitAt(d, (IsZero(d) ? 1 : d.point) + i);
}

// "%.<p>e" of digits already rounded to p + 1 places.
void ExponentText(const Decimal& d, long long p, bool alt, bool upper, std::string& out) {
  out += DigitAt(d, 0);
  if (p > 0 || alt) out += '.';
  for (long long i = 1; i <= p; ++i) out += DigitAt(d, i);
  long long x = IsZero(d) ? 0 : d.point - 1;
  out += upper ? 'E' : 'e';
  out += x < 0 ? '-' : '+';
  std::string power = std::to_string(x < 0 ? -x : x);
  if (power.size() < 2) out += '0';
  out += power;
}

// A floating-point number; the padding to the width is ours.
void PutFloat(Sink& sink, wformat::RealTextFn text, double v, WChar conv, const Flags& f, long long width,
              long long precision) {
  long long p = precision < 0 ? 6 : precision;
  long long extraZeros = 0;
  bool fixed = conv == u'f' || conv == u'F';
  bool exponent = conv == u'e' || conv == u'E';
  if (p > kFloatDigits) {
    // %f and %e add zeros past the exact digits; %g drops trailing zeros unless '#' keeps them.
    if (fixed || exponent || f.alt) extraZeros = p - kFloatDigits;
    p = kFloatDigits;
  }
  std::string s = text(v, conv, f.plus, f.space, f.alt, p);
  if (extraZeros > 0 && !s.empty() && (s.back() < '0' || s.back() > '9') && !exponent) extraZeros = 0;  // inf, nan
  // The zeros go before the exponent of %e and at the end of %f and %#g.
  size_t insertAt = s.size();
  if (extraZeros > 0) {
    size_t e = s.find_first_of("eE");
    if (e != std::string::npos)
      insertAt = e;
    else if (exponent)
      extraZeros = 0;  // inf or nan
  }
  long long length = static_cast<long long>(s.size()) + extraZeros;
  long long pad = width > length ? width - length : 0;
  bool finite = s.find_first_of("0123456789") != std::string::npos && s.find("inf") == std::string::npos &&
                s.find("INF") == std::string::npos && s.find("nan") == std::string::npos &&
                s.find("NAN") == std::string::npos;
  if (!f.left && !(f.zero && finite)) sink.Pad(pad, u' ');
  size_t start = 0;
  if (!f.left && f.zero && finite) {
    // Zeros go after the sign.
    if (!s.empty() && (s[0] == '-' || s[0] == '+' || s[0] == ' ')) sink.Put(static_cast<WChar>(s[start++]));
    sink.Pad(pad, u'0');
  }
  for (size_t i = start; i < insertAt; ++i) sink.Put(static_cast<WChar>(static_cast<unsigned char>(s[i])));
  sink.Pad(extraZeros, u'0');
  for (size_t i = insertAt; i < s.size(); ++i) sink.Put(static_cast<WChar>(static_cast<unsigned char>(s[i])));
  if (f.left) sink.Pad(pad, u' ');
}

// A pointer as the platform's C library writes %p: on Windows every hexadecimal digit of the
// address, on the host "0x" and the digits, or "(nil)".
void PutPointer(Sink& sink, uintptr_t v) {
#ifdef _WIN32
  for (int shift = static_cast<int>(sizeof v) * 8 - 4; shift >= 0; shift -= 4)
    sink.Put(static_cast<WChar>("0123456789abcdef"[(v >> shift) & 0xF]));
#else
  if (!v) {
    sink.PutAscii("(nil)");
    return;
  }
  sink.PutAscii("0x");
  int shift = static_cast<int>(sizeof v) * 8 - 4;
  while (shift > 0 && ((v >> shift) & 0xF) == 0) shift -= 4;
  for (; shift >= 0; shift -= 4) sink.Put(static_cast<WChar>("0123456789abcdef"[(v >> shift) & 0xF]));
#endif
}

void PutMarker(Sink& sink, const FormatArg* a) {
  sink.PutAscii(a ? "(bad argument)" : "(missing)");
}

long long ReadNumber(const WChar*& p) {
  long long v = 0;
  while (*p >= u'0' && *p <= u'9') {
    // Saturates: one more digit past kHuge / 10 would leave the type's range.
    v = v > (kHuge - 9) / 10 ? kHuge : v * 10 + (*p - u'0');
    ++p;
  }
  return v;
}

// The value of a '*': an integer argument, with C's int range.
bool StarValue(Args& args, long long& out) {
  const FormatArg* a = args.Next();
  long long v;
  if (!a || !AsSigned(*a, Size::Default, v)) return false;
  // A 64-bit argument may go past anything a buffer can hold, and LLONG_MIN has no magnitude
  // of its type: both are taken as the saturated value.
  out = v < -kHuge ? -kHuge : v > kHuge ? kHuge : v;
  return true;
}

}  // namespace

namespace wformat {

// What printf writes for "%[+][ ][#].<p><conv>" and v, for a precision up to kFloatDigits; computed
// here, exactly, so that every build writes the same digits without the C library's formatter.
std::string RealText(double v, WChar conv, bool plus, bool space, bool alt, long long p) {
  std::string out;
  if (std::signbit(v))
    out += '-';
  else if (plus)
    out += '+';
  else if (space)
    out += ' ';
  bool upper = conv == u'F' || conv == u'E' || conv == u'G';
  if (std::isinf(v) || std::isnan(v)) {
    out += std::isinf(v) ? (upper ? "INF" : "inf") : (upper ? "NAN" : "nan");
    return out;
  }
  Decimal d = ExactDecimal(std::fabs(v));
  if (conv == u'f' || conv == u'F') {
    RoundDigits(d, d.point + p);
    FixedText(d, p, alt, out);
  } else if (conv == u'e' || conv == u'E') {
    RoundDigits(d, p + 1);
    ExponentText(d, p, alt, upper, out);
  } else {
    long long significant = p == 0 ? 1 : p;
    RoundDigits(d, significant);
    long long x = IsZero(d) ? 0 : d.point - 1;
    size_t start = out.size();
    if (significant > x && x >= -4)
      FixedText(d, significant - 1 - x, alt, out);
    else
      ExponentText(d, significant - 1, alt, upper, out);
    if (!alt) {
      // Trailing zeros of the fraction go, and the point with them when nothing follows it.
      size_t exponentAt = out.find_first_of("eE", start);
      std::string tail = exponentAt == std::string::npos ? std::string() : out.substr(exponentAt);
      out.resize(exponentAt == std::string::npos ? out.size() : exponentAt);
      if (out.find('.', start) != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
      }
      out += tail;
    }
  }
  return out;
}

}  // namespace wformat

int FormatWideArgs(WChar* out, size_t count, const WChar* format, const FormatArg* list, size_t argCount,
                   TextArguments text) {
  if (count == 0) return -1;
  const bool escape = text == TextArguments::Escaped;
  Sink sink(out, count);
  Args args(list, argCount);
  for (const WChar* p = format; *p; ++p) {
    if (*p != u'%') {
      sink.Put(*p);
      continue;
    }
    const WChar* start = p++;
    Flags flags;
    for (;; ++p) {
      if (*p == u'-') {
        flags.left = true;
      } else if (*p == u'+') {
        flags.plus = true;
      } else if (*p == u' ') {
        flags.space = true;
      } else if (*p == u'#') {
        flags.alt = true;
      } else if (*p == u'0') {
        flags.zero = true;
      } else {
        break;
      }
    }
    long long width = -1, precision = -1;
    if (*p == u'*') {
      long long v = 0;
      StarValue(args, v);
      // A negative width is the '-' flag and its magnitude; INT_MIN's magnitude is one more
      // than INT_MAX, which this wider type holds.
      if (v < 0) {
        flags.left = true;
        v = -v;
      }
      width = v;
      ++p;
    } else if (*p >= u'0' && *p <= u'9') {
      width = ReadNumber(p);
    }
    if (*p == u'.') {
      ++p;
      precision = 0;
      if (*p == u'*') {
        long long v = 0;
        StarValue(args, v);
        precision = v < 0 ? -1 : v;  // a negative precision is taken as none
        ++p;
      } else {
        precision = ReadNumber(p);
      }
    }
    Size size = Size::Default;
    if (*p == u'h') {
      ++p;
      size = Size::Short;
      if (*p == u'h') ++p, size = Size::Char;
    } else if (*p == u'l') {
      ++p;
      size = Size::Long;
      if (*p == u'l') ++p, size = Size::LongLong;
    } else if (*p == u'z') {
      ++p, size = Size::SizeT;
    } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
      p += 3, size = Size::Int64;
    }
    WChar conv = *p;
    switch (conv) {
      case u'd':
      case u'i': {
        const FormatArg* a = args.Next();
        long long v;
        if (!a || !AsSigned(*a, size, v)) {
          PutMarker(sink, a);
          break;
        }
        unsigned long long magnitude =
            v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        PutInteger(sink, magnitude, v < 0, true, 10, false, flags, width, precision);
        break;
      }
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        const FormatArg* a = args.Next();
        unsigned long long v;
        if (!a || !Bits(*a, v)) {
          PutMarker(sink, a);
          break;
        }
        unsigned base = conv == u'o' ? 8 : conv == u'u' ? 10 : 16;
        PutInteger(sink, CutUnsigned(v, size), false, false, base, conv == u'X', flags, width, precision);
        break;
      }
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G': {
        const FormatArg* a = args.Next();
        // Set by every double argument: a program that passes none carries no double conversions,
        // and its integers for a double's directive print as arguments of another kind.
        wformat::RealTextFn text = wformat::realText.load(std::memory_order_relaxed);
        double v;
        if (!a || !text) {
          PutMarker(sink, a);
          break;
        } else if (a->kind() == FormatArg::Real) {
          v = a->d();
        } else if (a->kind() == FormatArg::Signed) {
          v = static_cast<double>(a->i());
        } else if (a->kind() == FormatArg::Unsigned) {
          v = static_cast<double>(a->u());
        } else {
          PutMarker(sink, a);
          break;
        }
        PutFloat(sink, text, v, conv, flags, width, precision);
        break;
      }
      case u'p': {
        const FormatArg* a = args.Next();
        unsigned long long v;
        if (!a || !Bits(*a, v)) {
          PutMarker(sink, a);
          break;
        }
        PutPointer(sink, static_cast<uintptr_t>(v));
        break;
      }
      case u'c': {
        const FormatArg* a = args.Next();
        unsigned long long v;
        if (!a || a->kind() == FormatArg::Pointer || !Bits(*a, v)) {
          PutMarker(sink, a);
          break;
        }
        if (!flags.left) sink.Pad(width - 1, u' ');
        sink.Put(static_cast<WChar>(v));
        if (flags.left) sink.Pad(width - 1, u' ');
        break;
      }
      case u's': {
        const FormatArg* a = args.Next();
        const WChar* s = nullptr;
        if (a && a->kind() == FormatArg::Text) {
          s = a->s();
        } else if (!(a && a->kind() == FormatArg::Pointer && !a->p())) {
          PutMarker(sink, a);
          break;
        }
        if (!s) s = u"(null)";
        size_t n = 0, shown = 0;
        auto control = [&](WChar c) { return escape && (c < 0x20 || c == 0x7F); };
        for (; s[n] && (precision < 0 || n < static_cast<unsigned long long>(precision)); ++n)
          shown += control(s[n]) ? 4 : 1;
        long long pad = width > static_cast<long long>(shown) ? width - static_cast<long long>(shown) : 0;
        if (!flags.left) sink.Pad(pad, u' ');
        static const char kHex[] = "0123456789ABCDEF";
        for (size_t i = 0; i < n; ++i) {
          if (!control(s[i])) {
            sink.Put(s[i]);
            continue;
          }
          sink.Put(u'\\');
          sink.Put(u'x');
          sink.Put(static_cast<WChar>(kHex[s[i] >> 4]));
          sink.Put(static_cast<WChar>(kHex[s[i] & 15]));
        }
        if (flags.left) sink.Pad(pad, u' ');
        break;
      }
      case u'%':
        sink.Put(u'%');
        break;
      default:
        // Unknown directive: written as it stands, nothing taken from the arguments.
        for (const WChar* q = start; q <= p && *q; ++q) sink.Put(*q);
        if (!*p) --p;
        break;
    }
  }
  return sink.Finish();
}

WString FormatWideStringArgs(const WChar* format, const FormatArg* args, size_t argCount) {
  // Grows until the text fits, up to a limit that no legitimate text reaches.
  constexpr size_t kLimit = size_t{1} << 22;
  std::vector<WChar> buf(4096);
  for (;;) {
    if (FormatWideArgs(buf.data(), buf.size(), format, args, argCount) >= 0 || buf.size() >= kLimit) break;
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}
