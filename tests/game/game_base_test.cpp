// The base game's per-player bests, kept in a file of their own so that the
// hall of fame in hiscore.dat is never overwritten.
#include <gtest/gtest.h>

#include "game/game_base.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

struct BestRow {
  int32_t playerIndex;
  int32_t savedSlot;  // where the best lands among the ten
};

// Slots the profiles do not have fall back to the first player.
const BestRow kBestRows[] = {{3, 3}, {7, 7}, {9, 0}, {-4, 0}};

TEST(GameBaseTest, PlayerBestsGoToTheirOwnFileAndBack) {
  for (const BestRow& row : kBestRows) {
    SCOPED_TRACE(testing::Message() << "player index " << row.playerIndex);
    ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
    ASSERT_TRUE(WriteFileBytes("hiscore.dat", {1, 2, 3}));
    GameBase game;
    game.SetPlayerIndex(row.playerIndex);
    EXPECT_EQ(game.LoadPlayerBest(), 0) << "no file yet";
    game.SetBest(4321);
    EXPECT_EQ(game.SavePlayerBest(), 1);
    std::vector<uint8_t> file = ReadFileBytes("players.dat");
    ASSERT_EQ(file.size(), 40u);
    for (int32_t slot = 0; slot < kPlayerBestSlots; ++slot)
      EXPECT_EQ(file[4 * slot] | file[4 * slot + 1] << 8, slot == row.savedSlot ? 4321 : 0) << "slot " << slot;
    EXPECT_EQ(ReadFileBytes("hiscore.dat"), (std::vector<uint8_t>{1, 2, 3})) << "the hall of fame is not touched";
    GameBase other;
    other.SetPlayerIndex(row.playerIndex);
    EXPECT_EQ(other.LoadPlayerBest(), 4321);
  }
}

}  // namespace
