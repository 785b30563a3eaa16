// The tile board: shuffles, hit testing, moves, clicks and what it draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/globals.h"
#include "game/game_screen.h"
#include "game/level_layouts.h"
#include "game/tile_board.h"
#include "gfx/ptr_array.h"
#include "screens/composer_helpers.h"
#include "screens/sprite.h"
#include "support/display.h"

namespace {

using namespace testing_support;

std::string heard;  // the sounds the board asked for
void Hear(const char* name) { heard += std::string(heard.empty() ? "" : " ") + name; }

TEST(TileBoardShuffle, EveryDealIsTheLevelsTilesUnsolvedWithEmptyPockets) {
  for (int32_t level = 0; level < kLevelCount; ++level) {
    std::vector<int32_t> picture(LevelLayouts[level], LevelLayouts[level] + kGridCells);
    for (int32_t& tile : picture) --tile;
    std::sort(picture.begin(), picture.end());
    // Level 1 shuffles into its own solution about once in 600 deals.
    for (unsigned seed = 1; seed <= (level == 0 ? 3000u : 200u); ++seed) {
      srand(seed);
      TileBoard board;
      ASSERT_EQ(board.NewBoard(level), 1);
      std::vector<int32_t> dealt, pockets;
      for (int32_t i = 0; i < kBoardCells; ++i) (i < kGridCells ? dealt : pockets).push_back(board.cells[i].tile);
      std::sort(dealt.begin(), dealt.end());
      ASSERT_EQ(std::make_tuple(dealt, pockets, board.IsSolved()),
                std::make_tuple(picture, std::vector<int32_t>(4, kEmptyCell), 0))
          << "level " << level + 1 << " seed " << seed;
    }
  }
  EXPECT_EQ(TileBoard().NewBoard(kLevelCount) + TileBoard().NewBoard(-1), 0) << "levels outside the table";
}

// Tiles, arrows and marker are plain colours; level 2 dealt with seed 7.
class TileBoardTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    TileBoard::ResetPreviousButtonsForTest();
    TileBoard::soundHookForTest = Hear;
    heard.clear();
    tiles.AddFrame(CreateKeyedSurface(86, 97, kRed));
    for (uint16_t colour : {kGreen, kYellow, kWhite, kBlue}) arrows.AddFrame(CreateKeyedSurface(80, 80, colour));
    marker.AddFrame(CreateKeyedSurface(10, 10, kGrey));
    gameScreen.tileSet = &tiles, gameScreen.arrows = &arrows, gameScreen.selectionMarker = &marker;
    srand(7);
    ASSERT_EQ(board.NewBoard(1), 1);
    sceneComposer.SetBackground(nullptr);  // forget what earlier draws filed
  }
  void TearDown() override {
    TileBoard::soundHookForTest = nullptr;
    gameScreen.tileSet = gameScreen.arrows = gameScreen.selectionMarker = nullptr;
    DisplayTest::TearDown();
  }
  // Cell -1: the gap at (100, 100).
  void Click(int32_t cell, int32_t buttons) {
    board.HandleMouse(cell < 0 ? 100 : board.cells[cell].x + 40, cell < 0 ? 100 : board.cells[cell].y + 40, buttons);
  }
  Sprite tiles, arrows, marker;
  TileBoard board;
};

TEST_F(TileBoardTest, CellAtTakesTheLowerCellOnBordersAndNoneInGaps) {
  const struct { int32_t x, y, cell; } cases[] = {
      {196, 86, 0},   {276, 86, 0},   {277, 86, 1},   {596, 486, 24}, {597, 486, -1}, {596, 246, 9},
      {597, 246, 27}, {676, 326, 27}, {677, 300, -1}, {436, 86, 2},   {356, 6, 25},   {436, 85, 25},
      {116, 246, 26}, {195, 326, 26}, {356, 566, 28}, {100, 100, -1}, {195, 85, -1},  {355, 5, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(board.CellAt(c.x, c.y), c.cell) << "(" << c.x << ", " << c.y << ")";
}

TEST_F(TileBoardTest, FindMovesOfEveryKindOfCell) {
  // Empty grid or the dealt one; the moves as "L1 R3 U25 D7": direction and destination, in list order.
  const struct { bool emptyGrid; int32_t cell; const char* moves; } cases[] = {
      {false, 12, ""}, {false, 2, "U25"}, {false, 10, "L26"}, {false, 14, "R27"}, {false, 22, "D28"}, {false, 25, ""},
      {true, 0, "R1 D5"}, {true, 24, "L23 U19"}, {true, 12, "L11 R13 U7 D17"}, {true, 2, "L1 R3 U25 D7"},
      {true, 10, "L26 R11 U5 D15"}, {true, 14, "L13 R27 U9 D19"}, {true, 22, "L21 R23 U17 D28"}, {true, 25, "D2"},
      {true, 26, "R10"}, {true, 27, "L14"}, {true, 28, "U22"}, {true, 29, ""}, {true, -1, ""}};
  for (const auto& c : cases) {
    for (int32_t i = 0; c.emptyGrid && i < kGridCells; ++i) board.cells[i].tile = kEmptyCell;
    PtrArray list;
    const int32_t found = board.FindMoves(c.cell, &list);
    int32_t listed = 0;
    std::string moves;
    for (int32_t i = 0; i < list.Count(); ++i) {
      const MoveOption* m = list.At<MoveOption>(i);
      listed |= m->direction;
      moves += (i ? " " : "") + std::string(1, "?UD?L???R"[m->direction & 15]) + std::to_string(m->destination);
      delete m;
    }
    EXPECT_EQ(std::make_pair(moves, found), std::make_pair(std::string(c.moves), listed)) << "cell " << c.cell;
  }
}

TEST_F(TileBoardTest, ClickSequencesHeldButtonsSelectionsAndTheEmptyMarker) {
  board.cells[13].tile = board.cells[17].tile = kEmptyCell;
  const int32_t tile2 = board.cells[2].tile, tile12 = board.cells[12].tile;
  const struct { int32_t cell, buttons, selecting; const char* sounds; } steps[] = {
      {2, 1, 0, "slide"},                                        // held before the first call: a click
      {25, 1, 0, ""}, {25, 0, 0, ""}, {25, 2, 0, ""},            // held, released, right button alone
      {25, 3, 0, "slide"},                                        // a change with the left button down
      {0, 0, 0, ""},  {0, 1, 0, ""},   {12, 0, 0, ""}, {12, 1, 1, "click"},  // no free neighbour; two
      {0, 0, 1, ""},  {0, 1, 1, ""},   {12, 0, 1, ""}, {12, 1, 0, "click"},  // elsewhere: kept; again: cancelled
      {12, 0, 0, ""}, {12, 1, 1, "click"}, {13, 0, 1, ""}, {13, 1, 0, "slide"},  // an arrowed cell
      {-1, 0, 0, ""}, {-1, 1, 0, ""},  {17, 0, 0, ""}, {17, 1, 0, "slide"}};  // the gap; empty beside empty
  for (const auto& s : steps) {
    heard.clear();
    Click(s.cell, s.buttons);
    EXPECT_EQ(std::make_pair(board.selecting, heard), std::make_pair(s.selecting, std::string(s.sounds)))
        << "cell " << s.cell << " buttons " << s.buttons;
  }
  EXPECT_EQ((std::vector<int32_t>{board.cells[2].tile, board.cells[25].tile, board.cells[12].tile, board.cells[13].tile,
                                  board.cells[17].tile, board.moves->Count()}),
            (std::vector<int32_t>{tile2, kEmptyCell, kEmptyCell, tile12, kEmptyCell, 0})) << "cells 2, 25, 12, 13, 17, moves";
}

TEST_F(TileBoardTest, EdgeTilesDropTheOverhangAndASelectionShowsArrowsAndTheMarker) {
  for (BoardCell& cell : board.cells) cell.tile = 0;
  board.DrawTiles();
  // Pockets before the rows they sit beside; right column, cell 22 and the top pocket lose the right overhang, the
  // bottom row and two pockets both.
  const char* expected =
      "356,6 80x97 1001; 196,86 86x97 1001; 276,86 86x97 1001; 356,86 86x97 1001; 436,86 86x97 1001; 516,86 80x97 1001; "
      "196,166 86x97 1001; 276,166 86x97 1001; 356,166 86x97 1001; 436,166 86x97 1001; 516,166 80x97 1001; 116,246 86x80 1001; "
      "196,246 86x97 1001; 276,246 86x97 1001; 356,246 86x97 1001; 436,246 86x97 1001; 516,246 80x97 1001; 596,246 80x80 1001; "
      "196,326 86x97 1001; 276,326 86x97 1001; 356,326 86x97 1001; 436,326 86x97 1001; 516,326 80x97 1001; 196,406 80x80 1001; "
      "276,406 80x80 1001; 356,406 80x97 1001; 436,406 80x80 1001; 516,406 80x80 1001; 356,486 80x80 1001";
  EXPECT_EQ(composer_test::PendingRequests(sceneComposer), expected);
  EXPECT_NE(PixelAt(backSurface, 516 + 80, 86), kRed) << "the right overhang of cell 4";

  board.cells[7].tile = board.cells[13].tile = kEmptyCell;
  Click(12, 1);
  ASSERT_EQ(board.selecting, 1);
  sceneComposer.SetBackground(nullptr);
  board.HandleMouse(0, 0, 0);
  EXPECT_EQ(composer_test::PendingRequests(sceneComposer), "436,246 80x80 1001; 356,166 80x80 1001; 356,246 10x10 1001");
  EXPECT_EQ((std::vector<uint16_t>{PixelAt(backSurface, 476, 286), PixelAt(backSurface, 396, 206),
                                   PixelAt(backSurface, 361, 251)}),
            (std::vector<uint16_t>{kYellow, kGreen, kGrey})) << "right arrow on cell 13, up arrow on cell 7, marker on cell 12";
}

}  // namespace
