// The tile board: seeded shuffles, hit testing, the moves of every kind of
// cell, click sequences and what the tiles, arrows and marker draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "screens/composer_helpers.h"
#include "core/globals.h"
#include "game/game_screen.h"
#include "game/level_layouts.h"
#include "game/tile_board.h"
#include "gfx/ptr_array.h"
#include "screens/scene_composer.h"
#include "screens/sprite.h"
#include "support/display.h"

namespace {

using namespace testing_support;

std::string heard;
void Hear(const char* name) { heard += std::string(heard.empty() ? "" : " ") + name; }

// "L1 R3 U25 D7": the moves a list holds, in order.
std::string Moves(const PtrArray& list) {
  std::string text;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const MoveOption* m = list.At<MoveOption>(i);
    const char* d = m->direction == MoveUp ? "U" : m->direction == MoveDown ? "D" : m->direction == MoveLeft ? "L" : "R";
    text += (i ? " " : "") + std::string(d) + std::to_string(m->destination);
  }
  return text;
}

class TileBoardTest : public testing::Test {
 protected:
  void SetUp() override {
    TileBoard::ResetPreviousButtonsForTest();
    TileBoard::soundHookForTest = Hear;
    heard.clear();
    srand(7);
    ASSERT_EQ(board.NewBoard(1), 1);
  }
  void TearDown() override { TileBoard::soundHookForTest = nullptr; }
  void Click(int32_t cell, int32_t buttons) {
    board.HandleMouse(board.cells[cell].x + 40, board.cells[cell].y + 40, buttons);
  }
  TileBoard board;
};

TEST(TileBoardShuffle, EveryDealIsTheLevelsTilesUnsolvedWithEmptyPockets) {
  for (int32_t level = 0; level < kLevelCount; ++level) {
    std::vector<int32_t> picture(LevelLayouts[level], LevelLayouts[level] + kGridCells);
    for (int32_t& tile : picture) --tile;
    std::sort(picture.begin(), picture.end());
    // Level 1 shuffles into its own solution about once in 600 deals.
    const unsigned seeds = level == 0 ? 3000 : 200;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
      srand(seed);
      TileBoard board;
      ASSERT_EQ(board.NewBoard(level), 1);
      std::vector<int32_t> dealt;
      for (int32_t i = 0; i < kGridCells; ++i) dealt.push_back(board.cells[i].tile);
      std::sort(dealt.begin(), dealt.end());
      ASSERT_EQ(dealt, picture) << "level " << level + 1 << " seed " << seed;
      for (int32_t p = PocketTop; p <= PocketBottom; ++p)
        ASSERT_EQ(board.cells[p].tile, kEmptyCell) << "level " << level + 1 << " seed " << seed << " pocket " << p;
      ASSERT_EQ(board.IsSolved(), 0) << "level " << level + 1 << " seed " << seed;
    }
  }
  TileBoard board;
  EXPECT_EQ(board.NewBoard(kLevelCount), 0) << "a level past the table";
  EXPECT_EQ(board.NewBoard(-1), 0);
}

TEST_F(TileBoardTest, CellAtTakesTheLowerCellOnBordersAndNoneInGaps) {
  const struct {
    int32_t x, y, cell;
  } cases[] = {
      {196, 86, 0},  {276, 86, 0},  {277, 86, 1},   {596, 486, 24}, {597, 486, -1}, {596, 246, 9},
      {597, 246, 27}, {676, 326, 27}, {677, 300, -1}, {436, 86, 2},  {356, 6, 25},   {436, 85, 25},
      {116, 246, 26}, {195, 326, 26}, {356, 566, 28}, {100, 100, -1}, {195, 85, -1},  {355, 5, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(board.CellAt(c.x, c.y), c.cell) << "(" << c.x << ", " << c.y << ")";
}

TEST_F(TileBoardTest, FindMovesOfEveryKindOfCell) {
  const struct {
    bool emptyGrid;  // every grid cell empty, or a full grid beside empty pockets
    int32_t cell;
    int32_t found;
    const char* moves;
  } cases[] = {
      {false, 0, 0, ""},        {false, 12, 0, ""},       {false, 2, MoveUp, "U25"},
      {false, 10, MoveLeft, "L26"}, {false, 14, MoveRight, "R27"}, {false, 22, MoveDown, "D28"},
      {false, 25, 0, ""},       {true, 0, MoveRight | MoveDown, "R1 D5"},
      {true, 24, MoveLeft | MoveUp, "L23 U19"},
      {true, 12, 15, "L11 R13 U7 D17"}, {true, 2, 15, "L1 R3 U25 D7"}, {true, 10, 15, "L26 R11 U5 D15"},
      {true, 14, 15, "L13 R27 U9 D19"}, {true, 22, 15, "L21 R23 U17 D28"},
      {true, 25, MoveDown, "D2"},   {true, 26, MoveRight, "R10"}, {true, 27, MoveLeft, "L14"},
      {true, 28, MoveUp, "U22"},    {true, 29, 0, ""},            {true, -1, 0, ""},
  };
  for (const auto& c : cases) {
    srand(3);
    board.NewBoard(4);
    if (c.emptyGrid)
      for (int32_t i = 0; i < kGridCells; ++i) board.cells[i].tile = kEmptyCell;
    PtrArray list;
    EXPECT_EQ(board.FindMoves(c.cell, &list), c.found) << "cell " << c.cell;
    EXPECT_EQ(Moves(list), c.moves) << "cell " << c.cell;
    for (int32_t i = 0; i < list.Count(); ++i) delete list.At<MoveOption>(i);
  }
}

TEST_F(TileBoardTest, AHeldButtonClicksOnceEvenAtTheFirstCall) {
  const int32_t tile = board.cells[2].tile;
  Click(2, 1);  // held since before the first call
  EXPECT_EQ(board.cells[PocketTop].tile, tile);
  EXPECT_EQ(board.cells[2].tile, kEmptyCell);
  Click(PocketTop, 1);  // still held: no click
  Click(PocketTop, 0);
  Click(PocketTop, 2);  // the right button alone is no click
  EXPECT_EQ(board.cells[PocketTop].tile, tile);
  Click(PocketTop, 3);  // a change with the left button down is
  EXPECT_EQ(board.cells[2].tile, tile);
  EXPECT_EQ(board.cells[PocketTop].tile, kEmptyCell);
  EXPECT_EQ(heard, "slide slide");
  EXPECT_EQ(board.moves->Count(), 0);
}

TEST_F(TileBoardTest, SelectCancelMoveAndClicksThatDoNothing) {
  board.cells[7].tile = kEmptyCell;
  board.cells[13].tile = kEmptyCell;
  const int32_t tile = board.cells[12].tile;
  const struct {
    int32_t cell;
    int32_t selecting;
    const char* sounds;
  } steps[] = {
      {0, 0, ""},                   // no free neighbour: no sound
      {12, 1, "click"},             // two free neighbours: select
      {0, 1, "click"},              // elsewhere: the selection stays
      {12, 0, "click click"},       // the tile again: cancelled
      {12, 1, "click click click"},
      {13, 0, "click click click slide"},
  };
  for (const auto& s : steps) {
    Click(s.cell, 1);
    Click(s.cell, 0);
    EXPECT_EQ(board.selecting, s.selecting) << "after a click on " << s.cell;
    EXPECT_EQ(heard, s.sounds) << "after a click on " << s.cell;
  }
  EXPECT_EQ(board.cells[13].tile, tile);
  EXPECT_EQ(board.cells[12].tile, kEmptyCell);
  // An empty cell beside one other empty cell "moves" the empty marker.
  board.HandleMouse(100, 100, 1);
  Click(7, 0);
  Click(7, 1);
  EXPECT_EQ(heard, "click click click slide slide");
  EXPECT_EQ(board.cells[7].tile, kEmptyCell);
}

// Drawing, with sprites whose frames are plain colours.
class TileBoardDrawTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    TileBoard::ResetPreviousButtonsForTest();
    tiles.AddFrame(CreateKeyedSurface(86, 97, kRed));
    for (uint16_t colour : {kGreen, kYellow, kWhite, kWhite}) arrows.AddFrame(CreateKeyedSurface(80, 80, colour));
    marker.AddFrame(CreateKeyedSurface(10, 10, kGrey));
    gameScreen.tileSet = &tiles;
    gameScreen.arrows = &arrows;
    gameScreen.selectionMarker = &marker;
    srand(11);
    board.NewBoard(0);
    sceneComposer.SetBackground(nullptr);  // forget what earlier draws filed
  }
  void TearDown() override {
    gameScreen.tileSet = gameScreen.arrows = gameScreen.selectionMarker = nullptr;
    DisplayTest::TearDown();
  }
  Sprite tiles, arrows, marker;
  TileBoard board;
};

TEST_F(TileBoardDrawTest, EdgeTilesDropTheOverhangThatWouldSpillOverTheBackground) {
  for (BoardCell& cell : board.cells) cell.tile = 0;
  board.DrawTiles();
  // Pockets before the rows they sit beside; right column, cell 22 and the top
  // pocket lose the right overhang, the bottom row and two pockets both.
  const char* expected =
      "356,6 80x97 1001; 196,86 86x97 1001; 276,86 86x97 1001; 356,86 86x97 1001; 436,86 86x97 1001; 516,86 80x97 1001; "
      "196,166 86x97 1001; 276,166 86x97 1001; 356,166 86x97 1001; 436,166 86x97 1001; 516,166 80x97 1001; 116,246 86x80 1001; "
      "196,246 86x97 1001; 276,246 86x97 1001; 356,246 86x97 1001; 436,246 86x97 1001; 516,246 80x97 1001; 596,246 80x80 1001; "
      "196,326 86x97 1001; 276,326 86x97 1001; 356,326 86x97 1001; 436,326 86x97 1001; 516,326 80x97 1001; 196,406 80x80 1001; "
      "276,406 80x80 1001; 356,406 80x97 1001; 436,406 80x80 1001; 516,406 80x80 1001; 356,486 80x80 1001";
  EXPECT_EQ(composer_test::PendingRequests(sceneComposer), expected);
  EXPECT_NE(PixelAt(backSurface, 516 + 80, 86), kRed) << "the right overhang of cell 4";
}

TEST_F(TileBoardDrawTest, ASelectionShowsAnArrowOnEachFreeNeighbourAndTheMarker) {
  board.cells[7].tile = kEmptyCell;
  board.cells[13].tile = kEmptyCell;
  board.HandleMouse(356 + 40, 246 + 40, 1);  // cell 12
  ASSERT_EQ(board.selecting, 1);
  sceneComposer.SetBackground(nullptr);
  board.HandleMouse(0, 0, 0);
  EXPECT_EQ(composer_test::PendingRequests(sceneComposer), "436,246 80x80 1001; 356,166 80x80 1001; 356,246 10x10 1001");
  EXPECT_EQ(PixelAt(backSurface, 436 + 40, 246 + 40), kYellow) << "right arrow on cell 13";
  EXPECT_EQ(PixelAt(backSurface, 356 + 40, 166 + 40), kGreen) << "up arrow on cell 7";
  EXPECT_EQ(PixelAt(backSurface, 356 + 5, 246 + 5), kGrey) << "marker on cell 12";
}

}  // namespace
