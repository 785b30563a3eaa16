// The host's fast paths against the plain rule. The keyed copy at every vector
// width this processor runs, pixel by pixel: keyed source pixels leave the
// destination, the others land, nothing outside the rectangle is touched (row
// widths cover the remainders of 8, 16 and 32 pixel steps). And the screen,
// told when a flip shows the same picture again: it must still follow every
// picture that differs, however little, full-screen and windowed.
#include <ddraw.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host/control.h"
#include "host/src/blit_kernels.h"

namespace {

using host::blit::KeyRange;
using host::blit::VectorLevel;

constexpr int kHeight = 3;
constexpr int kGuard = 40;  // pixels either side of each destination row
constexpr uint16_t kGuardPixel = 0xDEAD;

TEST(KeyedCopy, EveryVectorWidthFollowsTheKeyAndStaysInsideItsRows) {
  const struct { const char* what; KeyRange key; } keys[] = {
      {"one colour", {0x001F, 0x001F}},
      {"a range", {0x0010, 0x0030}},
      {"low above high keys nothing", {0x0030, 0x0010}},
      {"the whole range keys everything", {0x0000, 0xFFFF}},
  };
  const int widths[] = {1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 86, 100};
  std::mt19937 random(7);
  for (int level = 0; level <= static_cast<int>(host::blit::BestVectorLevel()); ++level) {
    host::blit::UseVectorLevel(static_cast<VectorLevel>(level));
    for (const auto& [what, key] : keys) {
      for (int width : widths) {
        const int pitch = width + 2 * kGuard;
        std::vector<uint16_t> source(static_cast<size_t>(width * kHeight));
        std::vector<uint16_t> screen(static_cast<size_t>(pitch * kHeight), kGuardPixel);
        for (uint16_t& pixel : source) pixel = static_cast<uint16_t>(random() % 3 ? 0x0008 + random() % 0x30 : random());
        for (int y = 0; y < kHeight; ++y)
          for (int x = 0; x < width; ++x) screen[static_cast<size_t>(y * pitch + kGuard + x)] = static_cast<uint16_t>(random());
        std::vector<uint16_t> expected = screen;
        for (int y = 0; y < kHeight; ++y)
          for (int x = 0; x < width; ++x) {
            const uint16_t pixel = source[static_cast<size_t>(y * width + x)];
            if (pixel < key.low || pixel > key.high) expected[static_cast<size_t>(y * pitch + kGuard + x)] = pixel;
          }
        host::blit::CopyKeyed({source.data(), width * 2}, {screen.data() + kGuard, pitch * 2}, width, kHeight, key);
        for (size_t i = 0; i < screen.size(); ++i)
          ASSERT_EQ(screen[i], expected[i]) << "level " << level << ", " << what << ", width " << width
                                            << ": row " << i / pitch << " column " << int(i % pitch) - kGuard;
      }
    }
  }
  host::blit::UseVectorLevel(host::blit::BestVectorLevel());
}

// The picture on screen, as the screenshot PNG's bytes.
std::string Screen() {
  const std::string path = testing::TempDir() + "/fast_paths_screen.png";
  if (!host::SaveScreenshot(path.c_str())) return "";
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(Presentation, TheScreenFollowsEveryPictureThatDiffers) {
  for (bool fullScreen : {true, false}) {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "FastPathsTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "FastPathsTest", "test", 0, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    LPDIRECTDRAW directDraw = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
    ASSERT_EQ(directDraw->SetCooperativeLevel(window, fullScreen ? DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN : DDSCL_NORMAL),
              DD_OK);
    if (fullScreen) {
      ASSERT_EQ(directDraw->SetDisplayMode(800, 600, 16), DD_OK);
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | (fullScreen ? DDSD_BACKBUFFERCOUNT : DDSD_WIDTH | DDSD_HEIGHT);
    desc.ddsCaps.dwCaps = fullScreen ? DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX : DDSCAPS_OFFSCREENPLAIN;
    desc.dwBackBufferCount = 1, desc.dwWidth = 800, desc.dwHeight = 600;
    LPDIRECTDRAWSURFACE front = nullptr, back = nullptr;
    if (fullScreen) {
      ASSERT_EQ(directDraw->CreateSurface(&desc, &front, nullptr), DD_OK);
      DDSCAPS wanted{DDSCAPS_BACKBUFFER};
      ASSERT_EQ(front->GetAttachedSurface(&wanted, &back), DD_OK);
    } else {
      ASSERT_EQ(directDraw->CreateSurface(&desc, &back, nullptr), DD_OK);
      DDSURFACEDESC primary{};
      primary.dwSize = sizeof primary, primary.dwFlags = DDSD_CAPS, primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
      ASSERT_EQ(directDraw->CreateSurface(&primary, &front, nullptr), DD_OK);
    }
    // Frames as a game draws them: a picture, the same again, one pixel row
    // changed at the bottom, the same again, the first picture again.
    const struct { DWORD colour; LONG bottomRowColour; bool sameAsBefore; } frames[] = {
        {0xF800, 0xF800, false}, {0xF800, 0xF800, true}, {0xF800, 0x07E0, false}, {0xF800, 0x07E0, true},
        {0xF800, 0xF800, false}};
    std::string before;
    RECT wholeWindow{0, 0, 800, 600};
    for (const auto& frame : frames) {
      DDBLTFX fill{};
      fill.dwSize = sizeof fill;
      fill.dwFillColor = frame.colour;
      ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
      fill.dwFillColor = static_cast<DWORD>(frame.bottomRowColour);
      RECT bottomRow{0, 599, 800, 600};
      ASSERT_EQ(back->Blt(&bottomRow, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
      if (fullScreen)
        ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
      else
        ASSERT_EQ(front->Blt(&wholeWindow, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);  // the window at (0, 0)
      const std::string shown = Screen();
      ASSERT_FALSE(shown.empty());
      EXPECT_EQ(shown == before, frame.sameAsBefore)
          << (fullScreen ? "full-screen" : "windowed") << ", frame " << &frame - frames;
      before = shown;
    }
    back->Release();
    front->Release();
    directDraw->Release();
  }
  host::ResetForTest();
}

}  // namespace
