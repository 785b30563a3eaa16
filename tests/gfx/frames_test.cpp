// Cutting pictures into frames: the cutting order, the rests left out, the blue key of every frame, and loading
// from a BMP file without keeping the picture.
#include "gfx/frames.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <vector>

#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using FramesTest = SharedDisplayTest;

void ReleaseFrames(PtrArray& frames) {
  for (int32_t i = 0; i < frames.Count(); ++i) frames.At<IDirectDrawSurface>(i)->Release();
}

// Frames already in the list stay in front; 32 x 32 frames go row by row, the rests are left out, and every
// frame is keyed on pure blue alone. A frame of no size cuts nothing.
TEST_F(FramesTest, CutsRowByRowAndLeavesTheRestOut) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 80);
  ASSERT_NE(picture, nullptr);
  PaintCoordinates(picture);
  PtrArray frames;
  int marker = 0, columns = -1;
  frames.Append(&marker);
  ASSERT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1);
  ASSERT_EQ(std::vector<int>({columns, frames.Count()}), std::vector<int>({3, 7}));
  EXPECT_TRUE(frames.Get(0) == &marker && frames.Remove(&marker));
  for (int i = 0; i < 6; ++i) {
    auto* frame = frames.At<IDirectDrawSurface>(i);
    const int left = (i % 3) * 32, top = (i / 3) * 32;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    frame->GetSurfaceDesc(&desc);
    const DDCOLORKEY& key = desc.ddckCKSrcBlt;
    EXPECT_EQ((std::vector<DWORD>{desc.dwWidth, desc.dwHeight, key.dwColorSpaceLowValue, key.dwColorSpaceHighValue,
                                  PixelAt(frame, 0, 0), PixelAt(frame, 31, 31)}),
              (std::vector<DWORD>{32, 32, 31, 31, CoordinatePixel(left, top), CoordinatePixel(left + 31, top + 31)}))
        << "size, key, corners of frame " << i;
  }
  ReleaseFrames(frames);
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 0, 32, &columns), 0) << "a frame without width";
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 10, -5), 0) << "a frame of negative height";
  picture->Release();
}

// The loaded picture is the function's own: keeping it would leak a whole picture (here 64 KiB) on every load.
TEST_F(FramesTest, LoadsFramesFromABitmapWithoutKeepingIt) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  PtrArray absent;
  EXPECT_EQ(LoadFrames(".\\absent.bmp", &absent, 16, 16), 0);
  ASSERT_TRUE(WriteBmp24("Big.bmp", 256, 128, [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 0}; }));
  // "result frames" of a load, its frames released.
  auto loadAndDrop = [](int frameSize) {
    PtrArray frames;
    const int result = LoadFrames(".\\BIG.BMP", &frames, frameSize, frameSize);
    ReleaseFrames(frames);
    return std::to_string(result) + " " + std::to_string(frames.Count());
  };
  auto heapInUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
  ASSERT_EQ(loadAndDrop(128), "1 2");  // settles whatever is made once
  const size_t before = heapInUse();
  for (int i = 0; i < 4; ++i)
    ASSERT_EQ(loadAndDrop(128) + ", " + loadAndDrop(512), "1 2, 1 0") << "no frames: the picture must still go";
  EXPECT_LT(heapInUse(), before + 64 * 1024) << "heap grew from " << before << " to " << heapInUse() << " bytes";
}

}  // namespace
