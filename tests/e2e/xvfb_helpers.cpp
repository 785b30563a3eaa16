#include "e2e/xvfb_helpers.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace xvfb {
namespace {
std::string display;
pid_t server = -1;
}  // namespace

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

bool Start() {
  if (server > 0) return true;
  if (Shell("command -v Xvfb").empty() || Shell("command -v xdotool").empty()) return false;
  for (int number = 70; number < 100; ++number) {
    std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    if (fs::exists(socket) || fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
    display = ":" + std::to_string(number);
    server = fork();
    if (server == 0) {
      execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !fs::exists(socket); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    setenv("DISPLAY", display.c_str(), 1);
    return fs::exists(socket);
  }
  return false;
}

void Stop() {
  if (server > 0) {
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
  }
  server = -1;
}

const std::string& Display() { return display; }

std::string WindowPixel(const std::string& windowId, int x, int y) {
  return Shell("import -silent -window " + windowId + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
               " -format '%[pixel:p{0,0}]' info:- 2>/dev/null");
}

}  // namespace xvfb
