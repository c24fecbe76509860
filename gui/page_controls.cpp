// The page controls: each page switch destroys the controls of the old page and builds those of
// the new one from the settings; LayoutPage places what follows the screen and the selected button.
#include "bluetooth/wait_cursor.h"
#include "gui/gui.h"
#include "gui/main_window.h"
#include "gui/scale.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/html_view.h"
#include "platform/messages.h"
#include "tray/debug_log.h"
#include "tray/install_path.h"
#include "tray/ui_text.h"
#include "tray/wformat.h"

namespace {

using namespace platform;

constexpr uint32_t kCheckBox = kWsChild | kWsVisible | kBsAutoCheckBox;                // 0x50000003
constexpr uint32_t kDisabledCheckBox = kCheckBox | kWsDisabled;                        // 0x58000003
constexpr uint32_t kPushButton = kWsChild | kWsVisible | kBsPushButton;                // 0x50000000
constexpr uint32_t kDropDown = kWsChild | kWsVisible | kWsVScroll | kCbsDropDownList;  // 0x50200003
constexpr int kAddressChars = 260;

// A design value on one axis: DRAX (X), DRAY (Y) or none (0).
struct Scaled {
  char axis;
  int32_t v;
  int32_t Pixels() const { return axis == 'X' ? DRAX(v) : axis == 'Y' ? DRAY(v) : 0; }
};
constexpr Scaled X(int32_t v) {
  return Scaled{'X', v};
}
constexpr Scaled Y(int32_t v) {
  return Scaled{'Y', v};
}
constexpr Scaled kZero{'0', 0};

// How a control starts: the setting its check shows, or the list it is filled with.
enum class Start { None, Mouse, Keyboard, Sounds, Always, Autostart, Tray, Actions, Speeds };

struct ControlSpec {
  int page;
  ControlSlot slot;
  const WChar* className;
  uint32_t text;  // a text number, 0 for none
  uint32_t style;
  Scaled x, y, width, height;
  uint16_t id;
  Start start;
};

// The cursor buttons' and the "Change" button's widths are vertical values, as the layout
// has always had them.
const ControlSpec kControls[] = {
    {kMousePage, kMouseCheckSlot, u"button", QM_TEXT_MOUSE_SUPPORT, kCheckBox, X(5), kZero, X(240), Y(20),
     kCmdMouseCheck, Start::Mouse},
    {kMousePage, kActionListSlot, u"combobox", 0, kDropDown, kZero, kZero, kZero, kZero, kCmdActionList,
     Start::Actions},
    {kMousePage, kPreviousCursorSlot, u"button", QM_TEXT_PREVIOUS_CURSOR, kPushButton, X(48), Y(140), Y(20), Y(20),
     kCmdPreviousCursor, Start::None},
    {kMousePage, kNextCursorSlot, u"button", QM_TEXT_NEXT_CURSOR, kPushButton, X(88), Y(140), Y(20), Y(20),
     kCmdNextCursor, Start::None},
    {kMousePage, kSpeedListSlot, u"combobox", 0, kDropDown, X(160), Y(140), X(75), Y(100), kCmdSpeedList,
     Start::Speeds},
    {kKeyboardPage, kKeyboardCheckSlot, u"button", QM_TEXT_KEYBOARD_SUPPORT, kCheckBox, X(5), kZero, X(240), Y(20),
     kCmdKeyboardCheck, Start::Keyboard},
    {kKeyboardPage, kSoundsCheckSlot, u"button", QM_TEXT_KEYBOARD_SOUNDS, kCheckBox, X(5), Y(120), X(240), Y(20),
     kCmdSoundsCheck, Start::Sounds},
    {kSettingsPage, kStatusCheckSlot, u"button", QM_TEXT_STATUS_DISPLAY, kDisabledCheckBox, X(5), kZero, X(240), Y(20),
     kCmdStatusCheck, Start::Always},
    {kSettingsPage, kAutostartCheckSlot, u"button", QM_TEXT_AUTOSTART, kCheckBox, X(5), Y(40), X(240), Y(20),
     kCmdAutostartCheck, Start::Autostart},
    {kSettingsPage, kTrayCheckSlot, u"button", QM_TEXT_TRAY_ICON, kCheckBox, X(5), Y(60), X(240), Y(20), kCmdTrayCheck,
     Start::Tray},
    {kSettingsPage, kChangeButtonSlot, u"button", QM_TEXT_CHANGE, kPushButton, X(110), Y(100), Y(60), Y(20),
     kCmdChangeButton, Start::None},
};

void SetChecked(WindowHandle box, int32_t setting) {
  Send(box, kBmSetCheck, setting != 0 ? kBstChecked : 0, 0);
}

template <size_t N, size_t M>
void Fill(WindowHandle list, const WChar (&names)[N][M]) {
  for (size_t i = 0; i < N; ++i) Send(list, kCbAddString, i, reinterpret_cast<intptr_t>(names[i]));
}

void StartControl(const GUI& gui, WindowHandle control, Start start) {
  const Settings& s = gui.settings;
  switch (start) {
    case Start::Mouse:
      SetChecked(control, s.Enable_Mouse);
      break;
    case Start::Keyboard:
      SetChecked(control, s.Enable_KB);
      break;
    case Start::Sounds:
      SetChecked(control, s.KBSounds);
      break;
    case Start::Always:
      SetChecked(control, 1);
      break;
    case Start::Autostart:
      SetChecked(control, s.Enable_Autostart);
      break;
    case Start::Tray:
      SetChecked(control, s.Enable_Tray);
      break;
    case Start::Actions:
      Fill(control, ActionNames);
      break;
    case Start::Speeds:
      Fill(control, SpeedNames);
      Send(control, kCbSetCurSel, static_cast<uintptr_t>(s.Speed), 0);
      break;
    case Start::None:
      break;
  }
}

// The help view, loading the installed help page.
void BuildHelpView(GUI& gui) {
  SetWaitCursor(true);
  InitHtmlControl(gui.Instance);
  WindowHandle view =
      MakeWindow(0, kHtmlViewClass, nullptr, kWsChild | kWsVisible, 0, 0, 0, 0, gui.MainWindow, 0, gui.Instance);
  gui.Controls[kHelpViewSlot] = view;
  if (view) {
    Send(view, kDtmClear, 0, 0);
    // The page in the user's language, the English one where there is none.
    WChar page[32] = u"help.html";
    if (WString(TextLanguageTag()) != u"en") FormatWide(page, 32, u"help_%s.html", TextLanguageTag());
    const WChar* path = ComposeInstallPath(u"help", page);
    if (!path[0] || !FileExists(path)) path = ComposeInstallPath(u"help", u"help.html");
    WChar address[kAddressChars];
    // An address that does not fit is not loaded: cut, it could name another page.
    if (FormatWide(address, kAddressChars, u"file://%s", path) >= 0 && path[0]) {
      DebugLog(u"WC_HTML [%X], loading [%s]", view, address);
      if (WChar* platformString = AllocPlatformString(address)) {
        Send(view, kDtmNavigate, 0, reinterpret_cast<intptr_t>(platformString));
        FreePlatformString(platformString);
      }
    } else {
      DebugLog(u"WC_HTML [%X], help page path does not fit: nothing loaded", view);
    }
  }
  SetWaitCursor(false);
}

}  // namespace

int GUI::InitWindowComponents() {
  for (auto& control : Controls) {
    if (control) Destroy(control);
    control = nullptr;
  }
  int32_t page = CurrentPage;
  DebugLog(u"GUI::InitWindowComponents page: %d", page);
  if (page == kHelpPage) {
    BuildHelpView(*this);
  } else {
    for (const ControlSpec& c : kControls) {
      if (c.page != page) continue;
      WindowHandle control = MakeWindow(0, c.className, c.text ? UiText(c.text) : u"", c.style, c.x.Pixels(),
                                        c.y.Pixels(), c.width.Pixels(), c.height.Pixels(), MainWindow, c.id, Instance);
      Controls[c.slot] = control;
      if (control) StartControl(*this, control, c.start);
    }
  }
  return LayoutPage();
}

int GUI::LayoutPage() {
  if (TabControl) Move(TabControl, 0, ScreenHeight - 2 * MH - DRAY(22), ScreenWidth, DRAY(22), false);
  int32_t page = CurrentPage;
  if (page == kMousePage) {
    int32_t column = SelectedButton <= 2 ? SelectedButton : SelectedButton - 2;
    WindowHandle list = Controls[kActionListSlot];
    Move(list, DRAX(5) + column * DRAX(48), DRAY(110), DRAX(134), DRAY(150), false);
    Send(list, kCbSetCurSel, static_cast<uintptr_t>(settings.Buttons[SelectedButton].Action), 0);
  } else if (page == kHelpPage) {
    // The top margin uses the horizontal factor too, as the page has always been laid out.
    Move(Controls[kHelpViewSlot], DRAX(5), DRAX(5), ScreenWidth - 2 * DRAX(5),
         ScreenHeight - 2 * (DRAX(5) + DRAY(10) + MH), false);
  }
  InvalidateWindow(MainWindow, false);
  return 1;
}
