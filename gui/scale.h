// Screen metrics and self-scaling. Layout is written in design units of a screen 240 pixels wide;
// DRAX and DRAY turn a design value into pixels with the horizontal or vertical factor (1 or 2).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text.h"

// The two factors; 0 until the first GUI::ComputeSize, then 1 or 2.
extern int32_t ScaleX;
extern int32_t ScaleY;

inline int32_t DRAX(int32_t v) {
  return v * ScaleX;
}
inline int32_t DRAY(int32_t v) {
  return v * ScaleY;
}

// Menu-bar height in design units, used when the taskbar cannot be measured.
inline constexpr int32_t kDesignMenuHeight = 26;
// A taskbar client area lower than this is not believed.
inline constexpr int32_t kMinTaskbarHeight = 10;

// Sets the factors from the screen's size in pixels. Widths and heights of 240, 320 and 400 take
// factor 1; 480, 640 and anything from 800 up take 2; any other size keeps the factor it had. A
// factor that no listed size has set yet (the first computation on an unusual screen) takes 2
// when that dimension is at least 480 pixels, else 1, so that it is never 0.
void UpdateScale(int32_t width, int32_t height);

// The file name of a picture drawn one to one: `pattern` holds "_f%d", which takes ScaleX.
// Returns false (and an empty name) when the result does not fit in `chars` characters.
bool ScaledPictureName(WChar* out, size_t chars, const WChar* pattern);

// The largest factor a device has; a desk's scale draws beyond it (platform/win32/desk.h).
inline constexpr int32_t kLargestDeviceFactor = 2;

// The pictures drawn for factor 2 that factors 1 and 2 share ("_f12", the logo) are stretched to
// the layout; from factor 3 on (a scaled desk) each has a picture drawn at the factor instead
// ("_f%d"). The source extent in such a picture of what is `atTwo` pixels in the shared one.
inline int32_t SharedPictureExtent(int32_t atTwo) {
  return ScaleX > kLargestDeviceFactor ? atTwo * ScaleX / kLargestDeviceFactor : atTwo;
}

// Back to the state at process start (both factors 0); for tests.
void ResetScale();
