// One running copy of a program: a named lock that the first process to take it holds until it
// ends (a lock left by a process that died is taken over).
#pragma once

#include "platform/text.h"

namespace platform {

// True when the calling process holds the lock now (also when it already did); false while
// another process holds it.
bool TakeInstanceLock(const WChar* name);

}  // namespace platform
