#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bmp_helpers.h"
#include "display_helpers.h"
#include "host/control.h"
#include "platform/zq.h"

namespace {

using testzq::BackSurface;
using testzq::Fill;
using testzq::PixelAt;
using testzq::PrimarySurface;

constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kGrey = 0x8410;

class FullScreenDisplay : public testzq::LibraryTest {};
class WindowedDisplay : public testzq::LibraryTest {};
class DisplayLifetime : public testzq::LibraryTest {};

// ---------------------------------------------------------------------------
// Full-screen: a two-buffer flip chain

TEST_F(FullScreenDisplay, GivesAn800By600FlipChainOf565Surfaces) {
  ASSERT_TRUE(StartDisplay(true));
  ASSERT_NE(ZQGetLPDD(), nullptr);
  ASSERT_NE(PrimarySurface(), nullptr);
  ASSERT_NE(BackSurface(), nullptr);
  EXPECT_NE(PrimarySurface(), BackSurface());

  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(BackSurface()->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 800u);
  EXPECT_EQ(desc.dwHeight, 600u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
  int red = 0, green = 0, blue = 0, alpha = -1;
  ZQGetRGBABits(&desc.ddpfPixelFormat, &red, &green, &blue, &alpha);
  EXPECT_EQ(red * 100 + green * 10 + blue, 565) << "red " << red << ", green " << green << ", blue " << blue;
  EXPECT_EQ(alpha, 0);
}

// The restore bookkeeping of the game depends on this: what was drawn two
// frames ago comes back as the back surface.
TEST_F(FullScreenDisplay, AfterAFlipTheBackSurfaceHoldsTheFrameBeforeLast) {
  ASSERT_TRUE(StartDisplay(true));
  LPDIRECTDRAWSURFACE back = BackSurface();
  LPDIRECTDRAWSURFACE front = PrimarySurface();

  ASSERT_TRUE(Fill(back, kRed));
  ASSERT_EQ(ZQFlip(), 1);
  ASSERT_TRUE(Fill(back, kGreen));
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(back, 400, 300), kRed) << "back surface after the second flip";
  EXPECT_EQ(PixelAt(front, 400, 300), kGreen) << "front surface shows the frame just flipped";

  ASSERT_TRUE(Fill(back, kBlue));
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(back, 0, 0), kGreen) << "back surface after the third flip";
  EXPECT_EQ(PixelAt(front, 799, 599), kBlue);

  LPDIRECTDRAWSURFACE primaryAfter = nullptr, backAfter = nullptr;
  ZQGetDDInfo(&primaryAfter, &backAfter);
  EXPECT_EQ(backAfter, back) << "the surface objects stay; only their pictures swap";
  EXPECT_EQ(primaryAfter, front);
}

// ---------------------------------------------------------------------------
// Windowed: an off-screen back surface copied into the window

TEST_F(WindowedDisplay, BackSurfaceHasTheClientSizeAndKeepsItsPictureAcrossFlips) {
  ASSERT_TRUE(StartDisplay(false));
  int width = 0, height = 0;
  ASSERT_TRUE(testzq::SurfaceSize(BackSurface(), &width, &height));
  EXPECT_EQ(width, clientWidth_);
  EXPECT_EQ(height, clientHeight_);

  ASSERT_TRUE(Fill(BackSurface(), kRed));
  testzq::SetPixel(BackSurface(), 5, 7, kBlue);
  ASSERT_EQ(ZQFlip(), 1);
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(BackSurface(), 0, 0), kRed);
  EXPECT_EQ(PixelAt(BackSurface(), 5, 7), kBlue);
}

TEST_F(WindowedDisplay, FlipCopiesTheBackSurfaceToTheWindowsClientArea) {
  ASSERT_TRUE(StartDisplay(false));
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  ASSERT_TRUE(Fill(BackSurface(), kGrey));
  testzq::SetPixel(BackSurface(), 0, 0, kRed);
  testzq::SetPixel(BackSurface(), clientWidth_ - 1, clientHeight_ - 1, kBlue);
  ASSERT_EQ(ZQFlip(), 1);

  // In windowed mode the primary surface is the whole desktop.
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x, origin.y), kRed);
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + 1, origin.y + 1), kGrey);
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + clientWidth_ - 1, origin.y + clientHeight_ - 1), kBlue);
}

TEST_F(WindowedDisplay, SetWindowXYMovesWhereTheNextFlipDraws) {
  ASSERT_TRUE(StartDisplay(false));
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  ASSERT_TRUE(Fill(BackSurface(), kGrey));
  testzq::SetPixel(BackSurface(), 0, 0, kRed);

  ZQSetWindowXY(origin.x + 30, origin.y + 20);
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + 30, origin.y + 20), kRed) << "picture shifted by (30, 20)";
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + 29, origin.y + 20), 0) << "left of the picture, never drawn";
}

TEST_F(WindowedDisplay, ViewportChoosesThePartOfTheBackSurfaceShown) {
  ASSERT_TRUE(StartDisplay(false));
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  ASSERT_TRUE(Fill(BackSurface(), kGrey));
  testzq::SetPixel(BackSurface(), 10, 20, kRed);

  ASSERT_EQ(ZQSetViewport(10, 20, 100, 50), 1);
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x, origin.y), kRed) << "viewport's corner at the window's corner";
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + 100, origin.y), 0) << "just right of a 100-pixel-wide viewport";

  EXPECT_EQ(ZQSetViewport(5000, 0, 10, 10), 0) << "wholly outside the back surface";
  EXPECT_EQ(ZQSetViewport(0, 0, 0, 10), 0) << "empty";
  EXPECT_EQ(ZQSetViewport(-50, -50, 100000, 100000), 1) << "clipped to the back surface";
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(PrimarySurface(), origin.x + 10, origin.y + 20), kRed) << "whole back surface again";
}

// ---------------------------------------------------------------------------
// Set-up failures and releasing

TEST_F(DisplayLifetime, FreeIsSafeWithoutSetUpAndTwice) {
  ZQFreeDirectX();
  ZQFreeDirectX();
  EXPECT_EQ(ZQGetLPDD(), nullptr);
  EXPECT_EQ(ZQFlip(), 0) << "no display to flip";
  LPDIRECTDRAWSURFACE primary = PrimarySurface(), back = BackSurface();
  EXPECT_EQ(primary, nullptr);
  EXPECT_EQ(back, nullptr);

  ASSERT_TRUE(StartDisplay(false));
  ZQFreeDirectX();
  ZQFreeDirectX();
  EXPECT_EQ(ZQGetLPDD(), nullptr);
  EXPECT_EQ(BackSurface(), nullptr);
  EXPECT_EQ(ZQSetViewport(0, 0, 10, 10), 0);
}

// Only one primary surface may exist at a time: setting up again succeeds only
// if the first display really let go of everything.
TEST_F(DisplayLifetime, SettingUpAgainReplacesTheFirstDisplay) {
  ASSERT_TRUE(StartDisplay(false));
  ASSERT_NE(ZQInitDirectX(window_, 320, 200), 0) << "second windowed set-up";
  int width = 0, height = 0;
  ASSERT_TRUE(testzq::SurfaceSize(BackSurface(), &width, &height));
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 200);
  ZQFreeDirectX();
  ASSERT_NE(ZQInitDirectX(window_, 100, 100), 0) << "after an explicit release";
}

TEST_F(DisplayLifetime, FailedSetUpLeavesNothingBehindAndKeepsTheReason) {
  window_ = testzq::OpenWindow(true);
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(ZQInitDirectX(window_, 801, 600, 16), 0) << "a mode the display does not have";
  EXPECT_EQ(ZQGetLPDD(), nullptr);
  EXPECT_EQ(BackSurface(), nullptr);
  EXPECT_EQ(ZQInitDirectX(window_, 0, 600), 0) << "an empty window";
  EXPECT_NE(ZQInitDirectX(window_, 800, 600, 16), 0) << "a good mode afterwards";
  ZQFreeDirectX();

  host::settings().directDrawCreateFails = true;
  EXPECT_EQ(ZQInitDirectX(window_, 800, 600), 0);
  host::settings().directDrawCreateFails = false;
  EXPECT_EQ(ZQGetLPDD(), nullptr);

  // The reason reaches the user through a message box; the host traces it.
  testbmp::TempFolder folder;
  ASSERT_TRUE(folder.ok());
  host::settings().tracePath = folder.File("trace.txt");
  ZQPrintError();
  host::settings().tracePath.clear();
  const std::vector<uint8_t> trace = testbmp::ReadFileBytes(folder.File("trace.txt"));
  const std::string text(trace.begin(), trace.end());
  EXPECT_NE(text.find("DirectDrawCreate"), std::string::npos) << "trace: " << text;
}

}  // namespace
