// The names the tray program, its control-panel applet, the installer, the tools and the tests
// share: the window they find, the lock the running instance holds, the program's key. The
// installer reads its copies from these lines (installer/quillmote.nsi): keep each on one line.
#pragma once

#include "platform/text.h"

// The settings window's class and title: how a second start, the applet, the installer and the
// tools find the running program.
inline constexpr WChar kMainWindowClass[] = u"MORVANE.Quillmote";
inline constexpr WChar kMainWindowTitle[] = u"Quillmote";
// The named lock the running instance holds until its process ends; it carries the class's name.
inline constexpr const WChar* kInstanceLock = kMainWindowClass;
// The registered message that makes the running program log its resource figures.
inline constexpr WChar kDiagnosticsMessage[] = u"MORVANE.Quillmote.Diagnostics";

// The program's key, as the device spells it. The platform's registry calls drop the leading
// backslash, which desktop Windows rejects.
inline constexpr WChar kProgramKey[] = u"\\Software\\Morvane\\Quillmote";
// The same key without the backslash, for calls straight to the desktop's registry API.
inline constexpr const WChar* kProgramSubkey = kProgramKey + 1;
