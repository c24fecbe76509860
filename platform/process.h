// The running process's own resource figures, for the diagnostics line of the debug log.
#pragma once

#include <cstdint>

namespace platform {

struct ProcessFigures {
  int gdiObjects;         // live GDI objects (-1 when the platform cannot tell)
  int windows;            // windows of the process, top-level and children
  int kernelHandles;      // open kernel handles (-1 when the platform cannot tell)
  uint64_t privateBytes;  // memory committed to the process alone
};

// Measures the process now; the GDI count looks at every handle value and takes a few
// milliseconds.
ProcessFigures MeasureProcess();

}  // namespace platform
