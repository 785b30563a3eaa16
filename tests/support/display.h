// The graphics library's display brought up headless on a host window, for tests of code that draws, and raw pixel
// access through Lock that never goes through the code under test. DisplayTest gives every test a clean host and its
// own display; SharedDisplayTest keeps one display for the whole program, for code that only draws on surfaces it is
// handed.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Display pixels (5-6-5). kSurfaceKey is the colour key of keyed test surfaces.
constexpr uint16_t kBlack = 0x0000, kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kGrey = 0x8410;
constexpr uint16_t kWhite = 0xFFFF, kYellow = 0xFFE0, kSurfaceKey = 0xF81F;

enum class Layout { Rgb565, Rgb555 };

// A visible window whose procedure only calls DefWindowProcA: full-screen, or windowed 800 x 600 at (100, 50).
HWND OpenTestWindow(bool fullScreen);

// The library's surfaces as it reports them now (null once released).
LPDIRECTDRAWSURFACE BackSurface();
LPDIRECTDRAWSURFACE PrimarySurface();

// A clean host with manual time and a reset game clock around each test; the global composer forgets its surfaces and
// requests, and the library's devices, display and the surfaces made here are released after the test.
class DisplayTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Full-screen 800 x 600 x 16, or windowed at the window's client size; sets the globals primarySurface and
  // backSurface.
  bool StartDisplay(bool fullScreen);
  // Starts the game clock polling the global mouse cursor; in manual time it moves only through Tick (10 ms each).
  void StartClock();
  void Tick(int periods = 1);
  // A keyed surface of the display's format, released after the test.
  LPDIRECTDRAWSURFACE MakeSurface(int width, int height, uint16_t fill);

  HWND window_ = nullptr;
  int clientWidth_ = 0;
  int clientHeight_ = 0;

 private:
  std::vector<LPDIRECTDRAWSURFACE> made_;
};

// One windowed display for the whole program, brought up at the first call; every call points the global backSurface
// at it again. False when there is none.
bool SharedDisplay();
class SharedDisplayTest : public testing::Test {
 protected:
  void SetUp() override;
};

// An off-screen 16-bit surface made straight through DirectDraw, every pixel `fill`, without a colour key; the caller
// owns it. Null without a display.
LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill = 0, Layout layout = Layout::Rgb565);
// The same in the display's layout, keyed on kSurfaceKey.
LPDIRECTDRAWSURFACE CreateKeyedSurface(int width, int height, uint16_t fill);

// Every pixel telling where it is, for surfaces up to 256 x 128: never black, pure blue, white or kSurfaceKey.
inline uint16_t CoordinatePixel(int x, int y) { return static_cast<uint16_t>(0x4000 + ((y << 8) | x)); }
void PaintCoordinates(LPDIRECTDRAWSURFACE surface);

// Pixels through a lock, honouring the pitch; a test failure when they cannot be reached. AllPixels is row by row,
// empty when the surface cannot be read.
uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y);
void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel);
std::vector<uint16_t> AllPixels(LPDIRECTDRAWSURFACE surface);
void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);  // clipped
bool Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel);  // the whole surface, through DirectDraw's colour fill
// Empty when every pixel of the rectangle is `pixel`, else the first that is not.
std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);
int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel);  // -1 when unreadable
bool SurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height);

}  // namespace testing_support
