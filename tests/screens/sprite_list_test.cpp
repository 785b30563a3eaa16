// The sprite list: animating then drawing its sprites in order, owning them
// until DestroyAll, after which it stays inert like an empty list.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "screens/scene_composer.h"
#include "screens/sprite_list.h"
#include "support/display.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

class SpriteListTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    StartClock();
    target_ = MakeSurface(100, 80, kBlack);
    ASSERT_NE(target_, nullptr);
  }
  // A sprite at (x, 0) with one 4 x 4 frame per colour, in order.
  static Sprite* NewSprite(int x, std::initializer_list<uint16_t> colours) {
    Sprite* sprite = new Sprite;
    for (uint16_t colour : colours) sprite->AddFrame(CreateKeyedSurface(4, 4, colour));
    sprite->SetPosition(x, 0);
    return sprite;
  }
  LPDIRECTDRAWSURFACE target_ = nullptr;
};

TEST_F(SpriteListTest, AnimatesEverySpriteThenDrawsThoseInTheirRangeInListOrder) {
  SpriteList list;
  Sprite* playing = NewSprite(0, {kRed, kGreen});
  playing->SetPlaying(1);
  Sprite* vanishing = NewSprite(10, {kRed});
  vanishing->SetAnimMode(AnimVanish);
  vanishing->SetPlaying(1);
  Sprite* outOfRange = NewSprite(20, {kYellow, kWhite});
  outOfRange->SetRange(1, 2);  // frame 0 exists but lies outside the range
  for (Sprite* sprite : {playing, vanishing, new Sprite, outOfRange, NewSprite(30, {kRed}), NewSprite(32, {kYellow})})
    ASSERT_EQ(list.Add(sprite), 1);
  EXPECT_EQ(list.Add(nullptr), 0);
  Tick();
  list.AnimateAndDraw(target_);
  EXPECT_EQ(RegionMismatch(target_, 0, 0, 4, 4, kGreen), "") << "drawn with the frame it stepped to";
  EXPECT_EQ(RegionMismatch(target_, 10, 0, 14, 4, kBlack), "") << "vanished, and frame 0 outside the range 1..2";
  EXPECT_EQ(RegionMismatch(target_, 30, 0, 2, 4, kRed), "");
  EXPECT_EQ(RegionMismatch(target_, 32, 0, 4, 4, kYellow), "") << "the later sprite on top";
  EXPECT_EQ(PendingRequests(sceneComposer), "0,0 4x4 1001; 30,0 4x4 1001; 32,0 4x4 1001");
  EXPECT_EQ(list.Count(), 6) << "vanished and frameless sprites stay in the list";
}

TEST_F(SpriteListTest, DestroyAllReleasesTheSpritesAndLeavesTheListInert) {
  LPDIRECTDRAWSURFACE frame = CreateKeyedSurface(4, 4, kRed);
  frame->AddRef();
  SpriteList list;
  Sprite* sprite = new Sprite;
  sprite->AddFrame(frame);
  list.Add(sprite);
  list.Add(NewSprite(10, {kGreen}));
  list.DestroyAll();
  EXPECT_EQ(frame->Release(), 0u) << "the sprite and its frames were destroyed";
  list.AnimateAndDraw(target_);
  list.DestroyAll();
  spriteList.AnimateAndDraw(target_);  // the game's own list starts empty
  EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80);
  EXPECT_EQ(PendingRequests(sceneComposer), "");
  Sprite kept;
  EXPECT_EQ(list.Add(&kept), 0) << "nothing is added after DestroyAll; the caller keeps the sprite";
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
