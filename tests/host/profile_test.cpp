// GetPrivateProfileStringA against what Windows does (Wine's profile tests, which run on Windows, and the
// documentation), on the host and under Wine alike.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "conformance.h"
#include "support/scratch_folder.h"

namespace {

using Result = std::pair<std::string, DWORD>;  // the text in the buffer (to its size) and the call's result

// A lookup copying `text` whole returns its length.
Result Whole(const char* text) { return {text, static_cast<DWORD>(strlen(text))}; }

// Each test runs in "work" inside a fresh folder, so that ".\" and "..\" names have somewhere to go.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code error;
    ASSERT_TRUE(root.ok() && std::filesystem::create_directory("work", error));
    std::filesystem::current_path("work", error);
    ASSERT_FALSE(error);
  }
  static void WriteFile(const char* path, const std::string& content) {
    ASSERT_TRUE(testing_support::WriteFileBytes(path, {content.begin(), content.end()})) << path;
  }
  // The bytes up to the last NUL written and the result of a lookup into `size` bytes.
  static Result Read(const char* section, const char* key, const char* fallback = "default",
                     const char* file = ".\\test.ini", DWORD size = 260) {
    char buffer[260];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD result = GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
    size_t end = std::min<size_t>(size, sizeof buffer);
    while (end > 0 && buffer[end - 1] != '\0') --end;  // name lists hold NULs
    return {std::string(buffer, end > 0 ? end - 1 : 0), result};
  }

  testing_support::ScratchFolder root{testing_support::ScratchFolder::kMakeWorkingDirectory};
};

TEST_F(ProfileTest, LookupsAndNameListsMatchWindows) {
  WriteFile("test.ini", "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n");
  using namespace std::string_literals;
  const struct {
    const char *section, *key, *fallback;
    DWORD size;
    std::string expected;
    DWORD result;
  } cases[] = {
      {"section1", "name1", "default", 260, "val1", 4},    {"section1", "NaMe1", "default", 260, "val1", 4},
      {"SECTION1", "name1", "default", 260, "val1", 4},    {"section1", "name2", "default", 260, "val2", 4},
      {"section1", "name3", "default", 260, "default", 7}, {"section1", "name4", "default", 260, "a", 1},
      {"section1", "name4", "default", 1, "", 0},          {"section1", "name1", "default", 4, "val", 3},
      {"section1", "name1", "default", 5, "val1", 4},      {"section1", "notakey", "default", 260, "default", 7},
      {"notasection", "name1", "default", 260, "default", 7}, {"section1", "", "default", 260, "default", 7},
      {"", "name1", "default", 260, "default", 7},         {"section1", "notakey", "one two  ", 260, "one two", 7},
      {"section1", "notakey", nullptr, 260, "", 0},        {"section1", "notakey", "default", 4, "def", 3},
      {" section1 ", "  name1 ", "default", 260, "val1", 4},
      // Name lists: each name and its NUL, one more NUL at the end; a line without '=' is no key.
      {nullptr, "name1", "default", 260, "section1\0section2\0"s, 18},
      {"section1", nullptr, "default", 260, "name1\0name2\0name4\0"s, 18},
      {"section2", nullptr, "default", 260, "default", 7},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.section, c.key, c.fallback, ".\\test.ini", c.size), Result(c.expected, c.result))
        << "(" << (c.section ? c.section : "NULL") << ", " << (c.key ? c.key : "NULL") << ") size " << c.size;
  // Cut lists keep both NULs and report size - 2 (the last name's cut differs between Windows versions).
  EXPECT_EQ(Read(nullptr, "name1", "default", ".\\test.ini", 16).second, 14u);
  EXPECT_EQ(Read("section1", nullptr, "default", ".\\test.ini", 16).second, 14u);

  char untouched[8] = "xxxxxxx";
  EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "default", untouched, 0, ".\\test.ini"), 0u);
  EXPECT_STREQ(untouched, "xxxxxxx") << "size 0 leaves the buffer alone";
}

// Trimming, line endings, quotes, comments, empty values and duplicates, each file read key by key.
TEST_F(ProfileTest, LinesAreReadAsWindowsReadsThem) {
  const struct {
    const char* content;
    std::vector<std::pair<const char*, const char*>> lookups;  // key in section "s", expected text
  } files[] = {
      {"\t[ s ]  \n  key  =  a b  \n\x1a tabbed\t=\tx\t\x1a\n", {{"key", "a b"}, {"tabbed", "x"}}},
      {"[s]\r\nk=v\r\nz=w\r\n", {{"k", "v"}, {"z", "w"}}},
      {"[s]\nk=v\nz=w", {{"k", "v"}, {"z", "w"}}},
      {"[s]\rk=v\rz=w\r", {{"k", "v"}, {"z", "w"}}},
      {"[s]\nspaced=' a'\ndouble=\"x y\"\nmixed=\"x'\nlone=\"\nempty=''\ninner=a\"b\"\nopen=\"abc\n",
       {{"spaced", " a"}, {"double", "x y"}, {"mixed", "\"x'"}, {"lone", "\""}, {"empty", ""}, {"inner", "a\"b\""},
        {"open", "\"abc"}}},
      {"[s]\n;hidden=1\n  ;indented=2\npepsi=diet   ;gag\n#hash=3\n",
       {{"hidden", "d"}, {"indented", "d"}, {"pepsi", "diet   ;gag"}, {"#hash", "3"}}},
      {"[s]\nname2=\nkey=first\nKEY=second\n", {{"name2", ""}, {"key", "first"}}},
      // A second [s] is not read; names keep inner blanks; a line without a name hides nothing.
      {"[s]\nk=1\n=v\n  inner key  = x\n[S]\nk=2\nonly=3\n", {{"k", "1"}, {"only", "d"}, {"inner key", "x"}}},
  };
  for (const auto& file : files) {
    WriteFile("test.ini", file.content);
    for (const auto& [key, expected] : file.lookups)
      EXPECT_EQ(Read("s", key, "d"), Whole(expected)) << "key " << key << " of \"" << file.content << "\"";
  }
}

#if GLOOM_HOST_HOOKS
// Two places where Wine is not Windows, so these run on the host only (docs/behaviour.md). A line starting
// with ';' is a comment that no lookup finds, even one spelled with the ';' (Windows returns the default;
// Wine keeps such lines as keys). The default is copied as given, quotes and all: Windows documents only the
// trailing blanks as removed, and Wine strips the quotes only when the file exists.
TEST_F(ProfileTest, CommentsAreNoKeysAndTheDefaultKeepsItsQuotes) {
  WriteFile("test.ini", "[s]\n;hidden=1\n");
  EXPECT_EQ(Read("s", ";hidden", "d"), Whole("d"));
  EXPECT_EQ(Read("s", "absent", "\"qd\""), Whole("\"qd\""));
  EXPECT_EQ(Read("s", "absent", "\"qd\"", ".\\missing.ini"), Whole("\"qd\""));
}
#endif

// ".\" and "..\" are relative to the current directory, found whatever their case; a name without any
// separator means the Windows directory (the null name, win.ini there), where none of these keys is.
TEST_F(ProfileTest, FileNamesAreWindowsPaths) {
  WriteFile("../Options.INI", "[setup]\nplayerid=3\n");
  WriteFile("setup.ini", "[setup]\nplayerid=5\n");
  const std::pair<const char*, const char*> cases[] = {
      {"..\\options.ini", "3"}, {".\\setup.ini", "5"}, {"setup.ini", "default"}, {nullptr, "default"},
      {".\\absent.ini", "default"},
  };
  for (const auto& [file, expected] : cases)
    EXPECT_EQ(Read("setup", "playerid", "default", file), Whole(expected)) << (file ? file : "NULL");
}

}  // namespace
