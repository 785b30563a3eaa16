#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/zq.h"
#include "support/display.h"

namespace {

using namespace testing_support;

constexpr uint16_t kBackground = 0x1234;

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

  // Prints on a clean background and returns the white pixels, row by row,
  // after checking that every other pixel kept the background.
  std::vector<POINT> PrintAndFindWhite(const char* text, int x, int y) {
    std::vector<POINT> white;
    EXPECT_TRUE(Fill(BackSurface(), kBackground));
    std::vector<char> writable(text, text + strlen(text) + 1);
    EXPECT_EQ(ZQPrintString(writable.data(), x, y), 1) << "\"" << text << "\" at (" << x << ", " << y << ")";
    const std::vector<uint16_t> pixels = AllPixels(BackSurface());
    for (size_t i = 0; i < pixels.size(); ++i) {
      const POINT p = {static_cast<LONG>(i % clientWidth_), static_cast<LONG>(i / clientWidth_)};
      if (pixels[i] == kWhite) {
        white.push_back(p);
      } else if (pixels[i] != kBackground) {
        ADD_FAILURE() << "pixel (" << p.x << ", " << p.y << ") is " << std::hex << pixels[i] << ": not text or background";
      }
    }
    return white;
  }
};

// The game prints its frame rate this way every frame while F1 is on.
TEST_F(PrintString, FrameRateTextIsWhiteInsideItsCells) {
  const std::vector<POINT> white = PrintAndFindWhite("100.00", 580, 0);
  ASSERT_FALSE(white.empty()) << "nothing drawn";
  int perCell[6] = {};
  for (const POINT& p : white) {
    ASSERT_TRUE(p.x >= 580 && p.x < 580 + 6 * 6 && p.y < 7) << "white at (" << p.x << ", " << p.y << ")";
    ASSERT_NE((p.x - 580) % 6, 5) << "the gap column of a cell is white at (" << p.x << ", " << p.y << ")";
    ++perCell[(p.x - 580) / 6];
  }
  for (int cell = 0; cell < 6; ++cell) EXPECT_GT(perCell[cell], 0) << "cell " << cell << " of \"100.00\" is empty";
  EXPECT_LT(perCell[3], perCell[1]) << "the point has fewer strokes than a zero";
}

// Compared with the same text printed well inside, text across an edge shows
// exactly the part that falls on the surface, and text wholly outside nothing.
TEST_F(PrintString, TextAcrossOrBeyondAnEdgeShowsExactlyItsVisiblePart) {
  const std::vector<POINT> inside = PrintAndFindWhite("W@", 100, 100);
  ASSERT_FALSE(inside.empty());
  struct Place {
    int x, y;
  };
  for (const Place& at : {Place{-3, -4}, Place{clientWidth_ - 4, clientHeight_ - 3}, Place{-8, 50}, Place{-12, 0},
                          Place{clientWidth_, 0}, Place{0, -7}, Place{0, clientHeight_}, Place{INT_MIN, 0},
                          Place{INT_MAX, 0}, Place{0, INT_MIN}, Place{0, INT_MAX}}) {
    std::vector<POINT> expected;
    for (const POINT& p : inside) {
      const int64_t x = p.x + int64_t{at.x} - 100, y = p.y + int64_t{at.y} - 100;
      if (x >= 0 && x < clientWidth_ && y >= 0 && y < clientHeight_)
        expected.push_back(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
    }
    std::sort(expected.begin(), expected.end(),
              [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    const std::vector<POINT> actual = PrintAndFindWhite("W@", at.x, at.y);
    bool same = actual.size() == expected.size();
    for (size_t i = 0; same && i < actual.size(); ++i) same = actual[i].x == expected[i].x && actual[i].y == expected[i].y;
    EXPECT_TRUE(same) << "text at (" << at.x << ", " << at.y << "): " << actual.size() << " white pixels, expected "
                      << expected.size();
  }
}

TEST_F(PrintString, NothingToDrawOnOrWith) {
  EXPECT_EQ(ZQPrintString(nullptr, 0, 0), 0);
  ZQFreeDirectX();
  char text[] = "100.00";
  EXPECT_EQ(ZQPrintString(text, 580, 0), 0) << "no back surface";
}

}  // namespace
