// The mouse's road into the game on the headless host, from window message or
// polled button to what the game reads and sees: the cursor position through a
// maximized window's offsets, a press read before its release, and a drawn
// cursor in the picture actually presented.
#include <gtest/gtest.h>

#include "game_window_helpers.h"
#include "host/control.h"
#include "screens/mouse_cursor.h"
#include "screens/screen.h"
#include "core/globals.h"
#include "core/message_pump.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"

using namespace testing_support;

// The game never shows its cursor; this test does.
struct MouseCursorTestPeer {
  static void Show(MouseCursor& cursor) { cursor.visible = 1; }
};

namespace {

using shell_test::GameWindowTest;

TEST_F(GameWindowTest, MouseMovesReachTheCursorShiftedInAMaximizedWindow) {
  ASSERT_TRUE(StartGameWindow(false));
  // On this host the frame and small-caption heights are 0, so a maximized
  // w x h window shifts by (w/2 - 399, h/2 - 300).
  struct Case {
    int maximizedWidth, maximizedHeight;  // 0: restored
    int moveX, moveY;
    int cursorX, cursorY;
  };
  const Case cases[] = {
      {0, 0, 10, 20, 10, 20},
      {1024, 741, 500, 400, 387, 330},
      {1280, 1000, 241, 200, 0, 0},
      {0, 0, 241, 200, 241, 200},
  };
  for (const Case& c : cases) {
    if (c.maximizedWidth != 0) host::InjectMaximize(c.maximizedWidth, c.maximizedHeight);
    else host::InjectRestore();
    host::InjectMouseMove(c.moveX, c.moveY);
    ASSERT_EQ(PumpMessages(), 0);
    EXPECT_EQ(mouseCursor.GetX(), c.cursorX) << "move to (" << c.moveX << ", " << c.moveY << ") in a "
                                             << c.maximizedWidth << " x " << c.maximizedHeight << " window";
    EXPECT_EQ(mouseCursor.GetY(), c.cursorY) << "move to (" << c.moveX << ", " << c.moveY << ")";
  }
}

TEST_F(GameWindowTest, APressIsReadWhileTheButtonIsStillDown) {
  ASSERT_TRUE(StartGameWindow(false));
  StartClock();
  for (bool down : {true, false, true}) {
    host::InjectMouseButton(VK_LBUTTON, down);
    Tick();  // the clock polls the buttons into the cursor
    int left = -1, buttons = -1;
    mouseCursor.GetState(nullptr, nullptr, &buttons, &left, nullptr);
    EXPECT_EQ(buttons, down ? 1 : 0);
    EXPECT_EQ(left, down ? 0 : -1) << (down ? "the press, consumed while held" : "a release is no press");
  }
}

class PresentedCursorTest : public GameWindowTest, public testing::WithParamInterface<bool> {};

TEST_P(PresentedCursorTest, EveryPresentedFrameShowsTheCursor) {
  const bool full = GetParam();
  ASSERT_TRUE(StartGameWindow(full));
  ScratchFolder folder;
  const std::string arrow = folder.File("arrow.bmp");
  ASSERT_TRUE(WriteBmp24(arrow, 4, 4, [](int x, int) { return x < 2 ? kBmpWhite : Rgb{0, 0, 0}; }));
  mouseCursor.Init(arrow.c_str());
  mouseCursor.SelectImage(0);
  mouseCursor.SetFlipMode(full ? 1 : 0);
  MouseCursorTestPeer::Show(mouseCursor);
  mouseCursor.SetPosition(50, 60);
  const POINT origin = ClientOrigin();
  LPDIRECTDRAWSURFACE shown = PrimarySurface();  // what the last flip put on screen
  Screen screen;
  for (int frame = 1; frame <= 3; ++frame) {
    PaintRect(backSurface, 0, 0, 800, 600, kGrey);
    ASSERT_NE(screen.Present(), 0);
    EXPECT_EQ(RegionMismatch(shown, origin.x + 50, origin.y + 60, 2, 4, kWhite), "") << "frame " << frame;
    EXPECT_EQ(RegionMismatch(shown, origin.x + 52, origin.y + 60, 2, 4, kGrey), "") << "black is transparent";
  }
  if (!full) {
    EXPECT_EQ(RegionMismatch(backSurface, 50, 60, 4, 4, kGrey), "") << "erased from the back surface";
  }
}

INSTANTIATE_TEST_SUITE_P(Windowed, PresentedCursorTest, testing::Values(false));
INSTANTIATE_TEST_SUITE_P(FullScreen, PresentedCursorTest, testing::Values(true));

}  // namespace
