// The game clock on the host's hand-stepped timer, its GetTickCount fallback, and waits in every time mode.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "core/game_clock.h"
#include "core/globals.h"
#include "host/control.h"
#include "support/display.h"

namespace {

using namespace testing_support;

class GameClockTest : public DisplayTest {};

// The second boundaries are counted from the clock, paused or not: resuming does not restart them.
TEST_F(GameClockTest, CountsTicksAndTheCountdownPausedOrNot) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(3);
  const struct { int steps; bool paused; int32_t ticks, countdown; } rows[] = {
      {99, false, 990, 3}, {1, false, 1000, 2}, {350, true, 4500, 2}, {49, false, 4990, 2}, {1, false, 5000, 1},
      {500, false, 10000, 0}};
  for (const auto& row : rows) {
    if (row.paused) PauseCountdown(); else ResumeCountdown();
    host::StepTimer(row.steps);
    EXPECT_EQ(std::make_pair(GetTicks(), GetCountdown()), std::make_pair(row.ticks, row.countdown)) << "ticks, countdown";
  }
}

TEST_F(GameClockTest, ALateFrameIsNotMadeUpForAndTheRateShowsWhileSwitchedOn) {
  ASSERT_TRUE(StartDisplay(false));
  StartClock();
  WaitForNextFrame(100);
  EXPECT_EQ(nextFrameTime, 10) << "the first frame does not wait";
  host::StepTimer(10);  // the frame took 100 ms
  WaitForNextFrame(50);
  EXPECT_EQ(nextFrameTime, 100 + 20) << "a slot from now, not from the missed one";
  EXPECT_FLOAT_EQ(frameRate, 50.0f);
  Fill(backSurface, 0);
  showFps = 1;
  Tick(2);
  WaitForNextFrame(100);
  EXPECT_GT(CountPixels(backSurface, 0xFFFF), 20) << "the text 100.00 was drawn";
  EXPECT_EQ(RegionMismatch(backSurface, 0, 0, 580, 600, 0) + RegionMismatch(backSurface, 580, 16, 220, 584, 0), "")
      << "nothing left of x = 580 or below the text line";
  showFps = 0;
  Fill(backSurface, 0);
  Tick(1);
  WaitForNextFrame(100);
  EXPECT_EQ(CountPixels(backSurface, 0xFFFF), 0);
}

// In manual time only Sleep moves the clock, so a wait that spun instead of sleeping would never end here.
TEST_F(GameClockTest, TheSleepingWaitStartsEachFrameOnItsSlot) {
  for (bool refused : {false, true}) {
    DisplayTest::SetUp();
    host::settings().timerRefused = refused;
    StartGameClock();
    WaitForNextFrame(25);  // at 0; slots 40 ms apart
    // Ticks each frame takes, and where the next frame starts: on its slot when the work was shorter, at once (a slot
    // from then on) when it was longer.
    const struct { int work; int32_t start; } frames[] = {{0, 40}, {1, 80}, {3, 120}, {4, 160}, {6, 220}, {2, 260}};
    for (const auto& [work, start] : frames) {
      host::StepTimer(work);
      WaitForNextFrame(25);
      EXPECT_EQ(GetTicks(), start) << "work " << work << (refused ? ", following GetTickCount" : ", on the timer");
    }
  }
}

// A spin on the clocks (a fade, a delay) ends without a message pumped; with a refused timer the clock follows
// GetTickCount and a wait for the next frame ends. All in every time mode.
TEST_F(GameClockTest, WithoutATimerWaitsEndInEveryTimeMode) {
  for (host::TimeMode mode : {host::TimeMode::Virtual, host::TimeMode::Real, host::TimeMode::Manual}) {
    DisplayTest::SetUp();
    host::settings().timeMode = mode;
    auto spin = [](auto read) { DWORD start = read(), now = start; while (now - start < 30) now = read(); return now - start; };
    EXPECT_GE(spin([] { return GetTickCount(); }) + spin([] { return timeGetTime(); }), 60u) << int(mode);
    host::settings().timerRefused = true;
    EXPECT_EQ(StartGameClock(), 0);
    if (mode == host::TimeMode::Virtual) {  // every look at an empty queue lets 10 ms pass
      SetCountdown(5);
      MSG msg;
      for (int i = 0; i < 150; ++i) PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
      const int32_t ticks = GetTicks();  // catches up first
      EXPECT_EQ(std::make_pair(ticks, GetCountdown()), std::make_pair(1500, 4)) << "caught up, counted down";
    }
    const int32_t start = GetTicks();
    for (int frame = 0; frame < 3; ++frame) WaitForNextFrame(100);
    EXPECT_GE(GetTicks() - start, 20) << "the first frame does not wait, the next two a slot each; mode " << int(mode);
  }
}

}  // namespace
