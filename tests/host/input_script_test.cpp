// The input script refuses a line it cannot read as the test meant it, naming the line, instead of reading it
// as something else.
#include <gtest/gtest.h>

#include <string>

#include "host/control.h"
#include "host/src/input_script.h"
#include "support/scratch_folder.h"

TEST(InputScript, RefusesMalformedLinesByNumber) {
  const std::pair<const char*, bool> cases[] = {  // line 3, after a comment and a good line; accepted
      {"300 keyup escape", true}, {"300 move -4 70  # comment", true}, {"-5 close", false}, {"abc close", false},
      {"99999999999 close", false}, {"300", false}, {"300 frobnicate", false}, {"300 move 10", false},
      {"300 keydown shift", false}, {"300 close now", false}, {"300 maximize 0 600", false}, {"4294967295 close", true},
  };
  testing_support::ScratchFolder folder;
  for (const auto& [line, accepted] : cases) {
    const std::string path = folder.File("script.txt");
    const std::string text = std::string("# start\n100 keydown escape\n") + line + "\n";
    ASSERT_TRUE(testing_support::WriteFileBytes(path, {text.begin(), text.end()}));
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().scriptPath = path;
    testing::internal::CaptureStderr();
    const bool loaded = host::LoadInputScript();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::make_pair(loaded, errors.find("line 3:") != std::string::npos), std::make_pair(accepted, !accepted))
        << "\"" << line << "\": " << errors;
  }
  host::ResetForTest();
}
