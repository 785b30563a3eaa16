// The timer bar and the numbers of the score panel, drawn with pictures of known
// colours put in place of the real timer artwork, read back from the background.
#include "game/panels.h"
#include "game_fixture.h"
#include "screens/sprite.h"
#include "support/bmp_file.h"

using namespace testing_support;

namespace {

constexpr Rgb kDrop = {255, 0, 0};
constexpr Rgb kUnit = {0, 255, 0};
constexpr Rgb kStart = {255, 255, 0};
// Frame k of the game-over animation is painted (8k, 128, 0).
Rgb AnimationColour(int frame) { return {static_cast<uint8_t>(8 * frame), 128, 0}; }
// Digit d of the test font is painted (20d + 10, 200, 40).
Rgb DigitColour(int digit) { return {static_cast<uint8_t>(20 * digit + 10), 200, 40}; }

class PanelsTest : public game_test::GameFlowTest {
 protected:
  void PrepareFolder() override {
    auto solid = [](Rgb colour) { return [colour](int, int) { return colour; }; };
    ASSERT_TRUE(WriteBmp24((game_ / "TimeDrop.bmp").string(), 30, 12, solid(kDrop)));
    ASSERT_TRUE(WriteBmp24((game_ / "TimeUnit.bmp").string(), 20, 2, solid(kUnit)));
    ASSERT_TRUE(WriteBmp24((game_ / "TimerStart.bmp").string(), 44, 38, solid(kStart)));
    ASSERT_TRUE(WriteBmp24((game_ / "gameoveranim.bmp").string(), 296, 43 * 35,
                           [](int, int y) { return AnimationColour(y / 43); }));
  }
  uint16_t BackgroundPixel(int x, int y) { return PixelAt(sceneComposer.GetBackground(), x, y); }
};

struct TimerRow {
  int32_t remaining;
  bool running;
  int32_t dropY;      // -1: no drop
  int32_t units;      // units stacked from y = 306
  int32_t animation;  // frame shown, -1: none
};

const TimerRow kTimerRows[] = {
    {138, false, -1, 0, -1},  // paused: only the background
    {139, true, -1, 0, -1},   // more than the bar can show
    {138, true, 306, 0, -1},
    {137, true, 308, 1, -1},
    {34, true, 514, 104, -1},
    {33, true, -1, 105, 1},
    {0, true, -1, 105, 34},
};

TEST_F(PanelsTest, TimerBarPositionsAndGameOverFrames) {
  for (const TimerRow& row : kTimerRows) {
    SCOPED_TRACE(testing::Message() << row.remaining << " s left, running " << row.running);
    SetCountdown(row.remaining);
    if (row.running) ResumeCountdown(); else PauseCountdown();
    DrawTimerBar(sceneComposer.GetBackground());

    bool shown = row.dropY != -1 || row.animation != -1;
    EXPECT_EQ(BackgroundPixel(723, 270) == Pixel565(kStart), shown) << "the top of the bar";
    for (int32_t y = 306; y < 530; y += 2) {
      bool drop = row.dropY != -1 && y >= row.dropY && y < row.dropY + 12;
      EXPECT_EQ(BackgroundPixel(731, y) == Pixel565(kDrop), drop) << "drop at y " << y;
      bool unit = y < 306 + 2 * row.units;
      EXPECT_EQ(BackgroundPixel(740, y) == Pixel565(kUnit), unit) << "unit at y " << y;
    }
    uint16_t animation = BackgroundPixel(480, 530);
    if (row.animation >= 0) {
      EXPECT_EQ(animation, Pixel565(AnimationColour(row.animation)));
    } else {
      for (int frame = 0; frame < 35; ++frame) EXPECT_NE(animation, Pixel565(AnimationColour(frame))) << frame;
    }
  }
}

struct NumberRow {
  const char* text;
  int32_t right;
  const char* want;  // one character per 20-pixel column from x = 0: a digit, '.' untouched
};

const NumberRow kNumberRows[] = {
    {"305", 160, ".....305."},
    {"7", 60, "..7......"},
    {"1-2", 100, "..1.2...."},  // anything but a digit leaves a gap
};

TEST_F(PanelsTest, DrawNumberEndsAtItsRightEdge) {
  std::string font = folder_.File("font.bmp");
  ASSERT_TRUE(WriteBmp24(font, 200, 10, [](int x, int) { return DigitColour(x / 20); }));
  Sprite digits;
  digits.LoadStrip(font.c_str(), 10, 0);
  for (const NumberRow& row : kNumberRows) {
    SCOPED_TRACE(row.text);
    LPDIRECTDRAWSURFACE target = MakeSurface(200, 10, kBlack);
    DrawNumber(&digits, row.right, 0, row.text, target);
    for (int column = 0; column < 9; ++column) {
      char want = row.want[column];
      uint16_t expected = want == '.' ? kBlack : Pixel565(DigitColour(want - '0'));
      EXPECT_EQ(PixelAt(target, column * 20 + 4, 5), expected) << "column at x " << column * 20 + 4;
      EXPECT_EQ(PixelAt(target, column * 20 + 19, 5), expected) << "column end at x " << column * 20 + 19;
    }
  }
  DrawNumber(nullptr, 100, 0, "1", MakeSurface(200, 10, kBlack));  // no font: nothing, no crash
}

}  // namespace
