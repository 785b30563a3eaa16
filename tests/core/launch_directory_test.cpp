// The command line kept as the launcher's directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/globals.h"

TEST(LaunchDirectory, KeepsTheCommandLineWholeUpTo255Characters) {
  CopyLaunchDirectory("C:\\Games\\Orvane Launcher");
  EXPECT_STREQ(launchDirectory, "C:\\Games\\Orvane Launcher");
  std::string longLine(300, 'd');
  CopyLaunchDirectory(longLine.c_str());
  EXPECT_EQ(std::strlen(launchDirectory), 255u);
  CopyLaunchDirectory(nullptr);
  EXPECT_STREQ(launchDirectory, "");
}
