// The screen framework with a real mouse: a demonstration screen with one
// button, under Xvfb, driven by xdotool. The button shows its normal,
// mouse-over and pressed pictures as the pointer moves and presses, and a click
// is reported exactly once. The same session, scripted and headless, replays
// to identical pictures.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "e2e/xvfb_helpers.h"

namespace fs = std::filesystem;
using xvfb::Shell;

namespace {

struct Colour {
  int r = -1, g = -1, b = -1;
};

Colour ParseColour(const std::string& text) {
  Colour c;
  std::sscanf(text.c_str(), "srgb(%d,%d,%d)", &c.r, &c.g, &c.b);
  return c;
}

// The pictures: normal blue (not the transparent pure blue), mouse-over yellow,
// pressed red.
bool IsBlue(Colour c) { return c.b > 200 && c.r < 60; }
bool IsYellow(Colour c) { return c.r > 200 && c.g > 200 && c.b < 60; }
bool IsRed(Colour c) { return c.r > 200 && c.g < 60 && c.b < 60; }

std::string Describe(Colour c) {
  return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

class ButtonDemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { running = xvfb::Start(); }
  static void TearDownTestSuite() { xvfb::Stop(); }

  void SetUp() override {
    if (Shell("command -v convert").empty()) GTEST_SKIP() << "ImageMagick missing";
    char pattern[] = "/tmp/gloomgrid-demo-XXXXXX";
    folder = mkdtemp(pattern);
    Shell("cd " + folder + " && convert -size 120x60 xc:'rgb(40,80,230)' "
          "xc:'rgb(255,255,0)' xc:'rgb(255,0,0)' +append BMP3:demo_button.bmp");
    ASSERT_TRUE(fs::exists(folder + "/demo_button.bmp"));
  }
  void TearDown() override {
    if (demo > 0) {
      kill(demo, SIGKILL);
      waitpid(demo, nullptr, 0);
    }
    if (!folder.empty()) fs::remove_all(folder);
  }

  // Windowed on the Xvfb display, or headless in virtual time with a script.
  void StartDemo(const std::string& script = "") {
    if (!script.empty()) std::ofstream(folder + "/input.txt") << script;
    demo = fork();
    if (demo == 0) {
      if (chdir(folder.c_str()) != 0) _exit(126);
      if (script.empty()) {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("GLOOMGRID_HOST_HEADLESS");
        unsetenv("GLOOMGRID_HOST_TIME");
      } else {
        setenv("GLOOMGRID_HOST_HEADLESS", "1", 1);
        setenv("GLOOMGRID_HOST_TIME", "virtual", 1);
        setenv("GLOOMGRID_HOST_SCRIPT", (folder + "/input.txt").c_str(), 1);
      }
      FILE* out = std::fopen((folder + "/stdout.txt").c_str(), "w");
      if (out) dup2(fileno(out), 1);
      execl(GLOOMGRID_BUTTON_DEMO, GLOOMGRID_BUTTON_DEMO, static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  // Waits (up to two seconds) until the button's middle shows a picture that
  // `wanted` accepts; returns the last colour seen.
  Colour AwaitButton(bool (*wanted)(Colour)) {
    Colour seen;
    for (int i = 0; i < 20; ++i) {
      seen = ParseColour(xvfb::WindowPixel(window, 400, 300));
      if (wanted(seen)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return seen;
  }

  int ClicksReported() {
    std::ifstream in(folder + "/stdout.txt");
    std::string line;
    int count = 0;
    while (std::getline(in, line)) count += line == "clicked";
    return count;
  }

  int AwaitExit() {
    for (int i = 0; i < 100; ++i) {
      int status = 0;
      if (waitpid(demo, &status, WNOHANG) == demo) {
        demo = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -2;
  }

  static bool running;
  std::string folder;
  std::string window;
  pid_t demo = -1;
};

bool ButtonDemoTest::running = false;

TEST_F(ButtonDemoTest, ButtonFollowsTheRealMouseAndReportsOneClick) {
  if (!running) GTEST_SKIP() << "Xvfb or xdotool missing";
  StartDemo();
  window = Shell("timeout 15 xdotool search --sync --name '^Gloom Grid$' | head -1");
  ASSERT_FALSE(window.empty()) << "the demonstration window did not appear";
  Shell("xdotool windowfocus --sync " + window);

  Shell("xdotool mousemove --window " + window + " 20 20");
  Colour normal = AwaitButton(IsBlue);
  EXPECT_TRUE(IsBlue(normal)) << "normal picture expected, saw " << Describe(normal);

  Shell("xdotool mousemove --window " + window + " 400 300");
  Colour over = AwaitButton(IsYellow);
  EXPECT_TRUE(IsYellow(over)) << "mouse-over picture expected, saw " << Describe(over);

  Shell("xdotool mousedown 1");
  Colour pressed = AwaitButton(IsRed);
  EXPECT_TRUE(IsRed(pressed)) << "pressed picture expected, saw " << Describe(pressed);
  EXPECT_EQ(ClicksReported(), 0) << "no click before the release";

  Shell("xdotool mouseup 1");
  Colour released = AwaitButton(IsYellow);
  EXPECT_TRUE(IsYellow(released)) << "mouse-over picture again, saw " << Describe(released);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(ClicksReported(), 1);

  Shell("xdotool key Escape");
  EXPECT_EQ(AwaitExit(), 0);
}

// The same session headless, as a script in virtual time: it replays to the
// same pictures and the same single click every time.
TEST_F(ButtonDemoTest, AScriptedSessionReplaysIdentically) {
  const std::string script =
      "100 move 20 20\n150 screenshot normal.png\n200 move 400 300\n250 screenshot over.png\n"
      "300 ldown\n350 screenshot pressed.png\n400 lup\n450 screenshot released.png\n"
      "500 keydown escape\n510 keyup escape\n";
  std::string pictures[2];
  for (int run = 0; run < 2; ++run) {
    StartDemo(script);
    ASSERT_EQ(AwaitExit(), 0);
    EXPECT_EQ(ClicksReported(), 1);
    auto colourIn = [&](const char* shot) {
      return ParseColour(Shell("convert " + folder + "/" + shot + " -format '%[pixel:p{400,300}]' info:-"));
    };
    EXPECT_TRUE(IsBlue(colourIn("normal.png"))) << Describe(colourIn("normal.png"));
    EXPECT_TRUE(IsYellow(colourIn("over.png"))) << Describe(colourIn("over.png"));
    EXPECT_TRUE(IsRed(colourIn("pressed.png"))) << Describe(colourIn("pressed.png"));
    EXPECT_TRUE(IsYellow(colourIn("released.png"))) << Describe(colourIn("released.png"));
    for (const char* shot : {"normal.png", "over.png", "pressed.png", "released.png"}) {
      std::ifstream png(folder + "/" + shot, std::ios::binary);
      pictures[run].append(std::istreambuf_iterator<char>(png), {});
    }
    fs::remove(folder + "/stdout.txt");
  }
  EXPECT_FALSE(pictures[0].empty());
  EXPECT_TRUE(pictures[0] == pictures[1]) << "the two runs showed different pictures";
}

}  // namespace
