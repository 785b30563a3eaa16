#include "e2e/xvfb_helpers.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

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
  // Xvfb picks a free display itself and tells its number through a pipe, so
  // test programs running side by side never fight over one.
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  server = fork();
  if (server == 0) {
    close(pipeEnds[0]);
    const std::string fd = std::to_string(pipeEnds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string number;
  char c;
  while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeEnds[0]);
  if (number.empty()) Stop();
  display = ":" + number;
  setenv("DISPLAY", display.c_str(), 1);
  return !number.empty();
}

void Stop() {
  if (server > 0) {
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
  }
  server = -1;
}

testing_support::GameRun RunWindowed(testing_support::GameOptions options,
                                     const std::function<void(const std::string& windowId)>& driver) {
  std::string windowId;
  std::thread player([&] {
    windowId = Shell("timeout 15 xdotool search --sync --name '^Gloom Grid' | head -1");
    if (!windowId.empty()) driver(windowId);
  });
  options.headless = false;
  options.environment["DISPLAY"] = display;
  testing_support::GameRun run = testing_support::RunGame(options);
  player.join();
  EXPECT_FALSE(windowId.empty()) << "no window titled Gloom Grid... appeared";
  EXPECT_EQ(run.stdErr.find("headless"), std::string::npos) << run.stdErr;
  return run;
}

std::string WindowPixel(const std::string& windowId, int x, int y) {
  return Shell("import -silent -window " + windowId + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
               " -format '%[pixel:p{0,0}]' info:- 2>/dev/null");
}

}  // namespace xvfb
