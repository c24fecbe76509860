// Painting on the real API (GDI). Pictures: SHLoadImageFile on the device; on desktop Windows the
// Windows Imaging Component decodes the file into a 24-bit DIB section.
#include "platform/paint.h"
#include "platform/win32/native_path.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
#ifdef _WIN32_WCE
#include <aygshell.h>
#else
#include <shlwapi.h>
#include <wincodec.h>
#endif

namespace platform {
namespace {

HDC D(DeviceContext dc) {
  return static_cast<HDC>(dc);
}

#ifndef _WIN32_WCE
template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// COM for a thread that decodes pictures, kept until the thread's pictures are loaded
// (ReleasePictureDecoder): starting it again for every picture costs milliseconds each under
// Wine, and the window decodes its pictures in a row while it starts. The slot of the system's
// thread-local storage is set while COM runs for the pictures: the language's own would bring the
// threads library and the exception support that run its destructors.
DWORD DecoderSlot() {
  static const DWORD slot = TlsAlloc();
  return slot;
}

void StartDecoder() {
  DWORD slot = DecoderSlot();
  // A thread whose COM already runs in the other mode decodes with COM as it is.
  if (slot != TLS_OUT_OF_INDEXES && !TlsGetValue(slot) && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    TlsSetValue(slot, reinterpret_cast<void*>(1));
}

// The pictures are JPEG files, decoded by the JPEG decoder made directly: asking the imaging
// factory for the decoder that fits a file reads every codec's description first, which costs
// Wine more than decoding all the window's pictures. Their rows go into a 24-bit DIB section as
// the decoder delivers them (another layout of a JPEG's colours is converted to it).
HBITMAP DecodeJpeg(const WString& path) {
  IStream* file = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICBitmapSource* rows = nullptr;
  HBITMAP bitmap = nullptr;
  UINT width = 0, height = 0;
  StartDecoder();
  if (SUCCEEDED(SHCreateStreamOnFileEx(W(path), STGM_READ | STGM_SHARE_DENY_WRITE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                       nullptr, &file)) &&
      SUCCEEDED(CoCreateInstance(CLSID_WICJpegDecoder, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                                 reinterpret_cast<void**>(&decoder))) &&
      SUCCEEDED(decoder->Initialize(file, WICDecodeMetadataCacheOnDemand)) && SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, frame, &rows)) &&
      SUCCEEDED(rows->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 0x4000 && height <= 0x4000) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    UINT stride = (width * 3 + 3) & ~3u;  // a DIB's rows end on a 4-byte boundary
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && FAILED(rows->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  Release(rows);
  Release(frame);
  Release(decoder);
  Release(file);
  return bitmap;
}
#endif

}  // namespace

PaintScope::PaintScope(WindowHandle window) : window_(window), dc_(nullptr), record_{} {
  static_assert(sizeof(PAINTSTRUCT) <= sizeof(record_), "the paint record must fit");
  dc_ = BeginPaint(static_cast<HWND>(window_), reinterpret_cast<PAINTSTRUCT*>(record_));
}

PaintScope::~PaintScope() {
  EndPaint(static_cast<HWND>(window_), reinterpret_cast<PAINTSTRUCT*>(record_));
}

DeviceContext ScreenContext() {
  return GetDC(nullptr);
}

void ReleaseScreenContext(DeviceContext dc) {
  ReleaseDC(nullptr, D(dc));
}

int DeviceCaps(DeviceContext dc, int index) {
  if (index == LOGPIXELSY) return win32::DeviceDpi();
  return GetDeviceCaps(D(dc), index);
}

DeviceContext MakeMemoryContext(DeviceContext dc) {
  return CreateCompatibleDC(D(dc));
}

void DeleteMemoryContext(DeviceContext dc) {
  if (dc) DeleteDC(D(dc));
}

BitmapHandle MakeCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height) {
  return CreateCompatibleBitmap(D(dc), width, height);
}

GdiObject SelectInto(DeviceContext dc, GdiObject object) {
  return SelectObject(D(dc), static_cast<HGDIOBJ>(object));
}

bool DeleteGdiObject(GdiObject object) {
  return object && DeleteObject(static_cast<HGDIOBJ>(object)) != 0;
}

bool Blit(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
          int32_t sy, uint32_t rop) {
  return BitBlt(D(dst), x, y, width, height, D(src), sx, sy, rop) != 0;
}

bool StretchCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src, int32_t sx,
                 int32_t sy, int32_t sw, int32_t sh) {
  // The default mode ANDs the pixels it drops when shrinking, which darkens a colour picture.
  int old = SetStretchBltMode(D(dst), COLORONCOLOR);
  BOOL ok = StretchBlt(D(dst), x, y, width, height, D(src), sx, sy, sw, sh, SRCCOPY);
  SetStretchBltMode(D(dst), old);
  return ok != 0;
}

bool TransparentCopy(DeviceContext dst, int32_t x, int32_t y, int32_t width, int32_t height, DeviceContext src,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t transparent) {
#ifdef _WIN32_WCE
  return TransparentImage(D(dst), x, y, width, height, D(src), sx, sy, sw, sh, transparent) != 0;
#else
  // GDI's own, which msimg32's TransparentBlt forwards to: the program does not load that library.
  return GdiTransparentBlt(D(dst), x, y, width, height, D(src), sx, sy, sw, sh, transparent) != 0;
#endif
}

bool MovePenTo(DeviceContext dc, int32_t x, int32_t y) {
  return MoveToEx(D(dc), x, y, nullptr) != 0;
}

bool LineToPoint(DeviceContext dc, int32_t x, int32_t y) {
  return LineTo(D(dc), x, y) != 0;
}

bool FillSolid(DeviceContext dc, const Rect& rect, uint32_t colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (!brush) return false;
  RECT r = {rect.left, rect.top, rect.right, rect.bottom};
  int ok = FillRect(D(dc), &r, brush);
  DeleteObject(brush);
  return ok != 0;
}

GdiObject StockObject(int index) {
  return GetStockObject(index);
}

FontHandle MakeFont(int32_t height, int32_t weight, const WChar* face) {
  LOGFONTW lf = {};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  WCopy(U(lf.lfFaceName), LF_FACESIZE, face);
  return CreateFontIndirectW(&lf);
}

int SetTransparentBackground(DeviceContext dc) {
  return SetBkMode(D(dc), TRANSPARENT);
}

uint32_t SetTextColour(DeviceContext dc, uint32_t colour) {
  return SetTextColor(D(dc), colour);
}

int DrawTextIn(DeviceContext dc, const WChar* text, const Rect& rect, uint32_t format) {
  RECT r = {rect.left, rect.top, rect.right, rect.bottom};
  return DrawTextW(D(dc), W(text), -1, &r, format);
}

BitmapHandle LoadPicture(const WChar* path) {
#ifdef _WIN32_WCE
  return SHLoadImageFile(W(path));
#else
  return DecodeJpeg(NativePath(path));
#endif
}

void ReleasePictureDecoder() {
#ifndef _WIN32_WCE
  DWORD slot = DecoderSlot();
  if (slot == TLS_OUT_OF_INDEXES || !TlsGetValue(slot)) return;
  CoUninitialize();
  TlsSetValue(slot, nullptr);
#endif
}

bool BitmapSize(BitmapHandle bitmap, int32_t* width, int32_t* height) {
  BITMAP info = {};
  if (!bitmap || GetObjectW(static_cast<HGDIOBJ>(bitmap), sizeof info, &info) != sizeof info) return false;
  if (width) *width = info.bmWidth;
  if (height) *height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  return true;
}

}  // namespace platform
