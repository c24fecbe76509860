// Ollenset, the control-panel applet: one entry in the device's Settings that starts the tray
// program, or brings its window forward when it runs.
#pragma once

#include <cstdint>

#include "platform/handles.h"

// The library's instance, kept when it is loaded into a process.
extern platform::InstanceHandle cplInstance;

// The library's control-panel entry: the platform's CPlApplet with its parent window, message
// and two parameters.
int32_t OllensetApplet(platform::WindowHandle parent, uint32_t message, intptr_t param1, intptr_t param2);
