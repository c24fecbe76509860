#include "gui/page_paint.h"

#include "driver_link/driver_status.h"
#include "gui/scale.h"
#include "platform/images.h"
#include "platform/window.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/install_path.h"
#include "tray/ui_text.h"

namespace {

using namespace platform;

constexpr int kNameChars = 64;

// One edge of a label's rectangle: a design value on either axis, the client width or height,
// the client width less a design value, or 0.
struct Edge {
  char kind;  // 'X', 'Y', 'w', 'h', 'W' (w - DRAX(v)), '0'
  int32_t v;
  int32_t Pixels(int32_t w, int32_t h) const {
    switch (kind) {
      case 'X':
        return DRAX(v);
      case 'Y':
        return DRAY(v);
      case 'w':
        return w;
      case 'h':
        return h;
      case 'W':
        return w - DRAX(v);
    }
    return 0;
  }
};
constexpr Edge X(int32_t v) {
  return Edge{'X', v};
}
constexpr Edge Y(int32_t v) {
  return Edge{'Y', v};
}
constexpr Edge kW{'w', 0};
constexpr Edge kH{'h', 0};
constexpr Edge kZero{'0', 0};

// A fixed text of a page: its design font height (vertical units), weight, colour, rectangle
// and format.
struct Label {
  uint32_t text;  // a text number; 0 for a text the painter gives
  int32_t fontHeight;
  int32_t weight;
  uint32_t colour;
  Edge left, top, right, bottom;
  uint32_t format;
};

void Draw(DeviceContext dc, const Label& l, int32_t w, int32_t h, const WChar* text = nullptr) {
  Rect r{l.left.Pixels(w, h), l.top.Pixels(w, h), l.right.Pixels(w, h), l.bottom.Pixels(w, h)};
  DrawLabel(kFace, DRAY(l.fontHeight), l.weight, l.colour, dc, text ? text : UiText(l.text), r, l.format);
}

const Label kMouseTitle{QM_TEXT_MOUSE_TITLE, 14, kFwBold, kBlack, X(5), Y(20), kW, Y(40), kLeftLine};
const Label kCursorLabel{QM_TEXT_CURSOR, 14, kFwBold, kBlack, X(5), Y(140), kW, Y(160), kLeftLine};
const Label kSpeedLabel{QM_TEXT_SPEED, 14, kFwBold, kBlack, X(120), Y(140), kW, Y(160), kLeftLine};

const Label kKeyboardLabels[] = {
    {QM_TEXT_KEYBOARD_TITLE, 14, kFwBold, kBlack, X(5), Y(20), kW, Y(40), kLeftLine},
    {QM_TEXT_KEYBOARD_DESCRIPTION, 14, kFwThin, kGrey, X(5), Y(40), kW, kH, kWrapped},
};

// The right-aligned labels may reach the page's left edge: in some fonts "Bluetooth :" is wider
// than the 70 units from the margin, and its first letter was cut.
const Label kSettingsLabels[] = {
    {QM_TEXT_SETTINGS_TITLE, 14, kFwBold, kBlack, X(5), Y(20), kW, Y(40), kLeftLine},
    {QM_TEXT_STATUS_TITLE, 14, kFwBold, kBlack, X(5), Y(80), kW, Y(100), kLeftLine},
    {QM_TEXT_BLUETOOTH_LABEL, 14, kFwBold, kBlack, kZero, Y(100), X(75), Y(120), kRightLine},
    {QM_TEXT_MOUSE_LABEL, 14, kFwBold, kBlack, kZero, Y(120), X(75), Y(140), kRightLine},
    {QM_TEXT_KEYBOARD_LABEL, 14, kFwBold, kBlack, kZero, Y(140), X(75), Y(160), kRightLine},
};
// The status words, one row per flag; text and colour follow the flag.
const Label kStatusWords[] = {
    {0, 14, kFwThin, 0, X(80), Y(100), kW, Y(120), kLeftLine},
    {0, 14, kFwThin, 0, X(80), Y(120), kW, Y(140), kLeftLine},
    {0, 14, kFwThin, 0, X(80), Y(140), kW, Y(160), kLeftLine},
};

const Label kAboutTitle{QM_TEXT_ABOUT_TITLE, 14, kFwBold, kBlack, X(5), kZero, kW, Y(20), kLeftLine};
const Label kAboutDescription{0, 14, kFwThin, kBlack, X(5), Y(20), kW, Y(40), kLeftLine};
const Label kVersionLabel{QM_TEXT_VERSION_LABEL, 14, kFwBold, kBlack, kZero, Y(40), X(70), Y(60), kRightLine};
const Label kReleaseLabel{QM_TEXT_RELEASE_LABEL, 14, kFwBold, kBlack, kZero, Y(60), X(70), Y(80), kRightLine};
const Label kAboutVersion{0, 14, kFwThin, kBlack, X(75), Y(40), kW, Y(60), kLeftLine};
// The release code beside the version, the same in every language.
constexpr WChar kReleaseCode[] = u"I001";
const Label kRelease{0, 14, kFwThin, kBlack, X(75), Y(60), kW, Y(80), kLeftLine};
const Label kLegal{QM_TEXT_LEGAL_NOTICE, 13, kFwThin, kDarkGrey, X(5), Y(80), Edge{'W', 5}, Y(160), kWrapped};
const Label kCopyright{QM_TEXT_COPYRIGHT, 14, kFwBold, kBlack, X(5), Y(80), X(240), Y(100), kLeftLine};
const Label kWebLink{0, 14, kFwBold, kBlue, X(5), Y(100), X(240), Y(120), kLeftLine};
// Its middle line is wider than the 140 units beside the logo in some fonts and wraps: the area
// reaches down to room for a fourth line, so that the last one is never cut.
const Label kCompatible{QM_TEXT_COMPATIBLE, 12, kFwThin, kBlack, X(100), Y(120), X(240), Y(180), kWrapped};
// The about page shows the legal notice on its first two openings in a run.
constexpr int32_t kVisitsBeforeCredits = 3;

// Draws a picture through a memory context of its own: stretched, or with magenta transparent.
// A picture that could not be loaded leaves a plain grey area in its place.
void DrawPicture(DeviceContext dc, BitmapHandle picture, bool transparent, int32_t x, int32_t y, int32_t width,
                 int32_t height, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (!picture) {
    FillSolid(dc, Rect{x, y, x + width, y + height}, kPlaceholderGrey);
    return;
  }
  // A picture chosen by the horizontal factor is only as tall as that factor makes it: on a screen
  // whose vertical factor is larger, the source stops at the picture's edge and is stretched,
  // instead of reaching past it (which would draw nothing).
  int32_t pictureWidth = 0, pictureHeight = 0;
  if (BitmapSize(picture, &pictureWidth, &pictureHeight)) {
    if (sx + sw > pictureWidth) sw = pictureWidth > sx ? pictureWidth - sx : 0;
    if (sy + sh > pictureHeight) sh = pictureHeight > sy ? pictureHeight - sy : 0;
  }
  OwnedMemoryContext pictureDc;
  pictureDc.Reset(MakeMemoryContext(dc));
  if (!pictureDc.IsOpen()) return;
  GdiObject previous = SelectInto(pictureDc.handle(), picture);
  if (transparent) {
    TransparentCopy(dc, x, y, width, height, pictureDc.handle(), sx, sy, sw, sh, kMagenta);
  } else {
    StretchCopy(dc, x, y, width, height, pictureDc.handle(), sx, sy, sw, sh);
  }
  SelectInto(pictureDc.handle(), previous);
}

void PaintMousePage(const GUI& gui, DeviceContext dc, int32_t w, int32_t h) {
  const Settings& s = gui.settings;
  int32_t selected = gui.SelectedButton;
  int32_t column = selected <= 2 ? selected : selected - 2;
  Draw(dc, kMouseTitle, w, h);
  DrawPicture(dc, gui.Pictures[kHighlightPicture].handle(), false, selected * DRAX(48), DRAY(40), DRAX(48), DRAY(65), 0,
              0, SharedPictureExtent(96), SharedPictureExtent(130));
  DrawPicture(dc, gui.Pictures[kActionStripPicture].handle(), false, column * DRAX(48), DRAY(105), DRAX(144), DRAY(30),
              0, 0, SharedPictureExtent(288), SharedPictureExtent(60));
  DrawPicture(dc, gui.Pictures[kMousePicture].handle(), true, 0, DRAY(45), DRAX(240), DRAY(36), 0, 0, DRAX(240),
              DRAY(36));
  for (int i = 0; i < kButtonCount; ++i) {
    Rect r{i * DRAX(48), DRAY(81), (i + 1) * DRAX(48), DRAY(105)};
    DrawLabel(kFace, DRAY(12), kFwThin, kBlack, dc, ActionNames[s.Buttons[i].Action], r, kWrappedCentre);
  }
  Draw(dc, kCursorLabel, w, h);
  Draw(dc, kSpeedLabel, w, h);
  DrawPicture(dc, gui.Pictures[kCursorPicture].handle(), true, DRAX(73), DRAY(140), DRAX(10), DRAY(20),
              s.Cursor * DRAX(10), 0, DRAX(10), DRAY(20));
}

void PaintStatusPage(DeviceContext dc, int32_t w, int32_t h) {
  for (const Label& l : kSettingsLabels) Draw(dc, l, w, h);
  const uint8_t flags[] = {driverStatus.bluetoothOn.load(), driverStatus.mouseOn.load(),
                           driverStatus.keyboardOn.load()};
  for (int i = 0; i < 3; ++i) {
    Label word = kStatusWords[i];
    word.colour = flags[i] ? kBlue : kRed;
    Draw(dc, word, w, h, UiText(flags[i] ? QM_TEXT_ON : QM_TEXT_OFF));
  }
}

void PaintAboutPage(const GUI& gui, DeviceContext dc, int32_t w, int32_t h) {
  Draw(dc, kAboutTitle, w, h);
  Draw(dc, kAboutDescription, w, h, Description);
  Draw(dc, kVersionLabel, w, h);
  Draw(dc, kReleaseLabel, w, h);
  Draw(dc, kAboutVersion, w, h, Version);
  Draw(dc, kRelease, w, h, kReleaseCode);
  if (AboutVisits < kVisitsBeforeCredits) {
    Draw(dc, kLegal, w, h);
    return;
  }
  Draw(dc, kCopyright, w, h);
  Draw(dc, kWebLink, w, h, AboutWebLink);
  const OwnedBitmap& large = gui.Pictures[kLargeLogoPicture];
  BitmapHandle logo = large.IsOpen() ? large.handle() : logoBitmap.handle();
  DrawPicture(dc, logo, false, DRAX(5), DRAY(120), DRAX(90), DRAY(40), 0, 0, SharedPictureExtent(180),
              SharedPictureExtent(80));
  Draw(dc, kCompatible, w, h);
}

}  // namespace

int DrawLabel(const WChar* face, int32_t height, int32_t weight, uint32_t colour, DeviceContext dc, const WChar* text,
              const Rect& rect, uint32_t format) {
  OwnedFont font;
  font.Reset(MakeFont(height, weight, face));
  GdiObject previous = font.IsOpen() ? SelectInto(dc, font.handle()) : nullptr;
  SetTransparentBackground(dc);
  SetTextColour(dc, colour);
  int result = DrawTextIn(dc, text, rect, format);
  if (font.IsOpen()) {
    SelectInto(dc, previous);
    font.Close();
  }
  return result;
}

int HitTest(int32_t x, int32_t y, const Rect& r) {
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom ? 1 : 0;
}

void PaintPage(GUI& gui, DeviceContext dc, WindowHandle window) {
  Rect client = ClientArea(window);
  int32_t w = client.right - client.left;
  int32_t h = client.bottom - client.top;
  // Released in this order at the end: the context, then the bitmap it drew into.
  OwnedBitmap bitmap;
  OwnedMemoryContext memory;
  bitmap.Reset(MakeCompatibleBitmap(dc, w, h));
  if (bitmap.IsOpen()) memory.Reset(MakeMemoryContext(dc));
  if (!memory.IsOpen()) return;
  DeviceContext mem = memory.handle();
  GdiObject previous = SelectInto(mem, bitmap.handle());
  Blit(mem, 0, 0, w, h, nullptr, 0, 0, kWhiteness);
  int32_t page = gui.CurrentPage;
  if (page != kHelpPage) {
    MovePenTo(mem, 0, DRAY(20));
    LineToPoint(mem, w, DRAY(20));
  }
  switch (page) {
    case kMousePage:
      PaintMousePage(gui, mem, w, h);
      break;
    case kKeyboardPage:
      for (const Label& l : kKeyboardLabels) Draw(mem, l, w, h);
      break;
    case kSettingsPage:
      PaintStatusPage(mem, w, h);
      break;
    case kAboutPage:
      PaintAboutPage(gui, mem, w, h);
      break;
  }
  Blit(dc, 0, 0, w, h, mem, 0, 0, kSrcCopy);
  SelectInto(mem, previous);
  memory.Close();
  bitmap.Close();
}

void LoadTrayIcon(GUI& gui) {
  // The notification area's icon is the desk's size whatever the factor: loaded once.
  if (!gui.TrayIcon.IsOpen()) gui.TrayIcon.Reset(LoadIconById(gui.Instance, 101));
}

int LoadPictures(GUI& gui) {
  static const int kTabIcons[kPageCount] = {135, 136, 137, 138, 139};
  static const WChar* const kPictureFiles[] = {u"t0s1_f12.jpg", u"t0s2_f12.jpg", u"t0ms_f%d.jpg", u"cursors_f%d.jpg"};
  static const WChar* const kLargePictureFiles[] = {u"t0s1_f%d.jpg", u"t0s2_f%d.jpg", u"t0ms_f%d.jpg",
                                                    u"cursors_f%d.jpg", u"morvane_f%d.jpg"};
  const bool large = ScaleX > kLargestDeviceFactor;
  LoadTrayIcon(gui);
  gui.TabImages.Reset(MakeImageList(SystemMetric(kSmCxSmIcon), SystemMetric(kSmCySmIcon), kIlcMask, 1, 1));
  for (int i = 0; i < kPageCount; ++i) {
    gui.Icons[i].Reset(LoadIconSized(gui.Instance, kTabIcons[i], DRAX(16), DRAY(16)));
    ImageListAddIcon(gui.TabImages.handle(), gui.Icons[i].handle());
  }
  for (int i = 0; i < (large ? 5 : 4); ++i) {
    WChar name[kNameChars];
    ScaledPictureName(name, kNameChars, large ? kLargePictureFiles[i] : kPictureFiles[i]);
    gui.Pictures[i].Reset(LoadPicture(ComposeInstallPath(u"images", name)));
  }
  // The pictures stay for the window's life; the decoder is not needed again.
  ReleasePictureDecoder();
  return 1;
}

void ReleasePictures(GUI& gui) {
  gui.TabImages.Close();
  for (OwnedIcon& icon : gui.Icons) icon.Close();
  for (OwnedBitmap& picture : gui.Pictures) picture.Close();
}
