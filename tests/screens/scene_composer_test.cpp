// The scene composer on a real display: filed rectangles reach the back surface two flips later, the backdrop
// refreshes the background, backgrounds change.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "screens/scene_composer.h"
#include "screens/screen.h"
#include "core/globals.h"
#include "support/display.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

class ComposerTest : public DisplayTest, public testing::WithParamInterface<bool> {
 protected:
  void Flip(LPDIRECTDRAWSURFACE back) {
    composer_.SwitchBuffer();
    composer_.UpdateBackSurface(back);
  }
  SceneComposer composer_;
};

// Markers side by side at 0, 40, 80 and 120 (the last filed as lasting): each "R" red, "G" grey or "?".
constexpr int kMarkers[] = {0, 40, 80, 120};
std::string Markers(LPDIRECTDRAWSURFACE surface) {
  std::string seen;
  for (int x : kMarkers)
    seen += RegionMismatch(surface, x, 120, 20, 20, kRed).empty()    ? 'R'
            : RegionMismatch(surface, x, 120, 20, 20, kGrey).empty() ? 'G'
                                                                       : '?';
  return seen;
}

// Through the screens' own Present: what was filed in frame N is restored once its buffer comes back as the
// back surface, i.e. after the second flip.
TEST_P(ComposerTest, OneShotRequestsApplyOnceAfterTheSecondFlipLastingOnesAfterEverySecondFlip) {
  ASSERT_TRUE(StartDisplay(GetParam()));
  sceneComposer.SetBackground(MakeSurface(800, 600, kGrey));
  Screen screen;
  for (int buffer = 0; buffer < 2; ++buffer) {  // both buffers of the chain start as the background
    Fill(backSurface, kGrey);
    screen.Present();
  }
  for (int x : kMarkers) {
    PaintRect(backSurface, x, 120, 20, 20, kRed);
    sceneComposer.AddRequest(x, 120, 20, 20, x == 120 ? 0 : RestoreOnce, RestoreFromBackground);
  }
  screen.Present();
  // Full-screen frame N is on show and the back surface is frame N-1's; windowed it keeps frame N.
  std::string seen = Markers(backSurface) + Markers(primarySurface).substr(0, GetParam() ? 4 : 0);
  screen.Present();
  seen += " " + Markers(backSurface);
  for (int x : kMarkers) PaintRect(backSurface, x, 120, 20, 20, kRed);
  screen.Present();
  screen.Present();
  EXPECT_EQ(seen + " " + Markers(backSurface), GetParam() ? "GGGGRRRR GGGG RRRG" : "RRRR GGGG RRRG")
      << "after one flip, after two, then drawn again unfiled and flipped twice: only the lasting one restores";
}

INSTANTIATE_TEST_SUITE_P(Display, ComposerTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "FullScreen" : "Windowed"; });

// The backdrop refreshes the background at once (keyed pixels left alone) and the back surface when the
// request comes due. Changing the background drops the one-shot requests of both lists; a lasting request
// applies only under the background it was filed under.
TEST_F(ComposerTest, TheBackdropRefreshesTheBackgroundAndANewBackgroundDropsOneShotRequests) {
  ASSERT_TRUE(StartDisplay(false));
  LPDIRECTDRAWSURFACE target = MakeSurface(200, 150, kBlack), background = MakeSurface(200, 150, kGrey),
                      backdrop = MakeSurface(200, 150, kWhite), popup = MakeSurface(200, 150, kYellow);
  composer_.SetBackground(background);
  composer_.SetBackdrop(backdrop);
  PaintRect(backdrop, 10, 20, 5, 5, kSurfaceKey);
  composer_.RestoreRect(10, 20, 30, 40);
  EXPECT_EQ(CountPixels(background, kWhite), 30 * 40 - 25) << "only inside the rectangle, key honoured";
  Flip(target);
  Flip(target);
  EXPECT_EQ(CountPixels(target, kWhite), 30 * 40 - 25) << "and then the back surface";
  composer_.RestoreAll();  // the whole background white, seen through the lasting request below

  composer_.AddRequest(50, 50, 10, 10, RestoreFromBackground, 0);
  composer_.SwitchBuffer();
  composer_.AddRequest(100, 0, 10, 10, RestoreOnce, RestoreFromBackground);
  composer_.SetBackground(popup);
  EXPECT_EQ(PendingRequests(composer_), "");
  composer_.AddRequest(150, 100, 10, 10, RestoreFromBackground, 0);  // the popup's own
  composer_.SwitchBuffer();
  EXPECT_EQ(PendingRequests(composer_), "50,50 10x10 1000");
  Flip(target);
  Flip(target);
  EXPECT_EQ(CountPixels(target, kYellow), 100) << "only the popup's own request applies under it";
  composer_.SetBackground(background);
  Flip(target);
  Flip(target);
  EXPECT_EQ(RegionMismatch(target, 50, 50, 10, 10, kWhite), "") << "applied again under its own (refreshed) background";
  EXPECT_EQ(CountPixels(target, kYellow), 100) << "the popup's request stays unapplied";
}

}  // namespace
