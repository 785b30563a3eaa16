// Cutting pictures into frames: the cutting order, the rests left out, the blue
// key of every frame, and loading from a BMP file without keeping the picture.
#include "gfx/frames.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display_helpers.h"
#include "gfx/surface_utils.h"

namespace {

using gfx_test::CoordinateValue;

void ReleaseFrames(PtrArray& frames) {
  for (int32_t i = 0; i < frames.Count(); ++i) frames.At<IDirectDrawSurface>(i)->Release();
}

// A bottom-up 24-bit BMP, width x height, coloured by pixelAt(x, y) -> 0xRRGGBB.
template <typename PixelAt>
void WriteBmp(const char* path, int width, int height, PixelAt pixelAt) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes * height);
  std::vector<uint8_t> file(54 + pixelBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  put32(34, pixelBytes);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = pixelAt(x, y);
      uint8_t* p = &file[54 + static_cast<size_t>(height - 1 - y) * rowBytes + x * 3];
      p[0] = static_cast<uint8_t>(rgb);
      p[1] = static_cast<uint8_t>(rgb >> 8);
      p[2] = static_cast<uint8_t>(rgb >> 16);
    }
  FILE* out = std::fopen(path, "wb");
  ASSERT_NE(out, nullptr) << path;
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
}

class FramesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(gfx_test::BringUpDisplay(), nullptr) << "no display for the tests"; }
};

TEST_F(FramesTest, CutsRowByRowAndLeavesTheRestOut) {
  LPDIRECTDRAWSURFACE picture = gfx_test::MakeSurface(100, 80);
  ASSERT_NE(picture, nullptr);
  gfx_test::PaintCoordinates(picture);
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
    EXPECT_EQ(gfx_test::ReadPixel(frame, 0, 0), CoordinateValue(left, top)) << "frame " << i;
    EXPECT_EQ(gfx_test::ReadPixel(frame, 31, 31), CoordinateValue(left + 31, top + 31)) << "frame " << i;
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
  LPDIRECTDRAWSURFACE picture = gfx_test::MakeSurface(100, 50);
  ASSERT_NE(picture, nullptr);
  gfx_test::PaintCoordinates(picture);
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
  LPDIRECTDRAWSURFACE picture = gfx_test::MakeSurface(20, 50);
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
  gfx_test::ScratchDirectory scratch;
  // Left frame red, right frame pure blue, a 7-pixel rest at the right.
  WriteBmp("Strip.bmp", 2 * 16 + 7, 16, [](int x, int) { return x < 16 ? 0xFF0000u : 0x0000FFu; });
  PtrArray frames;
  int columns = -1;
  ASSERT_EQ(LoadFrames(".\\STRIP.BMP", &frames, 16, 16, &columns), 1);
  EXPECT_EQ(columns, 2);
  ASSERT_EQ(frames.Count(), 2);
  EXPECT_EQ(gfx_test::ReadPixel(frames.At<IDirectDrawSurface>(0), 5, 5), 0xF800);
  EXPECT_EQ(gfx_test::ReadPixel(frames.At<IDirectDrawSurface>(1), 5, 5), 31);

  // The blue frame is all key: a keyed copy of it changes nothing.
  LPDIRECTDRAWSURFACE target = gfx_test::MakeSurface(16, 16);
  ASSERT_NE(target, nullptr);
  FillSurface(target, 0x1111);
  EXPECT_EQ(target->Blt(nullptr, frames.At<IDirectDrawSurface>(1), nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr),
            DD_OK);
  EXPECT_EQ(gfx_test::ReadPixel(target, 5, 5), 0x1111);
  target->Release();
  ReleaseFrames(frames);
}

TEST_F(FramesTest, MissingBitmapGivesZero) {
  gfx_test::ScratchDirectory scratch;
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
  gfx_test::ScratchDirectory scratch;
  WriteBmp("big.bmp", 256, 128, [](int x, int y) { return static_cast<uint32_t>(x * 0x10101 + y); });
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
