#include "support/game_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/scratch_folder.h"

namespace fs = std::filesystem;

namespace testing_support {
namespace {

// Empty when missing: the trace appears only once the game has started.
std::string ReadWhole(const fs::path& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path.string());
  return {bytes.begin(), bytes.end()};
}

void WriteWhole(const fs::path& path, const std::string& text) { WriteFileBytes(path.string(), {text.begin(), text.end()}); }

// Runs in the child: never returns.
[[noreturn]] void Start(const GameOptions& options, const fs::path& folder, const fs::path& root) {
  if (chdir(folder.c_str()) != 0) _exit(126);
  // The test runner's own settings ask for a headless host; a windowed run drops them.
  for (const char* name : {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "GLOOMGRID_HOST_HEADLESS", "GLOOMGRID_HOST_TIME"})
    unsetenv(name);
  std::map<std::string, std::string> environment = {{"GLOOMGRID_HOST_TRACE", (root / "trace.txt").string()},
                                                    {"GLOOMGRID_HOST_SCRIPT", (root / "input.txt").string()}};
  if (options.headless) {
    environment.insert({{"GLOOMGRID_HOST_HEADLESS", "1"}, {"GLOOMGRID_HOST_TIME", "virtual"},
                        {"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}});
  }
  for (auto& [key, value] : options.environment) environment[key] = value;
  for (auto& [key, value] : environment) value.empty() ? unsetenv(key.c_str()) : setenv(key.c_str(), value.c_str(), 1);
  if (!freopen((root / "stdout.txt").c_str(), "w", stdout) || !freopen((root / "stderr.txt").c_str(), "w", stderr))
    _exit(125);
  const std::string binary = options.program.empty() ? (folder / "gloomgrid").string() : options.program;
  execl(binary.c_str(), binary.c_str(), options.arguments.empty() ? nullptr : options.arguments.c_str(),
        static_cast<char*>(nullptr));
  _exit(127);
}

}  // namespace

GameRun RunGame(const GameOptions& options) {
  static fs::path previousRoot;
  if (!previousRoot.empty()) fs::remove_all(previousRoot);
  std::string pattern = (fs::temp_directory_path() / "gloomgrid-run-XXXXXX").string();
  const fs::path root = mkdtemp(pattern.data());
  previousRoot = root;
  const fs::path folder = root / "GloomGrid";
  fs::copy(GLOOMGRID_DIST_DIR, folder, fs::copy_options::recursive);
  // The game folder's setup.ini may be a player's own (full-screen): runs start from the shipped one.
  fs::copy_file(fs::path(GLOOMGRID_SOURCE_DIR) / "shell" / "setup.ini", folder / "setup.ini",
                fs::copy_options::overwrite_existing);
  if (!options.setupIni.empty()) WriteWhole(folder / "setup.ini", options.setupIni);
  WriteWhole(root / "input.txt", options.script);

  const pid_t child = fork();
  if (child == 0) Start(options, folder, root);
  GameRun run;
  run.folder = folder.string();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeLimitSeconds);
  int status = 0;
  bool signalSent = options.stopSignal == 0;
  while (waitpid(child, &status, WNOHANG) != child) {
    if (!signalSent && ReadWhole(root / "trace.txt").find("CreateWindowExA") != std::string::npos) {
      kill(child, options.stopSignal);
      signalSent = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (status != -1) run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.stdOut = ReadWhole(root / "stdout.txt");
  run.stdErr = ReadWhole(root / "stderr.txt");
  run.trace = ReadWhole(root / "trace.txt");
  return run;
}

size_t FindAfter(const std::string& haystack, const std::string& needle, size_t from) {
  return from == std::string::npos ? std::string::npos : haystack.find(needle, from);
}

}  // namespace testing_support
