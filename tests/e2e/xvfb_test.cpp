// The real game in an X window under Xvfb, driven with xdotool as a player would: the window, the ways a run ends
// (exit code 0 after the whole shutdown), and the game answering clicks.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/game_process.h"

namespace {

using testing_support::FindAfter;
using testing_support::GameRun;

// Without an options file the title names the first player's default name.
const std::string kTitle = "Gloom Grid - Player1";

// Standard output of a shell command, trailing blanks cut.
std::string Shell(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    for (char buffer[256]; fgets(buffer, sizeof buffer, pipe);) output += buffer;
    pclose(pipe);
  }
  return output.erase(output.find_last_not_of("\n ") + 1);
}

// One Xvfb (1024 x 768 x 24) for the suite, on a display it picks itself and tells, so test programs side by side
// never fight over one; the shell's first line is its own process number, which exec hands on to Xvfb.
class XvfbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (Shell("command -v Xvfb").empty() || Shell("command -v xdotool").empty()) return;
    server = popen("echo $$; exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null", "r");
    int number = -1;
    if (server != nullptr && std::fscanf(server, "%d %d", &pid, &number) == 2)
      setenv("DISPLAY", (display = ":" + std::to_string(number)).c_str(), 1);
  }
  static void TearDownTestSuite() {
    if (pid > 0) kill(pid, SIGTERM);
    if (server != nullptr) pclose(server);
  }
  void SetUp() override {
    if (display.empty()) GTEST_SKIP() << "Xvfb or xdotool missing";
  }
  // Runs the game windowed on the Xvfb display while `driver` acts on its window.
  static GameRun RunWindowed(const std::function<void(const std::string& windowId)>& driver) {
    std::string windowId;
    std::thread player([&] {
      windowId = Shell("timeout 15 xdotool search --sync --name '^Gloom Grid' | head -1");
      if (!windowId.empty()) driver(windowId);
    });
    const GameRun run = testing_support::RunGame({.environment = {{"DISPLAY", display}}, .headless = false});
    player.join();
    EXPECT_FALSE(windowId.empty()) << "no window titled Gloom Grid... appeared";
    EXPECT_EQ(run.stdErr.find("headless"), std::string::npos) << run.stdErr;
    return run;
  }
  static void ExpectWholeShutdown(const GameRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.stdErr;
    size_t at = FindAfter(run.trace, "timeKillEvent", run.trace.find("DestroyWindow"));
    EXPECT_NE(FindAfter(run.trace, "PostQuitMessage 0", at), std::string::npos) << run.trace;
  }
  static inline std::string display;
  static inline FILE* server = nullptr;
  static inline pid_t pid = -1;
};

TEST_F(XvfbTest, OpensItsWindowAndEndsOnAReleasedEscape) {
  std::string geometry;
  const GameRun run = RunWindowed([&](const std::string& id) {
    geometry = Shell("xdotool getwindowgeometry " + id);
    Shell("xdotool windowfocus --sync " + id + " && sleep 0.3 && xdotool key Escape");
  });
  EXPECT_TRUE(geometry.find("Position: 112,84") != std::string::npos && geometry.find("Geometry: 800x600") != std::string::npos)
      << geometry;
  EXPECT_NE(run.trace.find("message " + kTitle + " 0x0101 27"), std::string::npos) << "the release arrived as WM_KEYUP";
  ExpectWholeShutdown(run);
}

TEST_F(XvfbTest, TheCloseButtonEndsTheRun) {
  const GameRun run = RunWindowed([](const std::string& id) { Shell("sleep 0.5; " GLOOMGRID_SEND_CLOSE " " + id); });
  EXPECT_NE(run.trace.find("message " + kTitle + " 0x0010"), std::string::npos) << "WM_CLOSE reached the window";
  ExpectWholeShutdown(run);
}

// Each click is held long enough for the game's 10 ms mouse polling to see it; each pixel is read from the window as
// ImageMagick names its colour.
TEST_F(XvfbTest, APlayerStartsSlidesReadsTheRulesAndLeaves) {
  std::vector<std::string> seen;  // the top pocket before and after a slide, the rules' place open and closed
  const GameRun run = RunWindowed([&](const std::string& id) {
    const auto clickAt = [&](int x, int y) {
      Shell("xdotool mousemove --window " + id + " " + std::to_string(x) + " " + std::to_string(y) +
            " && sleep 0.1 && xdotool mousedown 1 && sleep 0.15 && xdotool mouseup 1 && sleep 0.4");
    };
    const auto pixel = [&](int x, int y) {
      seen.push_back(Shell("import -silent -window " + id + " -crop 1x1+" + std::to_string(x) + "+" +
                           std::to_string(y) + " -format '%[pixel:p{0,0}]' info:- 2>/dev/null"));
    };
    Shell("sleep 0.8");
    pixel(396, 46);
    clickAt(142, 476);  // "newgame"
    clickAt(396, 126);  // cell 2 has one way to go: up into the empty top pocket
    pixel(396, 46);
    clickAt(142, 537);  // "info"
    pixel(400, 110);
    clickAt(400, 300);  // a click anywhere on the rules closes them
    pixel(400, 110);
    clickAt(50, 537);  // "exit"
  });
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_FALSE(seen[0].empty());
  EXPECT_NE(seen[0], seen[1]) << "the tile of cell 2 should fill the top pocket";
  EXPECT_NE(seen[2], seen[3]) << "the rules should cover the board, then go";
  ExpectWholeShutdown(run);
}

}  // namespace
