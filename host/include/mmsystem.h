// The multimedia timer. Periodic events run on one dedicated timer thread on a
// fixed-rate schedule (a late callback is caught up, not skipped); once
// timeKillEvent returns, no callback of that event is running or will run.
// timeSetEvent returns 0 on failure. timeBeginPeriod/timeEndPeriod return
// TIMERR_NOERROR or TIMERR_NOCANDO for a period outside the device's range.
#pragma once

#include "windows.h"

typedef UINT MMRESULT;
typedef void(CALLBACK* LPTIMECALLBACK)(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

typedef struct timecaps_tag {
  UINT wPeriodMin;
  UINT wPeriodMax;
} TIMECAPS, *LPTIMECAPS;

#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97
#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001
#define TIME_KILL_SYNCHRONOUS 0x0100

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size);
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT WINAPI timeKillEvent(UINT timerId);
DWORD WINAPI timeGetTime(void);
