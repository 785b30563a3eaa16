#include "levels.hpp"

#include <stdexcept>

namespace gg {

namespace {
const std::array<std::string, kLevels> kTitles = {
    "Eyes in the Dark", "The Spider's Thread", "The Serpent", "Bat over the Fence",
    "The Scarecrow",    "The Owl",             "The Ghost at the Window", "The Belfry Bats",
    "The Count",      "The Black Cat",       "The Cemetery Gate", "The Jack-o'-Lantern",
    "Gloom Manor",
};

using Painter = void (*)(cairo_t*);
constexpr std::array<Painter, kLevels> kPainters = {
    paintEyes,      paintSpider,  paintSerpent,      paintBatAndFence, paintScarecrow,
    paintOwl,       paintGhostWindow, paintBelfryBats, paintVampire,   paintBlackCat,
    paintCemeteryGate, paintPumpkin, paintMansion,
};
}  // namespace

const Layout& layout(int level) {
  if (level < 1 || level > kLevels) throw std::out_of_range("level");
  return LevelLayouts[level - 1];
}

const std::string& levelTitle(int level) { return kTitles.at(level - 1); }

void paintScene(int level, cairo_t* cr) {
  const Layout& cells = layout(level);
  // Plain cells get their flat colour; the other cells start from the
  // colour the scene is set in, and the painter draws everything else.
  constexpr std::array<int, kLevels> kSetting = {1, 2, 1, 2, 1, 2, 1, 2, 2, 2, 2, 1, 1};
  for (int i = 0; i < 25; ++i) {
    int tile = cells[i];
    if (tile != kPlainDark && tile != kPlainSky) tile = kSetting[level - 1];
    if (tile == kPlainDark) setColour(cr, palette::kNight);
    else setColour(cr, palette::kSky);
    cairo_rectangle(cr, (i % 5) * kCell, (i / 5) * kCell, kCell, kCell);
    cairo_fill(cr);
  }
  cairo_save(cr);
  kPainters[level - 1](cr);
  cairo_restore(cr);
}

}  // namespace gg
