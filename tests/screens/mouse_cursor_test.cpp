// The mouse record: presses counted on the clock's polls and consumed one per
// GetState, polled on the timer thread beside the frames; the cursor picture
// drawn and erased around flips.
#include <gtest/gtest.h>

#include <thread>

#include "composer_helpers.h"
#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "core/globals.h"
#include "support/bmp_file.h"
#include "support/display.h"
#include "support/scratch_folder.h"

using namespace testing_support;

struct MouseCursorTestPeer {
  static void Show(MouseCursor& cursor) { cursor.visible = 1; }
};

namespace {

class MouseCursorTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    ZQInitMouse();
    ZQAcquireMouse(1);
    MouseCursor::ResetPollHistoryForTest();
  }
  // Before each poll the left button goes down (d) or up (u), or down and up again (x).
  void Polls(const std::string& steps) {
    for (char step : steps) {
      host::InjectMouseButton(VK_LBUTTON, step != 'u');
      if (step == 'x') host::InjectMouseButton(VK_LBUTTON, false);
      cursor.Poll();
    }
  }
  // The pending presses GetState reports (-1: not written).
  int Presses(int* buttons = nullptr) {
    int left = -1, ignored = 0;
    cursor.GetState(nullptr, nullptr, buttons ? buttons : &ignored, &left, nullptr);
    return left;
  }
  MouseCursor cursor;
};

TEST_F(MouseCursorTest, PressesSeenByPollsAreReportedOneByOne) {
  Polls("dddddu" "x" "dudu");  // held over many polls: one press; shorter than a poll: none
  host::InjectMouseButton(VK_RBUTTON, true);
  cursor.Poll();
  int buttons = 0;
  const std::vector<int> reported = {Presses(), Presses(), Presses(), Presses(&buttons)};
  EXPECT_EQ(reported, (std::vector<int>{2, 1, 0, -1})) << "pending presses left after each";
  EXPECT_EQ(buttons, 2) << "the right button is held";
  ZQAcquireMouse(0);
  Polls("d");
  EXPECT_EQ(Presses(), -1) << "nothing is read while the mouse is not acquired";
}

// The game never shows the cursor, but the drawing is built: black is
// transparent, the rectangle is filed, and with page flipping each Erase puts
// back what lay under the cursor in its own buffer.
TEST_F(MouseCursorTest, AShownCursorIsDrawnAndErasedPerBuffer) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteBmp24(folder.File("arrow.bmp"), 4, 4, [](int x, int) { return x < 2 ? kBmpWhite : Rgb{}; }));
  cursor.Init(folder.File("arrow.bmp").c_str());
  cursor.SelectImage(0);
  cursor.SetFlipMode(1);
  MouseCursorTestPeer::Show(cursor);
  cursor.SetPosition(50, 60);
  Fill(backSurface, kGrey);
  cursor.Draw(backSurface);
  EXPECT_EQ(RegionMismatch(backSurface, 50, 60, 2, 4, kWhite) + RegionMismatch(backSurface, 52, 60, 2, 4, kGrey), "");
  EXPECT_EQ(composer_test::PendingRequests(sceneComposer), "50,60 4x4 1001");
  cursor.Erase(backSurface);  // the other buffer's, which held no cursor
  EXPECT_EQ(CountPixels(backSurface, kWhite), 8);
  cursor.Draw(backSurface);  // the next frame, on the other buffer
  cursor.Erase(backSurface);
  EXPECT_EQ(CountPixels(backSurface, kGrey), 800 * 600);
  cursor.Release();
  cursor.Release();  // a second release frees nothing twice
}

// Poll runs on the clock's timer thread while the game reads the state: the
// shared values must be race-free (checked under ThreadSanitizer).
TEST_F(MouseCursorTest, PollingBesideFramesIsRaceFree) {
  host::settings().timeMode = host::TimeMode::Real;
  StartClock();  // the host's timer thread polls mouseCursor
  std::thread clicker([] {
    for (int i = 0; i < 200; ++i) host::InjectMouseButton(VK_LBUTTON, i % 2 == 0);
  });
  for (int frame = 0; frame < 2000; ++frame) {
    int left = -1, buttons = 0, x = 0;
    mouseCursor.GetState(&x, nullptr, &buttons, &left, nullptr);
    mouseCursor.SetPosition(frame, frame);
  }
  clicker.join();
}

}  // namespace
