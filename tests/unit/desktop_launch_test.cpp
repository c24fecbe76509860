#include "platform/win32/desktop_launch.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace {

using platform::DesktopLaunch;

// The device's own programs are never looked for on a desktop's drive; system programs come from
// the system folder.
TEST(DesktopLaunchTest, DevicePathsAndSystemPrograms) {
  using L = DesktopLaunch;
  struct Row {
    const char* label;
    const WChar *file, *parameters;
    L launch;
  } rows[] = {
      {"Bluetooth applet", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23", L::BluetoothSettings},
      {"its pairing page", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,23,1", L::BluetoothSettings},
      {"in capitals", u"\\WINDOWS\\CTLPNL.EXE", u"CPLMAIN.CPL,23", L::BluetoothSettings},
      {"bonding program", u"\\windows\\bthbond.exe", u"", L::BluetoothSettings},
      {"another device applet", u"\\windows\\ctlpnl.exe", u"cplmain.cpl,230", L::Refused},
      {"the host alone", u"\\windows\\ctlpnl.exe", u"", L::Refused},
      {"another device program", u"\\windows\\pword.exe", u"x.txt", L::Refused},
      {"control panel by name", u"control.exe", u"joy.cpl", L::FromSystemFolder},
      {"browser with an address", u"iexplore.exe", u"https://www.morvane.com", L::Address},
      {"the browser alone", u"iexplore.exe", u"", L::AsNamed},
      {"a program by its full path", u"C:\\Program Files\\Quillmote\\Ollendock.exe", u"-tray", L::AsNamed},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    EXPECT_EQ(platform::ResolveDesktopLaunch(r.file, r.parameters), r.launch);
  }
}

}  // namespace
