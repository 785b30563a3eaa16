// The timer bar and the numbers of the score panel, drawn with pictures of known
// colours put in place of the real timer artwork, read back from the background.
#include "game/panels.h"
#include "game_fixture.h"
#include "screens/sprite.h"
#include "support/bmp_file.h"

using namespace testing_support;

namespace {

constexpr Rgb kDrop = {255, 0, 0}, kUnit = {0, 255, 0}, kStart = {255, 255, 0};
// Frame k of the game-over animation is painted (100, 4k, 100), digit d of the
// test font (20d + 10, 200, 40).
Rgb AnimationColour(int frame) { return {100, static_cast<uint8_t>(4 * frame), 100}; }
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
};

TEST_F(PanelsTest, TimerBarPositionsAndGameOverFrames) {
  const struct {
    int32_t remaining;
    bool running;
    int32_t dropY;      // -1: no drop
    int32_t units;      // stacked from y = 306
    int32_t animation;  // frame shown, -1: none
  } rows[] = {
      {138, false, -1, 0, -1},  {139, true, -1, 0, -1}, {138, true, 306, 0, -1}, {137, true, 308, 1, -1},
      {34, true, 514, 104, -1}, {33, true, -1, 105, 1}, {0, true, -1, 105, 34},
  };
  for (const auto& row : rows) {
    SetCountdown(row.remaining);
    if (row.running) ResumeCountdown(); else PauseCountdown();
    LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
    DrawTimerBar(background);
    // The bar as text: 's' for the top shown, then per 2 pixels from y = 306
    // 'd' drop, 'u' unit, 'b' both, '.' neither; then the animation's frame.
    std::string actual = PixelAt(background, 723, 270) == Pixel565(kStart) ? "s" : "-";
    std::string expected = row.dropY != -1 || row.animation != -1 ? "s" : "-";
    for (int32_t y = 306; y < 530; y += 2) {
      const bool drop = PixelAt(background, 731, y) == Pixel565(kDrop);
      const bool unit = PixelAt(background, 740, y) == Pixel565(kUnit);
      actual += drop ? (unit ? 'b' : 'd') : unit ? 'u' : '.';
      const bool wantDrop = row.dropY != -1 && y >= row.dropY && y < row.dropY + 12;
      const bool wantUnit = y < 306 + 2 * row.units;
      expected += wantDrop ? (wantUnit ? 'b' : 'd') : wantUnit ? 'u' : '.';
    }
    int32_t frame = -1;
    for (int k = 0; k < 35; ++k)
      if (PixelAt(background, 480, 530) == Pixel565(AnimationColour(k))) frame = k;
    EXPECT_EQ(actual + " " + std::to_string(frame), expected + " " + std::to_string(row.animation))
        << row.remaining << " s left, running " << row.running;
  }
}

TEST_F(PanelsTest, DrawNumberEndsAtItsRightEdge) {
  const std::string font = folder_.File("font.bmp");
  ASSERT_TRUE(WriteBmp24(font, 200, 10, [](int x, int) { return DigitColour(x / 20); }));
  Sprite digits;
  digits.LoadStrip(font.c_str(), 10, 0);
  // One character per 20-pixel column from x = 0: the digit drawn, '.' untouched.
  const struct {
    const char* text;
    int32_t right;
    const char* want;
  } rows[] = {{"305", 160, ".....305."}, {"7", 60, "..7......"}, {"1-2", 100, "..1.2...."}};
  for (const auto& row : rows) {
    LPDIRECTDRAWSURFACE target = MakeSurface(200, 10, kBlack);
    DrawNumber(&digits, row.right, 0, row.text, target);
    std::string columns;
    for (int column = 0; column < 9; ++column) {
      char seen = '?';
      for (int d = 0; d < 10; ++d)
        if (PixelAt(target, column * 20 + 4, 5) == Pixel565(DigitColour(d))) seen = static_cast<char>('0' + d);
      if (PixelAt(target, column * 20 + 4, 5) == kBlack) seen = '.';
      // A whole column: its last pixel agrees with its first.
      if (PixelAt(target, column * 20 + 19, 5) != PixelAt(target, column * 20 + 4, 5)) seen = '|';
      columns += seen;
    }
    EXPECT_EQ(columns, row.want) << row.text << " ending at " << row.right;
  }
  DrawNumber(nullptr, 100, 0, "1", MakeSurface(200, 10, kBlack));  // no font: nothing, no crash
}

}  // namespace
