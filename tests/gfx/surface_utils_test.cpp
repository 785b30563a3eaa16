// Creating, filling, measuring, locking and centring surfaces.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/display.h"

namespace {

using namespace testing_support;
using SurfaceUtilsTest = SharedDisplayTest;

// The display's 5-6-5 layout, and a keyed copy leaves out the black pixels and only those.
TEST_F(SurfaceUtilsTest, CreatedSurfaceHasDisplayFormatAndBlackKey) {
  EXPECT_EQ(CreateOffscreenSurface(0, 10), nullptr);
  EXPECT_EQ(CreateOffscreenSurface(10, -1), nullptr);
  LPDIRECTDRAWSURFACE surface = CreateOffscreenSurface(30, 20), target = CreateTestSurface(30, 20, 0x5555);
  ASSERT_TRUE(surface != nullptr && target != nullptr);
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ((std::vector<DWORD>{desc.dwWidth, desc.dwHeight, desc.ddpfPixelFormat.dwGBitMask,
                                desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN}),
            (std::vector<DWORD>{30, 20, 0x07E0, DDSCAPS_OFFSCREENPLAIN}));
  EXPECT_EQ(FillSurface(surface, 0x12340000), DD_OK) << "the low sixteen bits: black";
  SetPixel(surface, 3, 4, 1);
  ASSERT_EQ(target->Blt(nullptr, surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(CountPixels(target, 0x5555), 30 * 20 - 1);
  EXPECT_EQ(PixelAt(target, 3, 4), 1);
  surface->Release();
  target->Release();
}

// Halves are whole: 10 + 11/2 - 5/2 = 13, 20 + 10/2 - 3/2 = 24.
TEST_F(SurfaceUtilsTest, SizeAndCentring) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 50), odd = CreateTestSurface(5, 3);
  ASSERT_TRUE(picture != nullptr && odd != nullptr);
  int width = 0, height = 0;
  GetSurfaceSize(picture, &width, &height);
  RECT wide, small;
  CenterRect(picture, 0, 0, 800, 600, &wide);
  CenterRect(odd, 10, 20, 11, 10, &small);
  EXPECT_EQ((std::vector<LONG>{width, height, wide.left, wide.top, wide.right, wide.bottom, small.left, small.top,
                               small.right, small.bottom}),
            (std::vector<LONG>{100, 50, 350, 275, 450, 325, 13, 24, 18, 27}));
  picture->Release();
  odd->Release();
}

TEST_F(SurfaceUtilsTest, LockGivesFirstPixelAndPitch) {
  LPDIRECTDRAWSURFACE surface = CreateTestSurface(9, 3);
  ASSERT_NE(surface, nullptr);
  DDSURFACEDESC desc = {};
  auto* pixels = static_cast<uint8_t*>(LockSurface(surface, &desc));
  ASSERT_TRUE(pixels != nullptr && pixels == desc.lpSurface);
  reinterpret_cast<uint16_t*>(pixels + desc.lPitch * 2)[8] = 0xBEEF;
  EXPECT_FALSE(Fill(surface, 0)) << "not locked";
  UnlockSurface(surface);
  EXPECT_EQ(PixelAt(surface, 8, 2), 0xBEEF);
  EXPECT_NE(LockSurface(surface), nullptr) << "the description is optional";
  UnlockSurface(surface);
  EXPECT_TRUE(Fill(surface, 0)) << "left locked";
  surface->Release();
}

}  // namespace
