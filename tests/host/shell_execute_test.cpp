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

intptr_t Code(HINSTANCE result) { return reinterpret_cast<intptr_t>(result); }

// Neither the middle process nor the program may remain our child.
void ExpectNoChildren() {
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD) << "a child process was left behind";
}

// "<temp>/game" is the current directory; "<temp>/Launcher" holds the script "Portalis.exe".
class ShellExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char resolved[4096];
    ASSERT_NE(realpath(folder.path().c_str(), resolved), nullptr);  // as `pwd -P` reports it
    root = resolved;
    ASSERT_EQ(mkdir("game", 0755), 0);
    ASSERT_EQ(mkdir("Launcher", 0755), 0);
    ASSERT_EQ(chdir("game"), 0);
    output = root + "/arguments.txt";
    WriteFile(root + "/Launcher/Portalis.exe",
              "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > '" + output +
                  ".part' && mv '" + output + ".part' '" + output + "'\n",
              0755);
  }

  static void WriteFile(const std::string& path, const std::string& content, mode_t mode) {
    ASSERT_TRUE(WriteFileBytes(path, {content.begin(), content.end()})) << path;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
  }

  // The started program runs on its own; give it plenty of time to write.
  std::string WaitForOutput() {
    for (int attempt = 0; attempt < 3000 && !FileExists(output); ++attempt) usleep(10000);
    return ReadFileText(output);
  }

  ScratchFolder folder{ScratchFolder::kMakeWorkingDirectory};
  std::string root, output;
};

// The game's own call first, then Windows command-line splitting, a null verb and names in another case.
TEST_F(ShellExecuteTest, StartsTheProgramInItsDirectoryWithSplitArguments) {
  const std::string launcher = root + "\\Launcher", program = launcher + "\\Portalis.exe";
  const struct {
    const char *verb, *file, *parameters, *directory;
    std::string expected;
  } cases[] = {
      {"open", program.c_str(), "GloomGrid", launcher.c_str(), root + "/Launcher\n[GloomGrid]\n"},
      {"open", "..\\Launcher\\Portalis.exe",
       "  one \"two words\"\ta\\\"b \"\" c\\d \"e\\\\\" \"x\"\"y\" f\\\\\\\"g last", nullptr,
       root + "/game\n[one]\n[two words]\n[a\"b]\n[]\n[c\\d]\n[e\\]\n[x\"y]\n[f\\\"g]\n[last]\n"},
      {nullptr, "PORTALIS.EXE", nullptr, "..\\LAUNCHER", root + "/Launcher\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.file << " " << (c.parameters ? c.parameters : "(none)"));
    EXPECT_GT(Code(ShellExecuteA(nullptr, c.verb, c.file, c.parameters, c.directory, SW_SHOWNORMAL)), 32);
    ExpectNoChildren();
    EXPECT_EQ(WaitForOutput(), c.expected);
    std::remove(output.c_str());
  }
}

TEST_F(ShellExecuteTest, FailuresGiveWindowsErrorNumbers) {
  WriteFile(root + "/Launcher/readme.exe", "#!/bin/sh\n", 0644);
  WriteFile(root + "/Launcher/garbage.exe", "\x01\x02not a program\n", 0755);
  const struct {
    const char *operation, *file, *directory;
    intptr_t expected;
  } cases[] = {
      {"open", "..\\Launcher\\Absent.exe", nullptr, 2},            // ERROR_FILE_NOT_FOUND
      {"open", "", nullptr, 2},                                     // nothing named
      {"open", "..\\Launcher\\Portalis.exe", "..\\NoSuchDir", 3},  // ERROR_PATH_NOT_FOUND
      {"open", "..\\Launcher\\readme.exe", nullptr, 5},             // SE_ERR_ACCESSDENIED: not executable
      {"open", "..\\Launcher\\garbage.exe", nullptr, 11},           // ERROR_BAD_FORMAT
      {"print", "..\\Launcher\\Portalis.exe", nullptr, 31},         // SE_ERR_NOASSOC: only open is offered
  };
  for (const auto& c : cases)
    EXPECT_EQ(Code(ShellExecuteA(nullptr, c.operation, c.file, "x", c.directory, SW_SHOWNORMAL)), c.expected)
        << c.operation << " \"" << c.file << "\"";
  ExpectNoChildren();
  EXPECT_FALSE(FileExists(output)) << "the launcher must not have run";
}

}  // namespace
