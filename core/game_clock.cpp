#include "core/game_clock.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "gfx/debug_log.h"
#include "platform/zq.h"
#include "core/globals.h"

namespace {

constexpr int32_t kTimerPeriod = 10;

struct TimerRecord {
  std::atomic<int32_t>* counter;
  int32_t step;
};

std::atomic<int32_t> tickCount{0};
TimerRecord timerRecord{&tickCount, kTimerPeriod};
UINT timerId = 0;
int32_t lastTick = 0;     // touched only by the tick
int32_t accumulated = 0;  // touched only by the tick
std::atomic<int32_t> countdown{0};
std::atomic<int32_t> countdownRunning{1};
std::atomic<void (*)()> tickPoll{nullptr};
// When the latest tick came, by timeGetTime (or GetTickCount when the clock
// follows it): the frame wait reckons from it how long is left to the slot.
std::atomic<DWORD> lastTickAt{0};
// Signalled by every tick of the timer, so that a frame wait whose slot is due
// sleeps until the tick comes rather than spinning for it.
std::atomic<HANDLE> tickEvent{nullptr};

// Without a multimedia timer the clock follows GetTickCount, ticking on the
// thread that reads it.
bool followTickCount = false;
DWORD followStart = 0;

void RunTick() {
  if (auto poll = tickPoll.load(std::memory_order_acquire)) poll();
  int32_t now = tickCount.load(std::memory_order_relaxed);
  accumulated += now - lastTick;
  lastTick = now;
  if (accumulated >= 999) {
    accumulated = 0;
    if (countdownRunning.load(std::memory_order_relaxed) == 1) {
      int32_t left = countdown.load(std::memory_order_relaxed);
      // A compare-exchange, so that a SetCountdown from the main thread between
      // our read and write is not overwritten.
      while (left > 0 && !countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
      }
    }
  }
}

void CALLBACK TimerCallback(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* record = reinterpret_cast<TimerRecord*>(user);
  record->counter->fetch_add(record->step, std::memory_order_relaxed);
  lastTickAt.store(timeGetTime(), std::memory_order_release);
  RunTick();
  SetEvent(tickEvent.load(std::memory_order_acquire));
}

void CloseTickEvent() {
  if (HANDLE event = tickEvent.exchange(nullptr)) CloseHandle(event);
}

void FollowTickCount() {
  followTickCount = true;
  followStart = GetTickCount() - static_cast<DWORD>(tickCount.load());
}

void CatchUpWithTickCount() {
  int32_t now = static_cast<int32_t>(GetTickCount() - followStart);
  while (now - tickCount.load(std::memory_order_relaxed) >= kTimerPeriod) {
    tickCount.fetch_add(kTimerPeriod, std::memory_order_relaxed);
    lastTickAt.store(followStart + static_cast<DWORD>(tickCount.load(std::memory_order_relaxed)),
                     std::memory_order_release);
    RunTick();
  }
}

}  // namespace

int32_t nextFrameTime = 0;
float frameRate = 0.0f;

void SetTickPoll(void (*poll)()) { tickPoll.store(poll, std::memory_order_release); }

int StartGameClock() {
  TIMECAPS caps{};
  timeGetDevCaps(&caps, sizeof(caps));
  if (caps.wPeriodMin > static_cast<UINT>(kTimerPeriod) || caps.wPeriodMax < static_cast<UINT>(kTimerPeriod)) {
    DebugLog("Unable to use timers on this system");
    FollowTickCount();
    return 1;
  }
  if (timeBeginPeriod(kTimerPeriod) != TIMERR_NOERROR) {
    FollowTickCount();
    return 1;
  }
  tickEvent.store(CreateEventA(nullptr, FALSE, FALSE, nullptr), std::memory_order_release);
  // Synchronous kill: stopping the clock closes the tick event, which a late
  // callback must not signal.
  timerId = timeSetEvent(kTimerPeriod, 5, TimerCallback, reinterpret_cast<DWORD_PTR>(&timerRecord),
                         TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
  if (timerId == 0) {
    timeEndPeriod(kTimerPeriod);
    CloseTickEvent();
    FollowTickCount();
  }
  return 0;
}

int StopGameClock() {
  if (timerId != 0) {
    timeKillEvent(timerId);  // no tick runs after it returns
    timeEndPeriod(kTimerPeriod);
  }
  CloseTickEvent();
  timerId = 0;
  followTickCount = false;
  return 0;
}

int32_t GetTicks() {
  if (followTickCount) CatchUpWithTickCount();
  return tickCount.load(std::memory_order_relaxed);
}

int32_t TicksSince(int32_t ticks) { return GetTicks() - ticks; }

void SetCountdown(int32_t seconds) { countdown.store(seconds, std::memory_order_relaxed); }
int32_t GetCountdown() { return countdown.load(std::memory_order_relaxed); }
int32_t IsCountdownRunning() { return countdownRunning.load(std::memory_order_relaxed); }
void PauseCountdown() { countdownRunning.store(0, std::memory_order_relaxed); }
void ResumeCountdown() { countdownRunning.store(1, std::memory_order_relaxed); }

namespace {

// Milliseconds left before the frame slot: the ticks still to come, less the
// time since the latest one. The tick time is read before the counter, and
// written after it, so a tick in between only makes the wait look shorter.
int32_t MillisecondsToSlot(DWORD tickAt, int32_t ticks) {
  DWORD now = followTickCount ? GetTickCount() : timeGetTime();
  return nextFrameTime - ticks - static_cast<int32_t>(now - tickAt);
}

}  // namespace

void WaitForNextFrame(int32_t rate) {
  int32_t interval = 1000 / rate;
  // The processor is given up while a millisecond or more is left before the
  // slot, so a game that waits for the player does not keep a core busy: one
  // sleep to a millisecond before the slot, then a wait for the timer's signal
  // that brings the tick, so the frame still starts on its slot. A signal left
  // from an earlier tick only costs one more look at the clock. Without a
  // timer the clock follows GetTickCount, and only then is it spun on.
  for (;;) {
    DWORD tickAt = lastTickAt.load(std::memory_order_acquire);
    int32_t ticks = GetTicks();
    if (ticks >= nextFrameTime) break;
    // Never longer than the ticks still to come: a tick time from before the
    // clock was reset must not make the sleep overshoot.
    int32_t left = std::min(MillisecondsToSlot(tickAt, ticks), nextFrameTime - ticks);
    if (left > 1)
      Sleep(static_cast<DWORD>(left - 1));
    else if (timerId != 0)
      WaitForSingleObject(tickEvent.load(std::memory_order_relaxed), 2);
    else if (left > 0)
      Sleep(1);
  }
  nextFrameTime = GetTicks() + interval;
  frameRate = static_cast<float>(rate);
  if (showFps) {
    char text[32];
    std::snprintf(text, sizeof(text), "%5.2f", frameRate);
    ZQPrintString(text, 580, 0);
  }
}

void ResetGameClockForTest() {
  StopGameClock();
  tickCount.store(0);
  lastTick = 0;
  accumulated = 0;
  countdown.store(0);
  countdownRunning.store(1);
  nextFrameTime = 0;
  frameRate = 0.0f;
}
