// The settings window: creation, the window procedure and the command handling that turns every
// control change into a stored setting.
#include "gui/main_window.h"

#include "bluetooth/connect.h"
#include "bluetooth/launch_program.h"
#include "driver_link/driver_control.h"
#include "driver_link/driver_status.h"
#include "gui/page_paint.h"
#include "gui/scale.h"
#include "gui/tray_icon.h"
#include "pickers/applet_picker.h"
#include "pickers/picker_frame.h"
#include "pickers/program_picker.h"
#include "platform/controls.h"
#include "platform/images.h"
#include "platform/instance.h"
#include "platform/keyboard.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/install_path.h"
#include "tray/program_names.h"
#include "tray/terminate_app.h"
#include "tray/ui_text.h"

namespace {

using namespace platform;

// The class background: the window colour, in the device's system-colour brush notation.
constexpr uintptr_t kWindowBrush = (kColorWindow | kSysColorIndexFlag) + 1;  // 0x40000006
constexpr uint32_t kTabStripStyle =
    kWsChild | kWsVisible | kWsClipSiblings | kTcsBottom | kTcsFlatButtons | kTcsRaggedRight;  // 0x5400080A
constexpr int kTitleChars = 101;
constexpr uint32_t kConnectBeepDelayMs = 1000;
// Where the about page's two tap areas lead when the installation left no address.
constexpr WChar kMakerAddress[] = u"https://www.morvane.com/quillmote";

struct TabSpec {
  uint32_t text;  // a text number; 0 for the mouse tab, which shows its icon only
  int image;
};
constexpr TabSpec kTabs[kPageCount] = {
    {0, 0}, {QM_TEXT_TAB_KEYBOARD, 1}, {QM_TEXT_TAB_STATUS, 2}, {QM_TEXT_TAB_HELP, 3}, {QM_TEXT_TAB_ABOUT, 4}};

// "TaskbarCreated": the desktop shell announces a restart, after which its icons are gone.
uint32_t taskbarCreatedMessage = 0;
// Asks for the process's resource figures in the debug log (long runs and leak hunts).
uint32_t diagnosticsMessage = 0;

// The instance that runs holds kInstanceLock; its window is what the others look for.
constexpr uint32_t kInstanceWaitMs = 10000;
constexpr uint32_t kInstancePollMs = 50;

// The window of a running instance, or null when this process may become the instance. Two
// starts at the same moment can both miss the other's window: the one that does not get the lock
// waits for the other's window to appear (or for the lock, when the other gives up first).
WindowHandle FindRunningInstance() {
  for (uint32_t waited = 0;; waited += kInstancePollMs) {
    if (WindowHandle running = FindTopLevel(kMainWindowClass, kMainWindowTitle)) return running;
    if (TakeInstanceLock(kInstanceLock) || waited >= kInstanceWaitMs) return nullptr;
    SleepMilliseconds(kInstancePollMs);
  }
}

bool Checked(WindowHandle box) {
  return Send(box, kBmGetCheck, 0, 0) == static_cast<intptr_t>(kBstChecked);
}

void ResetActivateInfo() {
  ActivateInfo = platform::ShellActivateInfo{};
  ActivateInfo.cbSize = sizeof ActivateInfo;
}

// A support check box: the setting follows it, and the driver's filter follows the settings.
void SupportBox(GUI& gui, int32_t& setting, int slot, const WChar* logFormat) {
  Settings& s = gui.settings;
  setting = Checked(gui.Controls[slot]) ? 1 : 0;
  SetFilterRecord(s.Enable_KB, s.Enable_Mouse);
  int sent = ManageFilter();
  DebugLog(logFormat, s.Enable_KB, s.Enable_Mouse, sent);
}

int SelectionOf(WindowHandle list) {
  return static_cast<int>(Send(list, kCbGetCurSel, 0, 0));
}

// Switching to the device's today screen puts it in front of this window: the window hides.
void OnWindowPosChanged(intptr_t lParam) {
  WindowHandle behind = InsertAfterOf(lParam);
  if (!behind) return;
  WChar title[kTitleChars] = {};
  ReadText(behind, title, kTitleChars);
  WString t = title;
  if (t == u"Desktop") Show(TheGUI->MainWindow, kSwHide);
}

// A machine that resumes from sleep may have reloaded its drivers: the driver hears again who to
// report to, the screen and the filter record.
void OnResume() {
  // Only an answer after the resume counts: a driver that is gone is not reported as informed.
  SetStatusFlag(driverStatus.driverAnswered, 0);
  InformDriver();
  int sent = ManageFilter();
  DebugLog(u"GUI: resumed, driver informed again: %d, ManageFilter= %d",
           static_cast<int>(driverStatus.driverAnswered.load()), sent);
}

void OnTrayMessage(GUI& gui, uintptr_t wParam, intptr_t lParam) {
  if (wParam != kTrayIconId || lParam != kWmLButtonUp) return;
  Show(gui.MainWindow, kSwShow);
  BringForward(gui.MainWindow);
}

// The user's own close (the caption's close box, Alt+F4, the taskbar) hides the window as "Hide"
// does: the program goes on in the background. Another program's close request is a plain
// WM_CLOSE, which still ends it.
void OnCloseBox(GUI& gui) {
  DebugLog(u"GUI, user closed the window: hidden");
  Show(gui.MainWindow, kSwHide);
}

// The session ends (log-off, shutdown), and the process with it once this returns: the program
// ends in order now, its settings saved and the driver's filter switched off, as at any other end.
void OnEndSession(GUI& gui, uintptr_t ending) {
  if (!ending) return;
  DebugLog(u"GUI: the session ends");
  Destroy(gui.MainWindow);
}

// A web address: "http://" or "https://" and more, with no blank, quote or control character.
bool IsWebAddress(const WChar* text) {
  WString t = WLower(text);
  size_t start = t.rfind(u"https://", 0) == 0 ? 8 : t.rfind(u"http://", 0) == 0 ? 7 : 0;
  if (start == 0 || t.size() == start) return false;
  for (WChar c : t)
    if (c <= u' ' || c == u'"' || c == 0x7F) return false;
  return true;
}

// The about page opens the maker's web address in the browser. Anything else the registry may hold
// there (a program, a document) is not started.
void OpenMakerAddress(const WChar* address) {
  if (!IsWebAddress(address)) {
    DebugLog(u"GUI: the about link is not a web address, nothing opened: [%s]", address);
    return;
  }
  LaunchProgram(u"iexplore.exe", address);
}

void OnPaint(GUI& gui, WindowHandle window) {
  PaintScope paint(window);
  PaintPage(gui, paint.dc(), window);
}

}  // namespace

int GUI::InitWindow(InstanceHandle instance) {
  DebugLog(u"GUI::InitWindow(%X) call.", instance);
  Instance = instance;
  if (WindowHandle running = FindRunningInstance()) {
    Show(running, kSwShow);
    BringForward(running);
    return -1;
  }
  if (!TakeInstanceLock(kInstanceLock)) return -1;
  TheGUI = this;
  ComputeSize();
  if (!WindowClassExists(Instance, kMainWindowClass)) {
    WindowClass c{kMainWindowClass, kCsHRedraw | kCsVRedraw, MainWndProc, Instance, nullptr, kIdcArrow, kWindowBrush};
    if (!RegisterWindowClass(c)) return -2;
  }
  taskbarCreatedMessage = RegisterMessageName(u"TaskbarCreated");
  diagnosticsMessage = RegisterMessageName(kDiagnosticsMessage);
  // The tab icons and pictures follow once the window exists (LoadWindowPictures): nothing shows
  // them before the window's first paint.
  LoadTrayIcon(*this);
  MainWindow = MakeWindow(0, kMainWindowClass, kMainWindowTitle, kWsSysMenu, kCwUseDefault, kCwUseDefault,
                          kCwUseDefault, kCwUseDefault, nullptr, 0, Instance);
  if (!MainWindow) return -3;
  statusWindow = MainWindow;
  PlaceAsShellWindow(MainWindow, MH);
  if (!CreateTabs(*this)) return -4;
  if (InitWindowComponents() != 1) return -5;
  // The window sees its keys before its controls do; their focus shows from the start.
  WatchWindowKeys(
      MainWindow, [](void* gui, const KeyPress& press) { return OnKey(*static_cast<GUI*>(gui), press); }, this);
  ShowFocusCues(MainWindow);
  Update(MainWindow);
  return 1;
}

int CreateTabs(GUI& gui) {
  gui.CurrentPage = kMousePage;
  gui.TabControl = MakeWindow(0, u"SysTabControl32", u"", kTabStripStyle, 0, 0, 0, 0, gui.MainWindow, 0, gui.Instance);
  if (!gui.TabControl) return 0;
  for (int i = 0; i < kPageCount; ++i) TabInsert(gui.TabControl, i, UiText(kTabs[i].text), kTabs[i].image);
  gui.CurrentPage = kKeyboardPage;
  Send(gui.TabControl, kTcmSetCurSel, kKeyboardPage, 0);
  return 1;
}

void LoadWindowPictures(GUI& gui) {
  if (gui.TabImages.IsOpen() || !Exists(gui.MainWindow)) return;
  LoadPictures(gui);
  Send(gui.TabControl, kTcmSetImageList, 0, reinterpret_cast<intptr_t>(gui.TabImages.handle()));
}

intptr_t MainWndProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  GUI& gui = *TheGUI;
  switch (message) {
    case kWmCreate:
      gui.MenuBar = CreateMenuBar(window, gui.Instance, kMainMenuBar, gui.MH);
      ResetActivateInfo();
      return 0;
    case kWmDestroy:
      TerminateApp();
      return 0;
    case kWmActivate:
      HandleActivate(window, wParam, lParam, ActivateInfo);
      OnActivate(gui, wParam);
      return 0;
    case kWmSetFocus:
      FocusPage(gui);
      return 0;
    case kWmPaint:
      OnPaint(gui, window);
      return 0;
    case kWmEraseBkgnd:
      return 1;
    case kWmSettingChange:
      OnSettingChange(gui, wParam, lParam);
      return 1;
    case kWmDisplayChange:
    case kWmDpiChanged:
      // Desktop Windows announces a new resolution or orientation with the first message alone, a
      // new scale of the desk with the second (its suggested place is not taken: the desk's rule
      // places the window).
      OnSettingChange(gui, 0, 0);
      return 1;
    case kWmWindowPosChanged:
      OnWindowPosChanged(lParam);
      return 0;
    case kWmNotify:
      OnTabChange(gui, lParam);
      return 0;
    case kWmCommand:
      OnCommand(gui, wParam);
      return 0;
    case kWmSysCommand:
      if ((wParam & kScCommandMask) != kScClose) break;
      OnCloseBox(gui);
      return 0;
    case kWmCtlColorStatic:
      return 1;
    case kWmLButtonUp:
      OnTap(gui, LowWord(static_cast<uintptr_t>(lParam)), HighWord(static_cast<uintptr_t>(lParam)));
      return 0;
    case kTrayMessage:
      OnTrayMessage(gui, wParam, lParam);
      return 0;
    case kStatusChangedMessage:
      UpdateTrayTip(gui);
      return 0;
    case kWmPowerBroadcast:
      if (wParam == kPbtApmResumeAutomatic) OnResume();
      return 1;
    case kWmQueryEndSession:
      return 1;
    case kWmEndSession:
      OnEndSession(gui, wParam);
      return 0;
  }
  if (message == taskbarCreatedMessage && message != 0) {
    OnTaskbarCreated(gui);
    return 0;
  }
  if (message == diagnosticsMessage && message != 0) {
    ProcessFigures f = MeasureProcess();
    DebugLog(u"GUI: resources gdi=%d windows=%d handles=%d private=%llu KB", f.gdiObjects, f.windows, f.kernelHandles,
             f.privateBytes / 1024);
    return 0;
  }
  return DefaultProcedure(window, message, wParam, lParam);
}

void OnSettingChange(GUI& gui, uintptr_t wParam, intptr_t lParam) {
  const int32_t factor = ScaleX;
  gui.ComputeSize();
  PlaceAsShellWindow(gui.MainWindow, gui.MH);
  if (ScaleX != factor) {
    // A device keeps its factor when it turns; on a desk a new scale or resolution changes it.
    // The pictures and icons of the old one would be drawn blurred or cut: they are loaded for
    // the new factor, the strip takes the font of the new size and the page is made anew.
    ReleasePictures(gui);
    LoadPictures(gui);
    ResetScreenDpi();
    Send(gui.TabControl, kTcmSetImageList, 0, reinterpret_cast<intptr_t>(gui.TabImages.handle()));
    RefreshLook(gui.TabControl);
    gui.InitWindowComponents();
  } else {
    gui.LayoutPage();
  }
  InformDriver();
  HandleSettingChange(gui.MainWindow, wParam, lParam, ActivateInfo);
}

void OnTabChange(GUI& gui, intptr_t lParam) {
  Notification n = ReadNotification(lParam);
  if (n.code != kTcnSelChange) return;
  ShowSelectedTab(gui);
}

void ShowSelectedTab(GUI& gui) {
  // The strip's own arrow keys change the page and leave the focus on the strip, so that the next
  // arrow goes on to the next tab; any other change puts the focus on the new page.
  bool stripKeys = DispatchingKey() && FocusedWindow() == gui.TabControl;
  gui.CurrentPage = static_cast<int32_t>(Send(gui.TabControl, kTcmGetCurSel, 0, 0));
  if (gui.CurrentPage == kMousePage) {
    // The first tab shows the keyboard page, with the keyboard tab selected.
    gui.CurrentPage = kKeyboardPage;
    Send(gui.TabControl, kTcmSetCurSel, kKeyboardPage, 0);
  }
  if (gui.CurrentPage == kAboutPage) ++AboutVisits;
  ForgetWindowKeys();
  gui.InitWindowComponents();
  if (!stripKeys && IsShown(gui.MainWindow)) FocusPage(gui);
}

void OnCommand(GUI& gui, uintptr_t wParam) {
  Settings& s = gui.settings;
  uint16_t id = LowWord(wParam);
  uint16_t code = HighWord(wParam);
  bool save = false;
  switch (id) {
    case kCmdClose:
      Destroy(gui.MainWindow);
      return;
    case kCmdHide:
      DebugLog(u"GUI, user pressed HIDE");
      Show(gui.MainWindow, kSwHide);
      return;
    case kCmdConnect:
      DebugLog(u"GUI, user pressed CONNECT");
      if (DoConnect(1) == 1) {
        SleepMilliseconds(kConnectBeepDelayMs);
        PlayBeep(kMbOk);
      }
      return;
    case kCmdMouseCheck:
      SupportBox(gui, s.Enable_Mouse, kMouseCheckSlot, u"GUI:P0 ManageFilter(1,%d,%d)= %d");
      save = true;
      break;
    case kCmdActionList:
      OnActionList(gui, code);
      return;
    case kCmdPreviousCursor:
      if (s.Cursor == 0) {
        PlayBeep(kMbOk);
        return;
      }
      --s.Cursor;
      InvalidateWindow(gui.MainWindow, false);
      save = true;
      break;
    case kCmdNextCursor:
      if (static_cast<uint32_t>(s.Cursor) >= kCursorCount - 1) {
        PlayBeep(kMbOk);
        return;
      }
      ++s.Cursor;
      InvalidateWindow(gui.MainWindow, false);
      save = true;
      break;
    case kCmdSpeedList: {
      if (code != kCbnSelChange) return;
      int selection = SelectionOf(gui.Controls[kSpeedListSlot]);
      if (selection >= 0 && selection < kSpeedCount) s.Speed = selection;
      save = true;
      break;
    }
    case kCmdKeyboardCheck:
      SupportBox(gui, s.Enable_KB, kKeyboardCheckSlot, u"GUI:P1 ManageFilter( 1,%d,%d)= %d");
      save = true;
      break;
    case kCmdSoundsCheck:
      s.KBSounds = Checked(gui.Controls[kSoundsCheckSlot]) ? 1 : 0;
      save = true;
      break;
    case kCmdAutostartCheck:
      s.Enable_Autostart = Checked(gui.Controls[kAutostartCheckSlot]) ? 1 : 0;
      save = true;
      break;
    case kCmdTrayCheck:
      s.Enable_Tray = Checked(gui.Controls[kTrayCheckSlot]) ? 1 : 0;
      if (s.Enable_Tray) {
        NotifyTray(gui.MainWindow, kNimAdd, kTrayIconId, gui.TrayIcon.handle());
      } else {
        NotifyTray(gui.MainWindow, kNimDelete, kTrayIconId, nullptr);
      }
      save = true;
      break;
    case kCmdChangeButton:
      OpenBluetoothSettings();
      return;
    default:
      return;
  }
  if (save) SaveSettings(s);
}

void OnActionList(GUI& gui, uint16_t code) {
  switch (ActionListNotice(code, DispatchingKey())) {
    case ActionListStep::kTake:
      TakeAction(gui);
      return;
    case ActionListStep::kRestore:
      gui.LayoutPage();
      return;
    case ActionListStep::kWait:
      return;
  }
}

void TakeAction(GUI& gui) {
  ActionTaken();
  int selection = SelectionOf(gui.Controls[kActionListSlot]);
  if (selection == kOpenProgramAction) {
    PickProgram(gui);
  } else if (selection == kOpenAppletAction) {
    PickApplet(gui);
  } else if (selection >= 0 && selection < kActionCount) {
    // A list without a selection (-1) is not an action.
    gui.settings.Buttons[gui.SelectedButton].Action = selection;
  }
  SaveSettings(gui.settings);
}

namespace {

// Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous tab, as a tap on it. Going back from the
// keyboard page reaches the first tab, which shows the keyboard page again: the step goes on to
// the tab before it, so that the keys never stand still.
void StepPage(GUI& gui, int step) {
  int32_t before = gui.CurrentPage;
  int tab = static_cast<int>(Send(gui.TabControl, kTcmGetCurSel, 0, 0));
  for (int tries = 0; tries < kPageCount; ++tries) {
    tab = (tab + step + kPageCount) % kPageCount;
    Send(gui.TabControl, kTcmSetCurSel, static_cast<uintptr_t>(tab), 0);
    ShowSelectedTab(gui);
    if (gui.CurrentPage != before || step > 0) break;
  }
}

}  // namespace

bool OnKey(GUI& gui, const KeyPress& press) {
  WindowKey key = KeyOfWindow(gui, press);
  switch (key.kind) {
    case WindowKey::kControls:
      return false;
    case WindowKey::kDone:
      break;
    case WindowKey::kCommand:
      OnCommand(gui, key.command);
      break;
    case WindowKey::kPage:
      StepPage(gui, key.step);
      break;
    case WindowKey::kAction:
      TakeAction(gui);
      break;
  }
  return true;
}

void OnTap(GUI& gui, uint16_t x, uint16_t y) {
  if (gui.CurrentPage == kMousePage) {
    if (x > 0 && x < DRAX(240) && y > DRAY(45) && y < DRAY(105)) {
      gui.SelectedButton = x / DRAX(48);
      gui.LayoutPage();
    }
  } else if (gui.CurrentPage == kAboutPage) {
    Rect left{DRAX(5), DRAY(80), DRAX(95), DRAY(80) + DRAX(40)};
    Rect right{DRAX(100), DRAY(80), DRAX(190), DRAY(80) + DRAX(40)};
    if (HitTest(x, y, left) || HitTest(x, y, right)) OpenMakerAddress(AboutWebLink[0] ? AboutWebLink : kMakerAddress);
  }
}

namespace {

using Picker = void (*)(InstanceHandle, WindowHandle, const WChar*, const WChar*, const WChar*, WChar*, WChar*);

// Opens a picker for the selected button and stores what was chosen as its action; a cancelled
// picker changes nothing. The action list then shows the button's action again.
void Pick(GUI& gui, Picker picker, const WChar* strip, const WChar* title, const WChar* pattern, const WChar* logLine,
          int action) {
  WChar chosen[kPickerTextChars] = {}, parameter[kPickerTextChars] = {};
  WChar name[64], stripPath[kPathChars];
  ScaledPictureName(name, 64, strip);
  WCopy(stripPath, kPathChars, ComposeInstallPath(u"Images", name));
  picker(gui.Instance, gui.MainWindow, title, pattern, stripPath, chosen, parameter);
  if (chosen[0]) {
    DebugLog(logLine, gui.SelectedButton, chosen, parameter);
    // A choice that does not fit the stored fields is not stored: cut, a path or a reference
    // would name another file or applet.
    if (WLen(chosen) >= kParamChars || WLen(parameter) >= kParamChars) {
      DebugLog(u"GUI: choice not stored, longer than %d characters", kParamChars - 1);
    } else {
      ButtonAssignment& b = gui.settings.Buttons[gui.SelectedButton];
      WCopy(b.Param1, kParamChars, chosen);
      WCopy(b.Param2, kParamChars, parameter);
      b.Action = action;
    }
  }
  gui.LayoutPage();
}

}  // namespace

void PickProgram(GUI& gui) {
  Pick(gui, ShowProgramPicker, u"tvf_f%d.jpg", UiText(QM_TEXT_PROGRAM_PICKER), u"exe.|knl.",
       u"GUI: Program selected: Item:%d [%s][%s]", kOpenProgramAction);
}

void PickApplet(GUI& gui) {
  Pick(gui, ShowAppletPicker, u"tva_f%d.jpg", UiText(QM_TEXT_APPLET_PICKER), u"lpc.",
       u"GUI: Applet selected: Item:%d [%s][%s]", kOpenAppletAction);
}

void GUI::Release() {
  EndWindowKeys(MainWindow);
  TrayIcon.Close();
  ReleasePictures(*this);
  DebugLog(u"GUI::Release::Destroy: %X", MainWindow);
  Destroy(MainWindow);
  // Gone: no change of the status is posted to it any more.
  statusWindow = nullptr;
}
