// What one playing frame costs: the game as start-up leaves it (the display,
// the clock, the sound registry, the game screen selected), headless in manual
// time, on the first level after "newgame" with all 25 tiles on the board. One
// iteration is one frame through the screen manager: the game's Frame (panels,
// timer bar, tiles, buttons), the cursor, ZQFlip with the host's presentation
// and the composer's restores. The wait for the frame slot is not measured:
// the clock is stepped one period between frames. The counter "median_us" is
// the median of the frames' own CPU times on this thread.
#include <benchmark/benchmark.h>
#include <windows.h>
#include <ddraw.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/game_clock.h"
#include "core/globals.h"
#include "game/game_screen.h"
#include "game/tile_game.h"
#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/screen_manager.h"
#include "sound/sound_registry.h"

namespace {

namespace fs = std::filesystem;

// Seconds left on the countdown during the measured frames: the timer bar shows
// a third of its units, as in the middle of a level.
constexpr int32_t kCountdownLeft = 100;
constexpr int kNewGameX = 98 + 20, kNewGameY = 448 + 20;

double ThreadCpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// A copy of the game folder to run in, so that nothing is written into the build.
std::string CopyGameFolder() {
  char pattern[] = "/tmp/gloom_frame_bench.XXXXXX";
  if (mkdtemp(pattern) == nullptr) return "";
  const fs::path game = fs::path(pattern) / "GloomGrid";
  std::error_code error;
  fs::create_directory(game, error);
  for (const auto& entry : fs::directory_iterator(GLOOMGRID_DIST_DIR, error))
    if (entry.path().filename() != "gloomgrid")
      fs::copy(entry, game / entry.path().filename(), fs::copy_options::recursive, error);
  fs::current_path(game, error);
  return error ? "" : pattern;
}

// The start-up of the game's entry point, without its loop: the display in a
// window (fullScreen 0) or full-screen, the clock, sound and the game screen.
bool StartGame(bool fullScreenDisplay) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.lpszClassName = "GloomGridFrameBench";
  RegisterClassA(&windowClass);
  mainWindow = CreateWindowExA(0, windowClass.lpszClassName, "Gloom Grid", WS_VISIBLE | WS_SYSMENU, 100, 50, 800,
                               600, nullptr, nullptr, nullptr, nullptr);
  if (mainWindow == nullptr) return false;
  clientWidth = 800;
  clientHeight = 600;
  fullScreen = fullScreenDisplay ? 1 : 0;
  const int up = fullScreenDisplay ? ZQInitDirectX(mainWindow, 800, 600, 16) : ZQInitDirectX(mainWindow, 800, 600);
  if (!up) return false;
  directDraw = ZQGetLPDD();
  ZQGetDDInfo(&primarySurface, &backSurface);
  ZQInitMouse();
  SetTickPoll([] { mouseCursor.Poll(); });
  if (StartGameClock() != 0) return false;
  soundRegistry.Init(mainWindow, 200);
  mouseCursor.Init(nullptr);
  mouseCursor.SelectImage(0);
  mouseCursor.Hide();
  mouseCursor.SetFlipMode(fullScreen);
  ZQAcquireMouse(1);
  ZQInitFont(mainWindow);
  screenManager.Init(directDraw, backSurface);
  screenManager.AddScreen(&gameScreen);
  screenManager.SelectScreen("GloomGrid");
  return gameScreen.MissingFile() == nullptr;
}

void StepAndRunFrame() {
  host::StepTimer(1);
  screenManager.RunFrame(1);
}

// "newgame" pressed in one frame and released over it in the next: level 1 is played.
bool PressNewGame() {
  mouseCursor.SetPosition(kNewGameX, kNewGameY);
  host::InjectMouseButton(VK_LBUTTON, true);
  StepAndRunFrame();
  host::InjectMouseButton(VK_LBUTTON, false);
  StepAndRunFrame();
  // The mouse then rests over the board, as a player's does.
  mouseCursor.SetPosition(400, 300);
  return tileGame.GetState() == StatePlaying;
}

void PlayingFrame(benchmark::State& state) {
  std::vector<double> frames;
  frames.reserve(1 << 16);
  for (auto _ : state) {
    SetCountdown(kCountdownLeft);
    const double start = ThreadCpuMicroseconds();
    StepAndRunFrame();
    frames.push_back(ThreadCpuMicroseconds() - start);
  }
  if (tileGame.GetState() != StatePlaying) state.SkipWithError("the game left play while measured");
  std::nth_element(frames.begin(), frames.begin() + frames.size() / 2, frames.end());
  state.counters["median_us"] = frames.empty() ? 0 : frames[frames.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  const bool fullScreenDisplay = argc > 1 && std::string(argv[1]) == "--fullscreen";
  if (fullScreenDisplay) {
    --argc;
    ++argv;
  }
  const std::string scratch = CopyGameFolder();
  if (scratch.empty() || !StartGame(fullScreenDisplay) || !PressNewGame()) {
    std::fprintf(stderr, "frame bench: the game did not start playing (game folder %s)\n", GLOOMGRID_DIST_DIR);
    return 1;
  }
  benchmark::RegisterBenchmark(fullScreenDisplay ? "PlayingFrame/fullscreen" : "PlayingFrame/windowed", PlayingFrame);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The shutdown of the game's window, so that the sound thread ends before exit.
  screenManager.DeactivateAll();
  tileGame.Shutdown();
  soundRegistry.Shutdown();
  StopGameClock();
  ZQFreeDirectX();
  DestroyWindow(mainWindow);
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
