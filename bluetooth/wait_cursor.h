// The wait cursor shown during slow steps of the settings window.
#pragma once

// On: the platform's wait cursor, shown. Off: no cursor, and the display count lowered again.
void SetWaitCursor(bool on);
