#include "tray/wformat.h"

#include <cstdint>
#include <cstdio>

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
  void Pad(int n, WChar c) {
    while (n-- > 0) Put(c);
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

// An integer as C's printf writes it with these flags, width and precision (-1: none given).
// A sign or its blank is written only for a signed conversion (isSigned).
void PutInteger(Sink& sink, unsigned long long magnitude, bool negative, bool isSigned, unsigned base, bool upper,
                const Flags& f, int width, int precision) {
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
  int zeros = precision > n ? precision - n : 0;
  if (f.alt && base == 8 && zeros == 0 && (n == 0 || digits[n - 1] != '0')) zeros = 1;
  int body = pn + zeros + n;
  int pad = width > body ? width - body : 0;
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

// A floating-point number, formatted by the C library from a narrow copy of the directive.
void PutFloat(Sink& sink, double v, WChar conv, const Flags& f, int width, int precision) {
  char directive[24];
  size_t n = 0;
  directive[n++] = '%';
  if (f.left) directive[n++] = '-';
  if (f.plus) directive[n++] = '+';
  if (f.space) directive[n++] = ' ';
  if (f.alt) directive[n++] = '#';
  if (f.zero) directive[n++] = '0';
  directive[n++] = '*';
  directive[n++] = '.';
  directive[n++] = '*';
  directive[n++] = static_cast<char>(conv);
  directive[n] = 0;
  char buf[512];
  std::snprintf(buf, sizeof buf, directive, width < 0 ? 0 : width, precision < 0 ? 6 : precision, v);
  sink.PutAscii(buf);
}

}  // namespace

int FormatWideV(WChar* out, size_t count, const WChar* format, va_list args) {
  if (count == 0) return -1;
  Sink sink(out, count);
  va_list ap;
  va_copy(ap, args);
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
    int width = -1, precision = -1;
    if (*p == u'*') {
      width = va_arg(ap, int);
      if (width < 0) {
        flags.left = true;
        width = -width;
      }
      ++p;
    } else {
      while (*p >= u'0' && *p <= u'9') width = (width < 0 ? 0 : width * 10) + (*p++ - u'0');
    }
    if (*p == u'.') {
      ++p;
      precision = 0;
      if (*p == u'*') {
        precision = va_arg(ap, int);
        ++p;
      } else {
        while (*p >= u'0' && *p <= u'9') precision = precision * 10 + (*p++ - u'0');
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
    if (width > 9999) width = 9999;
    if (precision > 9999) precision = 9999;
    switch (conv) {
      case u'd':
      case u'i': {
        long long v;
        switch (size) {
          case Size::Char:
            v = static_cast<signed char>(va_arg(ap, int));
            break;
          case Size::Short:
            v = static_cast<short>(va_arg(ap, int));
            break;
          case Size::Long:
            v = va_arg(ap, long);
            break;
          case Size::LongLong:
          case Size::Int64:
            v = va_arg(ap, long long);
            break;
          case Size::SizeT:
            v = static_cast<long long>(va_arg(ap, size_t));
            break;
          default:
            v = va_arg(ap, int);
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
        unsigned long long v;
        switch (size) {
          case Size::Char:
            v = static_cast<unsigned char>(va_arg(ap, unsigned));
            break;
          case Size::Short:
            v = static_cast<unsigned short>(va_arg(ap, unsigned));
            break;
          case Size::Long:
            v = va_arg(ap, unsigned long);
            break;
          case Size::LongLong:
          case Size::Int64:
            v = va_arg(ap, unsigned long long);
            break;
          case Size::SizeT:
            v = va_arg(ap, size_t);
            break;
          default:
            v = va_arg(ap, unsigned);
            break;
        }
        unsigned base = conv == u'o' ? 8 : conv == u'u' ? 10 : 16;
        PutInteger(sink, v, false, false, base, conv == u'X', flags, width, precision);
        break;
      }
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G': {
        double v = va_arg(ap, double);
        if (width > 200 || precision > 200) {
          sink.PutAscii("(bad width)");
          break;
        }
        PutFloat(sink, v, conv, flags, width, precision);
        break;
      }
      case u'p': {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%p", va_arg(ap, void*));
        sink.PutAscii(buf);
        break;
      }
      case u'c': {
        WChar c = static_cast<WChar>(va_arg(ap, int));
        if (!flags.left) sink.Pad(width - 1, u' ');
        sink.Put(c);
        if (flags.left) sink.Pad(width - 1, u' ');
        break;
      }
      case u's': {
        const WChar* s = va_arg(ap, const WChar*);
        if (!s) s = u"(null)";
        size_t n = 0;
        while (s[n] && (precision < 0 || n < static_cast<size_t>(precision))) ++n;
        int pad = width > static_cast<int>(n) ? width - static_cast<int>(n) : 0;
        if (!flags.left) sink.Pad(pad, u' ');
        for (size_t i = 0; i < n; ++i) sink.Put(s[i]);
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
  va_end(ap);
  return sink.Finish();
}

int FormatWide(WChar* out, size_t count, const WChar* format, ...) {
  va_list ap;
  va_start(ap, format);
  int n = FormatWideV(out, count, format, ap);
  va_end(ap);
  return n;
}

WString FormatWideString(const WChar* format, ...) {
  WChar buf[4096];
  va_list ap;
  va_start(ap, format);
  FormatWideV(buf, sizeof buf / sizeof buf[0], format, ap);
  va_end(ap);
  return buf;
}
