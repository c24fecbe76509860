// Wide text as the device stores it: UTF-16 code units, two bytes each on every build, so that
// buffer sizes in bytes (a 260-character path is 520 bytes) are the same on Windows and on the host.
#pragma once

#include <cstddef>
#include <string>

using WChar = char16_t;
using WString = std::u16string;

// Characters before the terminator.
size_t WLen(const WChar* s);
// Copies src into dst of dstChars characters (terminator included); always terminates. Returns
// false when src did not fit and was cut.
bool WCopy(WChar* dst, size_t dstChars, const WChar* src);
// Appends src to the terminated text in dst; false (dst unchanged) when the result would not fit.
bool WAppend(WChar* dst, size_t dstChars, const WChar* src);
// Case-insensitive comparison of ASCII letters, as the device's file system and registry compare
// names; other characters compare by code unit. Returns <0, 0 or >0.
int WCompareNoCase(const WChar* a, const WChar* b);
// Lower case of the ASCII letters A-Z; other characters unchanged, as WCompareNoCase compares.
WChar WToLower(WChar c);
WString WLower(const WString& s);
// UTF-16 to UTF-8 and back; unpaired surrogates become U+FFFD.
std::string ToUtf8(const WChar* s, size_t n);
inline std::string ToUtf8(const WString& s) {
  return ToUtf8(s.data(), s.size());
}
WString FromUtf8(const std::string& s);
