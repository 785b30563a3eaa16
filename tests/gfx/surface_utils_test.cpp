// Creating, filling, measuring and centring surfaces.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;
using SurfaceUtilsTest = SharedDisplayTest;

// The display's 5-6-5 layout and a black key: a keyed copy leaves out the black pixels and only those. A fill
// takes the low sixteen bits.
TEST_F(SurfaceUtilsTest, CreatedSurfaceHasDisplayFormatAndBlackKey) {
  EXPECT_TRUE(CreateOffscreenSurface(0, 10) == nullptr && CreateOffscreenSurface(10, -1) == nullptr);
  LPDIRECTDRAWSURFACE surface = CreateOffscreenSurface(30, 20), target = CreateTestSurface(30, 20, 0x5555);
  ASSERT_TRUE(surface != nullptr && target != nullptr);
  int width = 0, height = 0;
  GetSurfaceSize(surface, &width, &height);
  EXPECT_EQ(std::pair(width, height), std::pair(30, 20));
  EXPECT_EQ(FillSurface(surface, 0x12340000), DD_OK);
  SetPixel(surface, 3, 4, 1);
  ASSERT_EQ(target->Blt(nullptr, surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(std::pair(CountPixels(target, 0x5555), PixelAt(target, 3, 4)), std::pair(30 * 20 - 1, uint16_t{1}));
  surface->Release();
  target->Release();
}

// Halves are whole: 10 + 11/2 - 5/2 = 13, 20 + 10/2 - 3/2 = 24.
TEST_F(SurfaceUtilsTest, CentringRoundsEachHalfDown) {
  LPDIRECTDRAWSURFACE odd = CreateTestSurface(5, 3);
  ASSERT_NE(odd, nullptr);
  RECT rect;
  CenterRect(odd, 10, 20, 11, 10, &rect);
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{13, 24, 18, 27}));
  odd->Release();
}

}  // namespace
