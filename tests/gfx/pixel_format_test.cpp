// Colours built from 8-bit channels, colour keys and single-pixel reads on
// real 5-6-5 and 5-5-5 surfaces.
#include "gfx/pixel_format.h"

#include <gtest/gtest.h>

#include "support/display.h"

namespace {

using namespace testing_support;

// Each brings up the one display the program keeps.
using ColorFromRGBTest = SharedDisplayTest;
using SetColorKeyRGBTest = SharedDisplayTest;
using GetPixelValueTest = SharedDisplayTest;

struct ColorCase {
  int r, g, b;
  WORD rgb565, rgb555;
};

TEST_F(ColorFromRGBTest, FollowsTheSurfaceLayout) {
  LPDIRECTDRAWSURFACE surface565 = CreateTestSurface(4, 4, 0, Layout::Rgb565);
  LPDIRECTDRAWSURFACE surface555 = CreateTestSurface(4, 4, 0, Layout::Rgb555);
  ASSERT_NE(surface565, nullptr);
  ASSERT_NE(surface555, nullptr);
  const ColorCase cases[] = {
      {255, 255, 255, 0xFFFF, 0x7FFF}, {0, 0, 255, 31, 31},           {255, 0, 0, 0xF800, 0x7C00},
      {0, 255, 0, 0x07E0, 0x03E0},     {0, 0, 0, 0, 0},               {8, 4, 8, 0x0821, 0x0401},
      {7, 3, 7, 0, 0},                 {0x80, 0x80, 0x80, 0x8410, 0x4210},
  };
  for (const ColorCase& c : cases) {
    EXPECT_EQ(ColorFromRGB(surface565, c.r, c.g, c.b), c.rgb565) << "5-6-5 for " << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(ColorFromRGB(surface555, c.r, c.g, c.b), c.rgb555) << "5-5-5 for " << c.r << "," << c.g << "," << c.b;
  }
  surface565->Release();
  surface555->Release();
}

// The key must be exactly one value: a keyed copy skips it and nothing beside it.
TEST_F(SetColorKeyRGBTest, KeysExactlyTheConvertedColour) {
  for (Layout layout : {Layout::Rgb565, Layout::Rgb555}) {
    LPDIRECTDRAWSURFACE source = CreateTestSurface(3, 1, 0, layout);
    LPDIRECTDRAWSURFACE target = CreateTestSurface(3, 1, 0, layout);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(target, nullptr);
    const WORD red = layout == Layout::Rgb565 ? 0xF800 : 0x7C00;
    SetPixel(source, 0, 0, red - 1);
    SetPixel(source, 1, 0, red);
    SetPixel(source, 2, 0, red + 1);
    for (int x = 0; x < 3; ++x) SetPixel(target, x, 0, 0x1234);

    EXPECT_EQ(SetColorKeyRGB(source, 255, 0, 0), DD_OK);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    source->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, red);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, red);

    ASSERT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelAt(target, 0, 0), red - 1);
    EXPECT_EQ(PixelAt(target, 1, 0), 0x1234) << "the key colour is left out";
    EXPECT_EQ(PixelAt(target, 2, 0), red + 1);
    source->Release();
    target->Release();
  }
}

TEST_F(GetPixelValueTest, ReadsThroughThePitchAndUnlocks) {
  // An odd width, so that a row is unlikely to be exactly width * 2 bytes.
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(37, 5);
  ASSERT_NE(surface, nullptr);
  PaintCoordinates(surface);
  const int points[][2] = {{0, 0}, {36, 0}, {0, 4}, {36, 4}, {17, 3}};
  for (const auto& p : points)
    EXPECT_EQ(GetPixelValue(surface, p[0], p[1]), CoordinatePixel(p[0], p[1]))
        << "at " << p[0] << "," << p[1];

  DDBLTFX fill = {};
  fill.dwSize = sizeof fill;
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK) << "left locked";
  surface->Release();
}

TEST_F(GetPixelValueTest, ZeroOutsideTheSurface) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(8, 4);
  ASSERT_NE(surface, nullptr);
  PaintCoordinates(surface);
  const int points[][2] = {{-1, 0}, {0, -1}, {8, 0}, {0, 4}, {1000, 1000}};
  for (const auto& p : points) EXPECT_EQ(GetPixelValue(surface, p[0], p[1]), 0u) << "at " << p[0] << "," << p[1];
  surface->Release();
}

}  // namespace
