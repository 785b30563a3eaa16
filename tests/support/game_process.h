// Runs the real game binary (or another program of the build) in a fresh copy of the game folder, as a player would
// start it, and collects what it did.
#pragma once

#include <map>
#include <string>

namespace testing_support {

struct GameRun {
  int exitCode = -1;  // -1: killed after the time limit
  std::string stdErr;
  std::string stdOut;
  std::string trace;   // the host's trace of notable calls, one per line
  std::string folder;  // the copy of the game folder it ran in (kept until the next run)
};

struct GameOptions {
  std::map<std::string, std::string> environment{};  // added to a headless, virtual-time setting; "" unsets
  std::string script{};                              // timed input events, written to a file for the host
  std::string setupIni{};                            // replaces setup.ini when not empty
  std::string arguments{};                           // the command line
  std::string program{};                             // run instead of the game's binary when not empty
  int timeLimitSeconds = 30;
  int stopSignal = 0;  // sent once the trace shows the main window (0: none)
  bool headless = true;
};

// Copies build/dist/GloomGrid to a temporary folder and runs it there.
GameRun RunGame(const GameOptions& options);

// Position of `needle` in `haystack` after `from`, or npos: for checking order.
size_t FindAfter(const std::string& haystack, const std::string& needle, size_t from);

}  // namespace testing_support
