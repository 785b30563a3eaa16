#pragma once
// The 13 level pictures: which tile lies in each cell of the solved 5 x 5
// board, and the scenes painted to make those tiles.
#include <array>
#include <string>

#include "canvas.hpp"
#include "game/level_layouts.h"

namespace gg {

inline constexpr int kLevels = kLevelCount;
inline constexpr int kCell = 80;
inline constexpr int kBoard = 5 * kCell;
inline constexpr int kTileCount = 121;
inline constexpr int kPlainDark = 1;  // tile numbers of the two plain tiles
inline constexpr int kPlainSky = 2;

// The game's own table of solved boards, one row per level.
using Layout = int32_t[kGridCells];
const Layout& layout(int level);  // level 1..13
const std::string& levelTitle(int level);

// Paints the solved picture of a level onto a 400 x 400 canvas.
void paintScene(int level, cairo_t* cr);

// Scene painters, one per level, in three files.
void paintEyes(cairo_t* cr);
void paintSpider(cairo_t* cr);
void paintSerpent(cairo_t* cr);
void paintBatAndFence(cairo_t* cr);
void paintScarecrow(cairo_t* cr);
void paintOwl(cairo_t* cr);
void paintGhostWindow(cairo_t* cr);
void paintBelfryBats(cairo_t* cr);
void paintVampire(cairo_t* cr);
void paintBlackCat(cairo_t* cr);
void paintCemeteryGate(cairo_t* cr);
void paintPumpkin(cairo_t* cr);
void paintMansion(cairo_t* cr);

}  // namespace gg
