// Shared by the button and control panel tests: the graphics library's display
// brought up headless once per program, solid pictures, raw pixel access, and
// 24-bit BMP files in a scratch folder.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <functional>
#include <string>

namespace button_test {

// Windowed 800 x 600 display; backSurface becomes its back surface.
bool BringUpDisplay();

// A width x height surface of the display's format filled with pixel.
LPDIRECTDRAWSURFACE SolidSurface(int width, int height, uint16_t pixel);
void Fill(LPDIRECTDRAWSURFACE surface, uint16_t pixel);
uint16_t PixelAt(LPDIRECTDRAWSURFACE surface, int x, int y);
void SetPixel(LPDIRECTDRAWSURFACE surface, int x, int y, uint16_t pixel);

struct Rgb {
  uint8_t r, g, b;
};

// A fresh folder under /tmp, removed with its files.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// An uncompressed bottom-up 24-bit BMP whose pixel (x, y) is colourAt(x, y).
bool WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colourAt);

}  // namespace button_test
