#include "game/tile_board.h"

#include <cstdlib>

#include "core/globals.h"
#include "game/game_screen.h"
#include "game/level_layouts.h"
#include "gfx/ptr_array.h"
#include "screens/sprite.h"
#include "sound/sound_registry.h"

namespace {

constexpr int32_t kColumns = 5;
constexpr int32_t kGridLeft = 196;
constexpr int32_t kGridTop = 86;

struct PocketPlace {
  int32_t x;
  int32_t y;
};
// PocketTop, PocketLeft, PocketRight, PocketBottom.
constexpr PocketPlace kPocketPlaces[4] = {{356, 6}, {116, 246}, {596, 246}, {356, 486}};

// A pocket's one neighbour and the way a tile leaves the pocket into it.
struct PocketExit {
  int32_t neighbour;
  int32_t direction;
};
constexpr PocketExit kPocketExits[4] = {{2, MoveDown}, {10, MoveRight}, {14, MoveLeft}, {22, MoveUp}};

// The order tiles are drawn in: each pocket just before the grid row it sits
// beside, so that the tile drawn next covers its overhang.
constexpr int32_t kDrawOrder[kBoardCells] = {25, 0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  26, 10, 11, 12,
                                             13, 14, 27, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 28};

// How much of its frame a cell draws. A tile overhangs its cell by 6 pixels to
// the right and 17 downwards; at the board's outer edges the overhang would
// spill over the background, so those cells cut it off.
enum class Trim { Whole, Right, Bottom, Both };

Trim TrimOf(int32_t cell) {
  switch (cell) {
    case 4: case 9: case 14: case 19: case 22: case PocketTop:
      return Trim::Right;
    case PocketLeft:
      return Trim::Bottom;
    case 20: case 21: case 23: case 24: case PocketRight: case PocketBottom:
      return Trim::Both;
    default:
      return Trim::Whole;
  }
}

// Remembered across calls for the whole program; -1 so that a button already
// held at the very first call counts as a click.
constexpr int32_t kNoButtonsYet = -1;
int32_t previousButtons = kNoButtonsYet;

void PlaySound(const char* name) {
  if (TileBoard::soundHookForTest != nullptr) TileBoard::soundHookForTest(name);
  soundRegistry.PlayByName(name, 0xFFFF, 0);
}

// The arrows sprite's frames: up, right, down, left.
int32_t ArrowFrame(int32_t direction) {
  switch (direction) {
    case MoveUp: return 0;
    case MoveRight: return 1;
    case MoveDown: return 2;
    case MoveLeft: return 3;
    default: return -1;
  }
}

bool IsCell(int32_t cell) { return cell >= 0 && cell < kBoardCells; }

}  // namespace

void (*TileBoard::soundHookForTest)(const char* name) = nullptr;

TileBoard::TileBoard() : cells{}, level(0), selecting(0), selectedCell(0), moves(nullptr) {}

TileBoard::~TileBoard() {
  if (moves == nullptr) return;
  ClearMoves();
  delete moves;
}

void TileBoard::ResetPreviousButtonsForTest() { previousButtons = kNoButtonsYet; }

void TileBoard::ClearMoves() {
  if (moves == nullptr) {
    moves = new PtrArray;
    return;
  }
  for (int32_t i = moves->Count() - 1; i >= 0; --i) {
    MoveOption* option = moves->At<MoveOption>(i);
    moves->Remove(option);
    delete option;
  }
}

int32_t TileBoard::NewBoard(int32_t newLevel) {
  // Only levels in the table can be dealt; anything else would read past it.
  if (newLevel < 0 || newLevel >= kLevelCount) return 0;
  ClearMoves();
  selecting = 0;
  level = newLevel;
  // Pictures with many equal tiles can shuffle into their own solution.
  do {
    Shuffle(newLevel);
  } while (IsSolved());
  for (int32_t i = 0; i < kGridCells; ++i) {
    cells[i].x = (i % kColumns) * kCellSize + kGridLeft;
    cells[i].y = (i / kColumns) * kCellSize + kGridTop;
  }
  for (int32_t p = 0; p < 4; ++p) {
    cells[PocketTop + p] = {kPocketPlaces[p].x, kPocketPlaces[p].y, kEmptyCell};
  }
  return 1;
}

void TileBoard::Shuffle(int32_t newLevel) {
  if (newLevel < 0 || newLevel >= kLevelCount) return;
  int32_t pool[kGridCells];
  for (int32_t i = 0; i < kGridCells; ++i) {
    cells[i].tile = kEmptyCell;
    pool[i] = LevelLayouts[newLevel][i] - 1;
  }
  int32_t placed = 0;
  while (placed < kGridCells) {
    // Two draws per attempt, cell first; replays depend on this order.
    const int32_t a = rand() % kGridCells;
    const int32_t b = rand() % kGridCells;
    if (cells[a].tile != kEmptyCell || pool[b] == kEmptyCell) continue;
    cells[a].tile = pool[b];
    pool[b] = kEmptyCell;
    ++placed;
  }
}

int32_t TileBoard::IsSolved() const {
  for (int32_t i = 0; i < kGridCells; ++i) {
    if (cells[i].tile != LevelLayouts[level][i] - 1) return 0;
  }
  return 1;
}

int32_t TileBoard::CellAt(int32_t x, int32_t y) const {
  for (int32_t i = 0; i < kBoardCells; ++i) {
    // Both edges inclusive: a point on a shared border goes to the lower cell.
    if (cells[i].x <= x && x <= cells[i].x + kCellSize && cells[i].y <= y && y <= cells[i].y + kCellSize) return i;
  }
  return -1;
}

int32_t TileBoard::FindMoves(int32_t cell, PtrArray* list) const {
  int32_t found = 0;
  auto offer = [&](int32_t direction, int32_t destination) {
    if (cells[destination].tile != kEmptyCell) return;
    found |= direction;
    if (list != nullptr) list->Append(new MoveOption{direction, destination});
  };
  if (cell < 0 || cell >= kBoardCells) return 0;
  if (cell >= kGridCells) {
    const PocketExit& exit = kPocketExits[cell - PocketTop];
    offer(exit.direction, exit.neighbour);
    return found;
  }
  const int32_t row = cell / kColumns;
  const int32_t column = cell % kColumns;
  if (column > 0) offer(MoveLeft, cell - 1);
  if (column == 0 && row == 2) offer(MoveLeft, PocketLeft);
  if (column < 4) offer(MoveRight, cell + 1);
  if (column == 4 && row == 2) offer(MoveRight, PocketRight);
  if (row > 0) offer(MoveUp, cell - kColumns);
  if (row == 0 && column == 2) offer(MoveUp, PocketTop);
  if (row < 4) offer(MoveDown, cell + kColumns);
  if (row == 4 && column == 2) offer(MoveDown, PocketBottom);
  return found;
}

void TileBoard::MoveTile(int32_t from, int32_t to) {
  // Moving an empty cell carries the empty marker: nothing visible changes.
  cells[to].tile = cells[from].tile;
  cells[from].tile = kEmptyCell;
}

void TileBoard::HandleMouse(int32_t x, int32_t y, int32_t buttons) {
  if (moves == nullptr) moves = new PtrArray;
  if (selecting) {
    Sprite* arrows = gameScreen.arrows;
    for (int32_t i = 0; arrows != nullptr && i < moves->Count(); ++i) {
      const MoveOption* option = moves->At<MoveOption>(i);
      const int32_t frame = ArrowFrame(option->direction);
      if (frame >= 0) arrows->SetFrameIndex(frame);
      arrows->x = static_cast<float>(cells[option->destination].x);
      arrows->y = static_cast<float>(cells[option->destination].y);
      arrows->Draw(backSurface);
    }
    DrawSelection(selectedCell);
  }

  const bool click = buttons != previousButtons && (buttons & 1) != 0;
  previousButtons = buttons;
  if (!click) return;

  const int32_t c = CellAt(x, y);
  if (c == -1) return;
  if (!selecting) {
    if (FindMoves(c, moves) == 0) return;
    if (moves->Count() == 1) {
      PlaySound("slide");
      MoveTile(c, moves->At<MoveOption>(0)->destination);
      ClearMoves();
    } else {
      PlaySound("click");
      selecting = 1;
      selectedCell = c;
    }
    return;
  }
  if (c == selectedCell) {
    PlaySound("click");
    ClearMoves();
    selecting = 0;
    return;
  }
  for (int32_t i = 0; i < moves->Count(); ++i) {
    if (moves->At<MoveOption>(i)->destination != c) continue;
    PlaySound("slide");
    MoveTile(selectedCell, c);
    ClearMoves();
    selecting = 0;
    return;
  }
}

void TileBoard::DrawTiles() {
  Sprite* tiles = gameScreen.tileSet;
  if (tiles == nullptr) return;
  for (const int32_t cell : kDrawOrder) {
    const BoardCell& place = cells[cell];
    if (place.tile == kEmptyCell) continue;
    tiles->SetFrameIndex(place.tile);
    tiles->x = static_cast<float>(place.x);
    tiles->y = static_cast<float>(place.y);
    switch (TrimOf(cell)) {
      case Trim::Whole:
        tiles->Draw(backSurface);
        break;
      case Trim::Right:
        tiles->DrawRegion(0, 0, kCellSize, tiles->height, backSurface, place.x, place.y);
        break;
      case Trim::Bottom:
        tiles->DrawRegion(0, 0, tiles->width, kCellSize, backSurface, place.x, place.y);
        break;
      case Trim::Both:
        tiles->DrawRegion(0, 0, kCellSize, kCellSize, backSurface, place.x, place.y);
        break;
    }
  }
}

void TileBoard::DrawSelection(int32_t cell) {
  Sprite* marker = gameScreen.selectionMarker;
  if (marker == nullptr || !IsCell(cell)) return;
  marker->x = static_cast<float>(cells[cell].x);
  marker->y = static_cast<float>(cells[cell].y);
  marker->Draw(backSurface);
}
