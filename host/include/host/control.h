// Host-only controls for tests and for the headless game: not part of the
// Windows interfaces, never called by the game code. Each setting can also be
// given to the real binary through an environment variable (named beside it),
// read once when the host starts.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// In virtual and manual time a thread that keeps reading the same value from
// GetTickCount or timeGetTime also lets one period pass (see timer.cpp), so a
// wait that never pumps messages still ends.
enum class TimeMode {
  Real,     // the timer thread runs on the wall clock
  Virtual,  // one timer period passes whenever PeekMessageA finds the queue empty
  Manual,   // time moves only through StepTimer and Sleep
};

struct Settings {
  bool headless = false;           // GLOOMGRID_HOST_HEADLESS=1 or SDL_VIDEODRIVER=dummy; never a fallback
  int displayBitsPerPixel = 16;    // GLOOMGRID_HOST_BPP: what GetDeviceCaps(BITSPIXEL) reports
  bool directDrawCreateFails = false;  // GLOOMGRID_HOST_DDRAW=fail
  bool directDraw7Missing = false;     // GLOOMGRID_HOST_DDRAW=no7
  bool timerRefused = false;       // GLOOMGRID_HOST_TIMER=refuse: timeSetEvent returns 0
  TimeMode timeMode = TimeMode::Real;  // GLOOMGRID_HOST_TIME=real|virtual|manual
  bool fixedSeed = false;          // GLOOMGRID_HOST_SEED=n: srand() always seeds n
  unsigned seed = 0;
  int screenWidth = 1024;          // GLOOMGRID_HOST_SCREEN=WxH: the headless desktop size
  int screenHeight = 768;
  int windowScale = 0;             // GLOOMGRID_SCALE=1..4: the window's whole scale; 0 picks the largest that fits
  std::string tracePath;           // GLOOMGRID_HOST_TRACE: append a line per notable host call
  std::string scriptPath;          // GLOOMGRID_HOST_SCRIPT: timed input events (see input_script.h)
  std::string screenshotPath;      // GLOOMGRID_HOST_SCREENSHOT: PNG of the last picture, at exit
};

// The live settings. Tests may change them before the game calls the host.
Settings& settings();

// Re-reads the environment variables above into settings().
void LoadSettingsFromEnvironment();

// Manual time: runs `periods` timer periods now, on the calling thread, firing
// every due periodic event once per period.
void StepTimer(int periods);

// Milliseconds of host time (what GetTickCount and timeGetTime count from).
uint32_t HostMilliseconds();

// Writes the picture last presented on the emulated screen as a PNG file.
bool SaveScreenshot(const char* pngPath);

// Appends one line to the trace file when tracing is on (printf-style).
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A test hook (the input script, a screenshot) could not do what it was asked:
// one line "gloomgrid: ..." on standard error, and TestHooksFailed() turns
// true, so that the binary ends with exit code 1 rather than 0.
void ReportTestHookFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool TestHooksFailed();

// Input as the window would receive it from the user: client coordinates,
// virtual-key codes. Queued as window messages for the main window.
void InjectMouseMove(int x, int y);
void InjectMouseButton(int vkButton, bool down);
void InjectKey(int vk, bool down);
void InjectClose();
void InjectActivate(bool active);
void InjectMaximize(int clientWidth, int clientHeight);
void InjectRestore();

// Forgets every window, class, queued message and timer: a clean host for the
// next test in the same process.
void ResetForTest();

}  // namespace host
