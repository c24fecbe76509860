// The application object and the state that goes with it, defined apart from the window's code so
// that what reads them (the shutdown, the pages, the notification icon) does not reach into it.
#include "gui/gui.h"

GUI theGUI{};
GUI* TheGUI = &theGUI;
platform::ShellActivateInfo ActivateInfo{};
int32_t AboutVisits = 0;
