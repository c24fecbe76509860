#include "platform/desktop_launch.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace {

using platform::DesktopLaunch;

// The device's own programs are never looked for on a desktop's drive; system programs come from
// the system folder.
TEST(DesktopLaunchTest, DevicePathsAndSystemPrograms) {
  const WChar* system = u"C:\\windows\\system32";
  struct Row {
    const char* label;
    const WChar *file, *parameters;
    DesktopLaunch::Kind kind;
    const WChar *startedFile, *startedParameters;
  } rows[] = {
      {"Bluetooth applet", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23", DesktopLaunch::BluetoothSettings, u"", u""},
      {"its pairing page", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23,1", DesktopLaunch::BluetoothSettings, u"", u""},
      {"in capitals", u"\\WINDOWS\\CTLPNL.EXE", u"CPLMAIN.CPL,23", DesktopLaunch::BluetoothSettings, u"", u""},
      {"bonding program", u"\\windows\\bthbond.exe", u"", DesktopLaunch::BluetoothSettings, u"", u""},
      {"another device applet", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,230", DesktopLaunch::Refused, u"", u""},
      {"the host alone", u"\\windows\\ctlpnl.exe", u"", DesktopLaunch::Refused, u"", u""},
      {"another device program", u"\\windows\\pword.exe", u"x.txt", DesktopLaunch::Refused, u"", u""},
      {"control panel by name", u"control.exe", u"joy.cpl", DesktopLaunch::Program,
       u"C:\\windows\\system32\\control.exe", u"joy.cpl"},
      {"browser with an address", u"iexplore.exe", u"https://www.morvane.com", DesktopLaunch::Address,
       u"https://www.morvane.com", u""},
      {"a program by its full path", u"C:\\Program Files\\Quillmote\\Ollendock.exe", u"-tray", DesktopLaunch::Program,
       u"C:\\Program Files\\Quillmote\\Ollendock.exe", u"-tray"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    DesktopLaunch got = platform::ResolveDesktopLaunch(r.file, r.parameters, system);
    EXPECT_EQ(got.kind, r.kind);
    EXPECT_EQ(ToUtf8(got.file), ToUtf8(WString(r.startedFile)));
    EXPECT_EQ(ToUtf8(got.parameters), ToUtf8(WString(r.startedParameters)));
  }
}

}  // namespace
