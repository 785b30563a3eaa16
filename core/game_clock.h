// The game clock: milliseconds in steps of 10, advanced by a periodic 10 ms
// multimedia timer, and a seconds countdown the timer lowers once a second.
// Sprites, popups and the game read it; the main loop paces frames on it.
//
// The counter and the countdown are written by the timer thread and read (the
// countdown also written) by the main thread; both are atomics. When no 10 ms
// timer can be had, the clock is driven from GetTickCount by whoever reads it,
// so frame pacing still moves on.
#pragma once

#include <cstdint>

// 0 when started, 1 when this system cannot run a 10 ms timer (the clock then
// follows GetTickCount instead).
// What each tick polls besides the clock: the mouse cursor's buttons, set by
// start-up before the clock starts (the clock sits below the screens and knows
// nothing of them). Null polls nothing.
void SetTickPoll(void (*poll)());

int StartGameClock();
int StopGameClock();

int32_t GetTicks();
int32_t TicksSince(int32_t ticks);

void SetCountdown(int32_t seconds);
int32_t GetCountdown();
int32_t IsCountdownRunning();
void PauseCountdown();
void ResumeCountdown();

// Waits (sleeping, then waiting for the timer's tick) for the next frame slot of a `rate` frames-per-second pace and
// draws the frame rate when it is switched on.
void WaitForNextFrame(int32_t rate);

extern int32_t nextFrameTime;
extern float frameRate;

// Puts the clock back to its state before start-up (tests only).
void ResetGameClockForTest();
