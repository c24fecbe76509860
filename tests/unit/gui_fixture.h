// The settings window on the host's models: an installed program (pictures and help page in the
// install folder), a device screen, and the window made by GUI::InitWindow.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "driver_link/driver_control.h"
#include "driver_link/driver_status.h"
#include "gui/gui.h"
#include "gui/main_window.h"
#include "gui/scale.h"
#include "pickers/picker_frame.h"
#include "platform/host/host_driver_channel.h"
#include "platform/host/host_images.h"
#include "platform/host/host_instance.h"
#include "platform/host/host_messages.h"
#include "platform/host/host_paint.h"
#include "platform/host/host_screen.h"
#include "platform/host/host_shell.h"
#include "platform/host/host_shell_ui.h"
#include "platform/host/host_system.h"
#include "platform/host/host_window.h"
#include "test_support.h"
#include "tests/log_lines.h"

inline const auto kInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);

class GuiTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ResetAll();
    // The installed pictures and help page, below "\Quillmote".
    auto install = root_ / "Quillmote";
    std::filesystem::create_directories(install / "images");
    std::filesystem::create_directories(install / "help");
    for (const auto& e : std::filesystem::directory_iterator(std::string(QM_RESOURCES) + "/images"))
      std::filesystem::copy_file(e.path(), install / "images" / e.path().filename());
    std::filesystem::copy_file(std::string(QM_RESOURCES) + "/help/help.html", install / "help" / "help.html");
    LoadReg("[HKEY_LOCAL_MACHINE\\Software\\Morvane\\Quillmote]\n\"InstallPath\"=\"\\\\Quillmote\"\n");
    platform::host::DriverSetPresent(true);
  }
  void TearDown() override {
    theGUI.Release();
    ResetAll();
    HostTest::TearDown();
  }
  static void ResetAll() {
    platform::host::WindowsReset();
    platform::host::CanvasReset();
    platform::host::ImagesReset();
    platform::host::ShellReset();
    platform::host::ShellUiReset();
    platform::host::MessagesReset();
    platform::host::DriverReset();
    platform::host::ScreenReset();
    platform::host::InstanceLocksReset();
    platform::host::ClearSleeps();
    ResetScale();
    ResetScreenDpi();
    // The application object as the program starts with it.
    theGUI.~GUI();
    new (&theGUI) GUI{};
    TheGUI = &theGUI;
    AboutVisits = 0;
    terminateRequested = 0;
    filterRecord = FilterRecord{};
    for (auto* f : {&driverStatus.driverAnswered, &driverStatus.bluetoothOn, &driverStatus.deviceFound,
                    &driverStatus.mouseOn, &driverStatus.keyboardOn})
      f->store(0);
  }

  // Makes the window on a screen of that size, whose menu bar is the design's 26 units high, with
  // its pictures as start-up makes them; the result of InitWindow.
  int Open(int32_t width = 240, int32_t height = 320) {
    platform::host::SetScreenSize(width, height);
    platform::host::SetNoTaskbar();
    int made = theGUI.InitWindow(kInstance);
    if (made == 1) LoadWindowPictures(theGUI);
    return made;
  }
  // The page made current as the tab strip reports a click on its tab.
  void ClickTab(int tab) { platform::host::ClickTab(theGUI.TabControl, tab); }
  // Shows a page directly, as a build with the mouse page would (the tab falls back).
  void ShowPage(int page) {
    theGUI.CurrentPage = page;
    theGUI.InitWindowComponents();
  }
  const platform::host::HostWindow& Control(int slot) {
    const platform::host::HostWindow* r = platform::host::WindowRecord(theGUI.Controls[slot]);
    EXPECT_NE(r, nullptr) << "slot " << slot;
    static const platform::host::HostWindow none{};
    return r ? *r : none;
  }
  void Command(uint16_t id, uint16_t code = 0) { OnCommand(theGUI, (static_cast<uintptr_t>(code) << 16) | id); }
  // The filter records sent to the driver, as their four bytes.
  std::vector<std::vector<uint8_t>> Filters() {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& e : platform::host::DriverEvents())
      if (e.kind == platform::host::DriverEvent::Control && e.code == 0x00222008) out.push_back(e.input);
    return out;
  }
  int Beeps() {
    int n = 0;
    for (const auto& c : platform::host::ShellCalls()) n += c.kind == platform::host::ShellCall::Beep ? 1 : 0;
    return n;
  }
  std::vector<std::string> LogLines() { return LogMessages(ReadDeviceFile(kDebugLogPath)); }
  bool Logged(const std::string& line) {
    for (const auto& l : LogLines())
      if (l == line) return true;
    return false;
  }
  // The text calls of the last paint, in order.
  std::vector<platform::host::DrawCall> Calls(platform::host::DrawCall::Kind kind) {
    std::vector<platform::host::DrawCall> out;
    for (const auto& c : platform::host::DrawCalls())
      if (c.kind == kind) out.push_back(c);
    return out;
  }
  void Paint() {
    platform::host::ClearDrawCalls();
    platform::Send(theGUI.MainWindow, platform::kWmPaint, 0, 0);
  }
};
