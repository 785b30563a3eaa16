// The debug log: silent while off; when on, the first message of the run makes "debug.log" afresh and later
// messages follow it word for word.
#include "gfx/debug_log.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

// One test: the log's state lives for the whole run, so the steps are ordered.
TEST(DebugLogTest, OffWritesNothingThenOnStartsAFreshFile) {
  ScratchFolder scratch(ScratchFolder::kMakeWorkingDirectory);
  ASSERT_EQ(logEnabled, 0) << "the log must start off";
  DebugLog("not written %d\n", 1);
  EXPECT_FALSE(FileExists("debug.log")) << "the log is off";
  ASSERT_TRUE(WriteFileBytes("debug.log", {'o', 'l', 'd', '\n'}));
  logEnabled = 1;
  DebugLog("frame %d of %s", 3, "intro");
  DebugLog(" took %5.1f ms\n", 12.5);
  DebugLog("%s", "100% done");
  logEnabled = 0;
  DebugLog("after switching off\n");
  EXPECT_EQ(ReadFileText("debug.log"), "frame 3 of intro took  12.5 ms\n100% done");
}

}  // namespace
