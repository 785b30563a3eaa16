// Colours built from 8-bit channels, colour keys and single-pixel reads on real 5-6-5 and 5-5-5 surfaces.
#include "gfx/pixel_format.h"

#include <gtest/gtest.h>

#include "support/display.h"

namespace {

using namespace testing_support;
using PixelFormatTest = SharedDisplayTest;

// Channels are cut, never rounded. The key is exactly one value, so both ends of its range are the colour.
TEST_F(PixelFormatTest, ColoursAndKeysFollowTheSurfaceLayout) {
  LPDIRECTDRAWSURFACE surface565 = CreateTestSurface(4, 4, 0, Layout::Rgb565);
  LPDIRECTDRAWSURFACE surface555 = CreateTestSurface(4, 4, 0, Layout::Rgb555);
  ASSERT_TRUE(surface565 != nullptr && surface555 != nullptr);
  const struct {
    int r, g, b;
    WORD rgb565, rgb555;
  } cases[] = {
      {255, 255, 255, 0xFFFF, 0x7FFF}, {0, 0, 255, 31, 31},       {255, 0, 0, 0xF800, 0x7C00},
      {0, 255, 0, 0x07E0, 0x03E0},     {0, 0, 0, 0, 0},           {8, 4, 8, 0x0821, 0x0401},
      {7, 3, 7, 0, 0},                 {0x80, 0x80, 0x80, 0x8410, 0x4210},
  };
  for (const auto& c : cases) {
    for (auto [surface, expected] : {std::pair{surface565, c.rgb565}, std::pair{surface555, c.rgb555}}) {
      EXPECT_EQ(ColorFromRGB(surface, c.r, c.g, c.b), expected) << c.r << "," << c.g << "," << c.b;
      ASSERT_EQ(SetColorKeyRGB(surface, c.r, c.g, c.b), DD_OK);
      DDSURFACEDESC desc = {};
      desc.dwSize = sizeof desc;
      surface->GetSurfaceDesc(&desc);
      EXPECT_EQ(std::pair(desc.ddckCKSrcBlt.dwColorSpaceLowValue, desc.ddckCKSrcBlt.dwColorSpaceHighValue),
                std::pair(DWORD{expected}, DWORD{expected}));
    }
  }
  surface565->Release();
  surface555->Release();
}

// An odd width, so that a row is unlikely to be exactly width * 2 bytes; 0 outside the surface.
TEST_F(PixelFormatTest, GetPixelValueReadsThroughThePitchAndUnlocks) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(37, 5);
  ASSERT_NE(surface, nullptr);
  PaintCoordinates(surface);
  for (const auto& [x, y] : {std::pair{0, 0}, {36, 0}, {0, 4}, {36, 4}, {17, 3}})
    EXPECT_EQ(GetPixelValue(surface, x, y), CoordinatePixel(x, y)) << "at " << x << "," << y;
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {37, 0}, {0, 5}, {1000, 1000}})
    EXPECT_EQ(GetPixelValue(surface, x, y), 0u) << "at " << x << "," << y;
  EXPECT_TRUE(Fill(surface, 0)) << "left locked";
  surface->Release();
}

}  // namespace
