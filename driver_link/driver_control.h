// The control channel to the input driver: the two records it is sent and the two operations
// that send them. Each operation opens the device, sends one record and closes it again.
#pragma once

#include <cstddef>
#include <cstdint>

// The input of the inform request: who to post status messages to, and the screen geometry.
// Six 32-bit words in little-endian order.
struct DriverInfoRecord {
  uint32_t ListenerThread;  // the listener thread's identifier; 0 before it runs
  int32_t ScreenWidth;
  int32_t ScreenHeight;
  int32_t Scale;       // DRAX(1)
  int32_t ScaleAgain;  // DRAX(1) again: the horizontal factor, not the vertical one
  uint32_t Ready;      // driverReady widened to 32 bits
};
static_assert(sizeof(DriverInfoRecord) == 24, "the driver reads exactly 24 bytes");
static_assert(offsetof(DriverInfoRecord, ScreenWidth) == 4 && offsetof(DriverInfoRecord, Scale) == 12 &&
                  offsetof(DriverInfoRecord, Ready) == 20,
              "words at 4-byte steps");

// The input of the filter request.
struct FilterRecord {
  uint8_t Filter;      // 1: the filter is on; every sender writes 1
  uint8_t Keyboard;    // 1: the driver handles the keyboard
  uint8_t Mouse;       // 1: the driver handles the mouse
  uint8_t DriverByte;  // for the driver's own use; set once at start-up
};
static_assert(sizeof(FilterRecord) == 4, "the driver reads exactly 4 bytes");

inline constexpr size_t kDriverInfoRecordBytes = sizeof(DriverInfoRecord);
inline constexpr size_t kFilterRecordBytes = sizeof(FilterRecord);

// The record ManageFilter sends; written by its callers on the main thread only.
extern FilterRecord filterRecord;

// The screen the inform record reports: its size in pixels and the horizontal factor, DRAX(1).
// Written by the window each time it measures the screen (GUI::ComputeSize), on the main thread.
struct DriverScreen {
  int32_t width;
  int32_t height;
  int32_t scale;
};
extern DriverScreen driverScreen;

// The record as InformDriver would send it now.
DriverInfoRecord BuildDriverInfoRecord();
// The records' bytes as the driver reads them, whatever the byte order of the machine.
void EncodeDriverInfoRecord(const DriverInfoRecord& record, uint8_t (&out)[kDriverInfoRecordBytes]);
void EncodeFilterRecord(const FilterRecord& record, uint8_t (&out)[kFilterRecordBytes]);

// Sets filterRecord to the filter on with the keyboard and the mouse as the two settings say
// (only 1 counts as on), keeping the driver byte.
void SetFilterRecord(int32_t enableKeyboard, int32_t enableMouse);

// Sends the DriverInfoRecord. driverAnswered becomes 1 when the driver's result is exactly 1,
// else 0 (a driver that does not answer in time, or another user's program serving the device);
// it is left as it was when the device does not exist.
void InformDriver();
// Sends filterRecord. 1 when the driver took the record (whether or not it accepted it), 0 when
// the device could not be opened or did not answer in time.
int ManageFilter();
