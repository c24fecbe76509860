// The device's own interfaces, declared from the platform's documentation, for the device compile
// check (tools/device-check). No build here has the device's SDK: the check compiles every source
// with _WIN32_WCE against the desktop headers, and this header adds what only the device has (its
// shell, kernel, Bluetooth and HTML-view interfaces and the core calls the desktop lacks). It then
// poisons the desktop calls the device does not have, so that one used outside a desktop branch
// fails the check. The check reaches it through every <windows.h> (the core's part) and through
// the SDK header names the device branches include, each of which asks for its own part by a
// QM_DEVICE_SDK_... name: a branch that calls the shell without including <aygshell.h> fails as
// it would on the device. The records are laid out as on the device's 32-bit processor, which
// the check compiles for.
#include <windows.h>
#include <winioctl.h>

#ifndef QM_DEVICE_CORE
#define QM_DEVICE_CORE
extern "C" {

// --- Core (COREDLL) ---------------------------------------------------------------------------

// The wide entry-point lookup: the device names exports in UTF-16.
FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR procName);

// Loads the device driver described under `devKey` (HKEY_LOCAL_MACHINE); `regEnts` is an array of
// `regEntCount` REGINI records (null here), `param` goes to the driver's XXX_Init. A handle for
// DeactivateDevice, or null / INVALID_HANDLE_VALUE on failure.
HANDLE WINAPI ActivateDeviceEx(LPCWSTR devKey, LPCVOID regEnts, DWORD regEntCount, LPVOID param);

// A bit-block transfer that leaves out the pixels of one colour; the source is a device context
// or a bitmap.
BOOL WINAPI TransparentImage(HDC dest, LONG destX, LONG destY, LONG destWidth, LONG destHeight, HANDLE source,
                             LONG sourceX, LONG sourceY, LONG sourceWidth, LONG sourceHeight, COLORREF transparent);

// SystemParametersInfo: the platform's type ("PocketPC", "SmartPhone") and the maker's model text.
#define SPI_GETPLATFORMTYPE 257
#define SPI_GETOEMINFO 258

}  // extern "C"

// What the desktop has and the device does not: a use outside a desktop branch fails the check.
// Each has a device counterpart beside it in the backend (for example GlobalMemoryStatus for
// GlobalMemoryStatusEx, a widened GetTickCount for GetTickCount64, RegDeleteKeyW, which removes a
// whole tree on the device, for RegDeleteTreeW).
#undef FILE_APPEND_DATA
#undef FILE_SHARE_DELETE
#undef LOAD_LIBRARY_SEARCH_SYSTEM32
#undef KEY_WOW64_64KEY
#pragma GCC poison GlobalMemoryStatusEx GetTickCount64 ShowWindowAsync EnumChildWindows GetEnvironmentVariableW
#pragma GCC poison RegDeleteTreeW GetThreadId GetProcessHandleCount GetProcessMemoryInfo GetSystemDirectoryW
#pragma GCC poison TransparentBlt SetNamedPipeHandleState WaitNamedPipeW GetFileType
#pragma GCC poison FILE_APPEND_DATA FILE_SHARE_DELETE LOAD_LIBRARY_SEARCH_SYSTEM32 KEY_WOW64_64KEY
#endif  // QM_DEVICE_CORE

// --- Kernel (pkfuncs.h) -----------------------------------------------------------------------

#if defined(QM_DEVICE_SDK_PKFUNCS) && !defined(QM_DEVICE_PKFUNCS)
#define QM_DEVICE_PKFUNCS
extern "C" {

BOOL WINAPI KernelIoControl(DWORD ioControlCode, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                            LPDWORD bytesReturned);

#define FILE_DEVICE_HAL 0x00000101
// Fills a DEVICE_ID record followed by its two identifiers.
#define IOCTL_HAL_GET_DEVICEID CTL_CODE(FILE_DEVICE_HAL, 21, METHOD_BUFFERED, FILE_ANY_ACCESS)

// The device's identity: the record's size with its identifiers, then where each identifier lies
// (from the record's start) and how many bytes it has.
typedef struct _DEVICE_ID {
  DWORD dwSize;
  DWORD dwPresetIDOffset;
  DWORD dwPresetIDBytes;
  DWORD dwPlatformIDOffset;
  DWORD dwPlatformIDBytes;
} DEVICE_ID, *PDEVICE_ID;
}  // extern "C"
static_assert(sizeof(DEVICE_ID) == 20, "the identity record's header is 20 bytes");
#endif

// --- Bluetooth (bthutil.h) --------------------------------------------------------------------

#if defined(QM_DEVICE_SDK_BTHUTIL) && !defined(QM_DEVICE_BTHUTIL)
#define QM_DEVICE_BTHUTIL
extern "C" {
#define BTH_POWER_OFF 0
#define BTH_CONNECTABLE 1
#define BTH_DISCOVERABLE 2
// The radio's mode (one of the three above); ERROR_SUCCESS or an error code.
int WINAPI BthGetMode(DWORD* mode);
}  // extern "C"
#endif

// --- The shell (aygshell.h) -------------------------------------------------------------------

#if defined(QM_DEVICE_SDK_AYGSHELL) && !defined(QM_DEVICE_AYGSHELL)
#define QM_DEVICE_AYGSHELL
extern "C" {
// The soft-key menu bar made from a menu-bar resource.
typedef struct tagSHMENUBARINFO {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;  // out: the menu bar
  COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);

// What the shell keeps for a window between activations: the focus and the input panel's state.
typedef struct {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;
BOOL WINAPI SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL WINAPI SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020
BOOL WINAPI SHFullScreen(HWND window, DWORD state);

// Decodes a picture file (JPEG, GIF, BMP, ...) into a bitmap; null when it cannot.
HBITMAP WINAPI SHLoadImageFile(LPCWSTR fileName);
}  // extern "C"
// The records' sizes on the device, where the program fills them by these numbers.
static_assert(sizeof(SHMENUBARINFO) == 36, "the menu bar's record is 36 bytes on the device");
static_assert(sizeof(SHACTIVATEINFO) == 12, "the activation record is 12 bytes on the device");
#endif

// --- The HTML view (htmlctrl.h) ---------------------------------------------------------------

#if defined(QM_DEVICE_SDK_HTMLCTRL) && !defined(QM_DEVICE_HTMLCTRL)
#define QM_DEVICE_HTMLCTRL
extern "C" {
#define WC_HTML L"DISPLAYCLASS"
#define DTM_CLEAR (WM_USER + 113)
#define DTM_NAVIGATE (WM_USER + 120)  // lParam: the address
// Registers the view's window class for the module.
BOOL WINAPI InitHTMLControl(HINSTANCE instance);
}  // extern "C"
#endif
