// Buttons and the control panel on the shared display: polled hit edges and click sequences, the picture
// drawn at once for each state and offset, pictures cut from one file; which click the panel reports.
#include "screens/button.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "screens/control_panel.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

namespace {

using namespace testing_support;

constexpr uint16_t kNormal = 0xF800, kOver = 0x07E0, kPressed = 0xFFFF, kBack = 0x0841;
constexpr int kIn = 50, kOut = 200, kRow = 470;  // inside and beside the menu button, on its row

class ButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SharedDisplay());
    Fill(backSurface, kBack);
  }
  // The game's "menu" button: at (6, 448) with three 88 x 57 pictures.
  static void AddThreeStates(Button& button) {
    for (uint16_t pixel : {kNormal, kOver, kPressed}) button.AddStateImage(0, CreateTestSurface(88, 57, pixel));
  }
  // Polled updates (x, y, button bits); after each "state clicked picture", the picture shown N, O or P.
  static std::string Run(Button& button, std::initializer_list<std::vector<int>> steps) {
    std::string seen;
    for (const std::vector<int>& s : steps) {
      const int state = button.Feed(s[0], s[1], s[2]);
      const uint16_t shown = PixelAt(backSurface, 93, 504);
      seen += (seen.empty() ? "" : ", ") + std::to_string(state) + " " + std::to_string(button.WasClicked()) + " " +
              (shown == kNormal ? "N" : shown == kOver ? "O" : shown == kPressed ? "P" : "?");
    }
    return seen;
  }
};

// Right and bottom edges lie outside. A click completes on a release over a pressed button, the flag lasting
// one update; pressing, moving off and releasing cancels; pressing beside it and sliding on held clicks. Every
// change is drawn at once, and so is a new frame offset (the new-game button blinks this way): the picture is
// state + offset, past the last picture the last.
TEST_F(ButtonTest, PolledClicksCompleteOnReleaseOverAPressedButtonAndAreDrawnAtOnce) {
  Button button(6, 448);
  AddThreeStates(button);
  EXPECT_EQ(Run(button, {{6, 448, 0}, {93, 504, 0}, {94, 470, 0}, {50, 505, 0}, {5, 470, 0}, {50, 447, 0}}),
            "1 0 O, 1 0 O, 0 0 N, 0 0 N, 0 0 N, 0 0 N");
  EXPECT_EQ(Run(button, {{kIn, kRow, 1}, {kIn, kRow, 0}, {kIn, kRow, 0}, {kIn, kRow, 1}, {kOut, kRow, 1},
                         {kOut, kRow, 0}, {kIn, kRow, 0}, {kOut, kRow, 1}, {kIn, kRow, 1}, {kIn, kRow, 0}}),
            "2 0 P, 1 1 O, 1 0 O, 2 0 P, 0 0 N, 0 0 N, 1 0 O, 0 0 N, 2 0 P, 1 1 O");
  button.SetFrameOffset(1);
  EXPECT_EQ(Run(button, {{kIn, kRow, 0}, {kOut, kRow, 0}, {kIn, kRow, 1}, {kIn, kRow, 0}}),
            "1 0 P, 0 0 O, 2 0 P, 1 1 P");
}

// Three 88 x 57 states side by side, pure blue transparent; counts that do not cut the file exactly, and
// missing files, add nothing.
TEST_F(ButtonTest, LoadStatesCutsOnePictureIntoExactlyThatManyStates) {
  ScratchFolder folder;
  const std::string file = folder.File("menu.bmp");
  const Rgb colours[] = {kBmpRed, kBmpGreen, kBmpWhite};
  ASSERT_TRUE(WriteBmp24(file, 264, 57, [&](int x, int y) { return x == 10 && y == 10 ? kBmpBlue : colours[x / 88]; }));
  Button button(6, 448), untouched(0, 0);
  button.LoadStates(file.c_str(), 3, 0);
  button.Draw(nullptr);
  std::vector<int> seen = {button.GetImageCount(), button.GetWidth(), button.GetHeight(),
                           PixelAt(backSurface, 16, 458)};
  for (int i = 0; i < 3; ++i) seen.push_back(PixelAt(button.GetImageSurface(i), 87, 56));
  EXPECT_EQ(seen, (std::vector<int>{3, 88, 57, kBack, kNormal, kOver, kPressed}))
      << "count, size, the blue pixel drawn, a pixel of each state";
  for (int count : {100, 0, -1}) untouched.LoadStates(file.c_str(), count, 0);  // 100: 132 states of 2 pixels
  untouched.LoadStates(folder.File("missing.bmp").c_str(), 3, 0);
  EXPECT_EQ(untouched.GetImageCount(), 0);
}

// Of two buttons clicked by one release only the first in list order is reported, by its exact name; deleting
// the panel deletes the buttons and their pictures.
TEST_F(ButtonTest, ThePanelReportsTheFirstClickedButtonByItsExactName) {
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(40, 20, kNormal);
  picture->AddRef();
  auto* panel = new ControlPanel();
  for (const char* name : {"menu", "over"}) {
    auto* button = new Button(0, 0);
    button->AddStateImage(0, std::string(name) == "menu" ? picture : CreateTestSurface(40, 20, kNormal));
    button->SetName(name);
    panel->Add(button);
  }
  panel->Add(nullptr);
  for (int bits : {1, 0}) panel->Feed(15, 5, bits);
  std::string clicked;
  for (const char* name : {"menu", "over", "Menu"}) clicked += std::to_string(panel->WasClicked(name));
  EXPECT_EQ(clicked + std::to_string(panel->Find("over")->WasClicked()), "1001") << "menu, over, Menu; over itself";
  delete panel;
  EXPECT_EQ(picture->Release(), 0u) << "the panel destroyed its buttons and their pictures";
}

}  // namespace
