// The screen framework with a real mouse: a demonstration screen with one
// button, under Xvfb, driven by xdotool. The button shows its normal,
// mouse-over and pressed pictures as the pointer moves and presses, and a click
// is reported exactly once. The same session, scripted and headless, replays
// to identical pictures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "e2e/xvfb_helpers.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"

namespace {

using testing_support::GameOptions;
using testing_support::GameRun;
using xvfb::Shell;

// The pictures by the colour ImageMagick reports ("srgb(r,g,b)"): normal blue
// (not the transparent pure blue), mouse-over yellow, pressed red.
std::string Picture(const std::string& colour) {
  int r = -1, g = -1, b = -1;
  std::sscanf(colour.c_str(), "srgb(%d,%d,%d)", &r, &g, &b);
  if (b > 200 && r < 60) return "normal";
  if (r > 200 && g > 200 && b < 60) return "over";
  if (r > 200 && g < 60 && b < 60) return "pressed";
  return "other: " + colour;
}

class ButtonDemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running = xvfb::Start(); }
  static void TearDownTestSuite() { xvfb::Stop(); }
  void SetUp() override {
    if (Shell("command -v convert").empty()) GTEST_SKIP() << "ImageMagick missing";
    const testing_support::Rgb pictures[] = {{40, 80, 230}, {255, 255, 0}, {255, 0, 0}};
    options.arguments = folder.File("demo_button.bmp");
    ASSERT_TRUE(testing_support::WriteBmp24(options.arguments, 360, 60, [&](int x, int) { return pictures[x / 120]; }));
    options.program = GLOOMGRID_BUTTON_DEMO;
  }
  static int Clicks(const GameRun& run) {
    int count = 0;
    for (size_t at = run.stdOut.find("clicked"); at != std::string::npos; at = run.stdOut.find("clicked", at + 1))
      ++count;
    return count;
  }
  static bool running;
  testing_support::ScratchFolder folder;
  GameOptions options;
};

bool ButtonDemoTest::running = false;

TEST_F(ButtonDemoTest, ButtonFollowsTheRealMouseAndReportsOneClick) {
  if (!running) GTEST_SKIP() << "Xvfb or xdotool missing";
  std::vector<std::string> seen;
  GameRun run = xvfb::RunWindowed(options, [&](const std::string& window) {
    // Each step, then up to two seconds for the button's middle to show the picture.
    const std::pair<std::string, const char*> steps[] = {{"mousemove --window " + window + " 20 20", "normal"},
                                                         {"mousemove --window " + window + " 400 300", "over"},
                                                         {"mousedown 1", "pressed"},
                                                         {"mouseup 1", "over"}};
    Shell("xdotool windowfocus --sync " + window);
    for (const auto& [command, wanted] : steps) {
      Shell("xdotool " + command);
      std::string picture;
      for (int i = 0; i < 20 && picture != wanted; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        picture = Picture(Shell("import -silent -window " + window +
                                " -crop 1x1+400+300 -format '%[pixel:p{0,0}]' info:- 2>/dev/null"));
      }
      seen.push_back(picture);
    }
    Shell("sleep 0.3; xdotool key Escape");
  });
  EXPECT_EQ(run.exitCode, 0) << run.stdErr;
  EXPECT_EQ(seen, (std::vector<std::string>{"normal", "over", "pressed", "over"}));
  EXPECT_EQ(Clicks(run), 1) << run.stdOut;
}

TEST_F(ButtonDemoTest, AScriptedSessionReplaysIdentically) {
  options.script =
      "100 move 20 20\n150 screenshot normal.png\n200 move 400 300\n250 screenshot over.png\n"
      "300 ldown\n350 screenshot pressed.png\n400 lup\n450 screenshot released.png\n"
      "500 keydown escape\n510 keyup escape\n";
  std::string bytes[2];
  for (std::string& pictures : bytes) {
    GameRun run = testing_support::RunGame(options);
    ASSERT_EQ(run.exitCode, 0) << run.stdErr;
    EXPECT_EQ(Clicks(run), 1) << run.stdOut;
    std::vector<std::string> seen;
    for (const char* shot : {"normal.png", "over.png", "pressed.png", "released.png"}) {
      const std::string path = run.folder + "/" + shot;
      seen.push_back(Picture(Shell("convert " + path + " -format '%[pixel:p{400,300}]' info:-")));
      std::ifstream png(path, std::ios::binary);
      pictures.append(std::istreambuf_iterator<char>(png), {});
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"normal", "over", "pressed", "over"}));
  }
  EXPECT_FALSE(bytes[0].empty());
  EXPECT_TRUE(bytes[0] == bytes[1]) << "the two runs showed different pictures";
}

}  // namespace
