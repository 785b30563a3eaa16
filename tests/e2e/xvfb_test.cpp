// The real game in a real X window under Xvfb, driven from outside with
// xdotool as a player would: the window opens with its title and size, and a
// released Escape or the window's close button ends the run with exit code 0
// after the whole shutdown.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "support/game_process.h"

namespace fs = std::filesystem;
using testing_support::FindAfter;
using testing_support::GameOptions;
using testing_support::GameRun;
using testing_support::RunGame;

namespace {

std::string Shell(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof(buffer), pipe)) output += buffer;
    pclose(pipe);
  }
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

class XvfbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (Shell("command -v Xvfb").empty() || Shell("command -v xdotool").empty()) return;
    for (int number = 70; number < 100; ++number) {
      if (fs::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
          fs::exists("/tmp/.X" + std::to_string(number) + "-lock"))
        continue;
      display = ":" + std::to_string(number);
      server = fork();
      if (server == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
      }
      for (int i = 0; i < 100 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      setenv("DISPLAY", display.c_str(), 1);
      return;
    }
  }
  static void TearDownTestSuite() {
    if (server > 0) {
      kill(server, SIGTERM);
      waitpid(server, nullptr, 0);
    }
  }
  void SetUp() override {
    if (server <= 0) GTEST_SKIP() << "Xvfb or xdotool missing";
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
    options.environment["DISPLAY"] = display;
    options.timeLimitSeconds = 30;
    GameRun run = RunGame(options);
    player.join();
    EXPECT_FALSE(windowId.empty()) << "no window titled Gloom Grid appeared";
    EXPECT_EQ(run.stdErr.find("headless"), std::string::npos) << run.stdErr;
    return run;
  }

  static std::string display;
  static pid_t server;
};

std::string XvfbTest::display;
pid_t XvfbTest::server = -1;

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
