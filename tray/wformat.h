// printf-style formatting of wide text, the same on every build: %s takes a wide (UTF-16) string,
// %c a wide character, %d %i %u %x %X %o integers (with h, hh, l, ll, z and I64 sizes), %f %e %g
// doubles, %p a pointer, %% itself; flags, width and precision (also as *) as in C.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "platform/text.h"

// Writes at most count - 1 characters and always terminates (count > 0). Returns the number of
// characters written, or -1 when the text was cut.
int FormatWideV(WChar* out, size_t count, const WChar* format, va_list args);
int FormatWide(WChar* out, size_t count, const WChar* format, ...);
WString FormatWideString(const WChar* format, ...);
