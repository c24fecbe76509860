// What the Wine tier's test programs share: the Unix paths they are given on the command line
// (--qmxsim, --fixtures, --work) and the command lines they build from them.
#pragma once

#include <string>

#include "platform/text.h"
#include "platform/win32/testing/win32_test_support.h"

struct WineTestPaths {
  std::string qmxsim, fixtures, work;
};
inline WineTestPaths winePaths;

// Takes the paths out of the arguments; false when one the program needs is missing.
inline bool ParseWinePaths(int argc, char** argv, bool needFixtures) {
  for (int i = 1; i + 1 < argc; ++i) {
    std::string a = argv[i];
    if (a == "--qmxsim") winePaths.qmxsim = argv[++i];
    if (a == "--fixtures") winePaths.fixtures = argv[++i];
    if (a == "--work") winePaths.work = argv[++i];
  }
  return !winePaths.qmxsim.empty() && !winePaths.work.empty() && (!needFixtures || !winePaths.fixtures.empty());
}

// The value given after `name` ("--resources DIR"); empty when it is not there.
inline std::string OptionValue(int argc, char** argv, const std::string& name) {
  for (int i = 1; i + 1 < argc; ++i)
    if (name == argv[i]) return argv[i + 1];
  return std::string();
}

inline WString Quoted(const WString& s) {
  return u"\"" + s + u"\"";
}

// "qmxsim.exe" followed by `args`, ready for RunProgram or Background::Start.
inline WString QmxsimCommand(const WString& args) {
  return Quoted(platform::win32test::WindowsPath(winePaths.qmxsim)) + u" " + args;
}
