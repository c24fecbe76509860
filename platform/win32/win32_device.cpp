// The device's identity and driver services on the real API. The desktop Bluetooth API is loaded
// from the system folder only, so that no file beside the program can stand in for it.
#include <cstring>

#include "platform/device.h"
#include "platform/win32/wide.h"
#ifdef _WIN32_WCE
// After windows.h, which they need: the radio's mode and the kernel's device identifier.
#include <bthutil.h>
#include <pkfuncs.h>
#endif

namespace platform {
namespace {

#ifndef _WIN32_WCE
// The hexadecimal digits of a GUID text as bytes, in the order they are written.
int GuidBytes(const wchar_t* text, uint8_t* out, int max) {
  int n = 0, half = -1;
  for (const wchar_t* p = text; *p && n < max; ++p) {
    int v = (*p >= L'0' && *p <= L'9')   ? *p - L'0'
            : (*p >= L'a' && *p <= L'f') ? *p - L'a' + 10
            : (*p >= L'A' && *p <= L'F') ? *p - L'A' + 10
                                         : -1;
    if (v < 0) continue;
    if (half < 0) {
      half = v;
    } else {
      out[n++] = static_cast<uint8_t>(half * 16 + v);
      half = -1;
    }
  }
  return n;
}

bool ReadMachineText(const wchar_t* key, const wchar_t* value, wchar_t* out, DWORD bytes) {
  HKEY k;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_64KEY, &k) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = bytes - sizeof(wchar_t);
  std::memset(out, 0, bytes);
  LONG rc = RegQueryValueExW(k, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS && type == REG_SZ && out[0];
}

// Wine's own libraries carry this mark after their DOS header; its Bluetooth API exists only as
// stubs that end the process when called, so it counts as no Bluetooth API at all.
bool IsWineBuiltin(HMODULE module) {
  static const char kMark[] = "Wine builtin DLL";
  return std::memcmp(reinterpret_cast<const char*>(module) + sizeof(IMAGE_DOS_HEADER), kMark, sizeof kMark - 1) == 0;
}

// The Bluetooth API's radio calls, as bluetoothapis.dll exports them.
struct FindRadioParams {
  DWORD dwSize;
};
using FindFirstRadio = HANDLE(WINAPI*)(const FindRadioParams*, HANDLE*);
using FindRadioClose = BOOL(WINAPI*)(HANDLE);
using RadioQuery = BOOL(WINAPI*)(HANDLE);
#endif

}  // namespace

bool QueryDeviceId(uint8_t* out, uint32_t size) {
  std::memset(out, 0, size);
#ifdef _WIN32_WCE
  DWORD returned = 0;
  return KernelIoControl(IOCTL_HAL_GET_DEVICEID, nullptr, 0, out, size, &returned) != 0;
#else
  constexpr uint32_t kHeader = 20, kIdBytes = 9;
  if (size < kHeader + kIdBytes) return false;
  wchar_t guid[64];
  if (!ReadMachineText(L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid", guid, sizeof guid)) return false;
  uint8_t bytes[16];
  if (GuidBytes(guid, bytes, 16) < static_cast<int>(kIdBytes)) return false;
  std::memcpy(out + kHeader, bytes, kIdBytes);
  return true;
#endif
}

bool QueryOemInfo(WChar* out, uint32_t bytes) {
  if (bytes < sizeof(WChar)) return false;
  std::memset(out, 0, bytes);
#ifdef _WIN32_WCE
  bool ok = SystemParametersInfoW(SPI_GETOEMINFO, bytes, W(out), 0) != 0;
#else
  bool ok = ReadMachineText(L"HARDWARE\\DESCRIPTION\\System\\BIOS", L"SystemProductName", W(out), bytes);
#endif
  out[bytes / sizeof(WChar) - 1] = 0;
  return ok;
}

bool ActivateDevice(const WChar* instanceKey, const WChar* parameter) {
#ifdef _WIN32_WCE
  HANDLE h = ActivateDeviceEx(W(instanceKey), nullptr, 0, const_cast<wchar_t*>(W(parameter)));
  return h != nullptr && h != INVALID_HANDLE_VALUE;
#else
  (void)instanceKey, (void)parameter;
  return false;
#endif
}

bool QueryRadioMode(uint32_t* mode) {
  *mode = 0;
#ifdef _WIN32_WCE
  int m = 0;
  if (BthGetMode(reinterpret_cast<DWORD*>(&m)) != ERROR_SUCCESS) return false;
  *mode = static_cast<uint32_t>(m);
  return true;
#else
  HMODULE api = LoadLibraryExW(L"bluetoothapis.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!api) return false;
  if (IsWineBuiltin(api)) {
    FreeLibrary(api);
    return true;  // no radio: off
  }
  auto findFirst =
      reinterpret_cast<FindFirstRadio>(reinterpret_cast<void*>(GetProcAddress(api, "BluetoothFindFirstRadio")));
  auto findClose =
      reinterpret_cast<FindRadioClose>(reinterpret_cast<void*>(GetProcAddress(api, "BluetoothFindRadioClose")));
  auto connectable =
      reinterpret_cast<RadioQuery>(reinterpret_cast<void*>(GetProcAddress(api, "BluetoothIsConnectable")));
  auto discoverable =
      reinterpret_cast<RadioQuery>(reinterpret_cast<void*>(GetProcAddress(api, "BluetoothIsDiscoverable")));
  bool ok = false;
  if (findFirst && findClose && connectable && discoverable) {
    FindRadioParams params{sizeof(FindRadioParams)};
    HANDLE radio = nullptr;
    HANDLE find = findFirst(&params, &radio);
    ok = true;  // no radio is a radio that is off
    if (find) {
      if (radio) {
        *mode = discoverable(radio) ? 2 : connectable(radio) ? 1 : 0;
        CloseHandle(radio);
      }
      findClose(find);
    }
  }
  FreeLibrary(api);
  return ok;
#endif
}

}  // namespace platform
