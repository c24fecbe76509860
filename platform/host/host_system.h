// Test control of the host's clock and memory figures.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/system.h"

namespace platform::host {

// Replaces the real clock or memory reading; an empty function restores the real one.
void SetTimeOfDaySource(std::function<TimeOfDay()> source);
void SetAvailableMemorySource(std::function<uint64_t()> source);
void SetMonotonicSource(std::function<uint64_t()> source);
// The pauses asked for (the host does not sleep); TickCount follows the monotonic source.
std::vector<uint32_t> Sleeps();
void ClearSleeps();
// Runs after each recorded pause (for a test that lets something happen "meanwhile"); an empty
// function removes it.
void SetSleepHook(std::function<void(uint32_t)> hook);
// The user's interface language the host reports (a LANGID); English (0x0409) at start.
void SetUserInterfaceLanguage(uint16_t language);

}  // namespace platform::host
