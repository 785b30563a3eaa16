// The game's frame as a state machine, on the real artwork: the buttons in each
// state, the level limits, the time over, the wait after a solve, the scoring up
// to the largest bonus, the scare sounds, and the finished last level.
#include <cstdio>
#include <set>
#include <string>

#include "game_fixture.h"
#include "support/scratch_folder.h"

using game_test::GameFlowTest;
using testing_support::ReadFileBytes;

namespace {

constexpr int32_t kSameAsBefore = -2;

struct ButtonRow {
  const char* what;
  int32_t state, level;
  const char* button;
  int32_t wantState, wantLevel, wantScore, wantCountdown;  // countdown: kSameAsBefore = the 50 set up
  bool wantRunning;
  bool wantSameBoard;
};

// Every row starts with score 777 and 50 seconds on the clock.
const ButtonRow kButtonRows[] = {
    {"newgame while idle starts play on the same deal and time", 0, 2, "newgame", 1, 2, 0, kSameAsBefore, true, true},
    {"newgame while playing deals the level again", 1, 2, "newgame", 1, 2, 0, 158, true, false},
    {"newgame while solved goes back to play", 9, 2, "newgame", 1, 2, 0, kSameAsBefore, true, true},
    {"up on the last level does nothing", 0, 12, "up", 0, 12, 777, kSameAsBefore, false, true},
    {"down on the first level does nothing", 0, 0, "down", 0, 0, 777, kSameAsBefore, false, true},
    {"down while playing abandons the round", 1, 4, "down", 0, 3, 777, 168, false, false},
    {"up while solved leaves the round unscored", 9, 4, "up", 0, 5, 777, 188, false, false},
    {"newgame after the last level starts again at level 1", 0, 13, "newgame", 1, 0, 0, 138, true, false},
    {"down after the last level deals level 13", 0, 13, "down", 0, 12, 777, 258, false, false},
    {"up after the last level does nothing", 0, 13, "up", 0, 13, 777, kSameAsBefore, false, true},
    {"the rules before play leave the clock stopped", 0, 2, "info", 0, 2, 777, kSameAsBefore, false, true},
    {"the rules during play stop the clock only while open", 1, 2, "info", 1, 2, 777, kSameAsBefore, true, true},
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

    if (std::string(row.button) == "info") ClickSoon();
    ASSERT_EQ(ClickButton(row.button), FrameContinue);
    EXPECT_EQ(tileGame.GetState(), row.wantState);
    EXPECT_EQ(tileGame.level, row.wantLevel);
    EXPECT_EQ(tileGame.GetScore(), row.wantScore);
    EXPECT_EQ(IsCountdownRunning() != 0, row.wantRunning);
    int32_t wantCountdown = row.wantCountdown == kSameAsBefore ? 50 : row.wantCountdown;
    // A running countdown may have crossed one second boundary during the click.
    EXPECT_LE(GetCountdown(), wantCountdown);
    EXPECT_GE(GetCountdown(), wantCountdown - (row.wantRunning ? 1 : 0));
    bool same = std::equal(std::begin(before), std::end(before), std::begin(tileGame.board.cells),
                           [](const BoardCell& a, const BoardCell& b) { return a.tile == b.tile; });
    EXPECT_EQ(same, row.wantSameBoard);
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

struct ScoringRow {
  int32_t level, remaining, wantScore;
};

// The score gained by solving: the level's points and the time bonus.
const ScoringRow kScoringRows[] = {
    {0, 138, 10000 + 13800},
    {1, 100, 20000 + 20000},
    {12, 258, 130000 + 105676800},  // the largest bonus of all
};

TEST_F(GameFlowTest, ScoringAfterTheWait) {
  for (const ScoringRow& row : kScoringRows) {
    SCOPED_TRACE(testing::Message() << "level index " << row.level << ", " << row.remaining << " s left");
    GoToLevel(row.level);
    SolveBoard();
    tileGame.SetScore(0);
    tileGame.SetState(StateRoundComplete);
    tileGame.eventTime = GetTicks() - 1510;
    SetCountdown(row.remaining);
    ASSERT_EQ(tileGame.Frame(), FrameContinue);
    EXPECT_EQ(tileGame.GetScore(), row.wantScore);
    EXPECT_EQ(tileGame.level, row.level + 1);
    EXPECT_EQ(tileGame.GetState(), StateIdle);
  }
  // Level 13 was the last: the finished board waits, never scored again.
  EXPECT_EQ(IsCountdownRunning(), 0);
  Tick(200);
  EXPECT_EQ(tileGame.Frame(), FrameContinue);
  EXPECT_EQ(tileGame.GetScore(), 130000 + 105676800);
  EXPECT_EQ(tileGame.level, kLevelCount);
  EXPECT_EQ(tileGame.hallOfFame.TopScore(), 130000 + 105676800);
  EXPECT_EQ(ReadFileBytes("hiscore.dat").size(), 5204u);
}

TEST_F(GameFlowTest, ASolvedPictureWaitsOneAndAHalfSecondsBeforeScoring) {
  GoToLevel(0);
  SolveBoard();
  tileGame.SetState(StatePlaying);
  tileGame.SetScore(0);
  SetCountdown(100);
  ResumeCountdown();
  ASSERT_EQ(tileGame.Frame(), FrameContinue);
  EXPECT_EQ(tileGame.GetState(), StateRoundComplete);
  EXPECT_STREQ(SoundRegistry::LastRequestForTest(), "organ");
  Tick(150);
  tileGame.Frame();
  EXPECT_EQ(tileGame.GetState(), StateRoundComplete) << "1500 ms is not yet more than 1500";
  EXPECT_EQ(tileGame.GetScore(), 0);
  Tick(1);
  tileGame.Frame();
  EXPECT_EQ(tileGame.level, 1);
  EXPECT_EQ(tileGame.GetState(), StateIdle);
  // The countdown ran on during the wait: one or two seconds went.
  EXPECT_GE(tileGame.GetScore(), 10000 + 9800);
  EXPECT_LE(tileGame.GetScore(), 10000 + 9900);
  EXPECT_EQ(IsCountdownRunning(), 1) << "the next level's time runs while the game waits";
}

struct TimeOverRow {
  const char* what;
  int32_t state, score;
  bool wantEntry;
};

const TimeOverRow kTimeOverRows[] = {
    {"time over in play with a score enters the hall of fame", 1, 5000, true},
    {"a score of 0 never enters", 1, 0, false},
    {"a picture solved in its last second is not scored", 9, 0, false},
    {"nothing happens while idle", 0, 0, false},
};

TEST_F(GameFlowTest, TimeOver) {
  for (const TimeOverRow& row : kTimeOverRows) {
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
    EXPECT_EQ(tileGame.GetState(), StateIdle);
    EXPECT_EQ(tileGame.GetScore(), row.score);
    EXPECT_EQ(tileGame.level, 3);
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
    SCOPED_TRACE(testing::Message() << "state " << state);
    tileGame.SetState(state);
    tileGame.eventTime = GetTicks();
    int32_t asked = SoundRegistry::RequestCountForTest();
    Tick(1000);
    tileGame.Frame();
    EXPECT_EQ(SoundRegistry::RequestCountForTest(), asked) << "10000 ms is not yet more than 10000";
    Tick(1);
    tileGame.Frame();
    EXPECT_EQ(SoundRegistry::RequestCountForTest(), asked + 1);
    EXPECT_EQ(scares.count(SoundRegistry::LastRequestForTest()), 1u) << SoundRegistry::LastRequestForTest();
    EXPECT_EQ(tileGame.eventTime, GetTicks());
  }
}

TEST_F(GameFlowTest, ActivationRegistersTheEightEffectsAfresh) {
  const char* const names[] = {"thunder", "scream1", "ghost", "organ", "beat", "laugh", "click", "slide"};
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(testing::Message() << "activation " << pass + 1);
    for (int i = 0; i < 8; ++i) {
      SoundEntry* entry = soundRegistry.Find(names[i]);
      ASSERT_NE(entry, nullptr) << names[i];
      EXPECT_EQ(entry->id, 10 + i) << names[i];
    }
    EXPECT_EQ(soundRegistry.Add("sounds\\missing.wav", "missing"), nullptr);
    EXPECT_EQ(soundRegistry.Find("missing"), nullptr);
    ASSERT_NE(soundRegistry.Add("sounds\\click.wav", "thunder"), nullptr);
    EXPECT_EQ(soundRegistry.Find("thunder")->id, 10) << "the earlier of two equal names";
    gameScreen.Deactivate();
    EXPECT_EQ(soundRegistry.Find("thunder"), nullptr);
    EXPECT_EQ(sceneComposer.GetBackground(), nullptr) << "no pointer to a released background";
    EXPECT_EQ(sceneComposer.GetBackdrop(), nullptr);
    gameScreen.Activate(ZQGetLPDD(), backSurface);
  }
  EXPECT_EQ(tileGame.level, 0) << "activation deals level 1";
  EXPECT_EQ(tileGame.GetState(), StateIdle);
  EXPECT_EQ(GetCountdown(), 138);
  EXPECT_EQ(IsCountdownRunning(), 0);
}

class MissingBackgroundTest : public GameFlowTest {
 protected:
  void PrepareFolder() override { std::filesystem::remove(game_ / "background.bmp"); }
};

TEST_F(MissingBackgroundTest, ActivationReportsTheMissingFile) {
  ASSERT_NE(gameScreen.MissingFile(), nullptr);
  EXPECT_STREQ(gameScreen.MissingFile(), "background.bmp");
  EXPECT_EQ(sceneComposer.GetBackground(), nullptr);
}

}  // namespace
