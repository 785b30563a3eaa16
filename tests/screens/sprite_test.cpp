// Sprites on a real display: frames added, loaded from files and cut from
// strips and grids; positions turned into pixels; clipped, partial and
// invisible draws with the rectangles they file; the four animation modes at
// the ends of their range and the timed steps on the game clock.
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
  void ForgetFiled() { sceneComposer.SetBackground(nullptr); }

  static std::string SizeOf(const Sprite& sprite) {
    return std::to_string(sprite.width) + "x" + std::to_string(sprite.height);
  }
  static std::string RangeOf(const Sprite& sprite) {
    return std::to_string(sprite.rangeStart) + ".." + std::to_string(sprite.rangeEnd);
  }
  static std::string SizeOf(LPDIRECTDRAWSURFACE surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc))) return "none";
    return std::to_string(desc.dwWidth) + "x" + std::to_string(desc.dwHeight);
  }

  LPDIRECTDRAWSURFACE target_ = nullptr;
  ScratchFolder folder_;
};

// ---------------------------------------------------------------------------
// Frames

TEST_F(SpriteTest, AddFrameKeysOnBlueAndTakesTheFramesSizeBoundsAndRange) {
  Sprite sprite;
  LPDIRECTDRAWSURFACE first = CreateKeyedSurface(12, 8, kRed);
  PaintRect(first, 0, 0, 1, 1, kBlue);
  EXPECT_EQ(sprite.AddFrame(first), 1);
  EXPECT_EQ(sprite.AddFrame(nullptr), 1) << "a null frame is ignored";
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(SizeOf(sprite), "12x8");
  const SpriteBounds& b = sprite.bounds;
  EXPECT_EQ(std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" +
                std::to_string(b.height),
            "0,0 12x8");
  EXPECT_EQ(RangeOf(sprite), "0..1");

  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 0, 0), kBlack) << "pure blue is transparent";
  EXPECT_EQ(PixelAt(target_, 1, 0), kRed);
  EXPECT_EQ(PixelAt(target_, 11, 7), kRed);
  EXPECT_EQ(PixelAt(target_, 12, 7), kBlack);

  sprite.AddFrame(CreateKeyedSurface(6, 4, kGreen));
  EXPECT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(RangeOf(sprite), "0..2");
  EXPECT_EQ(SizeOf(sprite), "6x4") << "the latest frame's size";
}

TEST_F(SpriteTest, DestroyingASpriteReleasesEveryFrame) {
  LPDIRECTDRAWSURFACE frame = CreateKeyedSurface(4, 4, kRed);
  frame->AddRef();
  {
    Sprite sprite;
    sprite.AddFrame(frame);
    sprite.AddFrame(CreateKeyedSurface(4, 4, kGreen));
  }
  EXPECT_EQ(frame->Release(), 0u) << "the sprite gave back its reference";
}

TEST_F(SpriteTest, AddFrameFromFileLoadsTheBitmapOrShowsTheMissingFileMessage) {
  const std::string path = folder_.File("ghost.bmp");
  ASSERT_TRUE(WriteBmp24(path, 8, 6, [](int x, int) { return x == 0 ? kBmpBlue : kBmpRed; }));
  Sprite sprite;
  EXPECT_EQ(sprite.AddFrameFromFile(path.c_str()), 1);
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(SizeOf(sprite.FrameSurface(0)), "8x6");
  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 0, 0), kBlack) << "blue column keyed out";
  EXPECT_EQ(PixelAt(target_, 1, 0), kRed);

  const std::string missing = folder_.File("missing.bmp");
  testing::internal::CaptureStderr();
  EXPECT_EQ(sprite.AddFrameFromFile(missing.c_str()), 1);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("ERROR: can't find file!: " + missing), std::string::npos) << "stderr was: " << shown;
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(SizeOf(sprite), "8x6") << "unchanged";
}

// Ten frames side by side, frame k coloured (25k, 100, 50).
Rgb StripColour(int frame) { return Rgb{static_cast<uint8_t>(frame * 25), 100, 50}; }

TEST_F(SpriteTest, LoadStripCutsFramesAndKeepsTheWholeStripsSize) {
  const std::string path = folder_.File("strip.bmp");
  ASSERT_TRUE(WriteBmp24(path, 100, 20, [](int x, int) { return StripColour(x / 10); }));
  Sprite sprite;
  sprite.LoadStrip(path.c_str(), 10, 0);
  ASSERT_EQ(sprite.FrameCount(), 10);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(SizeOf(sprite.FrameSurface(k)), "10x20") << "frame " << k;
    EXPECT_EQ(RegionMismatch(sprite.FrameSurface(k), 0, 0, 10, 20, Pixel565(StripColour(k))), "") << "frame " << k;
  }
  EXPECT_EQ(SizeOf(sprite), "100x20") << "the whole strip";
  EXPECT_EQ(RangeOf(sprite), "0..10");

  // The rectangle filed is the strip's size too (intended).
  sprite.SetFrameIndex(3);
  sprite.Draw(target_);
  EXPECT_EQ(Filed(), "0,0 100x20 1001");
  EXPECT_EQ(CountPixels(target_, Pixel565(StripColour(3))), 200) << "but one frame is drawn";

  sprite.FitWidthToFrame();
  EXPECT_EQ(sprite.width, 10);
}

TEST_F(SpriteTest, LoadStripStacksVerticallyAppendsAndDropsTheRest) {
  const std::string tall = folder_.File("tall.bmp");
  ASSERT_TRUE(WriteBmp24(tall, 20, 100, [](int, int y) { return StripColour(y / 25); }));
  const std::string narrow = folder_.File("narrow.bmp");
  ASSERT_TRUE(WriteBmp24(narrow, 10, 3, [](int, int) { return kBmpGreen; }));

  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(5, 5, kRed));
  sprite.LoadStrip(tall.c_str(), 4, 1);
  ASSERT_EQ(sprite.FrameCount(), 5) << "appended to the frame already there";
  EXPECT_EQ(SizeOf(sprite.FrameSurface(3)), "20x25");
  EXPECT_EQ(RegionMismatch(sprite.FrameSurface(3), 0, 0, 20, 25, Pixel565(StripColour(2))), "");
  EXPECT_EQ(RangeOf(sprite), "0..5");
  EXPECT_EQ(SizeOf(sprite), "20x100");

  // 10 pixels cut into 4 gives frames 2 wide, and 5 of them.
  Sprite uneven;
  uneven.LoadStrip(narrow.c_str(), 4, 0);
  EXPECT_EQ(uneven.FrameCount(), 5);
  EXPECT_EQ(SizeOf(uneven.FrameSurface(4)), "2x3");
  EXPECT_EQ(RangeOf(uneven), "0..5");
}

TEST_F(SpriteTest, LoadStripFailuresLeaveTheSpriteUnchangedAndSayNothing) {
  const std::string path = folder_.File("strip.bmp");
  ASSERT_TRUE(WriteBmp24(path, 40, 10, [](int, int) { return kBmpRed; }));
  Sprite sprite;
  testing::internal::CaptureStderr();
  sprite.LoadStrip(folder_.File("missing.bmp").c_str(), 4, 0);
  sprite.LoadStrip(path.c_str(), 0, 0);   // no frames to cut into
  sprite.LoadStrip(path.c_str(), -2, 1);  // nor a negative number
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(sprite.FrameCount(), 0);
  EXPECT_EQ(SizeOf(sprite), "0x0");
  EXPECT_EQ(RangeOf(sprite), "-1..-1");
}

TEST_F(SpriteTest, LoadGridCutsRowByRowAndSetsTheRangeEvenWhenTheFileIsMissing) {
  const std::string path = folder_.File("grid.bmp");
  ASSERT_TRUE(WriteBmp24(path, 35, 24, [](int x, int y) { return StripColour(y / 10 * 3 + x / 10); }));
  Sprite sprite;
  EXPECT_EQ(sprite.LoadGrid(path.c_str(), 10, 10), 6) << "3 columns, 2 rows; the rest left out";
  ASSERT_EQ(sprite.FrameCount(), 6);
  EXPECT_EQ(RegionMismatch(sprite.FrameSurface(4), 0, 0, 10, 10, Pixel565(StripColour(4))), "")
      << "frame 4 is the second row's middle";
  EXPECT_EQ(SizeOf(sprite), "10x10");
  EXPECT_EQ(RangeOf(sprite), "0..6");

  testing::internal::CaptureStderr();
  EXPECT_EQ(sprite.LoadGrid(folder_.File("missing.bmp").c_str(), 7, 9), 6);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(sprite.FrameCount(), 6);
  EXPECT_EQ(SizeOf(sprite), "7x9") << "size set all the same";
  EXPECT_EQ(RangeOf(sprite), "0..6");
}

// ---------------------------------------------------------------------------
// Positions and drawing

struct PositionCase {
  const char* what;
  float x, y;
  int centred;
  const char* filed;
};

TEST_F(SpriteTest, PositionsTruncateTowardZeroAndCentringSubtractsWholeHalves) {
  const PositionCase cases[] = {
      {"plain", 5.99f, 7.2f, 0, "5,7 21x5 1001"},
      {"negative fraction", -0.5f, -0.9f, 0, "0,0 21x5 1001"},
      {"negative", -3.7f, 2.0f, 0, "-3,2 21x5 1001"},
      {"centred, 10.9 - 10", 10.9f, 2.6f, 1, "0,0 21x5 1001"},
      {"centred, just left of the edge", 9.9f, 1.5f, 1, "0,0 21x5 1001"},
      {"centred, well left", 5.0f, 0.0f, 1, "-5,-2 21x5 1001"},
      {"centred, halves rounded toward zero first", 20.3f, 4.2f, 1, "10,2 21x5 1001"},
  };
  Sprite sprite;
  sprite.AddFrame(CoordinateFrame(21, 5));
  for (const PositionCase& c : cases) {
    ForgetFiled();
    sprite.x = c.x;
    sprite.y = c.y;
    sprite.SetCentered(c.centred);
    sprite.Draw(target_);
    EXPECT_EQ(Filed(), c.filed) << c.what;
  }

  // The pixels agree: centred at 10.9, the frame's left column lands on column 0.
  PaintRect(target_, 0, 0, 100, 80, kBlack);
  sprite.x = 10.9f;
  sprite.y = 2.6f;
  sprite.SetCentered(1);
  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 0, 0), CoordinatePixel(0, 0));
  EXPECT_EQ(PixelAt(target_, 20, 4), CoordinatePixel(20, 4));
  EXPECT_EQ(PixelAt(target_, 21, 0), kBlack);
}

TEST_F(SpriteTest, DrawClipsAtTheTargetsEdgesAndFilesTheWholeRectangle) {
  Sprite sprite;
  sprite.AddFrame(CoordinateFrame(20, 10));

  sprite.x = -3.0f;
  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 0, 0), CoordinatePixel(3, 0)) << "the right part shows at column 0";
  EXPECT_EQ(PixelAt(target_, 16, 9), CoordinatePixel(19, 9));
  EXPECT_EQ(PixelAt(target_, 17, 0), kBlack);

  sprite.x = 90.0f;
  sprite.y = 75.0f;
  sprite.Draw(target_);
  EXPECT_EQ(PixelAt(target_, 99, 79), CoordinatePixel(9, 4)) << "cut at the bottom right";

  ForgetFiled();
  PaintRect(target_, 0, 0, 100, 80, kBlack);
  sprite.x = -50.0f;
  sprite.y = 10.0f;
  sprite.Draw(target_);
  EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80) << "wholly off the target";
  EXPECT_EQ(Filed(), "-50,10 20x10 1001") << "still filed";
}

TEST_F(SpriteTest, VisibilityAndDirtyTrackingAreIndependent) {
  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(4, 4, kRed));
  sprite.SetPosition(10, 20);

  sprite.SetVisible(0);
  sprite.Draw(target_);
  sprite.DrawRegion(0, 0, 2, 2, target_, 50, 50);
  EXPECT_EQ(CountPixels(target_, kRed), 0) << "invisible sprites blit nothing";
  EXPECT_EQ(Filed(), "10,20 4x4 1001; 50,50 2x2 1001") << "but file their rectangles";

  ForgetFiled();
  sprite.SetVisible(1);
  sprite.SetDirtyTracking(0);
  sprite.Draw(target_);
  sprite.DrawRegion(0, 0, 2, 2, target_, 50, 50);
  EXPECT_EQ(CountPixels(target_, kRed), 16 + 4);
  EXPECT_EQ(Filed(), "") << "nothing filed without tracking";
}

TEST_F(SpriteTest, DrawRegionDrawsPartOfTheFrameWhereverTheSpriteIs) {
  Sprite sprite;
  sprite.AddFrame(CoordinateFrame(20, 10));
  sprite.x = 60.0f;
  sprite.y = 60.0f;
  sprite.SetCentered(1);

  sprite.DrawRegion(5, 2, 8, 4, target_, 30, 40);
  EXPECT_EQ(PixelAt(target_, 30, 40), CoordinatePixel(5, 2));
  EXPECT_EQ(PixelAt(target_, 37, 43), CoordinatePixel(12, 5));
  EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80 - 32) << "only the region";
  EXPECT_EQ(Filed(), "30,40 8x4 1001");

  sprite.DrawRegion(0, 0, 10, 10, target_, -4, 70);
  EXPECT_EQ(PixelAt(target_, 0, 70), CoordinatePixel(4, 0)) << "source shortened on the left";
  EXPECT_EQ(PixelAt(target_, 5, 79), CoordinatePixel(9, 9));
  EXPECT_EQ(PixelAt(target_, 6, 70), kBlack);
}

TEST_F(SpriteTest, SetFrameChecksTheIndexWhileSetFrameIndexTakesAnything) {
  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(4, 4, kRed));
  sprite.AddFrame(CreateKeyedSurface(4, 4, kGreen));
  sprite.AddFrame(CreateKeyedSurface(4, 4, kYellow));
  sprite.SetFrame(2);
  sprite.SetFrame(-1);
  sprite.SetFrame(3);
  EXPECT_EQ(sprite.currentFrame, 2) << "out-of-range SetFrame changes nothing";

  for (int index : {3, -1}) {
    sprite.SetFrameIndex(index);
    EXPECT_EQ(sprite.currentFrame, index);
    sprite.Draw(target_);
    sprite.DrawRegion(0, 0, 4, 4, target_, 0, 0);
    EXPECT_EQ(CountPixels(target_, kBlack), 100 * 80) << "frame " << index << " draws nothing";
    EXPECT_EQ(Filed(), "") << "frame " << index << " files nothing";
  }

  Sprite empty;
  empty.Draw(target_);
  EXPECT_EQ(Filed(), "") << "a sprite without frames files nothing";
}

TEST_F(SpriteTest, DrawOnBackgroundPaintsIntoTheComposersBackground) {
  LPDIRECTDRAWSURFACE background = MakeSurface(100, 80, kGrey);
  Sprite sprite;
  sprite.AddFrame(CreateKeyedSurface(4, 4, kRed));
  sprite.SetPosition(10, 12);

  sprite.DrawOnBackground();
  EXPECT_EQ(Filed(), "10,12 4x4 1001") << "no background: nothing to draw on, the filing stays";

  sceneComposer.SetBackground(background);
  sprite.DrawOnBackground();
  EXPECT_EQ(RegionMismatch(background, 10, 12, 4, 4, kRed), "");
  EXPECT_EQ(CountPixels(target_, kRed), 0);
  EXPECT_EQ(Filed(), "10,12 4x4 1001");
}

TEST_F(SpriteTest, SetNameKeepsAtMostSixtyThreeCharacters) {
  Sprite sprite;
  const std::string longName(100, 'g');
  sprite.SetName(longName.c_str());
  EXPECT_EQ(std::string(sprite.name), longName.substr(0, 63));
  sprite.SetName(nullptr);
  EXPECT_EQ(std::string(sprite.name), "");
}

// ---------------------------------------------------------------------------
// Animation

struct AnimateCase {
  const char* what;
  int32_t mode;
  int32_t startFrame;
  int32_t playing;
  int32_t expectedFrame;
  int32_t expectedPlaying;
};

void PrintTo(const AnimateCase& c, std::ostream* out) { *out << c.what; }

class SpriteAnimateTest : public SpriteTest, public testing::WithParamInterface<AnimateCase> {};

// Four frames, range 1 to 4, so that frame 0 and the range's start differ.
TEST_P(SpriteAnimateTest, OneDueStep) {
  const AnimateCase& c = GetParam();
  Sprite sprite;
  for (int i = 0; i < 4; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetRange(1, 4);
  sprite.SetAnimMode(c.mode);
  sprite.SetPlaying(c.playing);
  sprite.SetFrameIndex(c.startFrame);
  Tick();
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, c.expectedFrame) << c.what;
  EXPECT_EQ(sprite.playing, c.expectedPlaying) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    RangeEnds, SpriteAnimateTest,
    testing::Values(AnimateCase{"hold, in range", AnimHold, 1, 1, 2, 1},
                    AnimateCase{"loop, past the end: frame 0, not the range's start", AnimLoop, 3, 1, 0, 1},
                    AnimateCase{"hold, past the end", AnimHold, 3, 1, 3, 0},
                    AnimateCase{"rewind, past the end", AnimRewind, 3, 1, 1, 0},
                    AnimateCase{"vanish, past the end", AnimVanish, 3, 1, -1, 0},
                    AnimateCase{"unknown mode, past the end", 7, 3, 1, 4, 1},
                    AnimateCase{"loop, below 0, stopped", AnimLoop, -1, 0, 3, 0},
                    AnimateCase{"loop, below 0, playing: the step comes first", AnimLoop, -1, 1, 0, 1},
                    AnimateCase{"loop, far below 0, playing", AnimLoop, -3, 1, 3, 1},
                    AnimateCase{"hold, below 0", AnimHold, -1, 0, 1, 0},
                    AnimateCase{"rewind, below 0", AnimRewind, -1, 0, 1, 0},
                    AnimateCase{"vanish, below 0", AnimVanish, -1, 0, -1, 0},
                    AnimateCase{"stopped past the end still holds", AnimHold, 9, 0, 3, 0}));

TEST_F(SpriteTest, AnimateWaitsForMoreThanTheDelaySoAtMostOneStepPerTick) {
  Sprite sprite;
  for (int i = 0; i < 10; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetAnimMode(AnimLoop);
  sprite.SetPlaying(1);

  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 0) << "no time has passed";
  Tick();
  sprite.Animate();
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 1) << "delay 0: one step per tick";
  Tick();
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 2);

  sprite.SetFrameDelay(30);
  Tick(3);
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 2) << "30 ms is not more than 30";
  Tick();
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 3);

  sprite.SetPlaying(0);
  Tick(10);
  sprite.Animate();
  EXPECT_EQ(sprite.currentFrame, 3) << "stopped";

  Sprite empty;
  empty.SetPlaying(1);
  Tick();
  empty.Animate();
  EXPECT_EQ(empty.currentFrame, 0) << "no frames loaded";
}

TEST_F(SpriteTest, StepFrameStepsWhenDueAndStaysInsideTheFrames) {
  Sprite sprite;
  for (int i = 0; i < 3; ++i) sprite.AddFrame(CreateKeyedSurface(2, 2, kRed));
  sprite.SetFrameDelay(20);

  EXPECT_EQ(sprite.StepFrame(), 0) << "time 0 is not later than frameTime 0";
  Tick();
  EXPECT_EQ(sprite.StepFrame(), 1);
  EXPECT_EQ(sprite.currentFrame, 1);
  EXPECT_EQ(sprite.frameTime, 30) << "next step due after 10 + 20";
  Tick(2);
  EXPECT_EQ(sprite.StepFrame(), 0) << "at 30, not after it";
  Tick();
  EXPECT_EQ(sprite.StepFrame(), 1);
  EXPECT_EQ(sprite.currentFrame, 2);
  Tick(3);
  EXPECT_EQ(sprite.StepFrame(), 1) << "due, but there is no frame 3";
  EXPECT_EQ(sprite.currentFrame, 2);
}

}  // namespace
