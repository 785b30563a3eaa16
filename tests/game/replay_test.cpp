// A golden replay of the real game binary, headless, in virtual time with a
// fixed seed: "newgame", level 1 solved by clicks planned here over the same
// deal, the round-complete popup on screen. Its picture and the hiscore.dat left
// must match the checked-in ones; GLOOMGRID_UPDATE_EXPECTED=1 writes them anew
// (look at the picture before checking it in).
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <queue>
#include <sstream>
#include <unordered_map>

#include "game/tile_board.h"
#include "gfx/ptr_array.h"
#include "support/game_process.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

constexpr unsigned kSeed = 17;
using Cells = std::array<int8_t, kBoardCells>;
using Move = std::pair<int32_t, int32_t>;  // from, to

// Level 1 is 23 plain tiles (frame 0) and two eyes (frames 2 and 3), so a board
// is the set of empty cells and the cells of the two eyes: one 64-bit key.
uint64_t Key(const Cells& cells) {
  uint64_t key = 0;
  for (int32_t i = 0; i < kBoardCells; ++i)
    key |= cells[i] == kEmptyCell ? uint64_t{1} << i : cells[i] == 2 || cells[i] == 3 ? uint64_t(i) << (cells[i] * 8 + 16) : 0;
  return key;
}

// The shortest list of slides to level 1's picture by the board's own rules,
// breadth first; empty when none is found.
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

void ExpectSameAsExpected(const std::vector<uint8_t>& actual, const std::string& name) {
  const std::string path = std::string(GLOOMGRID_SOURCE_DIR) + "/tests/game/expected/" + name;
  if (std::getenv("GLOOMGRID_UPDATE_EXPECTED") != nullptr) { EXPECT_TRUE(WriteFileBytes(path, actual)); }
  const std::vector<uint8_t> expected = ReadFileBytes(path);
  EXPECT_TRUE(!expected.empty() && actual == expected)
      << name << ": " << actual.size() << " bytes differ from the " << expected.size() << " of " << path;
}

TEST(ReplayTest, LevelOneSolvedByClicksEndsInTheRoundCompletePopup) {
  std::srand(kSeed);
  TileBoard board;
  ASSERT_EQ(board.NewBoard(0), 1);
  Cells cells{};
  for (int32_t i = 0; i < kBoardCells; ++i) cells[i] = static_cast<int8_t>(board.cells[i].tile);
  const std::vector<Move> moves = SolveLevelOne(cells);
  ASSERT_FALSE(moves.empty()) << "no solution found for the deal of seed " << kSeed;

  // A tile with one way to go slides at its click; with more, a second click
  // picks the destination.
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
  ScratchFolder scratch;
  const std::string shot = scratch.File("roundcomplete.png");
  script << at + 4000 << " screenshot " << shot << "\n" << at + 10000 << " close\n";

  GameOptions options;
  options.environment["GLOOMGRID_HOST_SEED"] = std::to_string(kSeed);
  options.script = script.str();
  options.timeLimitSeconds = 60;
  GameRun run = RunGame(options);
  ASSERT_EQ(run.exitCode, 0) << run.stdErr << "\n" << moves.size() << " moves; script:\n" << options.script;
  ExpectSameAsExpected(ReadFileBytes(shot), "replay_roundcomplete.png");
  ExpectSameAsExpected(ReadFileBytes(run.folder + "/hiscore.dat"), "replay_hiscore.dat");
}

}  // namespace
