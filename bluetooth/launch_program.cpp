#include "bluetooth/launch_program.h"

#include "platform/shell.h"

int LaunchProgram(const WChar* program, const WChar* parameters) {
  return platform::ShellLaunch(program, parameters ? parameters : u"", platform::kSwShow) ? 1 : 0;
}
