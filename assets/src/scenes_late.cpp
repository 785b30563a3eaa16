// Levels 9 to 13: the vampire, the black cat, the cemetery gate, the
// jack-o'-lantern and the manor itself.
#include <cmath>

#include "levels.hpp"
#include "scene_kit.hpp"

namespace gg {
using namespace kit;
using namespace palette;

namespace {
const Colour kDuskRim = rgb(104, 100, 170);

// A dark lobe hanging from the top edge of its tile: foliage under the dark
// corner in the vampire's picture, the raised paw of the black cat.
void hangingLobe(cairo_t* cr, bool mirrored) {
  cairo_save(cr);
  if (mirrored) {
    cairo_translate(cr, 80, 0);
    cairo_scale(cr, -1, 1);
  }
  auto lobe = [](cairo_t* g) {
    cairo_move_to(g, -2, -10);
    cairo_line_to(g, 82, -10);
    cairo_line_to(g, 80, 0);
    cairo_curve_to(g, 78, 12, 76, 26, 70, 38);
    cairo_curve_to(g, 66, 50, 56, 52, 52, 44);
    cairo_curve_to(g, 48, 54, 36, 56, 32, 46);
    cairo_curve_to(g, 26, 54, 14, 50, 12, 40);
    cairo_curve_to(g, 6, 28, 2, 12, 0, 0);
    cairo_close_path(g);
  };
  rimLit(cr, lobe, kNight, kDuskRim, 1.2, 1.8);
  for (double x : {32.0, 52.0}) strokeLine(cr, {{x, 40}, {x + 1, 32}}, 1, shade(kDuskRim, 0.7));
  cairo_restore(cr);
}

// The base of a gate pillar with weeds, the same in two pictures.
void pillarBase(cairo_t* cr, bool right) {
  cairo_save(cr);
  if (right) {
    cairo_translate(cr, 80, 0);
    cairo_scale(cr, -1, 1);
  }
  auto base = [](cairo_t* g) {
    cairo_rectangle(g, -4, 44, 20, 40);
    cairo_rectangle(g, -4, 38, 24, 7);
  };
  rimLit(cr, base, kNight, rgb(90, 88, 130), 1.5, -1.5);
  grassTuft(cr, {26, 80}, 14, rgb(34, 36, 40), right ? 21 : 22);
  grassTuft(cr, {48, 80}, 9, rgb(34, 36, 40), right ? 23 : 24);
  if (!right) {
    // A skull in the weeds.
    auto skull = [](cairo_t* g) {
      ellipse(g, {54, 70}, 8, 7);
      cairo_rectangle(g, 50, 72, 8, 6);
    };
    fillLinear(cr, skull, {46, 62}, rgb(220, 214, 190), {62, 78}, rgb(140, 134, 120));
    disc(cr, {51, 70}, 1.8, kInk);
    disc(cr, {57, 70}, 1.8, kInk);
  } else {
    // A leaning grave cross.
    cairo_save(cr);
    cairo_translate(cr, 52, 80);
    cairo_rotate(cr, 0.25);
    auto cross = [](cairo_t* g) {
      cairo_rectangle(g, -2.5, -26, 5, 26);
      cairo_rectangle(g, -8, -20, 16, 4.5);
    };
    rimLit(cr, cross, rgb(40, 36, 54), rgb(130, 130, 170), 1, -1);
    cairo_restore(cr);
  }
  grassTuft(cr, {64, 80}, 11, rgb(34, 36, 40), right ? 25 : 26);
  cairo_restore(cr);
}

void foliageCanopy(cairo_t* cr) {
  // Clumps along an arch from the dark top corners, never below y = 80
  // except where the canopy meets the corners.
  auto canopy = [](cairo_t* g) {
    cairo_rectangle(g, 70, -10, 260, 24);
    for (int i = 0; i <= 16; ++i) {
      const double x = 82 + i * 14.75;
      const double arch = 38 * std::sin(kPi * (x - 80) / 240);
      const double y = 70 - arch + ((i % 3) - 1) * 5;
      const double r = 16 + (i % 2) * 4;
      cairo_new_sub_path(g);
      cairo_arc(g, x, std::min(y, 80.0 - r), r, 0, 2 * kPi);
      cairo_rectangle(g, x - r, -10, 2 * r, std::min(y, 80.0 - r) + 10);
    }
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  rimLit(cr, canopy, kNight, kDuskRim, 0.8, 1.6);
  // A few leaves dangling below the clumps.
  Random rnd(9);
  for (int i = 0; i < 9; ++i) {
    const double x = rnd.range(110, 290);
    const double y = 60 - 30 * std::sin(kPi * (x - 80) / 240) + rnd.range(0, 8);
    ellipse(cr, {x, y}, 2.5, 4.5, rnd.range(-0.5, 0.5));
    setColour(cr, rgb(30, 24, 46));
    cairo_fill(cr);
  }
}
}  // namespace

void paintVampire(cairo_t* cr) {
  for (int cell : {1, 2, 3}) {
    inCell(cr, cell, [cell](cairo_t* g) {
      cairo_translate(g, -80.0 * cell, 0);
      foliageCanopy(g);
    });
  }
  inCell(cr, 5, [](cairo_t* g) { hangingLobe(g, false); });
  inCell(cr, 9, [](cairo_t* g) { hangingLobe(g, true); });
  inCell(cr, 21, [](cairo_t* g) { pillarBase(g, false); });
  inCell(cr, 23, [](cairo_t* g) { pillarBase(g, true); });

  // The cape spread like wings, its red lining showing.
  auto cape = [](cairo_t* g) {
    cairo_move_to(g, 200, 196);
    cairo_curve_to(g, 160, 176, 120, 170, 88, 178);
    cairo_curve_to(g, 96, 196, 100, 214, 104, 232);
    cairo_curve_to(g, 116, 224, 126, 224, 134, 234);
    cairo_curve_to(g, 142, 226, 152, 226, 160, 236);
    cairo_curve_to(g, 168, 260, 176, 290, 200, 314);
    cairo_curve_to(g, 224, 290, 232, 260, 240, 236);
    cairo_curve_to(g, 248, 226, 258, 226, 266, 234);
    cairo_curve_to(g, 274, 224, 284, 224, 296, 232);
    cairo_curve_to(g, 300, 214, 304, 196, 312, 178);
    cairo_curve_to(g, 280, 170, 240, 176, 200, 196);
    cairo_close_path(g);
  };
  fillLinear(cr, cape, {200, 176}, rgb(190, 20, 30), {200, 300}, rgb(80, 6, 16));
  // The outer side of the cape along its top edges.
  auto outer = [](cairo_t* g) {
    cairo_move_to(g, 200, 196);
    cairo_curve_to(g, 160, 176, 120, 170, 88, 178);
    cairo_curve_to(g, 96, 196, 100, 214, 104, 232);
    cairo_curve_to(g, 120, 200, 160, 196, 200, 206);
    cairo_curve_to(g, 240, 196, 280, 200, 296, 232);
    cairo_curve_to(g, 300, 214, 304, 196, 312, 178);
    cairo_curve_to(g, 280, 170, 240, 176, 200, 196);
    cairo_close_path(g);
  };
  rimLit(cr, outer, kInk, rgb(150, 130, 200), 1.2, -1.5);
  // Body in a black suit, white shirt front.
  auto body = [](cairo_t* g) { polygon(g, {{186, 198}, {214, 198}, {218, 290}, {200, 304}, {182, 290}}); };
  rimLit(cr, body, rgb(20, 16, 26), rgb(90, 80, 120), 1.5, -1);
  fillLinear(cr, [](cairo_t* g) { polygon(g, {{194, 200}, {206, 200}, {200, 236}}); }, {0, 200}, rgb(230, 230, 236),
             {0, 236}, rgb(170, 170, 190));
  disc(cr, {200, 212}, 2.2, rgb(200, 20, 30));
  // High collar behind the head.
  for (int s : {-1, 1}) {
    auto collar = [s](cairo_t* g) { polygon(g, {{200.0 + s * 6, 198}, {200.0 + s * 28, 166}, {200.0 + s * 16, 196}}); };
    fillLinear(cr, collar, {200, 166}, rgb(170, 20, 30), {200, 198}, rgb(60, 6, 12));
  }
  // Head.
  auto face = [](cairo_t* g) { ellipse(g, {200, 186}, 10.5, 13); };
  fillLinear(cr, face, {190, 174}, rgb(226, 236, 214), {210, 198}, rgb(150, 170, 150));
  auto hair = [](cairo_t* g) {
    cairo_move_to(g, 189, 186);
    cairo_curve_to(g, 186, 172, 194, 166, 200, 166);
    cairo_curve_to(g, 206, 166, 214, 172, 211, 186);
    cairo_curve_to(g, 208, 178, 204, 176, 200, 182);
    cairo_curve_to(g, 196, 176, 192, 178, 189, 186);
    cairo_close_path(g);
  };
  cairo_new_path(cr);
  hair(cr);
  setColour(cr, kInk);
  cairo_fill(cr);
  for (int s : {-1, 1}) {
    halo(cr, {200.0 + s * 4.5, 187}, 4, rgb(255, 40, 30, 0.6));
    disc(cr, {200.0 + s * 4.5, 187}, 1.5, rgb(255, 60, 40));
    polygon(cr, {{200.0 + s * 2.5, 194}, {200.0 + s * 4, 194}, {200.0 + s * 3.2, 198}});
    setColour(cr, rgb(255, 255, 255));
    cairo_fill(cr);
  }
  strokeLine(cr, {{195, 194}, {205, 194}}, 1.2, rgb(110, 20, 30));
  // Clawed hands holding the cape's tips.
  for (int s : {-1, 1}) {
    const double x = 200 + s * 106.0;
    disc(cr, {x, 184}, 4, rgb(200, 216, 196));
    for (int k = 0; k < 3; ++k)
      strokeLine(cr, {{x, 184}, {x + s * (4 + k), 178 + k * 3.0}}, 1.2, rgb(200, 216, 196));
  }
}

namespace {
void catShape(cairo_t* cr) {
  // Head with ears, the body on the right, the tail curling up the side.
  const std::vector<Pt> outline = {
      {80, 240},  {83, 224},  {90, 204},  {100, 186}, {106, 168}, {104, 160}, {112, 96},  {134, 140},
      {150, 160}, {170, 168}, {200, 170}, {230, 168}, {250, 160}, {266, 140}, {288, 96},  {296, 160},
      {300, 176}, {312, 198}, {316, 222}, {314, 244}, {318, 268}, {320, 290}, {336, 294}, {356, 282},
      {370, 258}, {374, 226}, {366, 196}, {354, 170}, {350, 146}, {356, 124}, {366, 110}, {376, 108},
      {380, 118}, {372, 120}, {366, 128}, {364, 146}, {370, 170}, {384, 200}, {388, 232}, {382, 268},
      {364, 298}, {340, 312}, {318, 314}, {312, 336}, {306, 372}, {300, 404}, {176, 404}, {174, 370},
      {170, 320}, {168, 286}, {162, 254}, {160, 240}};
  smoothClosed(cr, outline);
}
}  // namespace

void paintBlackCat(cairo_t* cr) {
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  auto cat = [](cairo_t* g) {
    catShape(g);
    cairo_rectangle(g, 80, 232, 80, 9);
  };
  cairo_save(cr);
  cairo_rectangle(cr, 80, 0, 320, 400);
  cairo_clip(cr);
  rimLit(cr, cat, kNight, rgb(120, 110, 190), 2, -1.2);
  cairo_restore(cr);
  inCell(cr, 16, [](cairo_t* g) { hangingLobe(g, false); });
  // Inner ears.
  for (int s : {-1, 1}) {
    auto inner = [s](cairo_t* g) {
      polygon(g, {{200.0 + s * 84, 104}, {200.0 + s * 70, 150}, {200.0 + s * 58, 156}});
    };
    fillLinear(cr, inner, {0, 104}, rgb(120, 60, 100), {0, 156}, rgb(40, 20, 40));
  }
  for (int s : {-1, 1}) {
    const Pt e = {200 + s * 54.0, 208};
    halo(cr, e, 24, rgb(160, 220, 60, 0.3));
    catEye(cr, e, 34, 22, -s * 0.18, rgb(190, 230, 50));
  }
  setColour(cr, rgb(170, 90, 120));
  polygon(cr, {{194, 226}, {206, 226}, {200, 233}});
  cairo_fill(cr);
  strokeLine(cr, {{200, 233}, {200, 238}, {194, 242}}, 1.2, rgb(90, 80, 120));
  strokeLine(cr, {{200, 238}, {206, 242}}, 1.2, rgb(90, 80, 120));
  for (int s : {-1, 1}) {
    for (int k = 0; k < 3; ++k) {
      strokeLine(cr, {{200 + s * 14.0, 234.0 + k * 3}, {200 + s * 64.0, 226.0 + k * 9}}, 0.9,
                 rgb(200, 200, 230, 0.8));
    }
  }
  // Toes of the front paws.
  for (double x : {192.0, 204.0, 216.0}) strokeLine(cr, {{x, 392}, {x, 400}}, 1.2, rgb(80, 76, 120));
  for (double x : {276.0, 288.0}) strokeLine(cr, {{x, 392}, {x, 400}}, 1.2, rgb(80, 76, 120));
}

namespace {
void branch(cairo_t* cr, bool right) {
  cairo_save(cr);
  if (right) {
    cairo_translate(cr, 400, 0);
    cairo_scale(cr, -1, 1);
  }
  const std::vector<Pt> limb = smoothLine({{-10, 30}, {30, 26}, {70, 36}, {104, 42}, {132, 52}, {150, 62}}, 10);
  auto shape = [&](cairo_t* g) {
    tubePath(g, limb, [](double t) { return 10 * (1 - t) + 2; });
    tubePath(g, smoothLine({{40, 30}, {58, 10}, {70, 2}}, 6), [](double t) { return 4 * (1 - t) + 1; });
    tubePath(g, smoothLine({{90, 42}, {100, 22}, {118, 12}}, 6), [](double t) { return 3 * (1 - t) + 1; });
    tubePath(g, smoothLine({{20, 30}, {26, 56}, {20, 84}, {26, 110}}, 8), [](double t) { return 4 * (1 - t) + 0.8; });
    tubePath(g, smoothLine({{56, 34}, {64, 60}, {58, 84}}, 6), [](double t) { return 3 * (1 - t) + 0.8; });
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  rimLit(cr, shape, kInk, rgb(130, 130, 190), 1, -1.5);
  // Hook for the lantern's chain.
  strokeLine(cr, {{120, 48}, {120, 60}}, 2, rgb(60, 56, 70));
  // A cobweb in the fork of the branch.
  for (int k = 0; k < 5; ++k)
    strokeLine(cr, {{26, 40}, {26 + 30 * std::cos(k * 0.35), 40 + 30 * std::sin(k * 0.35)}}, 0.6,
               rgb(200, 210, 230, 0.6));
  for (int r = 1; r <= 3; ++r) {
    cairo_new_path(cr);
    cairo_arc(cr, 26, 40, r * 9, 0, 1.4);
    setColour(cr, rgb(200, 210, 230, 0.5));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void lantern(cairo_t* cr) {
  halo(cr, {40, 40}, 36, rgb(255, 160, 50, 0.45));
  for (int y = 0; y < 18; y += 4) {
    cairo_new_path(cr);
    ellipse(cr, {40, y + 2.0}, 1.6, 2.4);
    setColour(cr, rgb(70, 66, 80));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  fillLinear(cr, [](cairo_t* g) { polygon(g, {{30, 24}, {40, 17}, {50, 24}}); }, {0, 17}, rgb(90, 80, 100), {0, 24},
             rgb(30, 26, 36));
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 31, 24, 18, 24); }, {0, 24}, rgb(255, 240, 160), {0, 48},
             rgb(240, 130, 40));
  for (double x : {31.0, 40.0, 49.0}) strokeLine(cr, {{x, 24}, {x, 48}}, 1.6, rgb(40, 34, 44));
  strokeLine(cr, {{29, 24}, {51, 24}}, 2, rgb(40, 34, 44));
  strokeLine(cr, {{29, 48}, {51, 48}}, 2.4, rgb(40, 34, 44));
  flame(cr, {40, 42}, 9);
  strokeLine(cr, {{36, 52}, {44, 52}}, 2, rgb(40, 34, 44));
}

void gate(cairo_t* cr) {
  const Colour iron = rgb(22, 20, 30);
  const Colour glint = rgb(120, 116, 170);
  for (double x : {10.0, 30.0, 50.0, 70.0}) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 10, 0, 78);
    cairo_pattern_add_color_stop_rgba(p, 0, iron.r, iron.g, iron.b, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.8, iron.r, iron.g, iron.b, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, kSky.r, kSky.g, kSky.b, 0);
    cairo_new_path(cr);
    cairo_rectangle(cr, x - 1.8, 12, 3.6, 66);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    polygon(cr, {{x - 3.5, 14}, {x, 4}, {x + 3.5, 14}});
    setColour(cr, iron);
    cairo_fill(cr);
    strokeLine(cr, {{x + 1, 6}, {x + 2.5, 13}}, 0.8, glint);
    strokeLine(cr, {{x + 1.2, 16}, {x + 1.2, 60}}, 0.7, glint);
  }
  for (double y : {22.0, 54.0}) {
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, y, 80, 4);
    setColour(cr, iron);
    cairo_fill(cr);
    strokeLine(cr, {{0, y + 0.6}, {80, y + 0.6}}, 0.8, glint);
  }
  for (double x : {20.0, 60.0}) {
    cairo_new_path(cr);
    cairo_arc(cr, x - 4, 34, 4, 0, 1.5 * kPi);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + 4, 44, 4, kPi, 2.5 * kPi);
    setColour(cr, iron);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
  }
}
}  // namespace

void paintCemeteryGate(cairo_t* cr) {
  // Each branch tile is cut from the whole branch, drawn in board coordinates.
  for (int cell : {0, 1, 5, 3, 4, 9}) {
    inCell(cr, cell, [cell](cairo_t* g) {
      setColour(g, kSky);
      cairo_paint(g);
      cairo_translate(g, -(cell % 5) * 80.0, -(cell / 5) * 80.0);
      branch(g, cell % 5 >= 3);
    });
  }
  inCell(cr, 6, lantern);
  inCell(cr, 8, lantern);
  inCell(cr, 12, [](cairo_t* g) {
    moon(g, {40, 38}, 24, 37);
    bat(g, {52, 52}, 20, 0.25, kInk, kDuskRim);
  });
  for (int cell : {16, 17, 18}) inCell(cr, cell, gate);
  inCell(cr, 21, [](cairo_t* g) { pillarBase(g, false); });
  inCell(cr, 23, [](cairo_t* g) { pillarBase(g, true); });
}

namespace {
// Left half of the pumpkin, from the top edge down; it passes exactly
// through the corner of the first eye's cell.
const std::vector<Pt> kPumpkinLeft = {{138, -10}, {136, 0},  {112, 30}, {92, 60},  {80, 80},  {54, 104},
                                      {30, 136},  {14, 170}, {4, 206},  {-4, 240}, {0, 280},  {8, 318},
                                      {22, 350},  {44, 380}, {66, 400}, {70, 410}};

void pumpkinShape(cairo_t* cr) {
  std::vector<Pt> pts = smoothLine(kPumpkinLeft, 8);
  std::vector<Pt> all = pts;
  for (size_t i = pts.size(); i-- > 0;) all.push_back({400 - pts[i].x, pts[i].y});
  polygon(cr, all);
}

void carvedGlow(cairo_t* cr, const Shape& hole, Pt centre, double radius) {
  halo(cr, centre, radius, rgb(255, 140, 30, 0.5));
  fillRadial(cr, hole, centre, radius * 0.8, rgb(255, 250, 190), rgb(255, 150, 30));
  // The cut's inner wall, lit from inside.
  cairo_save(cr);
  cairo_new_path(cr);
  hole(cr);
  cairo_clip(cr);
  cairo_new_path(cr);
  hole(cr);
  setColour(cr, rgb(230, 100, 20));
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void triangleCut(cairo_t* cr) {
  auto hole = [](cairo_t* g) { polygon(g, {{40, 14}, {70, 64}, {10, 64}}); };
  carvedGlow(cr, hole, {40, 46}, 34);
}

constexpr double kGrinTop = 22, kGrinBottom = 56;
void grinBand(cairo_t* cr, double x0, double x1) {
  // Tooth hanging from the top in the middle, half teeth at both ends.
  auto hole = [x0, x1](cairo_t* g) {
    cairo_move_to(g, x0, kGrinTop);
    cairo_line_to(g, 30, kGrinTop);
    cairo_line_to(g, 31, 38);
    cairo_line_to(g, 49, 38);
    cairo_line_to(g, 50, kGrinTop);
    cairo_line_to(g, x1, kGrinTop);
    cairo_line_to(g, x1, 42);
    cairo_line_to(g, 72, 42);
    cairo_line_to(g, 71, kGrinBottom);
    cairo_line_to(g, 9, kGrinBottom);
    cairo_line_to(g, 8, 42);
    cairo_line_to(g, x0, 42);
    cairo_close_path(g);
  };
  carvedGlow(cr, hole, {40, 42}, 38);
}

void grinCorner(cairo_t* cr, bool right) {
  cairo_save(cr);
  if (right) {
    cairo_translate(cr, 80, 0);
    cairo_scale(cr, -1, 1);
  }
  auto hole = [](cairo_t* g) {
    cairo_move_to(g, 81, kGrinTop);
    cairo_curve_to(g, 50, kGrinTop, 30, 14, 14, -6);
    cairo_curve_to(g, 24, 20, 40, kGrinBottom, 72, kGrinBottom);
    cairo_line_to(g, 72, 42);
    cairo_line_to(g, 81, 42);
    cairo_close_path(g);
  };
  carvedGlow(cr, hole, {60, 40}, 30);
  cairo_restore(cr);
}
}  // namespace

void paintPumpkin(cairo_t* cr) {
  // Sky around the pumpkin, then its dark body with a warm rim.
  setColour(cr, kSky);
  for (int cell : {1, 3, 5, 9, 10, 14, 15, 19, 20, 21, 23, 24}) {
    cairo_rectangle(cr, (cell % 5) * 80, (cell / 5) * 80, 80, 80);
  }
  cairo_fill(cr);
  cairo_save(cr);
  // Keep the rim out of the plain cells and the repeated eye cells.
  cairo_rectangle(cr, 0, 0, 400, 400);
  for (int cell : {2, 6, 7, 8, 11, 12, 13, 22}) cairo_rectangle(cr, (cell % 5) * 80 + 80, (cell / 5) * 80, -80, 80);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  rimLit(cr, pumpkinShape, kNight, rgb(230, 110, 30), 3, -2);
  // Lobe creases near the outline.
  for (int s : {-1, 1}) {
    for (int k = 0; k < 2; ++k) {
      const double x = 200 + s * (150 + k * 26.0);
      std::vector<Pt> crease = smoothLine({{x - s * 40, 40 + k * 40.0}, {x, 200}, {x - s * 30, 370 - k * 20.0}}, 16);
      strokeLine(cr, crease, 2, rgb(120, 50, 20, 0.5));
    }
  }
  cairo_restore(cr);
  for (int cell : {6, 8, 12}) inCell(cr, cell, triangleCut);
  for (int cell : {16, 17, 18}) inCell(cr, cell, [](cairo_t* g) { grinBand(g, -1, 81); });
  inCell(cr, 15, [](cairo_t* g) { grinCorner(g, false); });
  inCell(cr, 19, [](cairo_t* g) { grinCorner(g, true); });
  // A curling vine in each bottom corner of the sky.
  for (int s : {-1, 1}) {
    const double x = s < 0 ? 30 : 370;
    strokeLine(cr, smoothLine({{x, 400}, {x + s * -4, 380}, {x + s * 8, 366}, {x + s * 16, 374}, {x + s * 10, 382}}, 8),
               2, rgb(60, 90, 40));
  }
}

void paintMansion(cairo_t* cr) {
  // Sky, stars and the moon.
  fillVertical(cr, 0, 0, 400, 320, rgb(26, 16, 54), rgb(86, 84, 150));
  Random rnd(13);
  for (int i = 0; i < 70; ++i) {
    const double x = rnd.range(0, 400), y = rnd.range(0, 220);
    disc(cr, {x, y}, rnd.range(0.4, 1.1), rgb(255, 250, 230, rnd.range(0.4, 0.9)));
  }
  moon(cr, {300, 84}, 40, 80);
  for (int i = 0; i < 3; ++i) {
    ellipse(cr, {260.0 + i * 40, 100.0 + i * 16}, 70, 6);
    setColour(cr, rgb(60, 50, 100, 0.45));
    cairo_fill(cr);
  }
  // Dead trees either side.
  for (int s : {-1, 1}) {
    const double x = s < 0 ? 40 : 366;
    auto tree = [x, s](cairo_t* g) {
      tubePath(g, smoothLine({{x, 320}, {x - s * 4, 250}, {x + s * 6, 190}, {x + s * 2, 140}}, 10),
               [](double t) { return 9 * (1 - t) + 1.5; });
      tubePath(g, smoothLine({{x + s * 4, 230}, {x + s * 30, 200}, {x + s * 40, 170}}, 8),
               [](double t) { return 4 * (1 - t) + 1; });
      tubePath(g, smoothLine({{x, 200}, {x - s * 26, 170}, {x - s * 30, 140}}, 8),
               [](double t) { return 3.5 * (1 - t) + 0.8; });
      tubePath(g, smoothLine({{x + s * 4, 170}, {x + s * 20, 150}, {x + s * 18, 124}}, 8),
               [](double t) { return 2.5 * (1 - t) + 0.8; });
    };
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    rimLit(cr, tree, kNight, rgb(110, 100, 170), 1.5, -1);
  }
  // The manor.
  auto manor = [](cairo_t* g) {
    cairo_rectangle(g, 112, 180, 176, 130);
    polygon(g, {{104, 184}, {150, 140}, {196, 184}});
    polygon(g, {{204, 186}, {250, 146}, {296, 186}});
    cairo_rectangle(g, 178, 110, 44, 80);
    polygon(g, {{172, 114}, {200, 40}, {228, 114}});
    cairo_rectangle(g, 96, 150, 30, 160);
    polygon(g, {{90, 154}, {111, 96}, {132, 154}});
    cairo_rectangle(g, 276, 160, 30, 150);
    polygon(g, {{270, 164}, {291, 110}, {312, 164}});
    cairo_rectangle(g, 140, 130, 10, 30);
    cairo_rectangle(g, 258, 136, 9, 26);
  };
  rimLit(cr, manor, rgb(28, 20, 44), rgb(150, 140, 210), 2, -1.2);
  strokeLine(cr, {{200, 40}, {200, 28}}, 1.5, rgb(60, 50, 80));
  strokeLine(cr, {{111, 96}, {111, 88}}, 1.2, rgb(60, 50, 80));
  strokeLine(cr, {{291, 110}, {291, 102}}, 1.2, rgb(60, 50, 80));
  auto window = [cr](double x, double y, double w, double h, bool lit) {
    auto shape = [=](cairo_t* g) {
      cairo_move_to(g, x, y + h);
      cairo_line_to(g, x, y + w / 2);
      cairo_arc(g, x + w / 2, y + w / 2, w / 2, kPi, 2 * kPi);
      cairo_line_to(g, x + w, y + h);
      cairo_close_path(g);
    };
    if (lit) {
      halo(cr, {x + w / 2, y + h / 2}, w * 1.6, rgb(255, 170, 60, 0.35));
      fillLinear(cr, shape, {0, y}, rgb(255, 230, 140), {0, y + h}, rgb(230, 120, 30));
    } else {
      cairo_new_path(cr);
      shape(cr);
      setColour(cr, rgb(12, 10, 22));
      cairo_fill(cr);
    }
    strokeLine(cr, {{x + w / 2, y + 2}, {x + w / 2, y + h}}, 1, rgb(40, 26, 30));
  };
  window(192, 126, 16, 26, true);
  window(102, 170, 16, 24, false);
  window(102, 220, 16, 24, true);
  window(282, 180, 16, 24, true);
  window(282, 230, 16, 24, false);
  for (int i = 0; i < 4; ++i) {
    window(130 + i * 38.0, 200, 14, 22, i != 1);
    window(130 + i * 38.0, 246, 14, 22, i == 1 || i == 3);
  }
  // Glowing door, steps and a winding path down to the bottom edge.
  window(190, 276, 20, 34, true);
  setColour(cr, kNight);
  cairo_new_path(cr);
  cairo_move_to(cr, 0, 306);
  cairo_curve_to(cr, 100, 300, 300, 300, 400, 306);
  cairo_line_to(cr, 400, 400);
  cairo_line_to(cr, 0, 400);
  cairo_close_path(cr);
  cairo_fill(cr);
  auto path = [](cairo_t* g) {
    cairo_move_to(g, 190, 310);
    cairo_curve_to(g, 180, 340, 230, 360, 196, 404);
    cairo_line_to(g, 270, 404);
    cairo_curve_to(g, 280, 360, 220, 340, 210, 310);
    cairo_close_path(g);
  };
  fillLinear(cr, path, {0, 310}, rgb(90, 80, 120), {0, 400}, rgb(50, 44, 70));
  // Iron fence along the ground, gravestones and lanterns.
  for (double x = 92; x <= 308; x += 9) {
    if (x > 176 && x < 226) continue;
    strokeLine(cr, {{x, 318}, {x, 300}}, 1.6, rgb(70, 64, 96));
    polygon(cr, {{x - 2, 301}, {x, 296}, {x + 2, 301}});
    setColour(cr, rgb(70, 64, 96));
    cairo_fill(cr);
  }
  strokeLine(cr, {{90, 306}, {176, 306}}, 1.4, rgb(70, 64, 96));
  strokeLine(cr, {{226, 306}, {310, 306}}, 1.4, rgb(70, 64, 96));
  for (double x : {120.0, 150.0, 262.0}) {
    auto stone = [x](cairo_t* g) {
      cairo_move_to(g, x - 7, 360);
      cairo_line_to(g, x - 7, 342);
      cairo_arc(g, x, 342, 7, kPi, 2 * kPi);
      cairo_line_to(g, x + 7, 360);
      cairo_close_path(g);
    };
    rimLit(cr, stone, rgb(50, 46, 70), rgb(140, 136, 180), 1.2, -1.2);
  }
  for (double x : {178.0, 222.0}) {
    strokeLine(cr, {{x, 360}, {x, 330}}, 2, rgb(40, 34, 50));
    halo(cr, {x, 326}, 16, rgb(255, 170, 60, 0.5));
    disc(cr, {x, 326}, 3.5, rgb(255, 220, 130));
  }
  bat(cr, {250, 60}, 22, 0.3, kInk, kDuskRim);
  bat(cr, {330, 150}, 16, -0.1, kInk, kDuskRim);
  bat(cr, {60, 90}, 14, 0.2, kInk, kDuskRim);
}

}  // namespace gg
