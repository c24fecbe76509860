#include "platform/win32/desktop_launch.h"

namespace platform {
namespace {

bool StartsWithNoCase(const WChar* text, const WChar* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (WToLower(*text) != WToLower(*prefix)) return false;
  return true;
}

}  // namespace

DesktopLaunch ResolveDesktopLaunch(const WChar* file, const WChar* parameters) {
  if (!parameters) parameters = u"";
  static const WChar kApplet[] = u"cplmain.cpl,23";
  if (WCompareNoCase(file, u"\\windows\\bthbond.exe") == 0) return DesktopLaunch::BluetoothSettings;
  if (WCompareNoCase(file, u"\\windows\\ctlpnl.exe") == 0) {
    // The Bluetooth applet ("cplmain.cpl,23", "cplmain.cpl,23,1"); the device's other applets are
    // the device's only.
    size_t n = WLen(kApplet);
    bool bluetooth = StartsWithNoCase(parameters, kApplet) && (parameters[n] == 0 || parameters[n] == u',');
    return bluetooth ? DesktopLaunch::BluetoothSettings : DesktopLaunch::Refused;
  }
  if (StartsWithNoCase(file, u"\\windows\\")) return DesktopLaunch::Refused;
  if (WCompareNoCase(file, u"iexplore.exe") == 0 && parameters[0]) return DesktopLaunch::Address;
  if (WCompareNoCase(file, u"control.exe") == 0) return DesktopLaunch::FromSystemFolder;
  return DesktopLaunch::AsNamed;
}

}  // namespace platform
