#pragma once
// Cairo drawing surface, the game's fonts, palette and the small drawing
// helpers shared by the scenes and the interface pictures.
#include <cairo.h>

#include <string>

#include "raster.hpp"

namespace gg {

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // keyed: transparent where nothing was drawn; otherwise composited on black.
  Image toImage(bool keyed) const;
  // Dithered and ready to be written.
  Image finish(bool keyed) const;

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

enum class Font { Title, Serif, SerifBold, SerifItalic, Digits };

// Loads the font files once; exits with a message naming the missing file
// and its Debian package when one cannot be opened.
void useFont(cairo_t* cr, Font font, double size);
void requireFonts();

enum class Align { Left, Centre, Right };
// Adds the text's outline to the current path; y is the baseline.
void textPath(cairo_t* cr, Font font, double size, const std::string& text, double x, double y,
              Align align = Align::Centre);
double textWidth(cairo_t* cr, Font font, double size, const std::string& text);

struct Colour {
  double r, g, b, a = 1.0;
};
void setColour(cairo_t* cr, Colour c);
Colour mix(Colour a, Colour b, double t);
Colour shade(Colour c, double factor);
inline Colour rgb(int r, int g, int b, double a = 1.0) { return {r / 255.0, g / 255.0, b / 255.0, a}; }

namespace palette {
inline const Colour kNight = rgb(16, 12, 24);        // plain tile 1: darkness
inline const Colour kSky = rgb(80, 92, 144);         // plain tile 2: moonlit sky
inline const Colour kInk = rgb(8, 6, 14);            // silhouettes
inline const Colour kCandle = rgb(255, 176, 64);
inline const Colour kCandleDeep = rgb(214, 92, 24);
inline const Colour kEmber = rgb(150, 40, 24);
inline const Colour kMoon = rgb(236, 232, 208);
inline const Colour kGhost = rgb(224, 236, 255);
inline const Colour kSlime = rgb(120, 230, 90);
inline const Colour kPurple = rgb(70, 40, 100);
inline const Colour kWood = rgb(74, 46, 34);
inline const Colour kGold = rgb(224, 168, 84);
}  // namespace palette

// Lettering: dark outline, then a vertical gradient fill between two colours.
struct LetterStyle {
  Colour top, bottom, outline;
  double outlineWidth = 3.0;
  Colour glow = {0, 0, 0, 0};
  double glowRadius = 0.0;
};
void drawLettering(cairo_t* cr, Font font, double size, const std::string& text, double x,
                   double baseline, Align align, const LetterStyle& style);

// Soft radial glow (additive-looking) of the given colour.
void glow(cairo_t* cr, double x, double y, double radius, Colour c);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void fillVertical(cairo_t* cr, double x, double y, double w, double h, Colour top, Colour bottom);
// Simple seeded generator so that every run draws the same "random" details.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  double uniform() { return (next() >> 8) / 16777216.0; }
  double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

 private:
  uint32_t state_;
};

}  // namespace gg
