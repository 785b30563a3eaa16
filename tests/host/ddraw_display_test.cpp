// The display through DirectDraw: cooperative levels, display modes, the full-screen flipping chain and the
// windowed primary clipped to the window. (A machine without DirectX, or without DirectX 7, is tried by the
// start-up tests of the whole game.)
// What reached the emulated screen is read back from the host's screenshot.
#include <windows.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/ddraw_fixture.h"

namespace {

// How many pixels of a 1024-wide desktop equal `value` inside and outside a rectangle.
std::pair<int, int> Count(const Pixels& desktop, uint16_t value, const RECT& rect) {
  std::pair<int, int> count;
  for (int i = 0, x = 0, y = 0; i < static_cast<int>(desktop.size()); ++i, x = i % 1024, y = i / 1024)
    if (desktop[i] == value)
      ++(x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom ? count.first : count.second);
  return count;
}

// The emulated screen's size and the 0xRRGGBB values at the given points, from the host's own screenshot: its
// header chunk, then one chunk of compressed RGB rows, each behind a filter byte.
std::vector<uint32_t> ShownOnScreen(const std::vector<std::pair<int, int>>& points) {
  const std::string path = ::testing::TempDir() + "ddraw_display_test.png";
  if (!host::SaveScreenshot(path.c_str())) return {};
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> png{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  auto word = [&png](size_t at) {
    return uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
  };
  if (png.size() < 41 || png.size() < 41 + word(33)) return {};
  const uint32_t width = word(16), height = word(20);
  std::vector<uint8_t> rows((width * 3 + 1) * height);
  uLongf size = rows.size();
  if (uncompress(rows.data(), &size, &png[41], word(33)) != Z_OK) return {};
  std::vector<uint32_t> shown{width, height};
  for (const auto& [x, y] : points) {
    const uint8_t* p = &rows[y * (width * 3 + 1) + 1 + x * 3];
    shown.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  return shown;
}

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class DisplayTest : public DirectDrawTest {
 protected:
  // Host windows have no frame: the client area starts at (x, y).
  HWND MakeWindow(int x, int y, int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DirectDrawTest";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "DirectDrawTest", "test", 0, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
  }

  LPDIRECTDRAWSURFACE Create(DWORD caps, DWORD backBuffers, int width = 0, int height = 0, HRESULT expected = DD_OK) {
    DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
    desc.dwFlags = DDSD_CAPS | (backBuffers ? DDSD_BACKBUFFERCOUNT : 0) | (width ? DDSD_WIDTH | DDSD_HEIGHT : 0);
    desc.ddsCaps.dwCaps = caps;
    desc.dwBackBufferCount = backBuffers;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    LPDIRECTDRAWSURFACE surface = nullptr;
    EXPECT_EQ(directDraw->CreateSurface(&desc, &surface, nullptr), expected);
    return Keep(surface);
  }

  // A whole surface (or a rectangle of it) filled with a raw pixel.
  static void Paint(LPDIRECTDRAWSURFACE surface, DWORD pixel, RECT* rect = nullptr) {
    DDBLTFX fx = Fill(pixel);
    ASSERT_EQ(surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  }
  LPDIRECTDRAWSURFACE Filled(int width, int height, uint16_t pixel) {
    LPDIRECTDRAWSURFACE surface = Create(DDSCAPS_OFFSCREENPLAIN, 0, width, height);
    Paint(surface, pixel);
    return surface;
  }
};

TEST_F(DisplayTest, FullScreenNeedsConsistentLevelsAndExclusiveMode) {
  HWND window = MakeWindow(0, 0, 1024, 768);
  Create(DDSCAPS_PRIMARYSURFACE, 0, 0, 0, DDERR_NOCOOPERATIVELEVELSET);
  EXPECT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
  ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(directDraw->SetDisplayMode(800, 600, 16), DDERR_NOEXCLUSIVEMODE);
  Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1, 0, 0, DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(directDraw->SetDisplayMode(800, 600, 32), DDERR_INVALIDMODE);
  Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP, 1, 0, 0, DDERR_INVALIDCAPS);  // a chain is COMPLEX
}

TEST_F(DisplayTest, FlipSwapsThePicturesBehindFrontAndBack) {
  ASSERT_EQ(directDraw->SetCooperativeLevel(MakeWindow(0, 0, 1024, 768), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(directDraw->SetDisplayMode(800, 600, 16), DD_OK);
  LPDIRECTDRAWSURFACE front = Create(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1);
  ASSERT_NE(front, nullptr);
  Create(DDSCAPS_PRIMARYSURFACE, 0, 0, 0, DDERR_PRIMARYSURFACEALREADYEXISTS);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(front->GetSurfaceDesc(&desc), DD_OK);
  const DWORD frontCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP;
  EXPECT_EQ((std::vector<DWORD>{desc.dwWidth, desc.dwHeight, desc.dwBackBufferCount, desc.ddsCaps.dwCaps & frontCaps}),
            (std::vector<DWORD>{800, 600, 1, frontCaps}));

  DDSCAPS wanted{DDSCAPS_OFFSCREENPLAIN};
  LPDIRECTDRAWSURFACE back = nullptr;
  EXPECT_EQ(front->GetAttachedSurface(&wanted, &back), DDERR_NOTFOUND);
  wanted.dwCaps = DDSCAPS_BACKBUFFER;
  ASSERT_EQ(front->GetAttachedSurface(&wanted, &back), DD_OK);
  Keep(back);
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);

  // Frames 1, 2 and red drawn on "the back surface": red is on screen, the back surface holds 2, 1 went behind.
  for (DWORD frame : {1u, 2u, 0xF800u}) {
    Paint(back, frame);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  }
  EXPECT_EQ(std::make_pair(Read(front).back(), Read(back)[0]), std::make_pair(uint16_t{0xF800}, uint16_t{2}));
  EXPECT_EQ(ShownOnScreen({{0, 0}, {799, 599}}), (std::vector<uint32_t>{800, 600, kRed, kRed}));
}

TEST_F(DisplayTest, WindowedPrimaryIsTheDesktopClippedToTheWindow) {
  HWND window = MakeWindow(100, 50, 300, 200);
  ASSERT_EQ(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  LPDIRECTDRAWSURFACE primary = Create(DDSCAPS_PRIMARYSURFACE, 0);
  ASSERT_NE(primary, nullptr);
  DDSURFACEDESC desc = Zeroed<DDSURFACEDESC>();
  ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(std::make_pair(desc.dwWidth, desc.dwHeight), std::make_pair(DWORD{1024}, DWORD{768}));

  // Without a clipper nothing is clipped: past the desktop's edge is an error.
  LPDIRECTDRAWSURFACE tile = Filled(40, 30, 7);
  RECT pastEdge{1000, 0, 1040, 30}, inside{120, 60, 160, 90};
  EXPECT_EQ(primary->Blt(&pastEdge, tile, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  LPDIRECTDRAWCLIPPER clipper = nullptr;
  ASSERT_EQ(directDraw->CreateClipper(0, &clipper, nullptr), DD_OK);
  Keep(clipper);
  ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
  EXPECT_EQ(primary->Blt(&inside, tile, nullptr, DDBLT_WAIT, nullptr), DDERR_NOCLIPLIST) << "clipper without window";
  ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);

  // A picture at the window's position fills exactly the client area.
  const RECT client{100, 50, 400, 250};
  RECT target = client;
  ASSERT_EQ(primary->Blt(&target, Filled(300, 200, 5), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Count(Read(primary), 5, client), std::make_pair(300 * 200, 0));

  // A tile over the client area's top-left corner loses 20 x 10 pixels; its (20, 10) lands on the corner.
  RECT marker{20, 10, 21, 11}, overCorner{80, 40, 120, 70};
  Paint(tile, 9, &marker);
  ASSERT_EQ(primary->Blt(&overCorner, tile, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Read(primary)[50 * 1024 + 100], 9);
  EXPECT_EQ(Count(Read(primary), 7, RECT{100, 50, 120, 70}), std::make_pair(20 * 20 - 1, 0));

  // Wholly outside the window: nothing drawn, and no error. Inverted: an error.
  RECT elsewhere{0, 0, 40, 30}, inverted{140, 90, 100, 60};
  EXPECT_EQ(primary->Blt(&elsewhere, tile, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Count(Read(primary), 7, elsewhere).first, 0);
  EXPECT_EQ(primary->Blt(&inverted, tile, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);

  // The window shows its client part of the desktop, from its own corner.
  RECT leftHalf{100, 50, 250, 250}, rightHalf{250, 50, 400, 250};
  Paint(primary, 0x001F, &leftHalf);
  Paint(primary, 0x07E0, &rightHalf);
  EXPECT_EQ(ShownOnScreen({{0, 0}, {149, 199}, {150, 0}, {299, 199}}),
            (std::vector<uint32_t>{300, 200, kBlue, kBlue, kGreen, kGreen}));

  // A fill of "the whole primary" covers only the client area.
  Paint(primary, 3);
  EXPECT_EQ(Count(Read(primary), 3, client), std::make_pair(300 * 200, 0));
}

}  // namespace
