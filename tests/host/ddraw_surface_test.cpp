// Off-screen DirectDraw surfaces as Windows' blitter behaves: rectangle checks,
// colour-key ranges, fills, stretches, overlapping copies, locks, DCs,
// descriptions and reference counts. Pixels are read back through Lock with the
// pitch, which the host makes wider than a row so pitch mistakes show.
#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "host/control.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;
  uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
  bool operator==(const Picture&) const = default;
};

void PrintTo(const Picture& picture, std::ostream* out) {
  *out << picture.width << "x" << picture.height << " {";
  for (size_t i = 0; i < picture.pixels.size() && i < 48; ++i) *out << (i ? ", " : "") << picture.pixels[i];
  *out << (picture.pixels.size() > 48 ? ", ...}" : "}");
}

Picture Random(int width, int height, uint32_t seed) {
  Picture picture{width, height, std::vector<uint16_t>(static_cast<size_t>(width * height))};
  std::mt19937 random(seed);
  for (uint16_t& pixel : picture.pixels) pixel = static_cast<uint16_t>(random());
  return picture;
}

// Seven probe colours three times over, so that the eight-pixel vector loop and
// its tail both meet each of them.
Picture Repeated(std::vector<uint16_t> colours) {
  Picture picture{static_cast<int>(colours.size()) * 3, 1, {}};
  for (int i = 0; i < 3; ++i) picture.pixels.insert(picture.pixels.end(), colours.begin(), colours.end());
  return picture;
}

template <typename T>
T Zeroed() {
  T value;
  std::memset(&value, 0, sizeof value);
  value.dwSize = sizeof value;
  return value;
}

DDBLTFX Fill(DWORD pixel) {
  DDBLTFX fx = Zeroed<DDBLTFX>();
  fx.dwFillColor = pixel;
  return fx;
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

  LPDIRECTDRAWSURFACE Make(int width, int height, bool rgb555 = false) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (rgb555 ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {16}, {0x7C00}, {0x03E0}, {0x1F}, {0}};
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    surfaces.push_back(surface);
    return surface;
  }

  LPDIRECTDRAWSURFACE MakeWith(const Picture& picture) {
    LPDIRECTDRAWSURFACE surface = Make(picture.width, picture.height);
    Write(surface, picture);
    return surface;
  }

  static void Write(LPDIRECTDRAWSURFACE surface, const Picture& picture) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &picture.pixels[y * picture.width],
                  picture.width * 2u);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  }

  static Picture Read(LPDIRECTDRAWSURFACE surface) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    Picture picture{static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), {}};
    picture.pixels.resize(desc.dwWidth * desc.dwHeight);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(&picture.At(0, y), static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, picture.width * 2u);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return picture;
  }

  static void SetKey(LPDIRECTDRAWSURFACE surface, DWORD low, DWORD high) {
    DDCOLORKEY key{low, high};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  }

  LPDIRECTDRAW directDraw = nullptr;
  std::vector<LPDIRECTDRAWSURFACE> surfaces;
};

TEST(SurfaceDescLayout, KeepsTheWindowsFieldOrder) {
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwFlags), 4u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwHeight), 8u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwWidth), 12u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, lPitch), 16u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwReserved), 32u);
  // Behind the (wider) pointer the fields keep their Windows distances.
  const size_t base = offsetof(DDSURFACEDESC, ddckCKDestOverlay);
  EXPECT_EQ(base - offsetof(DDSURFACEDESC, lpSurface), sizeof(LPVOID));
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddckCKSrcBlt) - base, 0x40u - 0x28u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddpfPixelFormat) - base, 0x48u - 0x28u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddsCaps) - base, 0x68u - 0x28u);
  EXPECT_EQ(sizeof(DDPIXELFORMAT), 32u);
  EXPECT_EQ(offsetof(DDPIXELFORMAT, dwRBitMask), 16u);
}

TEST_F(SurfaceTest, DescriptionReportsSizePitchFormatAndKey) {
  LPDIRECTDRAWSURFACE surface = Make(37, 5);
  SetKey(surface, 31, 31);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwFlags, DWORD{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_CKSRCBLT});
  EXPECT_EQ(desc.dwWidth, 37u);
  EXPECT_EQ(desc.dwHeight, 5u);
  EXPECT_GT(desc.lPitch, 37 * 2);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 31u);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 31u);
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  EXPECT_EQ(format.dwSize, 32u);
  EXPECT_EQ(format.dwFlags, DWORD{DDPF_RGB});
  EXPECT_EQ(format.dwRGBBitCount, 16u);
  EXPECT_EQ(format.dwRBitMask, 0xF800u);
  EXPECT_EQ(format.dwGBitMask, 0x07E0u);
  EXPECT_EQ(format.dwBBitMask, 0x001Fu);
  EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);

  LPDIRECTDRAWSURFACE rgb555 = Make(4, 4, true);
  desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(rgb555->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x03E0u);
  EXPECT_EQ(Make(4, 4)->Blt(nullptr, rgb555, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  desc.dwSize = 0;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceTest, BadRectanglesAreRefusedAndDrawNothing) {
  LPDIRECTDRAWSURFACE destination = MakeWith(Random(20, 10, 1));
  LPDIRECTDRAWSURFACE source = MakeWith(Random(8, 8, 2));
  SetKey(source, 0, 0);
  const Picture before = Read(destination);
  DDBLTFX fill = Fill(0xF800);
  const RECT bad[] = {{2, 2, 2, 6},  {2, 2, 6, 2},   {6, 2, 2, 6},    {2, 6, 6, 2},  // empty, inverted
                      {-1, 0, 3, 4}, {0, -2, 4, 2},  {17, 0, 21, 4},  {0, 7, 4, 11}};  // negative, past an edge
  for (RECT rect : bad) {
    RECT good{0, 0, 4, 4};
    SCOPED_TRACE(::testing::Message() << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom);
    EXPECT_EQ(destination->Blt(&rect, source, &good, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&rect, source, &good, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DDERR_INVALIDRECT);
    if (rect.right <= 8 && rect.bottom <= 8) {  // as a source rectangle on the 8 x 8 source
      EXPECT_EQ(destination->Blt(&good, source, &rect, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
  }
  EXPECT_EQ(Read(destination), before);

  // A colour fill never looks at a source rectangle.
  RECT nonsense{5, 5, 1, 1}, corner{0, 0, 2, 2};
  EXPECT_EQ(destination->Blt(&corner, nullptr, &nonsense, DDBLT_COLORFILL, &fill), DD_OK);
  EXPECT_EQ(Read(destination).At(1, 1), 0xF800);
}

TEST_F(SurfaceTest, KeySkipsEveryPixelInsideTheInclusiveRange) {
  const Picture pattern = Repeated({99, 100, 101, 150, 199, 200, 201});
  const Picture blank = Repeated({7, 7, 7, 7, 7, 7, 7});
  LPDIRECTDRAWSURFACE source = MakeWith(pattern);
  LPDIRECTDRAWSURFACE destination = MakeWith(blank);
  EXPECT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS) << "no key yet";
  struct {
    DWORD low, high, flags;
    Picture expected;
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

// Random pictures of every width (vector loop tails included) and pitch, with
// runs of key colours, against a pixel-by-pixel reference.
TEST_F(SurfaceTest, KeyedAndOpaqueCopiesMatchAReference) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 random(seed);
    const int width = 1 + static_cast<int>(random() % 40), height = 1 + static_cast<int>(random() % 6);
    Picture from = Random(width, height, seed * 7);
    for (uint16_t& pixel : from.pixels)
      if (random() % 3 == 0) pixel = static_cast<uint16_t>(1000 + random() % 50);
    Picture expected = Random(width + 5, height + 3, seed * 11);
    LPDIRECTDRAWSURFACE source = MakeWith(from);
    LPDIRECTDRAWSURFACE destination = MakeWith(expected);
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
        const uint16_t pixel = from.At(sx + x, sy + y);
        if (!keyed || pixel < low || pixel > high) expected.At(dx + x, dy + y) = pixel;
      }
    ASSERT_EQ(Read(destination), expected) << "seed " << seed << ", keyed " << keyed;
  }
}

TEST_F(SurfaceTest, ColorFillWritesTheLowSixteenBitsInsideTheRectangleOnly) {
  LPDIRECTDRAWSURFACE surface = MakeWith(Picture{5, 3, std::vector<uint16_t>(15, 9)});
  DDBLTFX fill = Fill(0xABCDF800);
  RECT rect{1, 1, 4, 3};
  ASSERT_EQ(surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
  EXPECT_EQ(Read(surface), (Picture{5, 3, {9, 9, 9, 9, 9, 9, 0xF800, 0xF800, 0xF800, 9, 9, 0xF800, 0xF800, 0xF800, 9}}));

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
  LPDIRECTDRAWSURFACE small = MakeWith(Picture{2, 2, {1, 2, 3, 4}});
  LPDIRECTDRAWSURFACE large = MakeWith(Picture{4, 4, std::vector<uint16_t>(16, 0)});
  ASSERT_EQ(large->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Picture{4, 4, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}}));

  Write(large, Picture{4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}});
  ASSERT_EQ(small->Blt(nullptr, large, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(small), (Picture{2, 2, {1, 3, 9, 11}}));

  // Keyed: the key colour 2 stays transparent when it is doubled.
  Write(small, Picture{2, 2, {1, 2, 3, 4}});
  SetKey(small, 2, 2);
  Write(large, Picture{4, 4, std::vector<uint16_t>(16, 0)});
  RECT wideTarget{0, 0, 4, 2};
  ASSERT_EQ(large->Blt(&wideTarget, small, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Read(large), (Picture{4, 4, {1, 1, 0, 0, 3, 3, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST_F(SurfaceTest, OverlappingBlitWithinOneSurfaceReadsTheSourceFirst) {
  Picture original = Random(10, 8, 6);
  LPDIRECTDRAWSURFACE surface = Make(10, 8);
  RECT topLeft{0, 0, 8, 6}, bottomRight{1, 2, 9, 8};
  for (bool downward : {true, false}) {
    Write(surface, original);
    RECT from = downward ? topLeft : bottomRight, to = downward ? bottomRight : topLeft;
    ASSERT_EQ(surface->Blt(&to, surface, &from, DDBLT_WAIT, nullptr), DD_OK);
    Picture expected = original;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) expected.At(to.left + x, to.top + y) = original.At(from.left + x, from.top + y);
    EXPECT_EQ(Read(surface), expected) << (downward ? "down and right" : "up and left");
  }
}

TEST_F(SurfaceTest, LockAndDeviceContextExcludeOtherUse) {
  LPDIRECTDRAWSURFACE surface = Make(16, 8);
  LPDIRECTDRAWSURFACE other = Make(16, 8);
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
