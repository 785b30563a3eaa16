// The real game in a real X window under Xvfb, driven from outside with
// xdotool as a player would: the window opens with its title and size, and a
// released Escape or the window's close button ends the run with exit code 0
// after the whole shutdown.
#include <gtest/gtest.h>

#include <string>

#include "e2e/xvfb_helpers.h"

namespace {

using testing_support::FindAfter;
using testing_support::GameRun;
using xvfb::Shell;

class XvfbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running = xvfb::Start(); }
  static void TearDownTestSuite() { xvfb::Stop(); }
  void SetUp() override {
    if (!running) GTEST_SKIP() << "Xvfb or xdotool missing";
  }
  static void ExpectWholeShutdown(const GameRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.stdErr;
    size_t at = FindAfter(run.trace, "timeKillEvent", run.trace.find("DestroyWindow"));
    EXPECT_NE(FindAfter(run.trace, "PostQuitMessage 0", at), std::string::npos) << run.trace;
  }
  static bool running;
};

bool XvfbTest::running = false;

TEST_F(XvfbTest, OpensItsWindowAndEndsOnAReleasedEscape) {
  std::string geometry;
  GameRun run = xvfb::RunWindowed({}, [&](const std::string& id) {
    geometry = Shell("xdotool getwindowgeometry " + id);
    Shell("xdotool windowfocus --sync " + id + " && sleep 0.3 && xdotool key Escape");
  });
  EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Position: 112,84"), std::string::npos) << geometry;
  EXPECT_NE(run.trace.find("message Gloom Grid 0x0101 27"), std::string::npos) << "the release arrived as WM_KEYUP";
  ExpectWholeShutdown(run);
}

TEST_F(XvfbTest, TheCloseButtonEndsTheRun) {
  GameRun run = xvfb::RunWindowed(
      {}, [](const std::string& id) { Shell("sleep 0.5; " + std::string(GLOOMGRID_SEND_CLOSE) + " " + id); });
  EXPECT_NE(run.trace.find("message Gloom Grid 0x0010"), std::string::npos) << "WM_CLOSE reached the window";
  ExpectWholeShutdown(run);
}

}  // namespace
