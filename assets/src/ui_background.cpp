// The room around the board: wallpaper, the carved board frame with its four
// pockets, and the panels the game paints its numbers and pictures onto.
#include <cmath>

#include "scene_kit.hpp"
#include "ui.hpp"

namespace gg {
using namespace kit;

void plaque(cairo_t* cr, double x, double y, double w, double h, double corner) {
  auto outer = [=](cairo_t* g) { roundedRect(g, x, y, w, h, corner); };
  cairo_new_path(cr);
  outer(cr);
  setColour(cr, rgb(10, 6, 12));
  cairo_fill(cr);
  fillLinear(cr, [=](cairo_t* g) { roundedRect(g, x + 1.5, y + 1.5, w - 3, h - 3, corner - 1); }, {0, y},
             rgb(214, 164, 90), {0, y + h}, rgb(100, 62, 30));
  fillLinear(cr, [=](cairo_t* g) { roundedRect(g, x + 4, y + 4, w - 8, h - 8, std::max(1.0, corner - 3)); },
             {0, y}, rgb(58, 34, 62), {0, y + h}, rgb(30, 16, 36));
}

void goldRule(cairo_t* cr, double x0, double x1, double y) {
  strokeLine(cr, {{x0, y}, {x1, y}}, 1.5, rgb(200, 150, 80));
  const double m = (x0 + x1) / 2;
  polygon(cr, {{m - 6, y}, {m, y - 4}, {m + 6, y}, {m, y + 4}});
  setColour(cr, rgb(240, 190, 100));
  cairo_fill(cr);
}

namespace {
void wallpaper(cairo_t* cr) {
  fillVertical(cr, 0, 0, 800, 600, rgb(26, 16, 46), rgb(36, 20, 50));
  // Faint damask: a repeating lily between diamonds.
  for (int row = 0; row < 12; ++row) {
    for (int col = 0; col < 18; ++col) {
      const double x = col * 48 + (row % 2) * 24, y = row * 56;
      auto lily = [=](cairo_t* g) {
        cairo_move_to(g, x, y - 14);
        cairo_curve_to(g, x + 8, y - 6, x + 8, y + 6, x, y + 14);
        cairo_curve_to(g, x - 8, y + 6, x - 8, y - 6, x, y - 14);
        cairo_close_path(g);
        ellipse(g, {x - 9, y + 8}, 5, 2.5, -0.6);
        ellipse(g, {x + 9, y + 8}, 5, 2.5, 0.6);
      };
      cairo_new_path(cr);
      lily(cr);
      setColour(cr, rgb(90, 60, 120, 0.14));
      cairo_fill(cr);
    }
  }
  // Vignette towards the corners.
  cairo_pattern_t* v = cairo_pattern_create_radial(400, 300, 200, 400, 300, 560);
  cairo_pattern_add_color_stop_rgba(v, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(v, 1, 0, 0, 0.02, 0.55);
  cairo_set_source(cr, v);
  cairo_paint(cr);
  cairo_pattern_destroy(v);
  // Floorboards along the bottom.
  fillVertical(cr, 0, 572, 800, 28, rgb(44, 26, 24), rgb(20, 12, 14));
  strokeLine(cr, {{0, 572}, {800, 572}}, 2, rgb(90, 60, 40));
}

struct Box {
  double x, y, w, h;
};

// Everything recessed: the grid and the four pockets.
const Box kRecesses[] = {{196, 86, 400, 400}, {356, 6, 80, 80}, {116, 246, 80, 80}, {596, 246, 80, 80},
                         {356, 486, 80, 80}};

void boardFrame(cairo_t* cr) {
  auto frameShape = [](cairo_t* g, double grow) {
    roundedRect(g, 186 - grow, 72 - grow, 424 + 2 * grow, 428 + 2 * grow, 10);
    roundedRect(g, 350 - grow, 0 - grow, 92 + 2 * grow, 100, 8);
    roundedRect(g, 108 - grow, 238 - grow, 100, 96 + 2 * grow, 8);
    roundedRect(g, 584, 238 - grow, 100 + grow, 96 + 2 * grow, 8);
    roundedRect(g, 350 - grow, 470, 92 + 2 * grow, 104 + grow, 8);
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cr);
  frameShape(cr, 2);
  setColour(cr, rgb(8, 4, 10));
  cairo_fill(cr);
  fillLinear(cr, [&](cairo_t* g) { frameShape(g, 0); }, {186, 72}, rgb(226, 176, 96), {610, 500}, rgb(96, 58, 26));
  fillLinear(cr, [&](cairo_t* g) { frameShape(g, -3); }, {186, 72}, rgb(70, 40, 30), {610, 500}, rgb(40, 22, 20));
  // Carved studs along the frame.
  for (double x = 206; x < 596; x += 40) {
    if (x > 346 && x < 446) continue;
    disc(cr, {x, 79}, 2, rgb(220, 170, 90));
    disc(cr, {x, 493}, 2, rgb(220, 170, 90));
  }
  // The recessed floor with a soft shadow under the top and left edges.
  for (const Box& b : kRecesses) {
    cairo_new_path(cr);
    cairo_rectangle(cr, b.x - 1, b.y - 1, b.w + 2, b.h + 2);
    setColour(cr, rgb(6, 4, 8));
    cairo_fill(cr);
    // Lighter than the darkest tiles, so an empty slot never looks like one.
    fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, b.x, b.y, b.w, b.h); }, {b.x, b.y}, rgb(50, 42, 70),
               {b.x + b.w, b.y + b.h}, rgb(68, 58, 90));
  }
  // Engraved cell lines on the floor, so empty cells read as slots.
  for (int i = 1; i < 5; ++i) {
    strokeLine(cr, {{196 + i * 80.0, 86}, {196 + i * 80.0, 486}}, 1.2, rgb(30, 24, 42));
    strokeLine(cr, {{196, 86 + i * 80.0}, {596, 86 + i * 80.0}}, 1.2, rgb(30, 24, 42));
  }
  for (const Box& b : kRecesses) {
    fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, b.x, b.y, b.w, 6); }, {0, b.y}, rgb(0, 0, 0, 0.6),
               {0, b.y + 6}, rgb(0, 0, 0, 0));
    fillLinear(cr, [&](cairo_t* g) { cairo_rectangle(g, b.x, b.y, 6, b.h); }, {b.x, 0}, rgb(0, 0, 0, 0.6),
               {b.x + 6, 0}, rgb(0, 0, 0, 0));
  }
  // A faint sigil in every slot of the grid and in each pocket.
  std::vector<Pt> slots;
  for (const Box& b : kRecesses) {
    if (b.w > 80) {
      for (int i = 0; i < 25; ++i) slots.push_back({b.x + (i % 5) * 80 + 40, b.y + (i / 5) * 80 + 40});
    } else {
      slots.push_back({b.x + 40, b.y + 40});
    }
  }
  for (const Pt& c : slots) {
    cairo_new_path(cr);
    cairo_arc(cr, c.x, c.y, 16, 0, 2 * kPi);
    setColour(cr, rgb(88, 74, 116, 0.8));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    polygon(cr, {{c.x, c.y - 14}, {c.x + 4, c.y}, {c.x, c.y + 14}, {c.x - 4, c.y}});
    setColour(cr, rgb(88, 74, 116, 0.8));
    cairo_fill(cr);
  }
}

void inset(cairo_t* cr, double x, double y, double w, double h) {
  roundedRect(cr, x, y, w, h, 4);
  setColour(cr, rgb(10, 6, 14));
  cairo_fill(cr);
  strokeLine(cr, {{x + 3, y + h + 0.5}, {x + w - 3, y + h + 0.5}}, 1, rgb(150, 110, 70, 0.6));
}

void label(cairo_t* cr, const std::string& text, double x, double baseline, double size, Align align) {
  LetterStyle style{rgb(250, 220, 150), rgb(210, 130, 60), rgb(14, 6, 12), 1.6};
  drawLettering(cr, Font::Title, size, text, x, baseline, align, style);
}

void scorePanel(cairo_t* cr) {
  plaque(cr, 8, 64, 178, 160, 8);
  label(cr, "Best", 20, 92, 24, Align::Left);
  inset(cr, 16, 95, 162, 34);
  goldRule(cr, 30, 164, 143);
  label(cr, "Score", 20, 172, 24, Align::Left);
  inset(cr, 16, 175, 162, 34);
}

void levelPanel(cairo_t* cr) {
  plaque(cr, 630, 334, 62, 172, 8);
  inset(cr, 638, 384, 46, 40);
  LetterStyle small{rgb(250, 220, 150), rgb(210, 130, 60), rgb(14, 6, 12), 1.3};
  drawLettering(cr, Font::Title, 17, "Level", 661, 446, Align::Centre, small);
}

void thumbnailFrame(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_rectangle(cr, 608, 68, 176, 176);
  setColour(cr, rgb(8, 4, 10));
  cairo_fill(cr);
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 610, 70, 172, 172); }, {610, 70}, rgb(240, 196, 110),
             {782, 242}, rgb(110, 66, 26));
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 615, 75, 162, 162); }, {615, 75}, rgb(80, 50, 24),
             {777, 237}, rgb(200, 150, 80));
  cairo_new_path(cr);
  cairo_rectangle(cr, 619, 79, 154, 154);
  setColour(cr, rgb(10, 6, 14));
  cairo_fill(cr);
  for (Pt c : {Pt{612, 72}, Pt{780, 72}, Pt{612, 240}, Pt{780, 240}}) {
    disc(cr, c, 5, rgb(10, 6, 12));
    disc(cr, c, 3.5, rgb(240, 190, 100));
  }
}

void levelNamePlaque(cairo_t* cr) {
  plaque(cr, 2, 340, 184, 90, 10);
}

void buttonBoard(cairo_t* cr) {
  plaque(cr, 1, 442, 190, 130, 8);
}

void timerTube(cairo_t* cr) {
  // Glass tube from under the skull cap down into the strip below.
  cairo_new_path(cr);
  cairo_rectangle(cr, 729, 300, 30, 218);
  setColour(cr, rgb(8, 4, 10));
  cairo_fill(cr);
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 731, 300, 26, 218); }, {731, 0}, rgb(70, 80, 100), {757, 0},
             rgb(24, 26, 40));
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 734, 300, 20, 218); }, {734, 0}, rgb(16, 22, 24), {754, 0},
             rgb(8, 10, 14));
  strokeLine(cr, {{737, 304}, {737, 512}}, 1, rgb(150, 170, 200, 0.35));
  for (double y = 340; y < 516; y += 52) {
    fillLinear(cr, [y](cairo_t* g) { cairo_rectangle(g, 728, y, 32, 4); }, {728, 0}, rgb(120, 80, 30), {760, 0},
               rgb(240, 190, 100));
  }
}

void candleStand(cairo_t* cr, double x, double baseY) {
  fillLinear(cr, [=](cairo_t* g) { ellipse(g, {x, baseY}, 22, 6); }, {x - 22, 0}, rgb(200, 150, 80), {x + 22, 0},
             rgb(90, 56, 24));
  fillLinear(cr, [=](cairo_t* g) { polygon(g, {{x - 4, baseY}, {x - 3, baseY - 40}, {x + 3, baseY - 40}, {x + 4, baseY}}); },
             {x - 4, 0}, rgb(200, 150, 80), {x + 4, 0}, rgb(90, 56, 24));
  fillLinear(cr, [=](cairo_t* g) { ellipse(g, {x, baseY - 40}, 13, 4); }, {x - 13, 0}, rgb(220, 170, 90),
             {x + 13, 0}, rgb(100, 60, 26));
  candle(cr, {x, baseY - 42}, 11, 34);
  // Drips of wax.
  disc(cr, {x - 4, baseY - 62}, 2, rgb(230, 214, 180));
  strokeLine(cr, {{x - 4, baseY - 62}, {x - 4, baseY - 52}}, 2.5, rgb(230, 214, 180));
}

void cobweb(cairo_t* cr, Pt corner, double size, int dx, int dy) {
  const Colour silk = rgb(190, 190, 220, 0.45);
  for (int k = 0; k <= 5; ++k) {
    const double a = k * (kPi / 2) / 5;
    strokeLine(cr, {corner, {corner.x + dx * size * std::cos(a), corner.y + dy * size * std::sin(a)}}, 0.8, silk);
  }
  for (int r = 1; r <= 4; ++r) {
    std::vector<Pt> pts;
    for (int k = 0; k <= 5; ++k) {
      const double a = k * (kPi / 2) / 5;
      const double rr = size * r / 4.5 * (k % 5 == 0 ? 1.0 : 0.9);
      pts.push_back({corner.x + dx * rr * std::cos(a), corner.y + dy * rr * std::sin(a)});
    }
    strokeLine(cr, pts, 0.8, silk);
  }
}

void title(cairo_t* cr) {
  LetterStyle style{rgb(255, 226, 150), rgb(200, 70, 30), rgb(12, 4, 10), 2.5, rgb(255, 120, 40, 0.55), 5};
  drawLettering(cr, Font::Title, 50, "GloomGrid", 176, 52, Align::Centre, style);
}
}  // namespace

Image background() {
  Canvas canvas(800, 600);
  cairo_t* cr = canvas.cr();
  wallpaper(cr);
  cobweb(cr, {800, 0}, 70, -1, 1);
  cobweb(cr, {0, 600 - 28}, 40, 1, -1);
  title(cr);
  scorePanel(cr);
  levelNamePlaque(cr);
  buttonBoard(cr);
  candleStand(cr, 52, 324);
  boardFrame(cr);
  thumbnailFrame(cr);
  levelPanel(cr);
  timerTube(cr);
  // The idle timer cap and game-over strip belong to the room as well.
  Image room = canvas.toImage(false);
  room.overlay(timerStart(false), 722, 269);
  room.overlay(gameOverFrame(0), 471, 515);
  ditherTo565(room);
  return room;
}

}  // namespace gg
