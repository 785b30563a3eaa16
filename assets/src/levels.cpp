#include "levels.hpp"

#include <stdexcept>

namespace gg {

namespace {
// Must stay in step with the game's own table of solved boards.
constexpr std::array<Layout, kLevels> kLayouts = {{
    {1, 1, 1, 1, 1, 1, 3, 1, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
    {2, 2, 5, 2, 2, 2, 2, 5, 2, 2, 2, 2, 5, 2, 2, 2, 2, 6, 2, 2, 2, 2, 2, 2, 2},
    {1, 1, 1, 1, 1, 1, 7, 8, 9, 1, 1, 1, 1, 10, 1, 1, 13, 12, 11, 1, 1, 1, 1, 1, 1},
    {2, 2, 2, 2, 2, 2, 2, 14, 2, 2, 1, 1, 1, 1, 1, 15, 15, 16, 15, 15, 2, 2, 2, 2, 2},
    {1, 1, 17, 1, 1, 18, 19, 20, 19, 21, 1, 1, 20, 1, 1, 1, 1, 22, 1, 1, 1, 23, 22, 24, 1},
    {2, 25, 1, 26, 2, 2, 27, 28, 29, 2, 2, 30, 1, 31, 2, 2, 32, 1, 33, 2, 2, 34, 1, 35, 2},
    {1, 36, 36, 36, 1, 1, 2, 2, 2, 1, 37, 38, 39, 38, 40, 1, 41, 42, 43, 1, 1, 44, 2, 45, 1},
    {2, 2, 51, 52, 2, 46, 47, 48, 49, 52, 2, 51, 52, 51, 48, 51, 48, 49, 48, 2, 49, 50, 2, 2, 2},
    {1, 53, 54, 55, 1, 56, 2, 2, 2, 57, 2, 58, 59, 60, 2, 1, 2, 61, 2, 1, 1, 62, 2, 63, 1},
    {2, 2, 2, 2, 2, 2, 64, 2, 65, 66, 2, 67, 68, 69, 70, 2, 56, 71, 72, 73, 2, 2, 74, 75, 2},
    {76, 77, 2, 78, 79, 80, 81, 2, 81, 82, 2, 2, 83, 2, 2, 1, 84, 84, 84, 1, 1, 62, 2, 63, 1},
    {2, 85, 1, 86, 2, 87, 88, 1, 88, 89, 90, 1, 88, 1, 91, 92, 93, 93, 93, 94, 95, 96, 1, 97, 98},
    {99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
     114, 115, 116, 117, 118, 1, 119, 120, 121, 1},
}};

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
  return kLayouts[level - 1];
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
