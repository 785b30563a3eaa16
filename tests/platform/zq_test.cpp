// The graphics and input library on the host: flips full-screen and windowed, set-up and release, BMP
// loading onto the 5-6-5 display, and text clipped at every edge. The mouse buttons are read through the
// cursor's polls in the screens tests.
#include "platform/zq.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/control.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using Points = std::vector<std::pair<int, int>>;  // (x, y), row by row

class ZQTest : public DisplayTest {
 protected:
  static LPDIRECTDRAWSURFACE Load(std::string path) { return ZQLoadBitmap(path.data(), 16); }
  // Prints on a grey back surface; the white pixels, failing on any pixel neither white nor grey.
  Points PrintAndFindWhite(std::string text, int x, int y) {
    EXPECT_TRUE(Fill(BackSurface(), kGrey));
    EXPECT_EQ(ZQPrintString(text.data(), x, y), 1) << "\"" << text << "\" at (" << x << ", " << y << ")";
    const std::vector<uint16_t> pixels = AllPixels(BackSurface());
    Points white;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (pixels[i] == kWhite) white.emplace_back(i % clientWidth_, i / clientWidth_);
      EXPECT_TRUE(pixels[i] == kWhite || pixels[i] == kGrey) << "pixel " << i % clientWidth_ << "," << i / clientWidth_;
    }
    return white;
  }
};

// The game's restore bookkeeping depends on this: what was drawn two frames ago comes back as the back surface.
TEST_F(ZQTest, FullScreenFlipLeavesTheFrameBeforeLastInTheBackSurface) {
  ASSERT_TRUE(StartDisplay(true));
  LPDIRECTDRAWSURFACE back = BackSurface(), front = PrimarySurface();
  ASSERT_TRUE(back != nullptr && front != nullptr && back != front);
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
TEST_F(ZQTest, WindowedFlipCopiesToTheWindowAndKeepsTheBackPicture) {
  ASSERT_TRUE(StartDisplay(false));
  POINT at = {0, 0};
  ClientToScreen(window_, &at);
  ASSERT_TRUE(Fill(BackSurface(), kGrey));
  SetPixel(BackSurface(), 0, 0, kRed);
  SetPixel(BackSurface(), 10, 20, kRed);
  SetPixel(BackSurface(), clientWidth_ - 1, clientHeight_ - 1, kBlue);
  LPDIRECTDRAWSURFACE screen = PrimarySurface();
  std::vector<int> seen;
  const auto flipAndLook = [&](int x, int y) {
    ASSERT_TRUE(Fill(screen, 0));
    ASSERT_EQ(ZQFlip(), 1);
    seen.insert(seen.end(), {PixelAt(screen, at.x + x, at.y + y), PixelAt(screen, at.x + x + 1, at.y + y + 1)});
  };
  flipAndLook(0, 0);
  flipAndLook(clientWidth_ - 2, clientHeight_ - 2);
  seen.push_back(PixelAt(BackSurface(), 0, 0));
  ZQSetWindowXY(at.x + 30, at.y + 40);
  flipAndLook(39, 59);  // the picture's (10, 20) at (40, 60)
  ZQSetWindowXY(at.x, at.y);
  ASSERT_EQ(ZQSetViewport(10, 20, 100, 50), 1);
  flipAndLook(0, 0);
  EXPECT_EQ(seen, (std::vector<int>{kRed, kGrey, kGrey, kBlue, kRed, kGrey, kRed, kRed, kGrey}))
      << "window corners after two flips, the back surface, then moved by (30, 40), then the viewport at (10, 20)";
  EXPECT_EQ(ZQSetViewport(5000, 0, 10, 10), 0) << "wholly outside the back surface";
  EXPECT_EQ(ZQSetViewport(-50, -50, 100000, 100000), 1) << "clipped to the back surface";
}

// Only one primary surface may exist at a time, so setting up again succeeds only if the display before it
// let go of everything; a failed set-up leaves nothing behind and tells the user why.
TEST_F(ZQTest, ReleasingIsSafeAnyTimeAndFailedSetUpLeavesNothingBehind) {
  ASSERT_TRUE(StartDisplay(false));
  EXPECT_EQ(ZQInitDirectX(window_, 801, 600, 16), 0) << "a mode the display does not have, over a display";
  EXPECT_TRUE(ZQGetLPDD() == nullptr && BackSurface() == nullptr && PrimarySurface() == nullptr && ZQFlip() == 0);
  ZQFreeDirectX();
  EXPECT_NE(ZQInitDirectX(window_, 800, 600, 16), 0) << "full-screen after a failure and a second release";
  host::settings().directDrawCreateFails = true;
  EXPECT_EQ(ZQInitDirectX(window_, 800, 600), 0);
  ScratchFolder folder;  // the message box that tells the user is traced by the host
  host::settings().tracePath = folder.File("trace.txt");
  ZQPrintError();
  host::settings().tracePath.clear();
  EXPECT_NE(ReadFileText(folder.File("trace.txt")).find("DirectDrawCreate"), std::string::npos);
}

// Colours are cut, never rounded: (7, 3, 7) is black and pure blue is 31, the game's transparent key. Below
// the first row every pixel differs, and an odd width makes the pitch wider than a row. The game names its
// pictures the Windows way; missing or malformed files, or no display, give null.
TEST_F(ZQTest, BitmapsLoadWithColoursCutAndEveryPixelInItsPlace) {
  ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(StartDisplay(false));
  const Rgb colours[] = {{0, 0, 255}, {255, 255, 255}, {200, 100, 50}, {7, 3, 7}, {8, 4, 8}};
  const uint16_t cut[] = {31, 0xFFFF, (25 << 11) | (25 << 5) | 6, 0, (1 << 11) | (1 << 5) | 1};
  ASSERT_EQ(mkdir("title", 0700), 0);
  ASSERT_TRUE(WriteBmp24("title/Picture.bmp", 13, 9, [&](int x, int y) {
    return y == 0 && x < 5 ? colours[x] : Rgb{uint8_t(x * 8 + 7), uint8_t(y * 4 + 3), 0};
  }));
  LPDIRECTDRAWSURFACE surface = Load("title\\Picture.bmp");
  ASSERT_NE(surface, nullptr);
  std::vector<uint16_t> expected;
  for (int i = 0, x = 0, y = 0; i < 13 * 9; ++i, x = i % 13, y = i / 13)
    expected.push_back(y == 0 && x < 5 ? cut[x] : (x << 11) | (y << 5));
  EXPECT_EQ(AllPixels(surface), expected);
  EXPECT_EQ(surface->Release(), 0u) << "the caller holds the only reference";
  ASSERT_TRUE(WriteFileBytes("text.bmp", {'B', 'M', 'l', 'o'}));
  EXPECT_TRUE(Load("missing.bmp") == nullptr && Load("text.bmp") == nullptr);
  ZQFreeDirectX();
  EXPECT_EQ(Load("title\\Picture.bmp"), nullptr) << "no display";
}

// The frame rate against itself printed well inside: across an edge exactly the part on the surface shows, wholly
// outside nothing (positions as far as INT_MIN and INT_MAX included).
TEST_F(ZQTest, TextAcrossOrBeyondAnEdgeShowsExactlyItsVisiblePart) {
  ASSERT_TRUE(StartDisplay(false));
  ASSERT_EQ(ZQInitFont(window_), 1);
  const Points inside = PrintAndFindWhite("100.00", 100, 100);
  ASSERT_FALSE(inside.empty());
  const std::pair<int, int> places[] = {
      {-3, -4}, {clientWidth_ - 4, clientHeight_ - 3}, {-8, 50}, {-12, 0}, {clientWidth_, 0}, {0, -7},
      {0, clientHeight_}, {INT_MIN, 0}, {INT_MAX, 0}, {0, INT_MIN}, {0, INT_MAX}};
  for (const auto& [atX, atY] : places) {
    Points expected;  // still row by row: a shift keeps the order
    for (const auto& [x, y] : inside) {
      const int64_t shiftedX = x + int64_t{atX} - 100, shiftedY = y + int64_t{atY} - 100;
      if (shiftedX >= 0 && shiftedX < clientWidth_ && shiftedY >= 0 && shiftedY < clientHeight_)
        expected.emplace_back(static_cast<int>(shiftedX), static_cast<int>(shiftedY));
    }
    EXPECT_EQ(PrintAndFindWhite("100.00", atX, atY), expected) << "text at (" << atX << ", " << atY << ")";
  }
  ZQFreeDirectX();
  EXPECT_EQ(ZQPrintString(std::string("100.00").data(), 580, 0), 0) << "no back surface";
}

}  // namespace
