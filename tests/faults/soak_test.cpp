// A long headless session of the real game: play, the rules popup, level
// changes and times over with their popups and saves. Its resident memory
// stays flat from halfway to the end, and a sanitizer build reports no leaks
// or races. GLOOMGRID_SOAK_FRAMES sets the length in 10 ms frames (`make soak`
// runs 100 000).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "faults/fault_helpers.h"
#include "support/scratch_folder.h"

namespace {

using namespace faults;

// Sanitizers hold freed memory back, so resident memory says nothing there;
// their run is about leaks and races, kept short and all play (a frame checked
// for races costs some 15 ms).
#if defined(__SANITIZE_THREAD__)
constexpr uint32_t kDefaultFrames = 1000;
#elif defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kDefaultFrames = 3000;
#else
constexpr uint32_t kDefaultFrames = 25000;  // the first time over and ten rounds measured
#endif
// Room for the allocator's own ups and downs.
constexpr long kToleranceKb = 2048;

uint32_t SoakFrames() {
  const char* frames = std::getenv("GLOOMGRID_SOAK_FRAMES");
  return frames != nullptr && std::atoi(frames) > 0 ? static_cast<uint32_t>(std::atoi(frames)) : kDefaultFrames;
}

// Script blocks by their first event's time; the host runs events in file order.
using Script = std::multimap<uint32_t, std::string>;

// Ten-second rounds until `endMs`; the first and every twentieth wait out
// level 1's time.
Script SoakScript(uint32_t endMs) {
  std::mt19937 random(99);
  Script script;
  auto click = [&](uint32_t at, int x, int y) { script.emplace(at, Click(at, x, y)); };
  auto tile = [&](uint32_t at) { click(at, 200 + random() % 390, 90 + random() % 390); };
  for (uint32_t round = 0, at = 0; at < endMs; ++round) {
    click(at + 100, 142, 476);  // "newgame"
    if (!kSanitized && round % 20 == 0) {     // down to level 1 and wait
      for (uint32_t down = at + 300; down < at + 1400; down += 100) click(down, 661, 481);
      click(at + 1500, 142, 476);
      at += 146000;
      continue;
    }
    for (uint32_t t = at + 300; t < at + 2300; t += 100) tile(t);
    click(at + 2500, 142, 537), click(at + 2900, 400, 300);                        // the rules
    click(at + 3200, 661, 353), click(at + 3400, 661, 353), click(at + 3600, 661, 481);  // up, up, down
    click(at + 3800, 142, 476);
    for (uint32_t t = at + 4000; t < at + 9500; t += 250) tile(t);
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
  const uint32_t frames = SoakFrames();
  // Resident memory from halfway, all warmed up, to the end.
  const uint32_t endMs = frames * 10, warmMs = endMs / 2;
  RunFolder folder;
  ASSERT_TRUE(folder.Populate() && testing_support::WriteFileBytes(folder.game + "/hiscore.dat", HiscoreFile({{"below", -1}})));
  Script events = SoakScript(endMs - 200);
  for (int point = 0; point < 2; ++point) {
    const uint32_t at = point == 0 ? warmMs : endMs - 150;
    events.emplace(at, HandshakeLine(folder, at, 2 * point) + HandshakeLine(folder, at, 2 * point + 1));
  }
  events.emplace(endMs, std::to_string(endMs) + " close\n");
  std::string script;
  for (const auto& [at, lines] : events) script += lines;
  const pid_t game = StartGame(folder, {script, {{"GLOOMGRID_HOST_TRACE", ""}}, nullptr});
  long residentKb[2] = {-1, -1};
  for (int point = 0; point < 2; ++point) {
    ASSERT_TRUE(PassHandshake(folder, 2 * point, game, 600)) << "the game ended before measuring point " << point;
    residentKb[point] = ResidentKb(game);
    ASSERT_TRUE(PassHandshake(folder, 2 * point + 1, game, 60));
  }
  const int exitCode = WaitGame(game, 120);
  std::printf("soak: %u frames, resident %ld kB after %u ms, %ld kB at %u ms\n", frames, residentKb[0], warmMs,
              residentKb[1], endMs - 150);
  EXPECT_EQ(exitCode, 0) << testing_support::ReadFileText(folder.File("stderr.txt"));
  if (!kSanitized) {
    EXPECT_LE(residentKb[1] - residentKb[0], kToleranceKb)
        << "resident memory grew from " << residentKb[0] << " kB to " << residentKb[1] << " kB";
  }
}

}  // namespace
