// The host's figures: what its own models hold.
#include "platform/host/host_paint.h"
#include "platform/host/host_window.h"
#include "platform/process.h"

namespace platform {

ProcessFigures MeasureProcess() {
  return ProcessFigures{host::LiveGdiObjects(), host::LiveWindowCount(), -1, 0};
}

}  // namespace platform
