// Off-screen DirectDraw surfaces as a software blitter on Windows behaves:
// rectangle checks, colour keys, fills, stretches, locks, DCs, descriptions and
// reference counts. Pixels are read back through Lock, honouring the pitch.
#include <ddraw.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "host/control.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;
  uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
  uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
  bool operator==(const Picture&) const = default;
};

void PrintTo(const Picture& picture, std::ostream* out) {
  *out << picture.width << "x" << picture.height << " {";
  for (size_t i = 0; i < picture.pixels.size() && i < 48; ++i) *out << (i ? ", " : "") << picture.pixels[i];
  *out << (picture.pixels.size() > 48 ? ", ...}" : "}");
}

Picture MakePicture(int width, int height, uint32_t seed) {
  Picture picture{width, height, std::vector<uint16_t>(static_cast<size_t>(width * height))};
  std::mt19937 random(seed);
  for (uint16_t& pixel : picture.pixels) pixel = static_cast<uint16_t>(random());
  return picture;
}

DDSURFACEDESC EmptyDesc() {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  return desc;
}

// The first difference, for failure messages.
std::string FirstDifference(const Picture& actual, const Picture& expected) {
  if (actual.width != expected.width || actual.height != expected.height) return "sizes differ";
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x)
      if (actual.At(x, y) != expected.At(x, y))
        return "at (" + std::to_string(x) + ", " + std::to_string(y) + "): actual " +
               std::to_string(actual.At(x, y)) + ", expected " + std::to_string(expected.At(x, y));
  return "none";
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
    DDSURFACEDESC desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (rgb555) {
      desc.dwFlags |= DDSD_PIXELFORMAT;
      desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
      desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
      desc.ddpfPixelFormat.dwRGBBitCount = 16;
      desc.ddpfPixelFormat.dwRBitMask = 0x7C00;
      desc.ddpfPixelFormat.dwGBitMask = 0x03E0;
      desc.ddpfPixelFormat.dwBBitMask = 0x001F;
    }
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (surface != nullptr) surfaces.push_back(surface);
    return surface;
  }

  LPDIRECTDRAWSURFACE MakeWith(const Picture& picture) {
    LPDIRECTDRAWSURFACE surface = Make(picture.width, picture.height);
    Write(surface, picture);
    return surface;
  }

  static void Write(LPDIRECTDRAWSURFACE surface, const Picture& picture) {
    DDSURFACEDESC desc = EmptyDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch, &picture.pixels[y * picture.width],
                  picture.width * 2u);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  }

  static Picture Read(LPDIRECTDRAWSURFACE surface) {
    DDSURFACEDESC desc = EmptyDesc();
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    Picture picture{static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), {}};
    picture.pixels.resize(desc.dwWidth * desc.dwHeight);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(&picture.pixels[y * picture.width], static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch,
                  picture.width * 2u);
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
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwSize), 0u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwFlags), 4u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwHeight), 8u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwWidth), 12u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, lPitch), 16u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwBackBufferCount), 20u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, dwReserved), 32u);
  EXPECT_GE(offsetof(DDSURFACEDESC, lpSurface), 36u);
  // Behind the pointer the fields keep their Windows distances from one another.
  const size_t base = offsetof(DDSURFACEDESC, ddckCKDestOverlay);
  EXPECT_EQ(base - offsetof(DDSURFACEDESC, lpSurface), sizeof(LPVOID));
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddckCKSrcBlt) - base, 0x40u - 0x28u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddpfPixelFormat) - base, 0x48u - 0x28u);
  EXPECT_EQ(offsetof(DDSURFACEDESC, ddsCaps) - base, 0x68u - 0x28u);
  EXPECT_EQ(sizeof(DDPIXELFORMAT), 32u);
  EXPECT_EQ(offsetof(DDPIXELFORMAT, dwRBitMask), 16u);
  EXPECT_EQ(offsetof(DDPIXELFORMAT, dwBBitMask), 24u);
  EXPECT_EQ(sizeof(DDCOLORKEY), 8u);
}

TEST_F(SurfaceTest, DescriptionReportsSizePitchFormatAndKey) {
  LPDIRECTDRAWSURFACE surface = Make(37, 5);
  DDSURFACEDESC desc = EmptyDesc();
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwFlags, DWORD{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT});
  EXPECT_EQ(desc.dwWidth, 37u);
  EXPECT_EQ(desc.dwHeight, 5u);
  // Wider than the row, so that every pitch mistake shows in these tests.
  EXPECT_GT(desc.lPitch, 37 * 2);
  EXPECT_EQ(desc.ddpfPixelFormat.dwSize, 32u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DWORD{DDPF_RGB});
  EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, 0x001Fu);
  EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);

  SetKey(surface, 31, 31);
  desc = EmptyDesc();
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_NE(desc.dwFlags & DDSD_CKSRCBLT, 0u);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 31u);
  EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 31u);

  DDSURFACEDESC rgb555 = EmptyDesc();
  ASSERT_EQ(Make(4, 4, true)->GetSurfaceDesc(&rgb555), DD_OK);
  EXPECT_EQ(rgb555.ddpfPixelFormat.dwRBitMask, 0x7C00u);
  EXPECT_EQ(rgb555.ddpfPixelFormat.dwGBitMask, 0x03E0u);
  EXPECT_EQ(rgb555.ddpfPixelFormat.dwBBitMask, 0x001Fu);
}

TEST_F(SurfaceTest, StructureSizesAreChecked) {
  LPDIRECTDRAWSURFACE surface = Make(4, 4);
  DDSURFACEDESC desc = EmptyDesc();
  desc.dwSize = 0;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  desc.dwSize = 108;  // what a 32-bit Windows program writes
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwSize, 108u);

  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
  fx.dwSize = 100;
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
}

TEST_F(SurfaceTest, CreationRefusesIncompleteOrForeignDescriptions) {
  LPDIRECTDRAWSURFACE surface = nullptr;
  DDSURFACEDESC desc = EmptyDesc();
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;  // no caps
  desc.dwWidth = desc.dwHeight = 8;
  EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH;  // no height
  EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF}, {0}};
  EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(surface, nullptr);
}

TEST_F(SurfaceTest, BadRectanglesAreRefusedAndDrawNothing) {
  LPDIRECTDRAWSURFACE destination = MakeWith(MakePicture(20, 10, 1));
  LPDIRECTDRAWSURFACE source = MakeWith(MakePicture(8, 8, 2));
  SetKey(source, 0, 0);
  const Picture before = Read(destination);
  DDBLTFX fill;
  std::memset(&fill, 0, sizeof fill);
  fill.dwSize = sizeof fill;
  fill.dwFillColor = 0xF800;
  const RECT good{0, 0, 4, 4};
  const RECT bad[] = {
      {2, 2, 2, 6},    // empty
      {2, 2, 6, 2},    // empty
      {6, 2, 2, 6},    // inverted
      {2, 6, 6, 2},    // inverted
      {-1, 0, 3, 4},   // negative
      {0, -2, 4, 2},   // negative
      {17, 0, 21, 4},  // past the right edge of the destination (20 wide)
      {0, 7, 4, 11},   // past the bottom
  };
  for (const RECT& rect : bad) {
    RECT copy = rect;
    RECT goodCopy = good;
    SCOPED_TRACE(::testing::Message() << "rect " << rect.left << "," << rect.top << "," << rect.right << ","
                                      << rect.bottom);
    EXPECT_EQ(destination->Blt(&copy, source, &goodCopy, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&copy, source, &goodCopy, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(destination->Blt(&copy, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DDERR_INVALIDRECT);
    if (rect.right <= 8 && rect.bottom <= 8) {  // as a source rectangle on the 8 x 8 source
      EXPECT_EQ(destination->Blt(&goodCopy, source, &copy, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    }
  }
  RECT outsideSource{4, 4, 9, 8};
  RECT target{0, 0, 5, 4};
  EXPECT_EQ(destination->Blt(&target, source, &outsideSource, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  const Picture after = Read(destination);
  EXPECT_TRUE(after == before) << "destination changed " << FirstDifference(after, before);

  // A colour fill never looks at a source rectangle.
  RECT nonsense{5, 5, 1, 1};
  RECT corner{0, 0, 2, 2};
  EXPECT_EQ(destination->Blt(&corner, nullptr, &nonsense, DDBLT_COLORFILL, &fill), DD_OK);
  EXPECT_EQ(Read(destination).At(1, 1), 0xF800);
}

// The seven probe colours repeat three times, so that both the eight-pixel
// vector loop and its tail meet each of them.
Picture Repeated(std::vector<uint16_t> colours) {
  Picture picture{static_cast<int>(colours.size()) * 3, 1, {}};
  for (int i = 0; i < 3; ++i) picture.pixels.insert(picture.pixels.end(), colours.begin(), colours.end());
  return picture;
}

TEST_F(SurfaceTest, KeySkipsEveryPixelInsideTheInclusiveRange) {
  const Picture pattern = Repeated({99, 100, 101, 150, 199, 200, 201});
  const Picture blank = Repeated({7, 7, 7, 7, 7, 7, 7});
  LPDIRECTDRAWSURFACE source = MakeWith(pattern);
  LPDIRECTDRAWSURFACE destination = MakeWith(blank);
  SetKey(source, 100, 200);
  ASSERT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(destination), Repeated({99, 7, 7, 7, 7, 7, 201}));

  SetKey(source, 150, 150);  // a single colour
  Write(destination, blank);
  ASSERT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Read(destination), Repeated({99, 100, 101, 7, 199, 200, 201}));

  SetKey(source, 200, 100);  // an inverted range holds no colour
  Write(destination, blank);
  ASSERT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Read(destination), pattern);

  // Without DDBLT_KEYSRC the key is not used.
  SetKey(source, 100, 200);
  Write(destination, blank);
  ASSERT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(destination), pattern);
}

TEST_F(SurfaceTest, KeyedBlitWithoutASourceKeyIsRefused) {
  LPDIRECTDRAWSURFACE source = MakeWith(MakePicture(4, 4, 3));
  LPDIRECTDRAWSURFACE destination = MakeWith(MakePicture(4, 4, 4));
  EXPECT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS);
  SetKey(source, 1, 1);
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);  // removes it again
  EXPECT_EQ(destination->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(Read(destination), MakePicture(4, 4, 4));
}

// Random pictures and rectangles of every width (the vector loop's tails
// included) against a pixel-by-pixel reference.
TEST_F(SurfaceTest, KeyedAndOpaqueCopiesMatchAReference) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 random(seed);
    const int width = 1 + static_cast<int>(random() % 40);
    const int height = 1 + static_cast<int>(random() % 6);
    Picture sourcePicture = MakePicture(width, height, seed * 7);
    for (uint16_t& pixel : sourcePicture.pixels)
      if (random() % 3 == 0) pixel = static_cast<uint16_t>(1000 + random() % 50);  // runs of key colours
    const Picture destinationPicture = MakePicture(width + 5, height + 3, seed * 11);
    LPDIRECTDRAWSURFACE source = MakeWith(sourcePicture);
    LPDIRECTDRAWSURFACE destination = MakeWith(destinationPicture);
    const DWORD low = 1000 + random() % 25, high = low + random() % 25;
    SetKey(source, low, high);
    const int sx = static_cast<int>(random() % width), sy = static_cast<int>(random() % height);
    const int w = 1 + static_cast<int>(random() % (width - sx)), h = 1 + static_cast<int>(random() % (height - sy));
    const int dx = static_cast<int>(random() % 6), dy = static_cast<int>(random() % 4);
    const bool keyed = seed % 2 == 0;

    RECT from{sx, sy, sx + w, sy + h};
    RECT to{dx, dy, dx + w, dy + h};
    ASSERT_EQ(destination->Blt(&to, source, &from, keyed ? DDBLT_KEYSRC | DDBLT_WAIT : DDBLT_WAIT, nullptr), DD_OK)
        << "seed " << seed;
    Picture expected = destinationPicture;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint16_t pixel = sourcePicture.At(sx + x, sy + y);
        if (!keyed || pixel < low || pixel > high) expected.At(dx + x, dy + y) = pixel;
      }
    const Picture actual = Read(destination);
    ASSERT_TRUE(actual == expected) << "seed " << seed << ", keyed " << keyed << ": " << FirstDifference(actual, expected);
  }
}

TEST_F(SurfaceTest, ColorFillWritesTheLowSixteenBitsInsideTheRectangleOnly) {
  LPDIRECTDRAWSURFACE surface = MakeWith(Picture{5, 3, std::vector<uint16_t>(15, 9)});
  DDBLTFX fill;
  std::memset(&fill, 0, sizeof fill);
  fill.dwSize = sizeof fill;
  fill.dwFillColor = 0xABCDF800;
  RECT rect{1, 1, 4, 3};
  ASSERT_EQ(surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
  EXPECT_EQ(Read(surface), (Picture{5, 3, {9, 9, 9, 9, 9, 9, 0xF800, 0xF800, 0xF800, 9, 9, 0xF800, 0xF800, 0xF800, 9}}));

  // The whole surface, and not one byte of the row padding behind it.
  ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
  DDSURFACEDESC desc = EmptyDesc();
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 3; ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(row[x], 0xF800) << "at " << x << "," << y;
    for (int x = 5; x < desc.lPitch / 2; ++x) EXPECT_EQ(row[x], 0) << "padding at " << x << "," << y;
  }
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

TEST_F(SurfaceTest, PitchesOfDifferentSurfacesAreHonoured) {
  const Picture wide = MakePicture(50, 4, 5);
  LPDIRECTDRAWSURFACE source = MakeWith(wide);
  LPDIRECTDRAWSURFACE narrow = MakeWith(Picture{3, 4, std::vector<uint16_t>(12, 0)});
  RECT from{40, 0, 43, 4};
  ASSERT_EQ(narrow->Blt(nullptr, source, &from, DDBLT_WAIT, nullptr), DD_OK);
  Picture expected{3, 4, {}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) expected.pixels.push_back(wide.At(40 + x, y));
  const Picture actual = Read(narrow);
  EXPECT_TRUE(actual == expected) << FirstDifference(actual, expected);
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
  const Picture original = MakePicture(10, 8, 6);
  LPDIRECTDRAWSURFACE surface = MakeWith(original);
  RECT from{0, 0, 8, 6};
  RECT to{1, 2, 9, 8};
  ASSERT_EQ(surface->Blt(&to, surface, &from, DDBLT_WAIT, nullptr), DD_OK);
  Picture expected = original;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) expected.At(x + 1, y + 2) = original.At(x, y);
  Picture actual = Read(surface);
  EXPECT_TRUE(actual == expected) << "down and right: " << FirstDifference(actual, expected);

  Write(surface, original);
  ASSERT_EQ(surface->Blt(&from, surface, &to, DDBLT_WAIT, nullptr), DD_OK);
  expected = original;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) expected.At(x, y) = original.At(x + 1, y + 2);
  actual = Read(surface);
  EXPECT_TRUE(actual == expected) << "up and left: " << FirstDifference(actual, expected);
}

TEST_F(SurfaceTest, BlitsBetweenPixelFormatsAndUnknownFlagsAreRefused) {
  LPDIRECTDRAWSURFACE rgb565 = Make(4, 4);
  LPDIRECTDRAWSURFACE rgb555 = Make(4, 4, true);
  EXPECT_EQ(rgb565->Blt(nullptr, rgb555, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(rgb565->Blt(nullptr, rgb565, nullptr, 0x00000800 /* DDBLT_DDFX */, nullptr), DDERR_UNSUPPORTED);
}

TEST_F(SurfaceTest, LockHandsOutThePixelsAtTheRectangleAndExcludesOtherUse) {
  LPDIRECTDRAWSURFACE surface = MakeWith(MakePicture(16, 8, 8));
  LPDIRECTDRAWSURFACE other = Make(16, 8);
  DDSURFACEDESC whole = EmptyDesc();
  ASSERT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);

  RECT rect{3, 2, 7, 5};
  DDSURFACEDESC part = EmptyDesc();
  ASSERT_EQ(surface->Lock(&rect, &part, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(part.lPitch, whole.lPitch);
  EXPECT_EQ(static_cast<uint8_t*>(part.lpSurface), static_cast<uint8_t*>(whole.lpSurface) + 2 * whole.lPitch + 3 * 2);
  ASSERT_EQ(surface->Unlock(part.lpSurface), DD_OK);

  RECT outside{10, 0, 17, 8};
  EXPECT_EQ(surface->Lock(&outside, &part, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_F(SurfaceTest, DeviceContextIsHandedOutOnceAtATime) {
  LPDIRECTDRAWSURFACE surface = Make(8, 8);
  LPDIRECTDRAWSURFACE other = Make(8, 8);
  HDC dc = nullptr, second = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  EXPECT_NE(dc, nullptr);
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  EXPECT_EQ(surface->GetDC(&second), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(second), DD_OK);
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
  ASSERT_EQ(surface->SetClipper(nullptr), DD_OK);  // and lets it go

  // Surfaces outlive the DirectDraw object that made them.
  LPDIRECTDRAW secondDraw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &secondDraw, nullptr), DD_OK);
  DDSURFACEDESC desc = EmptyDesc();
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 4;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  LPDIRECTDRAWSURFACE orphan = nullptr;
  ASSERT_EQ(secondDraw->CreateSurface(&desc, &orphan, nullptr), DD_OK);
  EXPECT_EQ(secondDraw->Release(), 0u);
  EXPECT_EQ(surface->Blt(nullptr, orphan, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(orphan->Release(), 0u);
}

}  // namespace
