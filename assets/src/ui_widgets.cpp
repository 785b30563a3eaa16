// Buttons, digit fonts, the board's selection marker and move arrows, and the
// pieces of the timer bar.
#include <cmath>

#include "scene_kit.hpp"
#include "ui.hpp"

namespace gg {
using namespace kit;

Image sideBySide(const std::vector<Image>& frames) {
  int w = 0;
  for (const Image& f : frames) w += f.width();
  Image out(w, frames.front().height(), {}, true);
  int x = 0;
  for (const Image& f : frames) {
    out.paste(f, x, 0);
    x += f.width();
  }
  return out;
}

Image stacked(const std::vector<Image>& frames) {
  int h = 0;
  for (const Image& f : frames) h += f.height();
  Image out(frames.front().width(), h, {}, true);
  int y = 0;
  for (const Image& f : frames) {
    out.paste(f, 0, y);
    y += f.height();
  }
  return out;
}

namespace {
void plateShape(cairo_t* cr, double x, double y, double w, double h, double notch) {
  // Gothic plate: corners cut at 45 degrees.
  polygon(cr, {{x + notch, y}, {x + w - notch, y}, {x + w, y + notch}, {x + w, y + h - notch},
               {x + w - notch, y + h}, {x + notch, y + h}, {x, y + h - notch}, {x, y + notch}});
}
}  // namespace

Image buttonFace(const std::string& label, ButtonState state) {
  Canvas canvas(88, 57);
  cairo_t* cr = canvas.cr();
  const bool over = state == ButtonState::Over, pressed = state == ButtonState::Pressed;
  auto plate = [](cairo_t* g) { plateShape(g, 1, 1, 86, 55, 9); };
  // Dark outer rim, then gold bevel, then the face.
  cairo_new_path(cr);
  plate(cr);
  setColour(cr, rgb(12, 8, 16));
  cairo_fill(cr);
  auto bevel = [](cairo_t* g) { plateShape(g, 3, 3, 82, 51, 8); };
  fillLinear(cr, bevel, {0, 3}, pressed ? rgb(110, 74, 36) : rgb(236, 186, 100), {0, 54},
             pressed ? rgb(200, 150, 80) : rgb(110, 70, 30));
  auto face = [](cairo_t* g) { plateShape(g, 6, 6, 76, 45, 6); };
  const Colour top = pressed ? rgb(40, 20, 44) : over ? rgb(120, 52, 110) : rgb(78, 34, 80);
  const Colour bottom = pressed ? rgb(70, 36, 70) : over ? rgb(60, 20, 60) : rgb(36, 14, 40);
  fillLinear(cr, face, {0, 6}, top, {0, 51}, bottom);
  if (over) {
    cairo_save(cr);
    cairo_new_path(cr);
    face(cr);
    cairo_clip(cr);
    halo(cr, {44, 30}, 44, rgb(255, 150, 50, 0.35));
    cairo_restore(cr);
  }
  const double dy = pressed ? 1.5 : 0;
  LetterStyle style;
  style.top = over ? rgb(255, 244, 190) : pressed ? rgb(210, 170, 110) : rgb(246, 210, 130);
  style.bottom = over ? rgb(255, 170, 60) : pressed ? rgb(150, 100, 50) : rgb(214, 140, 60);
  style.outline = rgb(20, 8, 16);
  style.outlineWidth = 1.6;
  if (over) {
    style.glow = rgb(255, 140, 40, 0.9);
    style.glowRadius = 3;
  }
  double size = 20;
  while (textWidth(cr, Font::SerifBold, size, label) > 66) size -= 0.5;
  drawLettering(cr, Font::SerifBold, size, label, 44, 35 + dy, Align::Centre, style);
  return canvas.finish(true);
}

Image buttonStrip(const std::string& label) {
  return sideBySide({buttonFace(label, ButtonState::Normal), buttonFace(label, ButtonState::Over),
                     buttonFace(label, ButtonState::Pressed)});
}

Image levelArrowStrip(bool up) {
  std::vector<Image> states;
  for (int s = 0; s < 3; ++s) {
    Canvas canvas(40, 40);
    cairo_t* cr = canvas.cr();
    const bool over = s == 1, pressed = s == 2;
    disc(cr, {20, 20}, 19.5, rgb(12, 8, 16));
    fillLinear(cr, [](cairo_t* g) { cairo_arc(g, 20, 20, 17.5, 0, 2 * kPi); }, {0, 2},
               pressed ? rgb(110, 74, 36) : rgb(236, 186, 100), {0, 38}, pressed ? rgb(200, 150, 80) : rgb(110, 70, 30));
    fillLinear(cr, [](cairo_t* g) { cairo_arc(g, 20, 20, 15, 0, 2 * kPi); }, {0, 5},
               over ? rgb(120, 52, 110) : pressed ? rgb(40, 20, 44) : rgb(78, 34, 80), {0, 35},
               over ? rgb(60, 20, 60) : pressed ? rgb(70, 36, 70) : rgb(36, 14, 40));
    if (over) halo(cr, {20, 20}, 16, rgb(255, 150, 50, 0.4));
    const double d = pressed ? 1 : 0;
    auto arrow = [up, d](cairo_t* g) {
      if (up) polygon(g, {{20, 9 + d}, {30, 23 + d}, {24, 23 + d}, {24, 30 + d}, {16, 30 + d}, {16, 23 + d}, {10, 23 + d}});
      else polygon(g, {{20, 31 + d}, {30, 17 + d}, {24, 17 + d}, {24, 10 + d}, {16, 10 + d}, {16, 17 + d}, {10, 17 + d}});
    };
    cairo_new_path(cr);
    arrow(cr);
    setColour(cr, rgb(20, 8, 16));
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_new_path(cr);
    fillLinear(cr, arrow, {0, 9}, over ? rgb(255, 244, 190) : rgb(246, 210, 130), {0, 31},
               over ? rgb(255, 170, 60) : rgb(200, 130, 50));
    states.push_back(canvas.finish(true));
  }
  return sideBySide(states);
}

namespace {
Image digitStrip(int cellW, int cellH, double size, double baseline, const LetterStyle& style) {
  std::vector<Image> digits;
  for (int d = 0; d < 10; ++d) {
    Canvas canvas(cellW, cellH);
    drawLettering(canvas.cr(), Font::Digits, size, std::to_string(d), cellW / 2.0, baseline, Align::Centre, style);
    digits.push_back(canvas.finish(true));
  }
  return sideBySide(digits);
}
}  // namespace

Image scoreFont() {
  LetterStyle style{rgb(255, 232, 160), rgb(226, 120, 40), rgb(24, 8, 12), 1.7};
  return digitStrip(18, 28, 24, 24, style);
}

Image roundCompleteFont() {
  LetterStyle style{rgb(255, 250, 200), rgb(240, 110, 30), rgb(30, 6, 10), 2.6};
  return digitStrip(32, 40, 36, 35, style);
}

Image selectionMarker() {
  Canvas canvas(80, 80);
  cairo_t* cr = canvas.cr();
  auto ring = [](cairo_t* g) {
    roundedRect(g, 1, 1, 78, 78, 8);
    roundedRect(g, 6, 6, 68, 68, 5);
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_new_path(cr);
  ring(cr);
  setColour(cr, rgb(30, 10, 10));
  cairo_fill(cr);
  auto inner = [](cairo_t* g) {
    roundedRect(g, 2.5, 2.5, 75, 75, 7);
    roundedRect(g, 4.5, 4.5, 71, 71, 5);
  };
  fillLinear(cr, inner, {0, 0}, rgb(255, 236, 150), {80, 80}, rgb(240, 110, 30));
  // Corner flourishes.
  for (int cx : {0, 1}) {
    for (int cy : {0, 1}) {
      const double x = cx ? 72 : 8, y = cy ? 72 : 8;
      disc(cr, {x, y}, 6, rgb(30, 10, 10));
      disc(cr, {x, y}, 4.5, rgb(255, 200, 90));
      disc(cr, {x, y}, 2, rgb(160, 40, 20));
    }
  }
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  return canvas.finish(true);
}

Image moveArrows() {
  std::vector<Image> frames;
  for (int dir = 0; dir < 4; ++dir) {  // up, right, down, left
    Canvas canvas(80, 80);
    cairo_t* cr = canvas.cr();
    cairo_translate(cr, 40, 40);
    cairo_rotate(cr, dir * kPi / 2);
    auto arrow = [](cairo_t* g) {
      polygon(g, {{0, -30}, {24, -4}, {10, -4}, {10, 26}, {-10, 26}, {-10, -4}, {-24, -4}});
    };
    cairo_new_path(cr);
    arrow(cr);
    setColour(cr, rgb(30, 10, 10));
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_new_path(cr);
    fillLinear(cr, arrow, {0, -30}, rgb(255, 244, 180), {0, 26}, rgb(230, 100, 30));
    strokeLine(cr, {{0, -24}, {-17, -6}}, 1.5, rgb(255, 255, 230, 0.8));
    frames.push_back(canvas.finish(true));
  }
  return sideBySide(frames);
}

namespace {
const Colour kOoze = rgb(110, 230, 70);

void skullCap(cairo_t* cr, bool active) {
  // Brass collar where the tube starts (tube spans x 8..36 here).
  fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 5, 29, 34, 9); }, {5, 0}, rgb(120, 80, 30), {39, 0},
             rgb(240, 190, 100));
  strokeLine(cr, {{5, 33}, {39, 33}}, 1, rgb(70, 40, 20));
  auto skull = [](cairo_t* g) {
    ellipse(g, {22, 14}, 13, 12);
    cairo_rectangle(g, 15, 18, 14, 11);
  };
  fillLinear(cr, skull, {10, 2}, rgb(240, 232, 210), {34, 28}, rgb(150, 140, 120));
  const Colour eye = active ? rgb(150, 255, 110) : rgb(20, 16, 24);
  for (double x : {17.0, 27.0}) {
    if (active) halo(cr, {x, 15}, 6, rgb(120, 255, 80, 0.6));
    ellipse(cr, {x, 15}, 3.6, 3.2);
    setColour(cr, eye);
    cairo_fill(cr);
  }
  polygon(cr, {{22, 19}, {20, 23}, {24, 23}});
  setColour(cr, rgb(40, 30, 30));
  cairo_fill(cr);
  for (double x : {17.5, 20.5, 23.5, 26.5}) strokeLine(cr, {{x, 25}, {x, 29}}, 0.8, rgb(60, 50, 40));
  if (active) {
    fillLinear(cr, [](cairo_t* g) { cairo_rectangle(g, 19, 25, 6, 13); }, {19, 0}, shade(kOoze, 0.6), {25, 0},
               kOoze);
  }
}
}  // namespace

Image timerStart(bool active) {
  Canvas canvas(44, 38);
  skullCap(canvas.cr(), active);
  return canvas.finish(true);
}

Image timeUnit() {
  Canvas canvas(20, 2);
  cairo_t* cr = canvas.cr();
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 20, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.12, 0.36, 0.12);
  cairo_pattern_add_color_stop_rgb(p, 0.3, 0.62, 0.96, 0.46);
  cairo_pattern_add_color_stop_rgb(p, 0.55, 0.36, 0.82, 0.26);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.28, 0.1);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  return canvas.finish(true);
}

Image timeDrop() {
  Canvas canvas(30, 12);
  cairo_t* cr = canvas.cr();
  auto drop = [](cairo_t* g) {
    cairo_move_to(g, 5, 0);
    cairo_line_to(g, 25, 0);
    cairo_curve_to(g, 25, 4, 20, 5, 17, 5);
    cairo_curve_to(g, 17, 8, 18, 11, 15, 11.5);
    cairo_curve_to(g, 12, 11, 13, 8, 13, 5);
    cairo_curve_to(g, 10, 5, 5, 4, 5, 0);
    cairo_close_path(g);
  };
  fillLinear(cr, drop, {5, 0}, rgb(40, 110, 40), {25, 0}, rgb(150, 250, 110));
  disc(cr, {14, 8}, 1, rgb(230, 255, 220));
  return canvas.finish(true);
}

Image gameOverFrame(int frame) {
  Canvas canvas(296, 43);
  cairo_t* cr = canvas.cr();
  const double progress = frame / 34.0;
  plaque(cr, 0, 0, 296, 43, 7);
  // The channel the ooze runs along, from under the tube to the left end.
  const double channelY = 31, right = 288, left = 16;
  roundedRect(cr, left - 2, channelY - 4, right - left + 4, 8, 4);
  setColour(cr, rgb(10, 6, 14));
  cairo_fill(cr);
  const std::string text = "TIME IS RUNNING OUT";
  cairo_new_path(cr);
  textPath(cr, Font::SerifBold, 14, text, 148, 21, Align::Centre);
  setColour(cr, rgb(20, 12, 26));
  cairo_fill(cr);
  if (frame > 0) {
    const double front = right - (right - left) * progress;
    fillLinear(cr, [&](cairo_t* g) { roundedRect(g, front, channelY - 3, right - front, 6, 3); }, {0, channelY - 3},
               rgb(180, 255, 140), {0, channelY + 3}, rgb(40, 140, 40));
    disc(cr, {front + 1, channelY}, 3.2, rgb(150, 250, 110));
    // Letters over the ooze light up, the last seconds burn red.
    cairo_save(cr);
    cairo_rectangle(cr, front, 0, 296 - front, 43);
    cairo_clip(cr);
    const bool late = frame >= 28 && frame % 2 == 0;
    LetterStyle lit{late ? rgb(255, 220, 180) : rgb(220, 255, 190), late ? rgb(255, 60, 40) : rgb(90, 220, 70),
                    rgb(16, 10, 20), 1.2, late ? rgb(255, 60, 30, 0.8) : rgb(110, 255, 80, 0.7), 2.5};
    drawLettering(cr, Font::SerifBold, 14, text, 148, 21, Align::Centre, lit);
    cairo_restore(cr);
  }
  return canvas.finish(true);
}

}  // namespace gg
