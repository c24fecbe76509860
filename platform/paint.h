// Painting service: a window's paint, device contexts, off-screen bitmaps, fonts, text, lines and
// pictures copied, stretched or drawn with a transparent colour. Colours are 0x00BBGGRR; raster
// operations and text formats are the platform's own values. Every object made here is owned by
// its caller and released with the matching delete.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/owned_handle.h"
#include "platform/text.h"
#include "platform/window.h"

namespace platform {

using DeviceContext = void*;
using FontHandle = void*;
using GdiObject = void*;

inline constexpr uint32_t kSrcCopy = 0x00CC0020;
inline constexpr uint32_t kWhiteness = 0x00FF0062;

inline constexpr uint32_t kDtLeft = 0x0000;
inline constexpr uint32_t kDtCenter = 0x0001;
inline constexpr uint32_t kDtRight = 0x0002;
inline constexpr uint32_t kDtVCenter = 0x0004;
inline constexpr uint32_t kDtWordBreak = 0x0010;
inline constexpr uint32_t kDtSingleLine = 0x0020;

inline constexpr int32_t kFwThin = 100;
inline constexpr int32_t kFwExtraLight = 200;
inline constexpr int32_t kFwBold = 700;

// BeginPaint and EndPaint of one WM_PAINT, released when the scope ends.
class PaintScope {
 public:
  explicit PaintScope(WindowHandle window);
  ~PaintScope();
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  DeviceContext dc() const { return dc_; }

 private:
  WindowHandle window_;
  DeviceContext dc_;
  alignas(8) unsigned char record_[96];  // the platform's paint record
};

// The screen's device context (GetDC of no window) and its release.
DeviceContext ScreenContext();
void ReleaseScreenContext(DeviceContext dc);
// GetDeviceCaps. LOGPIXELSY is the device screen's: desktop Windows reads as a device of its screen's size
// (192 dots per inch from 480 pixels on the shorter side, else 96), a desk's larger screen as the
// device that stands in for it.
inline constexpr int kLogPixelsY = 90;
int DeviceCaps(DeviceContext dc, int index);

// A memory device context compatible with `dc`; null on failure.
DeviceContext MakeMemoryContext(DeviceContext dc);
void DeleteMemoryContext(DeviceContext dc);
// A bitmap compatible with `dc`, width x height; null on failure.
BitmapHandle MakeCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height);
// Selects a bitmap, font or pen and returns the one it replaces.
GdiObject SelectInto(DeviceContext dc, GdiObject object);
// DeleteObject of a bitmap or font.
bool DeleteGdiObject(GdiObject object);

// Owners of the contexts, bitmaps and fonts made here: each lets go with the matching release.
using OwnedScreenContext = OwnedHandle<ReleasedBy<ReleaseScreenContext>>;
using OwnedMemoryContext = OwnedHandle<ReleasedBy<DeleteMemoryContext>>;
using OwnedBitmap = OwnedHandle<ReleasedBy<DeleteGdiObject>>;
using OwnedFont = OwnedBitmap;  // fonts and bitmaps go the same way

bool Blit(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
          int32_t sy, uint32_t rop);
bool StretchCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh);
// Copies every pixel that is not `transparent` (TransparentImage; TransparentBlt on desktop).
bool TransparentCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t transparent);
// A line with the context's pen from the current point (MoveToEx, LineTo).
bool MovePenTo(DeviceContext dc, int32_t x, int32_t y);
bool LineToPoint(DeviceContext dc, int32_t x, int32_t y);
// Fills a rectangle with a solid colour.
bool FillSolid(DeviceContext dc, const Rect& rect, uint32_t colour);

// GetStockObject (LTGRAY_BRUSH is 1); the platform owns it.
inline constexpr int kLightGreyBrush = 1;
GdiObject StockObject(int index);

// A font from a LOGFONTW that is zero but for these fields; null on failure.
FontHandle MakeFont(int32_t height, int32_t weight, const WChar* face);
// SetBkMode(TRANSPARENT) and SetTextColor; each returns the previous setting.
int SetTransparentBackground(DeviceContext dc);
uint32_t SetTextColour(DeviceContext dc, uint32_t colour);
// DrawTextW with the whole terminated text; its result (the text's height, 0 on failure).
int DrawTextIn(DeviceContext dc, const WChar* text, const Rect& rect, uint32_t format);

// A JPEG picture file (on the device, any format the shell decodes) as a bitmap; null when the
// file is missing, cut short or cannot be decoded.
BitmapHandle LoadPicture(const WChar* path);
// Releases the decoder that LoadPicture made on the calling thread (made again by the next
// picture): a window that has loaded its pictures calls it, so that the decoder's memory does not
// stay with a program that waits in the background.
void ReleasePictureDecoder();
// The bitmap's size; false for something that is not a bitmap.
bool BitmapSize(BitmapHandle bitmap, int32_t* width, int32_t* height);

}  // namespace platform
