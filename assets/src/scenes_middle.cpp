// Levels 5 to 8: the scarecrow, the owl, the ghost at the window, the belfry bats.
#include <cmath>

#include "levels.hpp"
#include "scene_kit.hpp"

namespace gg {
using namespace kit;
using namespace palette;

namespace {
const Colour kMoonRim = rgb(150, 164, 230);
const Colour kStraw = rgb(226, 186, 92);
const Colour kCoat = rgb(92, 52, 96);
const Colour kBurlap = rgb(176, 142, 92);

// The cross stick runs through every arm and torso tile at the same height.
constexpr double kStickTop = 9, kStickBottom = 15;

void stick(cairo_t* cr, double x0, double x1) {
  fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, x0, kStickTop, x1 - x0, kStickBottom - kStickTop); },
             {0, kStickTop}, rgb(150, 112, 76), {0, kStickBottom}, rgb(70, 46, 34));
}

void strawBurst(cairo_t* cr, Pt c, double dir, double len, uint32_t seed) {
  Random rnd(seed);
  for (int i = 0; i < 16; ++i) {
    const double a = rnd.range(-0.9, 0.9);
    const double l = len * rnd.range(0.5, 1.0);
    const Pt tip = {c.x + dir * std::cos(a) * l, c.y + std::sin(a) * l + l * 0.25};
    strokeLine(cr, {c, tip}, 1.3, i % 3 ? kStraw : shade(kStraw, 0.7));
  }
}

void sleeve(cairo_t* cr) {
  stick(cr, 0, 80);
  auto shape = [](cairo_t* g) {
    cairo_move_to(g, 7, 8);
    cairo_curve_to(g, 24, 4, 56, 4, 73, 8);
    cairo_curve_to(g, 76, 22, 74, 30, 72, 18);
    cairo_curve_to(g, 60, 44, 24, 44, 8, 18);
    cairo_curve_to(g, 6, 30, 4, 22, 7, 8);
    cairo_close_path(g);
  };
  rimLit(cr, shape, kCoat, kMoonRim, 1.5, -2);
  strokeLine(cr, {{22, 14}, {26, 34}}, 1, shade(kCoat, 0.6));
  strokeLine(cr, {{48, 12}, {52, 36}}, 1, shade(kCoat, 0.6));
  // A patch with its stitches.
  cairo_rectangle(cr, 30, 14, 14, 12);
  setColour(cr, rgb(120, 100, 60));
  cairo_fill(cr);
  for (int i = 0; i < 4; ++i) strokeLine(cr, {{31 + i * 4.0, 13}, {32 + i * 4.0, 16}}, 0.8, kStraw);
  for (double x : {9.0, 71.0}) {
    strokeLine(cr, {{x, 6}, {x, 20}}, 2.2, rgb(200, 170, 120));
    strawBurst(cr, {x, 19}, x < 40 ? -1 : 1, 0, 1);
  }
  for (double x : {12.0, 68.0}) {
    Random rnd(static_cast<uint32_t>(x));
    for (int i = 0; i < 5; ++i)
      strokeLine(cr, {{x, 20}, {x + rnd.range(-5, 5), 26 + rnd.range(0, 6)}}, 1.1, kStraw);
  }
}

void coatEdge(double y, double* left, double* right) {
  const double pinch = 4 * std::sin(kPi * y / 80);
  *left = 18 + pinch;
  *right = 62 - pinch;
}

void pole(cairo_t* cr) {
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 34, 0, 12, 80); }, {34, 0}, rgb(122, 88, 62), {46, 0},
             rgb(52, 34, 28));
  strokeLine(cr, {{38, 6}, {38.5, 30}}, 0.8, rgb(60, 40, 30));
  strokeLine(cr, {{42, 44}, {41.5, 74}}, 0.8, rgb(60, 40, 30));
  strokeLine(cr, {{45, 0}, {45, 80}}, 1, rgb(140, 150, 210, 0.6));
}

void torso(cairo_t* cr) {
  pole(cr);
  stick(cr, 0, 80);
  auto body = [](cairo_t* g) {
    cairo_move_to(g, 18, 0);
    for (int y = 0; y <= 64; y += 4) {
      double l, r;
      coatEdge(y, &l, &r);
      cairo_line_to(g, l, y);
    }
    // Ragged hem: strips with gaps that show the pole and the dark behind.
    const double hem[] = {18, 80, 24, 70, 29, 80, 35, 72, 41, 80, 47, 70, 52, 80, 57, 73, 62, 80};
    for (int i = 0; i < 18; i += 2) cairo_line_to(g, hem[i], hem[i + 1]);
    for (int y = 64; y >= 0; y -= 4) {
      double l, r;
      coatEdge(y, &l, &r);
      cairo_line_to(g, r, y);
    }
    cairo_close_path(g);
  };
  rimLit(cr, body, kCoat, kMoonRim, 2, -1);
  // Rope belt and buttons.
  strokeLine(cr, {{20, 56}, {60, 56}}, 3, rgb(170, 140, 90));
  for (int i = 0; i < 6; ++i) strokeLine(cr, {{21 + i * 7.0, 55}, {24 + i * 7.0, 57.5}}, 0.8, rgb(90, 70, 40));
  for (double y : {24.0, 40.0}) disc(cr, {40, y}, 2.2, rgb(200, 160, 60));
  strokeLine(cr, {{40, 0}, {40, 54}}, 0.9, shade(kCoat, 0.55));
  stick(cr, 0, 16);
  stick(cr, 64, 80);
}

void hand(cairo_t* cr, double dir) {
  // dir = -1: the arm comes in from the right and ends on the left.
  const double end = dir < 0 ? 36 : 44;
  if (dir < 0) stick(cr, end, 80);
  else stick(cr, 0, end);
  strokeLine(cr, {{end, 7}, {end, 17}}, 2.2, rgb(200, 170, 120));
  strawBurst(cr, {end, 12}, dir, 26, dir < 0 ? 7 : 8);
}
}  // namespace

void paintScarecrow(cairo_t* cr) {
  inCell(cr, 6, sleeve);
  inCell(cr, 8, sleeve);
  inCell(cr, 7, torso);
  inCell(cr, 12, torso);
  inCell(cr, 17, pole);
  inCell(cr, 22, pole);
  inCell(cr, 5, [](cairo_t* g) { hand(g, -1); });
  inCell(cr, 9, [](cairo_t* g) { hand(g, 1); });
  inCell(cr, 2, [](cairo_t* g) {
    // Collar meeting the coat below, then the sack head and the hat.
    fillLinear(g, [](cairo_t* s) { polygon(s, {{12, 66}, {68, 66}, {62, 80}, {18, 80}}); }, {0, 66}, shade(kCoat, 1.3),
               {0, 80}, kCoat);
    auto head = [](cairo_t* s) { ellipse(s, {40, 46}, 19, 20); };
    rimLit(g, head, kBurlap, rgb(236, 220, 170), 2, -1);
    for (int i = 0; i < 5; ++i) strokeLine(g, {{26 + i * 7.0, 28}, {27 + i * 7.0, 64}}, 0.6, rgb(130, 100, 60, 0.5));
    for (double x : {32.0, 48.0}) {
      strokeLine(g, {{x - 4, 40}, {x + 4, 48}}, 2, rgb(30, 20, 20));
      strokeLine(g, {{x + 4, 40}, {x - 4, 48}}, 2, rgb(30, 20, 20));
    }
    strokeLine(g, {{29, 56}, {35, 59}, {40, 58}, {45, 59}, {51, 56}}, 1.6, rgb(30, 20, 20));
    for (double x : {32.0, 37.0, 43.0, 48.0}) strokeLine(g, {{x, 55}, {x, 61}}, 1, rgb(30, 20, 20));
    strawBurst(g, {22, 50}, -1, 10, 3);
    strawBurst(g, {58, 50}, 1, 10, 4);
    auto hat = [](cairo_t* s) {
      ellipse(s, {40, 30}, 34, 7, -0.06);
      cairo_move_to(s, 24, 29);
      cairo_curve_to(s, 28, 14, 36, 8, 44, 3);
      cairo_curve_to(s, 50, 8, 54, 14, 57, 28);
      cairo_close_path(s);
    };
    rimLit(g, hat, rgb(58, 36, 50), kMoonRim, 1.5, -1.5);
    strokeLine(g, {{26, 25}, {40, 23}, {55, 24}}, 3, rgb(130, 40, 40));
  });
  inCell(cr, 21, [](cairo_t* g) {
    halo(g, {40, 62}, 38, rgb(255, 140, 40, 0.3));
    auto body = [](cairo_t* s) {
      ellipse(s, {30, 62}, 14, 16);
      ellipse(s, {50, 62}, 14, 16);
      ellipse(s, {40, 62}, 15, 17);
    };
    rimLit(g, body, rgb(210, 100, 20), rgb(255, 180, 80), 2, -2);
    strokeLine(g, {{40, 46}, {42, 40}}, 3, rgb(70, 90, 30));
    setColour(g, rgb(255, 230, 110));
    polygon(g, {{29, 60}, {33, 53}, {37, 60}});
    cairo_fill(g);
    polygon(g, {{43, 60}, {47, 53}, {51, 60}});
    cairo_fill(g);
    polygon(g, {{28, 66}, {52, 66}, {48, 72}, {44, 69}, {40, 73}, {36, 69}, {32, 72}});
    cairo_fill(g);
    grassTuft(g, {14, 80}, 12, rgb(40, 44, 30), 5);
    grassTuft(g, {66, 80}, 10, rgb(40, 44, 30), 6);
  });
  inCell(cr, 23, [](cairo_t* g) {
    auto crow = [](cairo_t* s) {
      ellipse(s, {40, 60}, 16, 10, -0.35);
      ellipse(s, {24, 50}, 8, 7);
      polygon(s, {{18, 50}, {8, 56}, {18, 54}});
      polygon(s, {{52, 56}, {68, 52}, {66, 60}, {54, 64}});
    };
    rimLit(g, crow, kInk, kMoonRim, 1.5, -1.5);
    strokeLine(g, {{36, 68}, {34, 78}}, 1.2, rgb(70, 60, 50));
    strokeLine(g, {{44, 68}, {45, 78}}, 1.2, rgb(70, 60, 50));
    disc(g, {22, 48}, 1.4, rgb(250, 230, 120));
    grassTuft(g, {12, 80}, 11, rgb(40, 44, 30), 7);
    grassTuft(g, {64, 80}, 13, rgb(40, 44, 30), 8);
  });
}

namespace {
// Left half of the owl's outline, top to bottom; the right half mirrors it.
const std::vector<Pt> kOwlLeft = {{150, -6}, {150, 0},  {138, 18}, {118, 10}, {100, 2},  {95, 26},  {90, 56},
                                  {88, 90},  {87, 124}, {92, 152}, {96, 168}, {91, 192}, {86, 232},
                                  {85, 272}, {88, 312}, {96, 346}, {108, 376}, {120, 400}, {124, 408}};

void owlShape(cairo_t* cr) {
  std::vector<Pt> pts = smoothLine(kOwlLeft, 8);
  std::vector<Pt> all = pts;
  for (size_t i = pts.size(); i-- > 0;) all.push_back({400 - pts[i].x, pts[i].y});
  polygon(cr, all);
}
}  // namespace

void paintOwl(cairo_t* cr) {
  rimLit(cr, owlShape, kNight, rgb(120, 130, 200), 2.5, -1);
  cairo_save(cr);
  cairo_new_path(cr);
  owlShape(cr);
  cairo_clip(cr);
  // Folded wings with scalloped feathers, kept inside the outer columns.
  for (int side : {-1, 1}) {
    auto X = [side](double x) { return side < 0 ? x : 400 - x; };
    auto wing = [&](cairo_t* g) {
      cairo_move_to(g, X(90), 170);
      cairo_curve_to(g, X(140), 176, X(154), 250, X(152), 330);
      cairo_curve_to(g, X(150), 370, X(140), 392, X(126), 400);
      cairo_line_to(g, X(80), 400);
      cairo_line_to(g, X(80), 170);
      cairo_close_path(g);
    };
    fillLinear(cr, wing, {0, 170}, rgb(34, 28, 52), {0, 400}, rgb(22, 18, 34));
    for (int row = 0; row < 6; ++row) {
      for (int k = 0; k < 3; ++k) {
        const double y = 200 + row * 32 + (k % 2) * 10;
        const double x = 100 + k * 16 + (row % 2) * 6;
        if (x > 146) continue;
        cairo_new_path(cr);
        cairo_arc(cr, X(x), y, 8, 0.2 * kPi, 0.8 * kPi);
        setColour(cr, rgb(70, 62, 110, 0.8));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
      }
    }
  }
  cairo_restore(cr);
  // Facial discs, brows and eyes.
  for (int side : {-1, 1}) {
    const Pt e = {200 + side * 72.0, 118};
    fillRadial(cr, [&](cairo_t* g) { cairo_arc(g, e.x, e.y, 33, 0, 2 * kPi); }, e, 33, rgb(60, 50, 86),
               rgb(22, 18, 34));
    halo(cr, e, 30, rgb(255, 160, 30, 0.35));
    fillRadial(cr, [&](cairo_t* g) { cairo_arc(g, e.x, e.y, 21, 0, 2 * kPi); }, {e.x - 4, e.y - 5}, 24,
               rgb(255, 214, 80), rgb(220, 110, 20));
    disc(cr, e, 10, kInk);
    disc(cr, {e.x - 5, e.y - 6}, 3.2, rgb(255, 255, 240));
    strokeLine(cr, {{e.x - side * 30, e.y - 28}, {e.x + side * 4, e.y - 32}, {200 + side * 6.0, 104}}, 3,
               rgb(90, 80, 130));
  }
  auto beak = [](cairo_t* g) {
    cairo_move_to(g, 190, 122);
    cairo_curve_to(g, 196, 116, 204, 116, 210, 122);
    cairo_curve_to(g, 208, 134, 204, 146, 199, 152);
    cairo_curve_to(g, 196, 142, 192, 132, 190, 122);
    cairo_close_path(g);
  };
  fillLinear(cr, beak, {190, 0}, rgb(150, 140, 130), {210, 0}, rgb(70, 60, 60));
  // Talons over the bottom edge.
  for (int side : {-1, 1}) {
    for (int k = 0; k < 3; ++k) {
      const double x = 200 + side * (44 + k * 9.0);
      cairo_new_path(cr);
      cairo_move_to(cr, x - 3, 386);
      cairo_curve_to(cr, x - 3, 396, x + side * 2, 399, x + side * 6, 396);
      cairo_line_to(cr, x + 3, 386);
      cairo_close_path(cr);
      setColour(cr, rgb(160, 150, 140));
      cairo_fill(cr);
    }
  }
}

namespace {
const Colour kWhiteGhost = rgb(236, 244, 255);
const Colour kGhostShade = rgb(170, 190, 230);

void ghostGlow(cairo_t* cr, const Shape& shape, double width) {
  for (int i = 5; i >= 1; --i) {
    cairo_new_path(cr);
    shape(cr);
    setColour(cr, rgb(200, 230, 255, 0.07));
    cairo_set_line_width(cr, width * i / 5.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  }
}

void ghostFill(cairo_t* cr, const Shape& shape, double top, double bottom) {
  fillLinear(cr, shape, {0, top}, kWhiteGhost, {0, bottom}, kGhostShade);
}

// The sleeve band crosses the window tiles at the same height on both sides.
double sleeveTop(double x) { return 27 + 1.5 * std::sin(x * 2 * kPi / 80); }
double sleeveBottom(double x) { return 47 + 4 * std::sin(x * 2 * kPi / 40); }

void sleeveBand(cairo_t* cr, double x0, double x1) {
  cairo_move_to(cr, x0, sleeveTop(x0));
  for (double x = x0; x <= x1; x += 1) cairo_line_to(cr, x, sleeveTop(x));
  for (double x = x1; x >= x0; x -= 1) cairo_line_to(cr, x, sleeveBottom(x));
  cairo_close_path(cr);
}

void archTile(cairo_t* cr) {
  setColour(cr, kNight);
  cairo_paint(cr);
  auto opening = [](cairo_t* g) {
    cairo_move_to(g, 0, 80);
    cairo_arc(g, 80, 80, 80, kPi, kPi + kPi / 3);
    cairo_arc(g, 0, 80, 80, -kPi / 3, 0);
    cairo_close_path(g);
  };
  cairo_new_path(cr);
  opening(cr);
  setColour(cr, kSky);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_rectangle(cr, 6, 0, 68, 72);
  cairo_clip(cr);
  cairo_new_path(cr);
  cairo_arc(cr, 80, 80, 83, kPi, kPi + kPi / 3);
  cairo_arc(cr, 0, 80, 83, -kPi / 3, 0);
  setColour(cr, rgb(70, 58, 100));
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  cairo_restore(cr);
  disc(cr, {40, 30}, 4, rgb(70, 58, 100));
  disc(cr, {40, 30}, 2, kNight);
}

void windowSleeve(cairo_t* cr) {
  auto band = [](cairo_t* g) { sleeveBand(g, -2, 82); };
  ghostGlow(cr, band, 14);
  ghostFill(cr, band, 26, 52);
  for (double x : {20.0, 60.0}) strokeLine(cr, {{x - 6, 34}, {x, 44}}, 1, rgb(180, 200, 235, 0.8));
}

void reachingHand(cairo_t* cr, int dir) {
  // dir = -1: reaching to the left from the window on the right.
  auto X = [dir](double x) { return dir < 0 ? x : 80 - x; };
  auto arm = [&](cairo_t* g) {
    cairo_move_to(g, X(82), sleeveTop(dir < 0 ? 0 : 80));
    cairo_curve_to(g, X(60), 26, X(46), 30, X(34), 32);
    cairo_line_to(g, X(14), 30);
    cairo_line_to(g, X(10), 33);
    cairo_line_to(g, X(22), 36);
    cairo_line_to(g, X(8), 38);
    cairo_line_to(g, X(10), 41);
    cairo_line_to(g, X(24), 41);
    cairo_line_to(g, X(12), 46);
    cairo_line_to(g, X(16), 48);
    cairo_line_to(g, X(30), 44);
    cairo_curve_to(g, X(44), 52, X(60), 56, X(82), sleeveBottom(dir < 0 ? 0 : 80));
    cairo_close_path(g);
  };
  ghostGlow(cr, arm, 16);
  ghostFill(cr, arm, 26, 56);
}
}  // namespace

void paintGhostWindow(cairo_t* cr) {
  for (int cell : {12, 16, 17, 18, 21, 23}) inCell(cr, cell, [](cairo_t* g) { setColour(g, kSky); cairo_paint(g); });
  for (int cell : {1, 2, 3}) inCell(cr, cell, archTile);
  inCell(cr, 11, windowSleeve);
  inCell(cr, 13, windowSleeve);
  inCell(cr, 10, [](cairo_t* g) { reachingHand(g, -1); });
  inCell(cr, 14, [](cairo_t* g) { reachingHand(g, 1); });
  auto ghost = [](cairo_t* g) {
    cairo_move_to(g, 160, 160 + sleeveTop(0));
    cairo_curve_to(g, 172, 186, 176, 166, 184, 168);
    cairo_curve_to(g, 190, 160, 210, 160, 216, 168);
    cairo_curve_to(g, 224, 166, 228, 186, 240, 160 + sleeveTop(80));
    cairo_line_to(g, 240, 160 + sleeveBottom(80));
    cairo_curve_to(g, 230, 214, 226, 250, 232, 292);
    cairo_line_to(g, 220, 284);
    cairo_line_to(g, 214, 302);
    cairo_line_to(g, 204, 288);
    cairo_line_to(g, 196, 306);
    cairo_line_to(g, 188, 288);
    cairo_line_to(g, 178, 300);
    cairo_line_to(g, 170, 284);
    cairo_curve_to(g, 174, 250, 170, 214, 160, 160 + sleeveBottom(0));
    cairo_close_path(g);
  };
  cairo_save(cr);
  cairo_rectangle(cr, 160, 160, 80, 160);
  cairo_clip(cr);
  ghostGlow(cr, ghost, 16);
  ghostFill(cr, ghost, 164, 300);
  // Hollow eyes and a wailing mouth.
  ellipse(cr, {191, 182}, 4, 6, 0.2);
  ellipse(cr, {209, 182}, 4, 6, -0.2);
  setColour(cr, rgb(20, 24, 50));
  cairo_fill(cr);
  ellipse(cr, {200, 200}, 4.5, 7);
  cairo_fill(cr);
  cairo_restore(cr);
  // Through the window: a crescent moon and far-off bats.
  inCell(cr, 16, [](cairo_t* g) {
    halo(g, {40, 30}, 30, rgb(230, 236, 255, 0.35));
    cairo_new_path(g);
    cairo_arc(g, 40, 30, 14, 0, 2 * kPi);
    cairo_new_sub_path(g);
    cairo_arc(g, 46, 25, 12, 0, 2 * kPi);
    cairo_set_fill_rule(g, CAIRO_FILL_RULE_EVEN_ODD);
    setColour(g, kMoon);
    cairo_fill(g);
    cairo_set_fill_rule(g, CAIRO_FILL_RULE_WINDING);
  });
  inCell(cr, 18, [](cairo_t* g) {
    bat(g, {26, 26}, 18, 0.2, kInk, rgb(110, 120, 170));
    bat(g, {50, 40}, 14, -0.1, kInk, rgb(110, 120, 170));
    bat(g, {36, 58}, 12, 0.3, kInk, rgb(110, 120, 170));
  });
  for (int cell : {21, 23}) {
    inCell(cr, cell, [](cairo_t* g) {
      fillLinear(g, [](cairo_t* s) { polygon(s, {{37, 30}, {43, 30}, {44, 80}, {36, 80}}); }, {36, 0},
                 rgb(120, 100, 90), {44, 0}, rgb(40, 30, 34));
      fillLinear(g, [](cairo_t* s) { ellipse(s, {40, 30}, 12, 3.5); }, {28, 0}, rgb(150, 120, 90), {52, 0},
                 rgb(60, 40, 40));
      candle(g, {40, 28}, 7, 16);
    });
  }
}

namespace {
void smallBats(cairo_t* cr, int variant) {
  const Colour rim = rgb(110, 120, 180);
  switch (variant) {
    case 48: bat(cr, {40, 42}, 50, 0.35, kInk, rim); break;
    case 49:
      bat(cr, {28, 30}, 30, -0.15, kInk, rim);
      bat(cr, {54, 54}, 26, 0.3, kInk, rim);
      break;
    case 51: bat(cr, {38, 40}, 44, -0.25, kInk, rim); break;
    case 52:
      bat(cr, {44, 36}, 56, 0.05, kInk, rim);
      bat(cr, {18, 64}, 14, 0.3, kInk, rim);
      break;
    default: break;
  }
}
}  // namespace

void paintBelfryBats(cairo_t* cr) {
  const Layout& cells = layout(8);
  for (int i = 0; i < 25; ++i) {
    const int t = cells[i];
    if (t == 48 || t == 49 || t == 51 || t == 52) inCell(cr, i, [t](cairo_t* g) { smallBats(g, t); });
  }
  // A full moon behind a witch on her broom.
  moon(cr, {80, 119}, 30, 37);
  auto witch = [](cairo_t* g) {
    polygon(g, {{18, 134}, {132, 116}, {133, 119}, {20, 137}});
    polygon(g, {{6, 128}, {26, 131}, {28, 139}, {8, 146}, {14, 138}});
    cairo_move_to(g, 64, 128);
    cairo_curve_to(g, 62, 112, 72, 100, 84, 104);
    cairo_curve_to(g, 92, 110, 94, 120, 96, 125);
    cairo_curve_to(g, 80, 134, 56, 138, 40, 134);
    cairo_curve_to(g, 50, 132, 58, 130, 64, 128);
    cairo_close_path(g);
    ellipse(g, {86, 100}, 7, 7);
    polygon(g, {{72, 96}, {100, 92}, {101, 95}, {74, 99}});
    polygon(g, {{79, 95}, {82, 86}, {70, 84}, {88, 80}, {94, 94}});
    polygon(g, {{92, 102}, {97, 104}, {92, 105}});
  };
  rimLit(cr, witch, kInk, rgb(170, 160, 220), 1.5, -1.5);
  disc(cr, {89, 99}, 1.1, rgb(120, 255, 120));
  // The bell tower the bats pour out of.
  inCell(cr, 21, [](cairo_t* g) {
    halo(g, {40, 54}, 20, rgb(255, 170, 60, 0.4));
    auto tower = [](cairo_t* s) {
      polygon(s, {{16, 44}, {40, 8}, {64, 44}});
      cairo_rectangle(s, 20, 44, 40, 36);
    };
    rimLit(g, tower, rgb(28, 22, 40), rgb(120, 120, 180), 1.5, -1.5);
    strokeLine(g, {{40, 8}, {40, 2}}, 1.2, rgb(90, 90, 120));
    strokeLine(g, {{37, 4}, {43, 4}}, 1.2, rgb(90, 90, 120));
    auto arch = [](cairo_t* s) {
      cairo_move_to(s, 31, 68);
      cairo_line_to(s, 31, 54);
      cairo_arc(s, 40, 54, 9, kPi, 2 * kPi);
      cairo_line_to(s, 49, 68);
      cairo_close_path(s);
    };
    fillLinear(g, arch, {0, 46}, rgb(255, 210, 110), {0, 68}, rgb(220, 110, 30));
    auto bell = [](cairo_t* s) {
      cairo_move_to(s, 34, 64);
      cairo_curve_to(s, 36, 60, 35, 52, 40, 51);
      cairo_curve_to(s, 45, 52, 44, 60, 46, 64);
      cairo_close_path(s);
    };
    cairo_new_path(g);
    bell(g);
    setColour(g, rgb(60, 40, 30));
    cairo_fill(g);
    strokeLine(g, {{18, 44}, {62, 44}}, 2, rgb(70, 60, 90));
    bat(g, {60, 20}, 12, 0.3, kInk, rgb(110, 120, 180));
    bat(g, {68, 34}, 9, -0.2, kInk, rgb(110, 120, 180));
  });
}

}  // namespace gg
