// Host model of painting: a canvas that records every drawing call with the state it was made in
// (the bitmap drawn into, the font, the colour), the GDI objects alive, and pictures "decoded"
// from their file's JPEG header (the size only: no pixels are kept).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/paint.h"

namespace platform::host {

struct FontInfo {
  int32_t height = 0, weight = 0;
  WString face;
};

struct DrawCall {
  enum Kind { Blit, Stretch, Transparent, Line, Text, Fill } kind;
  DeviceContext dc;
  BitmapHandle target;          // the bitmap selected into dc; null for a window's or the screen's context
  BitmapHandle source;          // blits: the bitmap selected into the source context
  int32_t x, y, width, height;  // blits: destination; lines: x, y to width, height as end point
  int32_t sx, sy, sw, sh;       // blits: source rectangle
  Rect rect;                    // text and fills
  uint32_t value;               // blits: raster operation or transparent colour; text: format; fill: colour
  FontInfo font;                // text: the font selected
  uint32_t textColour;
  bool transparentBackground;
  WString text;
};

struct BitmapInfo {
  int32_t width, height;
  WString path;  // pictures: the file it was loaded from
};

// Forgets the calls and every object (their handles become invalid).
void CanvasReset();
std::vector<DrawCall> DrawCalls();
void ClearDrawCalls();
// Bitmaps, fonts and memory device contexts made and not yet deleted.
int LiveGdiObjects();
// A bitmap's size and source; null for a handle that is not a live bitmap.
const BitmapInfo* BitmapRecord(BitmapHandle bitmap);
const FontInfo* FontRecord(FontHandle font);

}  // namespace platform::host
