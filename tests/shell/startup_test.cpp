// The real game binary, started headless in a copy of its folder: start-up
// checks with their messages and exit codes, display modes from setup.ini, and
// the ways a run ends.
#include <gtest/gtest.h>

#include "support/game_process.h"

using testing_support::FindAfter;
using testing_support::GameOptions;
using testing_support::GameRun;
using testing_support::RunGame;

namespace {

constexpr char kDepthMessage[] = "Orvane Games needs the display set to High Color (16 bit).";
constexpr char kNoDirectX[] = "DirectX not installed. Program needs DirectX 7.0a or higher to run";
constexpr char kOldDirectX[] = "DirectX Version 7.0a or greater not installed";

GameOptions QuitWithEscapeAt(int ms) {
  GameOptions options;
  options.script = std::to_string(ms) + " keydown escape\n" + std::to_string(ms + 10) + " keyup escape\n";
  return options;
}

}  // namespace

TEST(Startup, RefusesDisplaysThatAreNotHighColour) {
  for (const char* depth : {"24", "32", "8"}) {
    GameOptions options = QuitWithEscapeAt(100);
    options.environment["GLOOMGRID_HOST_BPP"] = depth;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 1) << depth << " bits";
    EXPECT_NE(run.stdErr.find(kDepthMessage), std::string::npos) << depth << " bits, stderr: " << run.stdErr;
    EXPECT_EQ(run.trace.find("CreateWindowExA"), std::string::npos) << "no window before the checks pass";
  }
}

TEST(Startup, AcceptsFifteenAndSixteenBitDisplays) {
  for (const char* depth : {"15", "16"}) {
    GameOptions options = QuitWithEscapeAt(100);
    options.environment["GLOOMGRID_HOST_BPP"] = depth;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 0) << depth << " bits";
    EXPECT_EQ(run.stdErr.find(kDepthMessage), std::string::npos) << run.stdErr;
    EXPECT_NE(run.trace.find("CreateWindowExA"), std::string::npos) << depth << " bits, trace:\n" << run.trace;
  }
}

TEST(Startup, ReportsMissingOrOldDirectX) {
  struct Case {
    const char* setting;
    const char* message;
  };
  for (Case c : {Case{"fail", kNoDirectX}, Case{"no7", kOldDirectX}}) {
    GameOptions options = QuitWithEscapeAt(100);
    options.environment["GLOOMGRID_HOST_DDRAW"] = c.setting;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 1) << c.setting;
    EXPECT_NE(run.stdErr.find(c.message), std::string::npos) << c.setting << ", stderr: " << run.stdErr;
    EXPECT_EQ(run.trace.find("CreateWindowExA"), std::string::npos) << c.setting;
  }
}

TEST(Startup, WindowedByDefaultAndWithoutSetupFile) {
  for (const char* setup : {"", "[setup]\nfullscreen=0\n", "[setup]\nother=1\n", "[elsewhere]\nfullscreen=1\n"}) {
    GameOptions options = QuitWithEscapeAt(100);
    options.setupIni = setup;
    if (!*setup) options.setupIni = "\n";  // an empty file reads like a missing one
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 0);
    // 0x100B0000: WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, centred on a 1024 x 768 desktop.
    EXPECT_NE(run.trace.find("CreateWindowExA DirectX Class \"Gloom Grid\" style=0x100b0000 112,84 800x600"),
              std::string::npos)
        << "setup.ini:\n" << setup << "\ntrace:\n" << run.trace;
  }
}

TEST(Startup, FullScreenCoversTheScreenAndSetsTheDisplayMode) {
  GameOptions options = QuitWithEscapeAt(100);
  options.setupIni = "[Setup]\nFullScreen = 1\n";
  GameRun run = RunGame(options);
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_NE(run.trace.find("CreateWindowExA DirectX Class \"Gloom Grid\" style=0x10000000 0,0 1024x768"),
            std::string::npos)
      << run.trace;
  EXPECT_NE(run.trace.find("DirectDraw: display mode 800x600x16"), std::string::npos) << run.trace;
}

TEST(Startup, EscapeEndsTheRunAfterTheWholeShutdown) {
  GameRun run = RunGame(QuitWithEscapeAt(300));
  ASSERT_EQ(run.exitCode, 0) << run.stdErr;
  // The clock stops first and the quit message is posted last, after the display went.
  size_t at = run.trace.find("script 310 keyup escape");
  at = FindAfter(run.trace, "DestroyWindow", at);
  at = FindAfter(run.trace, "timeKillEvent", at);
  at = FindAfter(run.trace, "timeEndPeriod 10", at);
  at = FindAfter(run.trace, "PostQuitMessage 0", at);
  EXPECT_NE(at, std::string::npos) << run.trace;
}

TEST(Startup, TheCloseButtonEndsTheRun) {
  GameOptions options;
  options.script = "200 close\n";
  GameRun run = RunGame(options);
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_NE(FindAfter(run.trace, "PostQuitMessage 0", run.trace.find("script 200 close")), std::string::npos)
      << run.trace;
}

TEST(Startup, KeepsRunningWithoutAMultimediaTimer) {
  // The clock then follows GetTickCount, on the wall clock as well as in virtual time.
  for (const char* time : {"virtual", "real"}) {
    GameOptions options = QuitWithEscapeAt(500);
    options.environment["GLOOMGRID_HOST_TIMER"] = "refuse";
    options.environment["GLOOMGRID_HOST_TIME"] = time;
    options.timeLimitSeconds = 20;
    GameRun run = RunGame(options);
    EXPECT_EQ(run.exitCode, 0) << time << " time; -1 means it hung\n" << run.stdErr;
    EXPECT_NE(run.trace.find("timeSetEvent refused"), std::string::npos) << run.trace;
  }
}
