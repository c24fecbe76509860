// LoadSettings over a program key made of the fuzzer's bytes, then SaveSettings and a second
// load: the record indexes its tables safely, every parameter is terminated, and what was saved
// loads back the same.
#include <cstring>

#include "platform/host/host_registry.h"
#include "settings/settings.h"
#include "tests/fuzz/fuzz_input.h"
#include "tray/registry_access.h"

namespace {

const WChar* const kValues[] = {u"Enable_Tray",
                                u"Enable_Autostart",
                                u"BacklightTimeout",
                                u"Enable_Mouse",
                                u"Enable_KB",
                                u"Speed",
                                u"Cursor",
                                u"KBSounds",
                                u"Left_Button_Action",
                                u"Left_Button_Param1",
                                u"Left_Button_Param2",
                                u"Middle_Button_Action",
                                u"Middle_Button_Param1",
                                u"Middle_Button_Param2",
                                u"Right_Button_Action",
                                u"Right_Button_Param1",
                                u"Right_Button_Param2",
                                u"Wheel_Up_Action",
                                u"Wheel_Up_Param1",
                                u"Wheel_Up_Param2",
                                u"Wheel_Down_Action",
                                u"Wheel_Down_Param1",
                                u"Wheel_Down_Param2"};

bool Terminated(const WChar* s) {
  for (int i = 0; i < kParamChars; ++i)
    if (s[i] == 0) return true;
  return false;
}

void CheckRecord(const Settings& s) {
  FUZZ_CHECK(s.Speed >= 0 && s.Speed < kSpeedCount);
  FUZZ_CHECK(s.Cursor >= 0 && s.Cursor < kCursorCount);
  FUZZ_CHECK(s.Enable_Mouse == 0);
  for (const ButtonAssignment& b : s.Buttons) {
    FUZZ_CHECK(b.Action >= 0 && b.Action < kActionCount);
    FUZZ_CHECK(Terminated(b.Param1));
    FUZZ_CHECK(Terminated(b.Param2));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  platform::host::RegistryReset();
  platform::RegKey key;
  platform::RegCreate(kProgramKey, platform::RegAccess::All, key);
  for (const WChar* v : kValues)
    if (in.Byte() & 1) in.Value(key, v);
  key.Close();
  Settings first;
  std::memset(&first, 0, sizeof first);
  LoadSettings(first);
  CheckRecord(first);
  SaveSettings(first);
  Settings second;
  std::memset(&second, 0x5A, sizeof second);
  LoadSettings(second);
  CheckRecord(second);
  FUZZ_CHECK(second.Enable_Tray == first.Enable_Tray && second.Speed == first.Speed && second.Cursor == first.Cursor &&
             second.KBSounds == first.KBSounds && second.Enable_KB == first.Enable_KB);
  for (int i = 0; i < kButtonCount; ++i) {
    FUZZ_CHECK(second.Buttons[i].Action == first.Buttons[i].Action);
    FUZZ_CHECK(WString(second.Buttons[i].Param1) == WString(first.Buttons[i].Param1));
    FUZZ_CHECK(WString(second.Buttons[i].Param2) == WString(first.Buttons[i].Param2));
  }
  return 0;
}
