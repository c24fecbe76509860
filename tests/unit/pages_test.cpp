// The pages' controls and what each page paints, checked in pixels at screen sizes whose factors
// differ: 240 x 320 (both 1), 320 x 480 (horizontal 1, vertical 2) and 480 x 320 (2, 1), where a
// value scaled on the wrong axis shows.
#include "gui/page_paint.h"
#include "gui_fixture.h"
#include "platform/controls.h"
#include "platform/host/host_threads.h"
#include "platform/html_view.h"
#include "platform/testing.h"

namespace {

using namespace platform;
using host::DrawCall;

// The controls table of every page: class, text, style, place, id and starting state.
TEST_F(GuiTest, PageControls) {
  struct Want {
    int slot;
    const char16_t* cls;
    const char16_t* text;
    uint32_t style;
    int32_t x, y, w, h;      // at 240 x 320
    int32_t x2, y2, w2, h2;  // at 320 x 480
    uint16_t id;
    uintptr_t check;  // check boxes
    int items, selection;
    // At 480 x 320, where the table scales a place or size by the other axis than its own: the
    // value there (-1: y and height as at 240 x 320, x and width doubled).
    int32_t wideY = -1, wideW = -1, wideH = -1;
  };
  struct Page {
    int page;
    std::vector<Want> controls;
  } pages[] = {
      {kMousePage,
       {{kMouseCheckSlot, u"button", u"Enable bluetooth mouse support", 0x50000003, 5, 0, 240, 20, 5, 0, 240, 40, 768,
         0, 0, -1},
        // Placed by the layout under the selected button (button 3 here: the second column).
        {kActionListSlot, u"combobox", u"", 0x50200003, 53, 110, 134, 150, 53, 220, 134, 300, 769, 0, 17, 16},
        {kPreviousCursorSlot, u"button", u"<", 0x50000000, 48, 140, 20, 20, 48, 280, 40, 40, 770, 0, 0, -1, -1, 20},
        {kNextCursorSlot, u"button", u">", 0x50000000, 88, 140, 20, 20, 88, 280, 40, 40, 771, 0, 0, -1, -1, 20},
        {kSpeedListSlot, u"combobox", u"", 0x50200003, 160, 140, 75, 100, 160, 280, 75, 200, 772, 0, 11, 3}}},
      {kKeyboardPage,
       {{kKeyboardCheckSlot, u"button", u"Enable bluetooth keyboard support", 0x50000003, 5, 0, 240, 20, 5, 0, 240, 40,
         773, 1, 0, -1},
        {kSoundsCheckSlot, u"button", u"Enable keyboard sounds", 0x50000003, 5, 120, 240, 20, 5, 240, 240, 40, 774, 0,
         0, -1}}},
      {kSettingsPage,
       {{kStatusCheckSlot, u"button", u"Enable status display", 0x58000003, 5, 0, 240, 20, 5, 0, 240, 40, 775, 1, 0,
         -1},
        {kAutostartCheckSlot, u"button", u"Start Quillmote with Windows", 0x50000003, 5, 40, 240, 20, 5, 80, 240, 40,
         776, 0, 0, -1},
        // Enable_Tray 5 counts as on.
        {kTrayCheckSlot, u"button", u"Show Tray Icon", 0x50000003, 5, 60, 240, 20, 5, 120, 240, 40, 777, 1, 0, -1},
        {kChangeButtonSlot, u"button", u"Change", 0x50000000, 110, 100, 60, 20, 110, 200, 120, 40, 784, 0, 0, -1, -1,
         60}}},
      {kHelpPage,
       {{kHelpViewSlot, u"DISPLAYCLASS", u"", 0x50000000, 5, 5, 230, 238, 5, 5, 310, 326, 0, 0, 0, -1, 10, -1, 228}}},
      {kAboutPage, {}},
  };
  // Three screens: 240 x 320 (factors 1, 1), 320 x 480 (1, 2) and 480 x 320 (2, 1), where every
  // place and width of the first doubles and every height stays.
  enum Screen { kSmall, kTall, kWide };
  for (Screen screen : {kSmall, kTall, kWide}) {
    bool tall = screen == kTall, wide = screen == kWide;
    for (const Page& p : pages) {
      SCOPED_TRACE(std::string(tall ? "320x480" : wide ? "480x320" : "240x320") + " page " + std::to_string(p.page));
      ResetAll();
      ASSERT_EQ(tall ? Open(320, 480) : wide ? Open(480, 320) : Open(240, 320), 1);
      theGUI.settings.Enable_KB = 1;
      theGUI.settings.Enable_Tray = 5;
      theGUI.settings.Speed = 3;
      theGUI.settings.Buttons[3].Action = 16;
      theGUI.SelectedButton = 3;
      ShowPage(p.page);
      int made = 0;
      for (WindowHandle c : theGUI.Controls) made += c ? 1 : 0;
      EXPECT_EQ(made, static_cast<int>(p.controls.size()));
      for (const Want& w : p.controls) {
        const host::HostWindow& c = Control(w.slot);
        EXPECT_EQ(c.className, w.cls) << w.slot;
        EXPECT_EQ(c.text, w.text) << w.slot;
        EXPECT_EQ(c.style, w.style) << w.slot;
        EXPECT_EQ(c.parent, theGUI.MainWindow);
        EXPECT_EQ(c.id, w.id) << w.slot;
        int32_t x = w.x, y = w.y, width = w.w, height = w.h;
        if (tall) x = w.x2, y = w.y2, width = w.w2, height = w.h2;
        if (wide) {
          x *= 2;
          width = w.wideW >= 0 ? w.wideW : width * 2;
          if (w.wideY >= 0) y = w.wideY;
          if (w.wideH >= 0) height = w.wideH;
        }
        EXPECT_EQ(c.x, x) << w.slot;
        EXPECT_EQ(c.y, y) << w.slot;
        EXPECT_EQ(c.width, width) << w.slot;
        EXPECT_EQ(c.height, height) << w.slot;
        if (c.className == u"button") {
          EXPECT_EQ(c.check, w.check) << w.slot;
        }
        if (w.items) {
          EXPECT_EQ(static_cast<int>(c.items.size()), w.items);
          EXPECT_EQ(c.items.front(), w.items == 17 ? u"Left Click" : u"0.1X");
          EXPECT_EQ(c.items.back(), w.items == 17 ? u"Switch Task" : u"8X");
          EXPECT_EQ(c.selection, w.selection);
        }
      }
      // The tab strip sits above the menu bar: 320 - 2 x 26 - 22, or 480 - 2 x 52 - 44.
      const auto* tab = host::WindowRecord(theGUI.TabControl);
      EXPECT_EQ(tab->y, tall ? 332 : 246);
      EXPECT_EQ(tab->height, tall ? 44 : 22);
      theGUI.Release();
    }
  }
}

// Each check box starts from its own setting and no other: each setting is on alone in turn
// (with a value other than 1, which counts as on too).
TEST_F(GuiTest, EachCheckBoxStartsFromItsOwnSetting) {
  struct Box {
    const char* label;
    int page, slot;
    int32_t Settings::*setting;
  } const boxes[] = {{"mouse", kMousePage, kMouseCheckSlot, &Settings::Enable_Mouse},
                     {"keyboard", kKeyboardPage, kKeyboardCheckSlot, &Settings::Enable_KB},
                     {"sounds", kKeyboardPage, kSoundsCheckSlot, &Settings::KBSounds},
                     {"autostart", kSettingsPage, kAutostartCheckSlot, &Settings::Enable_Autostart},
                     {"tray icon", kSettingsPage, kTrayCheckSlot, &Settings::Enable_Tray}};
  ASSERT_EQ(Open(), 1);
  for (const Box& on : boxes) {
    SCOPED_TRACE(std::string(on.label) + " on");
    for (const Box& b : boxes) theGUI.settings.*b.setting = &b == &on ? 2 : 0;
    for (int page : {kMousePage, kKeyboardPage, kSettingsPage}) {
      ShowPage(page);
      for (const Box& b : boxes) {
        if (b.page != page) continue;
        EXPECT_EQ(Control(b.slot).check, &b == &on ? kBstChecked : 0u) << b.label;
      }
      // The status box is checked whatever the settings.
      if (page != kSettingsPage) continue;
      EXPECT_EQ(Control(kStatusCheckSlot).check, kBstChecked);
    }
  }
}

TEST_F(GuiTest, ActionListFollowsTheSelectedButtonsColumn) {
  ASSERT_EQ(Open(480, 640), 1);
  for (int b = 0; b < 5; ++b) theGUI.settings.Buttons[b].Action = 10 + b;
  ShowPage(kMousePage);
  const int32_t columns[] = {0, 1, 2, 1, 2};
  for (int b = 0; b < 5; ++b) {
    SCOPED_TRACE(b);
    Send(theGUI.MainWindow, kWmLButtonUp, 0, MakeLParam(static_cast<uint16_t>(b * 96 + 10), 150));
    ASSERT_EQ(theGUI.SelectedButton, b);
    const host::HostWindow& list = Control(kActionListSlot);
    EXPECT_EQ(list.x, 10 + columns[b] * 96);
    EXPECT_EQ(list.selection, 10 + b);
  }
}

TEST_F(GuiTest, HelpPageLoadsTheInstalledPageEachTime) {
  debugEnabled = 1;
  ASSERT_EQ(Open(), 1);
  ClickTab(3);
  WindowHandle first = theGUI.Controls[kHelpViewSlot];
  const host::HostWindow* view = host::WindowRecord(first);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->clears, 1);
  ASSERT_EQ(view->navigations.size(), 1u);
  EXPECT_EQ(view->navigations[0], u"file://\\Quillmote\\help\\help.html");
  // The wait cursor was shown and taken away again.
  EXPECT_EQ(host::CurrentCursorId(), 0);
  EXPECT_EQ(host::CursorShowCount(), 0);
  ClickTab(1);
  EXPECT_FALSE(Exists(first));
  ClickTab(3);
  EXPECT_NE(theGUI.Controls[kHelpViewSlot], first);
  int loads = 0;
  for (const auto& l : LogLines())
    loads += l.rfind("WC_HTML [", 0) == 0 && l.find("], loading [file://") != std::string::npos;
  EXPECT_EQ(loads, 2);

  // A view that cannot be made leaves the page empty, and the cursor is still taken away.
  host::FailWindowClass(kHtmlViewClass);
  ClickTab(1);
  ClickTab(3);
  EXPECT_EQ(theGUI.Controls[kHelpViewSlot], nullptr);
  EXPECT_EQ(host::CursorShowCount(), 0);
}

// The status page for every combination of the three flags.
TEST_F(GuiTest, StatusWordsFollowTheFlags) {
  ASSERT_EQ(Open(), 1);
  ShowPage(kSettingsPage);
  for (int bits = 0; bits < 8; ++bits) {
    SCOPED_TRACE(bits);
    driverStatus.bluetoothOn = bits & 1;
    driverStatus.mouseOn = (bits >> 1) & 1;
    driverStatus.keyboardOn = (bits >> 2) & 1;
    Paint();
    auto texts = Calls(DrawCall::Text);
    ASSERT_EQ(texts.size(), 8u);
    const int32_t rows[] = {100, 120, 140};
    for (int i = 0; i < 3; ++i) {
      const DrawCall& word = texts[5 + i];
      bool on = (bits >> i) & 1;
      EXPECT_EQ(word.text, on ? u"ON" : u"OFF");
      EXPECT_EQ(word.textColour, on ? kBlue : kRed);
      EXPECT_EQ(word.font.weight, 100);
      EXPECT_EQ(word.rect.left, 80);
      EXPECT_EQ(word.rect.top, rows[i]);
      EXPECT_EQ(word.rect.bottom, rows[i] + 20);
      EXPECT_EQ(word.value, kLeftLine);
    }
  }
  // The labels beside them, right-aligned, end at DRAX(75).
  auto texts = Calls(DrawCall::Text);
  EXPECT_EQ(texts[2].text, u"Bluetooth :");
  EXPECT_EQ(texts[2].rect.right, 75);
  EXPECT_EQ(texts[2].value, kRightLine);
}

// The text rows of the keyboard, status and about pages, on two screens whose factors differ
// per axis (320 x 480: 1, 2; 480 x 320: 2, 1), so that a place scaled on the wrong axis shows.
// Coordinates are design units on their axis; 'w' and 'h' are the page's width and height.
TEST_F(GuiTest, TextRowsOfThePages) {
  struct C {
    char axis;  // 'x': DRAX, 'y': DRAY, '0': the number as it is, 'w', 'h': the page's size
    int32_t v;
  };
  struct Row {
    const char* label;
    int page;
    size_t index;  // among the page's texts, in drawing order
    const char16_t* text;
    int32_t height;  // design units, vertical
    int weight;
    uint32_t colour;
    C left, top, right, bottom;
    uint32_t format;
  } rows[] = {
      // clang-format off
      {"keyboard 1", kKeyboardPage, 0, u"Customize Keyboard", 14, 700, 0, {'x', 5}, {'y', 20}, {'w', 0}, {'y', 40}, 0x24},
      {"keyboard 2", kKeyboardPage, 1, nullptr, 14, 100, 0x7F7F7F, {'x', 5}, {'y', 40}, {'w', 0}, {'h', 0}, 0x10},
      {"status 1", kSettingsPage, 0, u"Application Settings", 14, 700, 0, {'x', 5}, {'y', 20}, {'w', 0}, {'y', 40}, 0x24},
      {"status 2", kSettingsPage, 1, u"Status", 14, 700, 0, {'x', 5}, {'y', 80}, {'w', 0}, {'y', 100}, 0x24},
      {"status 3", kSettingsPage, 2, u"Bluetooth :", 14, 700, 0, {'x', 0}, {'y', 100}, {'x', 75}, {'y', 120}, 0x26},
      {"status 4", kSettingsPage, 3, u"Mouse :", 14, 700, 0, {'x', 0}, {'y', 120}, {'x', 75}, {'y', 140}, 0x26},
      {"status 5", kSettingsPage, 4, u"Keyboard :", 14, 700, 0, {'x', 0}, {'y', 140}, {'x', 75}, {'y', 160}, 0x26},
      {"about 1", kAboutPage, 0, u"About", 14, 700, 0, {'x', 5}, {'0', 0}, {'w', 0}, {'y', 20}, 0x24},
      {"about 2", kAboutPage, 1, u"Bluetooth keyboard companion", 14, 100, 0, {'x', 5}, {'y', 20}, {'w', 0}, {'y', 40}, 0x24},
      {"about 3", kAboutPage, 2, u"Version :", 14, 700, 0, {'x', 0}, {'y', 40}, {'x', 70}, {'y', 60}, 0x26},
      {"about 4", kAboutPage, 3, u"Release :", 14, 700, 0, {'x', 0}, {'y', 60}, {'x', 70}, {'y', 80}, 0x26},
      {"about 5", kAboutPage, 4, u"1.0.0.1", 14, 100, 0, {'x', 75}, {'y', 40}, {'w', 0}, {'y', 60}, 0x24},
      {"about 6", kAboutPage, 5, u"I001", 14, 100, 0, {'x', 75}, {'y', 60}, {'w', 0}, {'y', 80}, 0x24},
      {"about 7", kAboutPage, 6, nullptr, 13, 100, 0x464646, {'x', 5}, {'y', 80}, {'w', -5}, {'y', 160}, 0x10},
      // clang-format on
  };
  WCopy(Description, kAboutTextChars, u"Bluetooth keyboard companion");
  WCopy(Version, kAboutTextChars, u"1.0.0.1");
  for (auto [width, height] : {std::pair{320, 480}, std::pair{480, 320}}) {
    ResetAll();
    ASSERT_EQ(Open(width, height), 1);
    const int32_t pageHeight = height - 2 * theGUI.MH;
    auto at = [&](C c) {
      return c.axis == 'x'   ? DRAX(c.v)
             : c.axis == 'y' ? DRAY(c.v)
             : c.axis == 'w' ? width + DRAX(c.v)
             : c.axis == 'h' ? pageHeight
                             : c.v;
    };
    int shown = -1;
    std::vector<DrawCall> texts;
    for (const Row& r : rows) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " " + r.label);
      if (r.page != shown) {
        ShowPage(shown = r.page);
        Paint();
        texts = Calls(DrawCall::Text);
      }
      ASSERT_LT(r.index, texts.size());
      const DrawCall& t = texts[r.index];
      if (r.text) {
        EXPECT_EQ(t.text, r.text);
      }
      EXPECT_EQ(t.font.height, DRAY(r.height));
      EXPECT_EQ(t.font.weight, r.weight);
      EXPECT_EQ(t.textColour, r.colour);
      EXPECT_EQ(t.rect.left, at(r.left));
      EXPECT_EQ(t.rect.top, at(r.top));
      EXPECT_EQ(t.rect.right, at(r.right));
      EXPECT_EQ(t.rect.bottom, at(r.bottom));
      EXPECT_EQ(t.value, r.format);
    }
    theGUI.Release();
  }
  Description[0] = Version[0] = 0;
}

// Each page's display list: one white bitmap, the line (not on the help page), the items in order,
// one copy to the window; nothing left behind.
TEST_F(GuiTest, PagesPaintOffScreenInOneCopy) {
  ASSERT_EQ(Open(320, 480), 1);
  int gdi = host::LiveGdiObjects();
  for (int page = 0; page < kPageCount; ++page) {
    SCOPED_TRACE(page);
    ShowPage(page);
    Paint();
    auto calls = host::DrawCalls();
    ASSERT_GE(calls.size(), 2u);
    const DrawCall& first = calls.front();
    EXPECT_EQ(first.kind, DrawCall::Blit);
    EXPECT_EQ(first.value, kWhiteness);
    ASSERT_NE(first.target, nullptr);
    const DrawCall& last = calls.back();
    EXPECT_EQ(last.kind, DrawCall::Blit);
    EXPECT_EQ(last.target, nullptr);  // the window's own context
    EXPECT_EQ(last.source, first.target);
    EXPECT_EQ(last.width, 320);
    EXPECT_EQ(last.height, 480 - 2 * 52);
    int toWindow = 0;
    for (const DrawCall& c : calls) toWindow += c.target == nullptr ? 1 : 0;
    EXPECT_EQ(toWindow, 1);
    auto lines = Calls(DrawCall::Line);
    if (page == kHelpPage) {
      EXPECT_TRUE(lines.empty());
    } else {
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0].y, 40);
      EXPECT_EQ(lines[0].width, 320);
    }
    for (const DrawCall& t : Calls(DrawCall::Text)) EXPECT_EQ(t.font.face, u"tahoma");
    EXPECT_EQ(host::LiveGdiObjects(), gdi);
  }
}

TEST_F(GuiTest, MousePagePictures) {
  ASSERT_EQ(Open(320, 480), 1);
  theGUI.settings.Cursor = 9;
  theGUI.settings.Buttons[4].Action = 16;
  ShowPage(kMousePage);
  for (int b = 0; b < 5; ++b) {
    SCOPED_TRACE(b);
    theGUI.SelectedButton = b;
    Paint();
    auto stretched = Calls(DrawCall::Stretch);
    ASSERT_EQ(stretched.size(), 2u);
    const DrawCall& highlight = stretched[0];
    EXPECT_EQ(host::BitmapRecord(highlight.source)->path, u"\\Quillmote\\images\\t0s1_f12.jpg");
    EXPECT_EQ(highlight.x, b * 48);
    EXPECT_EQ(highlight.y, 80);
    EXPECT_EQ(highlight.width, 48);
    EXPECT_EQ(highlight.height, 130);
    EXPECT_EQ(highlight.sw, 96);
    EXPECT_EQ(highlight.sh, 130);
    const DrawCall& strip = stretched[1];
    EXPECT_EQ(strip.x, (b <= 2 ? b : b - 2) * 48);
    EXPECT_EQ(strip.y, 210);
    EXPECT_EQ(strip.width, 144);
    EXPECT_EQ(strip.height, 60);
    EXPECT_EQ(strip.sw, 288);
  }
  auto keyed = Calls(DrawCall::Transparent);
  ASSERT_EQ(keyed.size(), 2u);
  // The mouse picture of factor 1 (ScaleX), drawn one to one with magenta transparent.
  EXPECT_EQ(host::BitmapRecord(keyed[0].source)->path, u"\\Quillmote\\images\\t0ms_f1.jpg");
  EXPECT_EQ(keyed[0].value, kMagenta);
  EXPECT_EQ(keyed[0].y, 90);
  EXPECT_EQ(keyed[0].width, 240);
  EXPECT_EQ(keyed[0].height, 72);
  // The factor-1 picture is 36 pixels high: the source stops there and is stretched.
  EXPECT_EQ(keyed[0].sw, 240);
  EXPECT_EQ(keyed[0].sh, 36);
  // The tenth cursor glyph, from x 9 x DRAX(10) of the strip.
  EXPECT_EQ(host::BitmapRecord(keyed[1].source)->path, u"\\Quillmote\\images\\cursors_f1.jpg");
  EXPECT_EQ(keyed[1].sx, 90);
  EXPECT_EQ(keyed[1].sw, 10);
  EXPECT_EQ(keyed[1].sh, 20);
  EXPECT_EQ(keyed[1].x, 73);
  EXPECT_EQ(keyed[1].height, 40);
  auto texts = Calls(DrawCall::Text);
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[5].text, u"Switch Task");
  EXPECT_EQ(texts[5].value, kWrappedCentre);
  EXPECT_EQ(texts[5].font.height, 24);
  EXPECT_EQ(texts[5].rect.left, 192);

  // A picture that is missing leaves a grey placeholder, not a copy from nothing.
  std::filesystem::remove(root_ / "Quillmote" / "images" / "t0ms_f1.jpg");
  theGUI.Release();
  ResetAll();
  ASSERT_EQ(Open(320, 480), 1);
  ShowPage(kMousePage);
  Paint();
  EXPECT_EQ(Calls(DrawCall::Transparent).size(), 1u);
  auto fills = Calls(DrawCall::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].value, kPlaceholderGrey);
  EXPECT_EQ(fills[0].rect.top, 90);
  EXPECT_EQ(fills[0].rect.bottom, 90 + 72);
}

TEST_F(GuiTest, AboutPageShowsCreditsFromTheThirdVisit) {
  WCopy(Description, kAboutTextChars, u"Bluetooth keyboard companion");
  WCopy(Version, kAboutTextChars, u"1.0.0.1");
  WCopy(AboutWebLink, kAboutTextChars, u"www.morvane.com");
  ASSERT_EQ(Open(), 1);
  for (int visit = 1; visit <= 3; ++visit) {
    SCOPED_TRACE(visit);
    ClickTab(4);
    Paint();
    auto texts = Calls(DrawCall::Text);
    ASSERT_GE(texts.size(), 7u);
    EXPECT_EQ(texts[1].text, u"Bluetooth keyboard companion");
    EXPECT_EQ(texts[4].text, u"1.0.0.1");
    EXPECT_EQ(texts[5].text, u"I001");
    if (visit < 3) {
      ASSERT_EQ(texts.size(), 7u);
      EXPECT_EQ(texts[6].text,
                u"Quillmote is provided \"as is\", without warranty of any kind. The program and its driver are "
                u"protected by copyright; copying or distributing them without permission is not allowed.");
      EXPECT_EQ(texts[6].textColour, kDarkGrey);
      EXPECT_EQ(texts[6].font.height, 13);
      EXPECT_EQ(texts[6].rect.right, 240 - 5);
    } else {
      ASSERT_EQ(texts.size(), 9u);
      EXPECT_EQ(texts[6].text, u"Quillmote \u00A9 2009-2026 Morvane");
      EXPECT_EQ(texts[7].text, u"www.morvane.com");
      EXPECT_EQ(texts[7].textColour, kBlue);
      EXPECT_EQ(texts[8].text, u"Compatible with\nWindows Mobile 5.0 and newer\nMicrosoft Bluetooth stack");
      // No logo loaded: its place is grey.
      auto fills = Calls(DrawCall::Fill);
      ASSERT_EQ(fills.size(), 1u);
      EXPECT_EQ(fills[0].rect.left, 5);
      EXPECT_EQ(fills[0].rect.top, 120);
      EXPECT_EQ(fills[0].rect.right, 95);
    }
  }
  Description[0] = Version[0] = AboutWebLink[0] = 0;
}

// The window is made with the tray icon alone; the tab icons, their list (given to the tab strip)
// and the pictures follow once, when start-up makes them.
TEST_F(GuiTest, PicturesAndIconsAreLoadedAndReleased) {
  host::SetScreenSize(480, 640);
  host::SetNoTaskbar();
  ASSERT_EQ(theGUI.InitWindow(kInstance), 1);
  EXPECT_EQ(host::IconRecord(theGUI.TrayIcon.handle())->id, 101);
  EXPECT_FALSE(theGUI.TabImages.IsOpen());
  EXPECT_FALSE(theGUI.Pictures[kMousePicture].IsOpen());
  LoadWindowPictures(theGUI);
  const auto* list = host::ImageListRecord(theGUI.TabImages.handle());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(host::WindowRecord(theGUI.TabControl)->imageList, theGUI.TabImages.handle());
  LoadWindowPictures(theGUI);
  EXPECT_EQ(host::ImageListRecord(theGUI.TabImages.handle()), list) << "made twice";
  EXPECT_EQ(list->iconIds, (std::vector<int>{135, 136, 137, 138, 139}));
  EXPECT_EQ(host::IconRecord(theGUI.Icons[0].handle())->width, 32);
  EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kMousePicture].handle())->path, u"\\Quillmote\\images\\t0ms_f2.jpg");
  EXPECT_EQ(host::BitmapRecord(theGUI.Pictures[kCursorPicture].handle())->width, 200);
  int tab = 0;
  WChar text[16];
  ASSERT_TRUE(TabRead(theGUI.TabControl, 0, text, 16, &tab));
  EXPECT_EQ(WString(text), u"");
  ASSERT_TRUE(TabRead(theGUI.TabControl, 4, text, 16, &tab));
  EXPECT_EQ(WString(text), u"About");
  EXPECT_EQ(tab, 4);
  theGUI.Release();
  EXPECT_EQ(host::LiveIconsAndLists(), 0);
  EXPECT_EQ(host::LiveGdiObjects(), 0);
  EXPECT_FALSE(Exists(theGUI.MainWindow));
}

}  // namespace
