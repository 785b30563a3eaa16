#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "display_helpers.h"
#include "platform/zq.h"

namespace {

constexpr uint16_t kBackground = 0x1234;
constexpr uint16_t kWhite = 0xFFFF;

class PrintString : public testzq::LibraryTest {
 protected:
  void SetUp() override {
    testzq::LibraryTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    ASSERT_EQ(ZQInitFont(window_), 1);
    ASSERT_TRUE(testzq::Fill(testzq::BackSurface(), kBackground));
  }
  void TearDown() override {
    ZQFreeFont();
    testzq::LibraryTest::TearDown();
  }

  int Print(const char* text, int x, int y) {
    std::vector<char> writable(text, text + strlen(text) + 1);
    return ZQPrintString(writable.data(), x, y);
  }

  // The white pixels of the back surface as a set of (x, y), after checking
  // that every other pixel kept the background.
  std::vector<POINT> WhitePixels() {
    std::vector<POINT> white;
    const std::vector<uint16_t> pixels = testzq::AllPixels(testzq::BackSurface());
    int strays = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      const int x = static_cast<int>(i % clientWidth_), y = static_cast<int>(i / clientWidth_);
      if (pixels[i] == kWhite) {
        white.push_back(POINT{x, y});
      } else if (pixels[i] != kBackground && ++strays <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << pixels[i]
                      << ": neither background nor white";
      }
    }
    return white;
  }
};

bool Inside(const POINT& p, int left, int top, int right, int bottom) {
  return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
}

// The game prints its frame rate this way every frame while F1 is on.
TEST_F(PrintString, FrameRateTextIsWhiteInsideItsCellsOverAnUntouchedBackground) {
  ASSERT_EQ(Print("100.00", 580, 0), 1);
  const std::vector<POINT> white = WhitePixels();
  ASSERT_FALSE(white.empty()) << "nothing drawn";
  int perCell[6] = {};
  for (const POINT& p : white) {
    ASSERT_TRUE(Inside(p, 580, 0, 580 + 6 * 6, 7)) << "white at (" << p.x << ", " << p.y << ")";
    ASSERT_NE((p.x - 580) % 6, 5) << "the spacing column of a cell is white at (" << p.x << ", " << p.y << ")";
    ++perCell[(p.x - 580) / 6];
  }
  for (int cell = 0; cell < 6; ++cell) EXPECT_GT(perCell[cell], 0) << "cell " << cell << " of \"100.00\" is empty";
  EXPECT_LT(perCell[3], perCell[1]) << "the point has fewer strokes than a zero";
}

std::vector<POINT> Shift(std::vector<POINT> points, int dx, int dy) {
  for (POINT& p : points) {
    p.x += dx;
    p.y += dy;
  }
  return points;
}

bool SamePoints(const std::vector<POINT>& a, const std::vector<POINT>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  return true;
}

std::vector<POINT> OnlyInside(const std::vector<POINT>& points, int width, int height) {
  std::vector<POINT> inside;
  for (const POINT& p : points)
    if (Inside(p, 0, 0, width, height)) inside.push_back(p);
  return inside;
}

TEST_F(PrintString, TextPastAnEdgeShowsExactlyTheVisiblePart) {
  ASSERT_EQ(Print("W@", 100, 100), 1);
  const std::vector<POINT> whole = WhitePixels();
  ASSERT_FALSE(whole.empty());

  struct Corner {
    int x, y;
  };
  for (const Corner& at : {Corner{-3, -4}, Corner{clientWidth_ - 4, clientHeight_ - 3}, Corner{-8, 50}}) {
    ASSERT_TRUE(testzq::Fill(testzq::BackSurface(), kBackground));
    ASSERT_EQ(Print("W@", at.x, at.y), 1);
    // Sorting by row then column is what AllPixels gives, so the lists compare
    // directly once the whole text is shifted and cut to the surface.
    std::vector<POINT> expected = OnlyInside(Shift(whole, at.x - 100, at.y - 100), clientWidth_, clientHeight_);
    std::sort(expected.begin(), expected.end(),
              [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    EXPECT_TRUE(SamePoints(WhitePixels(), expected)) << "text at (" << at.x << ", " << at.y << ")";
  }
}

TEST_F(PrintString, TextWhollyOutsideDrawsNothing) {
  struct Place {
    int x, y;
  };
  for (const Place& at : {Place{INT_MIN, 0}, Place{INT_MAX, 0}, Place{0, INT_MIN}, Place{0, INT_MAX},
                          Place{INT_MIN, INT_MIN}, Place{-18, 0}, Place{clientWidth_, 0}, Place{0, -7},
                          Place{0, clientHeight_}}) {
    EXPECT_EQ(Print("Far", at.x, at.y), 1) << "text at (" << at.x << ", " << at.y << ")";
  }
  EXPECT_TRUE(WhitePixels().empty());
}

TEST_F(PrintString, UnprintableCharactersTakeACellAndShowNothing) {
  ASSERT_EQ(Print("AA", 10, 10), 1);
  const std::vector<POINT> plain = WhitePixels();
  ASSERT_TRUE(testzq::Fill(testzq::BackSurface(), kBackground));
  ASSERT_EQ(Print("A\x01\xE9", 10, 10), 1);
  ASSERT_EQ(Print("A", 16, 10), 1);
  EXPECT_TRUE(SamePoints(WhitePixels(), plain)) << "unprintable characters drew something";

  ASSERT_TRUE(testzq::Fill(testzq::BackSurface(), kBackground));
  ASSERT_EQ(Print("A\x01" "A", 10, 10), 1);
  const std::vector<POINT> spaced = WhitePixels();
  ASSERT_TRUE(testzq::Fill(testzq::BackSurface(), kBackground));
  ASSERT_EQ(Print("A A", 10, 10), 1);
  EXPECT_TRUE(SamePoints(WhitePixels(), spaced)) << "an unprintable character is as wide as a space";
}

TEST_F(PrintString, NothingToDrawOnOrWith) {
  EXPECT_EQ(ZQPrintString(nullptr, 0, 0), 0);
  ZQFreeDirectX();
  EXPECT_EQ(Print("100.00", 580, 0), 0) << "no back surface";
}

}  // namespace
