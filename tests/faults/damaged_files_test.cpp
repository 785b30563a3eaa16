// The game folder damaged: every picture and sound removed, cut to half or
// replaced by noise of the same size, one at a time, and setup.ini and
// options.ini full of garbage. The game starts, plays a scripted session
// headless and still answers at its end, except that without a usable
// "background.bmp" start-up ends with its message; broken settings files give
// the defaults.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "faults/fault_helpers.h"
#include "support/scratch_folder.h"

namespace {

using namespace faults;
using Bytes = std::vector<uint8_t>;

constexpr char kBackgroundMessage[] = "MessageBoxA Gloom Grid cannot start: the file \"background.bmp\" is missing.";

enum class Damage { kRemoved, kHalf, kNoise };
const char* const kDamageNames[] = {"removed", "cut to half", "noise"};

Bytes Noise(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

bool DamageFile(const RunFolder& folder, const std::string& name, Damage damage) {
  const std::string path = folder.game + "/" + name;
  Bytes bytes = testing_support::ReadFileBytes(path);
  if (unlink(path.c_str()) != 0) return false;
  if (damage == Damage::kRemoved) return true;
  bytes = damage == Damage::kHalf ? Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2) : Noise(bytes.size(), bytes.size());
  return testing_support::WriteFileBytes(path, bytes);
}

// Play, a look at the rules, every level's pictures by the arrows, and out by
// the "exit" button: a game still at the close that follows did not answer.
std::string ShortSession() {
  std::string script = Click(100, 142, 476);  // "newgame"
  std::mt19937 random(5);
  for (uint32_t at = 300; at < 800; at += 100) script += Click(at, 200 + random() % 390, 90 + random() % 390);
  script += Click(800, 142, 537) + Click(1000, 400, 300);  // "info", the rules closed
  for (uint32_t at = 1200; at < 2160; at += 80) script += Click(at, 661, 353);  // "up" to level 13
  return script + Click(2200, 661, 481) + Click(2300, 50, 537) + "4000 close\n";
}

// Level 1's time run out: the game-over pictures, "try again" and, as the
// result enters a table of scores below zero, the hall-of-fame notice.
std::string TimeOverSession() { return Click(300, 142, 476) + "145000 close\n"; }

struct Case {
  std::string name;
  std::function<bool(const RunFolder&)> prepare;
  std::string session;
  int exitCode;
  std::vector<std::string> inTrace;
  std::string notInTrace = "";
};

Case Damaged(const std::vector<std::string>& files, Damage damage, const std::string& session, int exitCode,
             const std::string& inTrace, const std::string& notInTrace = "") {
  std::string name;
  for (const std::string& file : files) name += file + " ";
  auto prepare = [=](const RunFolder& folder) {
    bool done = true;
    for (const std::string& file : files) done = done && DamageFile(folder, file, damage);
    return done;
  };
  return {name + kDamageNames[static_cast<int>(damage)], prepare, session, exitCode, {inTrace}, notInTrace};
}

// Runs the cases a few at a time, each in its own folder; the failures, one per line.
std::string RunCases(const std::vector<Case>& cases) {
  constexpr size_t kAtOnce = 4;
  std::string failures;
  for (size_t first = 0; first < cases.size(); first += kAtOnce) {
    std::vector<std::unique_ptr<RunFolder>> folders;
    std::vector<pid_t> games;
    for (size_t i = first; i < cases.size() && i < first + kAtOnce; ++i) {
      folders.push_back(std::make_unique<RunFolder>());
      RunFolder& folder = *folders.back();
      const bool ready = folder.Populate() &&
                         testing_support::WriteFileBytes(folder.game + "/hiscore.dat", HiscoreFile({{"below", -1}})) &&
                         cases[i].prepare(folder);
      if (!ready) failures += cases[i].name + ": cannot prepare the game folder\n";
      games.push_back(ready ? StartGame(folder, {cases[i].session, {}, nullptr}) : -1);
    }
    for (size_t i = 0; i < games.size(); ++i) {
      if (games[i] < 0) continue;
      const Case& c = cases[first + i];
      const int exitCode = WaitGame(games[i], 120);
      const std::string trace = testing_support::ReadFileText(folders[i]->File("trace.txt"));
      std::string missing;
      for (const std::string& text : c.inTrace)
        if (trace.find(text) == std::string::npos) missing += " \"" + text + "\"";
      if (!c.notInTrace.empty() && trace.find(c.notInTrace) != std::string::npos) missing += ", yet \"" + c.notInTrace + "\"";
      if (exitCode != c.exitCode || !missing.empty())
        failures += c.name + ": exit code " + std::to_string(exitCode) + " (expected " + std::to_string(c.exitCode) +
                    "), not in the trace:" + missing + "; stderr: " + testing_support::ReadFileText(folders[i]->File("stderr.txt")) + "\n";
    }
  }
  return failures;
}

TEST(DamagedFiles, EveryPictureAndSoundBrokenInTurn) {
  const std::vector<std::string> files = GameArtAndSounds();
  ASSERT_GT(files.size(), 40u) << "the game folder is not built";
  std::vector<Case> cases;
  // Sanitizer builds break each file one way only, the ways taken in turn,
  // and wait out the time once.
  for (Damage damage : {Damage::kRemoved, Damage::kHalf, Damage::kNoise}) {
    for (size_t i = 0; i < files.size(); ++i) {
      if (kSanitized && i % 3 != static_cast<size_t>(damage)) continue;
      if (files[i] == "background.bmp") cases.push_back(Damaged({files[i]}, damage, ShortSession(), 1, kBackgroundMessage));
      // A button without its picture has no size to click on: the window is closed.
      else if (files[i] == "exitbutton.bmp") cases.push_back(Damaged({files[i]}, damage, ShortSession(), 0, "script 4000 close"));
      else cases.push_back(Damaged({files[i]}, damage, ShortSession(), 0, "script 2360 lup", "script 4000 close"));
    }
    if (!kSanitized || damage == Damage::kRemoved)
      cases.push_back(Damaged({"tryagain.bmp", "hallfamepop.bmp", "gameoveranim.bmp"}, damage, TimeOverSession(), 0,
                              "script 145000 close"));
  }
  EXPECT_EQ(RunCases(cases), "");
}

// Each settings file in turn: garbage text, a file past what a settings file can
// be (whose first lines would ask for full-screen and another player), noise,
// nothing. The game opens its window, not full-screen, for the first player.
TEST(DamagedFiles, BrokenSettingsFilesGiveTheDefaults) {
  std::mt19937 random(7);
  std::string garbage;
  const std::string letters = "[]=; \nabcdefghijklmnopqrstuvwxyz0123456789";
  for (int i = 0; i < 65536; ++i) garbage += letters[random() % letters.size()];
  std::string huge = "[setup]\nfullscreen=1\nplayerid=2\n[Player3]\nname=Huge\n";
  while (huge.size() < 10u << 20) huge += "padding=" + std::string(90, 'x') + "\n";
  const Bytes noise = Noise(65536, 3);
  const std::pair<const char*, Bytes> contents[] = {{"garbage", Bytes(garbage.begin(), garbage.end())},
                                                    {"10 MB", Bytes(huge.begin(), huge.end())}, {"noise", noise}, {"empty", {}}};
  std::vector<Case> cases;
  for (const std::string file : {"setup.ini", "../options.ini"}) {
    for (const auto& [name, bytes] : contents) {
      auto prepare = [file, bytes](const RunFolder& folder) { return testing_support::WriteFileBytes(folder.game + "/" + file, bytes); };
      cases.push_back({file + " " + name, prepare, "200 close\n", 0,
                       {"CreateWindowExA DirectX Class \"Gloom Grid\" style=0x100b0000 112,84 800x600",
                        "message Gloom Grid - Player1 "}});
    }
  }
  EXPECT_EQ(RunCases(cases), "");
}

}  // namespace
