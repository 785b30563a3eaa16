// "hiscore.dat" under faults: a save killed at any moment leaves one whole table; a save that fails in the running game
// keeps the old file and no temporary file, and later saves go on once the fault is gone.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>

#include "faults/fault_helpers.h"
#include "game/hall_of_fame.h"

namespace {

using namespace faults;
using testing_support::FileExists;
using Bytes = std::vector<uint8_t>;
using Entries = std::vector<std::pair<std::string, int32_t>>;
struct AtEnd {
  std::function<void()> run;
  ~AtEnd() { run(); }
};

// Generation g: 20 entries "generation g" scoring g + 1.
Entries Generation(int32_t g) { return Entries(20, {"generation " + std::to_string(g), g + 1}); }

void SaveGeneration(HallOfFame& table, int32_t g, const std::string& path) {
  table.Resize(20);
  for (const auto& [text, score] : Generation(g)) table.Insert(text.c_str(), score);
  table.Save(path.c_str());
}

// The generation of a whole table of one generation; -1 for anything else.
int32_t GenerationOf(const Bytes& bytes) {
  int32_t g = -1;
  if (bytes.size() < 4 + 260 || std::sscanf(reinterpret_cast<const char*>(&bytes[4]), "generation %d", &g) != 1) return -1;
  return bytes == HiscoreFile(Generation(g)) ? g : -1;
}

TEST(HiscoreKill, EveryKilledSaveLeavesTheOldTableOrTheNewWhole) {
  const testing_support::ScratchFolder folder;
  const std::string path = folder.File("hiscore.dat");
  HallOfFame table;
  // Kills spread over a few saves' time, measured here, so most land inside one.
  const auto start = std::chrono::steady_clock::now();
  for (int32_t g = 0; g < 10; ++g) SaveGeneration(table, g, path);
  const int64_t saveUs = (std::chrono::steady_clock::now() - start) / std::chrono::microseconds(10);
  std::mt19937 random(2026);
  std::uniform_int_distribution<int64_t> delayUs(0, 2 * saveUs + 200);
  int32_t last = 9, newer = 0, halfWritten = 0;
  std::vector<std::string> torn;
  const int32_t trials = kSanitized ? 100 : 500;  // a sanitizer build forks slowly
  for (int32_t trial = 0; trial < trials; ++trial) {
    const int32_t first = 1000 * (trial + 1);
    const int64_t delay = delayUs(random);
    // The delay counts from the saver's first save, however long a fork takes.
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t saver = fork();
    if (saver == 0) {
      if (write(started[1], "s", 1) != 1) _exit(1);
      for (int32_t generation = first;; ++generation) SaveGeneration(table, generation, path);
    }
    char byte = 0;
    const bool running = read(started[0], &byte, 1) == 1;
    close(started[0]), close(started[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    kill(saver, SIGKILL);
    waitpid(saver, nullptr, 0);
    ASSERT_TRUE(running) << "trial " << trial << ": the saver did not start";
    const int32_t found = GenerationOf(testing_support::ReadFileBytes(path));
    if (found != last && found < first)
      torn.push_back("trial " + std::to_string(trial) + " killed after " + std::to_string(delay) + " us: generation " +
                     std::to_string(found) + ", old " + std::to_string(last) + ", new from " + std::to_string(first));
    newer += found != last;
    halfWritten += FileExists(path + ".tmp");
    last = found;
  }
  EXPECT_EQ(torn, std::vector<std::string>{}) << "killed saves left a torn or older table";
  EXPECT_TRUE(newer > 0 && halfWritten > 0) << "the kills never hit a save: " << newer << " new, " << halfWritten << " half-written";
}

// A mount namespace of our own, to mount file systems without touching the machine's: directly as root, else through
// a user namespace.
bool EnterMountNamespace() {
  auto write = [](const char* path, const std::string& text) { return testing_support::WriteFileBytes(path, Bytes(text.begin(), text.end())); };
  const std::string uid = std::to_string(getuid()), gid = std::to_string(getgid());
  if (unshare(CLONE_NEWNS) != 0 &&
      (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !write("/proc/self/setgroups", "deny") ||
       !write("/proc/self/uid_map", "0 " + uid + " 1") || !write("/proc/self/gid_map", "0 " + gid + " 1")))
    return false;
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Sets or lifts fault `fault`, from the process that keeps the faults (game 0: the calling process itself); the
// last two need the folder on a file system of its own.
const char* const kFaults[] = {"a file-size limit of 1000 bytes", "a full disk", "a read-only folder"};
bool SetFault(size_t fault, pid_t game, const std::string& folder, bool on) {
  rlimit limit{};
  if (fault == 0) return prlimit(game, RLIMIT_FSIZE, nullptr, &limit) == 0 && (limit.rlim_cur = on ? 1000 : RLIM_INFINITY, prlimit(game, RLIMIT_FSIZE, &limit, nullptr) == 0);
  if (fault == 2) return mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | (on ? MS_RDONLY : 0), nullptr) == 0;
  if (!on) return unlink((folder + "/filler").c_str()) == 0;
  FILE* filler = std::fopen((folder + "/filler").c_str(), "wb");
  static const char block[4096] = {};
  while (filler && std::fwrite(block, sizeof block, 1, filler) == 1 && std::fflush(filler) == 0) {
  }
  return filler && (std::fclose(filler), true);
}

TEST(HiscoreFaults, SavesThatFailKeepTheOldFileAndPlayGoesOnToSaveLater) {
  // The game folder on a small file system of its own where the machine lets us have one.
  const RunFolder folder;
  const bool mounted = EnterMountNamespace() && mount("gloomgrid", folder.game.c_str(), "tmpfs", 0, "size=256k") == 0;
  const AtEnd unmount{[&] { if (mounted) umount2(folder.game.c_str(), MNT_DETACH); }};
  const size_t faults = mounted ? 3 : 1;
  for (size_t fault = faults; fault < 3; ++fault) std::printf("no file system of our own here: \"%s\" left out\n", kFaults[fault]);
  // The old table scores below zero, so every result of a game that timed out with no points is saved. "newgame" on
  // level 1 runs out its 138 seconds; after that each "newgame" is a time over at once. Each offer is followed by two
  // handshakes: the test looks at the folder and changes the fault between them.
  const Entries old(20, {"old", -1});
  ASSERT_TRUE(folder.Populate(old));
  Launch launch{Click(300, 142, 476), {{"GLOOMGRID_HOST_TRACE", ""}}, [&] {  // the trace would meet the size limit too
                  std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the game
                  if (!SetFault(0, 0, folder.game, true)) _exit(91);
                }};
  uint32_t offered = 143000;
  for (size_t step = 0; step <= faults; ++step, offered += 6000) {
    if (step > 0) launch.script += Click(offered - 5000, 142, 476);
    launch.script += HandshakeLine(folder, offered, 2 * step) + HandshakeLine(folder, offered + 200, 2 * step + 1);
  }
  launch.script += std::to_string(offered) + " close\n";
  const pid_t game = StartGame(folder, launch);
  pid_t running = game;
  const AtEnd stopGame{[&] { if (running > 0) kill(running, SIGKILL), waitpid(running, nullptr, 0); }};
  Entries saved = old;
  for (size_t step = 0; step <= faults; ++step) {
    const bool faulty = step < faults;
    const std::string name = faulty ? kFaults[step] : "no fault";
    ASSERT_TRUE(PassHandshake(folder, 2 * step, game, 300)) << name << ": the game stopped before its result was offered";
    saved.insert(saved.begin(), {"Player1:::Y", 0});
    saved.pop_back();
    const Bytes found = testing_support::ReadFileBytes(folder.game + "/hiscore.dat");
    EXPECT_TRUE(found == HiscoreFile(faulty ? old : saved))
        << name << ": hiscore.dat holds " << found.size() << " bytes, not the " << (faulty ? "old" : "new") << " table";
    EXPECT_FALSE(FileExists(folder.game + "/hiscore.dat.tmp")) << name << ": a temporary file was left";
    ASSERT_TRUE(!faulty || (SetFault(step, game, folder.game, false) && (step + 1 == faults || SetFault(step + 1, game, folder.game, true))))
        << name << ": cannot change the fault";
    ASSERT_TRUE(PassHandshake(folder, 2 * step + 1, game, 60)) << name;
  }
  EXPECT_EQ(WaitGame(game, 60), 0) << testing_support::ReadFileText(folder.File("stderr.txt"));
  running = 0;
}

}  // namespace
