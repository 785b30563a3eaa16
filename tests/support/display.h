// The graphics library's display brought up headless on a host window, for
// tests of code that draws: off-screen surfaces of a chosen 16-bit layout, and
// raw pixel access through Lock that never goes through the code under test.
//
// Two ways to hold a display: DisplayTest gives every test a clean host and its
// own display; SharedDisplayTest brings one up at the first test and keeps it
// for the whole program, for code that only draws on surfaces it is handed.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Display pixels (5-6-5). kSurfaceKey is the source colour key of every surface
// DisplayTest::MakeSurface and CreateKeyedSurface give; tests never paint it.
constexpr uint16_t kBlack = 0x0000;
constexpr uint16_t kRed = 0xF800;
constexpr uint16_t kGreen = 0x07E0;
constexpr uint16_t kBlue = 0x001F;
constexpr uint16_t kGrey = 0x8410;
constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kYellow = 0xFFE0;
constexpr uint16_t kSurfaceKey = 0xF81F;

enum class Layout { Rgb565, Rgb555 };

// A visible host window whose procedure only calls DefWindowProcA: full-screen
// covers the whole screen, windowed is 800 x 600 at (100, 50).
HWND OpenTestWindow(bool fullScreen);

// The library's surfaces as it reports them now (null once it is released).
LPDIRECTDRAWSURFACE BackSurface();
LPDIRECTDRAWSURFACE PrimarySurface();

// A clean host with manual time and a reset game clock around each test; the
// global composer loses its surfaces and one-shot requests before and after, and
// the library's devices and display are released after, so no test sees
// another's surfaces.
class DisplayTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a window and brings the graphics library up on it: full-screen
  // 800 x 600 at 16 bits, or windowed at the window's client size. Sets the
  // global primarySurface and backSurface.
  bool StartDisplay(bool fullScreen);
  // Starts the game clock; time then moves only through Tick.
  void StartClock();
  void Tick(int periods = 1);

  // A width x height surface of the display's format, filled, keyed on
  // kSurfaceKey; released after the test.
  LPDIRECTDRAWSURFACE MakeSurface(int width, int height, uint16_t fill);

  HWND window_ = nullptr;
  int clientWidth_ = 0;
  int clientHeight_ = 0;

 private:
  std::vector<LPDIRECTDRAWSURFACE> made_;
};

// One windowed display for the whole program, brought up headless at the first
// call; every call points the global backSurface at it again. False when there
// is none.
bool SharedDisplay();

// Asserts the shared display is up before each test.
class SharedDisplayTest : public testing::Test {
 protected:
  void SetUp() override;
};

// A width x height off-screen surface made straight through DirectDraw, 16 bits
// in the given layout, every pixel `fill`, without a colour key: the caller owns
// it. Null when there is no display.
LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill = 0, Layout layout = Layout::Rgb565);
// The same in the display's layout, keyed on kSurfaceKey (a sprite's frame, say).
LPDIRECTDRAWSURFACE CreateKeyedSurface(int width, int height, uint16_t fill);

// Every pixel telling where it is, for surfaces up to 256 x 128: never black,
// pure blue, white or kSurfaceKey.
inline uint16_t CoordinatePixel(int x, int y) { return static_cast<uint16_t>(0x4000 + ((y << 8) | x)); }
void PaintCoordinates(LPDIRECTDRAWSURFACE surface);

// One pixel through a lock, honouring the pitch; a failure of the test when it
// cannot be read or written.
uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y);
void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel);
// Every pixel, row by row, read through one lock; empty when it cannot be read.
std::vector<uint16_t> AllPixels(LPDIRECTDRAWSURFACE surface);
// Paints a rectangle with a raw pixel (clipped to the surface).
void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);
// The whole surface through DirectDraw's colour fill.
bool Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel);
// Empty when every pixel of the rectangle is `pixel`; otherwise the first one
// that is not, with its value.
std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);
// -1 when the surface cannot be read.
int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel);
bool SurfaceSize(LPDIRECTDRAWSURFACE surface, int* width, int* height);

}  // namespace testing_support
