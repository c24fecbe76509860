// Process-wide state of the tray program, owned by its start-up and shutdown code.
#pragma once

#include <cstdint>

// The value of "EnableDebug", read once at start-up before any other thread exists; 0 keeps the
// debug log silent.
extern uint32_t debugEnabled;
