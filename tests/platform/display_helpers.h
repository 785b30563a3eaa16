// Shared by the graphics library's tests that need a display: a host window,
// set-up and clean-up of the library around each test, and pixel access.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/zq.h"

namespace testzq {

// A visible window of the host: full-screen covers the whole screen, windowed
// is 800 x 600 at (100, 50). Its procedure only calls DefWindowProcA.
HWND OpenWindow(bool fullScreen);

// A clean host before each test; the library's devices and display released
// after it, so no test sees another's surfaces.
class LibraryTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a window and sets up the display on it: full-screen 800 x 600 at 16
  // bits, or windowed at the window's client size.
  bool StartDisplay(bool fullScreen);

  HWND window_ = nullptr;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
};

LPDIRECTDRAWSURFACE BackSurface();
LPDIRECTDRAWSURFACE PrimarySurface();

// The 16-bit pixel at (x, y), read through a lock (so honouring the pitch).
uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y);
// Every pixel, row by row, read through one lock.
std::vector<uint16_t> AllPixels(LPDIRECTDRAWSURFACE surface);
void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel);
bool Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel);
bool SurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height);

}  // namespace testzq
