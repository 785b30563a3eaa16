// The screen base on the headless display: image lookup, activation rebuilding
// the lists; the screen manager's selection and activation order.
#include <gtest/gtest.h>

#include <string>
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

class ScreenTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    ASSERT_TRUE(WriteBmp24(red, 20, 10, [](int, int) { return kBmpRed; }));
  }
  static std::vector<std::string> ImageNames(Screen& screen) {
    std::vector<std::string> names;
    for (int i = 0; i < screen.GetImages()->Count(); ++i) names.push_back(screen.GetImages()->At<ScreenImage>(i)->name);
    return names;
  }
  ScratchFolder folder;
  std::string red = folder.File("red.bmp");
};

// Lookup is exact and takes the first of twins; deactivating empties the lists,
// activating brings them back empty.
TEST_F(ScreenTest, LookupAndTheListsAcrossDeactivateAndActivate) {
  Screen screen;
  ScreenImage* first = screen.LoadImage(red.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(screen.FindImage(red.c_str()), first) << "named by the file as passed";
  first->SetName("logo");
  screen.LoadImage(red.c_str())->SetName("logo");
  EXPECT_EQ(screen.LoadImage(folder.File("missing.bmp").c_str()), nullptr);
  EXPECT_EQ(ImageNames(screen), (std::vector<std::string>{"logo", "logo"})) << "a missing bitmap adds nothing";
  EXPECT_EQ(std::pair(screen.FindImage("logo"), screen.FindImage("Logo")), std::pair(first, (ScreenImage*)nullptr));
  screen.AddButton(new Button(1, 2, 3, 4));
  screen.Deactivate();
  EXPECT_EQ(screen.FindImage("logo"), nullptr);
  EXPECT_EQ(screen.DrawImage(backSurface, "logo", 0, 0), 0);
  screen.AddButton(new Button(0, 0, 1, 1));  // no panel: the button is not kept (nor leaked)
  screen.Activate(nullptr, backSurface);
  EXPECT_EQ(ImageNames(screen), std::vector<std::string>{});
  ASSERT_NE(screen.GetPanel(), nullptr);
  EXPECT_EQ(screen.GetPanel()->GetButtonCount(), 0);
  screen.GetPanel()->SetOrigin(100, 50);
  auto* button = new Button(6, 7, 10, 10);
  screen.AddButton(button);
  EXPECT_EQ(button->Feed(106, 57, 0), 1) << "a button added later takes the panel's origin";
}

std::vector<std::string> calls;
const LPDIRECTDRAWSURFACE kFakeSurface = reinterpret_cast<LPDIRECTDRAWSURFACE>(0x1000);

class RecordingScreen : public Screen {
 public:
  RecordingScreen(const char* screenName, const char* tag) : tag(tag) { SetName(screenName); }
  void Activate(LPDIRECTDRAW dd, LPDIRECTDRAWSURFACE surface) override {
    calls.push_back(tag + ".Activate" + (surface == kFakeSurface ? "" : " elsewhere"));
    Screen::Activate(dd, surface);
  }
  void Deactivate() override { calls.push_back(tag + ".Deactivate"); }
  int Frame(int flag) override {
    calls.push_back(tag + ".Frame");
    return 5 + flag;
  }
  int HandleMessage(HWND, UINT msg, WPARAM, LPARAM) override {
    calls.push_back(tag + ".Message" + std::to_string(msg));
    return 9;
  }
  std::string tag;
};

// Selecting deactivates the old screen before activating the new; the first
// match that is not current wins; the current one or an unknown name changes nothing.
TEST(ScreenManagerTest, SelectingTakesTheFirstOtherScreenOfThatNameInOrder) {
  ScreenManager manager;
  EXPECT_EQ(std::pair(manager.RunFrame(1), manager.ForwardMessage(nullptr, WM_MOUSEMOVE, 0, 0)), std::pair(0, 1))
      << "without a current screen frames continue and messages are answered 1";
  RecordingScreen first("Twin", "first"), second("Twin", "second"), other("Other", "other");
  manager.Init(nullptr, kFakeSurface);
  for (Screen* s : {static_cast<Screen*>(&first), static_cast<Screen*>(&second), static_cast<Screen*>(&other)})
    manager.AddScreen(s);
  EXPECT_TRUE(calls.empty()) << "adding does not activate";
  EXPECT_EQ(manager.SelectScreen("Twin"), &first);
  EXPECT_EQ(manager.SelectScreen("Twin"), &second) << "the current one is passed over";
  EXPECT_EQ(manager.SelectScreen("twin"), &second) << "names compare case-sensitively";
  EXPECT_EQ(manager.SelectScreen("Nowhere"), &second);
  EXPECT_EQ(manager.SelectScreen("Other"), &other);
  EXPECT_EQ(manager.RunFrame(1), 6);
  EXPECT_EQ(manager.ForwardMessage(nullptr, WM_KEYUP, 0, 0), 9);
  manager.DeactivateAll();
  EXPECT_EQ(manager.Current(), &other) << "DeactivateAll keeps the current one";
  EXPECT_EQ(calls, (std::vector<std::string>{"first.Activate", "first.Deactivate", "second.Activate",
                                             "second.Deactivate", "other.Activate", "other.Frame", "other.Message257",
                                             "first.Deactivate", "second.Deactivate", "other.Deactivate"}));
}

}  // namespace
