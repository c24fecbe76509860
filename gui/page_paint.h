// Painting the pages: everything on a page that is not a control, composed off screen and copied
// to the window in one step; the pictures and icons the window uses; the text and hit helpers.
#pragma once

#include <cstdint>

#include "gui/gui.h"
#include "platform/paint.h"

// Colours (0x00BBGGRR).
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kGrey = 0x7F7F7F;
inline constexpr uint32_t kDarkGrey = 0x464646;
inline constexpr uint32_t kBlue = 0xFF0000;
inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kMagenta = 0xFF00FF;  // the pictures' transparent colour
// What stands where a picture could not be loaded: a plain light grey area.
inline constexpr uint32_t kPlaceholderGrey = 0xD8D8D8;

// DrawText formats used on the pages.
inline constexpr uint32_t kLeftLine = platform::kDtSingleLine | platform::kDtVCenter;  // 0x24
inline constexpr uint32_t kRightLine = kLeftLine | platform::kDtRight;                 // 0x26
inline constexpr uint32_t kWrapped = platform::kDtWordBreak;                           // 0x10
inline constexpr uint32_t kWrappedCentre = kWrapped | platform::kDtCenter;             // 0x11

inline constexpr WChar kFace[] = u"tahoma";

void PaintPage(GUI& gui, platform::DeviceContext dc, platform::WindowHandle window);
// Loads the notification area's icon, unless it is loaded already.
void LoadTrayIcon(GUI& gui);
// Loads the tray icon, the tab icons and their image list, and the four pictures; always 1.
int LoadPictures(GUI& gui);
// Releases the tab icons, their image list and the pictures (not the tray icon), so that they can
// be loaded again for a new factor.
void ReleasePictures(GUI& gui);
// Draws a text in a font made for this call alone; DrawText's result.
int DrawLabel(const WChar* face, int32_t height, int32_t weight, uint32_t colour, platform::DeviceContext dc,
              const WChar* text, const platform::Rect& rect, uint32_t format);
// 1 when the point lies in the rectangle, edges included.
int HitTest(int32_t x, int32_t y, const platform::Rect& rect);
