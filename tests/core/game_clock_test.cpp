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

TEST_F(GameClockTest, CountsTenMillisecondsPerTick) {
  ASSERT_EQ(StartGameClock(), 0);
  EXPECT_EQ(GetTicks(), 0);
  int32_t start = GetTicks();
  host::StepTimer(7);
  EXPECT_EQ(GetTicks(), 70);
  EXPECT_EQ(TicksSince(start), 70);
  StopGameClock();
  host::StepTimer(5);
  EXPECT_EQ(GetTicks(), 70) << "a stopped clock stands still";
}

TEST_F(GameClockTest, CountdownLosesOneSecondPerSecondAndStopsAtZero) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(3);
  host::StepTimer(99);
  EXPECT_EQ(GetCountdown(), 3);
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 2);
  Seconds(5);
  EXPECT_EQ(GetCountdown(), 0) << "never below zero";
  SetCountdown(0);
  Seconds(2);
  EXPECT_EQ(GetCountdown(), 0);
}

TEST_F(GameClockTest, PausedCountdownResumesAtTheNextWholeSecondOfTheClock) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(10);
  Seconds(1);
  EXPECT_EQ(GetCountdown(), 9);
  PauseCountdown();
  EXPECT_EQ(IsCountdownRunning(), 0);
  Seconds(3);
  EXPECT_EQ(GetCountdown(), 9);
  EXPECT_EQ(GetTicks(), 4000) << "the counter keeps going while paused";
  host::StepTimer(50);
  ResumeCountdown();
  // The second boundary is still counted from the clock, not from resuming.
  host::StepTimer(49);
  EXPECT_EQ(GetCountdown(), 9);
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 8);
}

TEST_F(GameClockTest, FirstFrameDoesNotWaitAndLaterFramesWaitForTheNextSlot) {
  ASSERT_EQ(StartGameClock(), 0);
  WaitForNextFrame(100);
  EXPECT_EQ(nextFrameTime, 10);
  EXPECT_FLOAT_EQ(frameRate, 100.0f);

  std::atomic<bool> done{false};
  std::thread frame([&] {
    WaitForNextFrame(100);
    done = true;
  });
  // The frame cannot start before the clock reaches the slot.
  for (int i = 0; i < 1000 && !done; ++i) std::this_thread::yield();
  EXPECT_FALSE(done);
  host::StepTimer(1);
  frame.join();
  EXPECT_EQ(nextFrameTime, 20);
}

TEST_F(GameClockTest, LateFramesAreNotMadeUpFor) {
  ASSERT_EQ(StartGameClock(), 0);
  WaitForNextFrame(50);  // 20 ms slots
  host::StepTimer(9);    // the frame took 90 ms
  WaitForNextFrame(50);
  EXPECT_EQ(nextFrameTime, 90 + 20);
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

}  // namespace

// With the frame rate switched on, each frame writes the requested rate at the
// top right of the back surface.
namespace {

class FrameRateTextTest : public testing_support::DisplayTest {};

TEST_F(FrameRateTextTest, ShowsTheRequestedRateAtTheTopRightWhileSwitchedOn) {
  ASSERT_TRUE(StartDisplay(false));
  StartClock();
  LPDIRECTDRAWSURFACE back = testing_support::BackSurface();
  testing_support::Fill(back, 0);
  showFps = 1;
  WaitForNextFrame(100);
  int lit = testing_support::CountPixels(back, 0xFFFF);
  EXPECT_GT(lit, 20) << "the text 100.00 was drawn";
  EXPECT_EQ(testing_support::RegionMismatch(back, 0, 0, 580, 600, 0), "") << "nothing left of x = 580";
  EXPECT_EQ(testing_support::RegionMismatch(back, 580, 16, 220, 584, 0), "") << "nothing below the text line";

  showFps = 0;
  testing_support::Fill(back, 0);
  Tick(1);
  WaitForNextFrame(100);
  EXPECT_EQ(testing_support::CountPixels(back, 0xFFFF), 0);
}

}  // namespace
