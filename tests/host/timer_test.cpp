// The multimedia timer: periodic events on their own thread, timeKillEvent waiting out a running callback;
// on the host only, refusal and the stepped clocks (manual, and virtual time moved on by an empty queue).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "conformance.h"
#include <mmsystem.h>

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
    conformance::ResetHost();
    calls = 0;
  }
  void TearDown() override { conformance::ResetHost(); }
};

TEST_F(TimerTest, CapsAndPeriods) {
  TIMECAPS caps{};
  EXPECT_EQ((std::vector<MMRESULT>{timeGetDevCaps(&caps, sizeof caps), timeBeginPeriod(10), timeEndPeriod(10),
                                   timeBeginPeriod(0), caps.wPeriodMin <= 10 && caps.wPeriodMax >= 10}),
            (std::vector<MMRESULT>{TIMERR_NOERROR, TIMERR_NOERROR, TIMERR_NOERROR, TIMERR_NOCANDO, true}));
}

// The host's timeKillEvent always waits out a running callback; Windows promises that only with
// TIME_KILL_SYNCHRONOUS (Wine returns at once without it), so the Windows program asks for it.
#if GLOOM_HOST_HOOKS
constexpr UINT kPeriodic = TIME_PERIODIC;
#else
constexpr UINT kPeriodic = TIME_PERIODIC | TIME_KILL_SYNCHRONOUS;
#endif

TEST_F(TimerTest, PeriodicEventsRunOnTheirOwnThreadUntilKilled) {
  UINT id = timeSetEvent(10, 5, Count, 1, kPeriodic);
  while (calls < 5) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const long killed = timeKillEvent(id), after = calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Another thread's callbacks; none after timeKillEvent returned; an event dies once.
  EXPECT_EQ((std::vector<long>{callbackThread.load() != std::this_thread::get_id(), killed, calls - after,
                               timeKillEvent(id) != TIMERR_NOERROR}),
            (std::vector<long>{true, TIMERR_NOERROR, 0, true}));
  id = timeSetEvent(10, 5, Count, 0, kPeriodic);  // slow callbacks
  while (!inside) std::this_thread::yield();
  timeKillEvent(id);
  EXPECT_FALSE(inside) << "timeKillEvent returned while the callback was still running";
}

#if GLOOM_HOST_HOOKS
TEST_F(TimerTest, RefusedTimerGivesNoEvent) {
  host::settings().timerRefused = true;
  EXPECT_EQ(timeSetEvent(10, 5, Count, 1, TIME_PERIODIC), 0u);
}

// Manual time: 90 ms stepped fire nine 10 ms callbacks and three 30 ms ones, on the stepping thread.
TEST_F(TimerTest, ManualTimeIsFixedRateAndFiresOnTheStepper) {
  host::settings().timeMode = host::TimeMode::Manual;
  UINT fast = timeSetEvent(10, 5, Count, 1, TIME_PERIODIC), slow = timeSetEvent(30, 5, Count, 100, TIME_PERIODIC);
  host::StepTimer(9);
  EXPECT_EQ((std::vector<long>{calls, GetTickCount(), callbackThread.load() == std::this_thread::get_id()}),
            (std::vector<long>{9 + 300, 90, true}));
  timeKillEvent(fast), timeKillEvent(slow);
}

// Virtual time: a period passes only when PeekMessageA finds the queue empty.
TEST_F(TimerTest, VirtualTimeMovesOnlyWhenTheQueueIsFoundEmpty) {
  host::settings().timeMode = host::TimeMode::Virtual;
  UINT id = timeSetEvent(10, 5, Count, 1, TIME_PERIODIC);
  MSG msg;
  PostMessageA(nullptr, WM_KEYDOWN, 0, 0);
  std::vector<long> seen{PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), calls};
  seen.insert(seen.end(), {PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)});
  seen.insert(seen.end(), {calls, GetTickCount()});
  EXPECT_EQ(seen, (std::vector<long>{TRUE, 0, FALSE, FALSE, 2, 20}));
  timeKillEvent(id);
}
#endif

}  // namespace
