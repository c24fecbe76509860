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
    // The directive is copied, narrow, into `spec` for the C library to format numbers.
    char spec[48] = "%";
    size_t specLen = 1;
    bool left = false;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
      left = left || *p == u'-';
      if (specLen < 8) spec[specLen++] = static_cast<char>(*p);
      ++p;
    }
    int width = -1, precision = -1;
    if (*p == u'*') {
      width = va_arg(ap, int);
      if (width < 0) {
        left = true;
        spec[specLen++] = '-';
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
    if (width >= 0) specLen += static_cast<size_t>(std::snprintf(spec + specLen, sizeof spec - specLen, "%d", width));
    if (precision >= 0)
      specLen += static_cast<size_t>(std::snprintf(spec + specLen, sizeof spec - specLen, ".%d", precision));
    char buf[512];
    // Appends the conversion (with its size letters) and formats one number with it.
    auto number = [&](const char* tail, auto value) {
      std::snprintf(spec + specLen, sizeof spec - specLen, "%s", tail);
      std::snprintf(buf, sizeof buf, spec, value);
      sink.PutAscii(buf);
    };
    char tail[4] = {'l', 'l', static_cast<char>(conv), 0};
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
        number("lld", v);
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
        number(tail, v);
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
        number(tail + 2, v);
        break;
      }
      case u'p': {
        std::snprintf(buf, sizeof buf, "%p", va_arg(ap, void*));
        sink.PutAscii(buf);
        break;
      }
      case u'c': {
        WChar c = static_cast<WChar>(va_arg(ap, int));
        if (!left) sink.Pad(width - 1, u' ');
        sink.Put(c);
        if (left) sink.Pad(width - 1, u' ');
        break;
      }
      case u's': {
        const WChar* s = va_arg(ap, const WChar*);
        if (!s) s = u"(null)";
        size_t n = 0;
        while (s[n] && (precision < 0 || n < static_cast<size_t>(precision))) ++n;
        int pad = width > static_cast<int>(n) ? width - static_cast<int>(n) : 0;
        if (!left) sink.Pad(pad, u' ');
        for (size_t i = 0; i < n; ++i) sink.Put(s[i]);
        if (left) sink.Pad(pad, u' ');
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
