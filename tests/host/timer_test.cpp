// The multimedia timer stand-in: fixed-rate periodic events on their own
// thread, timeKillEvent waiting out a running callback, refusal, and virtual
// time moved on by an empty message queue.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/control.h"

namespace {

std::atomic<int> calls{0};
std::atomic<bool> inside{false};
std::atomic<std::thread::id> callbackThread;

// Adds `user` to the calls; a `user` of 0 takes 60 ms about it.
void CALLBACK Count(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  inside = true;
  callbackThread = std::this_thread::get_id();
  if (user == 0) std::this_thread::sleep_for(std::chrono::milliseconds(60));
  calls.fetch_add(static_cast<int>(user));
  inside = false;
}

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    calls = 0;
  }
  void TearDown() override { host::ResetForTest(); }
};

TEST_F(TimerTest, CapsPeriodsAndRefusal) {
  TIMECAPS caps{};
  EXPECT_EQ(timeGetDevCaps(&caps, sizeof(caps)), MMRESULT{TIMERR_NOERROR});
  EXPECT_TRUE(caps.wPeriodMin <= 10 && caps.wPeriodMax >= 10) << caps.wPeriodMin << "-" << caps.wPeriodMax;
  EXPECT_EQ(timeBeginPeriod(10), MMRESULT{TIMERR_NOERROR});
  EXPECT_EQ(timeEndPeriod(10), MMRESULT{TIMERR_NOERROR});
  EXPECT_EQ(timeBeginPeriod(0), MMRESULT{TIMERR_NOCANDO});
  host::settings().timerRefused = true;
  EXPECT_EQ(timeSetEvent(10, 5, Count, 1, TIME_PERIODIC), 0u);
}

TEST_F(TimerTest, PeriodicEventsRunOnTheirOwnThreadUntilKilled) {
  UINT id = timeSetEvent(10, 5, Count, 1, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  while (calls < 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_NE(callbackThread.load(), std::this_thread::get_id());
  EXPECT_EQ(timeKillEvent(id), MMRESULT{TIMERR_NOERROR});
  int after = calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(calls, after) << "no callback after timeKillEvent returned";
  EXPECT_NE(timeKillEvent(id), MMRESULT{TIMERR_NOERROR}) << "an event dies once";

  id = timeSetEvent(10, 5, Count, 0, TIME_PERIODIC);  // slow callbacks
  while (!inside) std::this_thread::yield();
  timeKillEvent(id);
  EXPECT_FALSE(inside) << "timeKillEvent returned while the callback was still running";
}

TEST_F(TimerTest, ManualTimeIsFixedRateAndFiresOnTheStepper) {
  host::settings().timeMode = host::TimeMode::Manual;
  UINT fast = timeSetEvent(10, 5, Count, 1, TIME_PERIODIC);
  UINT slow = timeSetEvent(30, 5, Count, 100, TIME_PERIODIC);
  ASSERT_NE(fast, 0u);
  host::StepTimer(9);  // 90 ms: nine fast callbacks and three slow ones
  EXPECT_EQ(calls, 9 + 300);
  EXPECT_EQ(callbackThread.load(), std::this_thread::get_id());
  EXPECT_EQ(GetTickCount(), 90u);
  timeKillEvent(fast);
  timeKillEvent(slow);
}

TEST_F(TimerTest, VirtualTimeMovesOnlyWhenTheQueueIsFoundEmpty) {
  host::settings().timeMode = host::TimeMode::Virtual;
  UINT id = timeSetEvent(10, 5, Count, 1, TIME_PERIODIC);
  MSG msg;
  PostMessageA(nullptr, WM_KEYDOWN, 0, 0);
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(calls, 0) << "a message was waiting: no time passed";
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(GetTickCount(), 20u);
  timeKillEvent(id);
}

}  // namespace
