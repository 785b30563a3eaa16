// The puzzle: a 5 x 5 grid of picture tiles and four empty pockets beside the
// middles of its edges. The board deals a level's picture at random, turns
// clicks into one-cell slides with a "click" or "slide" sound, draws the tiles,
// the selection marker and the direction arrows, and tells whether the picture
// is whole again. It knows nothing of time, score or game state. Main thread
// only.
//
// Drawing uses the tile set, arrows and selection-marker sprites of the global
// game screen and the global back surface; a sprite that is not loaded is
// skipped.
#pragma once

#include <cstdint>

class PtrArray;

// Cells 0 to 24 are the grid in row-major order; these are the pockets.
enum BoardPocket : int32_t { PocketTop = 25, PocketLeft = 26, PocketRight = 27, PocketBottom = 28 };

// The direction a tile travels; a set of directions is their bitwise OR.
enum MoveDirection : int32_t { MoveUp = 1, MoveDown = 2, MoveLeft = 4, MoveRight = 8 };

constexpr int32_t kCellSize = 80;
constexpr int32_t kBoardCells = 29;
constexpr int32_t kEmptyCell = -1;

struct BoardCell {
  int32_t x;     // top-left pixel on the 800 x 600 screen
  int32_t y;
  int32_t tile;  // 0-based frame of the tile set, or kEmptyCell
};

struct MoveOption {
  int32_t direction;
  int32_t destination;  // a cell index
};

class TileBoard {
 public:
  TileBoard();
  ~TileBoard();
  TileBoard(const TileBoard&) = delete;
  TileBoard& operator=(const TileBoard&) = delete;

  // A fresh shuffled board for the 0-based level (0 to 12), never already
  // solved, with empty pockets and no selection. 1 when dealt; 0 for a level
  // outside the table, which leaves the board as it was.
  int32_t NewBoard(int32_t newLevel);
  // Deals the level's tiles into the grid at random: two rand() draws per
  // attempt, cell then pool entry, each modulo 25. Used by NewBoard.
  void Shuffle(int32_t newLevel);
  // 1 when every grid cell holds its picture's tile.
  int32_t IsSolved() const;
  // The cell whose 81 x 81 box (edges inclusive) holds the point, the lower
  // number winning on a shared border; -1 for none.
  int32_t CellAt(int32_t x, int32_t y) const;
  // The OR of the directions in which the tile of `cell` could slide into an
  // empty neighbour; one MoveOption per move is appended to `list` (which may
  // be null). A cell that is not on the board has no moves.
  int32_t FindMoves(int32_t cell, PtrArray* list) const;
  // Once per frame of play with this frame's mouse position and buttons (bit 0
  // the left button): draws the arrows of a selection, and on a click moves,
  // selects or cancels.
  void HandleMouse(int32_t x, int32_t y, int32_t buttons);
  // Every tile onto the back surface, edge tiles trimmed of their overhang.
  void DrawTiles();
  void DrawSelection(int32_t cell);

  // The remembered button value is one for the whole program and starts at -1,
  // so the first call counts a held button as a click. Tests start it afresh.
  static void ResetPreviousButtonsForTest();
  // Tests hear the sounds the board asks for through this; null in the game.
  static void (*soundHookForTest)(const char* name);

  BoardCell cells[kBoardCells];
  int32_t level;
  int32_t selecting;
  int32_t selectedCell;
  PtrArray* moves;  // owned MoveOption records; created on first use

 private:
  void ClearMoves();
  void MoveTile(int32_t from, int32_t to);
};
