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

// Timing across real flips, full-screen and windowed.

class ComposerFlipTest : public DisplayTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(FullScreen()));
    background_ = MakeSurface(800, 600, kGrey);
    ASSERT_NE(background_, nullptr);
    composer_.SetBackground(background_);
    // Both buffers of the chain start as the background.
    PaintRect(backSurface, 0, 0, 800, 600, kGrey);
    Present();
    PaintRect(backSurface, 0, 0, 800, 600, kGrey);
    Present();
  }

  bool FullScreen() const { return GetParam(); }

  // What a screen's Present does around the flip (the cursor aside).
  void Present() {
    ASSERT_EQ(ZQFlip(), 1);
    composer_.SwitchBuffer();
    composer_.UpdateBackSurface(backSurface);
  }

  void DrawMarker(int x, uint16_t pixel) { PaintRect(backSurface, x, kMarkerY, kMarkerSize, kMarkerSize, pixel); }
  std::string Marker(LPDIRECTDRAWSURFACE surface, int x, uint16_t pixel) {
    return RegionMismatch(surface, x, kMarkerY, kMarkerSize, kMarkerSize, pixel);
  }

  SceneComposer composer_;
  LPDIRECTDRAWSURFACE background_ = nullptr;
};

// Frame N draws six markers and files them, the last one with a lasting request.
TEST_P(ComposerFlipTest, OneShotRequestsApplyOnceAfterTheSecondFlipLastingOnesAfterEverySecondFlip) {
  const int markers[] = {0, 40, 80, 120, 160, kLasting};
  for (int x : markers) {
    DrawMarker(x, kRed);
    composer_.AddRequest(x, kMarkerY, kMarkerSize, kMarkerSize, x == kLasting ? 0 : RestoreOnce, RestoreFromBackground);
  }
  Present();  // first flip after frame N
  for (int x : markers) {
    if (FullScreen()) {
      EXPECT_EQ(Marker(primarySurface, x, kRed), "") << x << ": frame N is on show";
      EXPECT_EQ(Marker(backSurface, x, kGrey), "") << x << ": the back surface is frame N-1's buffer";
    } else {
      EXPECT_EQ(Marker(backSurface, x, kRed), "") << x << ": not restored yet after the first flip";
    }
  }
  Present();  // second flip: frame N's buffer is the back surface again
  for (int x : markers) EXPECT_EQ(Marker(backSurface, x, kGrey), "") << x << ": restored after the second flip";

  // Drawn again without filing: two flips later only the lasting request restores.
  for (int x : markers) DrawMarker(x, kRed);
  Present();
  Present();
  for (int x : markers) {
    EXPECT_EQ(Marker(backSurface, x, x == kLasting ? kGrey : kRed), "")
        << x << (x == kLasting ? ": the lasting request applies again" : ": the one-shot request is gone");
  }
  EXPECT_EQ(PendingRequests(composer_), "400,120 20x20 1000");
  composer_.SwitchBuffer();
  EXPECT_EQ(PendingRequests(composer_), "") << "the other list";
}

INSTANTIATE_TEST_SUITE_P(Display, ComposerFlipTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "FullScreen" : "Windowed";
                         });

// Backgrounds, the backdrop and the requests' bookkeeping, on a plain target.

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

  // What a screen's Present does to the composer after a flip.
  void Flip(LPDIRECTDRAWSURFACE back) {
    composer_.SwitchBuffer();
    composer_.UpdateBackSurface(back);
  }

  SceneComposer composer_;
  LPDIRECTDRAWSURFACE target_ = nullptr;
  LPDIRECTDRAWSURFACE background_ = nullptr;
  LPDIRECTDRAWSURFACE backdrop_ = nullptr;
};

TEST_F(ComposerTest, FilesRectanglesWithCombinedFlagsInFilingOrder) {
  composer_.AddRequest(1, 2, 3, 4, RestoreOnce, RestoreFromBackground);
  composer_.AddRequestRect(RECT{10, 20, 40, 25}, RestoreFromBackground, 0);
  composer_.AddRequestRect(RECT{-5, -6, 5, 6}, RestoreOnce, RestoreOnce);
  EXPECT_EQ(PendingRequests(composer_), "1,2 3x4 1001; 10,20 30x5 1000; -5,-6 10x12 1");
  composer_.SwitchBuffer();
  EXPECT_EQ(PendingRequests(composer_), "") << "the other buffer's list";
}

TEST_F(ComposerTest, RestoreRectChangesTheBackgroundAtOnceAndTheBackSurfaceTwoFlipsLater) {
  composer_.SetBackground(background_);
  composer_.SetBackdrop(backdrop_);
  composer_.RestoreRect(10, 20, 30, 40);
  EXPECT_EQ(RegionMismatch(background_, 10, 20, 30, 40, kWhite), "") << "background refreshed at once";
  EXPECT_EQ(CountPixels(background_, kWhite), 30 * 40) << "and only inside the rectangle";
  EXPECT_EQ(CountPixels(target_, kBlack), 200 * 150) << "back surface untouched when filed";
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kBlack), 200 * 150) << "the other buffer's list holds nothing";
  Flip(target_);
  EXPECT_EQ(RegionMismatch(target_, 10, 20, 30, 40, kWhite), "") << "applied from the refreshed background";
  EXPECT_EQ(CountPixels(target_, kWhite), 30 * 40);
}

TEST_F(ComposerTest, RestoreAllRefreshesTheWholeBackgroundAndFilesItsSize) {
  composer_.SetBackground(background_);
  composer_.SetBackdrop(backdrop_);
  PaintRect(backdrop_, 0, 0, 5, 5, kSurfaceKey);  // keyed: the copy leaves these pixels alone
  composer_.RestoreAll();
  EXPECT_EQ(CountPixels(background_, kWhite), 200 * 150 - 25);
  EXPECT_EQ(RegionMismatch(background_, 0, 0, 5, 5, kGrey), "") << "source colour key honoured";
  EXPECT_EQ(PendingRequests(composer_), "0,0 200x150 1001");
  Flip(target_);
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kWhite), 200 * 150 - 25);
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
  composer_.AddRequest(0, 0, 50, 50, RestoreOnce, RestoreFromBackground);
  Flip(target_);
  Flip(target_);
  EXPECT_EQ(CountPixels(target_, kBlack), 200 * 150) << "no background to copy from";
}

TEST_F(ComposerTest, SetBackgroundDropsOneShotRequestsOfBothListsAndKeepsLastingOnes) {
  LPDIRECTDRAWSURFACE popup = MakeSurface(200, 150, kYellow);
  composer_.SetBackground(background_);
  composer_.AddRequest(0, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.AddRequest(50, 50, 10, 10, RestoreFromBackground, 0);
  composer_.AddRequest(20, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.SwitchBuffer();
  composer_.AddRequest(100, 0, 10, 10, RestoreOnce, RestoreFromBackground);

  composer_.SetBackground(popup);
  EXPECT_EQ(PendingRequests(composer_), "") << "one-shot request of this list";
  composer_.SwitchBuffer();
  EXPECT_EQ(PendingRequests(composer_), "50,50 10x10 1000") << "the other list keeps only the lasting one";

  composer_.UpdateBackSurface(target_);
  EXPECT_EQ(CountPixels(target_, kBlack), 200 * 150) << "its owner background is not current";

  // Requests filed under the popup belong to it.
  composer_.AddRequest(150, 100, 10, 10, RestoreFromBackground, 0);
  composer_.UpdateBackSurface(target_);
  EXPECT_EQ(CountPixels(target_, kYellow), 100) << "the popup's own lasting request";

  composer_.SetBackground(background_);
  composer_.UpdateBackSurface(target_);
  EXPECT_EQ(RegionMismatch(target_, 50, 50, 10, 10, kGrey), "") << "applied again under its own background";
  EXPECT_EQ(CountPixels(target_, kGrey), 100);
  EXPECT_EQ(CountPixels(target_, kYellow), 100) << "the popup's request stays unapplied";
}

}  // namespace
