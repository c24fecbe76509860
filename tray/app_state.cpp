#include "tray/app_state.h"

uint32_t debugEnabled = 0;
