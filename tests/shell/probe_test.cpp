// The real binary the way a new user first tries it: started without a display,
// stopped with Ctrl+C or SIGTERM, given a launcher directory with blanks, and
// driven by a broken test hook. Each ends promptly and says what happened; a
// hang shows as exit code -1 (killed at the time limit).
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

#include "support/game_process.h"

using testing_support::FindAfter;
using testing_support::GameOptions;
using testing_support::GameRun;
using testing_support::RunGame;

TEST(Probe, WithoutADisplayOneLineAndExitCodeOne) {
  // ":4711": a display number nothing listens on.
  for (const char* display : {"", ":4711"}) {
    GameOptions options;
    options.headless = false;
    options.environment = {{"DISPLAY", display}, {"WAYLAND_DISPLAY", ""}};
    options.timeLimitSeconds = 20;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 1) << "DISPLAY=" << display << "\n" << run.stdErr;
    EXPECT_EQ(std::count(run.stdErr.begin(), run.stdErr.end(), '\n'), 1) << run.stdErr;
    EXPECT_NE(run.stdErr.find("gloomgrid: cannot open the game window: no display"), std::string::npos)
        << run.stdErr;
  }
}

TEST(Probe, InterruptAndTerminateShutDownInOrder) {
  for (int signalNumber : {SIGINT, SIGTERM}) {
    GameOptions options;
    options.stopSignal = signalNumber;
    options.timeLimitSeconds = 20;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 0) << "signal " << signalNumber << "\n" << run.stdErr;
    size_t at = run.trace.find("signal " + std::to_string(signalNumber) + ": WM_CLOSE posted");
    at = FindAfter(run.trace, "DestroyWindow", at);
    at = FindAfter(run.trace, "timeKillEvent", at);
    at = FindAfter(run.trace, "PostQuitMessage 0", at);
    EXPECT_NE(at, std::string::npos) << "signal " << signalNumber << "\n" << run.trace;
  }
}

TEST(Probe, ALauncherDirectoryWithBlanksArrivesUnquoted) {
  GameOptions options;
  options.arguments = "/opt/Orvane Launcher";
  options.script = "100 close\n";
  GameRun run = RunGame(options);
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_NE(run.trace.find("WinMain \"/opt/Orvane Launcher\"\n"), std::string::npos) << run.trace;
}

TEST(Probe, BrokenTestHooksEndWithExitCodeOne) {
  struct Case {
    const char* script;
    const char* screenshot;  // GLOOMGRID_HOST_SCREENSHOT
    const char* message;
  };
  const Case cases[] = {
      {"100 close\n-5 keydown escape\n", "", "line 2: the time is not a whole number"},
      {"100 screenshot /nonexistent/shot.png\n200 close\n", "", "cannot write the screenshot /nonexistent/shot.png"},
      {"200 close\n", "/nonexistent/last.png", "cannot write the screenshot /nonexistent/last.png"},
  };
  for (const Case& c : cases) {
    GameOptions options;
    options.script = c.script;
    if (*c.screenshot) options.environment["GLOOMGRID_HOST_SCREENSHOT"] = c.screenshot;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 1) << c.script << run.stdErr;
    EXPECT_NE(run.stdErr.find(c.message), std::string::npos) << c.script << run.stdErr;
  }
}
