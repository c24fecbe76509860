#include "settings/settings.h"

#include <cstring>

#include "driver_link/driver_control.h"
#include "platform/registry.h"
#include "tray/debug_log.h"
#include "tray/registry_access.h"
#include "tray/ui_text.h"
#include "tray/wformat.h"

const WChar ButtonNames[kButtonCount][30] = {
    u"Left Button", u"Middle Button", u"Right Button", u"Wheel Up", u"Wheel Down",
};

WChar ActionNames[kActionCount][20];
WChar SpeedNames[kSpeedCount][6];

void LoadNameTables() {
  for (int i = 0; i < kActionCount; ++i) WCopy(ActionNames[i], 20, UiText(QM_TEXT_ACTION_FIRST + i));
  for (int i = 0; i < kSpeedCount; ++i) WCopy(SpeedNames[i], 6, UiText(QM_TEXT_SPEED_FIRST + i));
}

namespace {

constexpr uint32_t kParamBytes = kParamChars * sizeof(WChar);  // 510

// The three value names of one button: its name with blanks as underscores, then the suffix.
struct ButtonValueNames {
  WChar action[64], param1[64], param2[64];
};

ButtonValueNames NamesOf(int button) {
  WChar prefix[30];
  WCopy(prefix, 30, ButtonNames[button]);
  for (WChar& c : prefix)
    if (c == u' ') c = u'_';
  ButtonValueNames n;
  FormatWide(n.action, 64, u"%s_Action", prefix);
  FormatWide(n.param1, 64, u"%s_Param1", prefix);
  FormatWide(n.param2, 64, u"%s_Param2", prefix);
  return n;
}

// Each read goes through a scratch buffer so that a failed read (a value of another type still
// hands over its bytes) never changes the field.
void ReadNumber(const WChar* name, int32_t& field) {
  int32_t value = 0;
  if (ReadSetting(name, platform::kRegDword, &value, sizeof value) == 1) field = value;
}

void ReadParam(const WChar* name, WChar (&field)[kParamChars]) {
  WChar value[kParamChars] = {};
  if (ReadSetting(name, platform::kRegSz, value, kParamBytes) != 1) return;
  // 510 bytes of text without a terminator would leave the field unterminated.
  for (WChar c : value) {
    if (c == 0) {
      std::memcpy(field, value, sizeof value);
      return;
    }
  }
}

int32_t Clamp(int32_t v, int32_t count) {
  return v < 0 ? 0 : v >= count ? count - 1 : v;
}

int WriteNumber(const WChar* name, int32_t value) {
  return WriteSetting(name, platform::kRegDword, &value, sizeof value) == 1 ? 0 : 1;
}

// The whole 510-byte field: the text, then zero characters up to the end.
int WriteParam(const WChar* name, const WChar (&field)[kParamChars]) {
  WChar value[kParamChars] = {};
  for (int i = 0; i < kParamChars - 1 && field[i] != 0; ++i) value[i] = field[i];
  return WriteSetting(name, platform::kRegSz, value, kParamBytes) == 1 ? 0 : 1;
}

}  // namespace

int LoadSettings(Settings& settings) {
  ReadNumber(u"Enable_Tray", settings.Enable_Tray);
  ReadNumber(u"Enable_Autostart", settings.Enable_Autostart);
  ReadNumber(u"BacklightTimeout", settings.BacklightTimeout);
  ReadNumber(u"Enable_Mouse", settings.Enable_Mouse);
  // Every run starts with the driver's mouse handling off, whatever is stored.
  settings.Enable_Mouse = 0;
  ReadNumber(u"Enable_KB", settings.Enable_KB);
  ReadNumber(u"Speed", settings.Speed);
  ReadNumber(u"Cursor", settings.Cursor);
  for (int b = 0; b < kButtonCount; ++b) {
    ButtonValueNames names = NamesOf(b);
    ButtonAssignment& button = settings.Buttons[b];
    ReadNumber(names.action, button.Action);
    ReadParam(names.param1, button.Param1);
    ReadParam(names.param2, button.Param2);
    button.Action = Clamp(button.Action, kActionCount);
  }
  ReadNumber(u"KBSounds", settings.KBSounds);
  settings.Speed = Clamp(settings.Speed, kSpeedCount);
  settings.Cursor = Clamp(settings.Cursor, kCursorCount);
  DebugLog(
      u"LoadSettings Enable_Tray=%d Enable_Autostart=%d Enable_Mouse=%d Enable_KB=%d Speed=%d Cursor=%d "
      u"KBSounds=%d",
      settings.Enable_Tray, settings.Enable_Autostart, settings.Enable_Mouse, settings.Enable_KB, settings.Speed,
      settings.Cursor, settings.KBSounds);
  return 1;
}

int SaveSettings(const Settings& settings) {
  DebugLog(
      u"SaveSettings Enable_Tray=%d Enable_Autostart=%d Enable_Mouse=%d Enable_KB=%d Speed=%d Cursor=%d "
      u"KBSounds=%d",
      settings.Enable_Tray, settings.Enable_Autostart, settings.Enable_Mouse, settings.Enable_KB, settings.Speed,
      settings.Cursor, settings.KBSounds);
  int failed = 0;
  failed += WriteNumber(u"Enable_Tray", settings.Enable_Tray);
  failed += WriteNumber(u"Enable_Autostart", settings.Enable_Autostart);
  failed += WriteNumber(u"Enable_Mouse", settings.Enable_Mouse);
  failed += WriteNumber(u"Enable_KB", settings.Enable_KB);
  failed += WriteNumber(u"Speed", settings.Speed);
  failed += WriteNumber(u"Cursor", settings.Cursor);
  for (int b = 0; b < kButtonCount; ++b) {
    ButtonValueNames names = NamesOf(b);
    const ButtonAssignment& button = settings.Buttons[b];
    failed += WriteNumber(names.action, button.Action);
    failed += WriteParam(names.param1, button.Param1);
    failed += WriteParam(names.param2, button.Param2);
  }
  failed += WriteNumber(u"KBSounds", settings.KBSounds);
  platform::RegFlush(platform::SettingsRoot());
  InformDriver();
  return 1 + failed;
}
