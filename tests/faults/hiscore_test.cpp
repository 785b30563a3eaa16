// "hiscore.dat" under faults: a save killed at any moment leaves one whole table,
// and a save that fails (file-size limit, full disk, read-only folder) in the
// running game keeps the old file, leaves no temporary file behind, and play
// and later saves go on once the fault is gone.
#include <fcntl.h>
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
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include "faults/fault_helpers.h"
#include "game/hall_of_fame.h"
#include "support/scratch_folder.h"

namespace {

using namespace faults;
using Bytes = std::vector<uint8_t>;
using Entries = std::vector<std::pair<std::string, int32_t>>;

Entries GenerationEntries(int32_t generation) {
  Entries entries;
  for (int32_t i = 0; i < 20; ++i) entries.push_back({"generation " + std::to_string(generation) + " place " + std::to_string(i), generation - i});
  return entries;
}

void FillGeneration(HallOfFame& table, int32_t generation) {
  const Entries entries = GenerationEntries(generation);
  for (int32_t i = 0; i < 20; ++i) {
    std::memset(table.entries[i].text, 0, sizeof table.entries[i].text);
    std::snprintf(table.entries[i].text, sizeof table.entries[i].text, "%s", entries[i].first.c_str());
    table.entries[i].score = entries[i].second;
  }
}

// The generation of a whole table of one generation; -1 for anything else.
int32_t GenerationOf(const Bytes& bytes) {
  int32_t generation = -1;
  if (bytes.size() < 4 + 260 || std::sscanf(reinterpret_cast<const char*>(&bytes[4]), "generation %d", &generation) != 1) return -1;
  return bytes == HiscoreFile(GenerationEntries(generation)) ? generation : -1;
}

int64_t MicrosecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(HiscoreKill, EveryKilledSaveLeavesTheOldTableOrTheNewWhole) {
  testing_support::ScratchFolder folder(testing_support::ScratchFolder::kMakeWorkingDirectory);
  HallOfFame table;
  table.Resize(20);
  // Kills spread over a few saves' time, measured here, so most land inside one.
  const int64_t saveUs = MicrosecondsOf([&] {
    for (int32_t i = 0; i < 10; ++i) FillGeneration(table, i), table.Save("hiscore.dat");
  }) / 10;
  std::mt19937 random(2026);
  std::uniform_int_distribution<int64_t> delayUs(0, 2 * saveUs + 200);
  int32_t last = 9, newer = 0, halfWritten = 0, torn = 0;
  std::string failures;
  for (int32_t trial = 0; trial < 500; ++trial) {
    const int32_t first = 1000 * (trial + 1);
    const int64_t delay = delayUs(random);
    const pid_t saver = fork();
    if (saver == 0) {
      for (int32_t generation = first;; ++generation) FillGeneration(table, generation), table.Save("hiscore.dat");
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    kill(saver, SIGKILL);
    waitpid(saver, nullptr, 0);
    const int32_t found = GenerationOf(testing_support::ReadFileBytes("hiscore.dat"));
    if (found != last && found < first && ++torn <= 5)
      failures += "trial " + std::to_string(trial) + " killed after " + std::to_string(delay) + " us: generation " +
                  std::to_string(found) + " (old " + std::to_string(last) + ", new from " + std::to_string(first) + ")\n";
    newer += found != last;
    halfWritten += testing_support::FileExists("hiscore.dat.tmp");
    last = found;
  }
  std::printf("500 kills over %lld us saves: %d new tables, %d half-written temporary files\n",
              static_cast<long long>(saveUs), newer, halfWritten);
  EXPECT_EQ(torn, 0) << "killed saves left a torn or older table, first:\n" << failures;
  EXPECT_TRUE(newer > 0 && halfWritten > 0) << "the kills never hit a save: " << newer << " new, " << halfWritten << " half-written";
}

// A mount namespace of our own, so that the test mounts file systems without
// touching the machine's: directly as root, else through a user namespace.
bool EnterMountNamespace() {
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  if (unshare(CLONE_NEWNS) != 0) {
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    auto write = [](const char* path, const std::string& text) {
      const int file = open(path, O_WRONLY);
      const bool written = file >= 0 && ::write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
      if (file >= 0) close(file);
      return written;
    };
    if (!write("/proc/self/setgroups", "deny") || !write("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !write("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
      return false;
  }
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// The game folder on a small file system of its own.
bool MountGameFolder(const RunFolder& folder) {
  return EnterMountNamespace() && mount("gloomgrid", folder.game.c_str(), "tmpfs", 0, "size=256k") == 0;
}

// Applied and lifted by the process that keeps the faults; game 0 is the
// calling process itself.
struct Fault {
  const char* name;
  bool onItsOwnFileSystem;
  std::function<bool(pid_t game, const RunFolder& folder)> apply, lift;
};

bool FileSizeLimit(pid_t game, rlim_t bytes) {
  rlimit limit{};
  if (prlimit(game, RLIMIT_FSIZE, nullptr, &limit) != 0) return false;
  limit.rlim_cur = bytes;
  return prlimit(game, RLIMIT_FSIZE, &limit, nullptr) == 0;
}

bool FillDisk(const RunFolder& folder) {
  FILE* filler = std::fopen((folder.game + "/filler").c_str(), "wb");
  if (filler == nullptr) return false;
  static const char block[4096] = {};
  while (std::fwrite(block, sizeof block, 1, filler) == 1 && std::fflush(filler) == 0) {
  }
  std::fclose(filler);
  return true;
}

bool Remount(const RunFolder& folder, unsigned long readOnly) {
  return mount(nullptr, folder.game.c_str(), nullptr, MS_REMOUNT | readOnly, nullptr) == 0;
}

const Fault kFaults[] = {
    {"a file-size limit of 1000 bytes", false, [](pid_t game, const RunFolder&) { return FileSizeLimit(game, 1000); },
     [](pid_t game, const RunFolder&) { return FileSizeLimit(game, RLIM_INFINITY); }},
    {"a full disk", true, [](pid_t, const RunFolder& folder) { return FillDisk(folder); },
     [](pid_t, const RunFolder& folder) { return unlink((folder.game + "/filler").c_str()) == 0; }},
    {"a read-only folder", true, [](pid_t, const RunFolder& folder) { return Remount(folder, MS_RDONLY); },
     [](pid_t, const RunFolder& folder) { return Remount(folder, 0); }},
};

// Runs the game in a child that keeps the faults: the first is in place before
// the game starts; each byte from the test lifts the current one and applies
// the next. Its exit code is the game's, or 90 when it could not set up.
pid_t StartKeeper(const RunFolder& folder, Launch launch, const std::vector<const Fault*>& faults, bool ownFileSystem,
                  const Bytes& oldFile, const int (&commands)[2], const int (&replies)[2]) {
  const pid_t keeper = fork();
  if (keeper != 0) return keeper;
  close(commands[1]), close(replies[0]);
  if ((ownFileSystem && !MountGameFolder(folder)) || !folder.Populate() ||
      !testing_support::WriteFileBytes(folder.game + "/hiscore.dat", oldFile))
    _exit(90);
  launch.beforeExec = [&] {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the game
    if (!faults[0]->apply(0, folder)) _exit(91);
  };
  const pid_t game = StartGame(folder, launch);
  char command = 0;
  for (size_t next = 1; read(commands[0], &command, 1) == 1; ++next) {
    bool done = faults[next - 1]->lift(game, folder) && (next == faults.size() || faults[next]->apply(game, folder));
    if (write(replies[1], done ? "y" : "n", 1) != 1) break;
  }
  _exit(WaitGame(game, 600));
}

bool CanMountOwnFileSystems() {
  const pid_t probe = fork();
  if (probe == 0) _exit(EnterMountNamespace() && mount("probe", "/tmp", "tmpfs", 0, "size=64k") == 0 ? 0 : 1);
  int status = 0;
  waitpid(probe, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(HiscoreFaults, SavesThatFailKeepTheOldFileAndPlayGoesOnToSaveLater) {
  const bool mounts = CanMountOwnFileSystems();
  std::vector<const Fault*> faults;
  for (const Fault& fault : kFaults) {
    if (mounts || !fault.onItsOwnFileSystem) faults.push_back(&fault);
    else std::printf("no mount namespace here: \"%s\" left out\n", fault.name);
  }
  // The old table scores below zero, so every result of a game that timed out
  // with no points enters it and is saved. "newgame" on level 1 runs out its
  // 138 seconds; after that each "newgame" is a time over at once. Each offer
  // is followed by two handshakes: the test looks at the folder between them.
  Entries old;
  for (int32_t i = 0; i < 20; ++i) old.push_back({"old " + std::to_string(i), -1 - i});
  RunFolder folder;
  Launch launch;
  launch.script = Click(300, 142, 476);
  uint32_t offered = 143000;
  for (size_t step = 0; step <= faults.size(); ++step, offered += 6000) {
    if (step > 0) launch.script += Click(offered - 5000, 142, 476);
    launch.script += HandshakeLine(folder, offered, 2 * step) + HandshakeLine(folder, offered + 200, 2 * step + 1);
  }
  launch.script += std::to_string(offered) + " close\n";
  int commands[2], replies[2];
  ASSERT_TRUE(pipe2(commands, O_CLOEXEC) == 0 && pipe2(replies, O_CLOEXEC) == 0);
  // No trace: it would meet the file-size limit too.
  launch.environment["GLOOMGRID_HOST_TRACE"] = "";
  const pid_t keeper = StartKeeper(folder, launch, faults, mounts, HiscoreFile(old), commands, replies);
  close(commands[0]), close(replies[1]);
  std::unique_ptr<void, std::function<void(void*)>> stopKeeper(&folder, [&](void*) { kill(keeper, SIGKILL); });
  const std::string game = "/proc/" + std::to_string(keeper) + "/root" + folder.game + "/";
  Entries saved = old;
  for (size_t step = 0; step <= faults.size(); ++step) {
    const std::string name = step < faults.size() ? faults[step]->name : "no fault";
    ASSERT_TRUE(PassHandshake(folder, 2 * step, keeper, 300)) << name << ": the game stopped before its result was offered";
    saved.insert(saved.begin(), {"Player1:::Y", 0});
    saved.pop_back();
    const Bytes expected = HiscoreFile(step < faults.size() ? old : saved);
    const Bytes found = testing_support::ReadFileBytes(game + "hiscore.dat");
    EXPECT_TRUE(found == expected) << name << ": hiscore.dat holds " << found.size() << " bytes, not the "
                                   << (step < faults.size() ? "old" : "new") << " table";
    EXPECT_FALSE(testing_support::FileExists(game + "hiscore.dat.tmp")) << name << ": a temporary file was left";
    char reply = 0;
    if (step < faults.size()) {
      ASSERT_TRUE(write(commands[1], "n", 1) == 1 && read(replies[0], &reply, 1) == 1 && reply == 'y')
          << name << ": cannot lift the fault";
    }
    ASSERT_TRUE(PassHandshake(folder, 2 * step + 1, keeper, 60)) << name;
  }
  close(commands[1]), close(replies[0]);
  EXPECT_EQ(WaitGame(keeper, 60), 0) << ReadText(folder.File("stderr.txt"));
  stopKeeper.release();
}

}  // namespace
