// The input script refuses a line it cannot read as the test meant it, naming
// the line, instead of reading it as something else.
#include <gtest/gtest.h>

#include <string>

#include "host/control.h"
#include "host/src/input_script.h"
#include "support/scratch_folder.h"

namespace {

using testing_support::ScratchFolder;

TEST(InputScript, RefusesMalformedLinesByNumber) {
  struct Case {
    const char* line;  // written as line 3, after a comment and a good line
    bool accepted;
  };
  const Case cases[] = {
      {"300 keyup escape", true},   {"300 move -4 70  # comment", true}, {"-5 close", false},
      {"abc close", false},         {"99999999999 close", false},        {"300", false},
      {"300 frobnicate", false},    {"300 move 10", false},              {"300 keydown shift", false},
      {"300 close now", false},     {"300 maximize 0 600", false},       {"4294967295 close", true},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.ok());
    std::string path = folder.File("script.txt");
    ASSERT_TRUE(testing_support::WriteFileBytes(path, [&] {
      std::string text = std::string("# start\n100 keydown escape\n") + c.line + "\n";
      return std::vector<uint8_t>(text.begin(), text.end());
    }()));
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().scriptPath = path;
    testing::internal::CaptureStderr();
    bool loaded = host::LoadInputScript();
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded, c.accepted) << "\"" << c.line << "\": " << errors;
    if (!c.accepted) {
      EXPECT_NE(errors.find("line 3:"), std::string::npos) << "\"" << c.line << "\": " << errors;
    }
  }
  host::ResetForTest();
}

}  // namespace
