// What the Wine tier's test programs share: the one main they run (wine_test_main.cpp), which
// each program tells what it needs by defining its `wineSuite`; the Unix paths they are given on
// the command line (--qmxsim, --fixtures, --work) and the command lines they build from them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/win32/testing/win32_test_support.h"

struct WineTestPaths {
  std::string qmxsim, fixtures, work;
};
inline WineTestPaths winePaths;

// A test program's part in the shared main, which reads --qmxsim and --work into `winePaths`
// and then the program's own options; a missing one prints the usage line and ends with 2.
struct WineSuite {
  // The line printed when an option is missing ("usage: NAME --qmxsim EXE ...").
  const char* usage;
  // The options the program needs besides --qmxsim and --work, each with where its value goes.
  std::vector<std::pair<const char*, std::string*>> needs;
  // Once every option is there, before the tests: what the program prepares; may be null.
  void (*prepare)();
  // Before anything else: what a copy of the program started for another part does, as its exit
  // code, or -1 when it is the test program; may be null.
  int (*startedAs)();
};
// Defined by each Wine test program.
extern const WineSuite wineSuite;

// The value given after `name` ("--device WxH") on the command line; empty when it is not there.
std::string WineOption(const char* name);

inline WString Quoted(const WString& s) {
  return u"\"" + s + u"\"";
}

// "qmxsim.exe" followed by `args`, ready for RunProgram or Background::Start.
inline WString QmxsimCommand(const WString& args) {
  return Quoted(platform::win32test::WindowsPath(winePaths.qmxsim)) + u" " + args;
}
