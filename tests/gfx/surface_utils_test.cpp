// Creating, filling, measuring and centring surfaces.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;
using SurfaceUtilsTest = SharedDisplayTest;

// The display's 5-6-5 layout and a black key: a keyed copy leaves out the black pixels and only those. A fill
// takes the low sixteen bits. Centring halves are whole: 10 + 40/2 - 31/2 = 15, 20 + 30/2 - 21/2 = 25.
TEST_F(SurfaceUtilsTest, CreatedSurfaceHasDisplayFormatAndBlackKeyAndCentresByWholeHalves) {
  EXPECT_TRUE(CreateOffscreenSurface(0, 10) == nullptr && CreateOffscreenSurface(10, -1) == nullptr);
  LPDIRECTDRAWSURFACE surface = CreateOffscreenSurface(31, 21), target = CreateTestSurface(31, 21, 0x5555);
  ASSERT_TRUE(surface != nullptr && target != nullptr);
  int width = 0, height = 0;
  GetSurfaceSize(surface, &width, &height);
  EXPECT_EQ(FillSurface(surface, 0x12340000), DD_OK);
  SetPixel(surface, 3, 4, 1);
  ASSERT_EQ(target->Blt(nullptr, surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  RECT rect;
  CenterRect(surface, 10, 20, 40, 30, &rect);
  EXPECT_EQ((std::vector<long>{width, height, CountPixels(target, 0x5555), PixelAt(target, 3, 4), rect.left, rect.top,
                               rect.right, rect.bottom}),
            (std::vector<long>{31, 21, 31 * 21 - 1, 1, 15, 25, 46, 46}))
      << "size, pixels the keyed copy left, the copied pixel, the centred rectangle";
  surface->Release();
  target->Release();
}

}  // namespace
