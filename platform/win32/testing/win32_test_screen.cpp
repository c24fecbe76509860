// The screen, the pointer and the keyboard, and the windows of this and other processes, as the
// Wine tier's programs look at and drive them.
#include "platform/resources.h"
#include "platform/win32/testing/win32_test_support.h"
#include "platform/win32/wide.h"
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

namespace platform::win32test {

int LiveGdiObjects() {
  int n = 0;
  for (uintptr_t i = 1; i <= 0xFFFF; ++i) n += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0 ? 1 : 0;
  return n;
}

namespace {
BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}
BOOL CALLBACK CountTop(HWND w, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(w, CountChild, count);
  return TRUE;
}

// A 32-bit top-down DIB of that size.
BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return info;
}

bool CaptureScreen(std::vector<uint32_t>& pixels, int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(mem, bitmap);
    ok = BitBlt(mem, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    pixels.assign(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    for (auto& p : pixels) p &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bitmap);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}
}  // namespace

int ThreadWindowCount() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTop, reinterpret_cast<LPARAM>(&n));
  return n;
}

bool SaveScreen(const WString& path) {
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  if (!CaptureScreen(pixels, width, height)) return false;
  int stride = (width * 3 + 3) & ~3;
  std::string file;
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + stride * height;
  ih.biSize = sizeof ih;
  ih.biWidth = width;
  ih.biHeight = height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  file.append(reinterpret_cast<const char*>(&fh), sizeof fh);
  file.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  std::string row(stride, '\0');
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t p = pixels[y * width + x];
      row[x * 3] = static_cast<char>(p & 0xFF);
      row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    file += row;
  }
  HANDLE h = CreateFileW(W(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr) && written == file.size();
  CloseHandle(h);
  return ok;
}

uint32_t ScreenPixel(int32_t x, int32_t y) {
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

namespace {
// The mouse at a screen point, with a button pressed or released when `flags` say so.
INPUT MouseAt(int32_t x, int32_t y, DWORD flags) {
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65535 + w / 2) / (w - 1);
  in.mi.dy = (y * 65535 + h / 2) / (h - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}
}  // namespace

void ClickScreen(int32_t x, int32_t y) {
  INPUT in[3] = {MouseAt(x, y, 0), MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP)};
  SendInput(3, in, sizeof(INPUT));
}

void PostClick(WindowHandle window, int32_t x, int32_t y) {
  LPARAM at = MAKELPARAM(x, y);
  PostMessageW(static_cast<HWND>(window), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(static_cast<HWND>(window), WM_LBUTTONUP, 0, at);
}

WindowHandle FindChildByClass(WindowHandle parent, const WChar* className) {
  return FindWindowExW(static_cast<HWND>(parent), nullptr, W(className), nullptr);
}

bool RoundTrip(WindowHandle window, uint32_t timeoutMs, uint32_t* ms) {
  ULONGLONG start = GetTickCount64();
  DWORD_PTR result = 0;
  LRESULT ok = SendMessageTimeoutW(static_cast<HWND>(window), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result);
  *ms = static_cast<uint32_t>(GetTickCount64() - start);
  return ok != 0;
}

bool TaskbarBounds(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT r;
  if (!tray || !GetWindowRect(tray, &r) || r.right <= r.left) return false;
  left = r.left, top = r.top, right = r.right, bottom = r.bottom;
  return true;
}

// A bare notification-area call on the icon `id` of `window`: it succeeds only while the icon is there.
static bool TrayIconCall(DWORD operation, WindowHandle window, uint32_t id) {
  NOTIFYICONDATAW d = {};
  d.cbSize = sizeof d;
  d.hWnd = static_cast<HWND>(window);
  d.uID = id;
  return Shell_NotifyIconW(operation, &d) != 0;
}

bool TrayIconThere(WindowHandle window, uint32_t id) {
  return TrayIconCall(NIM_MODIFY, window, id);
}

bool DropTrayIcon(WindowHandle window, uint32_t id) {
  return TrayIconCall(NIM_DELETE, window, id);
}

void Broadcast(uint32_t message) {
  PostMessageW(HWND_BROADCAST, message, 0, 0);
}

bool BitmapPixels(void* bitmap, int32_t& width, int32_t& height, std::vector<uint32_t>& pixels) {
  BITMAP b = {};
  if (!bitmap || GetObjectW(static_cast<HBITMAP>(bitmap), sizeof b, &b) != sizeof b) return false;
  width = b.bmWidth;
  height = b.bmHeight < 0 ? -b.bmHeight : b.bmHeight;
  BITMAPINFO info = TopDown32(width, height);
  pixels.assign(static_cast<size_t>(width) * height, 0);
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return rows == height;
}

namespace {
struct Search {
  const wchar_t* name;
  bool prefix;
  HWND owner;
  HWND found;
};
BOOL CALLBACK Match(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  wchar_t name[256];
  if (!GetClassNameW(w, name, 256)) return TRUE;
  size_t n = lstrlenW(s->name);
  bool same = s->prefix ? wcsncmp(name, s->name, n) == 0 : lstrcmpiW(name, s->name) == 0;
  if (same && (!s->owner || GetWindow(w, GW_OWNER) == s->owner)) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

WindowHandle FindTopLevelByClassPrefix(const WChar* prefix) {
  Search s{W(prefix), true, nullptr, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

WindowHandle FindOwnedWindow(WindowHandle owner, const WChar* className) {
  Search s{W(className), false, static_cast<HWND>(owner), nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool IsWindowEnabledNow(WindowHandle window) {
  return IsWindowEnabled(static_cast<HWND>(window)) != 0;
}

WindowHandle ChildOfClass(WindowHandle parent, const WChar* className) {
  return FindWindowExW(static_cast<HWND>(parent), nullptr, W(className), nullptr);
}

std::vector<WindowHandle> ChildrenOfClass(WindowHandle parent, const WChar* className) {
  std::vector<WindowHandle> found;
  for (HWND c = nullptr; (c = FindWindowExW(static_cast<HWND>(parent), c, W(className), nullptr));) found.push_back(c);
  return found;
}

bool TextFitsItsControl(WindowHandle control, int32_t reserved) {
  HWND c = static_cast<HWND>(control);
  RECT place{};
  if (!GetClientRect(c, &place)) return false;
  place.right -= reserved;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(c)) + 1, L'\0');
  GetWindowTextW(c, text.data(), static_cast<int>(text.size()));
  RECT need{0, 0, place.right, 0};
  HDC dc = GetDC(c);
  HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), -1, &need, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, font);
  ReleaseDC(c, dc);
  return need.right <= place.right && need.bottom <= place.bottom;
}

bool TextFitsAtHeight(WindowHandle control, int32_t fontHeight, int32_t boxIndent) {
  HWND c = static_cast<HWND>(control);
  RECT place{};
  if (!GetClientRect(c, &place)) return false;
  wchar_t text[256] = {};
  SendMessageTimeoutW(c, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
  if (text[0] == 0) return true;
  LOGFONTW lf = {};
  lf.lfHeight = fontHeight;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  HFONT font = CreateFontIndirectW(&lf);
  wchar_t cls[16] = {};
  const LONG type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
  const bool box = GetClassNameW(c, cls, 16) && lstrcmpiW(cls, L"Button") == 0 &&
                   (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE);
  const int width = place.right - (box ? boxIndent : 0);
  RECT need{0, 0, width, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  DrawTextW(dc, text, -1, &need, DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  return need.right <= width && need.bottom <= place.bottom;
}

void MeasureText(const WChar* face, int32_t fontHeight, int32_t weight, const WChar* text, int32_t wrapWidth,
                 int32_t& width, int32_t& height) {
  HDC dc = CreateCompatibleDC(nullptr);
  // As the program makes its fonts: a cell height, the default character set.
  HFONT font = CreateFontW(fontHeight, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, W(face));
  HGDIOBJ old = SelectObject(dc, font);
  RECT need{0, 0, wrapWidth, 0};
  DrawTextW(dc, W(text), -1, &need, DT_CALCRECT | DT_NOPREFIX | (wrapWidth ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  width = need.right;
  height = need.bottom;
}

int32_t CheckBoxMarkWidth() {
  return GetSystemMetrics(SM_CXMENUCHECK) + 4;
}

WindowHandle ForegroundNow() {
  return GetForegroundWindow();
}

WindowHandle OwnerOf(WindowHandle window) {
  return GetWindow(static_cast<HWND>(window), GW_OWNER);
}

bool IsAbove(WindowHandle a, WindowHandle b) {
  for (HWND w = GetWindow(static_cast<HWND>(a), GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == b) return true;
  }
  return false;
}

namespace {
struct ClassCount {
  const wchar_t* name;
  bool shownOnly;
  int count;
};
BOOL CALLBACK CountClass(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<ClassCount*>(p);
  wchar_t name[256];
  if (GetClassNameW(w, name, 256) && lstrcmpiW(name, c->name) == 0 && (!c->shownOnly || IsWindowVisible(w))) ++c->count;
  return TRUE;
}
}  // namespace

int CountTopLevelWindows(const WChar* className, bool shownOnly) {
  ClassCount c{W(className), shownOnly, 0};
  EnumWindows(CountClass, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

uint32_t WindowProcess(WindowHandle window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(static_cast<HWND>(window), &pid);
  return pid;
}

WString ModuleText(const WString& file, uint32_t id, uint16_t language) {
  HMODULE module = LoadLibraryExW(W(file.c_str()), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  WChar text[256] = {};
  if (module) {
    LoadResourceString(module, id, language, text, 256);
    FreeLibrary(module);
  }
  return text;
}

std::vector<WString> RemoteListTexts(WindowHandle list, int column) {
  HWND h = static_cast<HWND>(list);
  std::vector<WString> texts;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return texts;
  constexpr int kChars = 260;
  // The item record, then the room for its text.
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  const int count = remote ? static_cast<int>(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    item.cchTextMax = kChars;
    wchar_t text[kChars] = {};
    if (!WriteProcessMemory(process, remote, &item, sizeof item, nullptr)) break;
    LRESULT n = SendMessageW(h, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote));
    if (n > 0 && ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof text, nullptr)) {
      text[kChars - 1] = 0;
      texts.push_back(U(text));
    }
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return texts;
}

namespace {

struct ListSearch {
  DWORD pid;
  std::vector<WindowHandle> found;
};

BOOL CALLBACK CollectLists(HWND child, LPARAM context) {
  wchar_t cls[32] = {};
  if (GetClassNameW(child, cls, 32) && lstrcmpiW(cls, WC_LISTVIEWW) == 0)
    reinterpret_cast<ListSearch*>(context)->found.push_back(child);
  return TRUE;
}

BOOL CALLBACK ListsOfWindow(HWND window, LPARAM context) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == reinterpret_cast<ListSearch*>(context)->pid && IsWindowVisible(window))
    EnumChildWindows(window, CollectLists, context);
  return TRUE;
}

}  // namespace

std::vector<WindowHandle> ListViewsOfProcess(uint32_t pid) {
  ListSearch search{pid, {}};
  EnumWindows(ListsOfWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool RemoteTabBounds(WindowHandle tab, int index, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) {
  HWND h = static_cast<HWND>(tab);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  RECT r = {};
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote && SendMessageW(h, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &r, sizeof r, nullptr);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  left = r.left, top = r.top, right = r.right, bottom = r.bottom;
  return ok;
}

void* WindowContext(WindowHandle window) {
  return GetDC(static_cast<HWND>(window));
}

void ReleaseWindowContext(WindowHandle window, void* dc) {
  ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}

bool TypeKeys(const std::string& keys) {
  // Wine starts a Unix program as it starts a Windows one; it inherits the display.
  std::wstring cmd = L"/usr/bin/xdotool key --delay 80 " + std::wstring(keys.begin(), keys.end());
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // The events travel through the X server and Wine's desktop before the program takes them.
  Sleep(300);
  return true;
}

WindowHandle FocusIn(WindowHandle window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(static_cast<HWND>(window), nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void DisplaySize(int32_t& width, int32_t& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

void WorkArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) {
  RECT work = {}, display = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) IntersectRect(&display, &display, &work);
  left = display.left, top = display.top, right = display.right, bottom = display.bottom;
}

bool HasCaption(WindowHandle window) {
  return (GetWindowLongPtrW(static_cast<HWND>(window), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

bool CloseBoxPoint(WindowHandle window, int32_t& x, int32_t& y) {
  HWND h = static_cast<HWND>(window);
  RECT r;
  if (!GetWindowRect(h, &r)) return false;
  // Along the caption's middle row, from the right edge inwards.
  int row = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int at = r.right - 1; at > r.left; --at) {
    if (SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(at, row)) != HTCLOSE) continue;
    int right = at;
    while (at > r.left && SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(at - 1, row)) == HTCLOSE) --at;
    x = (at + right) / 2, y = row;
    return true;
  }
  return false;
}

void DragScreen(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
  constexpr int kSteps = 10;
  INPUT press[2] = {MouseAt(fromX, fromY, 0), MouseAt(fromX, fromY, MOUSEEVENTF_LEFTDOWN)};
  SendInput(2, press, sizeof(INPUT));
  Sleep(100);
  for (int i = 1; i <= kSteps; ++i) {
    INPUT step = MouseAt(fromX + (toX - fromX) * i / kSteps, fromY + (toY - fromY) * i / kSteps, 0);
    SendInput(1, &step, sizeof(INPUT));
    Sleep(30);
  }
  INPUT release = MouseAt(toX, toY, MOUSEEVENTF_LEFTUP);
  SendInput(1, &release, sizeof(INPUT));
}

bool ChangeResolution(int32_t width, int32_t height) {
  if (width == 0 && height == 0) return ChangeDisplaySettingsW(nullptr, 0) == DISP_CHANGE_SUCCESSFUL;
  DEVMODEW mode = {};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsW(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
}

}  // namespace platform::win32test
