// The game folder damaged: each picture and sound removed, cut to half or replaced by noise of the same size, and
// setup.ini and options.ini full of garbage. The game plays a scripted session headless and still answers at its end,
// except that without a usable "background.bmp" start-up ends with its message; broken settings files give the defaults.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "faults/fault_helpers.h"

namespace {

using namespace faults;
using Bytes = std::vector<uint8_t>;

Bytes Noise(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

// Damage 0: the file removed, 1: cut to half, 2: noise of the same size.
bool Break(const std::string& path, int damage) {
  const Bytes bytes = testing_support::ReadFileBytes(path);
  const Bytes damaged = damage == 1 ? Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2) : Noise(bytes.size(), bytes.size());
  return unlink(path.c_str()) == 0 && (damage == 0 || testing_support::WriteFileBytes(path, damaged));
}

// The pictures and sounds of the built game folder, relative to it, in order.
std::vector<std::string> GameArtAndSounds() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(GLOOMGRID_DIST_DIR)) {
    const std::string extension = entry.path().extension().string();
    if (entry.is_regular_file() && (extension == ".bmp" || extension == ".wav"))
      files.push_back(std::filesystem::relative(entry.path(), GLOOMGRID_DIST_DIR).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Play, the rules, every level's pictures by the arrows, and out by the "exit" button: a game still there at the
// close that follows did not answer.
std::string ShortSession() {
  std::string script = Click(100, 142, 476);  // "newgame"
  std::mt19937 random(5);
  for (uint32_t at = 300; at < 800; at += 100) script += Click(at, 200 + random() % 390, 90 + random() % 390);
  script += Click(800, 142, 537) + Click(1000, 400, 300);                       // "info", the rules closed
  for (uint32_t at = 1200; at < 2160; at += 80) script += Click(at, 661, 353);  // "up" to level 13
  return script + Click(2200, 661, 481) + Click(2300, 50, 537) + "4000 close\n";
}

struct Case {
  std::string name;
  std::function<bool(const std::string& game)> damage;
  std::string session;
  int exitCode;
  std::vector<std::string> inTrace;
  std::string notInTrace = "";
};

// Runs the cases four at a time, each in its own folder; the failures, one per line.
std::string RunCases(const std::vector<Case>& cases) {
  std::string failures;
  for (size_t first = 0; first < cases.size(); first += 4) {
    std::vector<std::pair<std::unique_ptr<RunFolder>, pid_t>> runs;
    for (size_t i = first; i < cases.size() && i < first + 4; ++i) {
      auto folder = std::make_unique<RunFolder>();
      const pid_t game = folder->Populate({{"below", -1}}) && cases[i].damage(folder->game) ? StartGame(*folder, {cases[i].session, {}, nullptr}) : -1;
      runs.emplace_back(std::move(folder), game);
    }
    for (size_t i = 0; i < runs.size(); ++i) {
      const Case& c = cases[first + i];
      const int exitCode = runs[i].second < 0 ? -2 : WaitGame(runs[i].second, 120);
      const std::string trace = testing_support::ReadFileText(runs[i].first->File("trace.txt"));
      std::string missing;
      for (const std::string& text : c.inTrace) missing += trace.find(text) == std::string::npos ? " \"" + text + "\"" : "";
      if (!c.notInTrace.empty() && trace.find(c.notInTrace) != std::string::npos) missing += ", yet \"" + c.notInTrace + "\"";
      if (exitCode != c.exitCode || !missing.empty())
        failures += c.name + ": exit code " + std::to_string(exitCode) + " (expected " + std::to_string(c.exitCode) + ", -2: not prepared), not in the trace:" +
                    missing + "; stderr: " + testing_support::ReadFileText(runs[i].first->File("stderr.txt")) + "\n";
    }
  }
  return failures;
}

TEST(DamagedFiles, EveryPictureAndSoundBrokenInTurn) {
  const std::vector<std::string> files = GameArtAndSounds();
  ASSERT_GT(files.size(), 40u) << "the game folder is not built";
  std::vector<Case> cases;
  const char* const kDamages[] = {"removed", "cut to half", "noise"};
  for (int damage = 0; damage < 3; ++damage) {
    auto breaking = [damage](std::vector<std::string> names) {
      return [damage, names](const std::string& game) { return std::all_of(names.begin(), names.end(), [&](const std::string& name) { return Break(game + "/" + name, damage); }); };
    };
    // Sanitizer builds break each file one way only, the ways taken in turn, and wait out the time once.
    for (size_t i = 0; i < files.size(); ++i) {
      if (kSanitized && i % 3 != static_cast<size_t>(damage)) continue;
      Case c{files[i] + " " + kDamages[damage], breaking({files[i]}), ShortSession(), 0, {"script 2360 lup"}, "script 4000 close"};
      if (files[i] == "background.bmp")
        c.exitCode = 1, c.inTrace = {"MessageBoxA Gloom Grid cannot start: the file \"background.bmp\" is missing."}, c.notInTrace = "";
      // A button without its picture has no size to click on: the window is closed.
      if (files[i] == "exitbutton.bmp") c.inTrace = {"script 4000 close"}, c.notInTrace = "";
      cases.push_back(c);
    }
    // Level 1's time run out: the game-over pictures, "try again" and, as the result enters a table of scores below
    // zero, the hall-of-fame notice.
    if (!kSanitized || damage == 0)
      cases.push_back({std::string("the time-over pictures ") + kDamages[damage], breaking({"tryagain.bmp", "hallfamepop.bmp", "gameoveranim.bmp"}),
                       Click(300, 142, 476) + "145000 close\n", 0, {"script 145000 close"}});
  }
  EXPECT_EQ(RunCases(cases), "");
}

// Each settings file in turn: garbage text, a file past what a settings file can be (whose first lines would ask for
// full-screen and another player), noise, nothing. The game opens its window, not full-screen, for the first player.
TEST(DamagedFiles, BrokenSettingsFilesGiveTheDefaults) {
  std::mt19937 random(7);
  std::string garbage, huge = "[setup]\nfullscreen=1\nplayerid=2\n[Player3]\nname=Huge\n";
  const std::string letters = "[]=; \nabcdefghijklmnopqrstuvwxyz0123456789";
  for (int i = 0; i < 65536; ++i) garbage += letters[random() % letters.size()];
  while (huge.size() < 10u << 20) huge += "padding=" + std::string(90, 'x') + "\n";
  const std::pair<const char*, Bytes> contents[] = {{"garbage", Bytes(garbage.begin(), garbage.end())},
                                                    {"10 MB", Bytes(huge.begin(), huge.end())}, {"noise", Noise(65536, 3)}, {"empty", {}}};
  std::vector<Case> cases;
  for (const std::string file : {"setup.ini", "../options.ini"}) {
    for (const auto& [name, bytes] : contents) {
      cases.push_back({file + " " + name, [file, bytes](const std::string& game) { return testing_support::WriteFileBytes(game + "/" + file, bytes); },
                       "200 close\n", 0,
                       {"CreateWindowExA DirectX Class \"Gloom Grid\" style=0x100b0000 112,84 800x600", "message Gloom Grid - Player1 "}});
    }
  }
  EXPECT_EQ(RunCases(cases), "");
}

}  // namespace
