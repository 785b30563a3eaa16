// What the graphics utility tests share: a windowed display brought up once per
// test program (headless), surfaces of a chosen 16-bit layout, raw pixel access
// that does not go through the code under test, and a scratch directory.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <string>

namespace gfx_test {

enum class Layout { Rgb565, Rgb555 };

// The display's DirectDraw object (ZQGetLPDD() from then on); null if the
// display could not be brought up.
LPDIRECTDRAW BringUpDisplay();

// A width x height off-screen surface of the given layout, made directly through
// DirectDraw, without a colour key.
LPDIRECTDRAWSURFACE MakeSurface(int width, int height, Layout layout = Layout::Rgb565);

// Raw 16-bit pixels through Lock, honouring the pitch.
uint16_t ReadPixel(LPDIRECTDRAWSURFACE surface, int x, int y);
void WritePixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t value);
// Every pixel gets a value telling where it is: (y << 8 | x) + 1, never 0.
void PaintCoordinates(LPDIRECTDRAWSURFACE surface);
inline uint16_t CoordinateValue(int x, int y) { return static_cast<uint16_t>(((y << 8) | x) + 1); }

// Makes a fresh directory the current one for the helper's lifetime.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

bool FileExists(const char* path);
std::string ReadFile(const char* path);

}  // namespace gfx_test
