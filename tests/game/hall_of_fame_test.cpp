// The hall of fame, "hiscore.dat" byte for byte, and the player bests kept out of that file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "game/game_base.h"
#include "game/hall_of_fame.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;
using Bytes = std::vector<uint8_t>;

// A 20-entry file: entry 0 "Ann:::Y" scoring 0x01020304, entry 1 "Bob" scoring -2 with a leftover byte after its
// terminator, the rest empty.
Bytes HandMadeFile() {
  Bytes bytes(4 + 20 * 260, 0);
  auto put = [&](size_t at, uint32_t value) { for (size_t i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i)); };
  put(0, 20);
  std::memcpy(&bytes[4], "Ann:::Y", 7);
  put(4 + 256, 0x01020304);
  std::memcpy(&bytes[264], "Bob", 3);
  bytes[264 + 200] = 'x';
  put(264 + 256, -2);
  return bytes;
}

// The first `count` entries as "text=score ".
std::string Entries(const HallOfFame& table, int32_t count = 20) {
  std::string text;
  for (int32_t i = 0; i < count; ++i) text += table.entries[i].text + ("=" + std::to_string(table.entries[i].score)) + " ";
  return text;
}

// The scratch folder is the working directory, for the base game's relative file name.
class HallOfFameTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    table.Resize(20);
  }
  const std::string path = "hiscore.dat";
  ScratchFolder folder{ScratchFolder::kMakeWorkingDirectory};
  HallOfFame table;
};

TEST_F(HallOfFameTest, ResultsGoBelowEqualScoresAndTheLastIsDropped) {
  const struct { int32_t score, place; } cases[] = {{500, 0}, {150, 6}, {155, 5}, {11, 19}, {10, -1}, {5, -1}, {0, -1}, {-3, -1}};
  for (const auto& c : cases) {  // place -1: not entered
    std::string expected;
    for (int32_t i = 0, old = 0; i < 20; ++i) {  // 200, 190, ... 10
      table.entries[i].score = 200 - 10 * i;
      std::snprintf(table.entries[i].text, 256, "old%d", i);
      expected += i == c.place ? "new=" + std::to_string(c.score) + " "
                               : "old" + std::to_string(old) + "=" + std::to_string(200 - 10 * old) + " ";
      if (i != c.place) ++old;
    }
    EXPECT_EQ(table.Insert("new", c.score), c.place >= 0 ? 1 : 0) << "score " << c.score;
    EXPECT_EQ(Entries(table), expected) << "score " << c.score;
  }
  table.Resize(20);
  EXPECT_EQ(table.Insert(std::string(300, 'L').c_str(), 7) + table.TopScore(), 1 + 7) << "an empty table";
  EXPECT_EQ(std::string(table.entries[0].text), std::string(255, 'L')) << "a long text is cut";
  table.Free();
  EXPECT_EQ(table.Insert("x", 5) + table.TopScore(), 0) << "no table at all";
}

TEST_F(HallOfFameTest, LoadsAndSavesTheFileByteForByteAndDamagedFilesNeverReadPastAnEntry) {
  Bytes unterminated = HandMadeFile(), cutInScore = HandMadeFile(), longer = HandMadeFile(), count19 = HandMadeFile();
  std::memset(&unterminated[4], 'A', 256);
  cutInScore.resize(4 + 256 + 2);  // two of entry 0's four score bytes
  longer.insert(longer.end(), 100, 0xEE);
  count19[0] = 19;
  const std::string kept = "kept=268435555 =0 ";  // 0x10000063
  // The first two entries after the load.
  const struct { const char* name; Bytes bytes; int32_t loaded; std::string entries; } cases[] = {
      {"unterminated text", unterminated, 1, std::string(255, 'A') + "=16909060 Bob=-2 "},
      {"cut in a score", cutInScore, 1, "Ann:::Y=268436228 =0 "},  // 0x10000304
      {"longer", longer, 1, "Ann:::Y=16909060 Bob=-2 "}, {"count 19", count19, 0, kept}, {"empty", {}, 0, kept},
      {"whole", HandMadeFile(), 1, "Ann:::Y=16909060 Bob=-2 "},
  };
  for (const auto& c : cases) {
    table.Resize(20);
    table.Insert("kept", 0x10000063);
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    EXPECT_EQ(table.Load(path.c_str()), c.loaded) << c.name;
    EXPECT_EQ(Entries(table, 2), c.entries) << c.name;
  }
  ASSERT_EQ(table.Save("copy.dat"), 1);
  EXPECT_EQ(std::make_tuple(ReadFileBytes("copy.dat"), FileExists("copy.dat.tmp"), table.Load("missing.dat")),
            std::make_tuple(HandMadeFile(), false, 0)) << "saved bytes, temporary file left, a missing file loaded";
}

TEST_F(HallOfFameTest, AFailedSaveReturnsZeroAndLeavesTheOldFileWhole) {
  const Bytes old = HandMadeFile();
  table.Insert("newer", 1000);
  ASSERT_TRUE(WriteFileBytes(path, old) && mkdir("hiscore.dat.tmp", 0755) == 0);  // the temporary file cannot be made
  EXPECT_EQ(table.Save(path.c_str()), 0);
  EXPECT_EQ(ReadFileBytes(path), old);
  ASSERT_EQ(rmdir("hiscore.dat.tmp"), 0);
  // The disk fills up in the middle of the writes, or at the final flush.
  for (const rlim_t room : {1000, 4500}) {
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const struct rlimit small = {room, saved.rlim_max};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t result = table.Save(path.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(std::make_tuple(result, ReadFileBytes(path) == old, FileExists("hiscore.dat.tmp")), std::make_tuple(0, true, false))
        << room << " bytes free: saved, old file whole, temporary file left";
  }
  EXPECT_EQ(table.Save(path.c_str()), 1);
  EXPECT_TRUE(ReadFileBytes(path).size() == 5204u && ReadFileBytes(path) != old) << "a save with room";
}

TEST_F(HallOfFameTest, PlayerBestsGoToTheirOwnFileAndBack) {
  // Slots the profiles do not have fall back to the first player.
  for (const auto& [playerIndex, slot] : {std::pair{3, 3}, {7, 7}, {9, 0}, {-4, 0}}) {
    std::remove("players.dat");
    ASSERT_TRUE(WriteFileBytes(path, {1, 2, 3}));
    GameBase game, other;
    game.SetPlayerIndex(playerIndex), other.SetPlayerIndex(playerIndex);
    const int32_t before = game.LoadPlayerBest();
    game.SetBest(4321);
    const int32_t saved = game.SavePlayerBest();
    Bytes want(4 * kPlayerBestSlots, 0);
    want[4 * slot] = 4321 & 0xFF, want[4 * slot + 1] = 4321 >> 8;
    EXPECT_EQ(std::make_tuple(before, saved, ReadFileBytes("players.dat"), ReadFileBytes(path), other.LoadPlayerBest()),
              std::make_tuple(0, 1, want, Bytes{1, 2, 3}, 4321))
        << "player index " << playerIndex << ": best before, saved, players.dat, hiscore.dat untouched, best read back";
  }
}

}  // namespace
