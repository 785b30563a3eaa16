// Player profiles read from "..\options.ini": defaults, cut values, slots
// outside the eight records, and the text offered to the hall of fame.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "shell/player_profiles.h"
#include "support/scratch_folder.h"

namespace {

// The game runs in "game" beside the options file of its parent folder.
class PlayerProfilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.ok() && mkdir("game", 0755) == 0 && chdir("game") == 0);
    profiles.SetFile("..\\options.ini");
  }
  static void WriteOptions(const std::string& text) {
    unlink("../options.ini");
    EXPECT_TRUE(text.empty() || testing_support::WriteFileBytes("../options.ini", {text.begin(), text.end()}));
  }
  std::string Format(int32_t index, size_t size = kPlayerTextSize) {
    std::string buffer(kPlayerTextSize + 1, '#');
    profiles.FormatPlayer(index, buffer.data(), size);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return buffer.c_str();
  }
  testing_support::ScratchFolder root{testing_support::ScratchFolder::kMakeWorkingDirectory};
  PlayerProfiles profiles{};
};

TEST_F(PlayerProfilesTest, CurrentPlayerAndRecordText) {
  const std::string n(80, 'n');
  const struct {
    std::string options;  // empty: no options file
    int32_t player;
    std::string text;
  } cases[] = {
      {"", 0, "Player1:::Y"},
      {"[setup]\nplayerid=2\n[Player3]\nname=Cleo\naddress=1 Elm St\nemail=c@x.org\nsend=N\n", 2,
       "Cleo:1 Elm St:c@x.org:N"},
      {"[setup]\nplayerid=7\n", 7, "Player8:::Y"},
      {"[setup]\nplayerid=8\n[Player1]\nname=Ann\n", 0, "Ann:::Y"},
      {"[setup]\nplayerid=-1\n", 0, "Player1:::Y"},
      {"[setup]\nplayerid=4294967297\n", 0, "Player1:::Y"},
      {"[Player1]\nsend=Yes\n", 0, "Player1:::Y"},
      {"[Player1]\nname=" + n + "\naddress=" + n + "\nemail=" + n + "\n", 0,
       n.substr(0, 63) + ":" + n.substr(0, 63) + ":" + n.substr(0, 63) + ":Y"},
  };
  for (const auto& c : cases) {
    WriteOptions(c.options);
    const int32_t player = profiles.ReadPlayerId();
    EXPECT_EQ(std::make_pair(player, Format(profiles.currentPlayer)), std::make_pair(c.player, c.text))
        << (c.options.empty() ? "(no file)" : c.options);
  }
  // Cut to the caller's buffer, read afresh each time, slot 12 read as player 0.
  WriteOptions("[Player1]\nname=Ann\n");
  EXPECT_EQ(Format(0, 6) + "|" + Format(0, 1) + "|" + Format(12), "Ann::||Ann:::Y");
  WriteOptions("[Player1]\nname=Bea\n");
  EXPECT_EQ(Format(0), "Bea:::Y");
  profiles.SetFile(std::string(300, 'p').c_str());
  EXPECT_EQ(profiles.path[0], '\0') << "a path too long to keep";
}

}  // namespace
