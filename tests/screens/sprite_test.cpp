// Sprites on a real display: frames, strips and grids; positions turned into
// pixels; clipped, partial and invisible draws and what they file; animation.
#include <gtest/gtest.h>

#include "composer_helpers.h"
#include "screens/scene_composer.h"
#include "screens/sprite.h"
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

  // A frame for a sprite to own, each pixel telling where it is.
  static LPDIRECTDRAWSURFACE CoordinateFrame(int width, int height) {
    LPDIRECTDRAWSURFACE frame = CreateKeyedSurface(width, height, kBlack);
    PaintCoordinates(frame);
    return frame;
  }

  static std::string Filed() { return PendingRequests(sceneComposer); }
  // Drops what earlier draws filed.
  static void ForgetFiled() { sceneComposer.SetBackground(nullptr); }

  // "frame count: width x height rangeStart..rangeEnd"
  static std::string Shape(const Sprite& s) {
    return std::to_string(s.FrameCount()) + ": " + std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
           std::to_string(s.rangeStart) + ".." + std::to_string(s.rangeEnd);
  }
  static std::string SizeOf(LPDIRECTDRAWSURFACE surface) {
    int width = 0, height = 0;
    return SurfaceSize(surface, &width, &height) ? std::to_string(width) + "x" + std::to_string(height) : "none";
  }

  LPDIRECTDRAWSURFACE target_ = nullptr;
  ScratchFolder folder_;
};

// Frames added, loaded and cut from strips and grids.

TEST_F(SpriteTest, AddFrameKeysOnBlueTakesTheLatestFramesSizeAndTheSpriteReleasesIt) {
  LPDIRECTDRAWSURFACE first = CreateKeyedSurface(12, 8, kRed);
  PaintRect(first, 0, 0, 1, 1, kBlue);
  first->AddRef();
  {
    Sprite sprite;
    EXPECT_EQ(sprite.AddFrame(first), 1);
    EXPECT_EQ(sprite.AddFrame(nullptr), 1) << "a null frame is ignored";
    EXPECT_EQ(Shape(sprite), "1: 12x8 0..1");
    const SpriteBounds& b = sprite.bounds;
    EXPECT_EQ(std::vector<int32_t>({b.x, b.y, b.width, b.height}), std::vector<int32_t>({0, 0, 12, 8}));
    sprite.Draw(target_);
    EXPECT_EQ(PixelAt(target_, 0, 0), kBlack) << "pure blue is transparent";
    EXPECT_EQ(CountPixels(target_, kRed), 12 * 8 - 1);
    sprite.AddFrame(CreateKeyedSurface(6, 4, kGreen));
    EXPECT_EQ(Shape(sprite), "2: 6x4 0..2");
  }
  EXPECT_EQ(first->Release(), 0u) << "the sprite gave back its reference";
}

TEST_F(SpriteTest, AddFrameFromFileLoadsTheBitmapOrShowsTheMissingFileMessage) {
  const std::string path = folder_.File("ghost.bmp"), missing = folder_.File("missing.bmp");
  ASSERT_TRUE(WriteBmp24(path, 8, 6, [](int x, int) { return x == 0 ? kBmpBlue : kBmpRed; }));
  Sprite sprite;
  EXPECT_EQ(sprite.AddFrameFromFile(path.c_str()), 1);
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(SizeOf(sprite.FrameSurface(0)), "8x6");
  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 0, 0), kBlack) << "blue column keyed out";
  EXPECT_EQ(PixelAt(target_, 1, 0), kRed);

  testing::internal::CaptureStderr();
  EXPECT_EQ(sprite.AddFrameFromFile(missing.c_str()), 1);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("ERROR: can't find file!: " + missing), std::string::npos) << "stderr was: " << shown;
  EXPECT_EQ(Shape(sprite), "1: 8x6 0..1") << "unchanged";
}

// Ten frames side by side, frame k coloured (25k, 100, 50).
Rgb StripColour(int frame) { return Rgb{static_cast<uint8_t>(frame * 25), 100, 50}; }

TEST_F(SpriteTest, LoadStripCutsFramesButKeepsAndFilesTheWholeStripsSize) {
  const std::string path = folder_.File("strip.bmp");
  ASSERT_TRUE(WriteBmp24(path, 100, 20, [](int x, int) { return StripColour(x / 10); }));
  Sprite sprite;
  sprite.LoadStrip(path.c_str(), 10, 0);
  ASSERT_EQ(Shape(sprite), "10: 100x20 0..10");
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(SizeOf(sprite.FrameSurface(k)), "10x20") << "frame " << k;
    EXPECT_EQ(RegionMismatch(sprite.FrameSurface(k), 0, 0, 10, 20, Pixel565(StripColour(k))), "") << "frame " << k;
  }
  sprite.SetFrameIndex(3);
  sprite.Draw(target_);
  EXPECT_EQ(Filed(), "0,0 100x20 1001") << "the strip's size is filed (intended)";
  EXPECT_EQ(CountPixels(target_, Pixel565(StripColour(3))), 200) << "but one frame is drawn";
  sprite.FitWidthToFrame();
  EXPECT_EQ(sprite.width, 10);
}

TEST_F(SpriteTest, LoadStripStacksAppendsDropsTheRestAndIgnoresBadInput) {
  const std::string tall = folder_.File("tall.bmp"), narrow = folder_.File("narrow.bmp");
  ASSERT_TRUE(WriteBmp24(tall, 20, 100, [](int, int y) { return StripColour(y / 25); }));
  ASSERT_TRUE(WriteBmp24(narrow, 10, 3, [](int, int) { return kBmpGreen; }));
  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(5, 5, kRed));
  sprite.LoadStrip(tall.c_str(), 4, 1);
  ASSERT_EQ(Shape(sprite), "5: 20x100 0..5") << "appended to the frame already there";
  EXPECT_EQ(SizeOf(sprite.FrameSurface(3)), "20x25");
  EXPECT_EQ(RegionMismatch(sprite.FrameSurface(3), 0, 0, 20, 25, Pixel565(StripColour(2))), "");

  Sprite uneven;  // 10 pixels cut into 4: frames 2 wide, and 5 of them
  uneven.LoadStrip(narrow.c_str(), 4, 0);
  ASSERT_EQ(Shape(uneven), "5: 10x3 0..5");
  EXPECT_EQ(SizeOf(uneven.FrameSurface(4)), "2x3");

  Sprite untouched;  // a missing file, no frames or a negative count: unchanged and silent
  testing::internal::CaptureStderr();
  untouched.LoadStrip(folder_.File("missing.bmp").c_str(), 4, 0);
  untouched.LoadStrip(narrow.c_str(), 0, 0);
  untouched.LoadStrip(narrow.c_str(), -2, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(Shape(untouched), "0: 0x0 -1..-1");
}

TEST_F(SpriteTest, LoadGridCutsRowByRowAndSetsTheSizeEvenWhenTheFileIsMissing) {
  const std::string path = folder_.File("grid.bmp");
  ASSERT_TRUE(WriteBmp24(path, 35, 24, [](int x, int y) { return StripColour(y / 10 * 3 + x / 10); }));
  Sprite sprite;
  EXPECT_EQ(sprite.LoadGrid(path.c_str(), 10, 10), 6) << "3 columns, 2 rows; the rest left out";
  ASSERT_EQ(Shape(sprite), "6: 10x10 0..6");
  EXPECT_EQ(RegionMismatch(sprite.FrameSurface(4), 0, 0, 10, 10, Pixel565(StripColour(4))), "")
      << "frame 4 is the second row's middle";
  testing::internal::CaptureStderr();
  EXPECT_EQ(sprite.LoadGrid(folder_.File("missing.bmp").c_str(), 7, 9), 6);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(Shape(sprite), "6: 7x9 0..6") << "size set all the same";
}

// Positions, clipping, visibility and frame choice: what each draw files and paints.

TEST_F(SpriteTest, DrawAndDrawRegionFileTheirRectangleAndPaintOnlyAVisibleFrame) {
  struct Case {
    const char* what;
    float x, y;
    int centred, visible, tracking, frame;
    bool region;  // DrawRegion of the frame's 8 x 3 part at (5, 1) onto (30, 40), instead of Draw
    const char* filed;
    int painted;
  };
  const Case cases[] = {
      {"plain: truncated", 5.99f, 7.2f, 0, 1, 1, 0, false, "5,7 21x5 1001", 105},
      {"negative fraction: toward zero", -0.5f, -0.9f, 0, 1, 1, 0, false, "0,0 21x5 1001", 105},
      {"negative: clipped", -3.7f, 2.0f, 0, 1, 1, 0, false, "-3,2 21x5 1001", 18 * 5},
      {"centred, 10.9 - 10", 10.9f, 2.6f, 1, 1, 1, 0, false, "0,0 21x5 1001", 105},
      {"centred, just left of the edge", 9.9f, 1.5f, 1, 1, 1, 0, false, "0,0 21x5 1001", 105},
      {"centred, well left: clipped", 5.0f, 0.0f, 1, 1, 1, 0, false, "-5,-2 21x5 1001", 16 * 3},
      {"centred, halves rounded toward zero first", 20.3f, 4.2f, 1, 1, 1, 0, false, "10,2 21x5 1001", 105},
      {"wholly off the target: still filed", -50.0f, 10.0f, 0, 1, 1, 0, false, "-50,10 21x5 1001", 0},
      {"invisible: filed only", 10.0f, 20.0f, 0, 0, 1, 0, false, "10,20 21x5 1001", 0},
      {"untracked: drawn only", 10.0f, 20.0f, 0, 1, 0, 0, false, "", 105},
      {"SetFrameIndex past the last frame", 10.0f, 20.0f, 0, 1, 1, 1, false, "", 0},
      {"SetFrameIndex -1", 10.0f, 20.0f, 0, 1, 1, -1, false, "", 0},
      {"region, wherever the sprite is", 60.0f, 60.0f, 1, 1, 1, 0, true, "30,40 8x3 1001", 24},
      {"region, invisible", 60.0f, 60.0f, 0, 0, 1, 0, true, "30,40 8x3 1001", 0},
      {"region, untracked", 60.0f, 60.0f, 0, 1, 0, 0, true, "", 24},
      {"region, no such frame", 60.0f, 60.0f, 0, 1, 1, 3, true, "", 0},
      {"region, frame -1", 60.0f, 60.0f, 0, 1, 1, -1, true, "", 0},
  };
  Sprite sprite;
  sprite.AddFrame(CoordinateFrame(21, 5));
  for (const Case& c : cases) {
    ForgetFiled();
    PaintRect(target_, 0, 0, 100, 80, kBlack);
    sprite.x = c.x;
    sprite.y = c.y;
    sprite.SetCentered(c.centred);
    sprite.SetVisible(c.visible);
    sprite.SetDirtyTracking(c.tracking);
    sprite.SetFrameIndex(c.frame);
    if (c.region) {
      sprite.DrawRegion(5, 1, 8, 3, target_, 30, 40);
    } else {
      sprite.Draw(target_);
    }
    EXPECT_EQ(Filed(), c.filed) << c.what;
    EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80 - c.painted) << c.what;
  }
  Sprite empty;
  empty.Draw(target_);
  EXPECT_EQ(Filed(), "") << "a sprite without frames files nothing";
}

// Which pixels of the frame land where, centred, clipped and in part.
TEST_F(SpriteTest, ClippedCentredAndPartialDrawsShowTheRightPartOfTheFrame) {
  Sprite sprite;
  sprite.AddFrame(CoordinateFrame(21, 5));
  const auto drawAt = [&](float x, float y, int centred) {
    PaintRect(target_, 0, 0, 100, 80, kBlack);
    sprite.x = x;
    sprite.y = y;
    sprite.SetCentered(centred);
    sprite.Draw(target_);
  };
  drawAt(10.9f, 2.6f, 1);
  EXPECT_EQ(PixelAt(target_, 0, 0), CoordinatePixel(0, 0)) << "centred at 10.9: the left column on column 0";
  EXPECT_EQ(PixelAt(target_, 20, 4), CoordinatePixel(20, 4));
  EXPECT_EQ(PixelAt(target_, 21, 0), kBlack);
  drawAt(-3.0f, 0.0f, 0);
  EXPECT_EQ(PixelAt(target_, 0, 0), CoordinatePixel(3, 0)) << "the right part shows at column 0";
  EXPECT_EQ(PixelAt(target_, 17, 4), CoordinatePixel(20, 4));
  EXPECT_EQ(PixelAt(target_, 18, 0), kBlack);
  drawAt(90.0f, 77.0f, 0);
  EXPECT_EQ(PixelAt(target_, 99, 79), CoordinatePixel(9, 2)) << "cut at the bottom right";

  PaintRect(target_, 0, 0, 100, 80, kBlack);
  sprite.DrawRegion(5, 1, 8, 3, target_, 30, 40);
  EXPECT_EQ(PixelAt(target_, 30, 40), CoordinatePixel(5, 1));
  EXPECT_EQ(PixelAt(target_, 37, 42), CoordinatePixel(12, 3));
  sprite.DrawRegion(0, 0, 10, 5, target_, -4, 75);
  EXPECT_EQ(PixelAt(target_, 0, 75), CoordinatePixel(4, 0)) << "region's source shortened on the left";
  EXPECT_EQ(PixelAt(target_, 5, 79), CoordinatePixel(9, 4));
  EXPECT_EQ(PixelAt(target_, 6, 75), kBlack);
}

TEST_F(SpriteTest, SetFrameIgnoresAnIndexThatIsNotAFrame) {
  Sprite sprite;
  for (uint16_t colour : {kRed, kGreen, kYellow}) sprite.AddFrame(CreateKeyedSurface(4, 4, colour));
  for (int index : {2, -1, 3}) sprite.SetFrame(index);
  EXPECT_EQ(sprite.currentFrame, 2);
}

TEST_F(SpriteTest, DrawOnBackgroundPaintsIntoTheComposersBackground) {
  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(4, 4, kRed));
  sprite.SetPosition(10, 12);
  sprite.DrawOnBackground();
  EXPECT_EQ(Filed(), "10,12 4x4 1001") << "no background: nothing to draw on, the filing stays";
  LPDIRECTDRAWSURFACE background = MakeSurface(100, 80, kGrey);
  sceneComposer.SetBackground(background);
  sprite.DrawOnBackground();
  EXPECT_EQ(RegionMismatch(background, 10, 12, 4, 4, kRed), "");
  EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80);
  EXPECT_EQ(Filed(), "10,12 4x4 1001");
}

TEST_F(SpriteTest, SetNameKeepsAtMostSixtyThreeCharacters) {
  Sprite sprite;
  sprite.SetName(std::string(100, 'g').c_str());
  EXPECT_EQ(std::string(sprite.name), std::string(63, 'g'));
  sprite.SetName(nullptr);
  EXPECT_EQ(std::string(sprite.name), "");
}

// Animation: one due step in each mode at the ends of the range, then timing.

TEST_F(SpriteTest, AnimateKeepsEachModeAtTheEndsOfTheRange) {
  struct Case {
    const char* what;
    int32_t mode, startFrame, playing, expectedFrame, expectedPlaying;
  };
  const Case cases[] = {
      {"hold, in range", AnimHold, 1, 1, 2, 1},
      {"loop, past the end: frame 0, not the range's start", AnimLoop, 3, 1, 0, 1},
      {"hold, past the end", AnimHold, 3, 1, 3, 0},
      {"rewind, past the end", AnimRewind, 3, 1, 1, 0},
      {"vanish, past the end", AnimVanish, 3, 1, -1, 0},
      {"unknown mode, past the end", 7, 3, 1, 4, 1},
      {"loop, below 0, stopped", AnimLoop, -1, 0, 3, 0},
      {"loop, below 0, playing: the step comes first", AnimLoop, -1, 1, 0, 1},
      {"loop, far below 0, playing", AnimLoop, -3, 1, 3, 1},
      {"hold, below 0", AnimHold, -1, 0, 1, 0},
      {"rewind, below 0", AnimRewind, -1, 0, 1, 0},
      {"vanish, below 0", AnimVanish, -1, 0, -1, 0},
      {"vanish, below 0, playing: stops", AnimVanish, -2, 1, -1, 0},
      {"stopped past the end still holds", AnimHold, 9, 0, 3, 0},
  };
  Sprite sprite;  // four frames, range 1 to 4, so that frame 0 and the range's start differ
  for (int i = 0; i < 4; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetRange(1, 4);
  for (const Case& c : cases) {
    sprite.SetAnimMode(c.mode);
    sprite.SetPlaying(c.playing);
    sprite.SetFrameIndex(c.startFrame);
    Tick();
    sprite.Animate();
    EXPECT_EQ(sprite.currentFrame, c.expectedFrame) << c.what;
    EXPECT_EQ(sprite.playing, c.expectedPlaying) << c.what;
  }
}

// Each row: clock ticks (10 ms each) before the call, then what must hold after it.
TEST_F(SpriteTest, AnimateStepsOnlyWhenMoreThanTheDelayHasPassedSoAtMostOncePerTick) {
  struct Step {
    int ticks, delay, playing, frame;
    const char* why;
  };
  const Step steps[] = {
      {0, 0, 1, 0, "no time has passed"}, {1, 0, 1, 1, "delay 0: one step per tick"}, {0, 0, 1, 1, "not two"},
      {1, 0, 1, 2, "the next tick"},      {3, 30, 1, 2, "30 ms is not more than 30"},  {1, 30, 1, 3, "40 ms is"},
      {10, 30, 0, 3, "stopped"},
  };
  Sprite sprite;
  for (int i = 0; i < 10; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetAnimMode(AnimLoop);
  for (const Step& s : steps) {
    Tick(s.ticks);
    sprite.SetFrameDelay(s.delay);
    sprite.SetPlaying(s.playing);
    sprite.Animate();
    EXPECT_EQ(sprite.currentFrame, s.frame) << s.why;
  }
  Sprite empty;
  empty.SetPlaying(1);
  Tick();
  empty.Animate();
  EXPECT_EQ(empty.currentFrame, 0) << "no frames loaded";
}

TEST_F(SpriteTest, StepFrameStepsWhenDueAndStaysInsideTheFrames) {
  struct Step {
    int ticks, stepped, frame, frameTime;
    const char* why;
  };
  const Step steps[] = {
      {0, 0, 0, 0, "time 0 is not later than frameTime 0"}, {1, 1, 1, 30, "next step due after 10 + 20"},
      {2, 0, 1, 30, "at 30, not after it"},                 {1, 1, 2, 60, "after 30"},
      {3, 1, 2, 90, "due, but there is no frame 3"},
  };
  Sprite sprite;
  for (int i = 0; i < 3; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetFrameDelay(20);
  for (const Step& s : steps) {
    Tick(s.ticks);
    EXPECT_EQ(sprite.StepFrame(), s.stepped) << s.why;
    EXPECT_EQ(sprite.currentFrame, s.frame) << s.why;
    EXPECT_EQ(sprite.frameTime, s.frameTime) << s.why;
  }
}

}  // namespace
