// qmxsim.exe serving "\\.\pipe\QMX0" for a Wine test: started, asked, read and stopped.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/testing.h"
#include "tests/wine/wine_test_options.h"

class QmxsimServer {
 public:
  ~QmxsimServer() { Stop(); }
  // Starts `qmxsim serve --log <log>` (plus `extra`) and waits until its control pipe answers
  // (an unknown command changes nothing). False when it does not come up.
  bool Start(const WString& log, const WString& extra = u"") {
    log_ = log;
    platform::RemoveFile(log_.c_str());
    if (!server_.Start(QmxsimCommand(u"serve --log ") + Quoted(log_) + extra)) return false;
    const std::string ping = "ping";
    for (int i = 0; i < 100; ++i) {
      std::vector<uint8_t> answer;
      if (platform::win32test::PipeExchange(u"\\\\.\\pipe\\QMX0.control",
                                            std::vector<uint8_t>(ping.begin(), ping.end()), true, &answer))
        return true;
      if (!server_.Running()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }
  bool Running() const { return server_.Running(); }
  void Stop() {
    if (server_.Running()) Sim(u"stop");
    server_.Stop(10000);
  }
  // Runs a qmxsim command; its exit code. A start that Wine refuses now and then (-1: the
  // program did not start) is tried again.
  int Sim(const WString& args, std::string* output = nullptr) {
    int code = -1;
    for (int attempt = 0; attempt < 3 && code == -1; ++attempt) {
      code = platform::win32test::RunProgram(QmxsimCommand(args), output);
    }
    return code;
  }
  // The record log: one line per record received.
  std::string Records() const {
    std::string text;
    platform::FileReadAll(log_.c_str(), text);
    return text;
  }

 private:
  WString log_;
  platform::win32test::Background server_;
};
