// Waiting in tests for something another thread or process does.
#pragma once

#include <chrono>
#include <thread>

// Polls `done` every 10 ms for up to ten seconds; true as soon as it holds.
template <typename Pred>
bool Eventually(Pred done) {
  for (int i = 0; i < 1000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}
