// Process-wide state of the tray program, owned by its start-up and shutdown code.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/handles.h"
#include "platform/paint.h"
#include "platform/text.h"
#include "platform/threads.h"

// The program's instance, as WinMain received it; resources and the wait cursor are loaded from it.
extern platform::InstanceHandle appInstance;

// The value of "EnableDebug", read once at start-up before any other thread exists; 0 keeps the
// debug log silent.
extern uint32_t debugEnabled;

// The About page's texts from the registry; empty when missing.
inline constexpr int kAboutTextChars = 260;
extern WChar AboutWebName[kAboutTextChars];
extern WChar AboutWebLink[kAboutTextChars];
extern WChar Version[kAboutTextChars];
extern WChar Description[kAboutTextChars];

// Signalled by the shutdown sequence; nothing waits on it.
extern platform::OwnedEvent closeEvent;
// The driver listener thread, as returned when it was created; null until then.
extern platform::ThreadHandle listenerThread;
// Set once by the shutdown sequence, read by the listener thread before every wait.
extern std::atomic<uint8_t> terminateRequested;
// 1 when the shutdown had to stop the listener from outside: whatever it held stays held, so the
// end of the process takes no lock it may have shared.
extern std::atomic<uint8_t> listenerKilled;
// The maker's logo, loaded at start-up from the file written out of the program's resources;
// null when it could not be loaded. The about page draws it.
extern platform::OwnedBitmap logoBitmap;
// 1 once start-up has got past its first steps; sent to the driver as the last word of the
// driver info record. Written on the main thread only.
extern uint8_t driverReady;
