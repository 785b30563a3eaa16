// Names that lead to something other than a regular file: profile files read
// as missing (the defaults) and pictures fail to open, at once. A FIFO that
// blocked the read would fail by the test's time limit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "support/scratch_folder.h"

namespace {

using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

// Makes `name` in the working directory a thing of the given kind.
bool Make(const std::string& kind, const std::string& name) {
  if (kind == "directory") return mkdir(name.c_str(), 0755) == 0;
  if (kind == "/dev/zero") return symlink("/dev/zero", name.c_str()) == 0;
  if (kind == "fifo") return mkfifo(name.c_str(), 0644) == 0;
  if (kind == "regular") return WriteFileBytes(name, {'[', 's', ']', '\n', 'k', '=', '7', '\n'});
  // A file past the 4 MiB limit, whose first lines would otherwise be read.
  std::vector<uint8_t> big(4u << 20, '\n');
  big.insert(big.begin(), {'[', 's', ']', '\n', 'k', '=', '7', '\n'});
  return WriteFileBytes(name, big);
}

TEST(FileKinds, OnlyRegularFilesAreRead) {
  struct Case {
    const char* kind;
    const char* profileValue;  // what GetPrivateProfileStringA gives for [s] k
    bool opens;                // whether fopen(..., "rb") gives a file
  };
  const Case cases[] = {
      {"regular", "7", true},         {"directory", "none", false}, {"/dev/zero", "none", false},
      {"fifo", "none", false},        {"too big", "none", true},
  };
  for (const Case& c : cases) {
    ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
    ASSERT_TRUE(folder.ok());
    ASSERT_TRUE(Make(c.kind, "setup.ini")) << c.kind;
    ASSERT_TRUE(Make(c.kind, "picture.bmp")) << c.kind;

    char value[16] = "?";
    GetPrivateProfileStringA("s", "k", "none", value, sizeof value, ".\\setup.ini");
    EXPECT_STREQ(value, c.profileValue) << c.kind << " as setup.ini";

    FILE* picture = std::fopen(".\\Picture.BMP", "rb");
    EXPECT_EQ(picture != nullptr, c.opens) << c.kind << " as a picture";
    if (picture) std::fclose(picture);
  }
}

}  // namespace
