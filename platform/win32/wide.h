// Our UTF-16 text is the same code units as Windows' wchar_t.
#pragma once

#include <windows.h>

#include "platform/text.h"

static_assert(sizeof(wchar_t) == sizeof(WChar), "wchar_t must be UTF-16 on Windows");

inline const wchar_t* W(const WChar* s) {
  return reinterpret_cast<const wchar_t*>(s);
}
inline wchar_t* W(WChar* s) {
  return reinterpret_cast<wchar_t*>(s);
}
inline const wchar_t* W(const WString& s) {
  return W(s.c_str());
}
inline const WChar* U(const wchar_t* s) {
  return reinterpret_cast<const WChar*>(s);
}
inline WChar* U(wchar_t* s) {
  return reinterpret_cast<WChar*>(s);
}
