// The solved pictures of the 13 levels: for each level, the one-based tile
// number of every grid cell in row-major order (tile n is frame n - 1 of the
// tile set). Equal numbers are interchangeable tiles; no row holds 0.
//
// The one copy of the table: the board checks solutions against it and the art
// generator paints the tile set from it, so it stays free of Windows headers.
#pragma once

#include <cstdint>

constexpr int32_t kLevelCount = 13;
constexpr int32_t kGridCells = 25;

// Indexed by the 0-based level (the row of level 1 is index 0).
extern const int32_t LevelLayouts[kLevelCount][kGridCells];
