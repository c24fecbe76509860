// Window service: window classes with the logic's own window procedures, top-level and child
// windows, the messages sent to them, and the few records that travel with messages. Message
// numbers, styles and show commands are the platform's own values.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

struct Rect {
  int32_t left, top, right, bottom;
};
struct Point {
  int32_t x, y;
};

// A window procedure of the logic: the platform calls it for every message of the class's windows.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct WindowClass {
  const WChar* name;
  uint32_t style;  // CS_ bits
  WindowProc proc;
  InstanceHandle instance;
  IconHandle icon;       // null: none
  int cursorId;          // the platform's cursor of that id (IDC_ARROW 32512); 0: none
  uintptr_t background;  // a brush, or a system colour index + 1, or the value as the platform takes it
};

// Messages the logic handles or sends.
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint16_t kWaInactive = 0;  // WM_ACTIVATE's low word: the window was left
inline constexpr uint32_t kWmSetText = 0x000C;
inline constexpr uint32_t kWmGetText = 0x000D;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQueryEndSession = 0x0011;
inline constexpr uint32_t kWmEraseBkgnd = 0x0014;
inline constexpr uint32_t kWmEndSession = 0x0016;
inline constexpr uint32_t kWmSettingChange = 0x001A;
inline constexpr uint32_t kWmDisplayChange = 0x007E;
inline constexpr uint32_t kWmDpiChanged = 0x02E0;
inline constexpr uint32_t kWmSetFont = 0x0030;
inline constexpr uint32_t kWmWindowPosChanged = 0x0047;
inline constexpr uint32_t kWmNotify = 0x004E;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmPowerBroadcast = 0x0218;
inline constexpr uintptr_t kPbtApmResumeAutomatic = 0x0012;  // WM_POWERBROADCAST: resumed from sleep
inline constexpr uint32_t kWmUser = 0x0400;

// Window styles.
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsClipSiblings = 0x04000000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;
inline constexpr uint32_t kCsHRedraw = 0x0002;
inline constexpr uint32_t kCsVRedraw = 0x0001;
// The default position or size of a top-level window.
inline constexpr int32_t kCwUseDefault = static_cast<int32_t>(0x80000000u);
// A class background given as a system colour: the device writes the colour's index with this
// flag (SYS_COLOR_INDEX_FLAG), plus one, where desktop Windows takes the index plus one alone.
inline constexpr uintptr_t kSysColorIndexFlag = 0x40000000;
inline constexpr uintptr_t kColorWindow = 5;

// WM_SYSCOMMAND's command is wParam with its low four bits cleared (the platform uses them).
inline constexpr uintptr_t kScCommandMask = 0xFFF0;
inline constexpr uintptr_t kScClose = 0xF060;  // the close box, Alt+F4, the taskbar's "Close window"

// Show commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

// System metrics.
inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmCxSmIcon = 49;
inline constexpr int kSmCySmIcon = 50;

inline constexpr uint16_t LowWord(uintptr_t v) {
  return static_cast<uint16_t>(v & 0xFFFF);
}
inline constexpr uint16_t HighWord(uintptr_t v) {
  return static_cast<uint16_t>((v >> 16) & 0xFFFF);
}

// True when `instance` has a class of that name.
bool WindowClassExists(InstanceHandle instance, const WChar* name);
// False when the platform refuses (for example a second class of that name).
bool RegisterWindowClass(const WindowClass& windowClass);
// False while a window of the class lives, or when there is no such class.
bool UnregisterWindowClass(InstanceHandle instance, const WChar* name);

// CreateWindowExW: `id` is the child's control id, or the menu of a top-level window (0: none).
// Messages sent during creation (WM_CREATE) reach the class's procedure before this returns.
// Null when the window cannot be made.
WindowHandle MakeWindow(uint32_t exStyle, const WChar* className, const WChar* text, uint32_t style, int32_t x,
                        int32_t y, int32_t width, int32_t height, WindowHandle parent, uintptr_t id,
                        InstanceHandle instance);
// A standard control made by MakeWindow takes the look of the screen as it was then (on desktop
// Windows the device's UI font for its dots per inch); this gives it the screen's look of now.
void RefreshLook(WindowHandle control);
// Destroys the window and its children; false (and nothing done) for a window that is gone.
bool Destroy(WindowHandle window);
// True while the window lives.
bool Exists(WindowHandle window);
// True when the window and every parent it has are visible.
bool IsShown(WindowHandle window);
// Places the window (a child in its parent's client coordinates); false for a window that is gone.
bool Move(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
// Returns whether the window was visible before. A window of another thread is shown without
// waiting for that thread, so that a hung program cannot hang the caller.
bool Show(WindowHandle window, int command);
// Paints what is waiting to be painted now (UpdateWindow).
void Update(WindowHandle window);
// Returns whether the window was disabled before.
bool Enable(WindowHandle window, bool enable);
bool IsEnabled(WindowHandle window);
// Returns the window that had the focus.
WindowHandle Focus(WindowHandle window);
// Makes the window the foreground window. On the device the window's owned windows come to the
// front with it (the handle with its lowest bit set); desktop Windows has no such convention.
bool BringForward(WindowHandle window);

// The window procedure's answer; 0 for a window that is gone.
intptr_t Send(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Puts the message on the queue of the window's thread; false when it cannot.
bool Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// The platform's default handling of a message.
intptr_t DefaultProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// A top-level window by class and exact title (an empty title is not a missing one); null if none.
WindowHandle FindTopLevel(const WChar* className, const WChar* title);
// The child with that control id; null if none.
WindowHandle ChildById(WindowHandle parent, int id);
// Client rectangle (left and top 0) and window rectangle in screen coordinates; all zero for a
// window that is gone.
Rect ClientArea(WindowHandle window);
Rect ScreenBounds(WindowHandle window);
// Reads at most `chars` - 1 characters and terminates; returns the characters read.
int ReadText(WindowHandle window, WChar* buffer, int chars);
// Sets the window's text (WM_SETTEXT); false when the window refuses it.
bool WriteText(WindowHandle window, const WChar* text);
// Turns a screen point into the window's client coordinates; false (point unchanged) when it cannot.
bool ScreenToClientPoint(WindowHandle window, Point& point);
// The screen position of the cursor when the last message was taken from the queue.
Point LastMessagePosition();
// GetSystemMetrics. The screen's size and the small-icon size are the device screen's: desktop
// Windows reads as a device of its screen's size (icons of 32 pixels from 480 on the shorter side,
// else 16), a desk's larger screen as the device that stands in for it (platform/win32/desk.h).
int SystemMetric(int index);
// The number of a message registered by name (RegisterWindowMessageW); 0 on failure.
uint32_t RegisterMessageName(const WChar* name);

// Records that arrive with messages, read through the platform so that the logic needs no
// layout of its own.
struct Notification {
  WindowHandle from;
  uintptr_t id;
  int32_t code;
};
// WM_NOTIFY's header.
Notification ReadNotification(intptr_t lParam);
// WM_WINDOWPOSCHANGED: the window this one is now placed behind (null: none given).
WindowHandle InsertAfterOf(intptr_t lParam);

}  // namespace platform
