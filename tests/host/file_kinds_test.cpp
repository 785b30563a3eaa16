// Names that lead to something other than a regular file: profile files read as missing (the defaults) and
// pictures fail to open, at once. A FIFO that blocked the read would fail by the test's time limit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/scratch_folder.h"

using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

TEST(FileKinds, OnlyRegularFilesAreRead) {
  const std::vector<uint8_t> profile{'[', 's', ']', '\n', 'k', '=', '7', '\n'};
  std::vector<uint8_t> big(4u << 20, '\n');  // past the 4 MiB limit, its first lines would otherwise be read
  big.insert(big.begin(), profile.begin(), profile.end());
  // Makes `name` a thing of the given kind, in the working directory.
  auto make = [&](const std::string& kind, const char* name) {
    if (kind == "directory") return mkdir(name, 0755) == 0;
    if (kind == "/dev/zero") return symlink("/dev/zero", name) == 0;
    if (kind == "fifo") return mkfifo(name, 0644) == 0;
    return WriteFileBytes(name, kind == "regular" ? profile : big);
  };
  const struct {
    const char* kind;
    const char* profileValue;  // what GetPrivateProfileStringA gives for [s] k
    bool opens;                // whether fopen(..., "rb") gives a file
  } cases[] = {{"regular", "7", true}, {"directory", "none", false}, {"/dev/zero", "none", false},
               {"fifo", "none", false}, {"too big", "none", true}};
  for (const auto& c : cases) {
    ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
    ASSERT_TRUE(folder.ok() && make(c.kind, "setup.ini") && make(c.kind, "picture.bmp")) << c.kind;
    char value[16] = "?";
    GetPrivateProfileStringA("s", "k", "none", value, sizeof value, ".\\setup.ini");
    FILE* picture = std::fopen(".\\Picture.BMP", "rb");
    EXPECT_EQ(value + std::string(picture ? " opens" : ""), c.profileValue + std::string(c.opens ? " opens" : ""))
        << c.kind << " as setup.ini and as a picture";
    if (picture) std::fclose(picture);
  }
}
