// Running the game binary for the fault and load tests: several at once, each
// in a folder of its own, with handshakes that hold the game at chosen moments
// of its virtual time while the test looks at its files or its memory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace faults {

// Sanitizer builds run the game many times slower: their runs are cut down.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// A scratch folder, removed at the end: <root>/GloomGrid for the game's files,
// beside it the script, trace, output and the two handshake pipes.
class RunFolder {
 public:
  // Under `base` when given, else under the system's temporary folder.
  explicit RunFolder(const std::string& base = "");
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // Links to the built game's files (the game only ever creates hiscore.dat)
  // and a copy of the shipped setup.ini, into `game`.
  bool Populate() const;
  std::string File(const std::string& name) const { return root + "/" + name; }
  // Handshakes alternate between two pipes, so that the test never closes one
  // the game is about to open.
  std::string Handshake(int index) const { return File(index % 2 ? "handshake1.png" : "handshake0.png"); }

  std::string root, game;
};

struct Launch {
  std::string script;                             // the host's timed input events
  std::map<std::string, std::string> environment;  // added to headless virtual time
  std::function<void()> beforeExec;               // runs in the child
};

// Starts the game in folder.game; the child's id.
pid_t StartGame(const RunFolder& folder, const Launch& launch);
// The exit code, 128 + the signal that ended it, or -1 when it was still
// running after `seconds` (then it is killed).
int WaitGame(pid_t child, int seconds);

// Returns once the game has written screenshot `index` to its handshake pipe;
// the game waits at screenshot index + 1 until that one is passed too. False
// when `child` ended first or `seconds` went by.
bool PassHandshake(const RunFolder& folder, int index, pid_t child, int seconds);

// Script lines: a left click at (x, y) from `atMs` on (60 ms), and a handshake.
std::string Click(uint32_t atMs, int x, int y);
std::string HandshakeLine(const RunFolder& folder, uint32_t atMs, int index);

// The pictures and sounds of the built game folder, relative to it, in order.
std::vector<std::string> GameArtAndSounds();

// "hiscore.dat" bytes for 20 entries with the given texts and scores.
std::vector<uint8_t> HiscoreFile(const std::vector<std::pair<std::string, int32_t>>& entries);

}  // namespace faults
