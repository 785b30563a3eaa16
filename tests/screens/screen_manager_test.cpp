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
