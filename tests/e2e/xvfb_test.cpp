// The real game in a real X window under Xvfb, driven from outside with
// xdotool as a player would: the window opens with its title and size, a
// released Escape, the window's close button or the exit button ends the run
// with exit code 0 after the whole shutdown, and the game answers clicks.
#include <gtest/gtest.h>

#include <string>

#include "e2e/xvfb_helpers.h"

namespace {

using testing_support::FindAfter;
using testing_support::GameRun;
using xvfb::Shell;

// The game names the current player in the title; without an options file that
// is the first player's default name.
const std::string kTitle = "Gloom Grid - Player1";

class XvfbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running = xvfb::Start(); }
  static void TearDownTestSuite() { xvfb::Stop(); }
  void SetUp() override {
    if (!running) GTEST_SKIP() << "Xvfb or xdotool missing";
  }
  static void ExpectWholeShutdown(const GameRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.stdErr;
    size_t at = FindAfter(run.trace, "timeKillEvent", run.trace.find("DestroyWindow"));
    EXPECT_NE(FindAfter(run.trace, "PostQuitMessage 0", at), std::string::npos) << run.trace;
  }
  static bool running;
};

bool XvfbTest::running = false;

TEST_F(XvfbTest, OpensItsWindowAndEndsOnAReleasedEscape) {
  std::string geometry;
  GameRun run = xvfb::RunWindowed({}, [&](const std::string& id) {
    geometry = Shell("xdotool getwindowgeometry " + id);
    Shell("xdotool windowfocus --sync " + id + " && sleep 0.3 && xdotool key Escape");
  });
  EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Position: 112,84"), std::string::npos) << geometry;
  EXPECT_NE(run.trace.find("message " + kTitle + " 0x0101 27"), std::string::npos) << "the release arrived as WM_KEYUP";
  ExpectWholeShutdown(run);
}

TEST_F(XvfbTest, TheCloseButtonEndsTheRun) {
  GameRun run = xvfb::RunWindowed(
      {}, [](const std::string& id) { Shell("sleep 0.5; " + std::string(GLOOMGRID_SEND_CLOSE) + " " + id); });
  EXPECT_NE(run.trace.find("message " + kTitle + " 0x0010"), std::string::npos) << "WM_CLOSE reached the window";
  ExpectWholeShutdown(run);
}

// A press held long enough for the game's 10 ms mouse polling to see it.
void ClickAt(const std::string& id, int x, int y) {
  Shell("xdotool mousemove --window " + id + " " + std::to_string(x) + " " + std::to_string(y) +
        " && sleep 0.1 && xdotool mousedown 1 && sleep 0.15 && xdotool mouseup 1 && sleep 0.4");
}

TEST_F(XvfbTest, APlayerStartsSlidesReadsTheRulesAndLeaves) {
  struct Seen {
    std::string pocketBefore, pocketAfter, rulesOpen, rulesClosed;
  };
  static Seen seen;
  GameRun run = xvfb::RunWindowed({}, [](const std::string& id) {
    Shell("sleep 0.8");
    seen.pocketBefore = xvfb::WindowPixel(id, 396, 46);
    ClickAt(id, 142, 476);  // "newgame"
    ClickAt(id, 396, 126);  // cell 2 has one way to go: up into the empty top pocket
    seen.pocketAfter = xvfb::WindowPixel(id, 396, 46);
    ClickAt(id, 142, 537);  // "info"
    seen.rulesOpen = xvfb::WindowPixel(id, 400, 110);
    ClickAt(id, 400, 300);  // a click anywhere on the rules closes them
    seen.rulesClosed = xvfb::WindowPixel(id, 400, 110);
    ClickAt(id, 50, 537);   // "exit"
  });
  EXPECT_FALSE(seen.pocketBefore.empty());
  EXPECT_NE(seen.pocketBefore, seen.pocketAfter) << "the tile of cell 2 should fill the top pocket";
  EXPECT_NE(seen.rulesOpen, seen.rulesClosed) << "the rules should cover the board, then go";
  ExpectWholeShutdown(run);
}

}  // namespace
