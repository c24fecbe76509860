// The main of every Wine test program: GoogleTest takes its own flags, the program's options are
// read (each program's `wineSuite` names the ones it needs), then the tests run.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/wine/wine_test_options.h"

namespace {

// The arguments GoogleTest leaves.
std::vector<std::string> arguments;

}  // namespace

std::string WineOption(const char* name) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i)
    if (arguments[i] == name) return arguments[i + 1];
  return std::string();
}

int main(int argc, char** argv) {
  if (wineSuite.startedAs) {
    int code = wineSuite.startedAs();
    if (code >= 0) return code;
  }
  ::testing::InitGoogleTest(&argc, argv);
  arguments.assign(argv + 1, argv + argc);
  bool complete = true;
  std::vector<std::pair<const char*, std::string*>> needs = {{"--qmxsim", &winePaths.qmxsim},
                                                             {"--work", &winePaths.work}};
  needs.insert(needs.end(), wineSuite.needs.begin(), wineSuite.needs.end());
  for (const auto& [name, value] : needs) {
    *value = WineOption(name);
    complete = complete && !value->empty();
  }
  if (!complete) {
    std::fprintf(stderr, "%s\n", wineSuite.usage);
    return 2;
  }
  if (wineSuite.prepare) wineSuite.prepare();
  return RUN_ALL_TESTS();
}
