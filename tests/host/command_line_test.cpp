// The command line WinMain is given: arguments joined by single blanks and never
// quoted, so a launcher directory with blanks arrives as a usable path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/src/command_line.h"

TEST(CommandLine, JoinsArgumentsWithoutQuotes) {
  struct Case {
    std::vector<const char*> arguments;  // after the program name
    const char* expected;
  };
  const Case cases[] = {
      {{}, ""},
      {{"/opt/Orvane Launcher"}, "/opt/Orvane Launcher"},
      {{"C:\\Program", "Files\\Orvane"}, "C:\\Program Files\\Orvane"},
      {{"\"quoted\""}, "\"quoted\""},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv = {"gloomgrid"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(host::WindowsCommandLine(static_cast<int>(argv.size()), argv.data()), c.expected);
  }
}
