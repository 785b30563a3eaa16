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

// An inactive game must not see clicks meant for other programs.
TEST_F(MouseButtons, BitsFollowTheButtonsOnlyWhileAcquired) {
  host::InjectMouseButton(VK_LBUTTON, true);
  EXPECT_EQ(ZQAcquireMouse(1), 0) << "acquiring before the mouse is set up";
  EXPECT_EQ(Buttons(), 0) << "never set up";
  ASSERT_EQ(ZQInitMouse(), 1);
  EXPECT_EQ(Buttons(), 0) << "set up, not yet acquired";
  ASSERT_EQ(ZQAcquireMouse(1), 1);
  int buttons = -1;
  EXPECT_EQ(ZQGetMouseData(nullptr, nullptr, &buttons), 1);
  EXPECT_EQ(buttons, 1) << "left down";
  host::InjectMouseButton(VK_RBUTTON, true);
  EXPECT_EQ(Buttons(), 3) << "both down";
  host::InjectMouseButton(VK_LBUTTON, false);
  EXPECT_EQ(Buttons(), 2) << "right still down";
  ZQAcquireMouse(0);
  EXPECT_EQ(ZQGetMouseData(nullptr, nullptr, &buttons), 0);
  EXPECT_EQ(buttons, 0) << "released while the game is inactive";
  ZQAcquireMouse(1);
  EXPECT_EQ(Buttons(), 2) << "acquired again";
  host::InjectMouseButton(VK_RBUTTON, false);
  EXPECT_EQ(Buttons(), 0) << "both up";

  host::InjectMouseButton(VK_LBUTTON, true);
  ZQFreeDirectInput();
  EXPECT_EQ(Buttons(), 0) << "after the input devices are freed";
  EXPECT_EQ(ZQAcquireMouse(1), 0) << "acquiring after the devices are freed";
  ZQFreeDirectInput();
}

// The game clock polls on the multimedia timer's thread while the main thread acquires and releases the mouse
// (the thread sanitizer build checks the sharing).
struct PollRecord {
  std::atomic<int> polls{0};
  std::atomic<int> lastButtons{-1};
  // Waits until the timer thread has polled `count` more times, giving up only after a generous number of naps.
  bool WaitForPolls(int count) {
    const int target = polls.load() + count;
    for (int nap = 0; nap < 20000 && polls.load() < target; ++nap) Sleep(1);
    return polls.load() >= target;
  }
};

void CALLBACK PollFromTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  PollRecord* record = reinterpret_cast<PollRecord*>(user);
  int buttons = 0;
  ZQGetMouseData(nullptr, nullptr, &buttons);
  record->lastButtons.store(buttons);
  record->polls.fetch_add(1);
}

TEST_F(MouseButtons, ReadFromTheTimerThreadWhileTheMainThreadAcquires) {
  host::settings().timeMode = host::TimeMode::Real;
  ASSERT_EQ(ZQInitMouse(), 1);
  ASSERT_EQ(ZQAcquireMouse(1), 1);
  PollRecord record;
  const MMRESULT timer = timeSetEvent(1, 0, PollFromTimer, reinterpret_cast<DWORD_PTR>(&record), TIME_PERIODIC);
  ASSERT_NE(timer, 0u);
  host::InjectMouseButton(VK_RBUTTON, true);
  ASSERT_TRUE(record.WaitForPolls(2));
  EXPECT_EQ(record.lastButtons.load(), 2) << "right button held, mouse acquired";
  for (int i = 0; i < 200; ++i) ZQAcquireMouse(i % 2);
  ZQAcquireMouse(0);
  ASSERT_TRUE(record.WaitForPolls(2));
  EXPECT_EQ(record.lastButtons.load(), 0) << "mouse released";
  timeKillEvent(timer);
  host::InjectMouseButton(VK_RBUTTON, false);
}

}  // namespace
