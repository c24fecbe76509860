// Test control of the host's clock and memory figures.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/system.h"

namespace platform::host {

// Replaces the real clock or memory reading; an empty function restores the real one.
void SetTimeOfDaySource(std::function<TimeOfDay()> source);
void SetAvailableMemorySource(std::function<uint64_t()> source);
void SetMonotonicSource(std::function<uint64_t()> source);

}  // namespace platform::host
