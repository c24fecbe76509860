#include "driver_link/driver_control.h"

#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "platform/driver_channel.h"
#include "platform/threads.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"

FilterRecord filterRecord{};
DriverScreen driverScreen{};

namespace {

void PutWord(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

DriverInfoRecord BuildDriverInfoRecord() {
  DriverInfoRecord r;
  // The thread's identifier, which is its handle on Windows CE; on desktop Windows a handle means
  // nothing in the driver's process, an identifier can be posted to.
  r.ListenerThread = listenerThread ? platform::ThreadIdOf(listenerThread) : 0;
  r.ScreenWidth = driverScreen.width;
  r.ScreenHeight = driverScreen.height;
  r.Scale = driverScreen.scale;
  r.ScaleAgain = driverScreen.scale;
  r.Ready = driverReady;
  return r;
}

void EncodeDriverInfoRecord(const DriverInfoRecord& record, uint8_t (&out)[kDriverInfoRecordBytes]) {
  PutWord(out + 0, record.ListenerThread);
  PutWord(out + 4, static_cast<uint32_t>(record.ScreenWidth));
  PutWord(out + 8, static_cast<uint32_t>(record.ScreenHeight));
  PutWord(out + 12, static_cast<uint32_t>(record.Scale));
  PutWord(out + 16, static_cast<uint32_t>(record.ScaleAgain));
  PutWord(out + 20, record.Ready);
}

void EncodeFilterRecord(const FilterRecord& record, uint8_t (&out)[kFilterRecordBytes]) {
  out[0] = record.Filter;
  out[1] = record.Keyboard;
  out[2] = record.Mouse;
  out[3] = record.DriverByte;
}

void SetFilterRecord(int32_t enableKeyboard, int32_t enableMouse) {
  filterRecord.Filter = 1;
  filterRecord.Keyboard = enableKeyboard == 1 ? 1 : 0;
  filterRecord.Mouse = enableMouse == 1 ? 1 : 0;
}

namespace {

// Whether the last open met another user's server (main thread only).
bool refusedLast = false;

// Opens the driver. A device served by another user's program is not talked to: it counts as a
// driver that does not answer, and is logged once each time it appears (it is met at every
// request while it stays).
platform::DriverOpenResult OpenDriver(platform::DriverDevice& device) {
  platform::DriverOpenResult result = platform::DriverOpen(driver_protocol::kDeviceName, device);
  bool refused = result == platform::DriverOpenResult::Refused;
  if (refused && !refusedLast) DebugLog(u"QMX0: served by another user's program, not used");
  refusedLast = refused;
  return result;
}

}  // namespace

void InformDriver() {
  platform::DriverDevice device;
  platform::DriverOpenResult opened = OpenDriver(device);
  if (opened == platform::DriverOpenResult::Missing) return;
  if (opened != platform::DriverOpenResult::Opened) {
    SetStatusFlag(driverStatus.driverAnswered, 0);
    return;
  }
  DebugLog(u"prepare to send ");
  uint8_t bytes[kDriverInfoRecordBytes];
  EncodeDriverInfoRecord(BuildDriverInfoRecord(), bytes);
  uint32_t result = 0;
  // A driver that does not answer in time has not acknowledged the record.
  bool answered = platform::DriverControl(device, driver_protocol::IOCTL_INFORM_DRIVER, bytes, sizeof bytes, result);
  SetStatusFlag(driverStatus.driverAnswered, answered && result == 1 ? 1 : 0);
  device.Close();
  DebugLog(u"sent: %d", static_cast<int>(driverStatus.driverAnswered.load()));
}

int ManageFilter() {
  platform::DriverDevice device;
  if (OpenDriver(device) != platform::DriverOpenResult::Opened) return 0;
  uint8_t bytes[kFilterRecordBytes];
  EncodeFilterRecord(filterRecord, bytes);
  uint32_t result = 0;
  // The driver's result is not read; a request that was never answered did not reach it.
  bool answered = platform::DriverControl(device, driver_protocol::IOCTL_MANAGE_FILTER, bytes, sizeof bytes, result);
  device.Close();
  return answered ? 1 : 0;
}
