#include "gui/gui.h"

GUI theGUI{};
GUI* TheGUI = &theGUI;
