// The screen base on the headless display: image lookup, deactivating and activating the lists, buttons taking
// the panel's origin; the screen manager's selection.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/screen.h"
#include "screens/screen_image.h"
#include "screens/screen_manager.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

// Lookup is exact and takes the first of twins; deactivating empties the lists, activating brings them back
// empty; a button added later takes the panel's origin.
TEST(ScreenTest, LookupAndTheListsAcrossDeactivateAndActivate) {
  ASSERT_TRUE(SharedDisplay());
  ScratchFolder folder;
  const std::string red = folder.File("red.bmp");
  ASSERT_TRUE(WriteBmp24(red, 20, 10, [](int, int) { return kBmpRed; }));
  Screen screen;
  ScreenImage* first = screen.LoadImage(red.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(screen.FindImage(red.c_str()), first) << "named by the file as passed";
  first->SetName("logo");
  screen.LoadImage(red.c_str())->SetName("logo");
  EXPECT_EQ(screen.LoadImage(folder.File("missing.bmp").c_str()), nullptr);
  EXPECT_EQ(std::tuple(screen.GetImages()->Count(), screen.FindImage("logo"), screen.FindImage("Logo")),
            std::tuple(2, first, (ScreenImage*)nullptr)) << "a missing bitmap adds nothing";
  screen.Deactivate();
  EXPECT_EQ(screen.FindImage("logo"), nullptr);
  screen.Activate(nullptr, backSurface);
  ASSERT_TRUE(screen.GetImages()->Count() == 0 && screen.GetPanel() != nullptr);
  screen.GetPanel()->SetOrigin(100, 50);
  auto* button = new Button(6, 7, 10, 10);
  screen.AddButton(button);
  EXPECT_EQ(std::pair(screen.GetPanel()->GetButtonCount(), button->Feed(106, 57, 0)), std::pair(1, 1));
}

// Selecting deactivates the old screen and activates the first other screen of that name, compared exactly;
// without a screen a frame does nothing and returns 0.
TEST(ScreenManagerTest, SelectingTakesTheFirstOtherScreenOfThatName) {
  ScreenManager manager;
  Screen first, second;
  for (Screen* screen : {&first, &second}) {
    screen->SetName("Twin");
    manager.AddScreen(screen);
  }
  EXPECT_EQ(manager.RunFrame(1), 0);
  std::vector<Screen*> selected;
  for (const char* name : {"Twin", "Twin", "twin", "Nowhere"}) selected.push_back(manager.SelectScreen(name));
  EXPECT_EQ(selected, (std::vector<Screen*>{&first, &second, &second, &second}));
  EXPECT_TRUE(first.GetPanel() == nullptr && second.GetPanel() != nullptr) << "the first deactivated, the second not";
  EXPECT_EQ(manager.RunFrame(1), 1) << "the current screen's frame";
  manager.DeactivateAll();
  EXPECT_EQ(std::pair(manager.Current(), second.GetPanel()), std::pair(&second, (ControlPanel*)nullptr));
}

}  // namespace
