// ZQPrintString: white text in 6-pixel cells, clipped to the back surface at every edge.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/zq.h"
#include "support/display.h"

namespace {

using namespace testing_support;
using Points = std::vector<std::pair<int, int>>;  // (x, y), row by row

class PrintString : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    ASSERT_EQ(ZQInitFont(window_), 1);
  }
  void TearDown() override {
    ZQFreeFont();
    DisplayTest::TearDown();
  }
  // Prints on a clean background and returns the white pixels, failing on any pixel neither white nor background.
  Points PrintAndFindWhite(std::string text, int x, int y) {
    EXPECT_TRUE(Fill(BackSurface(), kGrey));
    EXPECT_EQ(ZQPrintString(text.data(), x, y), 1) << "\"" << text << "\" at (" << x << ", " << y << ")";
    const std::vector<uint16_t> pixels = AllPixels(BackSurface());
    Points white;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (pixels[i] == kWhite) white.emplace_back(i % clientWidth_, i / clientWidth_);
      EXPECT_TRUE(pixels[i] == kWhite || pixels[i] == kGrey) << "pixel " << i % clientWidth_ << "," << i / clientWidth_;
    }
    return white;
  }
};

// The game prints its frame rate this way every frame while F1 is on: each character in its cell, the cell's
// last column a gap, the point with fewer strokes than a zero.
TEST_F(PrintString, FrameRateTextIsWhiteInsideItsCells) {
  int perCell[6] = {};
  for (const auto& [x, y] : PrintAndFindWhite("100.00", 580, 0)) {
    ASSERT_TRUE(x >= 580 && x < 580 + 6 * 6 && y < 7 && (x - 580) % 6 != 5) << "white at (" << x << ", " << y << ")";
    ++perCell[(x - 580) / 6];
  }
  EXPECT_TRUE(perCell[0] && perCell[1] && perCell[2] && perCell[4] && perCell[5] && perCell[3] < perCell[1])
      << "a cell of \"100.00\" is empty, or the point has as many pixels as a zero";
}

// Against the same text printed well inside: across an edge exactly the part on the surface shows, wholly
// outside nothing (positions as far as INT_MIN and INT_MAX included).
TEST_F(PrintString, TextAcrossOrBeyondAnEdgeShowsExactlyItsVisiblePart) {
  const Points inside = PrintAndFindWhite("W@", 100, 100);
  ASSERT_FALSE(inside.empty());
  const std::pair<int, int> places[] = {
      {-3, -4}, {clientWidth_ - 4, clientHeight_ - 3}, {-8, 50}, {-12, 0}, {clientWidth_, 0}, {0, -7},
      {0, clientHeight_}, {INT_MIN, 0}, {INT_MAX, 0}, {0, INT_MIN}, {0, INT_MAX}};
  for (const auto& [atX, atY] : places) {
    Points expected;  // still row by row: a shift keeps the order
    for (const auto& [x, y] : inside) {
      const int64_t shiftedX = x + int64_t{atX} - 100, shiftedY = y + int64_t{atY} - 100;
      if (shiftedX >= 0 && shiftedX < clientWidth_ && shiftedY >= 0 && shiftedY < clientHeight_)
        expected.emplace_back(static_cast<int>(shiftedX), static_cast<int>(shiftedY));
    }
    EXPECT_EQ(PrintAndFindWhite("W@", atX, atY), expected) << "text at (" << atX << ", " << atY << ")";
  }
  EXPECT_EQ(ZQPrintString(nullptr, 0, 0), 0);
  ZQFreeDirectX();
  EXPECT_EQ(ZQPrintString(std::string("100.00").data(), 580, 0), 0) << "no back surface";
}

}  // namespace
