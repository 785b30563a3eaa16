// The base game's per-player bests, kept in a file of their own so that the
// hall of fame in hiscore.dat is never overwritten; and the sound registry's
// names and IDs, which stand in for the engine until it comes.
#include <gtest/gtest.h>

#include "game/game_base.h"
#include "sound/sound_registry.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

struct BestRow {
  const char* what;
  int32_t playerIndex;
  int32_t savedSlot;  // where the best lands among the ten
};

const BestRow kBestRows[] = {
    {"a profile slot", 3, 3},
    {"the last slot the profiles have", 7, 7},
    {"past the profiles: the first player", 9, 0},
    {"negative: the first player", -4, 0},
};

TEST(GameBaseTest, PlayerBestsGoToTheirOwnFileAndBack) {
  for (const BestRow& row : kBestRows) {
    SCOPED_TRACE(row.what);
    ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
    ASSERT_TRUE(WriteFileBytes("hiscore.dat", {1, 2, 3}));
    GameBase game;
    game.SetPlayerIndex(row.playerIndex);
    EXPECT_EQ(game.LoadPlayerBest(), 0) << "no file yet";
    game.SetBest(4321);
    EXPECT_EQ(game.SavePlayerBest(), 1);
    std::vector<uint8_t> file = ReadFileBytes("players.dat");
    ASSERT_EQ(file.size(), 40u);
    for (int32_t slot = 0; slot < kPlayerBestSlots; ++slot) {
      int32_t value = file[4 * slot] | file[4 * slot + 1] << 8 | file[4 * slot + 2] << 16 | file[4 * slot + 3] << 24;
      EXPECT_EQ(value, slot == row.savedSlot ? 4321 : 0) << "slot " << slot;
    }
    EXPECT_EQ(ReadFileBytes("hiscore.dat"), (std::vector<uint8_t>{1, 2, 3})) << "the hall of fame is not touched";
    GameBase other;
    other.SetPlayerIndex(row.playerIndex);
    EXPECT_EQ(other.LoadPlayerBest(), 4321);
    EXPECT_EQ(other.best, 4321);
  }
}

TEST(GameBaseTest, AShortFileGivesNoBest) {
  ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(WriteFileBytes("players.dat", {9, 9, 9, 9, 9, 9}));
  GameBase game;
  game.SetBest(55);
  EXPECT_EQ(game.LoadPlayerBest(), 0);
  EXPECT_EQ(game.best, 0);
  EXPECT_EQ(game.playerBest[0], 0) << "nothing half-read is kept";
}

TEST(SoundRegistryTest, NamesIdsAndSwitches) {
  ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(WriteFileBytes("a.wav", {0}));
  SoundRegistry registry{};
  registry.Shutdown();  // without Init: harmless
  registry.Init(nullptr, 200);
  EXPECT_EQ(registry.Add("missing.wav", "gone"), nullptr);
  SoundEntry* first = registry.Add("a.wav", "twin");
  SoundEntry* second = registry.Add("a.wav", "twin");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->id, 10) << "a failed load takes no ID";
  EXPECT_EQ(second->id, 11);
  EXPECT_EQ(registry.Find("twin"), first) << "the earlier of two equal names";
  EXPECT_EQ(registry.Find("Twin"), nullptr) << "names compare case-sensitively";
  registry.FreeAll();
  SoundEntry* again = registry.Add("a.wav", "again");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->id, 10) << "IDs start over after FreeAll";
  registry.Shutdown();
  EXPECT_EQ(registry.entries, nullptr);
  registry.EnableMusic(0);
  registry.EnableSFX(1);
  EXPECT_EQ(SoundRegistry::MusicEnabled(), 0);
  EXPECT_EQ(SoundRegistry::SFXEnabled(), 1);
}

}  // namespace
