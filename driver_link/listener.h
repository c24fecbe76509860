// The thread that receives the driver's status messages (TM_KBSTATUS, TM_MOUSESTATUS,
// TM_BLUETOOTH), keeps the status flags, connects when the radio comes on and asks for the
// status page to be repainted.
#pragma once

#include <cstdint>

// The status page: the only page that shows the flags.
inline constexpr int32_t kStatusPage = 2;

// The stack the listener reserves: the device's default for a thread. Its deepest work, a scan of
// the paired devices that logs the one it chose, uses a small part of it.
inline constexpr uint32_t kListenerStackBytes = 64 * 1024;

// The thread procedure; the parameter is not used. It returns when a message arrives after
// terminateRequested was set, or when the queue reports quit or fails.
uint32_t DriverListenThread(void* parameter);
