// The scene composer on a real display: when filed rectangles reach the back
// surface across flips, the backdrop refreshing the background, changing backgrounds.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "platform/zq.h"
#include "screens/scene_composer.h"
#include "core/globals.h"
#include "support/display.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

constexpr int kLasting = 400, kMarkerY = 120, kMarkerSize = 20;

class ComposerFlipTest : public DisplayTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(GetParam()));
    composer_.SetBackground(MakeSurface(800, 600, kGrey));
    for (int buffer = 0; buffer < 2; ++buffer) {  // both buffers of the chain start as the background
      Fill(backSurface, kGrey);
      Present();
    }
  }
  // What a screen's Present does around the flip (the cursor aside).
  void Present() {
    ASSERT_EQ(ZQFlip(), 1);
    composer_.SwitchBuffer();
    composer_.UpdateBackSurface(backSurface);
  }
  std::string Marker(LPDIRECTDRAWSURFACE surface, int x, uint16_t pixel) {
    return RegionMismatch(surface, x, kMarkerY, kMarkerSize, kMarkerSize, pixel);
  }
  SceneComposer composer_;
};

// Frame N draws markers side by side and files them, the last one lasting.
TEST_P(ComposerFlipTest, OneShotRequestsApplyOnceAfterTheSecondFlipLastingOnesAfterEverySecondFlip) {
  const int markers[] = {0, 40, 80, kLasting};
  for (int x : markers) {
    PaintRect(backSurface, x, kMarkerY, kMarkerSize, kMarkerSize, kRed);
    composer_.AddRequest(x, kMarkerY, kMarkerSize, kMarkerSize, x == kLasting ? 0 : RestoreOnce, RestoreFromBackground);
  }
  Present();  // first flip after frame N
  for (int x : markers) {
    if (GetParam()) {
      EXPECT_EQ(Marker(primarySurface, x, kRed), "") << x << ": frame N is on show";
      EXPECT_EQ(Marker(backSurface, x, kGrey), "") << x << ": the back surface is frame N-1's buffer";
    } else {
      EXPECT_EQ(Marker(backSurface, x, kRed), "") << x << ": not restored yet after the first flip";
    }
  }
  Present();  // second flip: frame N's buffer is the back surface again
  for (int x : markers) EXPECT_EQ(Marker(backSurface, x, kGrey), "") << x << ": restored after the second flip";
  // Drawn again without filing: two flips later only the lasting request restores.
  for (int x : markers) PaintRect(backSurface, x, kMarkerY, kMarkerSize, kMarkerSize, kRed);
  Present();
  Present();
  for (int x : markers) EXPECT_EQ(Marker(backSurface, x, x == kLasting ? kGrey : kRed), "") << x;
}

INSTANTIATE_TEST_SUITE_P(Display, ComposerFlipTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "FullScreen" : "Windowed";
                         });

class ComposerTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    target_ = MakeSurface(200, 150, kBlack);
    background_ = MakeSurface(200, 150, kGrey);
    backdrop_ = MakeSurface(200, 150, kWhite);
    ASSERT_NE(backdrop_, nullptr);
  }
  void Flip(LPDIRECTDRAWSURFACE back) {
    composer_.SwitchBuffer();
    composer_.UpdateBackSurface(back);
  }
  SceneComposer composer_;
  LPDIRECTDRAWSURFACE target_ = nullptr;
  LPDIRECTDRAWSURFACE background_ = nullptr;
  LPDIRECTDRAWSURFACE backdrop_ = nullptr;
};

// The backdrop refreshes the background at once, the back surface two flips later.
TEST_F(ComposerTest, RestoreRectAndRestoreAllRefreshTheBackgroundAtOnceAndTheBackSurfaceLater) {
  composer_.SetBackground(background_);
  composer_.SetBackdrop(backdrop_);
  composer_.RestoreRect(10, 20, 30, 40);
  EXPECT_EQ(RegionMismatch(background_, 10, 20, 30, 40, kWhite), "");
  EXPECT_EQ(CountPixels(background_, kWhite), 30 * 40) << "and only inside the rectangle";
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kBlack), 200 * 150) << "not after one flip";
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kWhite), 30 * 40);

  PaintRect(backdrop_, 0, 0, 5, 5, kSurfaceKey);  // keyed: the copy leaves these pixels alone
  composer_.RestoreAll();
  EXPECT_EQ(CountPixels(background_, kWhite), 200 * 150 - 25) << "source colour key honoured";
  EXPECT_EQ(PendingRequests(composer_), "0,0 200x150 1001");
}

TEST_F(ComposerTest, MissingSurfacesCopyNothingButRequestsAreStillConsumed) {
  composer_.SetBackground(background_);
  composer_.RestoreRect(0, 0, 50, 50);  // no backdrop
  EXPECT_EQ(CountPixels(background_, kGrey), 200 * 150);
  Flip(nullptr);
  Flip(nullptr);
  EXPECT_EQ(PendingRequests(composer_), "") << "one-shot request used up without a back surface";
  composer_.SetBackground(nullptr);
  composer_.RestoreAll();
  EXPECT_EQ(PendingRequests(composer_), "") << "RestoreAll has no background to measure";
}

// Changing the background drops the one-shot requests of both lists; a lasting
// request applies only under the background it was filed under.
TEST_F(ComposerTest, SetBackgroundDropsOneShotRequestsOfBothListsAndKeepsLastingOnes) {
  LPDIRECTDRAWSURFACE popup = MakeSurface(200, 150, kYellow);
  composer_.SetBackground(background_);
  composer_.AddRequest(0, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.AddRequest(50, 50, 10, 10, RestoreFromBackground, 0);
  composer_.AddRequest(20, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.SwitchBuffer();
  composer_.AddRequest(100, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.SetBackground(popup);
  EXPECT_EQ(PendingRequests(composer_), "");
  composer_.AddRequest(150, 100, 10, 10, RestoreFromBackground, 0);  // the popup's own
  composer_.SwitchBuffer();
  EXPECT_EQ(PendingRequests(composer_), "50,50 10x10 1000");
  Flip(target_);
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kYellow), 100) << "only the popup's own request applies under it";
  composer_.SetBackground(background_);
  Flip(target_);
  Flip(target_);
  EXPECT_EQ(RegionMismatch(target_, 50, 50, 10, 10, kGrey), "") << "applied again under its own background";
  EXPECT_EQ(CountPixels(target_, kYellow), 100) << "the popup's request stays unapplied";
}

}  // namespace
