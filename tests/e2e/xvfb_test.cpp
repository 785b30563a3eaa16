// The real game in a real X window under Xvfb, driven from outside with
// xdotool as a player would: the window opens with its title and size, and a
// released Escape or the window's close button ends the run with exit code 0
// after the whole shutdown.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "e2e/xvfb_helpers.h"
#include "support/game_process.h"

using testing_support::FindAfter;
using testing_support::GameOptions;
using testing_support::GameRun;
using testing_support::RunGame;

namespace {

using xvfb::Shell;

class XvfbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running = xvfb::Start(); }
  static void TearDownTestSuite() { xvfb::Stop(); }
  void SetUp() override {
    if (!running) GTEST_SKIP() << "Xvfb or xdotool missing";
  }

  // Runs the game windowed on the Xvfb display while `driver` acts on its window.
  GameRun RunWithDriver(void (*driver)(const std::string& windowId)) {
    std::string windowId;
    std::thread player([&] {
      windowId = Shell("timeout 15 xdotool search --sync --name '^Gloom Grid$' | head -1");
      if (!windowId.empty()) driver(windowId);
    });
    GameOptions options;
    options.headless = false;
    options.environment["DISPLAY"] = xvfb::Display();
    options.timeLimitSeconds = 30;
    GameRun run = RunGame(options);
    player.join();
    EXPECT_FALSE(windowId.empty()) << "no window titled Gloom Grid appeared";
    EXPECT_EQ(run.stdErr.find("headless"), std::string::npos) << run.stdErr;
    return run;
  }

  static bool running;
};

bool XvfbTest::running = false;

void ExpectWholeShutdown(const GameRun& run) {
  size_t at = run.trace.find("DestroyWindow");
  at = FindAfter(run.trace, "timeKillEvent", at);
  at = FindAfter(run.trace, "PostQuitMessage 0", at);
  EXPECT_NE(at, std::string::npos) << run.trace;
}

TEST_F(XvfbTest, OpensItsWindowAndEndsOnAReleasedEscape) {
  static std::string geometry;
  GameRun run = RunWithDriver([](const std::string& id) {
    geometry = Shell("xdotool getwindowgeometry " + id);
    Shell("xdotool windowfocus --sync " + id + " && sleep 0.3 && xdotool key Escape");
  });
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Position: 112,84"), std::string::npos) << geometry;
  EXPECT_NE(run.trace.find("message Gloom Grid 0x0101 27"), std::string::npos) << "the release arrived as WM_KEYUP";
  ExpectWholeShutdown(run);
}

TEST_F(XvfbTest, TheCloseButtonEndsTheRun) {
  GameRun run = RunWithDriver([](const std::string& id) {
    Shell("sleep 0.5; " + std::string(GLOOMGRID_SEND_CLOSE) + " " + id);
  });
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_NE(run.trace.find("message Gloom Grid 0x0010"), std::string::npos) << "WM_CLOSE reached the window";
  ExpectWholeShutdown(run);
}

}  // namespace
