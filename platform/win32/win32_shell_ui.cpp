// The device shell's window services on the real API. Windows CE has the shell's menu bar and
// activation helpers (aygshell); desktop Windows gets a soft-key bar of our own, built from the
// same menu-bar resource, that stays directly under its owner (inside the frame of a desk's
// framed window), and the device's screen on a desk (win32_desk.cpp).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/resources.h"
#include "platform/shell_ui.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_window_internal.h"
#ifdef _WIN32_WCE
#include <aygshell.h>

static_assert(sizeof(platform::ShellActivateInfo) == sizeof(SHACTIVATEINFO), "the shell's own activation record");
#endif

namespace platform {
namespace {

#ifndef _WIN32_WCE
constexpr wchar_t kBarClass[] = L"Quillmote.SoftKeys";
constexpr COLORREF kBarBackground = RGB(36, 40, 48);
constexpr COLORREF kBarPressed = RGB(30, 100, 200);
constexpr COLORREF kBarLine = RGB(96, 104, 116);
constexpr COLORREF kBarText = RGB(255, 255, 255);
constexpr COLORREF kBarDisabledText = RGB(128, 128, 128);

struct SoftKey {
  WORD command;
  bool enabled;
  WString caption;
};

struct Bar {
  HWND owner;
  int height;
  std::vector<SoftKey> keys;
  HFONT font = nullptr;
  int pressed = -1;
};

// Owners and their bars, on the thread that made them.
std::vector<std::pair<HWND, HWND>> bars;

Bar* BarOf(HWND bar) {
  return reinterpret_cast<Bar*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
}

// The bar's keys from the menu-bar resource: menu id, count, then seven words per button.
bool ReadKeys(HINSTANCE instance, WORD resourceId, std::vector<SoftKey>& keys) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  DWORD count = SizeofResource(instance, found) / sizeof(WORD);
  if (!words || count < 2) return false;
  DWORD buttons = words[1];
  if (2 + buttons * 7 > count) return false;
  for (DWORD i = 0; i < buttons; ++i) {
    const WORD* b = words + 2 + i * 7;
    // The program's language, English where it lacks the caption.
    WChar caption[64] = u"";
    InstanceHandle translation = ResourceTranslation();
    if (!LoadResourceString(translation ? translation : instance, b[4], ResourceLanguage(), caption, 64))
      LoadResourceString(instance, b[4], 0x0409, caption, 64);
    keys.push_back(SoftKey{b[1], (b[2] & 0x04) != 0, caption});  // TBSTATE_ENABLED
  }
  return !keys.empty();
}

int KeyAt(HWND bar, const Bar& b, int x) {
  RECT rc;
  GetClientRect(bar, &rc);
  int n = static_cast<int>(b.keys.size());
  if (n == 0 || rc.right <= 0 || x < 0 || x >= rc.right) return -1;
  return x * n / rc.right;
}

void PaintBar(HWND bar, const Bar& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(bar, &ps);
  RECT rc;
  GetClientRect(bar, &rc);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
  HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
  HBRUSH background = CreateSolidBrush(kBarBackground);
  FillRect(mem, &rc, background);
  DeleteObject(background);
  int n = static_cast<int>(b.keys.size());
  HGDIOBJ oldFont = SelectObject(mem, b.font);
  SetBkMode(mem, TRANSPARENT);
  for (int i = 0; i < n; ++i) {
    RECT cell = {rc.right * i / n, 0, rc.right * (i + 1) / n, rc.bottom};
    if (i == b.pressed) {
      HBRUSH pressed = CreateSolidBrush(kBarPressed);
      FillRect(mem, &cell, pressed);
      DeleteObject(pressed);
    }
    if (i > 0) {
      RECT line = {cell.left, rc.bottom / 5, cell.left + 1, rc.bottom - rc.bottom / 5};
      HBRUSH brush = CreateSolidBrush(kBarLine);
      FillRect(mem, &line, brush);
      DeleteObject(brush);
    }
    SetTextColor(mem, b.keys[i].enabled ? kBarText : kBarDisabledText);
    DrawTextW(mem, W(b.keys[i].caption), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  RECT top = {0, 0, rc.right, 1};
  HBRUSH line = CreateSolidBrush(kBarLine);
  FillRect(mem, &top, line);
  DeleteObject(line);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(mem);
  EndPaint(bar, &ps);
}

LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  Bar* b = BarOf(bar);
  switch (message) {
    case WM_PAINT:
      if (!b) break;
      PaintBar(bar, *b);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      // A pop-up bar never takes the activation from its owner; inside a frame, a press on it
      // activates the framed window as any child's would.
      if (GetWindowLongPtrW(bar, GWL_STYLE) & WS_CHILD) break;
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
      if (!b) break;
      b->pressed = KeyAt(bar, *b, static_cast<short>(LOWORD(lParam)));
      if (b->pressed >= 0 && !b->keys[b->pressed].enabled) b->pressed = -1;
      SetCapture(bar);
      InvalidateRect(bar, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (!b) break;
      int key = KeyAt(bar, *b, static_cast<short>(LOWORD(lParam)));
      bool hit = key >= 0 && key == b->pressed;
      b->pressed = -1;
      ReleaseCapture();
      InvalidateRect(bar, nullptr, FALSE);
      // Posted, not sent: the command may destroy the owner and with it this bar.
      if (hit) PostMessageW(b->owner, WM_COMMAND, MAKEWPARAM(b->keys[key].command, 0), reinterpret_cast<LPARAM>(bar));
      return 0;
    }
    case WM_NCDESTROY:
      bars.erase(
          std::remove_if(bars.begin(), bars.end(), [bar](const std::pair<HWND, HWND>& e) { return e.second == bar; }),
          bars.end());
      if (b) {
        if (b->font) DeleteObject(b->font);
        delete b;
        SetWindowLongPtrW(bar, GWLP_USERDATA, 0);
      }
      break;
  }
  return DefWindowProcW(bar, message, wParam, lParam);
}

// The bar sits under its owner, a pop-up of its own. In the desk's framed window it is a child at
// the bottom of the client area instead, where the device's screen has it: over its owner, a
// pop-up does not always stay in front (Wine raises the owner above it on a click).
void KeepUnder(HWND owner, HWND bar) {
  Bar* b = BarOf(bar);
  if (!b) return;
  bool inside = owner == win32::DeskWindow();
  LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
  if (inside && !(style & WS_CHILD)) {
    SetWindowLongPtrW(bar, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    SetParent(bar, owner);
  } else if (!inside && (style & WS_CHILD)) {
    SetParent(bar, nullptr);
    SetWindowLongPtrW(bar, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
    SetWindowLongPtrW(bar, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
  if (inside) {
    RECT c;
    GetClientRect(owner, &c);
    SetWindowPos(bar, nullptr, 0, c.bottom - b->height, c.right, b->height,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
    return;
  }
  RECT r;
  GetWindowRect(owner, &r);
  UINT show = IsWindowVisible(owner) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  SetWindowPos(bar, nullptr, r.left, r.bottom, r.right - r.left, b->height, SWP_NOACTIVATE | SWP_NOZORDER | show);
}

// The captions' font: bold Tahoma of a size that fits the bar's height.
HFONT BarFont(int height) {
  LOGFONTW lf = {};
  lf.lfHeight = height * 9 / 20;
  lf.lfWeight = FW_BOLD;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  return CreateFontIndirectW(&lf);
}

// A new screen may have a new menu height: the window's bars take it, with a font to match.
void ResizeBars(HWND owner, int height) {
  for (const auto& e : bars) {
    Bar* b = e.first == owner ? BarOf(e.second) : nullptr;
    if (!b || b->height == height || height <= 0) continue;
    b->height = height;
    if (b->font) DeleteObject(b->font);
    b->font = BarFont(height);
    InvalidateRect(e.second, nullptr, FALSE);
  }
}

HWND MakeBar(HWND parent, HINSTANCE instance, WORD resourceId, int height) {
  auto* b = new Bar{parent, height, {}};
  if (height <= 0 || !ReadKeys(instance, resourceId, b->keys)) {
    delete b;
    return nullptr;
  }
  WNDCLASSW wc = {};
  if (!GetClassInfoW(instance, kBarClass, &wc)) {
    wc.lpfnWndProc = BarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kBarClass;
    RegisterClassW(&wc);
  }
  HWND bar = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kBarClass, L"", WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0,
                             0, parent, nullptr, instance, nullptr);
  if (!bar) {
    delete b;
    return nullptr;
  }
  b->font = BarFont(height);
  SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b));
  bars.emplace_back(parent, bar);
  KeepUnder(parent, bar);
  return bar;
}

#endif

}  // namespace

namespace win32 {

void PlaceFrameless(HWND window, int x, int y, int width, int height) {
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME);
  style |= WS_POPUP;
  SetWindowLongPtrW(window, GWL_STYLE, style);
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void BeforeWindowMessage(HWND hwnd, UINT message, WPARAM, LPARAM) {
#ifndef _WIN32_WCE
  DeskWindowMessage(hwnd, message);
  if (message != WM_WINDOWPOSCHANGED) return;
  for (const auto& e : bars) {
    if (e.first == hwnd) KeepUnder(e.first, e.second);
  }
#else
  (void)hwnd;
  (void)message;
#endif
}

}  // namespace win32

WindowHandle CreateMenuBar(WindowHandle parent, InstanceHandle instance, uint16_t resourceId, int32_t height) {
#ifdef _WIN32_WCE
  (void)height;
  SHMENUBARINFO info = {};
  info.cbSize = sizeof info;
  info.hwndParent = static_cast<HWND>(parent);
  info.nToolBarId = resourceId;
  // The shell reads the bar and its captions from the translation, which carries both.
  InstanceHandle translation = ResourceTranslation();
  info.hInstRes = static_cast<HINSTANCE>(translation ? translation : instance);
  return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
#else
  return MakeBar(static_cast<HWND>(parent), static_cast<HINSTANCE>(instance), resourceId, height);
#endif
}

void HandleActivate(WindowHandle window, uintptr_t wParam, intptr_t lParam, ShellActivateInfo& info) {
#ifdef _WIN32_WCE
  SHHandleWMActivate(static_cast<HWND>(window), wParam, lParam, reinterpret_cast<SHACTIVATEINFO*>(&info), 0);
#else
  (void)window, (void)wParam, (void)lParam, (void)info;
#endif
}

void HandleSettingChange(WindowHandle window, uintptr_t wParam, intptr_t lParam, ShellActivateInfo& info) {
#ifdef _WIN32_WCE
  SHHandleWMSettingChange(static_cast<HWND>(window), wParam, lParam, reinterpret_cast<SHACTIVATEINFO*>(&info));
#else
  (void)window, (void)wParam, (void)lParam, (void)info;
#endif
}

void PlaceAsShellWindow(WindowHandle window, int32_t menuHeight) {
#ifdef _WIN32_WCE
  (void)window, (void)menuHeight;
#else
  ResizeBars(static_cast<HWND>(window), menuHeight);
  // The move reaches the bars through the window's WM_WINDOWPOSCHANGED, at their new height.
  if (win32::PlaceOnDesk(static_cast<HWND>(window), menuHeight)) return;
  win32::ShownScreen screen = win32::CurrentScreen();
  int height = screen.height - 2 * menuHeight;
  win32::PlaceFrameless(static_cast<HWND>(window), 0, 0, screen.width, height > 0 ? height : 0);
#endif
}

bool FullScreen(WindowHandle window, uint32_t flags) {
#ifdef _WIN32_WCE
  return SHFullScreen(static_cast<HWND>(window), flags) != 0;
#else
  (void)flags;
  if (win32::CoverDeviceArea(static_cast<HWND>(window))) return true;
  win32::ShownScreen screen = win32::CurrentScreen();
  win32::PlaceFrameless(static_cast<HWND>(window), 0, 0, screen.width, screen.height);
  return true;
#endif
}

}  // namespace platform
