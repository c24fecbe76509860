// Helpers for the Wine tier's test programs: processes, the calling thread's message queue and a
// raw pipe client. The test programs include this header, never <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/text.h"

namespace platform::win32test {

// The Windows path of a Unix path under Wine ("Z:" and backslashes).
WString WindowsPath(const std::string& unixPath);

// Runs a command line to its end and returns its exit code; -1 when it could not be started or
// did not end within `timeoutMs`. With `output`, its standard output (and error) is collected.
int RunProgram(const WString& commandLine, std::string* output = nullptr, uint32_t timeoutMs = 30000);

// A program left running; Stop waits for it to end (or ends it after `timeoutMs`).
class Background {
 public:
  Background() = default;
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;
  ~Background() { Stop(0); }
  bool Start(const WString& commandLine);
  bool Running() const;
  // True, with its exit code, once the program has ended by itself within `timeoutMs`.
  bool Ended(uint32_t timeoutMs, int* exitCode);
  uint32_t Pid() const { return pid_; }
  // The exit code, or -1 when the program had to be ended.
  int Stop(uint32_t timeoutMs);

 private:
  void* process_ = nullptr;
  uint32_t pid_ = 0;
};

// A real handle of the calling thread, as CreateThread would have returned it; closed by
// CloseThreadHandle.
ThreadHandle CurrentThreadHandle();
void CloseThreadHandle(ThreadHandle thread);
uint32_t CurrentThreadId();
// Gives the calling thread its message queue, so that other processes can post to it.
void EnsureMessageQueue();
// Waits for the next thread message with a number in [first, last]; false after `timeoutMs`.
bool WaitThreadMessage(uint32_t first, uint32_t last, uint32_t timeoutMs, uint32_t* message, uint64_t* wParam);

// Connects to a message pipe, sends `request` unless it is empty, and then either reads one
// answer into `answer` (its bytes) or hangs up at once. False when the pipe cannot be reached or
// the answer cannot be read.
bool PipeExchange(const WString& pipe, const std::vector<uint8_t>& request, bool readAnswer,
                  std::vector<uint8_t>* answer);

}  // namespace platform::win32test

namespace platform::win32test {

// Takes and dispatches the calling thread's messages for `ms` milliseconds; with `dispatch`, each
// message goes there instead (a program's own loop, which gives windows their keys first).
void PumpMessages(uint32_t ms, void (*dispatch)(const Message&) = nullptr);
// GDI objects alive in this process: every handle value is asked for its type (Wine matches
// handles on their low word, so the count is exact).
int LiveGdiObjects();
// Windows of the calling thread, top-level and children.
int ThreadWindowCount();
// Writes the screen (the virtual desktop) as a 24-bit BMP file.
bool SaveScreen(const WString& path);
// A screen pixel as 0x00RRGGBB.
uint32_t ScreenPixel(int32_t x, int32_t y);
// A real click at a screen point (SendInput: move, button down, button up).
void ClickScreen(int32_t x, int32_t y);
// A click at a client point of a window, posted as WM_LBUTTONDOWN and WM_LBUTTONUP.
void PostClick(WindowHandle window, int32_t x, int32_t y);
// How long a WM_NULL sent to the window takes to come back, in `ms`; false when it does not within
// `timeoutMs` (the window's thread does not answer).
bool RoundTrip(WindowHandle window, uint32_t timeoutMs, uint32_t* ms);
// The desktop's taskbar window rectangle; false when it has none.
bool TaskbarBounds(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);
// True when the notification area holds that icon (NIM_MODIFY succeeds only for an icon there).
bool TrayIconThere(WindowHandle window, uint32_t id);
// Removes an icon as a restarting shell would lose it.
bool DropTrayIcon(WindowHandle window, uint32_t id);
// Posts a message to every top-level window.
void Broadcast(uint32_t message);
// The pixels of a bitmap as GDI holds them (0xXXRRGGBB, the top byte kept), row by row from the top.
bool BitmapPixels(void* bitmap, int32_t& width, int32_t& height, std::vector<uint32_t>& pixels);
// The first top-level window whose class name begins with `prefix`; null if none.
WindowHandle FindTopLevelByClassPrefix(const WChar* prefix);
// The first child window of `parent` of that class; null when it has none.
WindowHandle FindChildByClass(WindowHandle parent, const WChar* className);
// A top-level window of that class owned by `owner`; null if none.
WindowHandle FindOwnedWindow(WindowHandle owner, const WChar* className);
bool IsWindowEnabledNow(WindowHandle window);
// The deepest stack `work` reaches, in bytes: run on a new thread whose stack below the caller
// is first painted with a pattern, then read back for the lowest byte `work` changed. At most
// 60 KiB are measured; 0 when the thread cannot be made or does not end within 10 s.
size_t StackUsedBy(void (*work)());
// A child window of that class, of any process; null if none.
WindowHandle ChildOfClass(WindowHandle parent, const WChar* className);
// Every child window of that class, of any process, in z-order.
std::vector<WindowHandle> ChildrenOfClass(WindowHandle parent, const WChar* className);
// Whether a control of this process is wide and high enough for its whole text, wrapped at its
// width in its own font as a static control draws it; `reserved` pixels at its left are not the
// text's (a check box's mark).
bool TextFitsItsControl(WindowHandle control, int32_t reserved = 0);
// The same for a control of another process, whose font cannot be selected here: its text in
// Tahoma of `fontHeight` pixels (LOGFONT's height), in the control's client area, less
// `boxIndent` pixels on the left for a check box (its box and the gap to its text).
bool TextFitsAtHeight(WindowHandle control, int32_t fontHeight, int32_t boxIndent);
// The room a text takes in a font made for the measure (DrawText's DT_CALCRECT): on one line when
// `wrapWidth` is 0, else wrapped at that width.
void MeasureText(const WChar* face, int32_t fontHeight, int32_t weight, const WChar* text, int32_t wrapWidth,
                 int32_t& width, int32_t& height);
// The check mark's width beside a check box's text (SM_CXMENUCHECK), plus the gap before the text.
int32_t CheckBoxMarkWidth();
// The window the user works with now (GetForegroundWindow), of any process.
WindowHandle ForegroundNow();
// The window's owner (GW_OWNER); and whether `a` lies above `b` in the z-order.
WindowHandle OwnerOf(WindowHandle window);
bool IsAbove(WindowHandle a, WindowHandle b);
// Top-level windows of that class in every process: visible or not, or only those shown.
int CountTopLevelWindows(const WChar* className, bool shownOnly = false);
// The window's process identifier.
uint32_t WindowProcess(WindowHandle window);
// String `id` in `language` of the library `file` (a Windows path), read as data; empty when
// it has none.
WString ModuleText(const WString& file, uint32_t id, uint16_t language);
// The texts of column `column` of every item of a list view of another process (LVM_GETITEMTEXT
// through a buffer in that process's memory), and the list views among the children of every
// shown top-level window of the process `pid`.
std::vector<WString> RemoteListTexts(WindowHandle list, int column);
std::vector<WindowHandle> ListViewsOfProcess(uint32_t pid);
// A tab's rectangle in a tab strip of another process (TCM_GETITEMRECT through a buffer in that
// process's memory); false when it cannot be read.
bool RemoteTabBounds(WindowHandle tab, int index, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);
// A window's own device context (GetDC) and its release.
void* WindowContext(WindowHandle window);
void ReleaseWindowContext(WindowHandle window, void* dc);
// The running program's instance, and the common controls it uses made available.
InstanceHandle ProgramInstance();
// The running program's own file (its Windows path).
WString ProgramFile();
// Real key events through the X server, as a user types them (xdotool key, one name after another:
// "Tab", "ctrl+Tab", "space", "F2"); they reach the focused control of the foreground program in
// the virtual desktop. Waits until they are sent; false when xdotool could not be run.
bool TypeKeys(const std::string& keys);
// The window that has the keyboard focus in the thread that owns `window` (any process).
WindowHandle FocusIn(WindowHandle window);
void InitControls();
// Sets an environment variable for programs started from here.
void SetEnvironment(const char* name, const char* value);
// Processes started from this process or its children since the first call (a job object, which
// this process joins on that first call, counts them); -1 when they cannot be counted.
int ProcessesStartedSoFar();

// The display itself (the virtual desktop), whatever a program takes for its screen.
void DisplaySize(int32_t& width, int32_t& height);
// The part of the display the desk leaves to windows (SPI_GETWORKAREA), cut to the display.
void WorkArea(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom);
// True when the window has a caption (a title bar in a frame).
bool HasCaption(WindowHandle window);
// A screen point on the window's close box, found by asking the window what lies under each
// point of its caption; false when it has none.
bool CloseBoxPoint(WindowHandle window, int32_t& x, int32_t& y);
// A real drag with the mouse (SendInput): pressed at one screen point, moved in steps to
// another, released there.
void DragScreen(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);
// Gives the display another resolution (ChangeDisplaySettings); 0 x 0 goes back to the one it
// started with. True when the display took it.
bool ChangeResolution(int32_t width, int32_t height);

}  // namespace platform::win32test
