// The control panel: which click it reports, moving and redrawing its buttons, owning them.
#include "screens/control_panel.h"

#include <gtest/gtest.h>

#include "core/globals.h"
#include "support/display.h"

namespace {

using namespace testing_support;

constexpr uint16_t kPicture = 0xF800;
constexpr uint16_t kBack = 0x0841;

class ControlPanelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SharedDisplay());
    Fill(backSurface, kBack);
  }
  // A 40 x 20 button with one picture, added to the panel.
  Button* AddButton(const char* name, int x, int y) {
    Button* button = new Button(x, y);
    button->AddStateImage(0, CreateTestSurface(40, 20, kPicture));
    button->SetName(name);
    panel.Add(button);
    return button;
  }

  void Click(int x, int y) {
    panel.Feed(x, y, 1);
    panel.Feed(x, y, 0);
  }
  ControlPanel panel;
};

// Only the first clicked button in list order is reported, and only by its exact name.
TEST_F(ControlPanelTest, WasClickedReportsTheFirstClickedButtonByItsExactName) {
  Button* menu = AddButton("menu", 0, 0);
  Button* over = AddButton("over", 10, 0);
  Button* exit = AddButton("exit", 100, 0);
  AddButton("exit", 200, 0);
  EXPECT_EQ(panel.WasClicked("menu"), 0) << "no click yet";
  Click(15, 5);
  EXPECT_EQ(over->WasClicked(), 1) << "both were clicked by the same release";
  EXPECT_EQ(panel.ClickedButton(), menu);
  for (const char* name : {"menu", "over", "Menu", "exit"})
    EXPECT_EQ(panel.WasClicked(name), std::string(name) == "menu" ? 1 : 0) << name;
  EXPECT_EQ(panel.Find("exit"), exit) << "the first of that name";
  EXPECT_EQ(panel.Find("EXIT"), nullptr);
  panel.Feed(15, 5, 0);
  EXPECT_EQ(panel.ClickedButton(), nullptr) << "the click lasts one update";
  EXPECT_EQ(panel.WasClicked("menu"), 0);
}

TEST_F(ControlPanelTest, SetOriginMovesEveryButtonAndRedrawLeavesDisabledOnesOut) {
  AddButton("menu", 6, 448);
  AddButton("off", 0, 448)->SetEnabled(0);
  panel.SetOrigin(100, -400);
  Click(10, 450);
  EXPECT_EQ(panel.WasClicked("menu"), 0) << "the old place";
  Click(110, 50);
  EXPECT_EQ(panel.WasClicked("menu"), 1) << "the moved place";
  Fill(backSurface, kBack);
  panel.Redraw();
  EXPECT_EQ(PixelAt(backSurface, 106, 48), kPicture);
  EXPECT_EQ(PixelAt(backSurface, 100, 48), kBack) << "disabled button";
}

TEST(ControlPanel, DestroyingThePanelDestroysItsButtonsAndTheirPictures) {
  ASSERT_TRUE(SharedDisplay());
  LPDIRECTDRAWSURFACE picture = CreateTestSurface(8, 8, kPicture);
  picture->AddRef();
  auto* owner = new ControlPanel();
  auto* button = new Button(0, 0);
  button->AddStateImage(0, picture);
  owner->Add(button);
  owner->Add(nullptr);
  EXPECT_EQ(owner->GetButtonCount(), 1);
  delete owner;
  EXPECT_EQ(picture->Release(), 0u);
}

}  // namespace
