// Starting a program through the shell; shared by the tray program and the control-panel applet,
// so it depends on nothing but the platform.
#pragma once

#include "platform/text.h"

// Starts `program` with `parameters` (shown normally); returns the shell's result, 1 when the
// program was started, else 0.
int LaunchProgram(const WChar* program, const WChar* parameters);
