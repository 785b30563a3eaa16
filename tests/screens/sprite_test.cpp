// Sprites and the sprite list on a real display: frames, strips and grids;
// what each draw paints and files; the animation modes and their timing.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "screens/scene_composer.h"
#include "screens/sprite.h"
#include "screens/sprite_list.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using composer_test::PendingRequests;

class SpriteTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    StartClock();
    target_ = MakeSurface(100, 80, kBlack);
    ASSERT_NE(target_, nullptr);
  }
  // "frame count: width x height rangeStart..rangeEnd"
  static std::string Shape(const Sprite& s) {
    return std::to_string(s.FrameCount()) + ": " + std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
           std::to_string(s.rangeStart) + ".." + std::to_string(s.rangeEnd);
  }
  static void AddFrames(Sprite& sprite, int count) {
    for (int i = 0; i < count; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  }
  LPDIRECTDRAWSURFACE target_ = nullptr;
  ScratchFolder folder_;
};

TEST_F(SpriteTest, AddFrameKeysOnBlueTakesTheLatestSizeAndReleasesItsFrames) {
  LPDIRECTDRAWSURFACE first = CreateKeyedSurface(12, 8, kRed);
  PaintRect(first, 0, 0, 1, 1, kBlue);
  first->AddRef();
  {
    Sprite sprite;
    sprite.AddFrame(first);
    sprite.AddFrame(nullptr);
    sprite.Draw(target_);
    EXPECT_EQ(CountPixels(target_, kRed), 12 * 8 - 1) << "pure blue is transparent";
    sprite.AddFrame(CreateKeyedSurface(6, 4, kGreen));
    testing::internal::CaptureStderr();
    sprite.AddFrameFromFile(folder_.File("missing.bmp").c_str());
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("ERROR: can't find file!: " + folder_.File("missing.bmp")), std::string::npos) << shown;
    EXPECT_EQ(Shape(sprite), "2: 6x4 0..2") << "a null or missing frame is not added";
  }
  EXPECT_EQ(first->Release(), 0u) << "the sprite gave back its reference";
}

// Frame k of a strip or grid coloured (25k, 100, 50).
Rgb FrameColour(int frame) { return Rgb{static_cast<uint8_t>(frame * 25), 100, 50}; }

TEST_F(SpriteTest, StripsAndGridsAreCutIntoFramesBadInputChangesNothing) {
  const std::string wide = folder_.File("wide.bmp"), tall = folder_.File("tall.bmp"), grid = folder_.File("grid.bmp");
  ASSERT_TRUE(WriteBmp24(wide, 100, 20, [](int x, int) { return FrameColour(x / 10); }));
  ASSERT_TRUE(WriteBmp24(tall, 20, 100, [](int, int y) { return FrameColour(y / 25); }));
  ASSERT_TRUE(WriteBmp24(grid, 35, 24, [](int x, int y) { return FrameColour(y / 10 * 3 + x / 10); }));
  Sprite strip, stacked, cut, untouched;
  strip.LoadStrip(wide.c_str(), 10, 0);
  ASSERT_EQ(Shape(strip), "10: 100x20 0..10") << "the whole strip's size is kept (intended)";
  strip.SetFrameIndex(3);
  strip.Draw(target_);
  EXPECT_EQ(PendingRequests(sceneComposer), "0,0 100x20 1001") << "and filed";
  EXPECT_EQ(CountPixels(target_, Pixel565(FrameColour(3))), 200) << "but one frame is drawn";
  stacked.AddFrame(CreateKeyedSurface(5, 5, kRed));
  stacked.LoadStrip(tall.c_str(), 4, 1);
  ASSERT_EQ(Shape(stacked), "5: 20x100 0..5") << "appended to the frame already there";
  EXPECT_EQ(RegionMismatch(stacked.FrameSurface(3), 0, 0, 20, 25, Pixel565(FrameColour(2))), "");
  EXPECT_EQ(cut.LoadGrid(grid.c_str(), 10, 10), 6) << "3 columns, 2 rows; the rest left out";
  EXPECT_EQ(RegionMismatch(cut.FrameSurface(4), 0, 0, 10, 10, Pixel565(FrameColour(4))), "") << "row by row";
  untouched.LoadStrip(folder_.File("missing.bmp").c_str(), 4, 0);
  untouched.LoadStrip(wide.c_str(), 0, 0);
  untouched.LoadStrip(wide.c_str(), -2, 1);
  EXPECT_EQ(Shape(untouched), "0: 0x0 -1..-1");
}

TEST_F(SpriteTest, DrawAndDrawRegionFileTheirRectangleAndPaintOnlyAVisibleFrame) {
  const struct {
    const char* what;
    float x, y;
    int centred, visible, tracking, frame;
    bool region;  // DrawRegion of the frame's 8 x 3 part at (5, 1) onto (30, 40), instead of Draw
    const char* filed;
    int painted;
  } cases[] = {
      {"plain: truncated", 5.99f, 7.2f, 0, 1, 1, 0, false, "5,7 21x5 1001", 105},
      {"negative fraction: toward zero", -0.5f, -0.9f, 0, 1, 1, 0, false, "0,0 21x5 1001", 105},
      {"centred, halves rounded toward zero first", 20.3f, 4.2f, 1, 1, 1, 0, false, "10,2 21x5 1001", 105},
      {"invisible: filed only", 10.0f, 20.0f, 0, 0, 1, 0, false, "10,20 21x5 1001", 0},
      {"untracked: drawn only", 10.0f, 20.0f, 0, 1, 0, 0, false, "", 105},
      {"no such frame", 10.0f, 20.0f, 0, 1, 1, 1, false, "", 0},
      {"region, wherever the sprite is", 60.0f, 60.0f, 1, 1, 1, 0, true, "30,40 8x3 1001", 24},
      {"region, invisible", 60.0f, 60.0f, 0, 0, 1, 0, true, "30,40 8x3 1001", 0},
      {"region, frame -1", 60.0f, 60.0f, 0, 1, 1, -1, true, "", 0},
  };
  Sprite sprite;
  LPDIRECTDRAWSURFACE frame = CreateKeyedSurface(21, 5, kBlack);
  PaintCoordinates(frame);
  sprite.AddFrame(frame);
  for (const auto& c : cases) {
    sceneComposer.SetBackground(nullptr);  // drops what earlier draws filed
    Fill(target_, kBlack);
    sprite.x = c.x;
    sprite.y = c.y;
    sprite.SetCentered(c.centred);
    sprite.SetVisible(c.visible);
    sprite.SetDirtyTracking(c.tracking);
    sprite.SetFrameIndex(c.frame);
    if (c.region) sprite.DrawRegion(5, 1, 8, 3, target_, 30, 40);
    else sprite.Draw(target_);
    EXPECT_EQ(PendingRequests(sceneComposer) + " / " + std::to_string(100 * 80 - CountPixels(target_, kBlack)),
              c.filed + std::string(" / ") + std::to_string(c.painted))
        << c.what << ": filed / pixels painted";
  }
  // Clipped: the frame's right part shows at column 0.
  sprite.SetPosition(-3, 20);
  sprite.SetFrameIndex(0);
  sprite.SetVisible(1);
  sprite.Draw(target_);
  EXPECT_EQ(std::pair(PixelAt(target_, 0, 20), PixelAt(target_, 17, 24)),
            std::pair(CoordinatePixel(3, 0), CoordinatePixel(20, 4)));
}

// One due step in each mode at the ends of the range 1..4 of four frames, so
// that frame 0 and the range's start differ. Each: mode, frame and playing
// before; frame and playing after.
TEST_F(SpriteTest, AnimateKeepsEachModeAtTheEndsOfTheRange) {
  const struct {
    const char* what;
    int32_t mode, startFrame, playing, expectedFrame, expectedPlaying;
  } cases[] = {
      {"loop, past the end: frame 0, not the range's start", AnimLoop, 3, 1, 0, 1},
      {"hold, past the end", AnimHold, 3, 1, 3, 0},
      {"rewind, past the end", AnimRewind, 3, 1, 1, 0},
      {"vanish, past the end", AnimVanish, 3, 1, -1, 0},
      {"unknown mode, past the end", 7, 3, 1, 4, 1},
      {"loop, below 0, stopped", AnimLoop, -1, 0, 3, 0},
      {"loop, below 0, playing: the step comes first", AnimLoop, -1, 1, 0, 1},
      {"hold, below 0", AnimHold, -1, 0, 1, 0},
      {"rewind, below 0", AnimRewind, -1, 0, 1, 0},
      {"vanish, below 0, playing: stops", AnimVanish, -2, 1, -1, 0},
  };
  Sprite sprite;
  AddFrames(sprite, 4);
  sprite.SetRange(1, 4);
  for (const auto& c : cases) {
    sprite.SetAnimMode(c.mode);
    sprite.SetPlaying(c.playing);
    sprite.SetFrameIndex(c.startFrame);
    Tick();
    sprite.Animate();
    EXPECT_EQ(std::pair(sprite.currentFrame, sprite.playing), std::pair(c.expectedFrame, c.expectedPlaying)) << c.what;
  }
}

// Each row: clock ticks (10 ms each) before the call, the delay, playing, and the frame after it.
TEST_F(SpriteTest, AnimateStepsOnlyWhenMoreThanTheDelayHasPassed) {
  const struct {
    int ticks, delay, playing, frame;
    const char* why;
  } steps[] = {
      {0, 0, 1, 0, "no time has passed"}, {1, 0, 1, 1, "delay 0: one step per tick"}, {0, 0, 1, 1, "not two"},
      {3, 30, 1, 1, "30 ms is not more than 30"}, {1, 30, 1, 2, "40 ms is"},        {10, 30, 0, 2, "stopped"},
  };
  Sprite sprite;
  AddFrames(sprite, 10);
  sprite.SetAnimMode(AnimLoop);
  for (const auto& s : steps) {
    Tick(s.ticks);
    sprite.SetFrameDelay(s.delay);
    sprite.SetPlaying(s.playing);
    sprite.Animate();
    EXPECT_EQ(sprite.currentFrame, s.frame) << s.why;
  }
}

// The list animates every sprite, then draws those in their range in list order.
TEST_F(SpriteTest, TheListAnimatesThenDrawsInOrderAndIsInertAfterDestroyAll) {
  const auto newSprite = [](int x, std::initializer_list<uint16_t> colours) {
    Sprite* sprite = new Sprite;
    for (uint16_t colour : colours) sprite->AddFrame(CreateKeyedSurface(4, 4, colour));
    sprite->SetPosition(x, 0);
    return sprite;
  };
  SpriteList list;
  Sprite* playing = newSprite(0, {kRed, kGreen});
  playing->SetPlaying(1);
  Sprite* outOfRange = newSprite(20, {kYellow, kWhite});
  outOfRange->SetRange(1, 2);  // frame 0 exists but lies outside the range
  for (Sprite* sprite : {playing, new Sprite, outOfRange, newSprite(30, {kRed}), newSprite(32, {kYellow})})
    ASSERT_EQ(list.Add(sprite), 1);
  EXPECT_EQ(list.Add(nullptr), 0);
  Tick();
  list.AnimateAndDraw(target_);
  EXPECT_EQ(RegionMismatch(target_, 0, 0, 4, 4, kGreen), "") << "drawn with the frame it stepped to";
  EXPECT_EQ(RegionMismatch(target_, 20, 0, 4, 4, kBlack), "") << "frame 0 outside the range 1..2";
  EXPECT_EQ(RegionMismatch(target_, 30, 0, 2, 4, kRed) + RegionMismatch(target_, 32, 0, 4, 4, kYellow), "")
      << "the later sprite on top";
  EXPECT_EQ(PendingRequests(sceneComposer), "0,0 4x4 1001; 30,0 4x4 1001; 32,0 4x4 1001");
  LPDIRECTDRAWSURFACE frame = playing->FrameSurface(0);
  frame->AddRef();
  list.DestroyAll();
  EXPECT_EQ(frame->Release(), 0u) << "the sprites and their frames were destroyed";
  Fill(target_, kBlack);
  list.AnimateAndDraw(target_);
  spriteList.AnimateAndDraw(target_);  // the game's own list starts empty
  EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80);
  Sprite kept;
  EXPECT_EQ(list.Add(&kept), 0) << "nothing is added after DestroyAll; the caller keeps the sprite";
}

}  // namespace
