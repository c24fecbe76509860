#include "bluetooth/connect.h"

#include <cstring>
#include <mutex>

#include "bluetooth/launch_program.h"
#include "bluetooth/wait_cursor.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "platform/shell.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/ui_text.h"

PairedDevice* selectedDevice = nullptr;

namespace {

constexpr WChar kControlPanelHost[] = u"\\windows\\ctlpnl.exe";
constexpr WChar kBondingProgram[] = u"\\windows\\bthbond.exe";
constexpr int kPlatformTypeChars = 260;

// Serialises DoConnect across the main and the listener thread: the one-time load of the
// stack's defaults, the scan and the replacement of selectedDevice never overlap.
std::mutex connectLock;

void FreeDevice(PairedDevice* device) {
  if (!device) return;
  if (device->sdp_record) BluetoothFree(device->sdp_record);
  BluetoothFree(device);
}

// A scan of a large stack takes seconds, and a listener thread still scanning when the program
// ends would have to be stopped from outside: the scan ends at the next entry once the program
// is ending. Asked only under connectLock.
bool scanCut = false;
bool ProgramEnding() {
  if (terminateRequested.load()) scanCut = true;
  return scanCut;
}

// The part of DoConnect that must not overlap with another call: everything but the boxes.
int ConnectGuarded() {
  if (!driverStatus.bluetoothOn.load()) {
    DebugLog(u"Err#2 Bluetooth is off.");
    return -2;
  }
  scanCut = false;
  // Each scan decides afresh: a device that was unpaired or went inactive since the last one is
  // not found any more.
  FreeDevice(selectedDevice);
  selectedDevice = nullptr;
  ScanPairedDevices(nullptr, SelectActiveHidDevice, ProgramEnding);
  if (scanCut) DebugLog(u"DoConnect: the program is ending, scan stopped");
  SetStatusFlag(driverStatus.deviceFound, selectedDevice ? 1 : 0);
  if (!selectedDevice) {
    DebugLog(u"Err#3 No HID Device.");
    return -3;
  }
  const PairedDevice& d = *selectedDevice;
  DebugLog(u"DoConnect: [%04x%08x][%s][%s] active=%d auth=%d encr=%d trusted=%d",
           static_cast<unsigned>((d.address >> 32) & 0xFFFF), static_cast<unsigned>(d.address & 0xFFFFFFFF), d.name,
           d.port_name, (d.flags & kDeviceActive) ? 1 : 0, (d.flags & kDeviceAuth) ? 1 : 0,
           (d.flags & kDeviceEncrypt) ? 1 : 0, (d.flags & kDeviceTrusted) ? 1 : 0);
  return 1;
}

}  // namespace

int DoConnect(int interactive) {
  int result;
  {
    std::lock_guard<std::mutex> guard(connectLock);
    result = ConnectGuarded();
  }
  // The boxes wait for the user: they are shown outside the guard, so that a listener thread's
  // DoConnect is not held up by an open box, and a DoConnect reached from the box's own message
  // loop cannot deadlock.
  if (interactive && result == -2) {
    platform::ShowMessageBox(theGUI.MainWindow, UiText(QM_TEXT_BLUETOOTH_OFF), UiText(QM_TEXT_BLUETOOTH_OFF_TITLE),
                             kConnectBoxFlags);
  } else if (interactive && result == -3) {
    platform::ShowMessageBox(theGUI.MainWindow, UiText(QM_TEXT_NO_DEVICE), UiText(QM_TEXT_NO_DEVICE_TITLE),
                             kConnectBoxFlags);
    OpenBluetoothPairing();
  }
  return result;
}

int SelectActiveHidDevice(void*, const PairedDevice* device) {
  if (device->serviceClass != kHidServiceClass || !(device->flags & kDeviceActive)) return 1;
  FreeDevice(selectedDevice);
  selectedDevice = nullptr;
  auto* copy = static_cast<PairedDevice*>(BluetoothAlloc(sizeof(PairedDevice)));
  if (!copy) return 1;
  std::memcpy(copy, device, sizeof(PairedDevice));
  // The scan frees its block when this returns: the copy keeps one of its own.
  copy->sdp_record = nullptr;
  if (device->sdp_record && device->sdp_size) {
    copy->sdp_record = static_cast<uint8_t*>(BluetoothAlloc(device->sdp_size));
    if (copy->sdp_record) std::memcpy(copy->sdp_record, device->sdp_record, device->sdp_size);
  }
  selectedDevice = copy;
  return 1;
}

void OpenBluetoothPairing() {
  LaunchProgram(kControlPanelHost, u"cplmain.cpl,23,1");
}

int OpenBluetoothSettings() {
  SetWaitCursor(true);
  WChar type[kPlatformTypeChars] = {};
  platform::QueryPlatformType(type, kPlatformTypeChars);
  if (WCompareNoCase(type, u"pocketpc") == 0) {
    LaunchProgram(kControlPanelHost, u"cplmain.cpl,23");
  } else {
    LaunchProgram(kBondingProgram, u"");
  }
  SetWaitCursor(false);
  return 1;
}

void ReleaseSelectedDevice() {
  std::lock_guard<std::mutex> guard(connectLock);
  FreeDevice(selectedDevice);
  selectedDevice = nullptr;
}
