// A stand-in for the system's Bluetooth API (bluetoothapis.dll) with one radio, for the Wine tier:
// Wine's own library has only stubs. The radio's mode comes from the environment variable
// QM_FAKE_RADIO: "2" discoverable, "1" connectable, "0" off, "none" no radio at all.
#include <windows.h>

namespace {

int Mode() {
  char value[16] = "";
  GetEnvironmentVariableA("QM_FAKE_RADIO", value, sizeof value);
  if (lstrcmpA(value, "none") == 0) return -1;
  return value[0] >= '0' && value[0] <= '2' ? value[0] - '0' : 2;
}

}  // namespace

extern "C" {

HANDLE WINAPI BluetoothFindFirstRadio(const void*, HANDLE* radio) {
  *radio = nullptr;
  if (Mode() < 0) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return nullptr;
  }
  // Real handles: the caller closes them.
  *radio = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

BOOL WINAPI BluetoothFindRadioClose(HANDLE find) {
  return CloseHandle(find);
}

BOOL WINAPI BluetoothIsConnectable(HANDLE) {
  return Mode() >= 1;
}

BOOL WINAPI BluetoothIsDiscoverable(HANDLE) {
  return Mode() == 2;
}

}  // extern "C"
