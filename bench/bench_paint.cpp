// PaintPage of every page of the real settings window, against a floor measured in the same run:
// one off-screen bitmap, the page's texts drawn with one font made beforehand, the same pictures
// from memory contexts made beforehand, and one copy to the window. Run inside a Wine virtual
// desktop of the screen size to measure (bench/run_bench_paint.sh).
// usage: bench_paint RESOURCES_DIR [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "gui/page_paint.h"
#include "gui/scale.h"
#include "platform/files.h"
#include "platform/paint.h"
#include "platform/win32/testing/win32_test_support.h"
#include "settings/settings.h"
#include "tray/app_state.h"
#include "tray/registry_access.h"
#include "tray/ui_text.h"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The floor of one page: what PaintPage must do at the least.
struct Floor {
  DeviceContext pictureDc[4] = {};
  GdiObject previous[4] = {};
  FontHandle font = nullptr;

  explicit Floor(const GUI& gui, DeviceContext dc) {
    font = MakeFont(DRAY(14), kFwBold, kFace);
    for (int i = 0; i < 4; ++i) {
      if (!gui.Pictures[i].IsOpen()) continue;
      pictureDc[i] = MakeMemoryContext(dc);
      previous[i] = SelectInto(pictureDc[i], gui.Pictures[i].handle());
    }
  }
  ~Floor() {
    for (int i = 0; i < 4; ++i) {
      if (!pictureDc[i]) continue;
      SelectInto(pictureDc[i], previous[i]);
      DeleteMemoryContext(pictureDc[i]);
    }
    DeleteGdiObject(font);
  }

  void Text(DeviceContext mem, const WChar* text, Rect r, uint32_t format) { DrawTextIn(mem, text, r, format); }

  void Paint(const GUI& gui, DeviceContext dc, int32_t w, int32_t h) {
    BitmapHandle bitmap = MakeCompatibleBitmap(dc, w, h);
    DeviceContext mem = MakeMemoryContext(dc);
    GdiObject old = SelectInto(mem, bitmap);
    GdiObject oldFont = SelectInto(mem, font);
    SetTransparentBackground(mem);
    Blit(mem, 0, 0, w, h, nullptr, 0, 0, kWhiteness);
    int32_t page = gui.CurrentPage;
    if (page != kHelpPage) {
      MovePenTo(mem, 0, DRAY(20));
      LineToPoint(mem, w, DRAY(20));
    }
    if (page == kMousePage) {
      Text(mem, u"Customize Mouse actions", {DRAX(5), DRAY(20), w, DRAY(40)}, kLeftLine);
      StretchCopy(mem, 0, DRAY(40), DRAX(48), DRAY(65), pictureDc[0], 0, 0, 96, 130);
      StretchCopy(mem, 0, DRAY(105), DRAX(144), DRAY(30), pictureDc[1], 0, 0, 288, 60);
      TransparentCopy(mem, 0, DRAY(45), DRAX(240), DRAY(36), pictureDc[2], 0, 0, DRAX(240), DRAY(36), kMagenta);
      for (int i = 0; i < kButtonCount; ++i)
        Text(mem, ActionNames[gui.settings.Buttons[i].Action], {i * DRAX(48), DRAY(81), (i + 1) * DRAX(48), DRAY(105)},
             kWrappedCentre);
      Text(mem, u"Cursor", {DRAX(5), DRAY(140), w, DRAY(160)}, kLeftLine);
      Text(mem, u"Speed", {DRAX(120), DRAY(140), w, DRAY(160)}, kLeftLine);
      TransparentCopy(mem, DRAX(73), DRAY(140), DRAX(10), DRAY(20), pictureDc[3], 0, 0, DRAX(10), DRAY(20), kMagenta);
    } else if (page == kKeyboardPage) {
      Text(mem, u"Customize Keyboard", {DRAX(5), DRAY(20), w, DRAY(40)}, kLeftLine);
      Text(mem,
           u"The Quillmote driver supports bluetooth keyboards. The keys in the Standard US layout are currently "
           u"handled. Additional keys, such as multimedia keys are not supported in this version.",
           {DRAX(5), DRAY(40), w, h}, kWrapped);
    } else if (page == kSettingsPage) {
      const WChar* labels[] = {u"Application Settings", u"Status", u"Bluetooth :", u"Mouse :", u"Keyboard :"};
      const int32_t tops[] = {20, 80, 100, 120, 140};
      for (int i = 0; i < 5; ++i) Text(mem, labels[i], {DRAX(5), DRAY(tops[i]), w, DRAY(tops[i] + 20)}, kLeftLine);
      for (int i = 0; i < 3; ++i) Text(mem, u"OFF", {DRAX(80), DRAY(100 + 20 * i), w, DRAY(120 + 20 * i)}, kLeftLine);
    } else if (page == kAboutPage) {
      const WChar* texts[] = {u"About", Description, u"Version :", u"Release :", Version, u"I001"};
      for (int i = 0; i < 6; ++i) Text(mem, texts[i], {DRAX(5), DRAY(20 * i), w, DRAY(20 * i + 20)}, kLeftLine);
      Text(mem,
           u"Quillmote is provided \"as is\", without warranty of any kind. The program and its driver are "
           u"protected by copyright; copying or distributing them without permission is not allowed.",
           {DRAX(5), DRAY(80), w - DRAX(5), DRAY(160)}, kWrapped);
    }
    Blit(dc, 0, 0, w, h, mem, 0, 0, kSrcCopy);
    SelectInto(mem, oldFont);
    SelectInto(mem, old);
    DeleteMemoryContext(mem);
    DeleteGdiObject(bitmap);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_paint RESOURCES_DIR [ROUNDS]\n");
    return 2;
  }
  std::string resources = argv[1];
  int rounds = argc > 2 ? std::atoi(argv[2]) : 201;
  win32test::InitControls();
  appInstance = win32test::ProgramInstance();
  // The program's texts, as its start chooses them.
  ChooseTextLanguage(appInstance, QM_TEXT_FIRST, QM_TEXT_END);
  LoadNameTables();
  const WChar install[] = u"C:\\QuillmoteBench";
  CreateFolder(install);
  CreateFolder(u"C:\\QuillmoteBench\\images");
  for (const char* name :
       {"t0s1_f12.jpg", "t0s2_f12.jpg", "t0ms_f1.jpg", "t0ms_f2.jpg", "cursors_f1.jpg", "cursors_f2.jpg"}) {
    std::string bytes;
    FileReadAll(win32test::WindowsPath(resources + "/images/" + name).c_str(), bytes);
    FileWriteAll((WString(u"C:\\QuillmoteBench\\images\\") + FromUtf8(name)).c_str(), bytes.data(), bytes.size());
  }
  RegWriteValue(kProgramKey, u"InstallPath", kRegSz, install, sizeof install);
  WCopy(Description, kAboutTextChars, u"Bluetooth keyboard support");
  WCopy(Version, kAboutTextChars, u"1.0.0.1");
  if (theGUI.InitWindow(appInstance) != 1) return 1;
  Show(theGUI.MainWindow, kSwShow);
  win32test::PumpMessages(300);
  DeviceContext dc = win32test::WindowContext(theGUI.MainWindow);
  Rect client = ClientArea(theGUI.MainWindow);
  std::printf("screen %dx%d, client %dx%d, %d rounds\n", theGUI.ScreenWidth, theGUI.ScreenHeight, client.right,
              client.bottom, rounds);
  const char* names[] = {"mouse", "keyboard", "status", "help", "about"};
  for (int page = 0; page < kPageCount; ++page) {
    theGUI.CurrentPage = page;
    theGUI.InitWindowComponents();
    win32test::PumpMessages(100);
    Floor floor(theGUI, dc);
    std::vector<double> paint, bare;
    // Interleaved, so that both see the same machine.
    for (int r = 0; r < rounds; ++r) {
      auto t0 = Clock::now();
      PaintPage(theGUI, dc, theGUI.MainWindow);
      auto t1 = Clock::now();
      floor.Paint(theGUI, dc, client.right, client.bottom);
      auto t2 = Clock::now();
      paint.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
      bare.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    }
    double p = Median(paint), f = Median(bare);
    std::printf("%-8s PaintPage median %8.1f us, floor median %8.1f us, ratio %.2f\n", names[page], p, f, p / f);
  }
  win32test::ReleaseWindowContext(theGUI.MainWindow, dc);
  std::fflush(stdout);
  return 0;
}
