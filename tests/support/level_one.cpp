#include "support/level_one.h"

#include <array>
#include <cstdlib>
#include <queue>
#include <sstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "game/tile_board.h"
#include "gfx/ptr_array.h"

namespace testing_support {
namespace {

using Cells = std::array<int8_t, kBoardCells>;
using Move = std::pair<int32_t, int32_t>;  // from, to

// Level 1 is 23 plain tiles (frame 0) and two eyes (frames 2 and 3), so a board is the set of empty cells and the
// cells of the two eyes: one 64-bit key.
uint64_t Key(const Cells& cells) {
  uint64_t key = 0;
  for (int32_t i = 0; i < kBoardCells; ++i)
    key |= cells[i] == kEmptyCell ? uint64_t{1} << i : cells[i] == 2 || cells[i] == 3 ? uint64_t(i) << (cells[i] * 8 + 16) : 0;
  return key;
}

// The shortest list of slides to level 1's picture by the board's own rules, breadth first; empty when none is found.
std::vector<Move> SolveLevelOne(const Cells& start) {
  static TileBoard board;  // level 0
  std::unordered_map<uint64_t, std::pair<uint64_t, Move>> cameFrom{{Key(start), {0, {-1, -1}}}};
  std::queue<Cells> open({start});
  while (!open.empty() && cameFrom.size() < 20000000) {
    const Cells cells = open.front();
    open.pop();
    for (int32_t i = 0; i < kBoardCells; ++i) board.cells[i].tile = cells[i];
    if (board.IsSolved()) {
      std::vector<Move> moves;
      for (uint64_t at = Key(cells); cameFrom[at].second.first != -1; at = cameFrom[at].first)
        moves.insert(moves.begin(), cameFrom[at].second);
      return moves;
    }
    for (int32_t from = 0; from < kBoardCells; ++from) {
      PtrArray options;
      if (cells[from] != kEmptyCell) board.FindMoves(from, &options);
      for (int32_t i = 0; i < options.Count(); ++i) {
        Cells next = cells;
        const int32_t to = options.At<MoveOption>(i)->destination;
        delete options.At<MoveOption>(i);
        std::swap(next[from], next[to]);
        if (cameFrom.emplace(Key(next), std::pair{Key(cells), Move{from, to}}).second) open.push(next);
      }
    }
  }
  return {};
}

}  // namespace

std::string LevelOneScript(unsigned seed, int32_t* lastClickMs) {
  std::srand(seed);
  TileBoard board;
  if (board.NewBoard(0) != 1) return {};
  Cells cells{};
  for (int32_t i = 0; i < kBoardCells; ++i) cells[i] = static_cast<int8_t>(board.cells[i].tile);
  const std::vector<Move> moves = SolveLevelOne(cells);
  if (moves.empty()) return {};

  // A tile with one way to go slides at its click; with more, a second click picks the destination.
  std::ostringstream script;
  script << "300 move 142 476\n320 ldown\n360 lup\n";  // "newgame"
  int32_t at = 600;
  auto click = [&](int32_t cell) {
    script << at << " move " << board.cells[cell].x + 40 << " " << board.cells[cell].y + 40 << "\n"
           << at + 20 << " ldown\n" << at + 60 << " lup\n";
    at += 100;
  };
  for (const auto& [from, to] : moves) {
    const int32_t ways = __builtin_popcount(board.FindMoves(from, nullptr));
    click(from);
    if (ways > 1) click(to);
    std::swap(board.cells[from].tile, board.cells[to].tile);
  }
  *lastClickMs = at;
  return script.str();
}

}  // namespace testing_support
