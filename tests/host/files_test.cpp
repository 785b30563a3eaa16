// MoveFileExA and DeleteFileA against the behaviour of Windows.
#include <gtest/gtest.h>

#include <string>

#include "support/scratch_folder.h"
#include "windows.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

TEST(HostFiles, MovesReplaceOnlyWhenAskedAndDeletesTakeFilesOnly) {
  ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(WriteFileBytes("new.dat", {'n'}));
  ASSERT_TRUE(WriteFileBytes("old.dat", {'o'}));
  EXPECT_FALSE(MoveFileExA("new.dat", "old.dat", 0)) << "the target exists";
  EXPECT_EQ(ReadFileText("old.dat"), "o");
  EXPECT_TRUE(MoveFileExA(".\\NEW.DAT", ".\\old.dat", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ReadFileText("old.dat"), "n");
  EXPECT_FALSE(FileExists("new.dat"));
  EXPECT_FALSE(MoveFileExA("new.dat", "other.dat", MOVEFILE_REPLACE_EXISTING)) << "no such file";
  EXPECT_TRUE(MoveFileExA("old.dat", "other.dat", 0));
  EXPECT_FALSE(DeleteFileA("."));
  EXPECT_TRUE(DeleteFileA("OTHER.dat"));
  EXPECT_FALSE(FileExists("other.dat"));
  EXPECT_FALSE(DeleteFileA("other.dat"));
}

}  // namespace
