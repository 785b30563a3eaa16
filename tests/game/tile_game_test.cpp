// The game's frame as a state machine, headless in a copy of the game folder in virtual time (a popup loop lets 10 ms
// pass per empty queue), and the timer bar. DrawNumber's digits are checked by the golden replay.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

#include "core/game_clock.h"
#include "core/globals.h"
#include "game/game_screen.h"
#include "game/level_layouts.h"
#include "game/panels.h"
#include "game/tile_game.h"
#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "sound/sound_registry.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

constexpr Rgb kDrop = {255, 0, 0}, kUnit = {0, 255, 0}, kStart = {255, 255, 0};
// Frame k of the game-over animation is painted (100, 4k, 100).
Rgb AnimationColour(int frame) { return {100, static_cast<uint8_t>(4 * frame), 100}; }

namespace fs = std::filesystem;

class GameFlowTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    fs::copy(GLOOMGRID_DIST_DIR, folder_.File("GloomGrid"), fs::copy_options::recursive);
    fs::current_path(folder_.File("GloomGrid"));  // the scratch folder brings the old one back
    // Timer pictures of known colours in place of the real ones.
    auto solid = [](Rgb colour) { return [colour](int, int) { return colour; }; };
    ASSERT_TRUE(WriteBmp24("TimeDrop.bmp", 30, 12, solid(kDrop)) && WriteBmp24("TimeUnit.bmp", 20, 2, solid(kUnit)) &&
                WriteBmp24("TimerStart.bmp", 44, 38, solid(kStart)) &&
                WriteBmp24("gameoveranim.bmp", 296, 43 * 35, [](int, int y) { return AnimationColour(y / 43); }));
    ASSERT_TRUE(StartDisplay(true));
    mainWindow = window_;
    clientWidth = 800, clientHeight = 600;  // what popups centre on
    host::settings().timeMode = host::TimeMode::Virtual;
    StartClock();
    SetTickPoll([] {
      // Virtual time runs the clock on the main thread: moving the cursor here is safe.
      const int32_t left = handTicks > 0 ? --handTicks : 0;
      if (left == 6) mouseCursor.SetPosition(400, 300);
      if (left == 3 || left == 1) host::InjectMouseButton(VK_LBUTTON, left == 3);
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
  }

  // Level index 0 to 12 dealt afresh (state 0, countdown paused), or 13: the last one finished.
  void GoToLevel(int32_t index) {
    tileGame.level = (index < kLevelCount ? index : kLevelCount - 1) - 1;
    tileGame.AdvanceLevel();
    if (index >= kLevelCount) tileGame.level = kLevelCount;
  }
  // A frame's starting point: the state, score and countdown, no scare due.
  void Start(int32_t state, int32_t score, int32_t countdown) {
    tileGame.SetState(state);
    tileGame.SetScore(score);
    tileGame.eventTime = GetTicks();
    SetCountdown(countdown);
  }
  void SolveBoard() {
    for (int32_t i = 0; i < kBoardCells; ++i)
      tileGame.board.cells[i].tile = i < kGridCells ? LevelLayouts[tileGame.board.level][i] - 1 : kEmptyCell;
  }
  // Pressed in one frame, released in the next: the release frame's result. The rules popup waits for a click: a
  // player's hand on the clock moves the mouse to the middle of the screen 30 ms from now, presses 30 ms later and
  // releases 20 ms after that, whatever loop the game is in then.
  int32_t ClickButton(const std::string& name) {
    if (name == "info") handTicks = 9;
    static const std::map<std::string, std::pair<int, int>> kPlaces = {{"newgame", {98, 448}}, {"info", {98, 509}},
        {"menu", {6, 448}}, {"exit", {6, 509}}, {"up", {641, 333}}, {"down", {641, 461}}};
    mouseCursor.SetPosition(kPlaces.at(name).first + 20, kPlaces.at(name).second + 20);
    host::InjectMouseButton(VK_LBUTTON, true);
    Tick();
    if (const int32_t first = tileGame.Frame(); first != FrameContinue) return first;
    host::InjectMouseButton(VK_LBUTTON, false);
    Tick();
    return tileGame.Frame();
  }

  static inline std::atomic<int32_t> handTicks{0};
  ScratchFolder folder_{ScratchFolder::kMakeWorkingDirectory};
};

// Score 777 and 50 s on the countdown before each click; a running countdown may cross one second boundary during it.
TEST_F(GameFlowTest, ButtonsInEachState) {
  const struct { const char* what; int32_t state, level; const char* button;
                 int32_t wantState, wantLevel, wantScore, wantCountdown; bool wantRunning, wantSameBoard; } rows[] = {
      {"newgame while idle starts play on the same deal and time", 0, 2, "newgame", 1, 2, 0, 50, true, true},
      {"newgame while playing deals the level again", 1, 2, "newgame", 1, 2, 0, 158, true, false},
      {"newgame while solved goes back to play", 9, 2, "newgame", 1, 2, 0, 50, true, true},
      {"up on the last level does nothing", 0, 12, "up", 0, 12, 777, 50, false, true},
      {"down on the first level does nothing", 0, 0, "down", 0, 0, 777, 50, false, true},
      {"down while playing abandons the round", 1, 4, "down", 0, 3, 777, 168, false, false},
      {"up while solved leaves the round unscored", 9, 4, "up", 0, 5, 777, 188, false, false},
      {"newgame after the last level starts again at level 1", 0, 13, "newgame", 1, 0, 0, 138, true, false},
      {"down after the last level deals level 13", 0, 13, "down", 0, 12, 777, 258, false, false},
      {"the rules before play leave the clock stopped", 0, 2, "info", 0, 2, 777, 50, false, true},
      {"the rules during play stop the clock only while open", 1, 2, "info", 1, 2, 777, 50, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    GoToLevel(row.level);
    Start(row.state, 777, 50);
    if (row.state != 0) ResumeCountdown();
    auto tiles = [] { std::vector<int32_t> t; for (const BoardCell& c : tileGame.board.cells) t.push_back(c.tile); return t; };
    const std::vector<int32_t> before = tiles();
    ASSERT_EQ(ClickButton(row.button), FrameContinue);
    const bool same = tiles() == before;
    const int32_t countdown = GetCountdown() + (row.wantRunning && GetCountdown() == row.wantCountdown - 1);
    EXPECT_EQ(std::make_tuple(tileGame.GetState(), tileGame.level, tileGame.GetScore(), countdown,
                              IsCountdownRunning() != 0, same),
              std::make_tuple(row.wantState, row.wantLevel, row.wantScore, row.wantCountdown, row.wantRunning,
                              row.wantSameBoard))
        << "state, level, score, countdown, running, same board";
  }
}

TEST_F(GameFlowTest, ExitAndMenuEndTheProgramOnlyWhenTheyShould) {
  EXPECT_EQ(ClickButton("menu"), FrameContinue) << "no command line: only a click";
  EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "click");
  CopyLaunchDirectory("/no/such/launcher/folder");
  EXPECT_EQ(ClickButton("menu"), FrameContinue) << "a launcher that cannot start leaves the game running";
  EXPECT_EQ(ClickButton("exit"), FrameQuit);
}

// Solved in play: "organ", 1.5 s on screen with the countdown running, then the level's points and the time bonus;
// the last level only waits after.
TEST_F(GameFlowTest, ASolvedPictureWaitsOneAndAHalfSecondsThenScores) {
  const struct { int32_t level, remaining, wantScore; } rows[] = {
      {0, 138, 10000 + 13800}, {1, 100, 20000 + 20000}, {12, 258, 130000 + 105676800}};
  for (const auto& row : rows) {
    GoToLevel(row.level);
    SolveBoard();
    Start(StatePlaying, 0, GetCountdown());
    ResumeCountdown();
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(std::make_pair(tileGame.GetState(), std::string(SoundRegistry::LastRequestForTest())),
              std::make_pair(int32_t{StateRoundComplete}, std::string("organ")));
    Tick(150);
    tileGame.Frame();
    EXPECT_EQ(std::make_tuple(tileGame.GetState(), tileGame.GetScore(), IsCountdownRunning()),
              std::make_tuple(int32_t{StateRoundComplete}, 0, 1))
        << "1500 ms is not yet more than 1500; the countdown runs on";
    SetCountdown(row.remaining);
    Tick(1);
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(std::make_tuple(tileGame.GetScore(), tileGame.level, tileGame.GetState(), IsCountdownRunning()),
              std::make_tuple(row.wantScore, row.level + 1, int32_t{StateIdle}, row.level < 12 ? 1 : 0))
        << "score, level, state, and the next level's time running while the game waits";
  }
  Tick(200);
  EXPECT_EQ(tileGame.Frame(), FrameContinue);
  EXPECT_EQ(std::make_tuple(tileGame.GetScore(), tileGame.level, tileGame.hallOfFame.TopScore()),
            std::make_tuple(130000 + 105676800, kLevelCount, 130000 + 105676800))
      << "the finished board is never scored again";
}

TEST_F(GameFlowTest, TimeOver) {
  const struct { const char* what; int32_t state, score; bool wantEntry; } rows[] = {
      {"in play with a score: into the hall of fame", 1, 5000, true}, {"a score of 0 never enters", 1, 0, false},
      {"a picture solved in its last second is not scored", 9, 0, false}, {"nothing while idle", 0, 0, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::remove("hiscore.dat");
    tileGame.hallOfFame.Resize(20);
    GoToLevel(3);
    if (row.state == 9) SolveBoard();
    Start(row.state, row.score, 0);
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(std::make_tuple(tileGame.GetState(), tileGame.GetScore(), tileGame.level),
              std::make_tuple(int32_t{StateIdle}, row.score, 3));
    const std::vector<uint8_t> file = ReadFileBytes("hiscore.dat");
    EXPECT_EQ(file.size() == 5204 ? reinterpret_cast<const char*>(&file[4]) + std::to_string(file[260] | file[261] << 8)
                                  : std::to_string(file.size()) + " bytes",
              row.wantEntry ? "Player1:::Y5000" : "0 bytes");
  }
}

TEST_F(GameFlowTest, AScareSoundEveryTenSecondsInEveryState) {
  for (int32_t state : {0, 1}) {
    Start(state, 0, 100);
    std::vector<int32_t> asked{SoundRegistry::RequestCountForTest()};
    for (int32_t ticks : {1000, 1}) {  // 10000 ms is not more than 10000
      Tick(ticks);
      tileGame.Frame();
      asked.push_back(SoundRegistry::RequestCountForTest() - asked[0]);
    }
    const std::string scare = SoundRegistry::LastRequestForTest();
    EXPECT_EQ(std::make_tuple(asked[1], asked[2], tileGame.eventTime,
                              std::string(" scream1 ghost thunder laugh ").find(" " + scare + " ") != std::string::npos),
              std::make_tuple(0, 1, GetTicks(), true))
        << "state " << state << ": sounds asked at 10 s and after, scare time, a scare sound (" << scare << ")";
  }
}

TEST_F(GameFlowTest, EachActivationRegistersTheEightEffectsAndDealsLevelOne) {
  for (int pass = 1; pass <= 3; ++pass) {  // the last without background.bmp
    std::string ids;
    for (const char* name : {"thunder", "scream1", "ghost", "organ", "beat", "laugh", "click", "slide"})
      ids += std::to_string(soundRegistry.Find(name) ? soundRegistry.Find(name)->id : -1) + " ";
    EXPECT_EQ(std::make_tuple(ids, tileGame.level, tileGame.GetState(), GetCountdown(), IsCountdownRunning()),
              pass < 3 ? std::make_tuple(std::string("10 11 12 13 14 15 16 17 "), 0, int32_t{StateIdle}, 138, 0)
                       : std::make_tuple(std::string("-1 -1 -1 -1 -1 -1 -1 -1 "), 5, int32_t{StatePlaying}, 138, 0))
        << "activation " << pass << ": effect ids, level, state, countdown, running";
    tileGame.SetState(StatePlaying);
    tileGame.level = 5;
    gameScreen.Deactivate();
    EXPECT_EQ(std::make_tuple(soundRegistry.Find("thunder"), sceneComposer.GetBackground(), sceneComposer.GetBackdrop()),
              std::make_tuple(nullptr, nullptr, nullptr)) << "no pointer to a released background or backdrop";
    if (pass == 2) fs::remove("background.bmp");
    gameScreen.Activate(ZQGetLPDD(), backSurface);
  }
  EXPECT_STREQ(gameScreen.MissingFile(), "background.bmp");
}

TEST_F(GameFlowTest, TimerBarPositionsAndGameOverFrames) {
  // The drop's top (-1: none), the units stacked from y = 306, the animation's frame (-1: none).
  const struct { int32_t remaining; bool running; int32_t dropY, units, animation; } rows[] = {
      {138, false, -1, 0, -1},  {139, true, -1, 0, -1}, {138, true, 306, 0, -1}, {137, true, 308, 1, -1},
      {34, true, 514, 104, -1}, {33, true, -1, 105, 1}, {0, true, -1, 105, 34},
  };
  for (const auto& row : rows) {
    SetCountdown(row.remaining);
    if (row.running) ResumeCountdown(); else PauseCountdown();
    LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
    DrawTimerBar(background);
    // The bar as text: 's' for the top shown, then per 2 pixels from y = 306 'd' drop, 'u' unit, 'b' both, '.'
    // neither; then the animation's frame.
    std::string actual = PixelAt(background, 723, 270) == Pixel565(kStart) ? "s" : "-";
    std::string expected = row.dropY != -1 || row.animation != -1 ? "s" : "-";
    for (int32_t y = 306; y < 530; y += 2) {
      actual += ".udb"[(PixelAt(background, 740, y) == Pixel565(kUnit)) + 2 * (PixelAt(background, 731, y) == Pixel565(kDrop))];
      expected += ".udb"[(y < 306 + 2 * row.units) + 2 * (row.dropY != -1 && y >= row.dropY && y < row.dropY + 12)];
    }
    int32_t frame = -1;
    for (int k = 0; k < 35; ++k) frame = PixelAt(background, 480, 530) == Pixel565(AnimationColour(k)) ? k : frame;
    EXPECT_EQ(actual + " " + std::to_string(frame), expected + " " + std::to_string(row.animation))
        << row.remaining << " s left, running " << row.running;
  }
  DrawNumber(nullptr, 100, 0, "1", sceneComposer.GetBackground());  // a font that did not load: nothing, no crash
}

}  // namespace
