// Host settings from the environment, and the trace file that end-to-end tests
// read to check the order of start-up and shutdown calls.
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "host/control.h"

namespace host {

Settings& settings() {
  static Settings instance;
  return instance;
}

static const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}

void LoadSettingsFromEnvironment() {
  Settings& s = settings();
  s = Settings{};
  if (const char* v = Env("GLOOMGRID_HOST_HEADLESS")) s.headless = std::strcmp(v, "0") != 0;
  if (const char* v = Env("SDL_VIDEODRIVER")) s.headless = s.headless || std::strcmp(v, "dummy") == 0;
  if (const char* v = Env("GLOOMGRID_HOST_BPP")) s.displayBitsPerPixel = std::atoi(v);
  if (const char* v = Env("GLOOMGRID_HOST_DDRAW")) {
    s.directDrawCreateFails = std::strcmp(v, "fail") == 0;
    s.directDraw7Missing = std::strcmp(v, "no7") == 0;
  }
  if (const char* v = Env("GLOOMGRID_HOST_TIMER")) s.timerRefused = std::strcmp(v, "refuse") == 0;
  if (const char* v = Env("GLOOMGRID_HOST_TIME")) {
    if (std::strcmp(v, "virtual") == 0) s.timeMode = TimeMode::Virtual;
    if (std::strcmp(v, "manual") == 0) s.timeMode = TimeMode::Manual;
  }
  if (const char* v = Env("GLOOMGRID_HOST_SEED")) {
    s.fixedSeed = true;
    s.seed = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
  }
  if (const char* v = Env("GLOOMGRID_HOST_SCREEN")) {
    int w = 0, h = 0;
    if (std::sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
      s.screenWidth = w;
      s.screenHeight = h;
    }
  }
  if (const char* v = Env("GLOOMGRID_SCALE")) {
    // A player's setting: a mistyped value costs only the choice, not the game.
    if (v[0] >= '1' && v[0] <= '4' && v[1] == '\0')
      s.windowScale = v[0] - '0';
    else
      std::fprintf(stderr, "gloomgrid: GLOOMGRID_SCALE=%s is not 1, 2, 3 or 4; the window takes the largest whole "
                   "scale that fits the desktop\n", v);
  }
  if (const char* v = Env("GLOOMGRID_HOST_TRACE")) s.tracePath = v;
  if (const char* v = Env("GLOOMGRID_HOST_SCRIPT")) s.scriptPath = v;
  if (const char* v = Env("GLOOMGRID_HOST_SCREENSHOT")) s.screenshotPath = v;
}

void Trace(const char* format, ...) {
  const std::string& path = settings().tracePath;
  if (path.empty()) return;
  static std::mutex traceMutex;
  std::lock_guard<std::mutex> lock(traceMutex);
  FILE* file = std::fopen(path.c_str(), "a");
  if (!file) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fputc('\n', file);
  std::fclose(file);
}

static std::atomic<bool> testHooksFailed{false};

void ReportTestHookFailure(const char* format, ...) {
  testHooksFailed = true;
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::fprintf(stderr, "gloomgrid: %s\n", text);
  Trace("test hook failed: %s", text);
}

bool TestHooksFailed() { return testHooksFailed; }

}  // namespace host
