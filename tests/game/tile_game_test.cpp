// The game's frame as a state machine, on the real artwork: the buttons in each
// state, the level limits, the time over, the wait after a solve, the scoring up
// to the largest bonus, the scare sounds, and the finished last level.
#include <cstdio>
#include <set>
#include <string>
#include <tuple>

#include "game_fixture.h"

using game_test::GameFlowTest;
using testing_support::ReadFileBytes;

namespace {

// The countdown is set to 50 before each click; a running one may cross one
// second boundary during it.
const struct ButtonRow {
  const char* what;
  int32_t state, level;
  const char* button;
  int32_t wantState, wantLevel, wantScore, wantCountdown;
  bool wantRunning, wantSameBoard;
} kButtonRows[] = {
    {"newgame while idle starts play on the same deal and time", 0, 2, "newgame", 1, 2, 0, 50, true, true},
    {"newgame while playing deals the level again", 1, 2, "newgame", 1, 2, 0, 158, true, false},
    {"newgame while solved goes back to play", 9, 2, "newgame", 1, 2, 0, 50, true, true},
    {"up on the last level does nothing", 0, 12, "up", 0, 12, 777, 50, false, true},
    {"down on the first level does nothing", 0, 0, "down", 0, 0, 777, 50, false, true},
    {"down while playing abandons the round", 1, 4, "down", 0, 3, 777, 168, false, false},
    {"up while solved leaves the round unscored", 9, 4, "up", 0, 5, 777, 188, false, false},
    {"newgame after the last level starts again at level 1", 0, 13, "newgame", 1, 0, 0, 138, true, false},
    {"down after the last level deals level 13", 0, 13, "down", 0, 12, 777, 258, false, false},
    {"up after the last level does nothing", 0, 13, "up", 0, 13, 777, 50, false, true},
    {"the rules before play leave the clock stopped", 0, 2, "info", 0, 2, 777, 50, false, true},
    {"the rules during play stop the clock only while open", 1, 2, "info", 1, 2, 777, 50, true, true},
};

TEST_F(GameFlowTest, ButtonsInEachState) {
  for (const ButtonRow& row : kButtonRows) {
    SCOPED_TRACE(row.what);
    GoToLevel(row.level);
    tileGame.SetState(row.state);
    tileGame.SetScore(777);
    tileGame.eventTime = GetTicks();
    SetCountdown(50);
    if (row.state != 0) ResumeCountdown();
    BoardCell before[kBoardCells];
    std::copy(std::begin(tileGame.board.cells), std::end(tileGame.board.cells), before);
    ASSERT_EQ(ClickButton(row.button), FrameContinue);
    const bool same = std::equal(std::begin(before), std::end(before), std::begin(tileGame.board.cells),
                                 [](const BoardCell& a, const BoardCell& b) { return a.tile == b.tile; });
    const int32_t countdown = GetCountdown() + (row.wantRunning && GetCountdown() == row.wantCountdown - 1);
    EXPECT_EQ(std::make_tuple(tileGame.GetState(), tileGame.level, tileGame.GetScore(), countdown,
                              IsCountdownRunning() != 0, same),
              std::make_tuple(row.wantState, row.wantLevel, row.wantScore, row.wantCountdown, row.wantRunning,
                              row.wantSameBoard))
        << "state, level, score, countdown, running, same board";
    PauseCountdown();
  }
}

TEST_F(GameFlowTest, ExitAndMenuEndTheProgramOnlyWhenTheyShould) {
  EXPECT_EQ(ClickButton("menu"), FrameContinue) << "no command line: only a click";
  EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "click");
  CopyLaunchDirectory("/no/such/launcher/folder");
  EXPECT_EQ(ClickButton("menu"), FrameContinue) << "a launcher that cannot start leaves the game running";
  EXPECT_EQ(ClickButton("exit"), FrameQuit);
}

// Solved in play: "organ", 1.5 s on screen with the countdown running, then
// the level's points and the time bonus; the last level only waits after.
TEST_F(GameFlowTest, ASolvedPictureWaitsOneAndAHalfSecondsThenScores) {
  const struct {
    int32_t level, remaining, wantScore;
  } rows[] = {{0, 138, 10000 + 13800}, {1, 100, 20000 + 20000}, {12, 258, 130000 + 105676800}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "level index " << row.level << ", " << row.remaining << " s left");
    GoToLevel(row.level);
    SolveBoard();
    tileGame.SetState(StatePlaying);
    tileGame.SetScore(0);
    ResumeCountdown();
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(tileGame.GetState(), StateRoundComplete);
    EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "organ");
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
  EXPECT_EQ(ReadFileBytes("hiscore.dat").size(), 5204u);
}

TEST_F(GameFlowTest, TimeOver) {
  const struct {
    const char* what;
    int32_t state, score;
    bool wantEntry;
  } rows[] = {
      {"time over in play with a score enters the hall of fame", 1, 5000, true},
      {"a score of 0 never enters", 1, 0, false},
      {"a picture solved in its last second is not scored", 9, 0, false},
      {"nothing happens while idle", 0, 0, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::remove("hiscore.dat");
    tileGame.hallOfFame.Resize(20);
    GoToLevel(3);
    if (row.state == 9) SolveBoard();
    tileGame.SetState(row.state);
    tileGame.SetScore(row.score);
    tileGame.eventTime = GetTicks();
    SetCountdown(0);
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(std::make_tuple(tileGame.GetState(), tileGame.GetScore(), tileGame.level),
              std::make_tuple(int32_t{StateIdle}, row.score, 3));
    std::vector<uint8_t> file = ReadFileBytes("hiscore.dat");
    ASSERT_EQ(file.size(), row.wantEntry ? 5204u : 0u);
    if (row.wantEntry) {
      EXPECT_STREQ(reinterpret_cast<const char*>(&file[4]), "Player1:::Y");
      EXPECT_EQ(file[260] | file[261] << 8, 5000);
    }
  }
}

TEST_F(GameFlowTest, AScareSoundEveryTenSecondsInEveryState) {
  const std::set<std::string> scares = {"scream1", "ghost", "thunder", "laugh"};
  for (int32_t state : {0, 1}) {
    tileGame.SetState(state);
    tileGame.eventTime = GetTicks();
    const int32_t asked = SoundRegistry::RequestCountForTest();
    Tick(1000);
    tileGame.Frame();
    EXPECT_EQ(SoundRegistry::RequestCountForTest(), asked) << "state " << state << ": 10000 ms is not more than 10000";
    Tick(1);
    tileGame.Frame();
    EXPECT_EQ(SoundRegistry::RequestCountForTest(), asked + 1) << "state " << state;
    EXPECT_EQ(scares.count(SoundRegistry::LastRequestForTest()), 1u) << SoundRegistry::LastRequestForTest();
    EXPECT_EQ(tileGame.eventTime, GetTicks());
  }
}

TEST_F(GameFlowTest, EachActivationRegistersTheEightEffectsAndDealsLevelOne) {
  const char* const names[] = {"thunder", "scream1", "ghost", "organ", "beat", "laugh", "click", "slide"};
  for (int pass = 1; pass <= 2; ++pass) {
    for (int i = 0; i < 8; ++i) {
      SoundEntry* entry = soundRegistry.Find(names[i]);
      EXPECT_EQ(entry ? entry->id : -1, 10 + i) << names[i] << ", activation " << pass;
    }
    EXPECT_EQ(std::make_tuple(tileGame.level, tileGame.GetState(), GetCountdown(), IsCountdownRunning()),
              std::make_tuple(0, int32_t{StateIdle}, 138, 0))
        << "level, state, countdown, running";
    tileGame.SetState(StatePlaying);
    tileGame.level = 5;
    gameScreen.Deactivate();
    EXPECT_EQ(soundRegistry.Find("thunder"), nullptr);
    EXPECT_EQ(sceneComposer.GetBackground(), nullptr) << "no pointer to a released background";
    EXPECT_EQ(sceneComposer.GetBackdrop(), nullptr);
    gameScreen.Activate(ZQGetLPDD(), backSurface);
  }
}

class MissingBackgroundTest : public GameFlowTest {
 protected:
  void PrepareFolder() override { std::filesystem::remove(game_ / "background.bmp"); }
};

TEST_F(MissingBackgroundTest, ActivationReportsTheMissingFile) {
  EXPECT_STREQ(gameScreen.MissingFile(), "background.bmp");
  EXPECT_EQ(sceneComposer.GetBackground(), nullptr);
}

}  // namespace
