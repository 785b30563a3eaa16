// Clipped copies: every edge of the destination, rectangles wholly outside it,
// and the flags value -1 standing for a keyed copy.
#include "gfx/blit_clipped.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;

// Every destination pixel inside `drawn` must hold the source pixel at
// (x + shiftX, y + shiftY); every other one must still be the background 0.
// Returns a description of the first wrong pixels, empty when all are right.
std::string CheckDrawn(LPDIRECTDRAWSURFACE dst, int width, int height, RECT drawn, int shiftX, int shiftY) {
  std::vector<uint16_t> pixels = AllPixels(dst);
  if (pixels.size() != static_cast<size_t>(width) * height) return "the destination cannot be read whole";
  std::ostringstream wrong;
  int count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
      uint16_t expected = inside ? CoordinatePixel(x + shiftX, y + shiftY) : 0;
      uint16_t actual = pixels[static_cast<size_t>(y) * width + x];
      if (actual != expected && count++ < 3)
        wrong << "(" << x << "," << y << ") is 0x" << std::hex << actual << " not 0x" << expected << std::dec << "; ";
    }
  if (count) wrong << count << " wrong pixels";
  return wrong.str();
}

class BlitClippedTest : public SharedDisplayTest {
 protected:
  void SetUp() override {
    SharedDisplayTest::SetUp();
    source = CreateTestSurface(50, 50);
    ASSERT_NE(source, nullptr);
    PaintCoordinates(source);
  }
  void TearDown() override {
    if (source) source->Release();
  }
  static LPDIRECTDRAWSURFACE Blank(int width, int height) { return CreateTestSurface(width, height, 0); }

  LPDIRECTDRAWSURFACE source = nullptr;
};

struct ClipCase {
  const char* name;
  int sx, sy, w, h, dx, dy;
  RECT drawn;
};

TEST_F(BlitClippedTest, CutsToEachEdge) {
  const ClipCase cases[] = {
      {"inside", 0, 0, 50, 50, 10, 10, {10, 10, 60, 60}},
      {"left", 0, 0, 50, 50, -10, 5, {0, 5, 40, 55}},
      {"right", 0, 0, 50, 50, 70, 5, {70, 5, 100, 55}},
      {"top", 0, 0, 50, 50, 5, -20, {5, 0, 55, 30}},
      {"bottom", 0, 0, 50, 50, 5, 60, {5, 60, 55, 80}},
      {"part of the source, left and bottom", 5, 7, 20, 10, -3, 75, {0, 75, 17, 80}},
      {"part of the source, right and top", 30, 40, 20, 10, 90, -4, {90, 0, 100, 6}},
  };
  for (const ClipCase& c : cases) {
    LPDIRECTDRAWSURFACE target = Blank(100, 80);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(BlitClipped(source, c.sx, c.sy, c.w, c.h, target, c.dx, c.dy, DDBLT_WAIT), DD_OK) << c.name;
    EXPECT_EQ(CheckDrawn(target, 100, 80, c.drawn, c.sx - c.dx, c.sy - c.dy), "") << c.name;
    target->Release();
  }
}

TEST_F(BlitClippedTest, SourceLargerThanDestinationIsCutOnAllFourEdges) {
  LPDIRECTDRAWSURFACE target = Blank(30, 20);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(BlitClipped(source, 0, 0, 50, 50, target, -10, -15, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(CheckDrawn(target, 30, 20, RECT{0, 0, 30, 20}, 10, 15), "");
  target->Release();
}

TEST_F(BlitClippedTest, WhollyOutsideIsRefusedAndDrawsNothing) {
  const int positions[][2] = {{-50, 0}, {-60, 10}, {100, 0}, {150, 10}, {0, -50}, {10, 80}, {-70, -70}, {120, 90}};
  DDCOLORKEY key = {1, 1};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  LPDIRECTDRAWSURFACE target = Blank(100, 80);
  ASSERT_NE(target, nullptr);
  for (const auto& p : positions) {
    EXPECT_EQ(BlitClipped(source, 0, 0, 50, 50, target, p[0], p[1], DDBLT_WAIT), DDERR_INVALIDRECT)
        << "at " << p[0] << "," << p[1];
    EXPECT_EQ(BlitClipped(source, 0, 0, 50, 50, target, p[0], p[1], -1), DDERR_INVALIDRECT)
        << "keyed, at " << p[0] << "," << p[1];
  }
  EXPECT_EQ(CheckDrawn(target, 100, 80, RECT{0, 0, 0, 0}, 0, 0), "");
  target->Release();
}

TEST_F(BlitClippedTest, MinusOneMeansKeyedCopy) {
  DDCOLORKEY key = {CoordinatePixel(0, 0), CoordinatePixel(0, 0)};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  LPDIRECTDRAWSURFACE target = Blank(10, 10);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(BlitClipped(source, 0, 0, 10, 10, target, 0, 0, -1), DD_OK);
  EXPECT_EQ(PixelAt(target, 0, 0), 0) << "the key pixel must be left out";
  EXPECT_EQ(PixelAt(target, 1, 0), CoordinatePixel(1, 0));

  EXPECT_EQ(BlitClipped(source, 0, 0, 10, 10, target, 0, 0, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(PixelAt(target, 0, 0), CoordinatePixel(0, 0)) << "other flags pass unchanged";
  target->Release();

  // -1 asks for the key, so a source without one is refused as DirectDraw does.
  LPDIRECTDRAWSURFACE unkeyed = CreateTestSurface(10, 10);
  LPDIRECTDRAWSURFACE other = Blank(10, 10);
  ASSERT_NE(unkeyed, nullptr);
  EXPECT_EQ(BlitClipped(unkeyed, 0, 0, 10, 10, other, 0, 0, -1), DDERR_INVALIDPARAMS);
  unkeyed->Release();
  other->Release();
}

TEST_F(BlitClippedTest, WholeSourceAtTheBottomRightCorner) {
  LPDIRECTDRAWSURFACE screen = Blank(800, 600);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(BlitWholeClipped(source, screen, 780, 590, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(CheckDrawn(screen, 800, 600, RECT{780, 590, 800, 600}, -780, -590), "") << "its top-left 20 x 10";
  screen->Release();
}

}  // namespace
