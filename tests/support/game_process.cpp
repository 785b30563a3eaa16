#include "support/game_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace testing_support {
namespace {

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWhole(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

fs::path FreshFolder() {
  std::string pattern = (fs::temp_directory_path() / "gloomgrid-run-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  return fs::path(mkdtemp(buffer.data()));
}

}  // namespace

GameRun RunGame(const GameOptions& options) {
  static fs::path previousRoot;
  if (!previousRoot.empty()) fs::remove_all(previousRoot);
  fs::path root = FreshFolder();
  previousRoot = root;
  fs::path folder = root / "GloomGrid";
  fs::copy(GLOOMGRID_DIST_DIR, folder, fs::copy_options::recursive);
  if (!options.setupIni.empty()) WriteWhole(folder / "setup.ini", options.setupIni);
  if (!options.optionsIni.empty()) WriteWhole(root / "options.ini", options.optionsIni);
  fs::path script = root / "input.txt";
  fs::path trace = root / "trace.txt";
  fs::path errors = root / "stderr.txt";
  WriteWhole(script, options.script);

  std::map<std::string, std::string> environment = {
      {"GLOOMGRID_HOST_TRACE", trace.string()},
      {"GLOOMGRID_HOST_SCRIPT", script.string()},
  };
  if (options.headless) {
    environment["GLOOMGRID_HOST_HEADLESS"] = "1";
    environment["GLOOMGRID_HOST_TIME"] = "virtual";
    environment["SDL_VIDEODRIVER"] = "dummy";
    environment["SDL_AUDIODRIVER"] = "dummy";
  }
  for (auto& [key, value] : options.environment) environment[key] = value;

  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!options.headless) {
      // The test runner's own settings ask for a headless host; a windowed run drops them.
      unsetenv("SDL_VIDEODRIVER");
      unsetenv("SDL_AUDIODRIVER");
      unsetenv("GLOOMGRID_HOST_HEADLESS");
      unsetenv("GLOOMGRID_HOST_TIME");
    }
    for (auto& [key, value] : environment) {
      if (value.empty())
        unsetenv(key.c_str());
      else
        setenv(key.c_str(), value.c_str(), 1);
    }
    FILE* err = std::fopen(errors.c_str(), "w");
    if (err) dup2(fileno(err), 2);
    std::string binary = (folder / "gloomgrid").string();
    if (options.arguments.empty()) {
      execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    } else {
      execl(binary.c_str(), binary.c_str(), options.arguments.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }

  GameRun run;
  run.folder = folder.string();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeLimitSeconds);
  int status = 0;
  bool signalSent = options.stopSignal == 0;
  for (;;) {
    if (!signalSent && ReadWhole(trace).find("CreateWindowExA") != std::string::npos) {
      kill(child, options.stopSignal);
      signalSent = true;
    }
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) {
      run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      run.exitCode = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.stdErr = ReadWhole(errors);
  run.trace = ReadWhole(trace);
  return run;
}

size_t FindAfter(const std::string& haystack, const std::string& needle, size_t from) {
  if (from == std::string::npos) return std::string::npos;
  return haystack.find(needle, from);
}

}  // namespace testing_support
