#include "platform/text.h"

size_t WLen(const WChar* s) {
  size_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

bool WCopy(WChar* dst, size_t dstChars, const WChar* src) {
  if (dstChars == 0) return false;
  size_t i = 0;
  for (; src[i] != 0; ++i) {
    if (i + 1 >= dstChars) {
      dst[i] = 0;
      return false;
    }
    dst[i] = src[i];
  }
  dst[i] = 0;
  return true;
}

bool WAppend(WChar* dst, size_t dstChars, const WChar* src) {
  size_t have = WLen(dst);
  size_t add = WLen(src);
  if (have + add + 1 > dstChars) return false;
  for (size_t i = 0; i <= add; ++i) dst[have + i] = src[i];
  return true;
}

WChar WToLower(WChar c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<WChar>(c - u'A' + u'a') : c;
}

int WCompareNoCase(const WChar* a, const WChar* b) {
  for (;; ++a, ++b) {
    WChar x = WToLower(*a), y = WToLower(*b);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}
