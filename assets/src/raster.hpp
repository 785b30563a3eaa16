#pragma once
// Pictures as the game loads them: 8-bit colour per pixel plus a transparency
// flag. Transparent pixels are written as pure blue, the game's colour key.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gg {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

class Image {
 public:
  Image() = default;
  Image(int width, int height, Rgb fill = {}, bool transparent = false);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& at(int x, int y) { return pixels_[index(x, y)]; }
  const Rgb& at(int x, int y) const { return pixels_[index(x, y)]; }
  bool transparent(int x, int y) const { return keyed_[index(x, y)] != 0; }
  void setTransparent(int x, int y, bool on) { keyed_[index(x, y)] = on ? 1 : 0; }

  // Copies every pixel of src, transparent ones included, clipped to this image.
  void paste(const Image& src, int dx, int dy);
  // Copies only the opaque pixels of src, as a keyed blit does on screen.
  void overlay(const Image& src, int dx, int dy);
  Image crop(int x, int y, int w, int h) const;

 private:
  size_t index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_ = 0, height_ = 0;
  std::vector<Rgb> pixels_;
  std::vector<uint8_t> keyed_;
};

// Converts a cairo ARGB32 surface. With keyed set, pixels less than half
// covered become transparent and the rest keep their own colour
// (un-premultiplied), so shapes meet the key with hard edges and no blend
// towards blue. Without it, the surface is composited over black.
Image imageFromSurface(cairo_surface_t* surface, bool keyed);
// A cairo surface holding the image; transparent pixels become `keyColour`.
cairo_surface_t* surfaceFromImage(const Image& image, Rgb keyColour = {0, 0, 255});

// An ARGB surface that is see-through where the image is transparent, for
// drawing keyed pictures into other pictures.
cairo_surface_t* surfaceWithAlpha(const Image& image);

// Ordered 8x8 dither to the display's 5-6-5 colours, so gradients do not
// band; the result is stored expanded back to 8 bits so that the game's
// truncation gives exactly the dithered value. Opaque pixels that would turn
// into the key value are moved off it.
void ditherTo565(Image& image);
uint16_t to565(Rgb c);
inline constexpr uint16_t kKey565 = 31;

void writeBmp(const Image& image, const std::string& path);
void writePng(const Image& image, const std::string& path);

}  // namespace gg
