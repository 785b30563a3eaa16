// The game clock on the host's hand-stepped timer: counting, the seconds
// countdown, frame pacing, and the GetTickCount fallback when no timer exists.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "host/control.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "support/display.h"

namespace {

class GameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetForTest();
    host::settings() = host::Settings{};
    host::settings().headless = true;
    host::settings().timeMode = host::TimeMode::Manual;
    ResetGameClockForTest();
  }
  void TearDown() override {
    ResetGameClockForTest();
    host::ResetForTest();
  }
  void Seconds(int seconds) { host::StepTimer(seconds * 100); }
};

TEST_F(GameClockTest, CountsTenMillisecondsPerTickAndTheCountdownOneSecondPerSecond) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(3);
  host::StepTimer(99);
  EXPECT_EQ(GetTicks(), 990);
  EXPECT_EQ(GetCountdown(), 3);
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 2);
  Seconds(5);
  EXPECT_EQ(GetCountdown(), 0) << "never below zero";
  StopGameClock();
  host::StepTimer(5);
  EXPECT_EQ(TicksSince(990), 5010) << "a stopped clock stands still";
}

TEST_F(GameClockTest, PausedCountdownResumesAtTheNextWholeSecondOfTheClock) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(10);
  Seconds(1);
  PauseCountdown();
  EXPECT_EQ(IsCountdownRunning(), 0);
  Seconds(3);
  EXPECT_EQ(GetCountdown(), 9);
  host::StepTimer(50);
  ResumeCountdown();
  // The second boundary is still counted from the clock, not from resuming.
  host::StepTimer(49);
  EXPECT_EQ(GetCountdown(), 9);
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 8);
}

TEST_F(GameClockTest, FramesWaitForTheNextSlotButLateOnesAreNotMadeUpFor) {
  ASSERT_EQ(StartGameClock(), 0);
  WaitForNextFrame(100);
  EXPECT_EQ(nextFrameTime, 10) << "the first frame does not wait";
  std::atomic<bool> done{false};
  std::thread frame([&] {
    WaitForNextFrame(100);
    done = true;
  });
  for (int i = 0; i < 1000 && !done; ++i) std::this_thread::yield();
  EXPECT_FALSE(done) << "the frame cannot start before the clock reaches the slot";
  host::StepTimer(1);
  frame.join();
  EXPECT_EQ(nextFrameTime, 20);
  host::StepTimer(9);  // the frame took 90 ms
  WaitForNextFrame(50);
  EXPECT_EQ(nextFrameTime, 100 + 20) << "a slot from now, not from the missed one";
  EXPECT_FLOAT_EQ(frameRate, 50.0f);
}

TEST_F(GameClockTest, WithoutATimerTheClockFollowsTheTickCount) {
  host::settings().timerRefused = true;
  host::settings().timeMode = host::TimeMode::Virtual;
  EXPECT_EQ(StartGameClock(), 0) << "a refused timer is not reported";
  SetCountdown(5);
  MSG msg;
  // In virtual time, every look at an empty queue lets 10 ms pass.
  for (int i = 0; i < 150; ++i) PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_EQ(GetTicks(), 1500);
  EXPECT_EQ(GetCountdown(), 4);
  // Frame pacing moves on instead of waiting for ever.
  for (int frame = 0; frame < 3; ++frame) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    WaitForNextFrame(100);
  }
  EXPECT_GE(nextFrameTime, 1520);
}

// With the frame rate switched on, each frame writes the requested rate at the
// top right of the back surface.
class FrameRateTextTest : public testing_support::DisplayTest {};

TEST_F(FrameRateTextTest, ShowsTheRequestedRateAtTheTopRightWhileSwitchedOn) {
  using namespace testing_support;
  ASSERT_TRUE(StartDisplay(false));
  StartClock();
  Fill(backSurface, 0);
  showFps = 1;
  WaitForNextFrame(100);
  EXPECT_GT(CountPixels(backSurface, 0xFFFF), 20) << "the text 100.00 was drawn";
  EXPECT_EQ(RegionMismatch(backSurface, 0, 0, 580, 600, 0), "") << "nothing left of x = 580";
  EXPECT_EQ(RegionMismatch(backSurface, 580, 16, 220, 584, 0), "") << "nothing below the text line";
  showFps = 0;
  Fill(backSurface, 0);
  Tick(1);
  WaitForNextFrame(100);
  EXPECT_EQ(CountPixels(backSurface, 0xFFFF), 0);
}

}  // namespace
