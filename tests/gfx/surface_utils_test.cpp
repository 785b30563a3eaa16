// The graphics utilities on the shared display: clipped copies at every edge, frames loaded from files into
// a list, and colour keys on both 16-bit layouts.
#include "gfx/surface_utils.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using GraphicsTest = SharedDisplayTest;

// Empty when every pixel of a blank destination inside `drawn` holds the source pixel at (x + shiftX,
// y + shiftY), `keyed` ones excepted, and every other one is still 0; otherwise the first wrong pixels.
std::string CheckDrawn(LPDIRECTDRAWSURFACE dst, RECT drawn, int shiftX, int shiftY, uint16_t keyed) {
  int width = 0, height = 0, count = 0;
  SurfaceSize(dst, &width, &height);
  const std::vector<uint16_t> pixels = AllPixels(dst);  // empty, and a failure of its own, when unreadable
  std::ostringstream wrong;
  for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
    const int x = i % width, y = i / width;
    const bool inside = x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
    const uint16_t source = CoordinatePixel(x + shiftX, y + shiftY), expected = inside && source != keyed ? source : 0;
    if (pixels[i] != expected && count++ < 3)
      wrong << "(" << x << "," << y << ") is 0x" << std::hex << pixels[i] << " not 0x" << expected << std::dec << "; ";
  }
  if (count) wrong << count << " wrong pixels";
  return wrong.str();
}

std::pair<DWORD, DWORD> SourceKey(LPDIRECTDRAWSURFACE surface) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  return {desc.ddckCKSrcBlt.dwColorSpaceLowValue, desc.ddckCKSrcBlt.dwColorSpaceHighValue};
}

// A 50 x 50 source whose pixels tell where they are, keyed on its pixel (0, 1), copied plain and keyed.
TEST_F(GraphicsTest, ClippedCopiesCutToEachEdgeAndDrawNothingWhollyOutside) {
  LPDIRECTDRAWSURFACE source = CreateTestSurface(50, 50);
  PaintCoordinates(source);
  const uint16_t keyed = CoordinatePixel(0, 1);
  ASSERT_EQ(SetColorKeyRGB(source, 64, 32, 0), DD_OK);  // that pixel, 0x4100
  LPDIRECTDRAWSURFACE target = CreateTestSurface(100, 80);
  const struct {
    int sx, sy, w, h, dx, dy;
    RECT drawn;
  } cases[] = {
      {0, 0, 50, 50, 10, 10, {10, 10, 60, 60}},   {0, 0, 50, 50, -10, -15, {0, 0, 40, 35}},
      {0, 0, 50, 50, 70, 5, {70, 5, 100, 55}},    {0, 0, 50, 50, 5, 60, {5, 60, 55, 80}},
      {5, 7, 20, 10, -3, 75, {0, 75, 17, 80}},    {30, 40, 20, 10, 90, -4, {90, 0, 100, 6}},
      {0, 0, 50, 50, -50, 0, {}},                 {0, 0, 50, 50, 100, 10, {}},
      {0, 0, 50, 50, 10, -50, {}},                {0, 0, 50, 50, 120, 90, {}},
  };
  for (const auto& c : cases)
    for (DWORD flags : {DWORD{DDBLT_WAIT}, kBlitKeyedWait}) {
      ASSERT_TRUE(Fill(target, 0));
      BlitClipped(source, c.sx, c.sy, c.w, c.h, target, c.dx, c.dy, flags);
      EXPECT_EQ(CheckDrawn(target, c.drawn, c.sx - c.dx, c.sy - c.dy, flags == DDBLT_WAIT ? 0 : keyed), "")
          << "copy to (" << c.dx << ", " << c.dy << "), flags " << flags;
    }
  target->Release();
  source->Release();
}

// 100 x 64 frames of a 256 x 128 picture: row by row, the rest left out, each keyed on pure blue. The picture
// is released: keeping it would leak 64 KiB here on every load.
TEST_F(GraphicsTest, LoadedFramesGoRowByRowKeyedOnBlueAndNoPictureIsKept) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(WriteBmp24("Big.bmp", 256, 128, [](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), 0}; }));
  // "result, list size, columns, marker removed", then the key and first pixel of each frame.
  auto loadAndDrop = [](int frameWidth) {
    PtrArray frames;
    int columns = -1, marker = 0;
    frames.Append(&marker);  // the frames go after it; taking it out closes the gap
    std::ostringstream seen;
    seen << LoadFrames(".\\BIG.BMP", &frames, frameWidth, 64, &columns) << ", " << frames.Count() << ", " << columns
         << ", " << frames.Remove(&marker);
    for (int32_t i = 0; i < frames.Count(); ++i) {
      auto* frame = frames.At<IDirectDrawSurface>(i);
      seen << "; " << SourceKey(frame).first << " " << std::hex << PixelAt(frame, 0, 0) << std::dec;
      frame->Release();
    }
    return seen.str();
  };
  ASSERT_EQ(loadAndDrop(100), "1, 5, 2, 1; 31 0; 31 6000; 31 200; 31 6200");
  auto heapInUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
  const size_t before = heapInUse();
  for (int i = 0; i < 4; ++i) loadAndDrop(100);
  EXPECT_LT(heapInUse(), before + 64 * 1024) << "heap grew from " << before << " to " << heapInUse() << " bytes";
}

// Channels are cut, never rounded; the key is exactly the one colour, at both ends of its range.
TEST_F(GraphicsTest, ColoursAndKeysFollowTheSurfaceLayout) {
  const struct {
    int r, g, b;
    DWORD rgb565, rgb555;
  } cases[] = {{255, 255, 255, 0xFFFF, 0x7FFF}, {255, 0, 0, 0xF800, 0x7C00}, {0, 255, 0, 0x07E0, 0x03E0},
               {8, 4, 8, 0x0821, 0x0401},       {7, 3, 7, 0, 0},             {0x80, 0x80, 0x80, 0x8410, 0x4210}};
  LPDIRECTDRAWSURFACE surfaces[] = {CreateTestSurface(4, 4, 0, Layout::Rgb565),
                                    CreateTestSurface(4, 4, 0, Layout::Rgb555)};
  for (const auto& c : cases) {
    std::vector<DWORD> keys;
    for (LPDIRECTDRAWSURFACE surface : surfaces) {
      SetColorKeyRGB(surface, c.r, c.g, c.b);
      keys.insert(keys.end(), {SourceKey(surface).first, SourceKey(surface).second});
    }
    EXPECT_EQ(keys, std::vector<DWORD>({c.rgb565, c.rgb565, c.rgb555, c.rgb555})) << c.r << "," << c.g << "," << c.b;
  }
  for (LPDIRECTDRAWSURFACE surface : surfaces) surface->Release();
}

}  // namespace
