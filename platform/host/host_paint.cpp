// Host canvas: GDI objects are records, drawing calls are recorded, nothing is rasterised.
#include "platform/host/host_paint.h"

#include <deque>
#include <string>

#include "platform/files.h"
#include "platform/screen.h"

namespace platform {
namespace {

struct Object {
  enum Kind { Context, Bitmap, Font } kind;
  bool alive = true;
  bool memory = false;  // a memory context (contexts of windows and the screen are not counted)
  host::BitmapInfo bitmap{};
  host::FontInfo font{};
  // Contexts: what is selected and the text state.
  Object* selectedBitmap = nullptr;
  Object* selectedFont = nullptr;
  uint32_t textColour = 0;
  bool transparent = false;
  int32_t penX = 0, penY = 0;
};

struct Canvas {
  std::deque<Object> objects;  // handles are addresses; entries never move
  std::vector<host::DrawCall> calls;
  Object screen{Object::Context};
  // What a context holds before anything of ours is selected into it.
  Object stockBitmap{Object::Bitmap};
  Object stockFont{Object::Font};
};

Canvas& C() {
  static Canvas c;
  return c;
}

Object* Of(void* h, Object::Kind kind) {
  auto* o = static_cast<Object*>(h);
  if (!o) return nullptr;
  if (o == &C().screen) return kind == Object::Context ? o : nullptr;
  if (o == &C().stockBitmap) return kind == Object::Bitmap ? o : nullptr;
  if (o == &C().stockFont) return kind == Object::Font ? o : nullptr;
  for (auto& e : C().objects) {
    if (&e == o) return e.alive && e.kind == kind ? o : nullptr;
  }
  return nullptr;
}

Object* Make(Object::Kind kind) {
  C().objects.push_back(Object{kind});
  return &C().objects.back();
}

host::DrawCall Call(host::DrawCall::Kind kind, Object* dc) {
  host::DrawCall c{};
  c.kind = kind;
  c.dc = dc;
  c.target = dc ? dc->selectedBitmap : nullptr;
  if (dc && dc->selectedFont) c.font = dc->selectedFont->font;
  c.textColour = dc ? dc->textColour : 0;
  c.transparentBackground = dc && dc->transparent;
  return c;
}

// The size in a JPEG's frame header (SOF0 to SOF15 but DHT, JPG and DAC); false when the bytes
// are not a JPEG.
bool JpegSize(const std::string& b, int32_t& width, int32_t& height) {
  if (b.size() < 4 || static_cast<uint8_t>(b[0]) != 0xFF || static_cast<uint8_t>(b[1]) != 0xD8) return false;
  size_t i = 2;
  while (i + 9 < b.size()) {
    if (static_cast<uint8_t>(b[i]) != 0xFF) return false;
    uint8_t marker = static_cast<uint8_t>(b[i + 1]);
    size_t length = (static_cast<uint8_t>(b[i + 2]) << 8) | static_cast<uint8_t>(b[i + 3]);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      height = (static_cast<uint8_t>(b[i + 5]) << 8) | static_cast<uint8_t>(b[i + 6]);
      width = (static_cast<uint8_t>(b[i + 7]) << 8) | static_cast<uint8_t>(b[i + 8]);
      return width > 0 && height > 0;
    }
    if (length < 2) return false;
    i += 2 + length;
  }
  return false;
}

}  // namespace

namespace host {

void CanvasReset() {
  C().objects.clear();
  C().calls.clear();
  C().screen = Object{Object::Context};
}

bool IsStock(const void* o) {
  return o == &C().stockBitmap || o == &C().stockFont;
}

std::vector<DrawCall> DrawCalls() {
  return C().calls;
}

void ClearDrawCalls() {
  C().calls.clear();
}

int LiveGdiObjects() {
  int n = 0;
  for (const auto& o : C().objects) n += o.alive && (o.kind != Object::Context || o.memory) ? 1 : 0;
  return n;
}

const BitmapInfo* BitmapRecord(BitmapHandle bitmap) {
  Object* o = Of(bitmap, Object::Bitmap);
  return o ? &o->bitmap : nullptr;
}

const FontInfo* FontRecord(FontHandle font) {
  Object* o = Of(font, Object::Font);
  return o ? &o->font : nullptr;
}

}  // namespace host

PaintScope::PaintScope(WindowHandle window) : window_(window), dc_(nullptr), record_{} {
  // The platform's paint record and window are the real backend's; the model needs neither.
  (void)window_;
  (void)record_;
  dc_ = Make(Object::Context);  // the window's context: not a memory context, released at the end
}

PaintScope::~PaintScope() {
  if (Object* o = Of(dc_, Object::Context)) o->alive = false;
}

DeviceContext ScreenContext() {
  return &C().screen;
}

void ReleaseScreenContext(DeviceContext) {}

int DeviceCaps(DeviceContext, int index) {
  if (index != kLogPixelsY) return 0;
  // As devices report: 192 dots per inch on a screen whose shorter side has 480 pixels or more;
  // as the Win32 backend reads a desk's device screen: 96 per factor.
  ScreenMetrics s = MeasureScreen();
  if (s.deskFactor > 0) return 96 * s.deskFactor;
  return (s.width < s.height ? s.width : s.height) >= 480 ? 192 : 96;
}

DeviceContext MakeMemoryContext(DeviceContext dc) {
  if (!Of(dc, Object::Context)) return nullptr;
  Object* o = Make(Object::Context);
  o->memory = true;
  return o;
}

void DeleteMemoryContext(DeviceContext dc) {
  if (Object* o = Of(dc, Object::Context)) o->alive = false;
}

BitmapHandle MakeCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height) {
  if (!Of(dc, Object::Context) || width < 0 || height < 0) return nullptr;
  Object* o = Make(Object::Bitmap);
  o->bitmap = host::BitmapInfo{width, height, u""};
  return o;
}

GdiObject SelectInto(DeviceContext dc, GdiObject object) {
  Object* d = Of(dc, Object::Context);
  if (!d) return nullptr;
  if (Object* b = Of(object, Object::Bitmap)) {
    Object* old = d->selectedBitmap;
    d->selectedBitmap = b == &C().stockBitmap ? nullptr : b;
    return old ? old : &C().stockBitmap;
  }
  if (Object* f = Of(object, Object::Font)) {
    Object* old = d->selectedFont;
    d->selectedFont = f == &C().stockFont ? nullptr : f;
    return old ? old : &C().stockFont;
  }
  return nullptr;
}

bool DeleteGdiObject(GdiObject object) {
  if (host::IsStock(object)) return false;
  Object* o = Of(object, Object::Bitmap);
  if (!o) o = Of(object, Object::Font);
  if (!o) return false;
  o->alive = false;
  return true;
}

bool Blit(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
          int32_t sy, uint32_t rop) {
  Object* d = Of(dst, Object::Context);
  if (!d) return false;
  host::DrawCall c = Call(host::DrawCall::Blit, d);
  Object* s = Of(src, Object::Context);
  c.source = s ? s->selectedBitmap : nullptr;
  c.x = x, c.y = y, c.width = width, c.height = height, c.sx = sx, c.sy = sy, c.sw = width, c.sh = height;
  c.value = rop;
  C().calls.push_back(c);
  return true;
}

namespace {

// A copy from the bitmap selected into `src`, as a stretch or with a transparent colour.
bool Copy(host::DrawCall::Kind kind, DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height,
          DeviceContext src, int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t value) {
  Object* d = Of(dst, Object::Context);
  Object* s = Of(src, Object::Context);
  if (!d || !s) return false;
  host::DrawCall c = Call(kind, d);
  c.source = s->selectedBitmap;
  c.x = x, c.y = y, c.width = width, c.height = height, c.sx = sx, c.sy = sy, c.sw = sw, c.sh = sh;
  c.value = value;
  C().calls.push_back(c);
  return true;
}

}  // namespace

bool StretchCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh) {
  return Copy(host::DrawCall::Stretch, dst, x, y, width, height, src, sx, sy, sw, sh, kSrcCopy);
}

bool TransparentCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t transparent) {
  return Copy(host::DrawCall::Transparent, dst, x, y, width, height, src, sx, sy, sw, sh, transparent);
}

bool MovePenTo(DeviceContext dc, int32_t x, int32_t y) {
  Object* d = Of(dc, Object::Context);
  if (!d) return false;
  d->penX = x, d->penY = y;
  return true;
}

bool LineToPoint(DeviceContext dc, int32_t x, int32_t y) {
  Object* d = Of(dc, Object::Context);
  if (!d) return false;
  host::DrawCall c = Call(host::DrawCall::Line, d);
  c.x = d->penX, c.y = d->penY, c.width = x, c.height = y;
  C().calls.push_back(c);
  d->penX = x, d->penY = y;
  return true;
}

bool FillSolid(DeviceContext dc, const Rect& rect, uint32_t colour) {
  Object* d = Of(dc, Object::Context);
  if (!d) return false;
  host::DrawCall c = Call(host::DrawCall::Fill, d);
  c.rect = rect;
  c.value = colour;
  C().calls.push_back(c);
  return true;
}

GdiObject StockObject(int) {
  return &C().stockBitmap;  // a handle of the platform's, never deleted
}

FontHandle MakeFont(int32_t height, int32_t weight, const WChar* face) {
  Object* o = Make(Object::Font);
  o->font = host::FontInfo{height, weight, face ? face : u""};
  return o;
}

int SetTransparentBackground(DeviceContext dc) {
  Object* d = Of(dc, Object::Context);
  if (!d) return 0;
  int old = d->transparent ? 1 : 2;  // TRANSPARENT or OPAQUE
  d->transparent = true;
  return old;
}

uint32_t SetTextColour(DeviceContext dc, uint32_t colour) {
  Object* d = Of(dc, Object::Context);
  if (!d) return 0;
  uint32_t old = d->textColour;
  d->textColour = colour;
  return old;
}

int DrawTextIn(DeviceContext dc, const WChar* text, const Rect& rect, uint32_t format) {
  Object* d = Of(dc, Object::Context);
  if (!d) return 0;
  host::DrawCall c = Call(host::DrawCall::Text, d);
  c.rect = rect;
  c.value = format;
  c.text = text ? text : u"";
  C().calls.push_back(c);
  int32_t h = c.font.height < 0 ? -c.font.height : c.font.height;
  return c.text.empty() ? 0 : (h ? h : 16);
}

BitmapHandle LoadPicture(const WChar* path) {
  std::string bytes;
  int32_t width = 0, height = 0;
  if (!FileReadAll(path, bytes) || !JpegSize(bytes, width, height)) return nullptr;
  Object* o = Make(Object::Bitmap);
  o->bitmap = host::BitmapInfo{width, height, path};
  return o;
}

// The host decodes nothing but a picture's size: there is no decoder to release.
void ReleasePictureDecoder() {}

bool BitmapSize(BitmapHandle bitmap, int32_t* width, int32_t* height) {
  Object* o = Of(bitmap, Object::Bitmap);
  if (!o) return false;
  if (width) *width = o->bitmap.width;
  if (height) *height = o->bitmap.height;
  return true;
}

}  // namespace platform
