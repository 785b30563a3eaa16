// Levels 1 to 4: eyes in the dark, the spider, the serpent, the bat over the fence.
#include <cmath>

#include "levels.hpp"
#include "scene_kit.hpp"

namespace gg {
using namespace kit;
using namespace palette;


void paintEyes(cairo_t* cr) {
  const Colour iris = rgb(200, 230, 40);
  for (int side : {-1, 1}) {
    const Pt c = {200 + side * 80.0, 121};
    halo(cr, c, 38, rgb(150, 200, 40, 0.35));
    catEye(cr, c, 50, 24, side * 0.22, iris);
  }
}

void paintSpider(cairo_t* cr) {
  const double x = 200;
  strokeLine(cr, {{x, 0}, {x, 262}}, 1.4, rgb(214, 222, 240));
  cairo_save(cr);
  cairo_translate(cr, x, 276);
  // Eight jointed legs, four a side, drawn first so the body covers their roots.
  const double legs[4][4] = {{-20, -14, -34, -32}, {-24, -2, -36, -12}, {-24, 8, -35, 18}, {-18, 16, -28, 34}};
  for (int side : {-1, 1}) {
    for (const auto& l : legs) {
      const Pt root = {side * 4.0, l[1] * 0.3};
      const Pt knee = {-side * l[0], l[1] - 10};
      const Pt tip = {-side * l[2], l[3]};
      strokeLine(cr, {root, knee, tip}, 2.6, kInk);
      strokeLine(cr, {{knee.x, knee.y - 0.8}, {tip.x, tip.y - 0.8}}, 0.9, rgb(110, 100, 150));
    }
  }
  auto bodyShape = [](cairo_t* g) {
    ellipse(g, {0, -4}, 12, 14);
    ellipse(g, {0, 14}, 8, 8);
  };
  rimLit(cr, bodyShape, kInk, rgb(140, 130, 190), 1.8, -1.8);
  // Hourglass mark and eyes.
  setColour(cr, rgb(210, 30, 30));
  polygon(cr, {{-4, -10}, {4, -10}, {0, -4}});
  cairo_fill(cr);
  polygon(cr, {{-4, 2}, {4, 2}, {0, -4}});
  cairo_fill(cr);
  disc(cr, {-3, 19}, 1.4, rgb(255, 80, 60));
  disc(cr, {3, 19}, 1.4, rgb(255, 80, 60));
  cairo_restore(cr);
}

void paintSerpent(cairo_t* cr) {
  const std::vector<Pt> spine = smoothLine({{98, 128}, {128, 114}, {166, 130}, {206, 112}, {246, 126}, {284, 122},
                                            {300, 150}, {286, 180}, {298, 214}, {288, 248}, {266, 280},
                                            {232, 290}, {196, 276}, {160, 292}, {128, 282}},
                                           16);
  auto width = [](double t) { return 1.5 + 12.5 * std::pow(t, 0.6); };
  auto body = [&](cairo_t* g) { tubePath(g, spine, width); };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  rimLit(cr, body, rgb(24, 70, 40), rgb(150, 240, 120), 1.5, -2.5);
  // Rounded belly shading and the diamond pattern along the back.
  cairo_save(cr);
  cairo_new_path(cr);
  body(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  tubePath(cr, spine, [&](double t) { return width(t) * 0.45; });
  setColour(cr, rgb(60, 130, 60, 0.55));
  cairo_fill(cr);
  for (size_t i = 8; i + 4 < spine.size(); i += 9) {
    const Pt a = spine[i - 3], b = spine[i + 3];
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const double w = width(static_cast<double>(i) / (spine.size() - 1)) * 0.55;
    const Pt c = spine[i];
    const Pt n = {-dy / len * w, dx / len * w};
    polygon(cr, {{a.x, a.y}, {c.x + n.x, c.y + n.y}, {b.x, b.y}, {c.x - n.x, c.y - n.y}});
    setColour(cr, rgb(12, 40, 24, 0.8));
    cairo_fill(cr);
    disc(cr, c, w * 0.25, rgb(220, 200, 60, 0.8));
  }
  cairo_restore(cr);
  // Head facing left, with its forked tongue.
  const Pt h = {108, 282};
  strokeLine(cr, {{h.x - 14, h.y + 2}, {h.x - 20, h.y + 3}, {h.x - 23, h.y}}, 1.3, rgb(220, 40, 50));
  strokeLine(cr, {{h.x - 20, h.y + 3}, {h.x - 23, h.y + 7}}, 1.3, rgb(220, 40, 50));
  auto head = [&](cairo_t* g) {
    cairo_move_to(g, h.x - 16, h.y + 2);
    cairo_curve_to(g, h.x - 14, h.y - 12, h.x + 10, h.y - 16, h.x + 26, h.y - 10);
    cairo_line_to(g, h.x + 26, h.y + 12);
    cairo_curve_to(g, h.x + 10, h.y + 16, h.x - 12, h.y + 14, h.x - 16, h.y + 2);
    cairo_close_path(g);
  };
  rimLit(cr, head, rgb(28, 82, 44), rgb(170, 250, 130), 1.5, -2.5);
  ellipse(cr, {h.x - 2, h.y - 5}, 4.2, 3.4);
  setColour(cr, rgb(250, 220, 40));
  cairo_fill(cr);
  ellipse(cr, {h.x - 2, h.y - 5}, 1.0, 3.0);
  setColour(cr, kInk);
  cairo_fill(cr);
  disc(cr, {h.x - 12, h.y - 1}, 1.0, kInk);
}

namespace {
constexpr double kHedgeLine = 30;

double hedge(double x) { return kHedgeLine + 4 * std::sin(x * 2 * kPi / 40) + 2 * std::sin(x * 2 * kPi / 80); }

void fenceGround(cairo_t* cr, double x0, double y0) {
  cairo_new_path(cr);
  cairo_move_to(cr, x0, y0 + 80);
  for (int x = 0; x <= 80; ++x) cairo_line_to(cr, x0 + x, y0 + hedge(x));
  cairo_line_to(cr, x0 + 80, y0 + 80);
  cairo_close_path(cr);
  setColour(cr, kSky);
  cairo_fill(cr);
  // Moonlit tips of the hedge.
  for (int x = 0; x < 80; x += 5) {
    const double y = y0 + hedge(x) - 1;
    strokeLine(cr, {{x0 + x, y}, {x0 + x + 2, y - 3}}, 1, rgb(60, 60, 100));
  }
}

void rails(cairo_t* cr, double x0, double y0) {
  for (double ry : {22.0, 50.0}) {
    fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, x0, y0 + ry, 80, 6); }, {0, y0 + ry},
               rgb(206, 202, 216), {0, y0 + ry + 6}, rgb(120, 116, 140));
    strokeLine(cr, {{x0, y0 + ry + 6.5}, {x0 + 80, y0 + ry + 6.5}}, 1, rgb(12, 10, 20, 0.6));
  }
}

void picket(cairo_t* cr, double cx, double top, double bottom) {
  auto shape = [&](cairo_t* g) {
    polygon(g, {{cx - 6, top + 9}, {cx, top}, {cx + 6, top + 9}, {cx + 6, bottom}, {cx - 6, bottom}});
  };
  cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.86, 0.85, 0.9, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.7, 0.62, 0.62, 0.72, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, kSky.r, kSky.g, kSky.b, 0);
  cairo_new_path(cr);
  shape(cr);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  strokeLine(cr, {{cx - 5.5, top + 9.5}, {cx - 5.5, bottom - 10}}, 1.2, rgb(90, 86, 110, 0.8));
}

void fenceTile(cairo_t* cr, double x0, double y0) {
  fenceGround(cr, x0, y0);
  for (double px : {20.0, 60.0}) picket(cr, x0 + px, y0 + 6, y0 + 76);
  rails(cr, x0, y0);
  for (double px : {20.0, 60.0}) {
    for (double ry : {25.0, 53.0}) disc(cr, {x0 + px, y0 + ry}, 1.1, rgb(60, 50, 60));
  }
}

void gateTile(cairo_t* cr, double x0, double y0) {
  fenceGround(cr, x0, y0);
  rails(cr, x0, y0);
  auto post = [&](cairo_t* g) { cairo_rectangle(g, x0 + 29, y0 + 18, 22, 58); };
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0 + 18, 0, y0 + 78);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.55, 0.52, 0.62, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.75, 0.36, 0.35, 0.48, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, kSky.r, kSky.g, kSky.b, 0);
  cairo_new_path(cr);
  post(cr);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, x0 + 26, y0 + 16, 28, 5); }, {0, y0 + 16},
             rgb(170, 166, 190), {0, y0 + 21}, rgb(90, 86, 110));
  // A small lit jack-o'-lantern keeps watch on the post.
  halo(cr, {x0 + 40, y0 + 10}, 22, rgb(255, 150, 40, 0.4));
  ellipse(cr, {x0 + 40, y0 + 9}, 10, 7.5);
  setColour(cr, rgb(230, 110, 20));
  cairo_fill(cr);
  strokeLine(cr, {{x0 + 40, y0 + 2}, {x0 + 41, y0 + 0.8}}, 2, rgb(70, 90, 30));
  setColour(cr, rgb(255, 236, 120));
  polygon(cr, {{x0 + 34, y0 + 8}, {x0 + 36.5, y0 + 4.5}, {x0 + 39, y0 + 8}});
  cairo_fill(cr);
  polygon(cr, {{x0 + 41, y0 + 8}, {x0 + 43.5, y0 + 4.5}, {x0 + 46, y0 + 8}});
  cairo_fill(cr);
  polygon(cr, {{x0 + 34, y0 + 11}, {x0 + 46, y0 + 11}, {x0 + 40, y0 + 14}});
  cairo_fill(cr);
}
}  // namespace

void paintBatAndFence(cairo_t* cr) {
  moon(cr, {200, 118}, 25, 39);
  bat(cr, {199, 124}, 66, 0.18, kInk, rgb(90, 96, 150));
  for (int c : {0, 1, 3, 4}) fenceTile(cr, c * 80, 240);
  gateTile(cr, 160, 240);
}

}  // namespace gg
