// MoveFileExA and DeleteFileA as the hall of fame's safe save uses them, against the behaviour of Windows.
#include <gtest/gtest.h>

#include "support/scratch_folder.h"
#include "windows.h"

using namespace testing_support;

TEST(HostFiles, MovesReplaceOnlyWhenAskedAndDeletesTakeFilesOnly) {
  ScratchFolder folder(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_TRUE(folder.ok() && WriteFileBytes("new.dat", {'n'}) && WriteFileBytes("old.dat", {'o'}));
  EXPECT_FALSE(MoveFileExA("new.dat", "old.dat", 0)) << "the target exists";
  EXPECT_EQ(ReadFileText("old.dat"), "o");
  EXPECT_TRUE(MoveFileExA(".\\NEW.DAT", ".\\old.dat", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ReadFileText("old.dat") + (FileExists("new.dat") ? " and new.dat" : ""), "n");
  EXPECT_FALSE(MoveFileExA("new.dat", "other.dat", MOVEFILE_REPLACE_EXISTING)) << "no such file";
  EXPECT_TRUE(MoveFileExA("old.dat", "other.dat", 0));
  EXPECT_FALSE(DeleteFileA("."));
  EXPECT_TRUE(DeleteFileA("OTHER.dat"));
  EXPECT_FALSE(FileExists("other.dat") || DeleteFileA("other.dat"));
}
