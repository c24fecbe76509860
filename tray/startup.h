// The tray program from its entry point to its end: the start-up steps in their fixed order, the
// message loop, and the pieces of start-up that stand on their own.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"

// The device identifier text: the nine bytes after the identifier record's 20-byte header, two
// upper-case hexadecimal digits each.
inline constexpr int kDeviceIdRecordBytes = 255;
inline constexpr int kDeviceIdTextChars = 19;
void FormatDeviceId(const uint8_t (&record)[kDeviceIdRecordBytes], WChar (&text)[kDeviceIdTextChars]);

// Whether a start goes on: always with autostart on; otherwise only when the command line is
// "-tray" as a whole, in any letter case.
bool RunRuleAllows(uint32_t autostart, const WChar* commandLine);

// Writes a resource of the program to a file, replacing it; 1 when written, else 0 (nothing
// written).
int ExtractResourceFile(const WChar* target, const WChar* type, uint16_t id);

// Takes and dispatches the thread's messages until the quit message; its exit code.
int RunMessageLoop();
// The exit code of a normal end (the quit message's, as the shutdown posts it).
inline constexpr int kNormalExit = 0;

// WinMain: the whole life of the tray program; the process exit code.
int RunTrayProgram(platform::InstanceHandle instance, const WChar* commandLine);

// What the end of the process releases, after RunTrayProgram has returned: the window's
// resources, and the selected device unless the listener had to be stopped from outside (a lock
// it held would never be given back).
void ReleaseAtExit();
