#include "gui/scale.h"

#include <memory>

#include "gui/gui.h"
#include "platform/host/host_screen.h"
#include "test_support.h"

namespace {

class ScaleTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ResetScale();
    platform::host::ScreenReset();
    gui_ = std::make_unique<GUI>();
  }
  void TearDown() override {
    ResetScale();
    platform::host::ScreenReset();
    HostTest::TearDown();
  }
  // Turns the log on with a fixed clock and memory, so that lines can be compared whole.
  void LogOn() {
    debugEnabled = 1;
    platform::host::SetTimeOfDaySource([] { return platform::TimeOfDay{12, 0, 0}; });
    platform::host::SetAvailableMemorySource([] { return uint64_t{1048576}; });
  }
  std::string Log() { return ReadDeviceFile(kDebugLogPath); }

  std::unique_ptr<GUI> gui_;
};

struct ScaleRow {
  int32_t width, height, scaleX, scaleY;
};

// Each row measured as the first computation of the process.
template <size_t N>
void ExpectFirstFactors(const ScaleRow (&rows)[N]) {
  for (const ScaleRow& r : rows) {
    SCOPED_TRACE(testing::Message() << r.width << "x" << r.height);
    ResetScale();
    UpdateScale(r.width, r.height);
    EXPECT_EQ(ScaleX, r.scaleX);
    EXPECT_EQ(ScaleY, r.scaleY);
  }
}

TEST_F(ScaleTest, ListedScreensFromTheFirstComputation) {
  const ScaleRow rows[] = {
      {240, 320, 1, 1}, {320, 240, 1, 1}, {240, 240, 1, 1}, {320, 320, 1, 1}, {240, 400, 1, 1},
      {400, 240, 1, 1}, {480, 640, 2, 2}, {640, 480, 2, 2}, {480, 480, 2, 2}, {480, 800, 2, 2},
      {800, 480, 2, 2}, {480, 854, 2, 2}, {320, 480, 1, 2}, {480, 320, 2, 1}, {1920, 1080, 2, 2},
  };
  ExpectFirstFactors(rows);
}

TEST_F(ScaleTest, UnlistedSizeOnTheFirstComputationIsNeverZero) {
  const ScaleRow rows[] = {
      {799, 600, 2, 2},  // between the listed large sizes
      {360, 640, 1, 2},  // a common phone width that no rule names
      {479, 479, 1, 1},  // just short of the larger factor
      {200, 100, 1, 1},  // smaller than any device screen
      {0, -5, 1, 1},     // a display that reported nothing sensible
  };
  ExpectFirstFactors(rows);
}

TEST_F(ScaleTest, UnlistedSizeLaterKeepsThePreviousFactor) {
  UpdateScale(240, 320);
  UpdateScale(799, 600);  // neither dimension matches: both factors stay 1
  EXPECT_EQ(ScaleX, 1);
  EXPECT_EQ(ScaleY, 1);
  UpdateScale(480, 640);
  UpdateScale(799, 320);  // height matches, width keeps 2
  EXPECT_EQ(ScaleX, 2);
  EXPECT_EQ(ScaleY, 1);
}

TEST_F(ScaleTest, DesignValuesScaleByTheirOwnAxis) {
  UpdateScale(320, 480);
  EXPECT_EQ(DRAX(2), 2);
  EXPECT_EQ(DRAY(2), 4);
  EXPECT_EQ(DRAX(-7), -7);
  EXPECT_EQ(DRAY(-7), -14);
}

TEST_F(ScaleTest, ComputeSizeOnASmallScreenWithItsTaskbar) {
  LogOn();
  platform::host::SetScreenSize(240, 320);
  platform::host::SetTaskbarHeight(26);
  gui_->ComputeSize();
  EXPECT_EQ(gui_->ScreenWidth, 240);
  EXPECT_EQ(gui_->ScreenHeight, 320);
  EXPECT_EQ(gui_->MH, 26);
  EXPECT_EQ(DRAX(2), 2);
  EXPECT_EQ(DRAY(2), 2);
  EXPECT_EQ(Log(), "12: 0: 0@1.000/0.000: ComputeSize::Screen size: 240x320 Menu: 26\n");
}

TEST_F(ScaleTest, MenuHeightFallsBackToTheScaledDesignHeight) {
  struct Row {
    const char* label;
    int32_t width, height;
    bool taskbar;
    int32_t taskbarHeight, mh;
  } rows[] = {
      {"large screen, taskbar of 5", 480, 640, true, 5, 52},
      {"large screen, taskbar of 9", 480, 640, true, 9, 52},
      {"large screen, taskbar of 10 is believed", 480, 640, true, 10, 10},
      {"large screen, real taskbar", 480, 640, true, 52, 52},
      {"small screen, no taskbar", 240, 320, false, 0, 26},
      {"wide and short: vertical factor 1", 480, 320, false, 0, 26},
      {"narrow and tall: vertical factor 2", 320, 480, false, 0, 52},
      {"negative height", 240, 320, true, -3, 26},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.label);
    ResetScale();
    platform::host::SetScreenSize(r.width, r.height);
    if (r.taskbar) {
      platform::host::SetTaskbarHeight(r.taskbarHeight);
    } else {
      platform::host::SetNoTaskbar();
    }
    gui_->ComputeSize();
    EXPECT_EQ(gui_->MH, r.mh);
  }
}

TEST_F(ScaleTest, RotationKeepsFactorsAndTakesTheNewSizes) {
  LogOn();
  platform::host::SetScreenSize(480, 640);
  platform::host::SetTaskbarHeight(52);
  gui_->ComputeSize();
  platform::host::SetScreenSize(640, 480);
  platform::host::SetTaskbarHeight(36);
  gui_->ComputeSize();
  EXPECT_EQ(ScaleX, 2);
  EXPECT_EQ(ScaleY, 2);
  EXPECT_EQ(gui_->ScreenWidth, 640);
  EXPECT_EQ(gui_->ScreenHeight, 480);
  EXPECT_EQ(gui_->MH, 36);
  EXPECT_EQ(Log(),
            "12: 0: 0@1.000/0.000: ComputeSize::Screen size: 480x640 Menu: 52\n"
            "12: 0: 0@1.000/0.000: ComputeSize::Screen size: 640x480 Menu: 36\n");
}

TEST_F(ScaleTest, PictureNamesFollowTheHorizontalFactorOnly) {
  WChar name[260];
  UpdateScale(320, 480);  // vertical factor 2 must not pick the large pictures
  ASSERT_TRUE(ScaledPictureName(name, 260, u"t0ms_f%d.jpg"));
  EXPECT_EQ(WString(name), u"t0ms_f1.jpg");
  UpdateScale(480, 320);
  ASSERT_TRUE(ScaledPictureName(name, 260, u"cursors_f%d.jpg"));
  EXPECT_EQ(WString(name), u"cursors_f2.jpg");
  // Too small a buffer gives an empty name, not a cut one that could name another file.
  EXPECT_FALSE(ScaledPictureName(name, 8, u"tva_f%d.jpg"));
  EXPECT_EQ(name[0], 0);
}

}  // namespace
