// Popups the game shows over the board, the how-to-play page and the level
// titles.
#include <cmath>
#include <sstream>

#include "levels.hpp"
#include "scene_kit.hpp"
#include "ui.hpp"

namespace gg {
using namespace kit;

namespace {
const LetterStyle kHeading{rgb(255, 230, 160), rgb(214, 90, 40), rgb(14, 4, 10), 2.2, rgb(255, 120, 40, 0.5), 4};
const Colour kText = rgb(236, 222, 200);

// Greedy word wrap; returns the baseline after the last line.
double paragraph(cairo_t* cr, Font font, double size, const std::string& text, double x, double y, double width,
                 double lineHeight, Colour colour, Align align = Align::Left) {
  std::istringstream words(text);
  std::string word, line;
  auto flush = [&](const std::string& l) {
    cairo_new_path(cr);
    const double ax = align == Align::Centre ? x + width / 2 : align == Align::Right ? x + width : x;
    textPath(cr, font, size, l, ax, y, align);
    setColour(cr, colour);
    cairo_fill(cr);
    y += lineHeight;
  };
  while (words >> word) {
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && textWidth(cr, font, size, candidate) > width) {
      flush(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) flush(line);
  return y;
}

// The popup's body: a dark plaque whose corners are cut into the key.
void popupBody(cairo_t* cr, double w, double h) {
  plaque(cr, 0, 0, w, h, 14);
  strokeLine(cr, {{12, 8}, {w - 12, 8}}, 1, rgb(200, 150, 80, 0.5));
  strokeLine(cr, {{12, h - 8}, {w - 12, h - 8}}, 1, rgb(200, 150, 80, 0.5));
}

void slot(cairo_t* cr, double x, double y, double w, double h) {
  roundedRect(cr, x, y, w, h, 6);
  setColour(cr, rgb(14, 6, 16));
  cairo_fill(cr);
  roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 6);
  setColour(cr, rgb(150, 100, 60, 0.7));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void skull(cairo_t* cr, Pt c, double s) {
  auto shape = [=](cairo_t* g) {
    ellipse(g, {c.x, c.y}, 10 * s, 9 * s);
    cairo_rectangle(g, c.x - 5.5 * s, c.y + 4 * s, 11 * s, 7 * s);
  };
  fillLinear(cr, shape, {c.x - 10 * s, c.y - 9 * s}, rgb(244, 236, 214), {c.x + 10 * s, c.y + 11 * s},
             rgb(150, 140, 120));
  for (int side : {-1, 1}) {
    ellipse(cr, {c.x + side * 4 * s, c.y + 1 * s}, 2.8 * s, 2.6 * s);
    setColour(cr, rgb(30, 10, 20));
    cairo_fill(cr);
  }
  polygon(cr, {{c.x, c.y + 4 * s}, {c.x - 1.5 * s, c.y + 7 * s}, {c.x + 1.5 * s, c.y + 7 * s}});
  cairo_fill(cr);
  for (int k = -2; k <= 2; ++k) strokeLine(cr, {{c.x + k * 2 * s, c.y + 8 * s}, {c.x + k * 2 * s, c.y + 11 * s}}, 0.7, rgb(80, 60, 50));
}
}  // namespace

Image tryAgainPopup() {
  Canvas canvas(196, 152);
  cairo_t* cr = canvas.cr();
  popupBody(cr, 196, 152);
  drawLettering(cr, Font::Title, 34, "Time's up!", 98, 48, Align::Centre, kHeading);
  goldRule(cr, 30, 166, 62);
  // An hourglass run dry.
  auto glass = [](cairo_t* g) { polygon(g, {{84, 72}, {112, 72}, {100, 90}, {112, 108}, {84, 108}, {96, 90}}); };
  fillLinear(cr, glass, {84, 0}, rgb(160, 180, 210, 0.7), {112, 0}, rgb(60, 70, 100, 0.7));
  polygon(cr, {{88, 108}, {108, 108}, {98, 98}});
  setColour(cr, rgb(230, 180, 90));
  cairo_fill(cr);
  strokeLine(cr, {{80, 71}, {116, 71}}, 3, rgb(110, 70, 30));
  strokeLine(cr, {{80, 109}, {116, 109}}, 3, rgb(110, 70, 30));
  paragraph(cr, Font::SerifItalic, 18, "Try again...", 0, 134, 196, 20, kText, Align::Centre);
  return canvas.finish(true);
}

Image roundCompletePopup() {
  // The game writes the level number centred on x = 154 at y = 57 and the
  // time bonus at y = 220, both in 40-pixel-high digits: those bands stay calm.
  Canvas canvas(308, 340);
  cairo_t* cr = canvas.cr();
  popupBody(cr, 308, 340);
  drawLettering(cr, Font::Title, 34, "Level", 154, 46, Align::Centre, kHeading);
  slot(cr, 104, 52, 100, 50);
  drawLettering(cr, Font::Title, 40, "complete!", 154, 144, Align::Centre, kHeading);
  goldRule(cr, 40, 268, 162);
  skull(cr, {60, 190}, 1.2);
  skull(cr, {248, 190}, 1.2);
  LetterStyle small = kHeading;
  small.glowRadius = 0;
  drawLettering(cr, Font::Title, 24, "Time bonus", 154, 204, Align::Centre, small);
  slot(cr, 6, 214, 296, 52);
  paragraph(cr, Font::SerifItalic, 17, "The next room of the manor awaits...", 24, 294, 260, 20, kText,
            Align::Centre);
  return canvas.finish(true);
}

Image congratsPopup(const Image& finalScene) {
  Canvas canvas(384, 376);
  cairo_t* cr = canvas.cr();
  popupBody(cr, 384, 376);
  drawLettering(cr, Font::Title, 40, "Congratulations!", 192, 52, Align::Centre, kHeading);
  // The manor, freed of its gloom.
  cairo_new_path(cr);
  cairo_rectangle(cr, 112, 68, 160, 160);
  setColour(cr, rgb(220, 170, 90));
  cairo_fill(cr);
  cairo_surface_t* scene = surfaceFromImage(finalScene);
  cairo_save(cr);
  cairo_translate(cr, 115, 71);
  cairo_scale(cr, 154.0 / finalScene.width(), 154.0 / finalScene.height());
  cairo_set_source_surface(cr, scene, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(scene);
  paragraph(cr, Font::Serif, 19,
            "You have pieced together every haunted picture of Gloom Manor, and its ghosts bow before you.", 30,
            262, 324, 23, kText, Align::Centre);
  paragraph(cr, Font::SerifItalic, 16, "Click to carry on", 30, 354, 324, 20, rgb(220, 170, 100), Align::Centre);
  return canvas.finish(true);
}

Image hallOfFamePopup() {
  Canvas canvas(136, 226);
  cairo_t* cr = canvas.cr();
  popupBody(cr, 136, 226);
  drawLettering(cr, Font::Title, 28, "Hall", 68, 40, Align::Centre, kHeading);
  drawLettering(cr, Font::Title, 28, "of Fame", 68, 70, Align::Centre, kHeading);
  // A goblet with a skull.
  auto cup = [](cairo_t* g) {
    cairo_move_to(g, 40, 88);
    cairo_line_to(g, 96, 88);
    cairo_curve_to(g, 96, 120, 84, 132, 72, 134);
    cairo_line_to(g, 74, 150);
    cairo_line_to(g, 88, 158);
    cairo_line_to(g, 48, 158);
    cairo_line_to(g, 62, 150);
    cairo_line_to(g, 64, 134);
    cairo_curve_to(g, 52, 132, 40, 120, 40, 88);
    cairo_close_path(g);
  };
  fillLinear(cr, cup, {40, 0}, rgb(250, 210, 120), {96, 0}, rgb(130, 80, 30));
  skull(cr, {68, 106}, 1.0);
  paragraph(cr, Font::SerifItalic, 15, "Your name is written in the book!", 10, 180, 116, 16, kText, Align::Centre);
  return canvas.finish(true);
}

Image howToPlay() {
  const int w = 600, h = 460;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  popupBody(cr, w, h);
  drawLettering(cr, Font::Title, 44, "How to Play", w / 2.0, 56, Align::Centre, kHeading);
  goldRule(cr, 60, w - 60, 72);
  const Colour bullet = rgb(240, 170, 80);
  double y = 100;
  const char* rules[] = {
      "Each level is a haunted picture cut into 25 tiles and shuffled. Put it back together before time runs out.",
      "Click a tile beside an empty space to slide it there. When it could go more than one way, arrows appear: "
      "click where it should go, or click the tile again to change your mind.",
      "The four pockets beside the board are empty spaces too. The small picture shows the solved board.",
      "A solved picture scores its level number \xC3\x97 10 000, plus a time bonus that doubles every level. "
      "When the ooze fills the tube, time is up.",
  };
  for (const char* rule : rules) {
    disc(cr, {30, y - 6}, 3.5, bullet);
    y = paragraph(cr, Font::Serif, 17, rule, 42, y, 330, 20, kText) + 8;
  }
  // The buttons with what they do.
  struct Entry {
    const char* label;
    const char* text;
  };
  const Entry entries[] = {{"New Game", "Start the level"},
                           {"Help", "This page"},
                           {"Menu", "Back to the menu"},
                           {"Exit", "Leave the manor"}};
  double by = 94;
  for (const Entry& e : entries) {
    cairo_surface_t* face = surfaceWithAlpha(buttonFace(e.label, ButtonState::Normal));
    cairo_set_source_surface(cr, face, 390, by);
    cairo_paint(cr);
    cairo_surface_destroy(face);
    paragraph(cr, Font::SerifItalic, 16, e.text, 484, by + 26, 110, 18, kText);
    by += 66;
  }
  Image arrows = levelArrowStrip(true).crop(0, 0, 40, 40);
  cairo_surface_t* up = surfaceWithAlpha(arrows);
  cairo_set_source_surface(cr, up, 414, by + 6);
  cairo_paint(cr);
  cairo_surface_destroy(up);
  paragraph(cr, Font::SerifItalic, 16, "Choose the level", 484, by + 30, 110, 18, kText);
  paragraph(cr, Font::SerifItalic, 16, "Click anywhere to close this page", 0, h - 22, w, 20, rgb(220, 170, 100),
            Align::Centre);
  return canvas.finish(true);
}

Image levelName(int level) {
  Canvas canvas(189, 78);
  cairo_t* cr = canvas.cr();
  const std::string& name = levelTitle(level);
  LetterStyle style{rgb(255, 232, 170), rgb(220, 110, 40), rgb(14, 4, 10), 2.0, rgb(255, 120, 40, 0.45), 3};
  // One line when it fits, otherwise two lines split near the middle.
  const double size = 30;
  if (textWidth(cr, Font::Title, size, name) <= 166) {
    drawLettering(cr, Font::Title, size, name, 94.5, 50, Align::Centre, style);
  } else {
    size_t best = std::string::npos;
    for (size_t i = name.find(' '); i != std::string::npos; i = name.find(' ', i + 1)) {
      if (best == std::string::npos || std::abs(static_cast<double>(i) - name.size() / 2.0) <
                                           std::abs(static_cast<double>(best) - name.size() / 2.0))
        best = i;
    }
    std::string first = name.substr(0, best), second = name.substr(best + 1);
    double s = 28;
    while (std::max(textWidth(cr, Font::Title, s, first), textWidth(cr, Font::Title, s, second)) > 170) s -= 1;
    drawLettering(cr, Font::Title, s, first, 94.5, 34, Align::Centre, style);
    drawLettering(cr, Font::Title, s, second, 94.5, 66, Align::Centre, style);
  }
  return canvas.finish(true);
}

}  // namespace gg
