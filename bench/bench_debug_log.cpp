// DebugLog with the log off (one test), and with it on against a bare open-append-write-close
// loop that writes the same line.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/host/host_files.h"
#include "tray/debug_log.h"

namespace {

void SetUpRoot() {
  static bool done = false;
  if (!done) {
    platform::host::SetDeviceRoot("/tmp/qm-bench-device");
    done = true;
  }
}

void BM_DebugLogOff(benchmark::State& state) {
  debugEnabled = 0;
  int i = 0;
  for (auto _ : state) {
    DebugLog(u"TM_KBSTATUS: %d", i++);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DebugLogOff);

void BM_DebugLogOn(benchmark::State& state) {
  SetUpRoot();
  debugEnabled = 1;
  for (auto _ : state) DebugLog(u"TM_KBSTATUS: %d", 1);
  debugEnabled = 0;
  unlink("/tmp/qm-bench-device/qm.tray.dbg");
}
BENCHMARK(BM_DebugLogOn);

void BM_BareAppend(benchmark::State& state) {
  SetUpRoot();
  const std::string line = "12:34:56@12345.678/0.123: TM_KBSTATUS: 1\n";
  const std::string path = "/tmp/qm-bench-device/bare.dbg";
  for (auto _ : state) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ssize_t n = write(fd, line.data(), line.size());
      benchmark::DoNotOptimize(n);
      close(fd);
    }
  }
  unlink(path.c_str());
}
BENCHMARK(BM_BareAppend);

}  // namespace

BENCHMARK_MAIN();
