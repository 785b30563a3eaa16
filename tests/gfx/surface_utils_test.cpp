// Creating, filling, measuring, locking and centring surfaces.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;
using SurfaceUtilsTest = SharedDisplayTest;

TEST_F(SurfaceUtilsTest, CreatedSurfaceHasDisplayFormatAndBlackKey) {
  EXPECT_EQ(CreateOffscreenSurface(0, 10), nullptr);
  EXPECT_EQ(CreateOffscreenSurface(10, -1), nullptr);
  LPDIRECTDRAWSURFACE surface = CreateOffscreenSurface(30, 20), target = CreateTestSurface(30, 20);
  ASSERT_TRUE(surface != nullptr && target != nullptr);
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ((std::vector<DWORD>{desc.dwWidth, desc.dwHeight, desc.ddpfPixelFormat.dwRGBBitCount,
                                desc.ddpfPixelFormat.dwGBitMask}),
            (std::vector<DWORD>{30, 20, 16, 0x07E0}))
      << "size, bits and the display's 5-6-5 green";
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);

  // A keyed copy leaves out the black pixels and only those.
  FillSurface(surface, 0);
  SetPixel(surface, 3, 4, 1);
  FillSurface(target, 0x5555);
  ASSERT_EQ(target->Blt(nullptr, surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(PixelAt(target, 3, 4), 1);
  EXPECT_EQ(PixelAt(target, 4, 4), 0x5555);
  surface->Release();
  target->Release();
}

TEST_F(SurfaceUtilsTest, FillUsesLowSixteenBitsEverywhere) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(13, 7, 0, Layout::Rgb555);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(FillSurface(surface, 0x12345678), DD_OK);
  EXPECT_EQ(CountPixels(surface, 0x5678), 13 * 7) << "(0,0) is 0x" << std::hex << PixelAt(surface, 0, 0);
  surface->Release();
}

// Halves are whole: 10 + 11/2 - 5/2 = 13, 20 + 10/2 - 3/2 = 24.
TEST_F(SurfaceUtilsTest, SizeAndCentring) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 50), odd = CreateTestSurface(5, 3);
  ASSERT_TRUE(picture != nullptr && odd != nullptr);
  int width = 0, height = 0;
  GetSurfaceSize(picture, &width, &height);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(100, 50));
  auto centred = [](LPDIRECTDRAWSURFACE surface, int x, int y, int w, int h) {
    RECT rect;
    CenterRect(surface, x, y, w, h, &rect);
    return std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom};
  };
  EXPECT_EQ(centred(picture, 0, 0, 800, 600), (std::vector<LONG>{350, 275, 450, 325}));
  EXPECT_EQ(centred(odd, 10, 20, 11, 10), (std::vector<LONG>{13, 24, 18, 27}));
  picture->Release();
  odd->Release();
}

TEST_F(SurfaceUtilsTest, LockGivesFirstPixelAndPitch) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(9, 3);
  ASSERT_NE(surface, nullptr);
  DDSURFACEDESC desc = {};
  auto* pixels = static_cast<uint8_t*>(LockSurface(surface, &desc));
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels, desc.lpSurface);
  EXPECT_GE(desc.lPitch, 9 * 2);
  reinterpret_cast<uint16_t*>(pixels + desc.lPitch * 2)[8] = 0xBEEF;
  DDBLTFX fill = {};
  fill.dwSize = sizeof fill;
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DDERR_SURFACEBUSY) << "not locked";
  UnlockSurface(surface);
  EXPECT_EQ(PixelAt(surface, 8, 2), 0xBEEF);
  EXPECT_NE(LockSurface(surface), nullptr) << "the description is optional";
  UnlockSurface(surface);
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK) << "left locked";
  surface->Release();
}

}  // namespace
