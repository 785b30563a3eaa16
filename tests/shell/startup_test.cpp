// The real game binary, started in a copy of its folder: start-up checks, display modes, the ways a run ends. A hang
// shows as exit code -1 (killed at the time limit).
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

#include "support/game_process.h"
#include "support/scratch_folder.h"

namespace {

using testing_support::GameOptions;
using testing_support::GameRun;

constexpr char kDepth[] = "Orvane Games needs the display set to High Color (16 bit).";
constexpr char kEscape[] = "100 keydown escape\n110 keyup escape\n";
constexpr char kWindowed[] = "CreateWindowExA DirectX Class \"Gloom Grid\" style=0x100b0000 112,84 800x600";

struct RunRow {
  GameOptions options;
  int exitCode;
  std::vector<std::string> inOrder;  // in stderr, then the trace, in this order
  const char* absent = "";           // in neither
  int stdErrLines = -1;              // -1: any number
};

void ExpectRuns(const std::vector<RunRow>& runs) {
  for (const RunRow& run : runs) {
    GameRun result = testing_support::RunGame(run.options);
    const std::string output = result.stdErr + result.trace;
    size_t at = 0;
    for (const std::string& text : run.inOrder) at = testing_support::FindAfter(output, text, at);
    const int lines = std::count(result.stdErr.begin(), result.stdErr.end(), '\n');
    const bool found = at != std::string::npos && (!*run.absent || output.find(run.absent) == std::string::npos);
    EXPECT_TRUE(result.exitCode == run.exitCode && found && (run.stdErrLines < 0 || lines == run.stdErrLines))
        << "exit code " << result.exitCode << " (expected " << run.exitCode << "), " << lines << " lines on stderr; in order "
        << testing::PrintToString(run.inOrder) << " and no \"" << run.absent << "\" expected in stderr and trace:\n" << output;
  }
}

// 0x100B0000: WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, centred on a 1024 x 768 desktop. Escape: the
// clock stops first, the quit message last.
TEST(Startup, ChecksDisplayModesAndEndings) {
  ExpectRuns({
      {{.environment = {{"GLOOMGRID_HOST_BPP", "24"}}, .script = kEscape}, 1, {kDepth}, "CreateWindowExA"},
      {{.environment = {{"GLOOMGRID_HOST_BPP", "8"}}, .script = kEscape}, 1, {kDepth}, "CreateWindowExA"},
      {{.environment = {{"GLOOMGRID_HOST_DDRAW", "fail"}}, .script = kEscape}, 1,
       {"DirectX not installed. Program needs DirectX 7.0a or higher to run"}, "CreateWindowExA"},
      {{.environment = {{"GLOOMGRID_HOST_DDRAW", "no7"}}, .script = kEscape}, 1,
       {"DirectX Version 7.0a or greater not installed"}, "CreateWindowExA"},
      {{.environment = {{"GLOOMGRID_HOST_BPP", "15"}}, .script = kEscape, .setupIni = "\n"}, 0,
       {kWindowed, "script 110 keyup escape", "DestroyWindow", "timeKillEvent", "timeEndPeriod 10", "PostQuitMessage 0"},
       kDepth},
      {{.script = kEscape, .setupIni = "[elsewhere]\nfullscreen=1\n[setup]\nother=1\n"}, 0, {kWindowed}},
      {{.script = kEscape, .setupIni = "[Setup]\nFullScreen = 1\n"}, 0,
       {"CreateWindowExA DirectX Class \"Gloom Grid\" style=0x10000000 0,0 1024x768", "display mode 800x600x16"}},
      // Without a multimedia timer the clock follows GetTickCount, in virtual and real time.
      {{.environment = {{"GLOOMGRID_HOST_TIMER", "refuse"}, {"GLOOMGRID_HOST_TIME", "virtual"}}, .script = kEscape}, 0,
       {"timeSetEvent refused"}},
      {{.environment = {{"GLOOMGRID_HOST_TIMER", "refuse"}, {"GLOOMGRID_HOST_TIME", "real"}}, .script = kEscape}, 0,
       {"timeSetEvent refused"}},
      {{.script = "200 close\n"}, 0, {"script 200 close", "PostQuitMessage 0"}},
  });
}

TEST(Probe, NoDisplaySignalsBlanksNonFilesAndBrokenHooks) {
  // The shipped setup.ini replaced by a FIFO, which must read as missing at once.
  testing_support::ScratchFolder scratch;
  const std::string fifo = scratch.File("fifo.sh");
  const std::string script = "rm setup.ini && mkfifo setup.ini && exec ./gloomgrid \"/opt/Orvane Launcher\"\n";
  ASSERT_TRUE(testing_support::WriteFileBytes(fifo, {script.begin(), script.end()}));
  const char* noDisplay = "gloomgrid: cannot open the game window: no display";
  ExpectRuns({
      // ":4711": a display number nothing listens on.
      {{.environment = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, .headless = false}, 1, {noDisplay}, "", 1},
      {{.environment = {{"DISPLAY", ":4711"}, {"WAYLAND_DISPLAY", ""}}, .headless = false}, 1, {noDisplay}, "", 1},
      {{.stopSignal = SIGINT}, 0, {"signal 2: WM_CLOSE posted", "DestroyWindow", "timeKillEvent", "PostQuitMessage 0"}},
      {{.stopSignal = SIGTERM}, 0, {"signal 15: WM_CLOSE posted", "DestroyWindow", "timeKillEvent", "PostQuitMessage 0"}},
      {{.script = "100 close\n", .arguments = fifo, .program = "/bin/sh"}, 0,
       {"WinMain \"/opt/Orvane Launcher\"\n", kWindowed}},
      {{.script = "100 close\n-5 keydown escape\n"}, 1, {"line 2: the time is not a whole number"}},
      {{.script = "100 screenshot /nonexistent/shot.png\n200 close\n"}, 1, {"cannot write the screenshot /nonexistent/shot.png"}},
      {{.environment = {{"GLOOMGRID_HOST_SCREENSHOT", "/nonexistent/last.png"}}, .script = "200 close\n"}, 1,
       {"cannot write the screenshot /nonexistent/last.png"}},
  });
}

}  // namespace
