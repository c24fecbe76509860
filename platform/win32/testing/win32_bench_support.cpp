#include "platform/win32/testing/win32_bench_support.h"

#include <cstdlib>

#include "platform/win32/wide.h"

namespace platform::win32bench {

uint32_t BareDeviceScan(const char16_t* const* classNames, int classCount) {
  HKEY device;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"software\\microsoft\\bluetooth\\device", 0, KEY_READ, &device) !=
      ERROR_SUCCESS)
    return 0;
  uint32_t opened = 0;
  for (int c = 0; c < classCount; ++c) {
    HKEY cls;
    if (RegOpenKeyExW(device, W(classNames[c]), 0, KEY_READ, &cls) != ERROR_SUCCESS) continue;
    wchar_t entry[50];
    for (DWORD index = 0;; ++index) {
      DWORD chars = 50;
      if (RegEnumKeyExW(cls, index, entry, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      HKEY dev;
      if (RegOpenKeyExW(cls, entry, 0, KEY_READ, &dev) != ERROR_SUCCESS) continue;
      ++opened;
      wchar_t name[249], port[16], serviceId[64];
      DWORD type, size, number;
      size = sizeof name;
      RegQueryValueExW(dev, L"name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
      size = sizeof port;
      RegQueryValueExW(dev, L"port_name", nullptr, &type, reinterpret_cast<BYTE*>(port), &size);
      for (const wchar_t* value : {L"channel", L"hid_subclass", L"handle", L"active", L"auth", L"encrypt", L"mtu"}) {
        size = sizeof number;
        RegQueryValueExW(dev, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
      }
      size = sizeof serviceId;
      RegQueryValueExW(dev, L"service_id", nullptr, &type, reinterpret_cast<BYTE*>(serviceId), &size);
      size = 0;
      if (RegQueryValueExW(dev, L"sdp_record", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size) {
        void* block = std::malloc(size);
        if (block) RegQueryValueExW(dev, L"sdp_record", nullptr, &type, static_cast<BYTE*>(block), &size);
        std::free(block);
      }
      RegCloseKey(dev);
    }
    RegCloseKey(cls);
  }
  RegCloseKey(device);
  return opened;
}

}  // namespace platform::win32bench
