#include "faults/fault_helpers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace faults {
namespace {

// Whether the child has ended, without collecting it.
bool Ended(pid_t child) {
  siginfo_t info{};
  return waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == child;
}

}  // namespace

RunFolder::RunFolder() {
  if (ok()) mkdir(game.c_str(), 0755), mkfifo(Handshake(0).c_str(), 0600), mkfifo(Handshake(1).c_str(), 0600);
}

bool RunFolder::Populate(const std::vector<std::pair<std::string, int32_t>>& hiscore) const {
  std::error_code error;
  const fs::path dist = GLOOMGRID_DIST_DIR;
  for (auto entry = fs::recursive_directory_iterator(dist, error); !error && entry != fs::end(entry); entry.increment(error)) {
    const fs::path to = fs::path(game) / fs::relative(entry->path(), dist);
    const std::string name = entry->path().filename().string();
    if (entry->is_directory()) fs::create_directory(to, error);
    else if (name != "setup.ini" && name != "hiscore.dat" && name != "debug.log") fs::create_symlink(entry->path(), to, error);
  }
  // The folder's setup.ini may be a player's own (full-screen): runs start from the shipped one.
  if (!error) fs::copy_file(fs::path(GLOOMGRID_SOURCE_DIR) / "shell" / "setup.ini", fs::path(game) / "setup.ini", error);
  return !error && testing_support::WriteFileBytes(game + "/hiscore.dat", HiscoreFile(hiscore));
}

pid_t StartGame(const RunFolder& folder, const Launch& launch) {
  testing_support::WriteFileBytes(folder.File("script.txt"), {launch.script.begin(), launch.script.end()});
  const pid_t child = fork();
  if (child != 0) return child;
  prctl(PR_SET_PDEATHSIG, SIGKILL);  // a game whose test is gone goes too
  if (chdir(folder.game.c_str()) != 0) _exit(126);
  std::map<std::string, std::string> environment = {
      {"GLOOMGRID_HOST_HEADLESS", "1"}, {"GLOOMGRID_HOST_TIME", "virtual"}, {"SDL_VIDEODRIVER", "dummy"},
      {"SDL_AUDIODRIVER", "dummy"},     {"GLOOMGRID_HOST_SEED", "11"},      {"GLOOMGRID_HOST_SCRIPT", folder.File("script.txt")},
      {"GLOOMGRID_HOST_TRACE", folder.File("trace.txt")}};
  for (const auto& [key, value] : launch.environment) environment[key] = value;
  for (const auto& [key, value] : environment) value.empty() ? unsetenv(key.c_str()) : setenv(key.c_str(), value.c_str(), 1);
  if (!freopen(folder.File("stdout.txt").c_str(), "w", stdout) || !freopen(folder.File("stderr.txt").c_str(), "w", stderr))
    _exit(125);
  if (launch.beforeExec) launch.beforeExec();
  execl("./gloomgrid", "./gloomgrid", static_cast<char*>(nullptr));
  _exit(127);
}

int WaitGame(pid_t child, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) != child) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool PassHandshake(const RunFolder& folder, int index, pid_t child, int seconds) {
  // Open without waiting for the writer; reads give 0 until one has come.
  const int pipe = open(folder.Handshake(index).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (pipe < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  size_t received = 0;
  bool passed = false;
  while (!passed && !Ended(child) && std::chrono::steady_clock::now() < deadline) {
    pollfd waiting{pipe, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) continue;
    char buffer[65536];
    const ssize_t got = read(pipe, buffer, sizeof buffer);
    if (got > 0) received += static_cast<size_t>(got);
    passed = got == 0 && received > 0;
  }
  close(pipe);
  return passed;
}

std::string Click(uint32_t atMs, int x, int y) {
  return std::to_string(atMs) + " move " + std::to_string(x) + " " + std::to_string(y) + "\n" + std::to_string(atMs + 20) +
         " ldown\n" + std::to_string(atMs + 60) + " lup\n";
}

std::string HandshakeLine(const RunFolder& folder, uint32_t atMs, int index) {
  return std::to_string(atMs) + " screenshot " + folder.Handshake(index) + "\n";
}

std::vector<uint8_t> HiscoreFile(const std::vector<std::pair<std::string, int32_t>>& entries) {
  std::vector<uint8_t> bytes(4 + 20 * 260, 0);
  auto put = [&](size_t at, int32_t value) {
    for (size_t b = 0; b < 4; ++b) bytes[at + b] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * b));
  };
  put(0, 20);
  for (size_t i = 0; i < entries.size() && i < 20; ++i)
    entries[i].first.copy(reinterpret_cast<char*>(&bytes[4 + 260 * i]), 255), put(4 + 260 * i + 256, entries[i].second);
  return bytes;
}

}  // namespace faults
