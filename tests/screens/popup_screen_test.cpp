// Modal popups on the headless display with the host's virtual time: closing
// by time, by a click on the default button, by a held key, and by a quit
// message, with the composer's background put back every time.
#include <gtest/gtest.h>

#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "screens/popup_screen.h"
#include "screens/scene_composer.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

// A popup whose frame hook acts on chosen passes; it gives up after 1000 passes
// so that a popup that never closes fails instead of hanging.
class WatchedPopup : public PopupScreen {
 public:
  int FrameHook(int x, int y, int bits) override {
    if (onPass) onPass(++passes);
    return passes < 1000 && PopupScreen::FrameHook(x, y, bits);
  }
  int passes = 0;
  std::function<void(int)> onPass = [](int) {};
};

class PopupTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    clientWidth = 800;
    clientHeight = 600;
    fullScreen = 0;
    host::settings().timeMode = host::TimeMode::Virtual;  // each empty queue lets 10 ms pass
    StartClock();
    ZQInitMouse();
    ZQAcquireMouse(1);
    MouseCursor::ResetPollHistoryForTest();
    ASSERT_TRUE(WriteBmp24(picture, 200, 100, [](int, int) { return kBmpRed; }));
    gameBackground = MakeSurface(800, 600, kGrey);
    sceneComposer.SetBackground(gameBackground);
    popup.AddPicture(picture.c_str(), "first");
  }
  // Runs the popup; "return value: result".
  std::string Run(const char* pictureName = nullptr) {
    char result[256] = "untouched";
    const int value = popup.Run(result, pictureName);
    EXPECT_EQ(sceneComposer.GetBackground(), gameBackground) << "the game's background is put back";
    return std::to_string(value) + ": " + result;
  }
  ScratchFolder folder;
  std::string picture = folder.File("popup.bmp");
  LPDIRECTDRAWSURFACE gameBackground = nullptr;
  WatchedPopup popup;
};

// An unknown picture name shows the first picture, centred because it was never placed.
TEST_F(PopupTest, ClosesWhenItsTimeIsUpShowingTheFirstPictureForAnUnknownName) {
  ASSERT_TRUE(WriteBmp24(folder.File("other.bmp"), 40, 20, [](int, int) { return kBmpGreen; }));
  popup.AddPicture(folder.File("other.bmp").c_str(), "second");
  popup.SetDisplayEnd(GetTicks() + 100);
  EXPECT_EQ(Run("nothing by this name"), "1: ") << "closing by time leaves the result empty";
  EXPECT_EQ(popup.GetPicture(), popup.FindPicture("first"));
  EXPECT_TRUE(popup.passes >= 10 && popup.passes <= 12) << popup.passes << " passes";
  EXPECT_EQ(RegionMismatch(backSurface, 300, 250, 200, 100, kRed), "") << "centred; the last pass was presented";
}

TEST_F(PopupTest, AClickOnTheDefaultButtonClosesWithItsName) {
  popup.SetPosition(100, 100);
  popup.AddDefaultButton();
  popup.onPass = [](int pass) {
    // Press and release over the picture, as the mouse would, a few passes apart.
    if (pass == 3 || pass == 6) host::InjectMouseButton(VK_LBUTTON, pass == 3);
  };
  mouseCursor.SetPosition(150, 150);
  EXPECT_EQ(Run(), "1: default");
  EXPECT_GT(popup.passes, 6);
  EXPECT_EQ(RegionMismatch(backSurface, 100, 100, 200, 100, kRed), "") << "shown where it was placed";
}

TEST_F(PopupTest, AHeldCloseKeyClosesWithKey) {
  popup.SetCloseKey(VK_SPACE);
  popup.onPass = [](int pass) { host::InjectKey(VK_SPACE, pass == 2); };
  EXPECT_EQ(Run(), "1: key");
}

TEST_F(PopupTest, AQuitMessageEndsTheRunAndReachesTheEnclosingLoop) {
  popup.AddDefaultButton();
  popup.onPass = [](int pass) {
    if (pass == 4) PostQuitMessage(0);
  };
  EXPECT_EQ(Run(), "0: untouched");
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "posted again for the main loop";
}

}  // namespace
