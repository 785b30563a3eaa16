// Runs of the game binary for the fault and load tests: several at once, each in a folder of its own, held at chosen
// moments of its virtual time (handshakes) while the test looks at its files or its memory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace faults {

// Sanitizer builds run the game many times slower: their runs are cut down.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A scratch folder: the game's files in <root>/GloomGrid, beside it the script, trace, output and two handshake pipes
// (used in turn, so that the test never closes one the game is about to open).
struct RunFolder : testing_support::ScratchFolder {
  RunFolder();
  // Links to the built game's files, a copy of the shipped setup.ini and `hiscore` as "hiscore.dat", into `game`.
  bool Populate(const std::vector<std::pair<std::string, int32_t>>& hiscore) const;
  std::string Handshake(int index) const { return File(index % 2 ? "handshake1.png" : "handshake0.png"); }
  const std::string game = File("GloomGrid");
};

struct Launch {
  std::string script;                             // the host's timed input events
  std::map<std::string, std::string> environment;  // added to headless virtual time; "" unsets
  std::function<void()> beforeExec;               // runs in the child
};

pid_t StartGame(const RunFolder& folder, const Launch& launch);
// The exit code, 128 + the signal that ended it, or -1 when still running after `seconds` (then it is killed).
int WaitGame(pid_t child, int seconds);
// Returns once the game has written screenshot `index` to its handshake pipe; the game then waits at the next one.
// False when `child` ended first or `seconds` went by.
bool PassHandshake(const RunFolder& folder, int index, pid_t child, int seconds);

// Script lines: a left click at (x, y) from `atMs` on (60 ms); a handshake.
std::string Click(uint32_t atMs, int x, int y);
std::string HandshakeLine(const RunFolder& folder, uint32_t atMs, int index);

// "hiscore.dat" bytes for 20 entries with the given texts and scores.
std::vector<uint8_t> HiscoreFile(const std::vector<std::pair<std::string, int32_t>>& entries);

}  // namespace faults
