// The user's settings: one record in memory, one registry key on the device.
#pragma once

#include <cstdint>

#include "platform/text.h"

inline constexpr int kButtonCount = 5;
inline constexpr int kParamChars = 255;  // 510 bytes, terminator included

struct ButtonAssignment {
  int32_t Action;  // index into ActionNames
  WChar Param1[kParamChars];
  WChar Param2[kParamChars];
};

struct Settings {
  int32_t Enable_Tray;
  int32_t Enable_Autostart;
  int32_t BacklightTimeout;
  int32_t Enable_Mouse;
  int32_t Enable_KB;
  int32_t Cursor;
  int32_t Speed;
  ButtonAssignment Buttons[kButtonCount];
  int32_t KBSounds;
};

// Fills the record from the program key; always 1.
int LoadSettings(Settings& settings);
// Writes the record, flushes the registry and informs the driver; 1 plus the number of failed writes.
int SaveSettings(const Settings& settings);
