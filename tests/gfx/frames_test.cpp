// Cutting pictures into frames: the cutting order, the rests left out, the blue
// key of every frame, and loading from a BMP file without keeping the picture.
#include "gfx/frames.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include "gfx/surface_utils.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

void ReleaseFrames(PtrArray& frames) {
  for (int32_t i = 0; i < frames.Count(); ++i) frames.At<IDirectDrawSurface>(i)->Release();
}

// A 0xRRGGBB value as the BMP writer takes it.
Rgb FromRgbValue(uint32_t rgb) { return Rgb{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)}; }

using FramesTest = SharedDisplayTest;

TEST_F(FramesTest, CutsRowByRowAndLeavesTheRestOut) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 80);
  ASSERT_NE(picture, nullptr);
  PaintCoordinates(picture);
  PtrArray frames;
  int marker = 0;
  frames.Append(&marker);  // frames already there stay in front
  int columns = -1;
  ASSERT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1);
  EXPECT_EQ(columns, 3);
  ASSERT_EQ(frames.Count(), 1 + 6) << "3 columns by 2 rows; 4 columns and 16 rows are left out";
  EXPECT_EQ(frames.Get(0), &marker);
  for (int i = 0; i < 6; ++i) {
    auto* frame = frames.At<IDirectDrawSurface>(1 + i);
    int width = 0, height = 0;
    GetSurfaceSize(frame, &width, &height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);
    const int left = (i % 3) * 32, top = (i / 3) * 32;
    EXPECT_EQ(PixelAt(frame, 0, 0), CoordinatePixel(left, top)) << "frame " << i;
    EXPECT_EQ(PixelAt(frame, 31, 31), CoordinatePixel(left + 31, top + 31)) << "frame " << i;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    frame->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 31u) << "pure blue key, frame " << i;
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 31u) << "pure blue key, frame " << i;
  }
  frames.Remove(&marker);
  ReleaseFrames(frames);
  picture->Release();
}

TEST_F(FramesTest, ExampleStripOfThreeFrames) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(100, 50);
  ASSERT_NE(picture, nullptr);
  PaintCoordinates(picture);
  PtrArray frames;
  int columns = -1;
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1);
  EXPECT_EQ(columns, 3);
  EXPECT_EQ(frames.Count(), 3);
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 32, 32), 1) << "the column count is optional";
  EXPECT_EQ(frames.Count(), 6);
  ReleaseFrames(frames);
  picture->Release();
}

TEST_F(FramesTest, NothingToCut) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(20, 50);
  ASSERT_NE(picture, nullptr);
  PtrArray frames;
  int columns = -1;
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 32, 32, &columns), 1) << "a picture narrower than a frame";
  EXPECT_EQ(columns, 0);
  EXPECT_EQ(frames.Count(), 0);
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 0, 32, &columns), 0) << "a frame without width";
  EXPECT_EQ(SliceIntoFrames(picture, &frames, 10, -5, &columns), 0) << "a frame of negative height";
  EXPECT_EQ(frames.Count(), 0);
  picture->Release();
}

TEST_F(FramesTest, LoadsFramesFromABitmap) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  // Left frame red, right frame pure blue, a 7-pixel rest at the right.
  ASSERT_TRUE(WriteBmp24("Strip.bmp", 2 * 16 + 7, 16, [](int x, int) { return x < 16 ? kBmpRed : kBmpBlue; }));
  PtrArray frames;
  int columns = -1;
  ASSERT_EQ(LoadFrames(".\\STRIP.BMP", &frames, 16, 16, &columns), 1);
  EXPECT_EQ(columns, 2);
  ASSERT_EQ(frames.Count(), 2);
  EXPECT_EQ(PixelAt(frames.At<IDirectDrawSurface>(0), 5, 5), 0xF800);
  EXPECT_EQ(PixelAt(frames.At<IDirectDrawSurface>(1), 5, 5), 31);

  // The blue frame is all key: a keyed copy of it changes nothing.
  LPDIRECTDRAWSURFACE target = CreateTestSurface(16, 16);
  ASSERT_NE(target, nullptr);
  FillSurface(target, 0x1111);
  EXPECT_EQ(target->Blt(nullptr, frames.At<IDirectDrawSurface>(1), nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr),
            DD_OK);
  EXPECT_EQ(PixelAt(target, 5, 5), 0x1111);
  target->Release();
  ReleaseFrames(frames);
}

TEST_F(FramesTest, MissingBitmapGivesZero) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  PtrArray frames;
  int columns = -1;
  EXPECT_EQ(LoadFrames(".\\absent.bmp", &frames, 16, 16, &columns), 0);
  EXPECT_EQ(frames.Count(), 0);
  EXPECT_EQ(columns, -1);
}

size_t HeapInUse() {
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The loaded picture is the function's own: keeping it would leak a whole
// picture on every sprite load. 256 x 128 pixels are 64 KiB.
TEST_F(FramesTest, LoadedPictureIsReleased) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(WriteBmp24("big.bmp", 256, 128, [](int x, int y) { return FromRgbValue(x * 0x10101 + y); }));
  auto loadAndDrop = [](int frameSize) {
    PtrArray frames;
    int result = LoadFrames(".\\big.bmp", &frames, frameSize, frameSize);
    ReleaseFrames(frames);
    return result;
  };
  ASSERT_EQ(loadAndDrop(128), 1);  // settles whatever is made once
  const size_t before = HeapInUse();
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(loadAndDrop(128), 1);
    ASSERT_EQ(loadAndDrop(512), 1) << "no frames: the picture must still go";
  }
  const size_t after = HeapInUse();
  EXPECT_LT(after, before + 64 * 1024) << "heap grew from " << before << " to " << after << " bytes";
}

}  // namespace
