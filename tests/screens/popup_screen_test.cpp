// Modal popups on the headless display with the host's virtual time: closing by time and by a click on the
// default button, with the composer's background put back every time.
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

// A popup whose frame hook acts on chosen passes; it gives up after 1000 passes so that a popup that never
// closes fails instead of hanging.
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
    ASSERT_TRUE(WriteBmp24(picture, 201, 101, [](int, int) { return kBmpRed; }));
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

// An unknown picture name shows the first picture, centred because it was never placed: the halves of its
// odd size are whole, so it starts at (400 - 100, 300 - 50).
TEST_F(PopupTest, ClosesWhenItsTimeIsUpShowingTheFirstPictureForAnUnknownName) {
  ASSERT_TRUE(WriteBmp24(folder.File("other.bmp"), 40, 20, [](int, int) { return kBmpGreen; }));
  popup.AddPicture(folder.File("other.bmp").c_str(), "second");
  popup.SetDisplayEnd(GetTicks() + 100);
  EXPECT_EQ(Run("nothing by this name"), "1: ") << "closing by time leaves the result empty";
  EXPECT_TRUE(popup.passes >= 10 && popup.passes <= 12) << popup.passes << " passes";
  EXPECT_EQ(RegionMismatch(backSurface, 300, 250, 201, 101, kRed), "") << "centred; the last pass was presented";
}

TEST_F(PopupTest, AClickOnTheDefaultButtonClosesWithItsName) {
  popup.SetPosition(100, 100);
  popup.AddDefaultButton();
  popup.onPass = [](int pass) {  // pressed and released over the picture, a few passes apart
    if (pass == 3 || pass == 6) host::InjectMouseButton(VK_LBUTTON, pass == 3);
  };
  mouseCursor.SetPosition(150, 150);
  EXPECT_EQ(Run(), "1: default");
  EXPECT_GT(popup.passes, 6);
  EXPECT_EQ(RegionMismatch(backSurface, 100, 100, 201, 101, kRed), "") << "shown where it was placed";
}

}  // namespace
