// ScanPairedDevices against a bare loop over the same keys and values, both on the real
// registry (Windows, or Wine seeded by bench/run_bench_scan.sh). Usage: bench_scan <devices>
// <rounds>. Each round times one scan and one bare loop, in turn; the medians are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bluetooth/paired_devices.h"
#include "platform/win32/testing/win32_bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int CountActive(void* context, const PairedDevice* device) {
  auto* counts = static_cast<uint32_t*>(context);
  ++counts[0];
  if (device->flags & kDeviceActive) ++counts[1];
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_scan <devices> <rounds>\n");
    return 2;
  }
  const unsigned long devices = std::strtoul(argv[1], nullptr, 10);
  const int rounds = std::atoi(argv[2]);
  std::vector<double> scanMs, bareMs;
  uint32_t counts[2] = {};
  uint32_t bareCount = 0;
  // One untimed round of each: the stack's defaults are read once per process, and the first
  // reads warm the registry's caches.
  ScanPairedDevices(counts, CountActive);
  platform::win32bench::BareDeviceScan(ServiceClassNames, kServiceClassCount);
  for (int r = 0; r < rounds; ++r) {
    counts[0] = counts[1] = 0;
    auto t0 = Clock::now();
    ScanPairedDevices(counts, CountActive);
    auto t1 = Clock::now();
    bareCount = platform::win32bench::BareDeviceScan(ServiceClassNames, kServiceClassCount);
    auto t2 = Clock::now();
    scanMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    bareMs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  if (counts[0] != devices || bareCount != devices) {
    std::fprintf(stderr, "expected %lu devices, the scan reported %u and the bare loop opened %u\n", devices, counts[0],
                 bareCount);
    return 1;
  }
  double scan = Median(scanMs), bare = Median(bareMs);
  std::printf("devices=%lu rounds=%d scan_median_ms=%.3f bare_median_ms=%.3f ratio=%.3f scan_us_per_device=%.2f\n",
              devices, rounds, scan, bare, scan / bare, scan * 1000.0 / static_cast<double>(devices));
  return 0;
}
