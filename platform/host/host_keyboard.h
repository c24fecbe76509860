// The host's keyboard for tests: which keys are held down (the modifiers of a key press).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace platform::host {

// The keys held down from now on, replacing those held before (none: {}).
void HoldKeys(std::initializer_list<uint32_t> keys);

}  // namespace platform::host
