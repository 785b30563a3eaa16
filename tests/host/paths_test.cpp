// Windows file names found on a case-sensitive file system, directly and
// through the wrapped fopen.
#include "host/src/paths.h"

#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

// Runs each test in "<temp>/game", beside "<temp>/Options.ini", with a
// "Sounds/Click.WAV" and a "Title/HowToPlay.bmp" below it.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    root = std::string(tmp && *tmp ? tmp : "/tmp") + "/gloom_paths_XXXXXX";
    ASSERT_NE(mkdtemp(root.data()), nullptr);
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    for (const char* directory : {"/game", "/game/Sounds", "/game/Title"})
      ASSERT_EQ(mkdir((root + directory).c_str(), 0755), 0);
    ASSERT_EQ(chdir((root + "/game").c_str()), 0);
    for (const char* file : {"../Options.ini", "Sounds/Click.WAV", "Title/HowToPlay.bmp", "setup.ini"}) Touch(file);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous), 0);
    nftw(root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }

  // Not through fopen: that would find "twin.txt" when asked for "TWIN.txt".
  static void Touch(const char* path) {
    int fd = open(path, O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << path;
    close(fd);
  }

  std::string root;
  char previous[4096];
};

TEST_F(PathsTest, GameNamesFindFilesWhateverTheirCase) {
  struct {
    const char* windows;
    const char* expected;
  } cases[] = {
      {"sounds\\click.wav", "Sounds/Click.WAV"},   {"SOUNDS\\CLICK.WAV", "Sounds/Click.WAV"},
      {"title\\HowToPlay.bmp", "Title/HowToPlay.bmp"}, {".\\setup.ini", "./setup.ini"},
      {".\\SETUP.INI", "./setup.ini"},             {"..\\options.ini", "../Options.ini"},
      {"sounds/click.wav", "Sounds/Click.WAV"},    {"sounds\\\\click.wav", "Sounds/Click.WAV"},
      {".\\sounds\\..\\title\\howtoplay.BMP", "./Sounds/../Title/HowToPlay.bmp"},
      {"Sounds\\", "Sounds/"},
  };
  for (const auto& c : cases) EXPECT_EQ(host::MapWindowsPath(c.windows), c.expected) << "for " << c.windows;
}

TEST_F(PathsTest, MissingNamesKeepTheirSpellingBelowWhatExists) {
  EXPECT_EQ(host::MapWindowsPath("hiscore.dat"), "hiscore.dat");
  EXPECT_EQ(host::MapWindowsPath("sounds\\New.wav"), "Sounds/New.wav");
  EXPECT_EQ(host::MapWindowsPath("NoDir\\Sub\\sounds"), "NoDir/Sub/sounds") << "no matching below a missing directory";
}

TEST_F(PathsTest, ExactSpellingWinsAndTwinsResolveTheSameWayEveryTime) {
  Touch("twin.txt");
  Touch("TWIN.txt");
  EXPECT_EQ(host::MapWindowsPath("twin.txt"), "twin.txt");
  EXPECT_EQ(host::MapWindowsPath("TWIN.txt"), "TWIN.txt");
  EXPECT_EQ(host::MapWindowsPath("Twin.TXT"), "TWIN.txt") << "the smallest in byte order";
}

TEST_F(PathsTest, RootedDriveAndLinuxPaths) {
  std::string windowsRoot = root;
  for (char& c : windowsRoot)
    if (c == '/') c = '\\';
  EXPECT_EQ(host::MapWindowsPath(("C:" + windowsRoot + "\\GAME\\sounds\\click.wav").c_str()),
            root + "/game/Sounds/Click.WAV");
  EXPECT_EQ(host::MapWindowsPath((windowsRoot + "\\options.INI").c_str()), root + "/Options.ini");
  EXPECT_EQ(host::MapWindowsPath((root + "/game/Sounds/Click.WAV").c_str()), root + "/game/Sounds/Click.WAV");
  EXPECT_EQ(host::MapWindowsPath(nullptr), "");
  EXPECT_EQ(host::MapWindowsPath(""), "");
}

TEST_F(PathsTest, FopenTakesWindowsNames) {
  FILE* found = std::fopen("SOUNDS\\click.wav", "rb");
  EXPECT_NE(found, nullptr) << "reading an existing file under another case";
  if (found) std::fclose(found);

  FILE* created = std::fopen("sounds\\hiscore.dat", "wb");
  ASSERT_NE(created, nullptr);
  std::fclose(created);
  struct stat info;
  EXPECT_EQ(stat("Sounds/hiscore.dat", &info), 0) << "a new file goes into the existing directory";

  EXPECT_EQ(std::fopen("sounds\\absent.wav", "rb"), nullptr);
}

}  // namespace
