#pragma once
// Drawing helpers shared by the level scenes.
#include <functional>
#include <vector>

#include "canvas.hpp"

namespace gg::kit {

struct Pt {
  double x, y;
};

inline constexpr double kPi = 3.141592653589793;

// Catmull-Rom curve through the points, sampled `steps` times per segment.
std::vector<Pt> smoothLine(const std::vector<Pt>& pts, int steps = 12);
// Closed smooth outline through the points.
void smoothClosed(cairo_t* cr, const std::vector<Pt>& pts);
void polygon(cairo_t* cr, const std::vector<Pt>& pts);
// Outline of a tube along a centre line whose half width varies with the
// position t (0 at the first point, 1 at the last).
void tubePath(cairo_t* cr, const std::vector<Pt>& centre, const std::function<double(double)>& halfWidth);

using Shape = std::function<void(cairo_t*)>;
// Fills a shape in `base` with a lit edge on the side the light comes from;
// (lightX, lightY) points towards the light and its length is the rim width.
void rimLit(cairo_t* cr, const Shape& shape, Colour base, Colour rim, double lightX, double lightY);
// Fills a shape with a linear gradient between two points.
void fillLinear(cairo_t* cr, const Shape& shape, Pt from, Colour a, Pt to, Colour b);
void fillRadial(cairo_t* cr, const Shape& shape, Pt centre, double radius, Colour inner, Colour outer);
// Glow that fades to nothing inside the given radius.
void halo(cairo_t* cr, Pt centre, double radius, Colour c);
void strokeLine(cairo_t* cr, const std::vector<Pt>& pts, double width, Colour c);
void disc(cairo_t* cr, Pt centre, double radius, Colour c);
void ellipse(cairo_t* cr, Pt centre, double rx, double ry, double angle = 0);

// Pieces that several scenes use.
void bat(cairo_t* cr, Pt centre, double span, double wingLift, Colour body, Colour rim);
void moon(cairo_t* cr, Pt centre, double radius, double haloRadius);
void flame(cairo_t* cr, Pt base, double height);
void candle(cairo_t* cr, Pt base, double width, double height);

}  // namespace gg::kit

namespace gg::kit {
// Runs fn with the origin at the top left of a board cell (0..24), clipped
// to that cell: how repeated tiles are drawn, so every copy is identical.
void inCell(cairo_t* cr, int cell, const std::function<void(cairo_t*)>& fn);
void grassTuft(cairo_t* cr, Pt base, double height, Colour c, uint32_t seed);
// Almond eye with a slit pupil, tilted by `tilt` radians.
void catEye(cairo_t* cr, Pt centre, double width, double height, double tilt, Colour iris);
}  // namespace gg::kit
