// The HTML view control on the real API. The device has its own (htmlview); on desktop Windows a
// read-only view of ours is registered under the same class name: it reads a local page with the
// portable reader, lays its blocks out to the client width and paints them off screen, with a
// vertical scroll bar that it shows itself when the page is taller than the view.
#include <algorithm>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/html_view.h"
#include "platform/win32/html_text.h"
#include "platform/win32/wide.h"
// After windows.h, which they need.
#include <oleauto.h>
#ifdef _WIN32_WCE
#include <htmlctrl.h>
#endif

namespace platform {
namespace {

// The platform strings this program made and has not freed: the only addresses the view reads.
// The program hands over one address at a time; a few slots leave room to spare.
constexpr int kLiveSlots = 4;
const WChar* liveStrings[kLiveSlots] = {};
std::mutex liveStringsLock;

[[maybe_unused]] bool IsLivePlatformString(const WChar* text) {
  std::lock_guard<std::mutex> hold(liveStringsLock);
  for (const WChar* live : liveStrings)
    if (text && live == text) return true;
  return false;
}

// Puts `text` into a free slot (`add`) or takes it out; false when no slot is free.
bool MarkLive(const WChar* text, bool add) {
  std::lock_guard<std::mutex> hold(liveStringsLock);
  for (const WChar*& live : liveStrings) {
    if (live == (add ? nullptr : text)) {
      live = add ? text : nullptr;
      return true;
    }
  }
  return false;
}

}  // namespace

#ifndef _WIN32_WCE
namespace {

// Font sizes: body, h1, h2, h3, in pixels at factor 1.
enum FontSize { kBody, kTitle1, kTitle2, kTitle3, kFontSizes };
constexpr int kFontPixels[kFontSizes] = {12, 16, 14, 13};
// Layout in pixels at factor 1.
constexpr int kMargin = 4;
constexpr int kIndent = 14;          // per list level
constexpr int kMaxIndentLevels = 5;  // deeper lists indent no further, so that text keeps room
constexpr int kMarkerGap = 4;        // between a list marker and its text
constexpr int kMinTextWidth = 40;

struct LaidBlock {
  size_t block;  // in the page
  FontSize size;
  bool bold;  // headings are bold throughout
  int top;    // of the first line, in page coordinates
  int left;   // of the text
  int lineHeight;
  std::vector<HtmlLine> lines;
  WString marker;  // a list item's bullet or number
  int markerLeft;
};

struct View {
  HtmlPage page;
  bool dirty = true;  // the page changed since the last layout
  int layoutWidth = -1;
  int factor = 1;
  std::vector<LaidBlock> laid;
  int pageHeight = 0;
  int scroll = 0;
  int wheelRest = 0;  // wheel movement short of one notch
  bool inLayout = false;
  HFONT fonts[kFontSizes][4] = {};  // [size][bold + 2 * italic]; null until first used
  int lineHeights[kFontSizes] = {};
};

View* ViewOf(HWND hwnd) {
  return reinterpret_cast<View*>(GetWindowLongPtrW(hwnd, 0));
}

bool IsStock(HFONT font) {
  return font == static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ReleaseFonts(View& v) {
  for (auto& row : v.fonts) {
    for (HFONT& f : row) {
      if (f && !IsStock(f)) DeleteObject(f);
      f = nullptr;
    }
  }
  for (int& h : v.lineHeights) h = 0;
}

// Tahoma at the view's scale, or the default GUI font when it cannot be made.
HFONT FontOf(View& v, FontSize size, bool bold, bool italic) {
  HFONT& f = v.fonts[size][(bold ? 1 : 0) + (italic ? 2 : 0)];
  if (!f) {
    f = CreateFontW(-kFontPixels[size] * v.factor, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                    L"Tahoma");
    if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return f;
}

// Selects fonts into one device context, remembering the one it had.
class FontSelector {
 public:
  explicit FontSelector(HDC dc) : dc_(dc) {}
  FontSelector(const FontSelector&) = delete;
  FontSelector& operator=(const FontSelector&) = delete;
  ~FontSelector() {
    if (original_) SelectObject(dc_, original_);
  }
  void Use(HFONT font) {
    if (font == current_) return;
    HGDIOBJ old = SelectObject(dc_, font);
    if (!original_) original_ = old;
    current_ = font;
  }

 private:
  HDC dc_;
  HGDIOBJ original_ = nullptr;
  HFONT current_ = nullptr;
};

int TextWidth(HDC dc, const WChar* text, size_t length) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, W(text), static_cast<int>(length), &size);
  return size.cx;
}

// Measured in the font the size is mostly drawn in: headings are bold.
int LineHeight(View& v, HDC dc, FontSelector& fonts, FontSize size) {
  if (!v.lineHeights[size]) {
    fonts.Use(FontOf(v, size, size != kBody, false));
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    v.lineHeights[size] = std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
  }
  return v.lineHeights[size];
}

// The view's scale, from its width: 1 on a screen 240 pixels wide, 2 on one 480 wide. Wider
// views grow only when they are also tall, so that a landscape screen keeps factor 2.
int FactorFor(int width, int height) {
  int f = std::max(1, width / 200);
  if (f > 2) f = std::max(2, std::min(f, height / 150));
  return f;
}

FontSize SizeOf(HtmlBlockKind kind) {
  switch (kind) {
    case HtmlBlockKind::kHeading1:
      return kTitle1;
    case HtmlBlockKind::kHeading2:
      return kTitle2;
    case HtmlBlockKind::kHeading3:
      return kTitle3;
    default:
      return kBody;
  }
}

bool IsHeading(HtmlBlockKind kind) {
  return kind == HtmlBlockKind::kHeading1 || kind == HtmlBlockKind::kHeading2 || kind == HtmlBlockKind::kHeading3;
}

void Layout(View& v, int width, int height) {
  int factor = FactorFor(width, height);
  if (!v.dirty && width == v.layoutWidth && factor == v.factor) return;
  if (factor != v.factor) ReleaseFonts(v);
  v.factor = factor;
  v.layoutWidth = width;
  v.dirty = false;
  v.laid.clear();
  v.pageHeight = 0;
  if (width <= 0) return;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  {
    FontSelector fonts(dc);
    const int f = factor, margin = kMargin * f;
    int y = margin, gapAfter = 0;
    for (size_t i = 0; i < v.page.blocks.size(); ++i) {
      const HtmlBlock& b = v.page.blocks[i];
      LaidBlock laid{i, SizeOf(b.kind), IsHeading(b.kind), 0, 0, 0, {}, WString(), 0};
      int levels = std::min(b.depth, kMaxIndentLevels);
      laid.left = margin + levels * kIndent * f;
      if (b.kind == HtmlBlockKind::kListItem) {
        laid.marker = b.number ? FromUtf8(std::to_string(b.number) + ".") : WString(u"\u2022");
        fonts.Use(FontOf(v, kBody, false, false));
        int markerWidth = TextWidth(dc, laid.marker.data(), laid.marker.size());
        int levelLeft = margin + (levels - 1) * kIndent * f;
        laid.left = std::max(laid.left, levelLeft + markerWidth + kMarkerGap * f);
        laid.markerLeft = laid.left - kMarkerGap * f - markerWidth;
      }
      laid.lineHeight = LineHeight(v, dc, fonts, laid.size);
      auto measure = [&](const HtmlRun& run, const WChar* text, size_t length) {
        fonts.Use(FontOf(v, laid.size, laid.bold || run.bold, run.italic));
        return TextWidth(dc, text, length);
      };
      int textWidth = std::max(width - laid.left - margin, kMinTextWidth * f);
      laid.lines = BreakHtmlLines(b.runs, textWidth, b.kind == HtmlBlockKind::kPreformatted, measure);
      // Space between blocks: more above a heading, a little between list items.
      int gapBefore = laid.bold && i > 0 ? 8 * f : 0;
      y += std::max(gapBefore, gapAfter);
      laid.top = y;
      y += static_cast<int>(laid.lines.size()) * laid.lineHeight;
      gapAfter = (laid.bold || b.kind == HtmlBlockKind::kListItem ? 3 : 6) * f;
      v.laid.push_back(std::move(laid));
    }
    v.pageHeight = y + margin;
  }
  DeleteDC(dc);
}

int ClientHeight(HWND hwnd) {
  RECT rc = {};
  GetClientRect(hwnd, &rc);
  return rc.bottom;
}

int MaxScroll(const View& v, HWND hwnd) {
  return std::max(0, v.pageHeight - ClientHeight(hwnd));
}

// Shows the scroll bar when the page is taller than the view (the view adds WS_VSCROLL itself:
// its creator need not) and sets its range, page and position.
void UpdateScrollBar(View& v, HWND hwnd) {
  int clientHeight = ClientHeight(hwnd);
  bool needed = v.pageHeight > clientHeight && clientHeight > 0;
  bool shown = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) != 0;
  v.scroll = std::max(0, std::min(v.scroll, MaxScroll(v, hwnd)));
  if (needed != shown) ShowScrollBar(hwnd, SB_VERT, needed);
  if (!needed) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = v.pageHeight - 1;
  si.nPage = static_cast<UINT>(clientHeight);
  si.nPos = v.scroll;
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
}

// Lays the page out again and sets the scroll bar. Showing or hiding the bar changes the client
// width, and with it the layout; a narrower layout is never shorter, so two rounds settle it.
void Relayout(View& v, HWND hwnd) {
  if (v.inLayout) return;
  v.inLayout = true;
  for (int round = 0; round < 3; ++round) {
    RECT before = {};
    GetClientRect(hwnd, &before);
    Layout(v, before.right, before.bottom);
    UpdateScrollBar(v, hwnd);
    RECT after = {};
    GetClientRect(hwnd, &after);
    if (after.right == before.right && after.bottom == before.bottom) break;
  }
  v.inLayout = false;
  InvalidateRect(hwnd, nullptr, FALSE);
}

void ScrollTo(View& v, HWND hwnd, int y) {
  y = std::max(0, std::min(y, MaxScroll(v, hwnd)));
  if (y == v.scroll) return;
  v.scroll = y;
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = y;
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

int LineStep(const View& v) {
  return v.lineHeights[kBody] > 0 ? v.lineHeights[kBody] : 14 * v.factor;
}

int PageStep(const View& v, HWND hwnd) {
  return std::max(LineStep(v), ClientHeight(hwnd) - LineStep(v));
}

void OnVScroll(View& v, HWND hwnd, int code) {
  switch (code) {
    case SB_LINEUP:
      ScrollTo(v, hwnd, v.scroll - LineStep(v));
      break;
    case SB_LINEDOWN:
      ScrollTo(v, hwnd, v.scroll + LineStep(v));
      break;
    case SB_PAGEUP:
      ScrollTo(v, hwnd, v.scroll - PageStep(v, hwnd));
      break;
    case SB_PAGEDOWN:
      ScrollTo(v, hwnd, v.scroll + PageStep(v, hwnd));
      break;
    case SB_TOP:
      ScrollTo(v, hwnd, 0);
      break;
    case SB_BOTTOM:
      ScrollTo(v, hwnd, MaxScroll(v, hwnd));
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message's own position has 16 bits; the bar's tracking position has all of them.
      SCROLLINFO si = {};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(hwnd, SB_VERT, &si)) ScrollTo(v, hwnd, si.nTrackPos);
      break;
    }
    default:
      break;
  }
}

bool OnKey(View& v, HWND hwnd, WPARAM key) {
  switch (key) {
    case VK_UP:
      OnVScroll(v, hwnd, SB_LINEUP);
      return true;
    case VK_DOWN:
      OnVScroll(v, hwnd, SB_LINEDOWN);
      return true;
    case VK_PRIOR:
      OnVScroll(v, hwnd, SB_PAGEUP);
      return true;
    case VK_NEXT:
      OnVScroll(v, hwnd, SB_PAGEDOWN);
      return true;
    case VK_HOME:
      OnVScroll(v, hwnd, SB_TOP);
      return true;
    case VK_END:
      OnVScroll(v, hwnd, SB_BOTTOM);
      return true;
    default:
      return false;
  }
}

void OnWheel(View& v, HWND hwnd, int delta) {
  v.wheelRest += delta;
  int notches = v.wheelRest / WHEEL_DELTA;
  v.wheelRest -= notches * WHEEL_DELTA;
  if (notches == 0) return;
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  int step = lines == WHEEL_PAGESCROLL ? PageStep(v, hwnd) : static_cast<int>(lines) * LineStep(v);
  ScrollTo(v, hwnd, v.scroll - notches * step);
}

void Draw(View& v, HDC dc, int width, int height) {
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  FontSelector fonts(dc);
  // The first block that ends below the top of the view; blocks are in page order.
  auto first = std::upper_bound(v.laid.begin(), v.laid.end(), v.scroll, [](int y, const LaidBlock& b) {
    return y < b.top + static_cast<int>(b.lines.size()) * b.lineHeight;
  });
  for (auto it = first; it != v.laid.end() && it->top - v.scroll < height; ++it) {
    const LaidBlock& laid = *it;
    const HtmlBlock& block = v.page.blocks[laid.block];
    int y = laid.top - v.scroll;
    if (!laid.marker.empty()) {
      fonts.Use(FontOf(v, kBody, false, false));
      ExtTextOutW(dc, laid.markerLeft, y, 0, nullptr, W(laid.marker.c_str()), static_cast<UINT>(laid.marker.size()),
                  nullptr);
    }
    for (const HtmlLine& line : laid.lines) {
      if (y >= height) break;
      if (y + laid.lineHeight > 0) {
        for (const HtmlSpan& span : line.spans) {
          const HtmlRun& run = block.runs[span.run];
          fonts.Use(FontOf(v, laid.size, laid.bold || run.bold, run.italic));
          ExtTextOutW(dc, laid.left + span.x, y, 0, nullptr, W(run.text.data() + span.begin),
                      static_cast<UINT>(span.end - span.begin), nullptr);
        }
      }
      y += laid.lineHeight;
    }
  }
}

// Paints into an off-screen bitmap and copies it in one go, so that scrolling does not flicker.
void OnPaint(View& v, HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc = {};
  GetClientRect(hwnd, &rc);
  if (dc && rc.right > 0 && rc.bottom > 0) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, rc.right, rc.bottom) : nullptr;
    if (bitmap) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      Draw(v, memory, rc.right, rc.bottom);
      // With the focus, the view says so as a control does: a focus rectangle inside its edge.
      if (GetFocus() == hwnd) {
        RECT inner = {1, 1, rc.right - 1, rc.bottom - 1};
        DrawFocusRect(memory, &inner);
      }
      BitBlt(dc, 0, 0, rc.right, rc.bottom, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteObject(bitmap);
    } else {
      Draw(v, dc, rc.right, rc.bottom);
    }
    if (memory) DeleteDC(memory);
  }
  EndPaint(hwnd, &ps);
}

HtmlBlock Paragraph(const WString& text, bool bold) {
  HtmlBlock b;
  b.runs.push_back(HtmlRun{text, bold, false});
  return b;
}

// Reads the page an address names; a short message instead when it cannot.
bool Load(View& v, const wchar_t* address) {
  v.page = HtmlPage{};
  WString path;
  std::string bytes;
  bool shown = false;
  if (!address || !HtmlAddressToPath(U(address), path)) {
    v.page.blocks.push_back(Paragraph(u"This page cannot be shown.", true));
  } else if (!FileReadAll(path.c_str(), bytes)) {
    v.page.blocks.push_back(Paragraph(u"The help page could not be opened.", true));
    v.page.blocks.push_back(Paragraph(path, false));
  } else {
    v.page = ParseHtml(bytes);
    if (v.page.truncated) v.page.blocks.push_back(Paragraph(u"The rest of this page is too long to be shown.", false));
    shown = true;
  }
  v.dirty = true;
  v.scroll = 0;
  return shown;
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  View* v = ViewOf(hwnd);
  switch (message) {
    case WM_CREATE:
      v = new (std::nothrow) View;
      if (!v) return -1;
      SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(v));
      Relayout(*v, hwnd);
      return 0;
    case WM_DESTROY:
      if (v) ReleaseFonts(*v);
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, 0, 0);
      delete v;
      break;
    default:
      break;
  }
  if (!v) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case kDtmClear:
      v->page = HtmlPage{};
      v->dirty = true;
      v->scroll = 0;
      Relayout(*v, hwnd);
      return 0;
    case kDtmNavigate: {
      // The address is a pointer: only this program's own strings, handed over by its own thread,
      // are read. Another program can post or send the message too, with any number in lParam.
      if ((InSendMessageEx(nullptr) & ISMEX_SEND) || !IsLivePlatformString(reinterpret_cast<const WChar*>(lParam)))
        return 0;
      bool shown = Load(*v, reinterpret_cast<const wchar_t*>(lParam));
      Relayout(*v, hwnd);
      return shown;
    }
    case WM_SIZE:
      Relayout(*v, hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(*v, hwnd);
      return 0;
    case WM_VSCROLL:
      OnVScroll(*v, hwnd, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(*v, hwnd, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_KEYDOWN:
      if (OnKey(*v, hwnd, wParam)) return 0;
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace
#endif

bool InitHtmlControl(InstanceHandle instance) {
  HINSTANCE module = static_cast<HINSTANCE>(instance);
#ifdef _WIN32_WCE
  return InitHTMLControl(module) != FALSE;
#else
  WNDCLASSW wc = {};
  if (GetClassInfoW(module, W(kHtmlViewClass), &wc)) return true;
  wc.lpfnWndProc = ViewProc;
  wc.cbWndExtra = sizeof(View*);
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = W(kHtmlViewClass);
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
#endif
}

WChar* AllocPlatformString(const WChar* text) {
  WChar* copy = U(SysAllocString(W(text)));
  // A string the view would not take is no use: none is made.
  if (copy && !MarkLive(copy, true)) {
    SysFreeString(W(copy));
    copy = nullptr;
  }
  return copy;
}

void FreePlatformString(WChar* text) {
  if (text) MarkLive(text, false);
  SysFreeString(W(text));
}

}  // namespace platform
