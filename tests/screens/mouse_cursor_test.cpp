// The mouse record: presses counted on the clock's polls and consumed one per GetState, read only while the
// mouse is acquired, and polled on the timer thread beside the frames.
#include <gtest/gtest.h>

#include <thread>

#include "host/control.h"
#include "platform/zq.h"
#include "screens/mouse_cursor.h"
#include "support/display.h"

namespace {

class MouseCursorTest : public testing_support::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_TRUE(StartDisplay(false));
    ZQInitMouse();
    ZQAcquireMouse(1);
    MouseCursor::ResetPollHistoryForTest();
  }
};

// Polls with the left button going down (d) or up (u), or down and up again (x), before each; then what each
// GetState reports: the presses left pending (-1: none to take, nothing written) and the buttons held.
TEST_F(MouseCursorTest, PressesSeenByPollsAreReportedOneByOneWhileAcquired) {
  MouseCursor cursor;
  const auto polls = [&cursor](const std::string& steps) {
    for (char step : steps) {
      host::InjectMouseButton(VK_LBUTTON, step != 'u');
      if (step == 'x') host::InjectMouseButton(VK_LBUTTON, false);
      cursor.Poll();
    }
  };
  std::string reported;
  const auto read = [&cursor, &reported] {
    int left = -1, buttons = -1;
    cursor.GetState(nullptr, nullptr, &buttons, &left, nullptr);
    reported += std::to_string(left) + " " + std::to_string(buttons) + ", ";
  };
  polls("dddddu" "x" "dudu");  // held over many polls: one press; shorter than a poll: none
  host::InjectMouseButton(VK_RBUTTON, true);
  cursor.Poll();
  for (int i = 0; i < 4; ++i) read();
  ZQAcquireMouse(0);
  polls("d");
  read();
  EXPECT_EQ(reported, "2 2, 1 2, 0 2, -1 2, -1 0, ") << "the last after a press while the mouse is not acquired";
}

// Poll runs on the clock's timer thread while the game reads the state: the shared values must be race-free
// (checked under ThreadSanitizer).
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
