// The mouse buttons as the game clock reads them: left is bit 0, right bit 1, and idle unless acquired.
#include <gtest/gtest.h>

#include <mmsystem.h>

#include <atomic>

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

// An inactive game must not see clicks meant for other programs. Each step, what its call returns (when it
// returns something) and the button word it leaves.
TEST_F(MouseButtons, BitsFollowTheButtonsOnlyWhileAcquired) {
  enum Step { kLeftDown, kLeftUp, kRightDown, kRightUp, kInit, kAcquire, kRelease, kFree };
  const struct {
    Step step;
    int result, buttons;
  } steps[] = {{kLeftDown, 0, 0}, {kAcquire, 0, 0} /* not set up */, {kInit, 1, 0},  {kAcquire, 1, 1},
               {kRightDown, 0, 3}, {kLeftUp, 0, 2},   {kRelease, 0, 0}, {kAcquire, 1, 2}, {kRightUp, 0, 0},
               {kLeftDown, 0, 1}, {kFree, 0, 0},     {kAcquire, 0, 0} /* freed */,       {kFree, 0, 0}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    int result = 0;
    const Step step = steps[i].step;
    if (step == kLeftDown || step == kLeftUp) host::InjectMouseButton(VK_LBUTTON, step == kLeftDown);
    if (step == kRightDown || step == kRightUp) host::InjectMouseButton(VK_RBUTTON, step == kRightDown);
    if (step == kInit) result = ZQInitMouse();
    if (step == kAcquire || step == kRelease) result = step == kAcquire ? ZQAcquireMouse(1) : (ZQAcquireMouse(0), 0);
    if (step == kFree) ZQFreeDirectInput();
    EXPECT_EQ(std::make_pair(result, Buttons()), std::make_pair(steps[i].result, steps[i].buttons))
        << "result and buttons after step " << i;
  }
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
