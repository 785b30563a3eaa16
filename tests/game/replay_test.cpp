// A golden replay: the real game, headless in virtual time with a fixed seed, solves level 1 by clicks
// (support/level_one.h); the round-complete popup's picture and the hiscore.dat left must match the checked-in ones.
// GLOOMGRID_UPDATE_EXPECTED=1 writes them anew (look at the picture before checking it in).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/game_process.h"
#include "support/level_one.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

constexpr unsigned kSeed = 17;

void ExpectSameAsExpected(const std::vector<uint8_t>& actual, const std::string& name) {
  const std::string path = std::string(GLOOMGRID_SOURCE_DIR) + "/tests/game/expected/" + name;
  if (std::getenv("GLOOMGRID_UPDATE_EXPECTED") != nullptr) { EXPECT_TRUE(WriteFileBytes(path, actual)); }
  const std::vector<uint8_t> expected = ReadFileBytes(path);
  EXPECT_TRUE(!expected.empty() && actual == expected)
      << name << ": " << actual.size() << " bytes differ from the " << expected.size() << " of " << path;
}

TEST(ReplayTest, LevelOneSolvedByClicksEndsInTheRoundCompletePopup) {
  int32_t at = 0;
  std::ostringstream script;
  script << LevelOneScript(kSeed, &at);
  ASSERT_GT(at, 0) << "no solution found for the deal of seed " << kSeed;
  ScratchFolder scratch;
  const std::string shot = scratch.File("roundcomplete.png");
  script << at + 4000 << " screenshot " << shot << "\n" << at + 10000 << " close\n";

  GameRun run = RunGame({.environment = {{"GLOOMGRID_HOST_SEED", std::to_string(kSeed)}}, .script = script.str(),
                         .timeLimitSeconds = 60});
  ASSERT_EQ(run.exitCode, 0) << run.stdErr << "\nscript:\n" << script.str();
  ExpectSameAsExpected(ReadFileBytes(shot), "replay_roundcomplete.png");
  ExpectSameAsExpected(ReadFileBytes(run.folder + "/hiscore.dat"), "replay_hiscore.dat");
}

}  // namespace
