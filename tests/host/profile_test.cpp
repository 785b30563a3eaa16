// GetPrivateProfileStringA against the behaviour recorded on real Windows.
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows.h"

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

// Each test runs in a fresh directory of its own, with "work" as the current
// directory so that ".\" and "..\" names have somewhere to go.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    root = std::string(tmp && *tmp ? tmp : "/tmp") + "/gloom_profile_XXXXXX";
    ASSERT_NE(mkdtemp(root.data()), nullptr);
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(mkdir((root + "/work").c_str(), 0755), 0);
    ASSERT_EQ(chdir((root + "/work").c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous), 0);
    nftw(root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }

  static void WriteFile(const char* path, const std::string& content) {
    FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
  }

  // Reads with a 260-byte buffer; returns the text and stores the result.
  static std::string Read(const char* section, const char* key, const char* fallback, const char* file,
                          DWORD* result, DWORD size = 260) {
    char buffer[260];
    std::memset(buffer, '#', sizeof buffer);
    *result = GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
    return std::string(buffer, strnlen(buffer, size));
  }

  std::string root;
  char previous[4096];
};

const char kBasicFile[] = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";

struct LookupCase {
  const char* section;
  const char* key;
  const char* fallback;
  DWORD size;
  const char* expected;
  DWORD expectedResult;
};

TEST_F(ProfileTest, LookupsMatchWindows) {
  WriteFile("test.ini", kBasicFile);
  const LookupCase cases[] = {
      {"section1", "name1", "default", 260, "val1", 4},    {"section1", "NaMe1", "default", 260, "val1", 4},
      {"SECTION1", "name1", "default", 260, "val1", 4},    {"section1", "name2", "default", 260, "val2", 4},
      {"section1", "name3", "default", 260, "default", 7}, {"section1", "name4", "default", 260, "a", 1},
      {"section1", "name4", "default", 1, "", 0},          {"section1", "name1", "default", 4, "val", 3},
      {"section1", "name1", "default", 5, "val1", 4},      {"section1", "notakey", "default", 260, "default", 7},
      {"notasection", "name1", "default", 260, "default", 7}, {"section1", "", "default", 260, "default", 7},
      {"", "name1", "default", 260, "default", 7},         {"section1", "notakey", "one two  ", 260, "one two", 7},
      {"section1", "notakey", nullptr, 260, "", 0},        {"section2", "name1", "default", 260, "default", 7},
      {" section1\t", "  name1 ", "default", 260, "val1", 4}, {"section1", "name2", "default", 3, "va", 2},
      {"section1", "notakey", "default", 4, "def", 3},
  };
  for (const LookupCase& c : cases) {
    DWORD result = 0;
    std::string text = Read(c.section, c.key, c.fallback, ".\\test.ini", &result, c.size);
    EXPECT_EQ(text, c.expected) << "(" << (c.section ? c.section : "NULL") << ", " << c.key << ") size " << c.size;
    EXPECT_EQ(result, c.expectedResult) << "(" << (c.section ? c.section : "NULL") << ", " << c.key << ") size "
                                        << c.size;
  }
}

TEST_F(ProfileTest, MissingFileGivesDefault) {
  DWORD result = 0;
  EXPECT_EQ(Read("section1", "name1", "default", ".\\absent.ini", &result), "default");
  EXPECT_EQ(result, 7u);
  EXPECT_EQ(Read(nullptr, nullptr, "default", ".\\absent.ini", &result), "default");
  EXPECT_EQ(result, 7u);
}

TEST_F(ProfileTest, ZeroSizeLeavesBufferAlone) {
  WriteFile("test.ini", kBasicFile);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(GetPrivateProfileStringA("section1", "name1", "default", buffer, 0, ".\\test.ini"), 0u);
  EXPECT_STREQ(buffer, "xxxxxxx");
}

TEST_F(ProfileTest, NullSectionListsSectionNames) {
  WriteFile("test.ini", kBasicFile);
  char buffer[260];
  DWORD result = GetPrivateProfileStringA(nullptr, "name1", "default", buffer, sizeof buffer, ".\\test.ini");
  EXPECT_EQ(result, 18u);
  EXPECT_EQ(std::string(buffer, 19), std::string("section1\0section2\0\0", 19));

  std::memset(buffer, '#', sizeof buffer);
  result = GetPrivateProfileStringA(nullptr, "name1", "default", buffer, 16, ".\\test.ini");
  EXPECT_EQ(result, 14u);
  EXPECT_EQ(std::string(buffer, 17), std::string("section1\0secti\0\0#", 17)) << "must not write past 16 bytes";
}

TEST_F(ProfileTest, NullKeyListsKeyNames) {
  WriteFile("test.ini", kBasicFile);
  char buffer[260];
  DWORD result = GetPrivateProfileStringA("Section1", nullptr, "default", buffer, sizeof buffer, ".\\test.ini");
  EXPECT_EQ(result, 24u);
  EXPECT_EQ(std::string(buffer, 25), std::string("name1\0name2\0name3\0name4\0\0", 25));

  result = GetPrivateProfileStringA("section1", nullptr, "default", buffer, 10, ".\\test.ini");
  EXPECT_EQ(result, 8u);
  EXPECT_EQ(std::string(buffer, 10), std::string("name1\0na\0\0", 10));

  // An empty or missing section has nothing to list: the default comes back.
  result = GetPrivateProfileStringA("section2", nullptr, "default", buffer, sizeof buffer, ".\\test.ini");
  EXPECT_EQ(result, 7u);
  EXPECT_STREQ(buffer, "default");
}

TEST_F(ProfileTest, BlanksAroundNamesAndValuesAreTrimmed) {
  WriteFile("test.ini", "\t[ section1 ]  \n  key  =  a b  \n\x1a tabbed\t=\tx\t\x1a\n");
  DWORD result = 0;
  EXPECT_EQ(Read("section1", "key", "default", ".\\test.ini", &result), "a b");
  EXPECT_EQ(result, 3u);
  EXPECT_EQ(Read("section1", "tabbed", "default", ".\\test.ini", &result), "x");
}

TEST_F(ProfileTest, LineEndingsReadAlike) {
  for (const char* content : {"[s]\r\nk=v\r\nz=w\r\n", "[s]\nk=v\nz=w", "[s]\rk=v\rz=w\r"}) {
    WriteFile("test.ini", content);
    DWORD result = 0;
    EXPECT_EQ(Read("s", "k", "default", ".\\test.ini", &result), "v");
    EXPECT_EQ(Read("s", "z", "default", ".\\test.ini", &result), "w");
  }
}

TEST_F(ProfileTest, QuotesAreRemovedOnlyInMatchingPairs) {
  WriteFile("test.ini",
            "[s]\nspaced=' a'\ndouble=\"x y\"\nmixed=\"x'\nlone=\"\nempty=''\ninner=a\"b\"\nopen=\"abc\n");
  DWORD result = 0;
  EXPECT_EQ(Read("s", "spaced", "d", ".\\test.ini", &result), " a");
  EXPECT_EQ(Read("s", "double", "d", ".\\test.ini", &result), "x y");
  EXPECT_EQ(Read("s", "mixed", "d", ".\\test.ini", &result), "\"x'");
  EXPECT_EQ(Read("s", "lone", "d", ".\\test.ini", &result), "\"");
  EXPECT_EQ(Read("s", "empty", "d", ".\\test.ini", &result), "");
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(Read("s", "inner", "d", ".\\test.ini", &result), "a\"b\"");
  EXPECT_EQ(Read("s", "open", "d", ".\\test.ini", &result), "\"abc");
}

TEST_F(ProfileTest, OnlyWholeLinesStartingWithSemicolonAreComments) {
  WriteFile("test.ini", "[s]\n;hidden=1\n  ;indented=2\npepsi=diet   ;gag\n#hash=3\n");
  DWORD result = 0;
  EXPECT_EQ(Read("s", "hidden", "d", ".\\test.ini", &result), "d");
  EXPECT_EQ(Read("s", ";hidden", "d", ".\\test.ini", &result), "d");
  EXPECT_EQ(Read("s", "indented", "d", ".\\test.ini", &result), "d");
  EXPECT_EQ(Read("s", "pepsi", "d", ".\\test.ini", &result), "diet   ;gag");
  EXPECT_EQ(Read("s", "#hash", "d", ".\\test.ini", &result), "3");
}

TEST_F(ProfileTest, EmptyValueIsRealAndFirstDuplicateWins) {
  WriteFile("test.ini", "[s]\nname2=\nkey=first\nKEY=second\n");
  DWORD result = 99;
  EXPECT_EQ(Read("s", "name2", "default", ".\\test.ini", &result), "");
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(Read("s", "key", "default", ".\\test.ini", &result), "first");
}

TEST_F(ProfileTest, EditsAreSeenByTheNextCall) {
  WriteFile("test.ini", "[setup]\nmusic=1\n");
  DWORD result = 0;
  EXPECT_EQ(Read("setup", "music", "d", ".\\test.ini", &result), "1");
  WriteFile("test.ini", "[setup]\nmusic=0\n");
  EXPECT_EQ(Read("setup", "music", "d", ".\\test.ini", &result), "0");
}

TEST_F(ProfileTest, FileNamesAreWindowsPaths) {
  WriteFile("../Options.INI", "[setup]\nplayerid=3\n");
  ASSERT_EQ(mkdir("Title", 0755), 0);
  WriteFile("Title/Set.ini", "[images]\nimage1=x.bmp\n");
  DWORD result = 0;
  EXPECT_EQ(Read("setup", "playerid", "d", "..\\options.ini", &result), "3");
  EXPECT_EQ(Read("images", "image1", "d", "title\\set.INI", &result), "x.bmp");
  EXPECT_EQ(Read("images", "image1", "d", "./title/set.ini", &result), "x.bmp");
}

// Without a separator the name means the Windows directory, which the host
// does not have: a file of that name in the current directory is not read.
TEST_F(ProfileTest, BareNameIsNotLookedUpInTheCurrentDirectory) {
  WriteFile("setup.ini", "[setup]\nfullscreen=1\n");
  DWORD result = 0;
  EXPECT_EQ(Read("setup", "fullscreen", "default", "setup.ini", &result), "default");
  EXPECT_EQ(Read("setup", "fullscreen", "default", nullptr, &result), "default");
  EXPECT_EQ(Read("setup", "fullscreen", "default", ".\\setup.ini", &result), "1");
}

}  // namespace
