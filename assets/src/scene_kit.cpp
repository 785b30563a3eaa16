#include "scene_kit.hpp"

#include <cmath>

namespace gg::kit {

std::vector<Pt> smoothLine(const std::vector<Pt>& p, int steps) {
  std::vector<Pt> out;
  if (p.size() < 2) return p;
  for (size_t i = 0; i + 1 < p.size(); ++i) {
    const Pt p0 = i == 0 ? p[0] : p[i - 1];
    const Pt p1 = p[i], p2 = p[i + 1];
    const Pt p3 = i + 2 < p.size() ? p[i + 2] : p[i + 1];
    for (int s = 0; s < steps; ++s) {
      const double t = static_cast<double>(s) / steps, t2 = t * t, t3 = t2 * t;
      auto f = [&](double a, double b, double c, double d) {
        return 0.5 * ((2 * b) + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
      };
      out.push_back({f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y)});
    }
  }
  out.push_back(p.back());
  return out;
}

void smoothClosed(cairo_t* cr, const std::vector<Pt>& p) {
  const size_t n = p.size();
  cairo_new_sub_path(cr);
  for (size_t i = 0; i < n; ++i) {
    const Pt p0 = p[(i + n - 1) % n], p1 = p[i], p2 = p[(i + 1) % n], p3 = p[(i + 2) % n];
    if (i == 0) cairo_move_to(cr, p1.x, p1.y);
    const Pt c1 = {p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6};
    const Pt c2 = {p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6};
    cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, p2.x, p2.y);
  }
  cairo_close_path(cr);
}

void polygon(cairo_t* cr, const std::vector<Pt>& p) {
  cairo_new_sub_path(cr);
  for (size_t i = 0; i < p.size(); ++i) {
    if (i == 0) cairo_move_to(cr, p[i].x, p[i].y);
    else cairo_line_to(cr, p[i].x, p[i].y);
  }
  cairo_close_path(cr);
}

void tubePath(cairo_t* cr, const std::vector<Pt>& c, const std::function<double(double)>& halfWidth) {
  const size_t n = c.size();
  if (n < 2) return;
  std::vector<Pt> left, right;
  for (size_t i = 0; i < n; ++i) {
    const Pt a = c[i == 0 ? 0 : i - 1], b = c[i == n - 1 ? n - 1 : i + 1];
    double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len > 0) dx /= len, dy /= len;
    const double w = halfWidth(static_cast<double>(i) / (n - 1));
    left.push_back({c[i].x - dy * w, c[i].y + dx * w});
    right.push_back({c[i].x + dy * w, c[i].y - dx * w});
  }
  cairo_new_sub_path(cr);
  cairo_move_to(cr, left[0].x, left[0].y);
  for (const Pt& p : left) cairo_line_to(cr, p.x, p.y);
  for (size_t i = n; i-- > 0;) cairo_line_to(cr, right[i].x, right[i].y);
  cairo_close_path(cr);
}

void rimLit(cairo_t* cr, const Shape& shape, Colour base, Colour rim, double lx, double ly) {
  cairo_save(cr);
  cairo_new_path(cr);
  shape(cr);
  cairo_clip(cr);
  setColour(cr, rim);
  cairo_paint(cr);
  cairo_save(cr);
  cairo_translate(cr, -lx * 0.5, -ly * 0.5);
  cairo_new_path(cr);
  shape(cr);
  setColour(cr, mix(rim, base, 0.6));
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_translate(cr, -lx, -ly);
  cairo_new_path(cr);
  shape(cr);
  setColour(cr, base);
  cairo_fill(cr);
  cairo_restore(cr);
}

void fillLinear(cairo_t* cr, const Shape& shape, Pt from, Colour a, Pt to, Colour b) {
  cairo_pattern_t* p = cairo_pattern_create_linear(from.x, from.y, to.x, to.y);
  cairo_pattern_add_color_stop_rgba(p, 0, a.r, a.g, a.b, a.a);
  cairo_pattern_add_color_stop_rgba(p, 1, b.r, b.g, b.b, b.a);
  cairo_new_path(cr);
  shape(cr);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void fillRadial(cairo_t* cr, const Shape& shape, Pt c, double radius, Colour inner, Colour outer) {
  cairo_pattern_t* p = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, radius);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outer.a);
  cairo_new_path(cr);
  shape(cr);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void halo(cairo_t* cr, Pt c, double radius, Colour col) {
  cairo_pattern_t* p = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, radius);
  cairo_pattern_add_color_stop_rgba(p, 0, col.r, col.g, col.b, col.a);
  cairo_pattern_add_color_stop_rgba(p, 0.35, col.r, col.g, col.b, col.a * 0.5);
  cairo_pattern_add_color_stop_rgba(p, 0.7, col.r, col.g, col.b, col.a * 0.15);
  cairo_pattern_add_color_stop_rgba(p, 1, col.r, col.g, col.b, 0);
  cairo_set_source(cr, p);
  cairo_new_path(cr);
  cairo_arc(cr, c.x, c.y, radius, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void strokeLine(cairo_t* cr, const std::vector<Pt>& pts, double width, Colour c) {
  cairo_new_path(cr);
  for (size_t i = 0; i < pts.size(); ++i) {
    if (i == 0) cairo_move_to(cr, pts[i].x, pts[i].y);
    else cairo_line_to(cr, pts[i].x, pts[i].y);
  }
  setColour(cr, c);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void disc(cairo_t* cr, Pt c, double r, Colour col) {
  cairo_new_path(cr);
  cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
  setColour(cr, col);
  cairo_fill(cr);
}

void ellipse(cairo_t* cr, Pt c, double rx, double ry, double angle) {
  cairo_save(cr);
  cairo_translate(cr, c.x, c.y);
  cairo_rotate(cr, angle);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

void bat(cairo_t* cr, Pt c, double span, double lift, Colour body, Colour rim) {
  // One wing is drawn for x >= 0 and mirrored; lift raises the wing tips.
  const double s = span / 2;
  auto wing = [&](cairo_t* g, double dir) {
    auto P = [&](double x, double y) { return Pt{c.x + dir * x * s, c.y + y * s}; };
    std::vector<Pt> pts = {P(0.05, -0.12), P(0.35, -0.30 - lift * 0.5), P(0.70, -0.42 - lift),
                           P(1.00, -0.20 - lift), P(0.86, -0.02 - lift * 0.4), P(0.74, 0.10 - lift * 0.3),
                           P(0.62, 0.00 - lift * 0.2), P(0.50, 0.14 - lift * 0.1), P(0.36, 0.04),
                           P(0.24, 0.18), P(0.10, 0.12)};
    polygon(g, pts);
  };
  auto shape = [&](cairo_t* g) {
    wing(g, 1);
    wing(g, -1);
    ellipse(g, {c.x, c.y + 0.02 * s}, 0.13 * s, 0.22 * s);
    ellipse(g, {c.x, c.y - 0.2 * s}, 0.1 * s, 0.09 * s);
    polygon(g, {{c.x - 0.1 * s, c.y - 0.24 * s}, {c.x - 0.08 * s, c.y - 0.4 * s}, {c.x - 0.02 * s, c.y - 0.26 * s}});
    polygon(g, {{c.x + 0.1 * s, c.y - 0.24 * s}, {c.x + 0.08 * s, c.y - 0.4 * s}, {c.x + 0.02 * s, c.y - 0.26 * s}});
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  rimLit(cr, shape, body, rim, std::max(1.0, span / 60), -std::max(1.0, span / 60));
  disc(cr, {c.x - 0.04 * s, c.y - 0.2 * s}, std::max(0.8, 0.018 * span), rgb(255, 60, 40));
  disc(cr, {c.x + 0.04 * s, c.y - 0.2 * s}, std::max(0.8, 0.018 * span), rgb(255, 60, 40));
}

void moon(cairo_t* cr, Pt c, double r, double haloRadius) {
  if (haloRadius > r) halo(cr, c, haloRadius, rgb(220, 226, 255, 0.45));
  fillRadial(cr, [&](cairo_t* g) { cairo_arc(g, c.x, c.y, r, 0, 2 * kPi); }, {c.x - r * 0.3, c.y - r * 0.3}, r * 1.4,
             rgb(255, 252, 232), rgb(206, 204, 190));
  // A few soft maria.
  const Colour mare = rgb(180, 180, 172, 0.55);
  setColour(cr, mare);
  ellipse(cr, {c.x + r * 0.25, c.y - r * 0.15}, r * 0.28, r * 0.2, 0.4);
  cairo_fill(cr);
  ellipse(cr, {c.x - r * 0.3, c.y + r * 0.3}, r * 0.2, r * 0.15, -0.3);
  cairo_fill(cr);
  ellipse(cr, {c.x + r * 0.1, c.y + r * 0.45}, r * 0.12, r * 0.09, 0);
  cairo_fill(cr);
}

void flame(cairo_t* cr, Pt b, double h) {
  halo(cr, {b.x, b.y - h * 0.5}, h * 1.6, rgb(255, 170, 60, 0.35));
  auto outer = [&](cairo_t* g) {
    cairo_move_to(g, b.x, b.y);
    cairo_curve_to(g, b.x - h * 0.38, b.y - h * 0.1, b.x - h * 0.18, b.y - h * 0.6, b.x, b.y - h);
    cairo_curve_to(g, b.x + h * 0.18, b.y - h * 0.6, b.x + h * 0.38, b.y - h * 0.1, b.x, b.y);
    cairo_close_path(g);
  };
  fillLinear(cr, outer, {b.x, b.y}, rgb(255, 120, 30), {b.x, b.y - h}, rgb(255, 220, 120));
  auto inner = [&](cairo_t* g) {
    cairo_move_to(g, b.x, b.y - h * 0.05);
    cairo_curve_to(g, b.x - h * 0.18, b.y - h * 0.15, b.x - h * 0.08, b.y - h * 0.45, b.x, b.y - h * 0.62);
    cairo_curve_to(g, b.x + h * 0.08, b.y - h * 0.45, b.x + h * 0.18, b.y - h * 0.15, b.x, b.y - h * 0.05);
    cairo_close_path(g);
  };
  cairo_new_path(cr);
  inner(cr);
  setColour(cr, rgb(255, 250, 220));
  cairo_fill(cr);
}

void candle(cairo_t* cr, Pt b, double w, double h) {
  // b is the bottom centre of the wax.
  auto wax = [&](cairo_t* g) {
    cairo_rectangle(g, b.x - w / 2, b.y - h, w, h);
    ellipse(g, {b.x + w * 0.3, b.y - h + w * 0.5}, w * 0.18, w * 0.6);
  };
  fillLinear(cr, wax, {b.x - w / 2, 0}, rgb(236, 222, 190), {b.x + w / 2, 0}, rgb(150, 130, 110));
  strokeLine(cr, {{b.x, b.y - h}, {b.x, b.y - h - w * 0.3}}, std::max(1.0, w * 0.1), rgb(30, 20, 20));
  flame(cr, {b.x, b.y - h - w * 0.2}, w * 1.6);
}

}  // namespace gg::kit

namespace gg::kit {
void inCell(cairo_t* cr, int cell, const std::function<void(cairo_t*)>& fn) {
  cairo_save(cr);
  cairo_translate(cr, (cell % 5) * 80, (cell / 5) * 80);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, 80, 80);
  cairo_clip(cr);
  cairo_new_path(cr);
  fn(cr);
  cairo_restore(cr);
}

void grassTuft(cairo_t* cr, Pt b, double h, Colour c, uint32_t seed) {
  Random rnd(seed);
  for (int i = 0; i < 7; ++i) {
    const double dx = rnd.range(-h * 0.5, h * 0.5);
    const double top = h * rnd.range(0.5, 1.0);
    const double lean = rnd.range(-h * 0.35, h * 0.35);
    cairo_new_path(cr);
    cairo_move_to(cr, b.x + dx - 1.2, b.y);
    cairo_curve_to(cr, b.x + dx, b.y - top * 0.5, b.x + dx + lean * 0.6, b.y - top * 0.8, b.x + dx + lean, b.y - top);
    cairo_curve_to(cr, b.x + dx + lean * 0.5, b.y - top * 0.7, b.x + dx + 1.2, b.y - top * 0.4, b.x + dx + 1.2, b.y);
    cairo_close_path(cr);
    setColour(cr, i % 2 ? c : shade(c, 1.3));
    cairo_fill(cr);
  }
}
void catEye(cairo_t* cr, Pt c, double w, double h, double tilt, Colour iris) {
  auto almond = [&](cairo_t* g) {
    cairo_save(g);
    cairo_translate(g, c.x, c.y);
    cairo_rotate(g, tilt);
    cairo_move_to(g, -w / 2, 0);
    cairo_curve_to(g, -w / 4, -h * 0.75, w / 4, -h * 0.75, w / 2, 0);
    cairo_curve_to(g, w / 4, h * 0.75, -w / 4, h * 0.75, -w / 2, 0);
    cairo_close_path(g);
    cairo_restore(g);
  };
  fillRadial(cr, almond, {c.x, c.y}, w * 0.55, mix(iris, rgb(255, 255, 210), 0.55), shade(iris, 0.55));
  // Slit pupil.
  cairo_save(cr);
  cairo_new_path(cr);
  almond(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  ellipse(cr, c, w * 0.07, h * 0.62, tilt);
  setColour(cr, palette::kInk);
  cairo_fill(cr);
  disc(cr, {c.x + w * 0.12, c.y - h * 0.18}, w * 0.05, rgb(255, 255, 240, 0.9));
  cairo_restore(cr);
  cairo_new_path(cr);
  almond(cr);
  setColour(cr, shade(iris, 0.3));
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}
}  // namespace gg::kit
