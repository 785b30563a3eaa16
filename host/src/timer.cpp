// The multimedia timer, GetTickCount and Sleep.
//
// Windows behaviour reproduced: periodic events run on one dedicated timer
// thread on a fixed-rate schedule (a late callback is caught up, not skipped);
// timeSetEvent returns a non-zero id, or 0 on failure; with TIME_KILL_SYNCHRONOUS,
// once timeKillEvent returns no callback of that event runs any more (the host
// waits for a running callback with or without the flag). timeGetDevCaps reports periods of 1 ms
// to 1,000,000 ms; timeBeginPeriod/timeEndPeriod refuse periods outside that.
// In virtual and manual time (tests) the events fire on the thread that moves
// time on, so a whole run replays identically.
// Where the host differs from Windows: in virtual and manual time the clock
// stands still between the calls that move it (PeekMessageA, Sleep, StepTimer),
// so a loop that waits on GetTickCount or timeGetTime without pumping would
// wait for ever. A thread that reads the same value kSpinReads times in a row
// is taken to be waiting, and one timer period passes on that thread, due
// events included. The count is per thread and depends only on what the
// thread does, so replays stay identical; manual time follows the same rule,
// because a test that steps by hand must not hang on a spinning wait either.
// FIXME: one-shot events are not supported (the game uses periodic ones only).
#include "timer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_mixer.h"
#include "host/control.h"
#include "mmsystem.h"

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

// Far more reads than any frame makes of one clock value, so only a waiting
// loop ever reaches it; cheap enough that a spin over seconds of virtual time
// ends at once.
constexpr int kSpinReads = 10000;

struct TimerEvent {
  UINT id;
  UINT period;
  LPTIMECALLBACK callback;
  DWORD_PTR user;
  uint64_t dueMs;  // host milliseconds of the next callback
};

const Clock::time_point hostStart = Clock::now();
std::atomic<uint64_t> virtualMs{0};

std::mutex eventsMutex;
std::condition_variable eventsChanged;
std::vector<TimerEvent> events;
UINT nextEventId = 1;
UINT runningEventId = 0;  // the event whose callback runs right now, 0 if none
std::thread::id runningThreadId;
std::thread timerThread;
bool stopThread = false;

bool RealTime() { return settings().timeMode == TimeMode::Real; }

uint64_t NowMs() {
  if (!RealTime()) return virtualMs.load(std::memory_order_relaxed);
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - hostStart).count();
}

// Runs every callback due at or before `now`, earliest first, with the lock
// released around each call so callbacks may use the timer API themselves.
void FireDueEvents(std::unique_lock<std::mutex>& lock, uint64_t now) {
  for (;;) {
    auto due = std::min_element(events.begin(), events.end(),
                                [](const TimerEvent& a, const TimerEvent& b) { return a.dueMs < b.dueMs; });
    if (due == events.end() || due->dueMs > now) return;
    TimerEvent event = *due;
    due->dueMs += event.period;
    runningEventId = event.id;
    runningThreadId = std::this_thread::get_id();
    lock.unlock();
    event.callback(event.id, 0, event.user, 0, 0);
    lock.lock();
    runningEventId = 0;
    eventsChanged.notify_all();
  }
}

void TimerThreadMain() {
  std::unique_lock<std::mutex> lock(eventsMutex);
  while (!stopThread) {
    if (events.empty()) {
      eventsChanged.wait(lock);
      continue;
    }
    uint64_t earliest = UINT64_MAX;
    for (auto& event : events) earliest = std::min(earliest, event.dueMs);
    uint64_t now = NowMs();
    if (earliest > now) {
      eventsChanged.wait_until(lock, hostStart + std::chrono::milliseconds(earliest));
      continue;
    }
    FireDueEvents(lock, now);
  }
}

void EnsureTimerThread() {
  if (timerThread.joinable()) return;
  stopThread = false;
  timerThread = std::thread(TimerThreadMain);
}

// One thread moves virtual time at a time, so that callbacks never overlap
// (a spinning reader on another thread may move it too); recursive, because a
// callback may itself Sleep or spin.
std::recursive_mutex advanceMutex;

void AdvanceVirtualTime(uint64_t ms) {
  std::lock_guard<std::recursive_mutex> advancing(advanceMutex);
  std::unique_lock<std::mutex> lock(eventsMutex);
  uint64_t target = virtualMs.load() + ms;
  // Step through each due time so callbacks see the clock at their own moment.
  for (;;) {
    uint64_t earliest = UINT64_MAX;
    for (auto& event : events) earliest = std::min(earliest, event.dueMs);
    if (earliest > target) break;
    virtualMs.store(std::max(virtualMs.load(), earliest));
    FireDueEvents(lock, earliest);
  }
  virtualMs.store(target);
  lock.unlock();
  AudioClockAdvanced(target);  // sound moves with virtual time
}

UINT ShortestPeriod() {
  std::lock_guard<std::mutex> lock(eventsMutex);
  UINT period = 0;
  for (auto& event : events) period = period ? std::min(period, event.period) : event.period;
  return period ? period : 10;
}

}  // namespace

uint32_t HostMilliseconds() { return static_cast<uint32_t>(NowMs()); }

// The tick count as the game reads it (see the opening note on spinning reads).
uint32_t ReadTickCount() {
  uint32_t now = HostMilliseconds();
  if (RealTime()) return now;
  thread_local uint32_t lastRead = 0;
  thread_local int sameReads = 0;
  sameReads = (now == lastRead) ? sameReads + 1 : 0;
  lastRead = now;
  if (sameReads < kSpinReads) return now;
  sameReads = 0;
  AdvanceVirtualTimeOnePeriod();
  return HostMilliseconds();
}

void AdvanceVirtualTimeOnePeriod() { AdvanceVirtualTime(ShortestPeriod()); }

void StepTimer(int periods) {
  for (int i = 0; i < periods; ++i) AdvanceVirtualTime(ShortestPeriod());
}

void ResetTimers() {
  {
    std::lock_guard<std::mutex> lock(eventsMutex);
    events.clear();
    stopThread = true;
    eventsChanged.notify_all();
  }
  if (timerThread.joinable()) timerThread.join();
  timerThread = std::thread();
  virtualMs.store(0);
}

// Joins the timer thread when the program ends, so no callback outlives main().
struct TimerThreadJoiner {
  ~TimerThreadJoiner() { ResetTimers(); }
} timerThreadJoiner;

}  // namespace host

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size) {
  if (!caps || size < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
  caps->wPeriodMin = 1;
  caps->wPeriodMax = 1000000;
  return TIMERR_NOERROR;
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
  host::Trace("timeBeginPeriod %u", period);
  return (period >= 1 && period <= 1000000) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
  host::Trace("timeEndPeriod %u", period);
  return (period >= 1 && period <= 1000000) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (host::settings().timerRefused || !callback || delay == 0 || !(flags & TIME_PERIODIC)) {
    host::Trace("timeSetEvent refused");
    return 0;
  }
  std::lock_guard<std::mutex> lock(host::eventsMutex);
  UINT id = host::nextEventId++;
  host::events.push_back({id, delay, callback, user, host::NowMs() + delay});
  if (host::RealTime()) host::EnsureTimerThread();
  host::eventsChanged.notify_all();
  host::Trace("timeSetEvent %u", delay);
  return id;
}

MMRESULT WINAPI timeKillEvent(UINT timerId) {
  std::unique_lock<std::mutex> lock(host::eventsMutex);
  auto it = std::find_if(host::events.begin(), host::events.end(),
                         [timerId](const host::TimerEvent& e) { return e.id == timerId; });
  if (it == host::events.end()) return 11;  // MMSYSERR_INVALPARAM
  host::events.erase(it);
  host::Trace("timeKillEvent");
  // A callback already under way finishes before we return, unless we are it.
  if (host::runningEventId == timerId && host::runningThreadId != std::this_thread::get_id())
    host::eventsChanged.wait(lock, [timerId] { return host::runningEventId != timerId; });
  host::eventsChanged.notify_all();
  return TIMERR_NOERROR;
}

DWORD WINAPI timeGetTime(void) { return host::ReadTickCount(); }

DWORD WINAPI GetTickCount(void) { return host::ReadTickCount(); }

void WINAPI Sleep(DWORD milliseconds) {
  if (host::settings().timeMode == host::TimeMode::Real) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  } else {
    for (DWORD slept = 0; slept < milliseconds; slept += 10) host::AdvanceVirtualTimeOnePeriod();
  }
}
