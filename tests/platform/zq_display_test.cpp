// The graphics library's display: ZQFlip full-screen and windowed, the window position and viewport, release
// and failed set-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/control.h"
#include "platform/zq.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using Display = DisplayTest;

// The game's restore bookkeeping depends on this: what was drawn two frames ago comes back as the back surface.
TEST_F(Display, FullScreenFlipLeavesTheFrameBeforeLastInTheBackSurface) {
  ASSERT_TRUE(StartDisplay(true));
  LPDIRECTDRAWSURFACE back = BackSurface(), front = PrimarySurface();
  ASSERT_TRUE(ZQGetLPDD() != nullptr && back != nullptr && front != nullptr && back != front);
  int width = 0, height = 0;
  ASSERT_TRUE(SurfaceSize(back, &width, &height));
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(800, 600));
  for (uint16_t colour : {kRed, kGreen, kBlue}) {
    ASSERT_TRUE(Fill(back, colour));
    ASSERT_EQ(ZQFlip(), 1);
  }
  EXPECT_EQ((std::vector<int>{PixelAt(back, 400, 300), PixelAt(front, 799, 599)}), (std::vector<int>{kGreen, kBlue}))
      << "the back surface after three flips, then the front";
  EXPECT_EQ(BackSurface(), back) << "the surface objects stay; only their pictures swap";
}

// Windowed, the back surface keeps its picture and the primary surface is the whole desktop: the picture goes
// to the client area, or where ZQSetWindowXY puts it, starting at the viewport's corner.
TEST_F(Display, WindowedFlipCopiesToTheWindowAndKeepsTheBackPicture) {
  ASSERT_TRUE(StartDisplay(false));
  int width = 0, height = 0;
  ASSERT_TRUE(SurfaceSize(BackSurface(), &width, &height));
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(clientWidth_, clientHeight_));
  POINT at = {0, 0};
  ClientToScreen(window_, &at);
  ASSERT_TRUE(Fill(BackSurface(), kGrey));
  SetPixel(BackSurface(), 0, 0, kRed);
  SetPixel(BackSurface(), 10, 20, kRed);
  SetPixel(BackSurface(), width - 1, height - 1, kBlue);
  ASSERT_EQ(ZQFlip(), 1);
  ASSERT_EQ(ZQFlip(), 1);
  LPDIRECTDRAWSURFACE screen = PrimarySurface();
  EXPECT_EQ((std::vector<int>{PixelAt(BackSurface(), 0, 0), PixelAt(BackSurface(), 1, 1), PixelAt(screen, at.x, at.y),
                              PixelAt(screen, at.x + 1, at.y + 1),
                              PixelAt(screen, at.x + width - 1, at.y + height - 1)}),
            (std::vector<int>{kRed, kGrey, kRed, kGrey, kBlue}))
      << "the back surface after two flips, then the window's corners";

  ZQSetWindowXY(at.x + 30, at.y + 40);
  ASSERT_TRUE(Fill(screen, 0));
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(screen, at.x + 40, at.y + 60), kRed) << "picture moved by (30, 40)";
  EXPECT_EQ(PixelAt(screen, at.x + 29, at.y + 40), 0) << "left of the moved picture";

  ZQSetWindowXY(at.x, at.y);
  ASSERT_EQ(ZQSetViewport(10, 20, 100, 50), 1);
  ASSERT_EQ(ZQFlip(), 1);
  EXPECT_EQ(PixelAt(screen, at.x, at.y), kRed) << "viewport's corner at the window's corner";
  EXPECT_EQ(ZQSetViewport(5000, 0, 10, 10), 0) << "wholly outside the back surface";
  EXPECT_EQ(ZQSetViewport(-50, -50, 100000, 100000), 1) << "clipped to the back surface";
}

// Only one primary surface may exist at a time, so setting up again succeeds only if the display before it
// let go of everything; a failed set-up leaves nothing behind and tells the user why.
TEST_F(Display, ReleasingIsSafeAnyTimeAndFailedSetUpLeavesNothingBehind) {
  ZQFreeDirectX();
  EXPECT_EQ(ZQFlip(), 0) << "no display to flip";
  ASSERT_TRUE(StartDisplay(false));
  ASSERT_NE(ZQInitDirectX(window_, 320, 200), 0) << "second set-up replaces the first";
  ZQFreeDirectX();
  ZQFreeDirectX();
  EXPECT_TRUE(ZQGetLPDD() == nullptr && BackSurface() == nullptr && PrimarySurface() == nullptr);
  EXPECT_EQ(ZQInitDirectX(window_, 801, 600, 16), 0) << "a mode the display does not have";
  EXPECT_TRUE(ZQGetLPDD() == nullptr && BackSurface() == nullptr);
  EXPECT_NE(ZQInitDirectX(window_, 800, 600, 16), 0) << "full-screen after release and failure";

  host::settings().directDrawCreateFails = true;
  EXPECT_EQ(ZQInitDirectX(window_, 800, 600), 0);
  host::settings().directDrawCreateFails = false;
  EXPECT_EQ(ZQGetLPDD(), nullptr);
  ScratchFolder folder;  // the message box that tells the user is traced by the host
  host::settings().tracePath = folder.File("trace.txt");
  ZQPrintError();
  host::settings().tracePath.clear();
  EXPECT_NE(ReadFileText(folder.File("trace.txt")).find("DirectDrawCreate"), std::string::npos);
}

}  // namespace
