// Shared by the scene composer, sprite and sprite list tests: the graphics
// library brought up headless (full-screen or windowed) on a host window, the
// game clock on hand-stepped time, test surfaces with raw pixel access, BMP
// files written byte by byte into a scratch folder, and the composer's pending
// requests as text.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class SceneComposer;

namespace composer_test {

// Display pixels (5-6-5). kSurfaceKey is the source colour key of every surface
// MakeSurface gives; tests never paint it.
constexpr uint16_t kBlack = 0x0000;
constexpr uint16_t kRed = 0xF800;
constexpr uint16_t kGreen = 0x07E0;
constexpr uint16_t kBlue = 0x001F;
constexpr uint16_t kGrey = 0x8410;
constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kYellow = 0xFFE0;
constexpr uint16_t kSurfaceKey = 0xF81F;

// A clean host, manual time and a reset game clock around each test; the global
// composer loses its surfaces and one-shot requests before and after.
class DisplayTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Brings the graphics library up on a new host window: full-screen 800 x 600
  // at 16 bits, or windowed 800 x 600. Sets the global backSurface.
  bool StartDisplay(bool fullScreen);
  // Starts the game clock; time then moves only through Tick.
  void StartClock();
  void Tick(int periods = 1);

  // A width x height surface of the display's format, filled, keyed on
  // kSurfaceKey; released after the test.
  LPDIRECTDRAWSURFACE MakeSurface(int width, int height, uint16_t fill);

  HWND window_ = nullptr;

 private:
  std::vector<LPDIRECTDRAWSURFACE> made_;
};

// The same surface for the caller to own (a sprite's frame, say).
LPDIRECTDRAWSURFACE CreateTestSurface(int width, int height, uint16_t fill);

// Every pixel telling where it is, for surfaces up to 256 x 32: never black,
// blue or either key.
inline uint16_t CoordinatePixel(int x, int y) { return static_cast<uint16_t>(0x4000 + ((y << 8) | x)); }
void PaintCoordinates(LPDIRECTDRAWSURFACE surface);

uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y);
// Paints a rectangle with a raw pixel (clipped to the surface).
void PaintRect(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);
// Empty when every pixel of the rectangle is `pixel`; otherwise the first one
// that is not, with its value.
std::string RegionMismatch(LPDIRECTDRAWSURFACE surface, int x, int y, int width, int height, uint16_t pixel);
int CountPixels(LPDIRECTDRAWSURFACE surface, uint16_t pixel);

// The composer's collecting list as "x,y wxh flags" entries (flags in hex),
// separated by "; ".
std::string PendingRequests(const SceneComposer& composer);

struct Rgb {
  uint8_t r, g, b;
};
constexpr Rgb kBmpRed = {255, 0, 0};
constexpr Rgb kBmpGreen = {0, 255, 0};
constexpr Rgb kBmpBlue = {0, 0, 255};
constexpr Rgb kBmpWhite = {255, 255, 255};
// The display pixel (5-6-5) a loaded bitmap gives for the colour.
inline uint16_t Pixel565(Rgb colour) {
  return static_cast<uint16_t>((colour.r >> 3) << 11 | (colour.g >> 2) << 5 | colour.b >> 3);
}

// A fresh folder under the temporary folder, removed with its files.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A bottom-up 24-bit BMP whose pixel (x, y) is colourAt(x, y).
bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int x, int y)>& colourAt);

}  // namespace composer_test
