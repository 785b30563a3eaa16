// The command line WinMain is given: arguments joined by single blanks and never quoted, so a launcher
// directory with blanks arrives as a usable path.
#include <gtest/gtest.h>

#include <vector>

#include "host/src/command_line.h"

TEST(CommandLine, JoinsArgumentsWithoutQuotes) {
  std::vector<const char*> argv = {"gloomgrid", "/opt/Orvane Launcher", "C:\\Program", "\"quoted\""};
  EXPECT_EQ(host::WindowsCommandLine(1, argv.data()), "");
  EXPECT_EQ(host::WindowsCommandLine(4, argv.data()), "/opt/Orvane Launcher C:\\Program \"quoted\"");
}
