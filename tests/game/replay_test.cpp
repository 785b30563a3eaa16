// A golden replay of the real game binary, headless, with virtual time and a
// fixed seed: "newgame", level 1 solved by mouse clicks planned here over the
// same deal, the round-complete popup on screen. The picture of that popup and
// the hall-of-fame file it leaves must match the checked-in expectations.
//
// GLOOMGRID_UPDATE_EXPECTED=1 writes the expectations from this run instead (look
// at the picture before checking it in).
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <queue>
#include <unordered_map>
#include <sstream>
#include <string>
#include <vector>

#include "game/level_layouts.h"
#include "gfx/ptr_array.h"
#include "game/tile_board.h"
#include "support/game_process.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

constexpr unsigned kSeed = 17;
const std::string kExpected = std::string(GLOOMGRID_SOURCE_DIR) + "/tests/game/expected/";

using Cells = std::array<int8_t, kBoardCells>;

struct Move {
  int32_t from, to;
};

// Where the tile of `from` can slide on this board, by the board's own rules.
std::vector<int32_t> Destinations(const Cells& cells, int32_t from) {
  static TileBoard board;
  for (int32_t i = 0; i < kBoardCells; ++i) board.cells[i].tile = cells[i];
  PtrArray options;
  board.FindMoves(from, &options);
  std::vector<int32_t> out;
  for (int32_t i = 0; i < options.Count(); ++i) {
    out.push_back(options.At<MoveOption>(i)->destination);
    delete options.At<MoveOption>(i);
  }
  return out;
}

// Level 1 is 23 plain tiles (frame 0) and two eyes (frames 2 and 3), so a board
// is the set of empty cells and the cells of the two eyes: one 64-bit key.
uint64_t Key(const Cells& cells) {
  uint64_t key = 0;
  for (int32_t i = 0; i < kBoardCells; ++i) {
    if (cells[i] == kEmptyCell) key |= uint64_t{1} << i;
    if (cells[i] == 2) key |= uint64_t(i) << 32;
    if (cells[i] == 3) key |= uint64_t(i) << 40;
  }
  return key;
}

// The shortest list of slides from `start` to level 1's picture, breadth first;
// empty when none is found.
std::vector<Move> SolveLevelOne(const Cells& start) {
  Cells goal{};
  goal.fill(kEmptyCell);
  for (int32_t i = 0; i < kGridCells; ++i) goal[i] = static_cast<int8_t>(LevelLayouts[0][i] - 1);
  struct Step {
    uint64_t previous;
    Move move;
  };
  std::unordered_map<uint64_t, Step> cameFrom;
  std::queue<Cells> open;
  open.push(start);
  cameFrom[Key(start)] = {0, {-1, -1}};
  const uint64_t goalKey = Key(goal);
  while (!open.empty() && cameFrom.size() < 20000000) {
    Cells cells = open.front();
    open.pop();
    uint64_t key = Key(cells);
    if (key == goalKey) {
      std::vector<Move> moves;
      for (uint64_t at = key; cameFrom[at].move.from != -1; at = cameFrom[at].previous)
        moves.insert(moves.begin(), cameFrom[at].move);
      return moves;
    }
    for (int32_t from = 0; from < kBoardCells; ++from) {
      if (cells[from] == kEmptyCell) continue;
      for (int32_t to : Destinations(cells, from)) {
        Cells next = cells;
        next[to] = next[from];
        next[from] = kEmptyCell;
        if (cameFrom.emplace(Key(next), Step{key, Move{from, to}}).second) open.push(next);
      }
    }
  }
  return {};
}

// Mouse events that make the game perform the moves: a tile with one way to go
// slides at its click; with more, a second click picks the destination.
std::string ClickScript(TileBoard& board, const std::vector<Move>& moves, int32_t* at) {
  std::ostringstream script;
  auto click = [&](int32_t cell) {
    script << *at << " move " << board.cells[cell].x + 40 << " " << board.cells[cell].y + 40 << "\n"
           << *at + 20 << " ldown\n" << *at + 60 << " lup\n";
    *at += 100;
  };
  for (const Move& move : moves) {
    int32_t ways = __builtin_popcount(board.FindMoves(move.from, nullptr));
    click(move.from);
    if (ways > 1) click(move.to);
    board.cells[move.to].tile = board.cells[move.from].tile;
    board.cells[move.from].tile = kEmptyCell;
  }
  return script.str();
}

bool Updating() { return std::getenv("GLOOMGRID_UPDATE_EXPECTED") != nullptr; }

void ExpectSameAsExpected(const std::vector<uint8_t>& actual, const std::string& name) {
  if (Updating()) {
    ASSERT_TRUE(WriteFileBytes(kExpected + name, actual));
    return;
  }
  std::vector<uint8_t> expected = ReadFileBytes(kExpected + name);
  ASSERT_FALSE(expected.empty()) << "missing " << kExpected + name;
  EXPECT_EQ(actual.size(), expected.size()) << name;
  EXPECT_TRUE(actual == expected) << name << " differs from the expectation";
}

TEST(ReplayTest, LevelOneSolvedByClicksEndsInTheRoundCompletePopup) {
  std::srand(kSeed);
  TileBoard board;
  ASSERT_EQ(board.NewBoard(0), 1);
  Cells start{};
  for (int32_t i = 0; i < kBoardCells; ++i) start[i] = static_cast<int8_t>(board.cells[i].tile);
  std::vector<Move> moves = SolveLevelOne(start);
  ASSERT_FALSE(moves.empty()) << "no solution found for the deal of seed " << kSeed;

  ScratchFolder scratch;
  std::string shot = scratch.File("roundcomplete.png");
  int32_t at = 600;
  std::string script = "300 move 142 476\n320 ldown\n360 lup\n" + ClickScript(board, moves, &at);
  script += std::to_string(at + 4000) + " screenshot " + shot + "\n";
  script += std::to_string(at + 10000) + " close\n";

  GameOptions options;
  options.environment["GLOOMGRID_HOST_SEED"] = std::to_string(kSeed);
  options.script = script;
  options.timeLimitSeconds = 60;
  GameRun run = RunGame(options);
  ASSERT_EQ(run.exitCode, 0) << run.stdErr;
  SCOPED_TRACE(testing::Message() << moves.size() << " moves; script:\n" << script);
  ExpectSameAsExpected(ReadFileBytes(shot), "replay_roundcomplete.png");
  std::vector<uint8_t> hiscore = ReadFileBytes(run.folder + "/hiscore.dat");
  ASSERT_EQ(hiscore.size(), 5204u);
  EXPECT_STREQ(reinterpret_cast<const char*>(&hiscore[4]), "Player1:::Y");
  ExpectSameAsExpected(hiscore, "replay_hiscore.dat");
}

}  // namespace
