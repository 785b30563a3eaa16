// ShellExecuteA starting a stand-in launcher: a shell script that writes its
// working directory and arguments into a file.
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shellapi.h"

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

intptr_t Code(HINSTANCE result) { return reinterpret_cast<intptr_t>(result); }

// Lays out "<temp>/game" (the current directory) and "<temp>/Launcher" holding
// the script "Portalis.exe".
class ShellExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    root = std::string(tmp && *tmp ? tmp : "/tmp") + "/gloom_shell_XXXXXX";
    ASSERT_NE(mkdtemp(root.data()), nullptr);
    char resolved[4096];
    ASSERT_NE(realpath(root.c_str(), resolved), nullptr);
    root = resolved;
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(mkdir((root + "/game").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/Launcher").c_str(), 0755), 0);
    ASSERT_EQ(chdir((root + "/game").c_str()), 0);
    output = root + "/arguments.txt";
    WriteFile(root + "/Launcher/Portalis.exe",
              "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > '" + output +
                  ".part' && mv '" + output + ".part' '" + output + "'\n",
              0755);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous), 0);
    nftw(root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }

  static void WriteFile(const std::string& path, const std::string& content, mode_t mode) {
    int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, mode);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
  }

  // The started program runs on its own; give it plenty of time to write.
  std::string WaitForOutput() {
    for (int attempt = 0; attempt < 3000; ++attempt) {
      FILE* file = std::fopen(output.c_str(), "rb");
      if (file) {
        std::string content;
        char chunk[256];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
        std::fclose(file);
        return content;
      }
      usleep(10000);
    }
    return "(no output)";
  }

  // Neither the middle process nor the program may remain our child.
  static void ExpectNoChildren() {
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD) << "a child process was left behind";
  }

  std::string root;
  std::string output;
  char previous[4096];
};

TEST_F(ShellExecuteTest, StartsTheLauncherAsTheGameDoes) {
  std::string directory = root + "\\Launcher";
  HINSTANCE result = ShellExecuteA(nullptr, "open", (directory + "\\Portalis.exe").c_str(), "GloomGrid",
                                   directory.c_str(), SW_SHOWNORMAL);
  EXPECT_GT(Code(result), 32);
  ExpectNoChildren();
  EXPECT_EQ(WaitForOutput(), root + "/Launcher\n[GloomGrid]\n");
}

TEST_F(ShellExecuteTest, ParametersAreSplitLikeAWindowsCommandLine) {
  const char* parameters = "  one \"two words\"\ta\\\"b \"\" c\\d \"e\\\\\" \"x\"\"y\" f\\\\\\\"g last";
  HINSTANCE result = ShellExecuteA(nullptr, "open", "..\\Launcher\\Portalis.exe", parameters, nullptr, SW_SHOWNORMAL);
  EXPECT_GT(Code(result), 32);
  EXPECT_EQ(WaitForOutput(), root + "/game\n[one]\n[two words]\n[a\"b]\n[]\n[c\\d]\n[e\\]\n[x\"y]\n[f\\\"g]\n[last]\n")
      << "parameters: " << parameters;
}

TEST_F(ShellExecuteTest, FileIsFoundInTheDirectoryFirstWhateverItsCase) {
  HINSTANCE result = ShellExecuteA(nullptr, nullptr, "PORTALIS.EXE", nullptr, "..\\LAUNCHER", SW_SHOWNORMAL);
  EXPECT_GT(Code(result), 32) << "a null verb means open";
  EXPECT_EQ(WaitForOutput(), root + "/Launcher\n");
}

TEST_F(ShellExecuteTest, FailuresGiveWindowsErrorNumbers) {
  WriteFile(root + "/Launcher/readme.exe", "#!/bin/sh\n", 0644);
  WriteFile(root + "/Launcher/garbage.exe", "\x01\x02not a program\n", 0755);
  struct {
    const char* operation;
    const char* file;
    const char* directory;
    intptr_t expected;
  } cases[] = {
      {"open", "..\\Launcher\\Absent.exe", nullptr, 2},         // ERROR_FILE_NOT_FOUND
      {"open", "", nullptr, 2},                                  // nothing named
      {"open", "..\\Launcher\\Portalis.exe", "..\\NoSuchDir", 3},  // ERROR_PATH_NOT_FOUND
      {"open", "..\\Launcher\\readme.exe", nullptr, 5},          // SE_ERR_ACCESSDENIED: not executable
      {"open", "..\\Launcher\\garbage.exe", nullptr, 11},        // ERROR_BAD_FORMAT
      {"print", "..\\Launcher\\Portalis.exe", nullptr, 31},      // SE_ERR_NOASSOC: only open is offered
  };
  for (const auto& c : cases) {
    intptr_t result = Code(ShellExecuteA(nullptr, c.operation, c.file, "x", c.directory, SW_SHOWNORMAL));
    EXPECT_EQ(result, c.expected) << c.operation << " \"" << c.file << "\"";
  }
  ExpectNoChildren();
  struct stat info;
  EXPECT_NE(stat(output.c_str(), &info), 0) << "the launcher must not have run";
}

}  // namespace
