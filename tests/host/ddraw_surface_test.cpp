// Off-screen DirectDraw surfaces as Windows' blitter behaves: rectangle checks, colour-key ranges, fills,
// stretches, overlapping copies, locks, DCs, descriptions and reference counts.
#include <random>
#include <utility>
#include <vector>

#include "host/ddraw_fixture.h"

namespace {

class SurfaceTest : public DirectDrawTest {
 protected:
  // A 5-6-5 (or 5-5-5) surface holding `pixels` when they are given, or random ones from a seed.
  LPDIRECTDRAWSURFACE Make(int width, int height, const Pixels& pixels = {}, bool rgb555 = false) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (rgb555 ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {0x7C00}, {0x03E0}, {0x1F}, {0}};
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (!pixels.empty()) Write(surface, pixels);
    return Keep(surface);
  }
  LPDIRECTDRAWSURFACE MakeRandom(int width, int height, uint32_t seed) {
    std::mt19937 random(seed);
    Pixels pixels(static_cast<size_t>(width * height));
    for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
    return Make(width, height, pixels);
  }
  static void SetKey(LPDIRECTDRAWSURFACE surface, DWORD low, DWORD high, DWORD range = DDCKEY_COLORSPACE) {
    DDCOLORKEY key{low, high};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | range, &key), DD_OK);
  }
};

TEST_F(SurfaceTest, DescriptionReportsSizePitchFormatAndKey) {
  auto described = [](LPDIRECTDRAWSURFACE surface) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    return std::vector<DWORD>{desc.dwFlags, desc.dwWidth, desc.ddckCKSrcBlt.dwColorSpaceLowValue,
                              desc.ddckCKSrcBlt.dwColorSpaceHighValue, desc.lPitch > 37 * 2, f.dwSize, f.dwFlags,
                              f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
  };
  const DWORD flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  LPDIRECTDRAWSURFACE surface = Make(37, 5), rgb555 = Make(37, 4, {}, true);
  SetKey(surface, 31, 31);
  EXPECT_EQ(described(surface),
            (std::vector<DWORD>{flags | DDSD_CKSRCBLT, 37, 31, 31, 1, 32, DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}));
  EXPECT_EQ(described(rgb555), (std::vector<DWORD>{flags, 37, 0, 0, 1, 32, DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F}));
  EXPECT_EQ(Make(4, 4)->Blt(nullptr, rgb555, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  DDSURFACEDESC unsized{};
  EXPECT_EQ(surface->GetSurfaceDesc(&unsized), DDERR_INVALIDPARAMS);
}

// Refused as a destination (copy, keyed copy, fill) and as a source, drawing nothing; a fill ignores the source
// rectangle.
TEST_F(SurfaceTest, BadRectanglesAreRefusedAndDrawNothing) {
  LPDIRECTDRAWSURFACE destination = MakeRandom(20, 10, 1), source = MakeRandom(8, 8, 2);
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
    if (rect.right <= 8 && rect.bottom <= 8) {
      EXPECT_EQ(destination->Blt(&good, source, &rect, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
  }
  EXPECT_EQ(Read(destination), before);
  RECT nonsense{5, 5, 1, 1}, corner{0, 0, 2, 2};
  EXPECT_EQ(destination->Blt(&corner, nullptr, &nonsense, DDBLT_COLORFILL, &fill), DD_OK);
  EXPECT_EQ(Read(destination)[1 * 20 + 1], 0xF800);
}

// Keyed and opaque copies against a pixel-by-pixel reference: every width below, at and across the eight-pixel
// vector groups, keys at both ends of the 16-bit range, and sources made of each key's ends and their neighbours.
// A key set without DDCKEY_COLORSPACE is its low colour alone.
TEST_F(SurfaceTest, CopiesMatchAPixelByPixelReference) {
  LPDIRECTDRAWSURFACE probe = Make(8, 1), target = Make(8, 1);
  EXPECT_EQ(target->Blt(nullptr, probe, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS) << "no key yet";
  struct Key {
    DWORD low, high, range;
  };
  const Key keys[] = {{100, 200, DDCKEY_COLORSPACE}, {150, 150, DDCKEY_COLORSPACE}, {0, 0, 0},
                      {0xFFFF, 0xFFFF, 0},           {0, 0xFFFF, DDCKEY_COLORSPACE}, {1, 0xFFFE, DDCKEY_COLORSPACE},
                      {200, 100, DDCKEY_COLORSPACE},  // inverted: no colour
                      {100, 200, 0}};                 // a single colour: 100
  uint32_t seed = 0;
  for (const auto& [low, high, range] : keys)
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 40})
      for (DWORD flags : {DWORD{DDBLT_KEYSRC}, DWORD{DDBLT_WAIT}}) {
        std::mt19937 random(++seed);
        const int height = 1 + static_cast<int>(random() % 3), sx = static_cast<int>(random() % 4);
        const int dx = static_cast<int>(random() % 5), dy = static_cast<int>(random() % 3);
        const DWORD probes[] = {low - 1, low, low + 1, high - 1, high, high + 1, static_cast<DWORD>(random())};
        Pixels from((width + 3) * height);
        for (uint16_t& pixel : from) pixel = static_cast<uint16_t>(probes[random() % 7]);
        LPDIRECTDRAWSURFACE source = Make(width + 3, height, from);
        LPDIRECTDRAWSURFACE destination = MakeRandom(width + 5, height + 2, seed);
        Pixels expected = Read(destination);
        SetKey(source, low, high, range);
        const DWORD top = range != 0 ? high : low;
        RECT sourceRect{sx, 0, sx + width, height}, destinationRect{dx, dy, dx + width, dy + height};
        ASSERT_EQ(destination->Blt(&destinationRect, source, &sourceRect, flags, nullptr), DD_OK);
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) {
            const uint16_t pixel = from[y * (width + 3) + sx + x];
            if (flags != DDBLT_KEYSRC || pixel < low || pixel > top) expected[(dy + y) * (width + 5) + dx + x] = pixel;
          }
        ASSERT_EQ(Read(destination), expected) << "key " << low << "-" << high << ", width " << width << ", flags "
                                               << flags << ", seed " << seed;
      }
  SetKey(probe, 1, 1);
  ASSERT_EQ(probe->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);  // removes the key
  EXPECT_EQ(target->Blt(nullptr, probe, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS);
}

// A fill writes the low sixteen bits inside its rectangle; different sizes stretch by nearest neighbour, keyed
// pixels staying transparent when doubled.
TEST_F(SurfaceTest, FillsAndStretches) {
  LPDIRECTDRAWSURFACE small = Make(2, 2, {1, 2, 3, 4}), large = Make(4, 4, Pixels(16, 9));
  DDBLTFX fill = Fill(0xABCDF800);
  RECT rect{1, 1, 4, 3};
  ASSERT_EQ(large->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
  EXPECT_EQ(Read(large), (Pixels{9, 9, 9, 9, 9, 0xF800, 0xF800, 0xF800, 9, 0xF800, 0xF800, 0xF800, 9, 9, 9, 9}));
  ASSERT_EQ(large->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Pixels{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
  Write(large, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  ASSERT_EQ(small->Blt(nullptr, large, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(small), (Pixels{1, 3, 9, 11}));
  Write(small, {1, 2, 3, 4});
  SetKey(small, 2, 2);
  Write(large, Pixels(16, 0));
  RECT wideTarget{0, 0, 4, 2};
  ASSERT_EQ(large->Blt(&wideTarget, small, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Pixels{1, 1, 0, 0, 3, 3, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SurfaceTest, OverlappingBlitWithinOneSurfaceReadsTheSourceFirst) {
  LPDIRECTDRAWSURFACE surface = MakeRandom(10, 8, 6);
  const Pixels pristine = Read(surface);
  RECT topLeft{0, 0, 8, 6}, bottomRight{1, 2, 9, 8};
  for (bool downward : {true, false}) {
    Write(surface, pristine);
    RECT from = downward ? topLeft : bottomRight, to = downward ? bottomRight : topLeft;
    ASSERT_EQ(surface->Blt(&to, surface, &from, DDBLT_WAIT, nullptr), DD_OK);
    Pixels expected = pristine;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x)
        expected[(to.top + y) * 10 + to.left + x] = pristine[(from.top + y) * 10 + from.left + x];
    EXPECT_EQ(Read(surface), expected) << (downward ? "down and right" : "up and left");
  }
}

TEST_F(SurfaceTest, LockAndDeviceContextExcludeOtherUse) {
  LPDIRECTDRAWSURFACE surface = Make(16, 8), other = Make(16, 8);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  HDC dc = nullptr, second = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

// A surface holds its clipper, and outlives the DirectDraw object that made it.
TEST_F(SurfaceTest, ReferenceCountsKeepObjectsAliveUntilTheLastRelease) {
  LPDIRECTDRAWSURFACE surface = Make(4, 4);
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
  EXPECT_EQ(clipper->Release(), 1u);
  LPDIRECTDRAW secondDraw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &secondDraw, nullptr), DD_OK);
  std::swap(directDraw, secondDraw);
  LPDIRECTDRAWSURFACE orphan = Make(4, 4);
  std::swap(directDraw, secondDraw);
  EXPECT_EQ(secondDraw->Release(), 0u);
  EXPECT_EQ(Make(4, 4)->Blt(nullptr, orphan, nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

}  // namespace
