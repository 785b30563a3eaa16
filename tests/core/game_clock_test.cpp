// The game clock on the host's hand-stepped timer: counting, the countdown, frame pacing and its rate text, the
// GetTickCount fallback without a timer, and waits that never pump messages ending in every time mode.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "core/game_clock.h"
#include "core/globals.h"
#include "host/control.h"
#include "support/display.h"

namespace {

using namespace testing_support;

// A clean host in manual time around each test: time moves by StepTimer.
class GameClockTest : public DisplayTest {};

TEST_F(GameClockTest, CountsTicksAndTheCountdownPausedOrNot) {
  ASSERT_EQ(StartGameClock(), 0);
  SetCountdown(3);
  host::StepTimer(99);
  EXPECT_EQ(std::make_pair(GetTicks(), GetCountdown()), std::make_pair(990, 3));
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 2);
  PauseCountdown();
  host::StepTimer(350);
  ResumeCountdown();
  // The second boundary is still counted from the clock, not from resuming.
  host::StepTimer(49);
  EXPECT_EQ(GetCountdown(), 2);
  host::StepTimer(1);
  EXPECT_EQ(GetCountdown(), 1);
  host::StepTimer(500);
  EXPECT_EQ(std::make_pair(TicksSince(990), GetCountdown()), std::make_pair(9010, 0)) << "never below zero";
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

// In manual time only Sleep moves the clock, so a wait that spun instead of
// sleeping would never end here.
TEST_F(GameClockTest, TheSleepingWaitStartsEachFrameOnItsSlot) {
  for (bool refused : {false, true}) {
    DisplayTest::SetUp();
    host::settings().timerRefused = refused;
    StartGameClock();
    WaitForNextFrame(25);  // at 0; slots 40 ms apart
    // Ticks each frame takes, and where the next frame starts: on its slot when
    // the work was shorter, at once (a slot from then on) when it was longer.
    const struct { int work; int32_t start; } frames[] = {{0, 40}, {1, 80}, {3, 120}, {4, 160}, {6, 220}, {2, 260}};
    for (const auto& [work, start] : frames) {
      host::StepTimer(work);
      WaitForNextFrame(25);
      EXPECT_EQ(GetTicks(), start) << "work " << work << (refused ? ", following GetTickCount" : ", on the timer");
    }
  }
}

TEST_F(GameClockTest, WaitsEndInEveryTimeModeAndWithoutATimer) {
  for (const auto& [mode, name] : {std::pair{host::TimeMode::Virtual, "virtual"}, {host::TimeMode::Real, "real"},
                                   {host::TimeMode::Manual, "manual"}}) {
    DisplayTest::SetUp();
    host::settings().timeMode = mode;
    // The shape of a fade or a delay: read the clock until enough time has passed.
    auto spin = [](auto read) { DWORD start = read(), now = start; while (now - start < 30) now = read(); return now - start; };
    EXPECT_GE(spin([] { return GetTickCount(); }) + spin([] { return timeGetTime(); }), 60u) << name;
    host::settings().timerRefused = true;
    EXPECT_EQ(StartGameClock(), 0) << "a refused timer is not reported";
    if (mode == host::TimeMode::Virtual) {  // every look at an empty queue lets 10 ms pass
      SetCountdown(5);
      MSG msg;
      for (int i = 0; i < 150; ++i) PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
      EXPECT_EQ(GetTicks(), 1500);  // catches up first
      EXPECT_EQ(GetCountdown(), 4);
    }
    const int32_t start = GetTicks();
    for (int frame = 0; frame < 3; ++frame) WaitForNextFrame(100);
    // The first frame does not wait; the next two wait one 10 ms slot each.
    EXPECT_GE(GetTicks() - start, 20) << name << " time";
  }
}

}  // namespace
