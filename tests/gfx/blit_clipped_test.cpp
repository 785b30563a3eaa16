// Clipped copies: every edge of the destination, rectangles wholly outside it, and the flags value -1 standing
// for a keyed copy.
#include "gfx/blit_clipped.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;

// Empty when every destination pixel inside `drawn` holds the source pixel at (x + shiftX, y + shiftY) and
// every other one is still the background 0; otherwise the first wrong pixels.
std::string CheckDrawn(LPDIRECTDRAWSURFACE dst, RECT drawn, int shiftX, int shiftY) {
  int width = 0, height = 0, count = 0;
  const std::vector<uint16_t> pixels = AllPixels(dst);
  if (!SurfaceSize(dst, &width, &height) || pixels.size() != static_cast<size_t>(width) * height) return "unread";
  std::ostringstream wrong;
  for (int i = 0, x = 0, y = 0; i < width * height; ++i, x = i % width, y = i / width) {
    const bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
    const uint16_t expected = inside ? CoordinatePixel(x + shiftX, y + shiftY) : 0;
    if (pixels[i] != expected && count++ < 3)
      wrong << "(" << x << "," << y << ") is 0x" << std::hex << pixels[i] << " not 0x" << expected << std::dec << "; ";
  }
  if (count) wrong << count << " wrong pixels";
  return wrong.str();
}

// A 50 x 50 source whose pixels tell where they are, keyed on its (0, 0); blank destinations.
class BlitClippedTest : public SharedDisplayTest {
 protected:
  void SetUp() override {
    SharedDisplayTest::SetUp();
    source = Blank(50, 50);
    PaintCoordinates(source);
    DDCOLORKEY key = {CoordinatePixel(0, 0), CoordinatePixel(0, 0)};
    ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  }
  void TearDown() override {
    for (LPDIRECTDRAWSURFACE surface : made) surface->Release();
  }
  LPDIRECTDRAWSURFACE Blank(int width, int height) {
    made.push_back(CreateTestSurface(width, height, 0));
    EXPECT_NE(made.back(), nullptr);
    return made.back();
  }

  LPDIRECTDRAWSURFACE source = nullptr;
  std::vector<LPDIRECTDRAWSURFACE> made;
};

TEST_F(BlitClippedTest, CutsToEachEdgeAndRefusesWhatLiesWhollyOutside) {
  const struct {
    const char* name;
    int sx, sy, w, h, dx, dy, width, height;  // width, height: the destination's
    RECT drawn;
  } cases[] = {
      {"inside", 0, 0, 50, 50, 10, 10, 100, 80, {10, 10, 60, 60}},
      {"left", 0, 0, 50, 50, -10, 5, 100, 80, {0, 5, 40, 55}},
      {"right", 0, 0, 50, 50, 70, 5, 100, 80, {70, 5, 100, 55}},
      {"top", 0, 0, 50, 50, 5, -20, 100, 80, {5, 0, 55, 30}},
      {"bottom", 0, 0, 50, 50, 5, 60, 100, 80, {5, 60, 55, 80}},
      {"part of the source, left and bottom", 5, 7, 20, 10, -3, 75, 100, 80, {0, 75, 17, 80}},
      {"part of the source, right and top", 30, 40, 20, 10, 90, -4, 100, 80, {90, 0, 100, 6}},
      {"larger than the destination, all four edges", 0, 0, 50, 50, -10, -15, 30, 20, {0, 0, 30, 20}},
  };
  for (const auto& c : cases) {
    LPDIRECTDRAWSURFACE target = Blank(c.width, c.height);
    EXPECT_EQ(BlitClipped(source, c.sx, c.sy, c.w, c.h, target, c.dx, c.dy, DDBLT_WAIT), DD_OK) << c.name;
    EXPECT_EQ(CheckDrawn(target, c.drawn, c.sx - c.dx, c.sy - c.dy), "") << c.name;
  }
  LPDIRECTDRAWSURFACE screen = Blank(800, 600);
  EXPECT_EQ(BlitWholeClipped(source, screen, 780, 590, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(CheckDrawn(screen, RECT{780, 590, 800, 600}, -780, -590), "") << "the whole source's top-left 20 x 10";

  LPDIRECTDRAWSURFACE target = Blank(100, 80);
  for (const auto& [x, y] : {std::pair{-50, 0}, {-60, 10}, {100, 0}, {150, 10}, {0, -50}, {10, 80}, {120, 90}})
    for (DWORD flags : {DWORD{DDBLT_WAIT}, kBlitKeyedWait})
      EXPECT_EQ(BlitClipped(source, 0, 0, 50, 50, target, x, y, flags), DDERR_INVALIDRECT) << x << "," << y;
  EXPECT_EQ(CheckDrawn(target, RECT{0, 0, 0, 0}, 0, 0), "");
}

TEST_F(BlitClippedTest, MinusOneMeansKeyedCopy) {
  LPDIRECTDRAWSURFACE target = Blank(10, 10), unkeyed = Blank(10, 10);
  EXPECT_EQ(BlitClipped(unkeyed, 0, 0, 10, 10, target, 0, 0, -1), DDERR_INVALIDPARAMS)
      << "-1 asks for the key, so a source without one is refused as DirectDraw does";
  EXPECT_EQ(BlitClipped(source, 0, 0, 10, 10, target, 0, 0, -1), DD_OK);
  EXPECT_EQ(std::pair(PixelAt(target, 0, 0), CountPixels(target, 0)), std::pair(uint16_t{0}, 1))
      << "only the key pixel (0, 0) left out";
  EXPECT_EQ(BlitClipped(source, 0, 0, 10, 10, target, 0, 0, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(PixelAt(target, 0, 0), CoordinatePixel(0, 0)) << "other flags pass unchanged";
}

}  // namespace
