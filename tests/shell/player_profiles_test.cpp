// Player profiles read from "..\options.ini" and the text offered to the hall of fame.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/player_profiles.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

// Each row's file in place of the last ("": none), then the current player and texts: the current player's, player
// 0's cut to 6 bytes, slot 12's (read as player 0).
TEST(PlayerProfiles, CurrentPlayerAndRecordText) {
  ScratchFolder root{ScratchFolder::kMakeWorkingDirectory};
  ASSERT_TRUE(root.ok() && mkdir("game", 0755) == 0 && chdir("game") == 0);  // beside the options file's folder
  PlayerProfiles profiles{};
  profiles.SetFile("..\\options.ini");
  auto format = [&](int32_t index, size_t size = kPlayerTextSize) {
    std::string buffer(kPlayerTextSize + 1, '#');
    profiles.FormatPlayer(index, buffer.data(), size);
    EXPECT_EQ(buffer[size], '#') << "written past the buffer";
    return std::string(buffer.c_str());
  };
  const std::string n(80, 'n'), first = "|Playe|Player1:::Y";
  const std::string cut = n.substr(0, 63) + ":" + n.substr(0, 63) + ":" + n.substr(0, 63) + ":Y";
  const struct { std::string options, read; } cases[] = {
      {"", "0 Player1:::Y" + first},
      {"[setup]\nplayerid=2\n[Player3]\nname=Cleo\naddress=1 Elm St\nemail=c@x.org\nsend=N\n",
       "2 Cleo:1 Elm St:c@x.org:N" + first},
      {"[setup]\nplayerid=7\n", "7 Player8:::Y" + first},
      {"[setup]\nplayerid=8\n[Player1]\nname=Ann\n", "0 Ann:::Y|Ann::|Ann:::Y"},
      {"[setup]\nplayerid=-1\n", "0 Player1:::Y" + first},
      {"[setup]\nplayerid=4294967297\n", "0 Player1:::Y" + first},
      {"[Player1]\nsend=Yes\n", "0 Player1:::Y" + first},
      {"[Player1]\nname=Bea\n", "0 Bea:::Y|Bea::|Bea:::Y"},
      {"[Player1]\nname=" + n + "\naddress=" + n + "\nemail=" + n + "\n", "0 " + cut + "|nnnnn|" + cut},
  };
  for (const auto& c : cases) {
    unlink("../options.ini");
    ASSERT_TRUE(c.options.empty() || WriteFileBytes("../options.ini", {c.options.begin(), c.options.end()}));
    std::string read = std::to_string(profiles.ReadPlayerId()) + " ";
    read += format(profiles.currentPlayer) + "|";
    read += format(0, 6) + "|";
    EXPECT_EQ(read + format(12), c.read) << (c.options.empty() ? "(no file)" : c.options);
  }
  profiles.SetFile(std::string(300, 'p').c_str());
  EXPECT_EQ(profiles.path[0], '\0') << "a path too long to keep";
}

}  // namespace
