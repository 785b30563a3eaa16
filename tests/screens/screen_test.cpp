// The screen base on the headless display: image sets from profile files, image
// lookup, activation rebuilding the lists, clipped image drawing and Present;
// the screen manager's selection and activation order.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/scene_composer.h"
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
    red = folder.File("red.bmp");
    green = folder.File("green.bmp");
    ASSERT_TRUE(WriteBmp24(red, 20, 10, [](int, int) { return kBmpRed; }));
    ASSERT_TRUE(WriteBmp24(green, 4, 4, [](int, int) { return kBmpGreen; }));
  }
  std::string WriteImageSet(const std::string& text) {
    std::string path = folder.File("images.ini");
    std::ofstream(path) << text;
    return path;
  }
  std::vector<std::string> ImageNames(Screen& screen) {
    std::vector<std::string> names;
    for (int i = 0; i < screen.GetImages()->Count(); ++i)
      names.push_back(screen.GetImages()->At<ScreenImage>(i)->name);
    return names;
  }
  ScratchFolder folder;
  std::string red, green;
};

// Sections name the files; a missing bitmap still lists an image that draws
// nothing; the list ends at the first missing or "none" key.
TEST_F(ScreenTest, ImageSetListsContiguousImagesWithTheirHomes) {
  const struct {
    std::string text;
    std::vector<std::string> names;
  } sets[] = {
      {"[images]\nimage01=red\nimage02=logo\nimage03=ghost\nimage05=skipped\n[red]\nfile=" + red +
           "\n[logo]\nfile=" + green + "\nx=120\ny=40\n[ghost]\nx=abc\n",
       {"red", "logo", "ghost"}},
      {"[images]\nimage02=red\n[red]\nfile=" + red + "\n", {}},
      {"[images]\nimage01=a\nimage02=b\nimage03=none\nimage04=c\n[a]\nfile=" + red + "\n", {"a", "b"}},
  };
  for (const auto& set : sets) {
    Screen screen;
    EXPECT_EQ(screen.LoadImageSet(WriteImageSet(set.text).c_str()), 0);
    EXPECT_EQ(ImageNames(screen), set.names) << set.text;
    if (set.names.size() != 3) continue;
    ScreenImage* logo = screen.FindImage("logo");
    EXPECT_EQ(std::vector<int>({logo->x, logo->y, logo->width}), std::vector<int>({120, 40, 4}));
    ScreenImage* ghost = screen.FindImage("ghost");
    EXPECT_EQ(ghost->surface, nullptr) << "ghost.bmp does not exist";
    EXPECT_EQ(ghost->x, 0) << "non-numeric reads as 0";
  }
  // file=none: the section name plus ".bmp" in the working directory.
  const std::string local = "screen_test_local";
  ASSERT_TRUE(WriteBmp24(local + ".bmp", 3, 2, [](int, int) { return kBmpWhite; }));
  Screen screen;
  screen.LoadImageSet(WriteImageSet("[images]\nimage01=" + local + "\n[" + local + "]\nfile=none\n").c_str());
  std::remove((local + ".bmp").c_str());
  ASSERT_EQ(screen.GetImages()->Count(), 1);
  EXPECT_EQ(screen.FindImage(local.c_str())->width, 3);
}

// Lookup is exact and takes the first of twins; deactivating empties the lists,
// activating brings them back empty.
TEST_F(ScreenTest, LookupAndTheListsAcrossDeactivateAndActivate) {
  Screen screen;
  ScreenImage* first = screen.LoadImage(red.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(screen.FindImage(red.c_str()), first) << "named by the file as passed";
  first->SetName("logo");
  screen.LoadImage(red.c_str())->SetName("logo");
  EXPECT_EQ(screen.FindImage("logo"), first);
  EXPECT_EQ(screen.FindImage("Logo"), nullptr);
  EXPECT_EQ(screen.LoadImage(folder.File("missing.bmp").c_str()), nullptr);
  EXPECT_EQ(screen.GetImages()->Count(), 2) << "a missing bitmap adds nothing";
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

TEST_F(ScreenTest, ImagesDrawClippedAtTheEdgesAndNotAtAllOutside) {
  Screen screen;
  screen.LoadImage(red.c_str());
  Fill(backSurface, kBlack);
  EXPECT_EQ(screen.DrawImage(backSurface, red.c_str(), 790, 595), 1);
  screen.DrawImage(backSurface, red.c_str(), 900, 700);
  EXPECT_EQ(RegionMismatch(backSurface, 790, 595, 10, 5, kRed), "");
  EXPECT_EQ(CountPixels(backSurface, kRed), 50) << "clipped at the corner, nothing outside";
  screen.FindImage(red.c_str())->x = -5;
  EXPECT_EQ(screen.DrawImageAtHome(backSurface, red.c_str()), 1);
  EXPECT_EQ(RegionMismatch(backSurface, 0, 0, 15, 10, kRed), "");
}

TEST_F(ScreenTest, PresentFlipsAndTheComposerRestoresTwoFlipsLater) {
  LPDIRECTDRAWSURFACE background = MakeSurface(800, 600, kGrey);
  sceneComposer.SetBackground(background);
  Screen screen;
  PaintRect(backSurface, 10, 10, 5, 5, kYellow);
  sceneComposer.AddRequest(10, 10, 5, 5, RestoreOnce, RestoreFromBackground);
  EXPECT_NE(screen.Present(), 0);
  EXPECT_EQ(RegionMismatch(backSurface, 10, 10, 5, 5, kYellow), "") << "windowed: the back surface keeps its picture";
  EXPECT_NE(screen.Present(), 0);
  EXPECT_EQ(RegionMismatch(backSurface, 10, 10, 5, 5, kGrey), "") << "restored after the second flip";
}

std::vector<std::string> calls;

class RecordingScreen : public Screen {
 public:
  RecordingScreen(const char* screenName, const char* tag) : tag(tag) { SetName(screenName); }
  void Activate(LPDIRECTDRAW dd, LPDIRECTDRAWSURFACE surface) override {
    calls.push_back(tag + ".Activate");
    activatedWith = surface;
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
  LPDIRECTDRAWSURFACE activatedWith = nullptr;
};

LPDIRECTDRAWSURFACE FakeSurface() { return reinterpret_cast<LPDIRECTDRAWSURFACE>(0x1000); }

class ScreenManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  ScreenManager manager;
};

TEST_F(ScreenManagerTest, SelectingDeactivatesTheOldScreenBeforeActivatingTheNew) {
  EXPECT_EQ(manager.RunFrame(1), 0) << "without a current screen frames continue";
  EXPECT_EQ(manager.ForwardMessage(nullptr, WM_MOUSEMOVE, 0, 0), 1) << "and messages are answered 1";
  RecordingScreen game("GloomGrid", "game"), other("Other", "other");
  manager.Init(nullptr, FakeSurface());
  manager.AddScreen(&game);
  manager.AddScreen(&other);
  EXPECT_TRUE(calls.empty()) << "adding does not activate";
  EXPECT_EQ(manager.SelectScreen("GloomGrid"), &game);
  EXPECT_EQ(game.activatedWith, FakeSurface());
  EXPECT_EQ(manager.SelectScreen("Other"), &other);
  EXPECT_EQ(calls, (std::vector<std::string>{"game.Activate", "game.Deactivate", "other.Activate"}));
  calls.clear();
  EXPECT_EQ(manager.RunFrame(1), 6);
  EXPECT_EQ(manager.ForwardMessage(nullptr, WM_KEYUP, 0, 0), 9);
  EXPECT_EQ(calls, (std::vector<std::string>{"other.Frame", "other.Message257"}));
}

// The first match that is not current wins; the current one or an unknown
// name changes nothing.
TEST_F(ScreenManagerTest, SelectingTakesTheFirstOtherScreenOfThatName) {
  RecordingScreen first("Twin", "first"), second("Twin", "second"), other("Other", "other");
  for (Screen* s : {static_cast<Screen*>(&first), static_cast<Screen*>(&second), static_cast<Screen*>(&other)})
    manager.AddScreen(s);
  EXPECT_EQ(manager.SelectScreen("Twin"), &first);
  EXPECT_EQ(manager.SelectScreen("Twin"), &second) << "the current one is passed over";
  EXPECT_EQ(manager.SelectScreen("Twin"), &first);
  calls.clear();
  EXPECT_EQ(manager.SelectScreen("twin"), &first) << "names compare case-sensitively";
  EXPECT_EQ(manager.SelectScreen("Nowhere"), &first);
  EXPECT_TRUE(calls.empty()) << calls.front();
  manager.DeactivateAll();
  EXPECT_EQ(calls, (std::vector<std::string>{"first.Deactivate", "second.Deactivate", "other.Deactivate"}));
  EXPECT_EQ(manager.Current(), &first) << "DeactivateAll keeps the current one";
}

}  // namespace
