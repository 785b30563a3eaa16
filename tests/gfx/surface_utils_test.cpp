// Creating, filling, measuring, locking and centring surfaces.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

#include "support/display.h"
#include "platform/zq.h"

namespace {

using namespace testing_support;

using SurfaceUtilsTest = SharedDisplayTest;

TEST_F(SurfaceUtilsTest, CreatedSurfaceHasDisplayFormatAndBlackKey) {
  LPDIRECTDRAWSURFACE surface = CreateOffscreenSurface(30, 20);
  ASSERT_NE(surface, nullptr);
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 30u);
  EXPECT_EQ(desc.dwHeight, 20u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u) << "the display's 5-6-5";
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);

  // A keyed copy leaves out the black pixels and only those.
  LPDIRECTDRAWSURFACE target = CreateTestSurface(30, 20);
  ASSERT_NE(target, nullptr);
  FillSurface(surface, 0);
  SetPixel(surface, 3, 4, 1);
  FillSurface(target, 0x5555);
  ASSERT_EQ(target->Blt(nullptr, surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(PixelAt(target, 3, 4), 1);
  EXPECT_EQ(PixelAt(target, 4, 4), 0x5555);
  surface->Release();
  target->Release();
}

TEST_F(SurfaceUtilsTest, CreateRefusedGivesNull) {
  EXPECT_EQ(CreateOffscreenSurface(0, 10), nullptr);
  EXPECT_EQ(CreateOffscreenSurface(10, -1), nullptr);
}

TEST_F(SurfaceUtilsTest, FillUsesLowSixteenBitsEverywhere) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(13, 7, 0, Layout::Rgb555);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(FillSurface(surface, 0x12345678), DD_OK);
  int wrong = 0;
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) wrong += PixelAt(surface, x, y) != 0x5678;
  EXPECT_EQ(wrong, 0) << "pixels not 0x5678; (0,0) is 0x" << std::hex << PixelAt(surface, 0, 0);
  surface->Release();
}

TEST_F(SurfaceUtilsTest, SizeAndCentring) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 50);
  LPDIRECTDRAWSURFACE odd = CreateTestSurface(5, 3);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(odd, nullptr);
  int width = 0, height = 0;
  GetSurfaceSize(picture, &width, &height);
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 50);

  RECT centred;
  CenterRect(picture, 0, 0, 800, 600, &centred);
  EXPECT_EQ(centred.left, 350);
  EXPECT_EQ(centred.top, 275);
  EXPECT_EQ(centred.right, 450);
  EXPECT_EQ(centred.bottom, 325);
  // Halves are whole: 10 + 11/2 - 5/2 = 13, 20 + 10/2 - 3/2 = 24.
  CenterRect(odd, 10, 20, 11, 10, &centred);
  EXPECT_EQ(centred.left, 13);
  EXPECT_EQ(centred.top, 24);
  EXPECT_EQ(centred.right, 18);
  EXPECT_EQ(centred.bottom, 27);
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
