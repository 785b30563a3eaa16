// Screen selection, activation order, and frames and messages with and
// without a current screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/screen_manager.h"

namespace {

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

TEST_F(ScreenManagerTest, WithoutACurrentScreenFramesContinueAndMessagesAreAnsweredOne) {
  EXPECT_EQ(manager.RunFrame(1), 0);
  EXPECT_EQ(manager.ForwardMessage(nullptr, WM_MOUSEMOVE, 0, 0), 1);
  EXPECT_EQ(manager.SelectScreen("GloomGrid"), nullptr);
  EXPECT_TRUE(calls.empty());
}

TEST_F(ScreenManagerTest, SelectingDeactivatesTheOldScreenBeforeActivatingTheNew) {
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

TEST_F(ScreenManagerTest, SelectingTheCurrentOrAnUnknownNameChangesNothing) {
  RecordingScreen game("GloomGrid", "game");
  manager.AddScreen(&game);
  manager.SelectScreen("GloomGrid");
  calls.clear();
  EXPECT_EQ(manager.SelectScreen("GloomGrid"), &game);
  EXPECT_EQ(manager.SelectScreen("gloomgrid"), &game) << "names compare case-sensitively";
  EXPECT_EQ(manager.SelectScreen("Nowhere"), &game);
  EXPECT_TRUE(calls.empty()) << calls.front();
}

TEST_F(ScreenManagerTest, OfTwoScreensWithOneNameTheFirstThatIsNotCurrentWins) {
  RecordingScreen first("Twin", "first"), second("Twin", "second");
  manager.AddScreen(&first);
  manager.AddScreen(&second);
  EXPECT_EQ(manager.SelectScreen("Twin"), &first);
  EXPECT_EQ(manager.SelectScreen("Twin"), &second) << "the current one is passed over";
  EXPECT_EQ(manager.SelectScreen("Twin"), &first);
}

TEST_F(ScreenManagerTest, DeactivateAllReachesEveryScreenAndKeepsTheCurrentOne) {
  RecordingScreen a("A", "a"), b("B", "b"), c("C", "c");
  for (Screen* s : {static_cast<Screen*>(&a), static_cast<Screen*>(&b), static_cast<Screen*>(&c)})
    manager.AddScreen(s);
  manager.SelectScreen("B");
  calls.clear();
  manager.DeactivateAll();
  EXPECT_EQ(calls, (std::vector<std::string>{"a.Deactivate", "b.Deactivate", "c.Deactivate"}));
  EXPECT_EQ(manager.Current(), &b);
}

}  // namespace
