// The game's main window with the display on it, headless: window messages, the mouse, a close during a popup.
#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/message_pump.h"
#include "host/control.h"
#include "host/src/window.h"
#include "platform/zq.h"
#include "screens/control_panel.h"
#include "screens/mouse_cursor.h"
#include "screens/popup_screen.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "shell/main_window.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

using namespace testing_support;

struct MouseCursorTestPeer {
  static void Show(MouseCursor& cursor) { cursor.visible = 1; }
};

namespace {

// The main window made as start-up makes it, with the display on it (800 x 600 x 16 full-screen, the client size
// windowed) and the globals set.
class GameWindowTest : public DisplayTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    fullScreen = FullScreen() ? 1 : 0;
    appActive = showFps = mouseOffsetX = mouseOffsetY = 0;
    ASSERT_EQ(RegisterMainWindowClass(nullptr) + CreateMainWindow(nullptr, 0), 2);
    window_ = mainWindow;
    ASSERT_TRUE(fullScreen ? ZQInitDirectX(mainWindow, 800, 600, 16) : ZQInitDirectX(mainWindow, clientWidth, clientHeight));
    directDraw = ZQGetLPDD();
    ZQGetDDInfo(&primarySurface, &backSurface);
    ZQInitMouse();
    ZQAcquireMouse(1);
    MouseCursor::ResetPollHistoryForTest();
  }
  bool FullScreen() { return testing::UnitTest::GetInstance()->current_test_info()->value_param() && GetParam(); }
  // A picture file, left half `colour`, right half black.
  std::string Picture(int width, int height, Rgb colour) {
    EXPECT_TRUE(WriteBmp24(folder_.File("p.bmp"), width, height, [=](int x, int) { return x < width / 2 ? colour : Rgb{}; }));
    return folder_.File("p.bmp");
  }
  static UINT_PTR QuitCodeReposted() {
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT) << "quit posted again";
    return msg.wParam;
  }
  ScratchFolder folder_;
};

// Window styles, places and sizes are checked on the real binary's trace (startup_test).
TEST_F(GameWindowTest, ActivationTitleScreenSaverKeysAndTheQuitCode) {
  SetWindowTitle("Morticia");
  const int32_t created = appActive;
  host::InjectActivate(false);
  const int32_t deactivated = appActive;
  MainWindowProc(mainWindow, WM_ACTIVATE, WA_CLICKACTIVE, 0);  // alone changes nothing
  const LRESULT screenSaver = MainWindowProc(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_EQ(std::make_tuple(host::FindWindow(mainWindow)->title, created, deactivated, appActive, screenSaver),
            std::make_tuple(std::string("Gloom Grid - Morticia"), 1, 0, 0, LRESULT{0}))
      << "title, active when created, deactivated, after a click activation, screen saver";
  PostQuitMessage(3);
  EXPECT_EQ(PumpMessages(), 1);
  EXPECT_EQ(QuitCodeReposted(), 3u);
  // Keys act when released: F1 toggles the frame rate, Escape closes the window.
  std::string seen;
  for (auto [key, down] : {std::pair{VK_F1, true}, {VK_F1, false}, {VK_F1, false}, {VK_F1, false}, {VK_ESCAPE, true},
                           {VK_ESCAPE, false}}) {
    host::InjectKey(key, down);
    seen += std::to_string(PumpMessages());
    seen += std::to_string(showFps) + " ";
  }
  EXPECT_EQ(seen, "00 01 00 01 01 11 ") << "per key: quit met, frame rate shown";
  EXPECT_EQ(host::FindWindow(mainWindow), nullptr) << "the window is gone";
  EXPECT_EQ(QuitCodeReposted(), 0u);
}

TEST_F(GameWindowTest, MouseMovesReachTheCursorShiftedInAMaximizedWindow) {
  // On this host the frame and small-caption heights are 0, so a maximized w x h window shifts by
  // (w/2 - 399, h/2 - 300); 0 x 0: restored.
  const struct { int maximizedWidth, maximizedHeight, moveX, moveY, cursorX, cursorY; } cases[] = {
      {0, 0, 10, 20, 10, 20}, {1024, 741, 500, 400, 387, 330}, {1280, 1000, 241, 200, 0, 0}, {0, 0, 241, 200, 241, 200}};
  for (const auto& c : cases) {
    if (c.maximizedWidth != 0) host::InjectMaximize(c.maximizedWidth, c.maximizedHeight);
    else host::InjectRestore();
    if (c.maximizedWidth == 1024) MainWindowProc(mainWindow, WM_SIZE, SIZE_MINIMIZED, 0);  // leaves the offsets
    host::InjectMouseMove(c.moveX, c.moveY);
    ASSERT_EQ(PumpMessages(), 0);
    EXPECT_EQ(std::make_pair(mouseCursor.GetX(), mouseCursor.GetY()), std::make_pair(c.cursorX, c.cursorY))
        << "move to (" << c.moveX << ", " << c.moveY << ") in a " << c.maximizedWidth << " x " << c.maximizedHeight
        << " window";
  }
}

TEST_F(GameWindowTest, APressIsReadWhileTheButtonIsStillDown) {
  StartClock();
  for (bool down : {true, false, true}) {
    host::InjectMouseButton(VK_LBUTTON, down);
    Tick();  // the clock polls the buttons into the cursor
    int left = -1, buttons = -1;
    mouseCursor.GetState(nullptr, nullptr, &buttons, &left, nullptr);
    EXPECT_EQ(std::make_pair(buttons, left), std::make_pair(down ? 1 : 0, down ? 0 : -1)) << "down " << down;
  }
}

TEST_P(GameWindowTest, EveryPresentedFrameShowsTheCursor) {
  mouseCursor.Init(Picture(4, 4, kBmpWhite).c_str());
  mouseCursor.SelectImage(0);
  mouseCursor.SetFlipMode(fullScreen);
  MouseCursorTestPeer::Show(mouseCursor);
  mouseCursor.SetPosition(50, 60);
  POINT origin{0, 0};  // windowed flips land on the primary surface at the client area
  if (!fullScreen) ClientToScreen(mainWindow, &origin);
  Screen screen;
  for (int frame = 1; frame <= 3; ++frame) {
    PaintRect(backSurface, 0, 0, 800, 600, kGrey);
    ASSERT_NE(screen.Present(), 0);
    EXPECT_EQ(RegionMismatch(PrimarySurface(), origin.x + 50, origin.y + 60, 2, 4, kWhite), "") << "frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(WindowedAndFullScreen, GameWindowTest, testing::Bool());

// The popup's pump dispatches the window's destruction, which frees the display: the run ends as a quit and nothing
// drawn afterwards reaches a released surface (a sanitizer build catches any that does).
class ClosedWhileShown : public PopupScreen {
 public:
  int FrameHook(int x, int y, int bits) override {
    if (++passes == 3) host::InjectClose();
    return PopupScreen::FrameHook(x, y, bits);
  }
  int passes = 0;
};

TEST_F(GameWindowTest, ClosingTheWindowDuringAPopupQuitsAndLeavesNoSurfaceToDrawOn) {
  LPDIRECTDRAWSURFACE gameBackground = MakeSurface(800, 600, kGrey);
  sceneComposer.SetBackground(gameBackground);
  ClosedWhileShown popup;
  ScreenImage* picture = popup.AddPicture(Picture(200, 100, kBmpRed).c_str(), nullptr);
  popup.AddDefaultButton();  // waits for a click that never comes
  char result[256] = "untouched";
  EXPECT_EQ(popup.Run(result, nullptr), 0) << "a quit, after " << popup.passes << " passes";
  // The game's frame goes on to its end: drawing and presenting find no display.
  const int drawn = picture->Draw(backSurface, 0, 0);
  popup.GetPanel()->Redraw();
  const int presented = popup.Present();
  EXPECT_EQ(std::make_tuple(std::string(result), (std::vector<void*>{host::FindWindow(mainWindow), backSurface,
            primarySurface, directDraw}), sceneComposer.GetBackground(), drawn, presented),
            std::make_tuple(std::string("untouched"), std::vector<void*>(4, nullptr), gameBackground, 0, 0))
      << "result, window, back and primary surface, DirectDraw, background kept, drawn, presented";
  EXPECT_EQ(QuitCodeReposted(), 0u);
}

}  // namespace
