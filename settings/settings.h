// The user's settings: one record in memory, one registry key on the device.
#pragma once

#include <cstdint>

#include "platform/text.h"

inline constexpr int kButtonCount = 5;
inline constexpr int kParamChars = 255;  // 510 bytes, terminator included
inline constexpr int kActionCount = 17;
inline constexpr int kSpeedCount = 11;
inline constexpr int kCursorCount = 10;

// The buttons, whose names (blanks turned into underscores) prefix their registry values; the
// actions and the speeds as the user reads them, indexed by the stored Action and Speed.
extern const WChar ButtonNames[kButtonCount][30];
extern WChar ActionNames[kActionCount][20];
extern WChar SpeedNames[kSpeedCount][6];

// Fills the action and speed names from the texts chosen at start (ChooseTextLanguage).
void LoadNameTables();

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

// Fills the record from the program key; always 1. A value that is missing, of another type or
// too large for its field leaves the field as it was; a parameter without a terminator is not
// taken either. Enable_Mouse is cleared, and Action, Speed and Cursor are clamped into their
// tables, so that the record can index them directly.
int LoadSettings(Settings& settings);
// Writes the record, flushes the registry and informs the driver; 1 plus the number of failed writes.
int SaveSettings(const Settings& settings);
