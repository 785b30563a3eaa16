// DirectDraw as the game's graphics library meets it: blits as Windows' blitter behaves (rectangle checks,
// colour keys, fills), locks, DCs, descriptions, clippers; cooperative levels, modes, the flipping chain and the
// windowed primary clipped to the window. (What reaches the screen is checked by the replay and Xvfb runs.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "conformance.h"
#include <ddraw.h>

namespace {

using Pixels = std::vector<uint16_t>;  // row by row
using Words = std::vector<DWORD>;

// A structure the way Windows wants it: every byte 0, the size filled in.
template <typename T>
T Zeroed() {
  T value;
  std::memset(&value, 0, sizeof value);
  value.dwSize = sizeof value;
  return value;
}

// How many pixels of a desktop `width` wide equal `value` inside and outside a rectangle.
std::pair<int, int> Count(const Pixels& desktop, int width, uint16_t value, const RECT& rect) {
  std::pair<int, int> count;
  for (int i = 0, x = 0, y = 0; i < static_cast<int>(desktop.size()); ++i, x = i % width, y = i / width)
    if (desktop[i] == value)
      ++(x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom ? count.first : count.second);
  return count;
}

// Objects in `kept` are released after the test, before the DirectDraw object.
class DirectDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conformance::ResetHost();
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    ASSERT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);  // as the game always does first
  }
  void TearDown() override {
    for (IUnknown* object : kept) object->Release();
    directDraw->Release();
    if (window) DestroyWindow(window);
    conformance::ResetHost();
  }

  // A surface of the given caps; with a width, of that size; with back buffers, a flipping chain.
  LPDIRECTDRAWSURFACE Create(DWORD caps, DWORD backBuffers, int width = 0, int height = 0, HRESULT expected = DD_OK) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    desc.dwFlags = DDSD_CAPS | (backBuffers ? DDSD_BACKBUFFERCOUNT : 0) | (width ? DDSD_WIDTH | DDSD_HEIGHT : 0);
    desc.ddsCaps.dwCaps = caps, desc.dwBackBufferCount = backBuffers;
    desc.dwWidth = static_cast<DWORD>(width), desc.dwHeight = static_cast<DWORD>(height);
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), expected);
    if (surface) kept.push_back(surface);
    return surface;
  }
  // An off-screen surface holding `pixels`, or random ones from a seed.
  LPDIRECTDRAWSURFACE Make(int width, int height, const Pixels& pixels) {
    LPDIRECTDRAWSURFACE surface = Create(DDSCAPS_OFFSCREENPLAIN, 0, width, height);
    if (!pixels.empty()) Write(surface, pixels);
    return surface;
  }
  LPDIRECTDRAWSURFACE Make(int width, int height, uint32_t seed = 0) {
    std::mt19937 random(seed);
    Pixels pixels(static_cast<size_t>(width * height));
    for (uint16_t& pixel : pixels) pixel = static_cast<uint16_t>(random());
    return Make(width, height, pixels);
  }
  static void SetKey(LPDIRECTDRAWSURFACE surface, DWORD low, DWORD high, DWORD range = 0) {
    DDCOLORKEY key{low, high};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT | range, &key), DD_OK);
  }
  // A whole surface (or a rectangle of it) filled with a raw pixel.
  static HRESULT Paint(LPDIRECTDRAWSURFACE surface, DWORD pixel, RECT* rect = nullptr) {
    DDBLTFX fx = Zeroed<DDBLTFX>();
    fx.dwFillColor = pixel;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }
  // Every pixel through a lock, row by row with the pitch (which may be wider than a row: the host's always
  // is, so that pitch mistakes show); Write takes as many as Read gives.
  static Pixels Read(LPDIRECTDRAWSURFACE surface) { return Copy(surface, nullptr); }
  static void Write(LPDIRECTDRAWSURFACE surface, const Pixels& pixels) { Copy(surface, &pixels); }
  static Pixels Copy(LPDIRECTDRAWSURFACE surface, const Pixels* in) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    Pixels out(desc.dwWidth * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
      auto* row = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch;
      if (in != nullptr) std::memcpy(row, &(*in)[y * desc.dwWidth], desc.dwWidth * 2);
      std::memcpy(&out[y * desc.dwWidth], row, desc.dwWidth * 2);
    }
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return out;
  }
  // A pop-up window has no frame: the client area starts at (x, y).
  HWND MakeWindow(int x, int y, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DirectDrawTest";
    RegisterClassA(&windowClass);
    return window = CreateWindowExA(0, "DirectDrawTest", "test", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                                    nullptr, nullptr, nullptr);
  }

  LPDIRECTDRAW directDraw = nullptr;
  HWND window = nullptr;
  std::vector<IUnknown*> kept;
};

TEST_F(DirectDrawTest, DescriptionReportsSizePitchFormatAndKey) {
  LPDIRECTDRAWSURFACE surface = Make(37, 5);
  SetKey(surface, 31, 31);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>(), unsized{};
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
  EXPECT_EQ((Words{desc.dwFlags, desc.dwWidth, desc.ddckCKSrcBlt.dwColorSpaceLowValue, desc.lPitch >= 37 * 2,
                   f.dwSize, f.dwFlags, f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask, f.dwBBitMask}),
            (Words{DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_CKSRCBLT, 37, 31, 1, 32,
                   DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}));
  EXPECT_EQ(surface->GetSurfaceDesc(&unsized), DDERR_INVALIDPARAMS);
}

// Bad rectangles are refused as a destination (copy, keyed copy, fill) and as a source, drawing nothing.
TEST_F(DirectDrawTest, BadRectanglesAreRefusedAndDrawNothing) {
  LPDIRECTDRAWSURFACE destination = Make(20, 10, 1), source = Make(8, 8, 2);
  SetKey(source, 0, 0);
  const Pixels before = Read(destination);
  RECT good{0, 0, 4, 4};
  const RECT bad[] = {{2, 2, 2, 6},  {2, 2, 6, 2},  {6, 2, 2, 6},   {2, 6, 6, 2},    // empty, inverted
                      {-1, 0, 3, 4}, {0, -2, 4, 2}, {17, 0, 21, 4}, {0, 7, 4, 11}};  // negative, past an edge
  for (RECT rect : bad) {
    const HRESULT asSource = rect.right <= 8 && rect.bottom <= 8 ? destination->Blt(&good, source, &rect, 0, nullptr)
                                                                 : DDERR_INVALIDRECT;
    EXPECT_EQ((std::vector<HRESULT>{destination->Blt(&rect, source, &good, DDBLT_WAIT, nullptr),
                                    destination->Blt(&rect, source, &good, DDBLT_KEYSRC, nullptr),
                                    Paint(destination, 0xF800, &rect), asSource}),
              std::vector<HRESULT>(4, DDERR_INVALIDRECT))
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
  }
  EXPECT_EQ(Read(destination), before);
}

// Keyed and opaque copies against a pixel-by-pixel reference: every width below, at and across the
// eight-pixel vector groups, keys at both ends of the 16-bit range, sources made of each key's ends and their
// neighbours. A key set without DDCKEY_COLORSPACE is its low colour alone (the game's keys are all such); a
// range key is the host's own (Wine refuses one, docs/behaviour.md).
TEST_F(DirectDrawTest, CopiesMatchAPixelByPixelReference) {
  LPDIRECTDRAWSURFACE probe = Make(8, 1), target = Make(8, 1);
  EXPECT_EQ(target->Blt(nullptr, probe, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDPARAMS) << "no key yet";
  const Words keys[] = {{0, 0, 0}, {0xFFFF, 0xFFFF, 0}, {100, 200, 0},
                        {100, 200, GLOOM_HOST_HOOKS ? DDCKEY_COLORSPACE : 0}};
  uint32_t seed = 0;
  for (const Words& key : keys)
    for (int width : {1, 2, 3, 7, 8, 9, 15, 16, 17, 40})
      for (DWORD flags : {DWORD{DDBLT_KEYSRC}, DWORD{DDBLT_WAIT}}) {
        std::mt19937 random(++seed);
        const DWORD low = key[0], high = key[1], top = key[2] ? high : low;
        const int height = 1 + static_cast<int>(random() % 3), sx = static_cast<int>(random() % 4);
        const int dx = static_cast<int>(random() % 5), dy = static_cast<int>(random() % 3);
        const DWORD probes[] = {low - 1, low, low + 1, high - 1, high, high + 1, static_cast<DWORD>(random())};
        Pixels from((width + 3) * height);
        for (uint16_t& pixel : from) pixel = static_cast<uint16_t>(probes[random() % 7]);
        LPDIRECTDRAWSURFACE source = Make(width + 3, height, from), destination = Make(width + 5, height + 2, seed);
        Pixels expected = Read(destination);
        SetKey(source, low, high, key[2]);
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
}

TEST_F(DirectDrawTest, FillWritesTheLowSixteenBitsInsideItsRectangle) {
  LPDIRECTDRAWSURFACE surface = Make(4, 4, Pixels(16, 9));
  RECT rect{1, 1, 4, 3};
  ASSERT_EQ(Paint(surface, 0xABCDF800, &rect), DD_OK);
  EXPECT_EQ(Read(surface), (Pixels{9, 9, 9, 9, 9, 0xF800, 0xF800, 0xF800, 9, 0xF800, 0xF800, 0xF800, 9, 9, 9, 9}));
}

// A locked surface, or one with a DC out, is busy for blits; a second lock or DC is refused.
TEST_F(DirectDrawTest, LockAndDeviceContextExcludeOtherUse) {
  LPDIRECTDRAWSURFACE surface = Make(16, 8), other = Make(16, 8);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  HDC dc = nullptr, second = nullptr;
  auto copy = [&] { return surface->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr); };
  EXPECT_EQ((std::vector<HRESULT>{surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr),
                                  surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), copy(), surface->Unlock(nullptr),
                                  surface->GetDC(&dc), surface->GetDC(&second), copy(), surface->ReleaseDC(dc),
                                  surface->ReleaseDC(dc), copy()}),
            (std::vector<HRESULT>{DD_OK, DDERR_SURFACEBUSY, DDERR_SURFACEBUSY, DD_OK, DD_OK, DDERR_DCALREADYCREATED,
                                  DDERR_SURFACEBUSY, DD_OK, DDERR_NODC, DD_OK}));
}

TEST_F(DirectDrawTest, SurfaceKeepsItsClipperAlive) {
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(Make(4, 4)->SetClipper(clipper), DD_OK);
  EXPECT_EQ(clipper->Release(), 1u);
}

// Without a cooperative level Windows makes no surface at all; the host still makes off-screen ones, which
// the graphics code's tests use without setting up a display. Display modes are checked on the host only: in
// normal mode it wants exclusive mode first, and Wine cannot change an Xvfb screen's mode (docs/behaviour.md).
TEST_F(DirectDrawTest, FullScreenNeedsConsistentLevelsAndExclusiveMode) {
  LPDIRECTDRAW fresh = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &fresh, nullptr), DD_OK);
  std::swap(fresh, directDraw);
  Create(DDSCAPS_PRIMARYSURFACE, 0, 0, 0, DDERR_NOCOOPERATIVELEVELSET);
  if (LPDIRECTDRAWSURFACE early = Create(DDSCAPS_OFFSCREENPLAIN, 0, 8, 8, GLOOM_HOST_HOOKS ? DD_OK : DDERR_NOCOOPERATIVELEVELSET))
    kept.pop_back(), early->Release();
  std::swap(fresh, directDraw);
  fresh->Release();
  MakeWindow(0, 0, 1024, 768);
  EXPECT_EQ((std::vector<HRESULT>{directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE),
                                  directDraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                                  directDraw->SetCooperativeLevel(window, DDSCL_NORMAL)}),
            (std::vector<HRESULT>{DDERR_INVALIDPARAMS, DDERR_INVALIDPARAMS, DD_OK}));
  if (GLOOM_HOST_HOOKS) {
    EXPECT_EQ(directDraw->SetDisplayMode(800, 600, 16), DDERR_NOEXCLUSIVEMODE);
  }
  Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1, 0, 0, DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  if (GLOOM_HOST_HOOKS) {
    EXPECT_EQ(directDraw->SetDisplayMode(800, 600, 32), DDERR_INVALIDMODE);
  }
  Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP, 1, 0, 0, DDERR_INVALIDCAPS);  // a chain is COMPLEX
}

TEST_F(DirectDrawTest, FlipSwapsThePicturesBehindFrontAndBack) {
  ASSERT_EQ(directDraw->SetCooperativeLevel(MakeWindow(0, 0, 1024, 768), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  if (GLOOM_HOST_HOOKS) {
    ASSERT_EQ(directDraw->SetDisplayMode(800, 600, 16), DD_OK);  // under Wine, the desktop's mode
  }
  LPDIRECTDRAWSURFACE front = Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1), back = nullptr;
  ASSERT_NE(front, nullptr);
  DDSCAPS wanted{DDSCAPS_BACKBUFFER};
  ASSERT_EQ(front->GetAttachedSurface(&wanted, &back), DD_OK);
  kept.push_back(back);
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  // Frames 1, 2 and red drawn on "the back surface": red is on screen, the back surface holds 2, 1 went behind.
  for (DWORD frame : {1u, 2u, 0xF800u}) {
    ASSERT_EQ(Paint(back, frame), DD_OK);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  }
  EXPECT_EQ(std::make_pair(Read(front).back(), Read(back)[0]), std::make_pair(uint16_t{0xF800}, uint16_t{2}));
}

TEST_F(DirectDrawTest, WindowedPrimaryIsTheDesktopClippedToTheWindow) {
  MakeWindow(100, 50, 300, 200);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  LPDIRECTDRAWSURFACE primary = Create(DDSCAPS_PRIMARYSURFACE, 0);
  ASSERT_NE(primary, nullptr);

  // Without a clipper nothing is clipped: past the desktop's edge is an error.
  LPDIRECTDRAWSURFACE tile = Make(40, 30, Pixels(40 * 30, 7));
  RECT pastEdge{width - 24, 0, width + 16, 30};
  EXPECT_EQ(primary->Blt(&pastEdge, tile, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  kept.push_back(clipper);
  ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);

  // A tile over the client area's top-left corner loses 20 x 10 pixels; its (20, 10) lands on the corner.
  RECT marker{20, 10, 21, 11}, overCorner{80, 40, 120, 70};
  Paint(tile, 9, &marker);
  ASSERT_EQ(primary->Blt(&overCorner, tile, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(primary)[50 * width + 100], 9);
  EXPECT_EQ(Count(Read(primary), width, 7, RECT{100, 50, 120, 70}), std::make_pair(20 * 20 - 1, 0));
  RECT inverted{140, 90, 100, 60};
  EXPECT_EQ(primary->Blt(&inverted, tile, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);

  // A fill of "the whole primary" covers only the client area.
  Paint(primary, 3);
  EXPECT_EQ(Count(Read(primary), width, 3, RECT{100, 50, 400, 250}), std::make_pair(300 * 200, 0));
}

}  // namespace
