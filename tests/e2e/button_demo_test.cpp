// The screen framework's demonstration program (one screen, one button), run
// headless from a script of mouse events: the button shows its normal,
// mouse-over and pressed pictures as the pointer moves and presses, reports
// exactly one click, and a second run replays to identical pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/game_process.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

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

TEST(ButtonDemoTest, AScriptedSessionReplaysIdentically) {
  if (std::system("convert -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick missing";
  ScratchFolder folder;
  GameOptions options;
  options.program = GLOOMGRID_BUTTON_DEMO;
  options.arguments = folder.File("demo_button.bmp");
  const Rgb colours[] = {{40, 80, 230}, {255, 255, 0}, {255, 0, 0}};
  ASSERT_TRUE(WriteBmp24(options.arguments, 360, 60, [&](int x, int) { return colours[x / 120]; }));
  options.script =
      "100 move 20 20\n150 screenshot normal.png\n200 move 400 300\n250 screenshot over.png\n"
      "300 ldown\n350 screenshot pressed.png\n400 lup\n450 screenshot released.png\n"
      "500 keydown escape\n510 keyup escape\n";
  std::string bytes[2];
  for (std::string& pictures : bytes) {
    const GameRun run = RunGame(options);
    ASSERT_EQ(run.exitCode, 0) << run.stdErr;
    EXPECT_EQ(run.stdOut, "clicked\n");
    std::vector<std::string> seen;
    for (const char* shot : {"normal.png", "over.png", "pressed.png", "released.png"}) {
      const std::string path = run.folder + "/" + shot;
      const std::string colour = "convert " + path + " -format '%[pixel:p{400,300}]' info:- >" + path + ".txt";
      ASSERT_EQ(std::system(colour.c_str()), 0);
      seen.push_back(Picture(ReadFileText(path + ".txt")));
      pictures += ReadFileText(path);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"normal", "over", "pressed", "over"}));
  }
  EXPECT_FALSE(bytes[0].empty());
  EXPECT_TRUE(bytes[0] == bytes[1]) << "the two runs showed different pictures";
}

}  // namespace
