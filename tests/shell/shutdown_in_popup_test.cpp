// Closing the window while a popup's modal loop runs: the popup's pump
// dispatches the window's destruction, which frees the display; the run must
// end as a quit and nothing drawn afterwards may reach a released surface
// (a sanitizer build catches any that does).
#include <gtest/gtest.h>

#include "game_window_helpers.h"
#include "host/control.h"
#include "host/src/window.h"
#include "screens/control_panel.h"
#include "screens/popup_screen.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/scratch_folder.h"

using namespace testing_support;

namespace {

using shell_test::GameWindowTest;

class ClosedWhileShown : public PopupScreen {
 public:
  int FrameHook(int x, int y, int bits) override {
    if (++passes == 3) host::InjectClose();
    return PopupScreen::FrameHook(x, y, bits);
  }
  int passes = 0;
};

TEST_F(GameWindowTest, ClosingTheWindowDuringAPopupQuitsAndLeavesNoSurfaceToDrawOn) {
  ASSERT_TRUE(StartGameWindow(false));
  ScratchFolder folder;
  const std::string file = folder.File("popup.bmp");
  ASSERT_TRUE(WriteBmp24(file, 200, 100, [](int, int) { return kBmpRed; }));
  LPDIRECTDRAWSURFACE gameBackground = MakeSurface(800, 600, kGrey);
  sceneComposer.SetBackground(gameBackground);

  ClosedWhileShown popup;
  ScreenImage* picture = popup.AddPicture(file.c_str(), nullptr);
  popup.AddDefaultButton();  // waits for a click that never comes
  char result[256] = "untouched";
  EXPECT_EQ(popup.Run(result, nullptr), 0) << "a quit, after " << popup.passes << " passes";
  EXPECT_STREQ(result, "untouched");
  EXPECT_EQ(host::FindWindow(mainWindow), nullptr) << "the window is gone";
  EXPECT_EQ(sceneComposer.GetBackground(), gameBackground);
  EXPECT_EQ(backSurface, nullptr);
  EXPECT_EQ(primarySurface, nullptr);
  EXPECT_EQ(directDraw, nullptr);

  // The game's frame goes on to its end after the popup: drawing and
  // presenting find no display and do nothing.
  EXPECT_EQ(picture->Draw(backSurface, 0, 0), 0);
  popup.GetPanel()->Redraw();
  EXPECT_EQ(popup.Present(), 0) << "no display to flip";
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "posted again for the main loop";
}

}  // namespace
