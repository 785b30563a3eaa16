// Off-screen DirectDraw surfaces as Windows' blitter behaves: rectangle checks, colour-key ranges, fills,
// stretches, overlapping copies, locks, DCs, descriptions and reference counts. Pixels go through Lock with
// the pitch, which the host makes wider than a row so that pitch mistakes show.
#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "host/control.h"
#include "host/ddraw_structs.h"

namespace {

using Pixels = std::vector<uint16_t>;  // row by row

Pixels Random(int count, uint32_t seed) {
  std::mt19937 random(seed);
  Pixels pixels(static_cast<size_t>(count));
  for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
  return pixels;
}

// Seven probe colours three times over, so that the eight-pixel vector loop and its tail both meet each.
Pixels Repeated(const Pixels& colours) {
  Pixels pixels;
  for (int i = 0; i < 3; ++i) pixels.insert(pixels.end(), colours.begin(), colours.end());
  return pixels;
}


class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
  }
  void TearDown() override {
    for (LPDIRECTDRAWSURFACE surface : surfaces) surface->Release();
    directDraw->Release();
  }

  // A 5-6-5 (or 5-5-5) surface holding `pixels` when they are given.
  LPDIRECTDRAWSURFACE Make(int width, int height, const Pixels& pixels = {}, bool rgb555 = false) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (rgb555 ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {0x7C00}, {0x03E0}, {0x1F}, {0}};
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    surfaces.push_back(surface);
    if (!pixels.empty()) Write(surface, pixels);
    return surface;
  }

  // Pixels in and out through a lock, row by row with the pitch.
  static void Write(LPDIRECTDRAWSURFACE surface, const Pixels& pixels) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &pixels[y * desc.dwWidth], desc.dwWidth * 2);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  }
  static Pixels Read(LPDIRECTDRAWSURFACE surface) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    Pixels pixels(desc.dwWidth * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      std::memcpy(&pixels[y * desc.dwWidth], static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, desc.dwWidth * 2);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return pixels;
  }
  static void SetKey(LPDIRECTDRAWSURFACE surface, DWORD low, DWORD high) {
    DDCOLORKEY key{low, high};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  }

  LPDIRECTDRAW directDraw = nullptr;
  std::vector<LPDIRECTDRAWSURFACE> surfaces;
};

// Windows' offsets; behind the (wider) lpSurface pointer, distances from ddckCKDestOverlay (0x28) instead.
TEST(SurfaceDescLayout, KeepsTheWindowsFieldOrder) {
#define AT(field) offsetof(DDSURFACEDESC, field)
  const size_t base = AT(ddckCKDestOverlay);
  EXPECT_EQ((std::vector<size_t>{AT(dwFlags), AT(dwHeight), AT(dwWidth), AT(lPitch), AT(dwReserved),
                                 base - AT(lpSurface), AT(ddckCKSrcBlt) - base, AT(ddpfPixelFormat) - base,
                                 AT(ddsCaps) - base, sizeof(DDPIXELFORMAT), offsetof(DDPIXELFORMAT, dwRBitMask)}),
            (std::vector<size_t>{4, 8, 12, 16, 32, sizeof(LPVOID), 0x40 - 0x28, 0x48 - 0x28, 0x68 - 0x28, 32, 16}));
#undef AT
}

TEST_F(SurfaceTest, DescriptionReportsSizePitchFormatAndKey) {
  auto format = [](const DDSURFACEDESC& desc) {
    const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    return std::vector<DWORD>{f.dwSize, f.dwFlags, f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
  };
  LPDIRECTDRAWSURFACE surface = Make(37, 5);
  SetKey(surface, 31, 31);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwFlags, DWORD{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_CKSRCBLT});
  EXPECT_EQ((std::vector<DWORD>{desc.dwWidth, desc.dwHeight}), (std::vector<DWORD>{37, 5}));
  EXPECT_GT(desc.lPitch, 37 * 2);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 31u);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 31u);
  EXPECT_EQ(format(desc), (std::vector<DWORD>{32, DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}));
  EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);

  LPDIRECTDRAWSURFACE rgb555 = Make(4, 4, {}, true);
  desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(rgb555->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(format(desc), (std::vector<DWORD>{32, DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F}));
  EXPECT_EQ(Make(4, 4)->Blt(nullptr, rgb555, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  desc.dwSize = 0;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceTest, BadRectanglesAreRefusedAndDrawNothing) {
  LPDIRECTDRAWSURFACE destination = Make(20, 10, Random(200, 1));
  LPDIRECTDRAWSURFACE source = Make(8, 8, Random(64, 2));
  SetKey(source, 0, 0);
  const Pixels before = Read(destination);
  DDBLTFX fill = Fill(0xF800);
  const RECT bad[] = {{2, 2, 2, 6},  {2, 2, 6, 2},  {6, 2, 2, 6},   {2, 6, 6, 2},    // empty, inverted
                      {-1, 0, 3, 4}, {0, -2, 4, 2}, {17, 0, 21, 4}, {0, 7, 4, 11}};  // negative, past an edge
  for (RECT rect : bad) {
    RECT good{0, 0, 4, 4};
    SCOPED_TRACE(::testing::Message() << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom);
    EXPECT_EQ(destination->Blt(&rect, source, &good, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&rect, source, &good, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DDERR_INVALIDRECT);
    if (rect.right <= 8 && rect.bottom <= 8) {  // also as a source rectangle on the 8 x 8 source
      EXPECT_EQ(destination->Blt(&good, source, &rect, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
  }
  EXPECT_EQ(Read(destination), before);

  // A colour fill never looks at a source rectangle.
  RECT nonsense{5, 5, 1, 1}, corner{0, 0, 2, 2};
  EXPECT_EQ(destination->Blt(&corner, nullptr, &nonsense, DDBLT_COLORFILL, &fill), DD_OK);
  EXPECT_EQ(Read(destination)[1 * 20 + 1], 0xF800);
}

TEST_F(SurfaceTest, KeySkipsEveryPixelInsideTheInclusiveRange) {
  const Pixels pattern = Repeated({99, 100, 101, 150, 199, 200, 201}), blank = Repeated({7, 7, 7, 7, 7, 7, 7});
  LPDIRECTDRAWSURFACE source = Make(21, 1, pattern), destination = Make(21, 1, blank);
  EXPECT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS) << "no key yet";
  struct {
    DWORD low, high, flags;
    Pixels expected;
  } cases[] = {
      {100, 200, DDBLT_KEYSRC | DDBLT_WAIT, Repeated({99, 7, 7, 7, 7, 7, 201})},
      {150, 150, DDBLT_KEYSRC, Repeated({99, 100, 101, 7, 199, 200, 201})},  // one colour
      {200, 100, DDBLT_KEYSRC, pattern},                                   // inverted: no colour
      {100, 200, DDBLT_WAIT, pattern},                                     // key not asked for
  };
  for (const auto& c : cases) {
    SetKey(source, c.low, c.high);
    Write(destination, blank);
    ASSERT_EQ(destination->Blt(nullptr, source, nullptr, c.flags, nullptr), DD_OK);
    EXPECT_EQ(Read(destination), c.expected) << "key " << c.low << "-" << c.high << ", flags " << c.flags;
  }
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);  // removes the key
  EXPECT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS);
}

// Random pictures of every width (vector loop tails included) and pitch, with runs of key colours, against a
// pixel-by-pixel reference.
TEST_F(SurfaceTest, KeyedAndOpaqueCopiesMatchAReference) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 random(seed);
    const int width = 1 + static_cast<int>(random() % 40), height = 1 + static_cast<int>(random() % 6);
    Pixels from = Random(width * height, seed * 7);
    for (uint16_t& pixel : from)
      if (random() % 3 == 0) pixel = static_cast<uint16_t>(1000 + random() % 50);
    Pixels expected = Random((width + 5) * (height + 3), seed * 11);
    LPDIRECTDRAWSURFACE source = Make(width, height, from);
    LPDIRECTDRAWSURFACE destination = Make(width + 5, height + 3, expected);
    const DWORD low = 1000 + random() % 25, high = low + random() % 25;
    SetKey(source, low, high);
    const int sx = static_cast<int>(random() % width), sy = static_cast<int>(random() % height);
    const int w = 1 + static_cast<int>(random() % (width - sx)), h = 1 + static_cast<int>(random() % (height - sy));
    const int dx = static_cast<int>(random() % 6), dy = static_cast<int>(random() % 4);
    const bool keyed = seed % 2 == 0;
    RECT sourceRect{sx, sy, sx + w, sy + h}, destinationRect{dx, dy, dx + w, dy + h};
    ASSERT_EQ(destination->Blt(&destinationRect, source, &sourceRect, keyed ? DDBLT_KEYSRC : DDBLT_WAIT, nullptr),
              DD_OK);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint16_t pixel = from[(sy + y) * width + sx + x];
        if (!keyed || pixel < low || pixel > high) expected[(dy + y) * (width + 5) + dx + x] = pixel;
      }
    ASSERT_EQ(Read(destination), expected) << "seed " << seed << ", keyed " << keyed;
  }
}

TEST_F(SurfaceTest, ColorFillWritesTheLowSixteenBitsInsideTheRectangleOnly) {
  LPDIRECTDRAWSURFACE surface = Make(5, 3, Pixels(15, 9));
  DDBLTFX fill = Fill(0xABCDF800);
  RECT rect{1, 1, 4, 3};
  ASSERT_EQ(surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
  EXPECT_EQ(Read(surface), (Pixels{9, 9, 9, 9, 9, 9, 0xF800, 0xF800, 0xF800, 9, 9, 0xF800, 0xF800, 0xF800, 9}));

  // The whole surface, and not one byte of the row padding behind it.
  ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 3; ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
    for (int x = 0; x < desc.lPitch / 2; ++x) EXPECT_EQ(row[x], x < 5 ? 0xF800 : 0) << "at " << x << "," << y;
  }
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

TEST_F(SurfaceTest, DifferentSizesStretchByNearestNeighbour) {
  LPDIRECTDRAWSURFACE small = Make(2, 2, {1, 2, 3, 4}), large = Make(4, 4, Pixels(16, 0));
  ASSERT_EQ(large->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Pixels{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));

  Write(large, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  ASSERT_EQ(small->Blt(nullptr, large, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(small), (Pixels{1, 3, 9, 11}));

  // Keyed: the key colour 2 stays transparent when it is doubled.
  Write(small, {1, 2, 3, 4});
  SetKey(small, 2, 2);
  Write(large, Pixels(16, 0));
  RECT wideTarget{0, 0, 4, 2};
  ASSERT_EQ(large->Blt(&wideTarget, small, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Pixels{1, 1, 0, 0, 3, 3, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SurfaceTest, OverlappingBlitWithinOneSurfaceReadsTheSourceFirst) {
  const Pixels original = Random(10 * 8, 6);
  LPDIRECTDRAWSURFACE surface = Make(10, 8);
  RECT topLeft{0, 0, 8, 6}, bottomRight{1, 2, 9, 8};
  for (bool downward : {true, false}) {
    Write(surface, original);
    RECT from = downward ? topLeft : bottomRight, to = downward ? bottomRight : topLeft;
    ASSERT_EQ(surface->Blt(&to, surface, &from, DDBLT_WAIT, nullptr), DD_OK);
    Pixels expected = original;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        expected[(to.top + y) * 10 + to.left + x] = original[(from.top + y) * 10 + from.left + x];
    EXPECT_EQ(Read(surface), expected) << (downward ? "down and right" : "up and left");
  }
}

TEST_F(SurfaceTest, LockAndDeviceContextExcludeOtherUse) {
  LPDIRECTDRAWSURFACE surface = Make(16, 8), other = Make(16, 8);
  DDSURFACEDESC whole = Zeroed<DDSURFACEDESC>(), part = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);

  RECT rect{3, 2, 7, 5};
  ASSERT_EQ(surface->Lock(&rect, &part, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(static_cast<uint8_t*>(part.lpSurface), static_cast<uint8_t*>(whole.lpSurface) + 2 * whole.lPitch + 3 * 2);
  ASSERT_EQ(surface->Unlock(part.lpSurface), DD_OK);

  HDC dc = nullptr, second = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_F(SurfaceTest, ReferenceCountsKeepObjectsAliveUntilTheLastRelease) {
  LPDIRECTDRAWSURFACE surface = Make(4, 4);
  EXPECT_EQ(surface->AddRef(), 2u);
  EXPECT_EQ(surface->Release(), 1u);
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
  EXPECT_EQ(clipper->Release(), 1u) << "the surface holds the clipper";

  // Surfaces outlive the DirectDraw object that made them.
  LPDIRECTDRAW secondDraw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &secondDraw, nullptr), DD_OK);
  std::swap(directDraw, secondDraw);
  LPDIRECTDRAWSURFACE orphan = Make(4, 4);
  std::swap(directDraw, secondDraw);
  EXPECT_EQ(secondDraw->Release(), 0u);
  EXPECT_EQ(Make(4, 4)->Blt(nullptr, orphan, nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

}  // namespace
