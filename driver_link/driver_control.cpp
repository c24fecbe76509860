#include "driver_link/driver_control.h"

#include "driver_link/driver_protocol.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "gui/scale.h"
#include "platform/driver_channel.h"
#include "platform/threads.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"

FilterRecord filterRecord{};

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
  r.ScreenWidth = TheGUI->ScreenWidth;
  r.ScreenHeight = TheGUI->ScreenHeight;
  r.Scale = DRAX(1);
  r.ScaleAgain = DRAX(1);
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

void InformDriver() {
  platform::DriverDevice device;
  if (!platform::DriverOpen(driver_protocol::kDeviceName, device)) return;
  DebugLog(u"prepare to send ");
  uint8_t bytes[kDriverInfoRecordBytes];
  EncodeDriverInfoRecord(BuildDriverInfoRecord(), bytes);
  uint32_t result = platform::DriverControl(device, driver_protocol::IOCTL_INFORM_DRIVER, bytes, sizeof bytes);
  SetStatusFlag(driverStatus.driverAnswered, result == 1 ? 1 : 0);
  device.Close();
  DebugLog(u"sent: %d", static_cast<int>(driverStatus.driverAnswered.load()));
}

int ManageFilter() {
  platform::DriverDevice device;
  if (!platform::DriverOpen(driver_protocol::kDeviceName, device)) return 0;
  uint8_t bytes[kFilterRecordBytes];
  EncodeFilterRecord(filterRecord, bytes);
  platform::DriverControl(device, driver_protocol::IOCTL_MANAGE_FILTER, bytes, sizeof bytes);
  device.Close();
  return 1;
}
