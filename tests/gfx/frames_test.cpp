// Cutting pictures into frames: the cutting order, the rests left out, the blue key of every frame, and loading
// from a BMP file without keeping the picture.
#include "gfx/frames.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <utility>

#include "gfx/surface_utils.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using FramesTest = SharedDisplayTest;

void ReleaseFrames(PtrArray& frames) {
  for (int32_t i = 0; i < frames.Count(); ++i) frames.At<IDirectDrawSurface>(i)->Release();
}

std::pair<DWORD, DWORD> SourceKey(LPDIRECTDRAWSURFACE surface) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  return {desc.ddckCKSrcBlt.dwColorSpaceLowValue, desc.ddckCKSrcBlt.dwColorSpaceHighValue};
}

// Frames already in the list stay in front; 32 x 32 frames go row by row, the rest is left out.
TEST_F(FramesTest, CutsRowByRowAndLeavesTheRestOut) {
  for (const auto& [height, rows] : {std::pair{50, 1}, std::pair{80, 2}}) {
    SCOPED_TRACE(::testing::Message() << "100 x " << height);
    LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, height);
    ASSERT_NE(picture, nullptr);
    PaintCoordinates(picture);
    PtrArray frames;
    int marker = 0, columns = -1;
    frames.Append(&marker);
    ASSERT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1);
    EXPECT_EQ(columns, 3);
    ASSERT_EQ(frames.Count(), 1 + 3 * rows);
    EXPECT_EQ(frames.Get(0), &marker);
    for (int i = 0; i < 3 * rows; ++i) {
      auto* frame = frames.At<IDirectDrawSurface>(1 + i);
      int width = 0, frameHeight = 0;
      GetSurfaceSize(frame, &width, &frameHeight);
      EXPECT_EQ(std::make_pair(width, frameHeight), std::make_pair(32, 32)) << "frame " << i;
      const int left = (i % 3) * 32, top = (i / 3) * 32;
      EXPECT_EQ(PixelAt(frame, 0, 0), CoordinatePixel(left, top)) << "frame " << i;
      EXPECT_EQ(PixelAt(frame, 31, 31), CoordinatePixel(left + 31, top + 31)) << "frame " << i;
      EXPECT_EQ(SourceKey(frame), std::make_pair(DWORD{31}, DWORD{31})) << "pure blue key, frame " << i;
    }
    frames.Remove(&marker);
    EXPECT_EQ(SliceIntoFrames(picture, &frames, 32, 32), 1) << "the column count is optional";
    EXPECT_EQ(frames.Count(), 6 * rows);
    ReleaseFrames(frames);
    picture->Release();
  }
}

TEST_F(FramesTest, NothingToCut) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(20, 50);
  ASSERT_NE(picture, nullptr);
  PtrArray frames;
  int columns = -1;
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1) << "a picture narrower than a frame";
  EXPECT_EQ(columns, 0);
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 0, 32, &columns), 0) << "a frame without width";
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 10, -5, &columns), 0) << "a frame of negative height";
  EXPECT_EQ(frames.Count(), 0);
  picture->Release();
}

TEST_F(FramesTest, LoadsFramesFromABitmapOrGivesZero) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  PtrArray frames;
  int columns = -1;
  EXPECT_EQ(LoadFrames(".\\absent.bmp", &frames, 16, 16, &columns), 0);
  EXPECT_EQ(frames.Count(), 0);
  EXPECT_EQ(columns, -1);
  // Left frame red, right frame pure blue, a 7-pixel rest at the right.
  ASSERT_TRUE(WriteBmp24("Strip.bmp", 2 * 16 + 7, 16, [](int x, int) { return x < 16 ? kBmpRed : kBmpBlue; }));
  ASSERT_EQ(LoadFrames(".\\STRIP.BMP", &frames, 16, 16, &columns), 1);
  EXPECT_EQ(columns, 2);
  ASSERT_EQ(frames.Count(), 2);
  EXPECT_EQ(PixelAt(frames.At<IDirectDrawSurface>(0), 5, 5), 0xF800);
  EXPECT_EQ(PixelAt(frames.At<IDirectDrawSurface>(1), 5, 5), 31);
  EXPECT_EQ(SourceKey(frames.At<IDirectDrawSurface>(1)), std::make_pair(DWORD{31}, DWORD{31}));
  ReleaseFrames(frames);
}

// The loaded picture is the function's own: keeping it would leak a whole picture (here 64 KiB) on every load.
TEST_F(FramesTest, LoadedPictureIsReleased) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(WriteBmp24("big.bmp", 256, 128, [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 0}; }));
  auto loadAndDrop = [](int frameSize) {
    PtrArray frames;
    const int result = LoadFrames(".\\big.bmp", &frames, frameSize, frameSize);
    ReleaseFrames(frames);
    return result;
  };
  auto heapInUse = [] {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
  };
  ASSERT_EQ(loadAndDrop(128), 1);  // settles whatever is made once
  const size_t before = heapInUse();
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(loadAndDrop(128), 1);
    ASSERT_EQ(loadAndDrop(512), 1) << "no frames: the picture must still go";
  }
  const size_t after = heapInUse();
  EXPECT_LT(after, before + 64 * 1024) << "heap grew from " << before << " to " << after << " bytes";
}

}  // namespace
