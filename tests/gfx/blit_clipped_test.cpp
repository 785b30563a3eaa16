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
using BlitClippedTest = SharedDisplayTest;

// Empty when every pixel of a blank destination inside `drawn` holds the source pixel at (x + shiftX,
// y + shiftY) and every other one is still 0, except `keyed` ones; otherwise the first wrong pixels.
std::string CheckDrawn(LPDIRECTDRAWSURFACE dst, RECT drawn, int shiftX, int shiftY, uint16_t keyed = 0) {
  int width = 0, height = 0, count = 0;
  const std::vector<uint16_t> pixels = AllPixels(dst);
  if (!SurfaceSize(dst, &width, &height) || pixels.empty()) return "the destination cannot be read";
  std::ostringstream wrong;
  for (int i = 0; i < width * height; ++i) {
    const int x = i % width, y = i / width;
    const bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
    const uint16_t source = CoordinatePixel(x + shiftX, y + shiftY), expected = inside && source != keyed ? source : 0;
    if (pixels[i] != expected && count++ < 3)
      wrong << "(" << x << "," << y << ") is 0x" << std::hex << pixels[i] << " not 0x" << expected << std::dec << "; ";
  }
  if (count) wrong << count << " wrong pixels";
  return wrong.str();
}

// A 50 x 50 source whose pixels tell where they are, keyed on its pixel (0, 1), copied onto blank destinations.
TEST_F(BlitClippedTest, CutsToEachEdgeRefusesWhatLiesWhollyOutsideAndKeysOnMinusOne) {
  LPDIRECTDRAWSURFACE source = CreateTestSurface(50, 50);
  ASSERT_NE(source, nullptr);
  PaintCoordinates(source);
  std::vector<LPDIRECTDRAWSURFACE> made{source};
  auto blank = [&made](int width, int height) { return made.emplace_back(CreateTestSurface(width, height, 0)); };
  EXPECT_EQ(BlitClipped(source, 0, 0, 10, 10, blank(10, 10), 0, 0, -1), DDERR_INVALIDPARAMS)
      << "-1 asks for the key, so a source without one is refused as DirectDraw does";
  const uint16_t keyed = CoordinatePixel(0, 1);
  DDCOLORKEY key = {keyed, keyed};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
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
  for (const auto& c : cases)
    for (DWORD flags : {DWORD{DDBLT_WAIT}, kBlitKeyedWait}) {
      LPDIRECTDRAWSURFACE target = blank(c.width, c.height);
      EXPECT_EQ(BlitClipped(source, c.sx, c.sy, c.w, c.h, target, c.dx, c.dy, flags), DD_OK) << c.name;
      EXPECT_EQ(CheckDrawn(target, c.drawn, c.sx - c.dx, c.sy - c.dy, flags == DDBLT_WAIT ? 0 : keyed), "")
          << c.name << ", flags " << flags;
    }
  EXPECT_EQ(BlitWholeClipped(source, blank(800, 600), 780, 590, DDBLT_WAIT), DD_OK);
  EXPECT_EQ(CheckDrawn(made.back(), RECT{780, 590, 800, 600}, -780, -590), "") << "the whole source's top-left";

  LPDIRECTDRAWSURFACE target = blank(100, 80);
  for (const auto& [x, y] : {std::pair{-50, 0}, {-60, 10}, {100, 0}, {150, 10}, {0, -50}, {10, 80}, {120, 90}})
    for (DWORD flags : {DWORD{DDBLT_WAIT}, kBlitKeyedWait})
      EXPECT_EQ(BlitClipped(source, 0, 0, 50, 50, target, x, y, flags), DDERR_INVALIDRECT) << x << "," << y;
  EXPECT_EQ(CheckDrawn(target, RECT{0, 0, 0, 0}, 0, 0), "");
  for (LPDIRECTDRAWSURFACE surface : made) surface->Release();
}

}  // namespace
