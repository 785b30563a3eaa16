// The mouse buttons as the game clock reads them: left is bit 0, right bit 1, and idle unless acquired.
#include <gtest/gtest.h>

#include <mmsystem.h>

#include <atomic>
#include <string>
#include <vector>

#include "host/control.h"
#include "platform/zq.h"
#include "support/display.h"

namespace {

class MouseButtons : public testing_support::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    window_ = testing_support::OpenTestWindow(false);
    ASSERT_NE(window_, nullptr);
  }
  // The button word; the mouse never moves here.
  int Buttons() {
    int dx = -1, dy = -1, buttons = -1;
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(0, 0));
    return buttons;
  }
};

// An inactive game must not see clicks meant for other programs. Steps: L/l left down/up, R/r right down/up,
// I init, A acquire, U unacquire, F free; after each, what its call returned (0 for none) and the button word.
TEST_F(MouseButtons, BitsFollowTheButtonsOnlyWhileAcquired) {
  const std::string steps = "LAIARlUArLFAF";
  std::vector<std::string> seen;
  for (char step : steps) {
    int result = 0;
    if (step == 'L' || step == 'l') host::InjectMouseButton(VK_LBUTTON, step == 'L');
    if (step == 'R' || step == 'r') host::InjectMouseButton(VK_RBUTTON, step == 'R');
    if (step == 'I') result = ZQInitMouse();
    if (step == 'A' || step == 'U') result = ZQAcquireMouse(step == 'A');
    if (step == 'F') ZQFreeDirectInput();
    seen.push_back(std::to_string(step == 'U' ? 0 : result) + " " + std::to_string(Buttons()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"0 0", "0 0", "1 0", "1 1", "0 3", "0 2", "0 0", "1 2", "0 0", "0 1",
                                            "0 0", "0 0", "0 0"}))
      << "after each of " << steps << " (acquiring before set-up and after freeing fails)";
  int buttons = -1;
  EXPECT_EQ(ZQGetMouseData(nullptr, nullptr, &buttons), 0) << "no data once freed";
}

// The game clock polls on the multimedia timer's thread while the main thread acquires and releases the mouse
// (the thread sanitizer build checks the sharing).
std::atomic<int> polls{0}, lastButtons{-1};

void CALLBACK PollFromTimer(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  int buttons = 0;
  ZQGetMouseData(nullptr, nullptr, &buttons);
  lastButtons = buttons;
  ++polls;
}

TEST_F(MouseButtons, ReadFromTheTimerThreadWhileTheMainThreadAcquires) {
  host::settings().timeMode = host::TimeMode::Real;
  ASSERT_EQ(ZQInitMouse(), 1);
  const MMRESULT timer = timeSetEvent(1, 0, PollFromTimer, 0, TIME_PERIODIC);
  ASSERT_NE(timer, 0u);
  host::InjectMouseButton(VK_RBUTTON, true);
  for (int acquired : {1, 0}) {
    for (int i = 0; i < 200; ++i) ZQAcquireMouse(i % 2);
    ZQAcquireMouse(acquired);
    const int target = polls + 2;  // two more polls, waited for through a generous number of naps
    for (int nap = 0; nap < 20000 && polls < target; ++nap) Sleep(1);
    EXPECT_EQ(lastButtons, acquired ? 2 : 0) << "right button held, mouse acquired: " << acquired;
  }
  timeKillEvent(timer);
  host::InjectMouseButton(VK_RBUTTON, false);
}

}  // namespace
