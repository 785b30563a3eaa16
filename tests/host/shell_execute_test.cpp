// ShellExecuteA starting a stand-in launcher: a shell script that writes its working directory and arguments
// into a file.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "shellapi.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

// "<temp>/game" is the current directory; "<temp>/Launcher" holds the script "Portalis.exe", a file that may
// not be run and one that is no program. The game's own call comes first, then names in another case, and the
// failures with their Windows error numbers.
TEST(ShellExecute, StartsTheProgramInItsDirectoryWithSplitArgumentsOrGivesTheWindowsError) {
  ScratchFolder folder{ScratchFolder::kMakeWorkingDirectory};
  char resolved[4096];
  ASSERT_NE(realpath(folder.path().c_str(), resolved), nullptr);  // as `pwd -P` reports it
  const std::string root = resolved, output = root + "/arguments.txt";
  ASSERT_EQ(mkdir("game", 0755) | mkdir("Launcher", 0755) | chdir("game"), 0);
  const std::pair<std::string, std::string> files[] = {
      {"Portalis.exe", "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > '" + output +
                           ".part' && mv '" + output + ".part' '" + output + "'\n"},
      {"readme.exe", "#!/bin/sh\n"},
      {"garbage.exe", "\x01\x02not a program\n"}};
  for (const auto& [name, content] : files) {
    const std::string path = root + "/Launcher/" + name;
    ASSERT_TRUE(WriteFileBytes(path, {content.begin(), content.end()}));
    ASSERT_EQ(chmod(path.c_str(), name == "readme.exe" ? 0644 : 0755), 0);
  }
  const std::string launcher = root + "\\Launcher", program = launcher + "\\Portalis.exe";
  const struct {
    const char *file, *parameters, *directory;
    intptr_t code;  // 0: any success, above 32
    std::string expected;
  } cases[] = {
      {program.c_str(), "GloomGrid", launcher.c_str(), 0, root + "/Launcher\n[GloomGrid]\n"},
      {"PORTALIS.EXE", "two words", "..\\LAUNCHER", 0, root + "/Launcher\n[two]\n[words]\n"},
      {"..\\Launcher\\Absent.exe", "x", nullptr, 2, "(missing)"},             // ERROR_FILE_NOT_FOUND
      {"..\\Launcher\\Portalis.exe", "x", "..\\NoSuchDir", 3, "(missing)"},  // ERROR_PATH_NOT_FOUND
      {"..\\Launcher\\readme.exe", "x", nullptr, 5, "(missing)"},  // SE_ERR_ACCESSDENIED: not executable
      {"..\\Launcher\\garbage.exe", "x", nullptr, 11, "(missing)"},     // ERROR_BAD_FORMAT
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto code = reinterpret_cast<intptr_t>(ShellExecuteA(nullptr, "open", c.file, c.parameters, c.directory, 1));
    EXPECT_TRUE(c.code == 0 ? code > 32 : code == c.code) << "result " << code << ", expected " << c.code;
    errno = 0;  // neither the middle process nor the program may remain our child
    const pid_t child = waitpid(-1, nullptr, WNOHANG);
    EXPECT_EQ(std::make_pair(child, errno), std::make_pair(-1, ECHILD)) << "a child process was left behind";
    // The started program runs on its own; give it plenty of time to write.
    for (int attempt = 0; c.code == 0 && attempt < 3000 && !FileExists(output); ++attempt) usleep(10000);
    EXPECT_EQ(ReadFileText(output), c.expected);
    std::remove(output.c_str());
  }
}

}  // namespace
