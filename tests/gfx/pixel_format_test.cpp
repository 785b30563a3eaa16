// Colours built from 8-bit channels, colour keys and single-pixel reads on real 5-6-5 and 5-5-5 surfaces.
#include "gfx/pixel_format.h"

#include <gtest/gtest.h>

#include "support/display.h"

namespace {

using namespace testing_support;
using PixelFormatTest = SharedDisplayTest;

// Channels are cut, never rounded; the key is exactly the one colour, at both ends of its range.
TEST_F(PixelFormatTest, ColoursAndKeysFollowTheSurfaceLayout) {
  const struct {
    int r, g, b;
    DWORD rgb565, rgb555;
  } cases[] = {{255, 255, 255, 0xFFFF, 0x7FFF}, {255, 0, 0, 0xF800, 0x7C00}, {0, 255, 0, 0x07E0, 0x03E0},
               {8, 4, 8, 0x0821, 0x0401},       {7, 3, 7, 0, 0},             {0x80, 0x80, 0x80, 0x8410, 0x4210}};
  for (Layout layout : {Layout::Rgb565, Layout::Rgb555}) {
    LPDIRECTDRAWSURFACE surface = CreateTestSurface(4, 4, 0, layout);
    ASSERT_NE(surface, nullptr);
    for (const auto& c : cases) {
      const DWORD expected = layout == Layout::Rgb565 ? c.rgb565 : c.rgb555;
      EXPECT_EQ(ColorFromRGB(surface, c.r, c.g, c.b), expected) << c.r << "," << c.g << "," << c.b;
      ASSERT_EQ(SetColorKeyRGB(surface, c.r, c.g, c.b), DD_OK);
      DDSURFACEDESC desc = {};
      desc.dwSize = sizeof desc;
      surface->GetSurfaceDesc(&desc);
      EXPECT_EQ(std::pair(desc.ddckCKSrcBlt.dwColorSpaceLowValue, desc.ddckCKSrcBlt.dwColorSpaceHighValue),
                std::pair(expected, expected));
    }
    surface->Release();
  }
}

// An odd width, so that a row is unlikely to be exactly width * 2 bytes; 0 outside the surface.
TEST_F(PixelFormatTest, GetPixelValueReadsThroughThePitchAndUnlocks) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(37, 5);
  ASSERT_NE(surface, nullptr);
  PaintCoordinates(surface);
  for (const auto& [x, y] : {std::pair{0, 0}, {36, 4}, {17, 3}, {-1, 0}, {0, -1}, {37, 0}, {0, 5}})
    EXPECT_EQ(GetPixelValue(surface, x, y), x < 0 || y < 0 || x >= 37 || y >= 5 ? 0u : CoordinatePixel(x, y))
        << "at " << x << "," << y;
  EXPECT_TRUE(Fill(surface, 0)) << "left locked";
  surface->Release();
}

}  // namespace
