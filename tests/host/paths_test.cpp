// Windows file names found on a case-sensitive file system, directly and through the wrapped fopen.
#include "host/src/paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "support/scratch_folder.h"

namespace {

// Run in "<temp>/game", beside "<temp>/Options.ini", with "Sounds/Click.WAV", "Title/HowToPlay.bmp",
// "setup.ini" and the twins "twin.txt" and "TWIN.txt" below it, made without fopen (which would find
// "twin.txt" when asked for "TWIN.txt"). Then fopen reads an existing file under another case and puts a new
// file into the existing directory.
TEST(Paths, WindowsNamesMapToWhatExists) {
  testing_support::ScratchFolder root{testing_support::ScratchFolder::kMakeWorkingDirectory};
  for (const char* directory : {"game", "game/Sounds", "game/Title"}) ASSERT_EQ(mkdir(directory, 0755), 0);
  ASSERT_EQ(chdir("game"), 0);
  for (const char* file :
       {"../Options.ini", "Sounds/Click.WAV", "Title/HowToPlay.bmp", "setup.ini", "twin.txt", "TWIN.txt"})
    ASSERT_EQ(close(open(file, O_CREAT | O_WRONLY, 0644)), 0) << file;
  std::string windowsRoot = root.path();
  for (char& c : windowsRoot)
    if (c == '/') c = '\\';
  const std::string drivePath = "C:" + windowsRoot + "\\GAME\\sounds\\click.wav";
  const std::string rooted = windowsRoot + "\\options.INI", linuxPath = root.File("game/Sounds/Click.WAV");
  const struct {
    const char* windows;
    std::string expected;
  } cases[] = {
      {"sounds\\click.wav", "Sounds/Click.WAV"}, {"SOUNDS\\CLICK.WAV", "Sounds/Click.WAV"},
      {"title\\HowToPlay.bmp", "Title/HowToPlay.bmp"}, {".\\SETUP.INI", "./setup.ini"},
      {"..\\options.ini", "../Options.ini"}, {"sounds/click.wav", "Sounds/Click.WAV"},
      {".\\sounds\\..\\title\\howtoplay.BMP", "./Sounds/../Title/HowToPlay.bmp"},
      // Missing names keep their spelling below what exists; nothing is matched below a missing directory.
      {"hiscore.dat", "hiscore.dat"}, {"sounds\\New.wav", "Sounds/New.wav"}, {"NoDir\\Sub\\sounds", "NoDir/Sub/sounds"},
      // The exact spelling wins; otherwise the smallest in byte order.
      {"twin.txt", "twin.txt"}, {"TWIN.txt", "TWIN.txt"}, {"Twin.TXT", "TWIN.txt"},
      {drivePath.c_str(), linuxPath}, {rooted.c_str(), root.File("Options.ini")}, {linuxPath.c_str(), linuxPath},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(host::MapWindowsPath(c.windows), c.expected) << "for " << c.windows;
  EXPECT_EQ(host::MapWindowsPath(nullptr), "");
  for (auto [name, mode] : {std::pair{"SOUNDS\\click.wav", "rb"}, {"sounds\\hiscore.dat", "wb"}}) {
    FILE* file = std::fopen(name, mode);
    EXPECT_NE(file, nullptr) << name;
    if (file) std::fclose(file);
  }
  EXPECT_TRUE(testing_support::FileExists("Sounds/hiscore.dat"));
  EXPECT_EQ(std::fopen("sounds\\absent.wav", "rb"), nullptr);
}

}  // namespace
