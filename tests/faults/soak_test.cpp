// A long headless session of the real game: play, the rules, level changes and times over with their popups and saves.
// Its resident memory stays flat from halfway to the end, and a sanitizer build reports no leaks or races.
// GLOOMGRID_SOAK_FRAMES sets the length in 10 ms frames (`make soak` runs 100 000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "faults/fault_helpers.h"

namespace {

using namespace faults;

// Sanitizers hold freed memory back, so resident memory says nothing there; their run is about leaks and races, kept
// short and all play (a frame checked for races costs some 15 ms). Elsewhere: the first time over and ten rounds.
#if defined(__SANITIZE_THREAD__)
constexpr uint32_t kDefaultFrames = 1000;
#elif defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kDefaultFrames = 3000;
#else
constexpr uint32_t kDefaultFrames = 25000;
#endif

// Script blocks by their first event's time (the host runs events in file order): ten-second rounds until `endMs`;
// the first and every twentieth go down to level 1 and wait out its time.
std::multimap<uint32_t, std::string> SoakScript(uint32_t endMs) {
  std::mt19937 random(99);
  std::multimap<uint32_t, std::string> script;
  auto click = [&](uint32_t at, int x, int y) { script.emplace(at, Click(at, x, y)); };
  auto tiles = [&](uint32_t from, uint32_t to, uint32_t step) {
    for (uint32_t at = from; at < to; at += step) click(at, 200 + random() % 390, 90 + random() % 390);
  };
  for (uint32_t round = 0, at = 0; at < endMs; ++round) {
    click(at + 100, 142, 476);  // "newgame"
    if (!kSanitized && round % 20 == 0) {
      for (uint32_t down = at + 300; down < at + 1400; down += 100) click(down, 661, 481);
      click(at + 1500, 142, 476);
      at += 146000;
      continue;
    }
    tiles(at + 300, at + 2300, 100);
    click(at + 2500, 142, 537), click(at + 2900, 400, 300);                              // the rules
    click(at + 3200, 661, 353), click(at + 3400, 661, 353), click(at + 3600, 661, 481);  // up, up, down
    click(at + 3800, 142, 476);
    tiles(at + 4000, at + 9500, 250);
    at += 10000;
  }
  return script;
}

long ResidentKb(pid_t game) {
  std::ifstream status("/proc/" + std::to_string(game) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

TEST(Soak, MemoryStaysFlatAndNothingLeaks) {
  const char* setting = std::getenv("GLOOMGRID_SOAK_FRAMES");
  const uint32_t frames = setting && std::atoi(setting) > 0 ? static_cast<uint32_t>(std::atoi(setting)) : kDefaultFrames;
  const uint32_t endMs = frames * 10, measuredMs[2] = {endMs / 2, endMs - 150};  // from warmed up to the end
  RunFolder folder;
  ASSERT_TRUE(folder.Populate({{"below", -1}}));
  auto events = SoakScript(endMs - 200);
  for (int point = 0; point < 2; ++point)
    events.emplace(measuredMs[point], HandshakeLine(folder, measuredMs[point], 2 * point) + HandshakeLine(folder, measuredMs[point], 2 * point + 1));
  std::string script;
  for (const auto& [at, lines] : events) script += lines;
  const pid_t game = StartGame(folder, {script + std::to_string(endMs) + " close\n", {{"GLOOMGRID_HOST_TRACE", ""}}, nullptr});
  long residentKb[2] = {-1, -1};
  for (int point = 0; point < 2; ++point) {
    ASSERT_TRUE(PassHandshake(folder, 2 * point, game, 600)) << "the game ended before measuring point " << point;
    residentKb[point] = ResidentKb(game);
    ASSERT_TRUE(PassHandshake(folder, 2 * point + 1, game, 60));
  }
  EXPECT_EQ(WaitGame(game, 120), 0) << testing_support::ReadFileText(folder.File("stderr.txt"));
  EXPECT_TRUE(kSanitized || residentKb[1] - residentKb[0] <= 2048)  // room for the allocator's ups and downs
      << frames << " frames: resident memory grew from " << residentKb[0] << " kB at " << measuredMs[0] << " ms to "
      << residentKb[1] << " kB at " << measuredMs[1] << " ms";
}

}  // namespace
