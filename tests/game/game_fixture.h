// The game screen activated on a headless 800 x 600 display in a copy of the
// game folder (real artwork; hiscore.dat written there; no options file above),
// in virtual time: a popup loop lets 10 ms pass per empty queue, tests move time
// with Tick. Clicks go through the host's mouse and the clock's polling.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>

#include "core/game_clock.h"
#include "core/globals.h"
#include "game/game_screen.h"
#include "game/level_layouts.h"
#include "game/tile_game.h"
#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "sound/sound_registry.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace game_test {

namespace fs = std::filesystem;

class GameFlowTest : public testing_support::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    game_ = folder_.path() + "/GloomGrid";
    fs::create_directory(game_);
    for (const auto& entry : fs::directory_iterator(GLOOMGRID_DIST_DIR))
      if (entry.path().filename() != "gloomgrid") fs::copy(entry.path(), game_ / entry.path().filename(), fs::copy_options::recursive);
    PrepareFolder();
    previous_ = fs::current_path();
    fs::current_path(game_);
    ASSERT_TRUE(StartDisplay(true));
    mainWindow = window_;
    clientWidth = 800, clientHeight = 600;  // what popups centre on
    host::settings().timeMode = host::TimeMode::Virtual;
    StartClock();
    SetTickPoll([] {
      int32_t left = handTicks.load();
      if (left > 0) handTicks = --left;
      // Virtual time runs the clock on the main thread: moving the cursor here is safe.
      if (left == 6) mouseCursor.SetPosition(400, 300);
      if (left == 3) host::InjectMouseButton(VK_LBUTTON, true);
      if (left == 1) host::InjectMouseButton(VK_LBUTTON, false);
      mouseCursor.Poll();
    });
    ZQInitMouse();
    ZQAcquireMouse(1);
    MouseCursor::ResetPollHistoryForTest();
    TileBoard::ResetPreviousButtonsForTest();
    soundRegistry.Init(nullptr, 200);
    launchDirectory[0] = '\0';
    gameScreen.Activate(ZQGetLPDD(), backSurface);
  }
  void TearDown() override {
    gameScreen.Deactivate();
    tileGame.hallOfFame.Free();
    soundRegistry.Shutdown();
    DisplayTest::TearDown();
    mainWindow = nullptr;
    clientWidth = clientHeight = 0;
    fs::current_path(previous_);
  }
  // Changes to the game folder before the screen is activated.
  virtual void PrepareFolder() {}

  // Level index 0 to 12 dealt afresh (state 0, countdown paused), or 13: the
  // last level finished.
  void GoToLevel(int32_t index) {
    tileGame.level = (index < kLevelCount ? index : kLevelCount - 1) - 1;
    tileGame.AdvanceLevel();
    if (index >= kLevelCount) tileGame.level = kLevelCount;
  }
  void SolveBoard() {
    for (int32_t i = 0; i < kGridCells; ++i) tileGame.board.cells[i].tile = LevelLayouts[tileGame.board.level][i] - 1;
    for (int32_t i = kGridCells; i < kBoardCells; ++i) tileGame.board.cells[i].tile = kEmptyCell;
  }
  // Press in one frame, release in the next: the release frame's result.
  int32_t Click(int x, int y) {
    mouseCursor.SetPosition(x, y);
    host::InjectMouseButton(VK_LBUTTON, true);
    Tick();
    int32_t first = tileGame.Frame();
    if (first != FrameContinue) return first;
    host::InjectMouseButton(VK_LBUTTON, false);
    Tick();
    return tileGame.Frame();
  }
  int32_t ClickButton(const std::string& name) {
    // The rules popup waits for a click: a player's hand on the clock moves the
    // mouse to the middle of the screen 30 ms from now, presses 30 ms later and
    // releases 20 ms after that, whatever loop the game is in then.
    if (name == "info") handTicks = 9;
    static const std::map<std::string, std::pair<int, int>> kPlaces = {
        {"newgame", {98, 448}}, {"info", {98, 509}}, {"menu", {6, 448}},
        {"exit", {6, 509}},     {"up", {641, 333}},  {"down", {641, 461}}};
    return Click(kPlaces.at(name).first + 20, kPlaces.at(name).second + 20);
  }

  static inline std::atomic<int32_t> handTicks{0};
  testing_support::ScratchFolder folder_;
  fs::path game_;
  fs::path previous_;
};

}  // namespace game_test
