// The hall of fame: where results enter, the bytes of "hiscore.dat" against a
// file made by hand, damaged files, and saves that fail without losing the
// table on disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "game/hall_of_fame.h"
#include "support/scratch_folder.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;
using Bytes = std::vector<uint8_t>;

void PutLittleEndian(Bytes& bytes, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

// A 20-entry file: entry 0 "Ann:::Y" scoring 0x01020304, entry 1 "Bob" scoring
// -2 with a leftover byte after its terminator, the rest empty.
Bytes HandMadeFile() {
  Bytes bytes;
  PutLittleEndian(bytes, 20);
  for (int i = 0; i < 20; ++i) {
    Bytes text(256, 0);
    const char* name = i == 0 ? "Ann:::Y" : i == 1 ? "Bob" : "";
    std::memcpy(text.data(), name, std::strlen(name));
    if (i == 1) text[200] = 'x';
    bytes.insert(bytes.end(), text.begin(), text.end());
    PutLittleEndian(bytes, i == 0 ? 0x01020304 : i == 1 ? -2 : 0);
  }
  return bytes;
}

class HallOfFameTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok());
    table.Resize(20);
  }
  std::string Path() const { return folder.File("hiscore.dat"); }
  ScratchFolder folder;
  HallOfFame table;
};

TEST_F(HallOfFameTest, ResultsGoBelowEqualScoresAndTheLastIsDropped) {
  const struct {
    int32_t score;
    int32_t place;  // -1: not entered
  } cases[] = {{500, 0}, {150, 6}, {155, 5}, {11, 19}, {10, -1}, {5, -1}, {0, -1}, {-3, -1}};
  for (const auto& c : cases) {
    for (int32_t i = 0; i < 20; ++i) {  // 200, 190, ... 10
      table.entries[i].score = 200 - 10 * i;
      std::snprintf(table.entries[i].text, 256, "old%d", i);
    }
    ASSERT_EQ(table.Insert("new", c.score), c.place >= 0 ? 1 : 0) << "score " << c.score;
    for (int32_t i = 0; i < 20; ++i) {
      const int32_t old = c.place < 0 || i < c.place ? i : i - 1;
      const std::string text = i == c.place ? "new" : "old" + std::to_string(old);
      EXPECT_EQ(table.entries[i].text, text) << "score " << c.score << " entry " << i;
      EXPECT_EQ(table.entries[i].score, i == c.place ? c.score : 200 - 10 * old) << "score " << c.score;
    }
  }
}

TEST_F(HallOfFameTest, AnEmptyTableTakesAnyPositiveScoreAtTheTopAndCutsLongTexts) {
  EXPECT_EQ(table.Insert("zero", 0), 0);
  EXPECT_EQ(table.Insert(std::string(300, 'L').c_str(), 7), 1);
  EXPECT_EQ(table.TopScore(), 7);
  EXPECT_EQ(std::string(table.entries[0].text), std::string(255, 'L'));
  table.Free();
  EXPECT_EQ(table.Insert("x", 5) + table.TopScore(), 0) << "no table at all";
}

TEST_F(HallOfFameTest, LoadsAndSavesTheFileByteForByte) {
  const Bytes file = HandMadeFile();
  ASSERT_EQ(file.size(), 5204u);
  ASSERT_TRUE(WriteFileBytes(Path(), file));
  ASSERT_EQ(table.Load(Path().c_str()), 1);
  EXPECT_STREQ(table.entries[0].text, "Ann:::Y");
  EXPECT_EQ(table.entries[0].score, 0x01020304);
  EXPECT_STREQ(table.entries[1].text, "Bob");
  EXPECT_EQ(table.entries[1].score, -2);
  const std::string copy = folder.File("copy.dat");
  ASSERT_EQ(table.Save(copy.c_str()), 1);
  EXPECT_EQ(ReadFileBytes(copy), file);
  EXPECT_FALSE(FileExists(copy + ".tmp"));
}

TEST_F(HallOfFameTest, DamagedFilesNeverReadPastAnEntry) {
  Bytes unterminated = HandMadeFile();
  std::memset(&unterminated[4], 'A', 256);
  Bytes cutInScore = HandMadeFile();
  cutInScore.resize(4 + 256 + 2);  // two of entry 0's four score bytes
  Bytes longer = HandMadeFile();
  longer.insert(longer.end(), 100, 0xEE);
  Bytes count19 = HandMadeFile();
  count19[0] = 19;
  const struct {
    const char* name;
    Bytes bytes;
    int32_t loaded;
    std::string text0;
    int32_t score0;
  } cases[] = {
      {"unterminated text", unterminated, 1, std::string(255, 'A'), 0x01020304},
      {"cut in a score", cutInScore, 1, "Ann:::Y", 0x10000304},
      {"longer", longer, 1, "Ann:::Y", 0x01020304},
      {"count 19", count19, 0, "kept", 0x10000063},
      {"two bytes", {20, 0}, 0, "kept", 0x10000063},
      {"empty", {}, 0, "kept", 0x10000063},
  };
  for (const auto& c : cases) {
    table.Resize(20);
    table.Insert("kept", 0x10000063);
    ASSERT_TRUE(WriteFileBytes(Path(), c.bytes));
    EXPECT_EQ(table.Load(Path().c_str()), c.loaded) << c.name;
    EXPECT_EQ(std::string(table.entries[0].text), c.text0) << c.name;
    EXPECT_EQ(table.entries[0].score, c.score0) << c.name;
    if (c.loaded) {
      EXPECT_STREQ(table.entries[19].text, "") << c.name;
    }
  }
  EXPECT_EQ(table.Load(folder.File("missing.dat").c_str()), 0);
}

TEST_F(HallOfFameTest, AFailedSaveReturnsZeroAndLeavesTheOldFileWhole) {
  const Bytes old = HandMadeFile();
  table.Insert("newer", 1000);
  // The temporary file cannot be made.
  ASSERT_TRUE(WriteFileBytes(Path(), old));
  ASSERT_EQ(mkdir((Path() + ".tmp").c_str(), 0755), 0);
  EXPECT_EQ(table.Save(Path().c_str()), 0);
  EXPECT_EQ(ReadFileBytes(Path()), old);
  ASSERT_EQ(rmdir((Path() + ".tmp").c_str()), 0);
  // The disk fills up in the middle of the writes, or at the final flush.
  for (const rlim_t room : {1000, 4500}) {
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = room;
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t result = table.Save(Path().c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 0) << room << " bytes free";
    EXPECT_EQ(ReadFileBytes(Path()), old) << room << " bytes free";
    EXPECT_FALSE(FileExists(Path() + ".tmp")) << "the temporary file is removed";
  }
  // A folder that does not exist.
  EXPECT_EQ(table.Save(folder.File("none/hiscore.dat").c_str()), 0);
  // And a save that works replaces the file.
  EXPECT_EQ(table.Save(Path().c_str()), 1);
  EXPECT_EQ(ReadFileBytes(Path()).size(), 5204u);
  EXPECT_NE(ReadFileBytes(Path()), old);
}

}  // namespace
