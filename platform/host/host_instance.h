// Host double of the instance lock: tests play the other process.
#pragma once

#include "platform/instance.h"

namespace platform::host {

// Nothing held by anyone.
void InstanceLocksReset();
// Another process holds (or no longer holds) the lock of that name.
void SetLockHeldElsewhere(const WChar* name, bool held);

}  // namespace platform::host
